#pragma once

#include "units/turned_ellipse_unit.h"

namespace lumetra {

// An arc of a turned ellipse between two angles, plotted pixel by pixel.
// Documents bring it; no tool makes it. Angles are degrees from +x toward +y.
class CEllipseArc final : public CTurnedEllipseUnit {
  LUMETRA_DECLARE_SERIAL(CEllipseArc)

 public:
  // Loading marks the angles as set, so a loaded unit plots only its arc.
  void Serialize(CArchive& ar) override;
  void ShowContextMenu(EditingView& view, std::int32_t screenX, std::int32_t screenY) override;
  // Each drag step ends by taking the arc's end pixels from its new plot.
  void OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  CPoint SetAngle2At(std::int32_t x, std::int32_t y) override;
  CPoint SetAngle1At(std::int32_t x, std::int32_t y) override;
  void DrawArcOutline(CDC& dc, std::int32_t, std::int32_t) override;
  // The plot without any style selected (the rubber band of the construction).
  void DrawConstruction(CDC& dc, std::int32_t x, std::int32_t y) override;
  void DrawShape(CDC& dc, std::int32_t x, std::int32_t y) override;
  HandleMarks Handles(std::int64_t reach) const override;
  // Also sets the first radius to 0.
  std::int32_t SetRadius2(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
  float SetAxisDirection(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
  void PlotEllipse(CDC& dc, std::int32_t cx, std::int32_t cy, std::int32_t r1, std::int32_t r2) override;
  void OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  // 1 the arc's start pixel, 2 its end pixel, 3 the centre.
  std::int32_t FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) override;
  // Inside the turned frame between the box of the whole ellipse and the box of half its radii.
  bool PtInUnit(std::int32_t x, std::int32_t y) override;
  void Draw(CDC& dc, const DrawContext& context) const override;
  // The turned frame of the whole ellipse, which also picks the arc.
  CRect Extent() const override;
  void Translate(std::int32_t dx, std::int32_t dy) override;
  std::unique_ptr<CUnit> Clone() const override;
  // The runs PlotPoint plots within the arc, whatever the pen's style.
  CRect Bounds() const override;
  bool PointsAreBoxCorners() const override { return false; }

  // The turned point as a run of m_nPenWidth pixels going down and to the
  // right, plotted only within the arc.
  void PlotPoint(CDC& dc, std::int32_t x, std::int32_t y, COLORREF colour) const;
  void PlotQuadPoints(CDC& dc, std::int32_t cx, std::int32_t cy, std::int64_t dx, std::int64_t dy) const;
  // The stored end pixels (the handles of the angles) as the arc's plot has
  // them; only edits call it, drawing leaves them alone.
  void TakePlottedEnds();

  // The arc: its angles, set or not yet, and its end pixels.
  double m_dAngle1 = 0.0;
  double m_dAngle2 = 0.0;
  CPoint m_ptArcStart;
  CPoint m_ptArcEnd;
  bool m_bAngleSet = false;

 private:
  void DragStep(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y);
  void PlotArc(CDC& dc, std::int32_t cx, std::int32_t cy, std::int32_t r1, std::int32_t r2) const;
  std::array<CPoint, 4> TurnedBox(std::int64_t rx, std::int64_t ry) const;
  // A walk point turned with the arc: the pixel it lands on and the angle of
  // the turned point, rounded half up, about the centre.
  struct TurnedPixel {
    CPoint pixel;
    double angle;
  };
  TurnedPixel Turned(std::int32_t x, std::int32_t y) const;
  // How many times a turned point at `angle` is plotted: once on a whole
  // ellipse; on an arc once within the angles, twice where both tests pass.
  int PlotCount(double angle) const;
};

// The angle of (dx, dy) in degrees, 0 <= angle < 360, computed with the
// degree factor 180 / 3.1415927 (so straight down is 89.99999867..., not 90).
double ArcAngle(double dx, double dy);

}  // namespace lumetra
