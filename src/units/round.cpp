#include "units/round.h"

#include "platform/archive/archive.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CRound, 1, false)

CRound::CRound() {
  m_nBrushStyle = BS_HOLLOW;
  m_nHatchStyle = HS_CROSS;
}

void CRound::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  SerializeBrushWithBkMode(ar);
  ar.Transfer(m_ptCenter);
}

}  // namespace lumetra
