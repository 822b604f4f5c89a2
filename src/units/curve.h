#pragma once

#include "units/unit.h"

namespace lumetra {

// The free-hand curve: a polyline through the points traced with the mouse
// (m_aPoints), picked anywhere in its bounding box. It has no handles.
class CCurve final : public CUnit {
  LUMETRA_DECLARE_SERIAL(CCurve)

 public:
  // Only the pen and the points are stored; the box is recomputed on loading.
  void Serialize(CArchive& ar) override;
  // While tracing, records the point and draws the segment to it; while the
  // view moves the curve, shifts it by the view's tracking step.
  void OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  void DrawShape(CDC& dc, std::int32_t, std::int32_t) override;
  // The box of all points; (0, 0, 0, 0) when there are none.
  CRect GetBoundRect() override;
  // Squares at the box's corners.
  HandleMarks Handles(std::int64_t reach) const override;
  // One traced segment in the DC's raster operation.
  void DrawSegment(CDC& dc, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
  bool PtInUnit(std::int32_t x, std::int32_t y) override;
  void Draw(CDC& dc, const DrawContext& context) const override;
  void Translate(std::int32_t dx, std::int32_t dy) override;
  // The box that picks the curve and carries its handles.
  CRect Extent() const override;
  std::unique_ptr<CUnit> Clone() const override;
  CRect Bounds() const override;
  bool PointsAreBoxCorners() const override { return false; }

  // Tracing starts with the box at the press point; the press point itself
  // is not part of the curve.
  void BeginTrace(CPoint press);

  CPointArray m_aPoints;
  // Bounding box of the traced points, grown while tracing.
  std::int32_t m_nMaxX = 0;
  std::int32_t m_nMaxY = 0;
  std::int32_t m_nMinX = 0;
  std::int32_t m_nMinY = 0;

 private:
  void Paint(CDC& dc) const;
};

}  // namespace lumetra
