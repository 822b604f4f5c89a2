// Rectangles and polygons: the interior with the brush, the outline with the pen.

#include <algorithm>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/wide_stroke.h"

namespace lumetra {

void CDC::FillAndStroke(const SpanSet& interior, std::span<const CPoint> outline) {
  const CPen& pen = *pen_;
  int width = pen.IsNull() ? 0 : pen.DeviceWidth();
  if (width > 1) {
    // The pen's area is painted once, and the brush only where the pen is not.
    SpanSet stroke = WideStrokeSpans(outline, true, pen, drawable_);
    if (!brush_->IsHollow()) PaintSpansWithBrush(interior.Subtract(stroke), *brush_);
    PaintSpans(stroke, PixelFromColor(pen.GetLogPen().lopnColor));
    return;
  }
  if (!brush_->IsHollow()) PaintSpansWithBrush(interior, *brush_);
  StrokePath(outline, true);
}

bool CDC::Rectangle(int l, int t, int r, int b) {
  CPoint a = LPtoDP({l, t}), c = LPtoDP({r, b});
  CRect box = CRect{a.x, a.y, c.x, c.y}.Normalized();
  if (box.Width() == 0 || box.Height() == 0) return true;
  int width = pen_->IsNull() ? 0 : pen_->DeviceWidth();
  box = pen_->FrameBox(box);
  // A one-pixel outline covers the box's last column and row; a null pen
  // leaves them unpainted.
  CRect inner = width > 1 ? CRect{box.left, box.top, box.right - 1, box.bottom - 1}
                          : CRect{box.left + (width + 1) / 2, box.top + (width + 1) / 2, box.right - 1 - width / 2,
                                  box.bottom - 1 - width / 2};
  SpanSet interior = SpanSet::FromRect(inner.ClipTo(drawable_));
  int x0 = box.left, y0 = box.top, x1 = box.right - 1, y1 = box.bottom - 1;
  // The outline starts at the top right and runs counter-clockwise on screen,
  // or at the bottom right and clockwise.
  std::vector<CPoint> outline = arcDirection_ == AD_COUNTERCLOCKWISE
                                    ? std::vector<CPoint>{{x1, y0}, {x0, y0}, {x0, y1}, {x1, y1}}
                                    : std::vector<CPoint>{{x1, y1}, {x0, y1}, {x0, y0}, {x1, y0}};
  FillAndStroke(interior, outline);
  return true;
}

bool CDC::Polygon(std::span<const CPoint> points) {
  if (points.size() < 2) return false;
  std::vector<CPoint> device(points.size());
  std::transform(points.begin(), points.end(), device.begin(), [&](CPoint p) { return LPtoDP(p); });
  PolyFillMode mode = polyFillMode_ == WINDING ? PolyFillMode::Winding : PolyFillMode::Alternate;
  FillAndStroke(ScanConvertPolygon(device, mode, drawable_.top, drawable_.bottom), device);
  return true;
}

}  // namespace lumetra
