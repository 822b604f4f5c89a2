#pragma once

#include "units/unit.h"

namespace lumetra {

// The free-hand curve: a polyline through the points traced with the mouse
// (m_pPoints), picked by its bounding box.
class CCurve : public CUnit {
  LUMETRA_DECLARE_SERIAL(CCurve)

 public:
  CCurve();
  // Only the pen and the points are stored; the box is recomputed on loading.
  void Serialize(CArchive& ar) override;
  // The box of all points; (0, 0, 0, 0) when there are none.
  CRect GetBoundRect() override;
  // The base reset, then a new, empty point list.
  void InitDefaults() override;

  // Bounding box of the traced points, grown while tracing.
  std::int32_t m_nMaxX = 0;
  std::int32_t m_nMaxY = 0;
  std::int32_t m_nMinX = 0;
  std::int32_t m_nMinY = 0;
};

}  // namespace lumetra
