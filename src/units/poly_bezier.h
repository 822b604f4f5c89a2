#pragma once

#include "units/unit.h"

namespace lumetra {

// A chain of cubic Bezier segments through its control points (m_aPoints):
// points 0, 3, 6, … lie on the curve, the two between steer it. A list whose
// length is not 3k + 1 draws nothing. Documents bring it; no tool makes it.
// A control point can be dragged; the mouse cannot move the unit, centring can.
class CPolyBezier final : public CUnit {
  LUMETRA_DECLARE_SERIAL(CPolyBezier)

 public:
  void Serialize(CArchive& ar) override;
  // Appends the view's mouse point.
  void AddControlPoint(CDC& dc, EditingView& view) override;
  // The one-item menu, only while the view is in create mode.
  void ShowContextMenu(EditingView& view, std::int32_t screenX, std::int32_t screenY) override;
  void OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  // The segment that would end at (x, y), in the DC's raster operation.
  void DrawShape(CDC& dc, std::int32_t x, std::int32_t y) override;
  HandleMarks Handles(std::int64_t reach) const override;
  void OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  std::int32_t FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) override;
  // Within 20 pixels of an on-curve point other than the last one.
  bool PtInUnit(std::int32_t x, std::int32_t y) override;
  void Draw(CDC& dc, const DrawContext& context) const override;
  // The box of the control points, which holds the whole path.
  CRect Extent() const override;
  void Translate(std::int32_t dx, std::int32_t dy) override;
  std::unique_ptr<CUnit> Clone() const override;
  CRect Bounds() const override;
  bool PointsAreBoxCorners() const override { return false; }

  CPointArray m_aPoints;
};

}  // namespace lumetra
