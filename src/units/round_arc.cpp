#include "units/round_arc.h"

#include "platform/archive/archive.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CRoundArc, 1, false)

CRoundArc::CRoundArc() {}

void CRoundArc::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  ar.Transfer(m_ptThird);
  ar.Transfer(m_nRadius1);
  ar.Transfer(m_ptCenter);
}

}  // namespace lumetra
