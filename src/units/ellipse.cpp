#include "units/ellipse.h"

#include "platform/archive/archive.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CEllipse, 1, false)

CEllipse::CEllipse() {}

void CEllipse::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  SerializeBrushWithBkMode(ar);
  ar.Transfer(m_dSin);
  ar.Transfer(m_dCos);
  ar.Transfer(m_nRadius1);
  ar.Transfer(m_nRadius2);
  ar.Transfer(m_ptCenter);
}

void CEllipse::ToggleRotate(std::int32_t, std::int32_t) { m_bRotate = !m_bRotate; }

}  // namespace lumetra
