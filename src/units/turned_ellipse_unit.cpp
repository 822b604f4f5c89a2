#include "units/turned_ellipse_unit.h"

#include "platform/archive/archive.h"
#include "units/unit_geometry.h"

namespace lumetra {

void CTurnedEllipseUnit::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  SerializeBrushWithBkMode(ar);
  ar.TransferEach(m_dSin, m_dCos, m_nRadius1, m_nRadius2, m_ptCenter);
}

void CTurnedEllipseUnit::ToggleRotate(std::int32_t, std::int32_t) { m_bRotate = !m_bRotate; }

std::int32_t CTurnedEllipseUnit::SetRadius1(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  m_nRadius1 = RadiusBetween(x1, y1, x2, y2);
  return 0;
}

void CTurnedEllipseUnit::Translate(std::int32_t dx, std::int32_t dy) {
  CUnit::Translate(dx, dy);
  m_ptCenter = Offset(m_ptCenter, {dx, dy});
}

void CTurnedEllipseUnit::TurnAxis(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                                  bool flatIsRising) {
  m_ptSecond = {x2, y2};
  const Turn turn = TurnOfAxis(x1, y1, x2, y2, flatIsRising);
  m_dCos = turn.cos;
  m_dSin = turn.sin;
}

}  // namespace lumetra
