#pragma once
// CTurnedEllipseUnit, the base of the two units built on a turned ellipse
// (CEllipse and CEllipseArc): the ellipse's centre, its two radii and the turn
// of its first axis, which both store after their style and brush, and the
// edits of them that both share.

#include "units/unit.h"

namespace lumetra {

class CTurnedEllipseUnit : public CUnit {
 public:
  // The style, the brush with its background mode, then sin, cos, the radii
  // and the centre.
  void Serialize(CArchive& ar) override;
  void ToggleRotate(std::int32_t, std::int32_t) override;
  std::int32_t SetRadius1(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
  void Translate(std::int32_t dx, std::int32_t dy) override;

  double m_dCos = 0.0;
  double m_dSin = 0.0;
  CPoint m_ptCenter;
  std::int32_t m_nRadius1 = 0;
  std::int32_t m_nRadius2 = 0;
  bool m_bRotate = false;

 protected:
  // Turns the first axis to run from (x1, y1) toward (x2, y2), which becomes
  // the second point; a flat axis counts as rising or falling as asked.
  void TurnAxis(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, bool flatIsRising);
};

}  // namespace lumetra
