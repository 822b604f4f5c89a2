#pragma once

#include "units/turned_ellipse_unit.h"

namespace lumetra {

// The ellipse inscribed in the box of its two points, picked anywhere inside.
// It also carries the rasteriser of turned ellipses (radii about a centre,
// turned by m_dCos/m_dSin), plotted pixel by pixel.
class CEllipse final : public CTurnedEllipseUnit {
  LUMETRA_DECLARE_SERIAL(CEllipse)

 public:
  // The "Rotate" menu, shown only while the unit is dragged by a handle.
  void ShowContextMenu(EditingView& view, std::int32_t screenX, std::int32_t screenY) override;
  void OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  void DrawShape(CDC& dc, std::int32_t, std::int32_t) override;
  // The box of the turned ellipse's corners.
  CRect GetBoundRect() override;
  HandleMarks Handles(std::int64_t reach) const override;
  // A blue guide line in the DC's raster operation.
  void DrawAxisLine(CDC& dc, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
  std::int32_t SetRadius2(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
  float SetAxisDirection(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
  void PlotEllipse(CDC& dc, std::int32_t cx, std::int32_t cy, std::int32_t r1, std::int32_t r2) override;
  void OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  std::int32_t FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) override;
  // Inside the elliptic region of the box.
  bool PtInUnit(std::int32_t x, std::int32_t y) override;
  bool KeepsCornersInOrder() const override { return true; }
  std::unique_ptr<CUnit> Clone() const override;
  std::unique_ptr<CUnit> PasteCopy(const CUnit& current) const override;
  CRect Bounds() const override;
  void Draw(CDC& dc, const DrawContext& context) const override;

  // The turned point, rounded half up, as a run of m_nPenWidth pixels going
  // up and to the right.
  void PlotPoint(CDC& dc, std::int32_t x, std::int32_t y, COLORREF colour);

 private:
  void PlotQuadrants(CDC& dc, std::int32_t cx, std::int32_t cy, std::int64_t dx, std::int64_t dy);
  void Paint(CDC& dc) const;
};

}  // namespace lumetra
