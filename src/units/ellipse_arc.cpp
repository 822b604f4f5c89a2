#include "units/ellipse_arc.h"

#include "platform/archive/archive.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CEllipseArc, 1, false)

void CEllipseArc::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  SerializeBrushWithBkMode(ar);
  ar.Transfer(m_dSin);
  ar.Transfer(m_dCos);
  ar.Transfer(m_nRadius1);
  ar.Transfer(m_nRadius2);
  ar.Transfer(m_ptCenter);
  ar.Transfer(m_ptArcStart);
  ar.Transfer(m_ptArcEnd);
  ar.Transfer(m_dAngle1);
  ar.Transfer(m_dAngle2);
  if (ar.IsLoading()) m_bAngleSet = true;
}

void CEllipseArc::ToggleRotate(std::int32_t, std::int32_t) { m_bRotate = !m_bRotate; }

}  // namespace lumetra
