// Rectangles and polygons: the interior with the brush, the outline with the pen.

#include <array>
#include <optional>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/wide_stroke.h"

namespace lumetra {
namespace {

// What Rectangle draws, in device pixels: the rectangle its brush fills and
// the closed outline its pen strokes.
struct RectangleFigure {
  CRect interior;
  std::array<CPoint, 4> outline;
};

// None for a box without width or height, which draws nothing.
std::optional<RectangleFigure> RectangleFigureOf(const CDC& dc, int l, int t, int r, int b) {
  CPoint a = dc.LPtoDP({l, t}), c = dc.LPtoDP({r, b});
  CRect box = CRect{a.x, a.y, c.x, c.y}.Normalized();
  if (box.Width() == 0 || box.Height() == 0) return std::nullopt;
  const CPen& pen = dc.CurrentPen();
  int width = pen.IsNull() ? 0 : pen.DeviceWidth();
  box = pen.FrameBox(box);
  // A one-pixel outline covers the box's last column and row; a null pen
  // leaves them unpainted.
  CRect inner = width > 1 ? CRect{box.left, box.top, box.right - 1, box.bottom - 1}
                          : CRect{box.left + (width + 1) / 2, box.top + (width + 1) / 2, box.right - 1 - width / 2,
                                  box.bottom - 1 - width / 2};
  int x0 = box.left, y0 = box.top, x1 = box.right - 1, y1 = box.bottom - 1;
  // The outline starts at the top right and runs counter-clockwise on screen,
  // or at the bottom right and clockwise.
  std::array<CPoint, 4> outline = dc.GetArcDirection() == AD_COUNTERCLOCKWISE
                                      ? std::array<CPoint, 4>{{{x1, y0}, {x0, y0}, {x0, y1}, {x1, y1}}}
                                      : std::array<CPoint, 4>{{{x1, y1}, {x0, y1}, {x0, y0}, {x1, y0}}};
  return RectangleFigure{inner, outline};
}

}  // namespace

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

CRect CDC::FigureBounds(const CRect& interior, std::span<const CPoint> outline) const {
  return (brush_->IsHollow() ? CRect{} : interior).Union(StrokeBounds(outline, true));
}

bool CDC::Rectangle(int l, int t, int r, int b) {
  std::optional<RectangleFigure> figure = RectangleFigureOf(*this, l, t, r, b);
  if (!figure) return true;
  FillAndStroke(SpanSet::FromRect(figure->interior.ClipTo(drawable_)), figure->outline);
  return true;
}

CRect CDC::RectangleBounds(int l, int t, int r, int b) const {
  std::optional<RectangleFigure> figure = RectangleFigureOf(*this, l, t, r, b);
  if (!figure) return {};
  return ToLogical(FigureBounds(figure->interior, figure->outline));
}

bool CDC::Polygon(std::span<const CPoint> points) {
  if (points.size() < 2) return false;
  std::vector<CPoint> device = ToDevice(points);
  PolyFillMode mode = polyFillMode_ == WINDING ? PolyFillMode::Winding : PolyFillMode::Alternate;
  FillAndStroke(ScanConvertPolygon(device, mode, drawable_.top, drawable_.bottom), device);
  return true;
}

}  // namespace lumetra
