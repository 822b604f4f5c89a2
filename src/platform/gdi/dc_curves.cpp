// Curved figures: ellipses, rounded rectangles, arcs, chords, pies and
// Bézier curves. Outlines are ordered point lists stroked in one call, so a
// dash pattern runs on around the whole figure.

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/ellipse_raster.h"

namespace lumetra {
namespace {

// Boxes wider or taller than this would need outlines of millions of points;
// they are not drawn.
constexpr std::int64_t kMaxFigureSize = CRgn::kRegionLimit;

// The box a pen draws a figure in: the corners in device pixels, put in
// order, and pulled in by an inside-frame pen so that it stays inside (which
// may leave it empty or inverted). An empty box draws nothing, and so, here,
// does an absurdly large one.
std::optional<CRect> FigureBox(const CDC& dc, int l, int t, int r, int b) {
  CPoint a = dc.LPtoDP({l, t}), c = dc.LPtoDP({r, b});
  CRect box = CRect{a.x, a.y, c.x, c.y}.Normalized();
  std::int64_t boxWidth = std::int64_t(box.right) - box.left, boxHeight = std::int64_t(box.bottom) - box.top;
  if (boxWidth == 0 || boxHeight == 0 || boxWidth > kMaxFigureSize || boxHeight > kMaxFigureSize) return std::nullopt;
  return dc.CurrentPen().FrameBox(box);
}

// The rounded rectangle RoundRect draws: its figure box and the corner
// ellipse, clamped to the box.
struct RoundFigure {
  CRect box;
  int ew;
  int eh;
  // Corner ellipses of 2 pixels or less draw a plain rectangle instead.
  bool IsRectangle() const { return ew <= 2 || eh <= 2; }
};

// None when the figure box is.
std::optional<RoundFigure> RoundFigureOf(const CDC& dc, int l, int t, int r, int b, int ew, int eh) {
  std::optional<CRect> box = FigureBox(dc, l, t, r, b);
  if (!box) return std::nullopt;
  return RoundFigure{*box, int(std::min<std::int64_t>(std::llabs(ew), box->Width())),
                     int(std::min<std::int64_t>(std::llabs(eh), box->Height()))};
}

RoundOutline OutlineOf(const CDC& dc, const RoundFigure& figure) {
  return RoundOutline(figure.box, figure.ew, figure.eh, dc.GetArcDirection() == AD_COUNTERCLOCKWISE);
}

// The region its brush fills: the region's box loses a column and a row, and
// one more of each lines the fill up with the outline.
SpanSet InteriorOf(const RoundFigure& figure, const CRect& clip) {
  const CRect& box = figure.box;
  return RoundRectRegionSpans(box.left, box.top, box.right + 1, box.bottom + 1, figure.ew, figure.eh, clip);
}

// Whether nothing drawn in the figure box can reach the drawable area: the
// outline lies in the box and no stroke reaches further from it than a miter
// at the limit (five pen widths). Such figures are skipped before their
// outline is worked out, so a clipped repaint costs what it shows.
bool OutOfReach(const CDC& dc, const CRect& figureBox) {
  const CRect box = figureBox.Normalized();
  const CRect& drawable = dc.DrawableBounds();
  const std::int64_t width = dc.CurrentPen().IsNull() ? 0 : dc.CurrentPen().DeviceWidth();
  const std::int64_t margin = 6 * width + 2;
  return std::int64_t(box.right) + margin < drawable.left || std::int64_t(box.left) - margin >= drawable.right ||
         std::int64_t(box.bottom) + margin < drawable.top || std::int64_t(box.top) - margin >= drawable.bottom;
}

// The outline points of an arc, in drawing order: from the first point at or
// past the start radial up to the first one at or past the end radial, that
// one left out. Equal radials give the whole ellipse. The radials are
// logical points; the centre is the box's, rounded down.
std::vector<CPoint> ArcPoints(const CDC& dc, const CRect& box, CPoint start, CPoint end) {
  bool ccw = dc.GetArcDirection() == AD_COUNTERCLOCKWISE;
  RoundOutline outline(box, box.Width(), box.Height(), ccw);
  CPoint centre{box.left + box.Width() / 2, box.top + box.Height() / 2};
  // Radials relative to the centre, y pointing the way the first corner runs.
  auto index = [&](CPoint p) {
    CPoint d = dc.LPtoDP(p);
    std::int64_t rx = std::int64_t(d.x) - centre.x, ry = std::int64_t(d.y) - centre.y;
    return outline.RadialIndex(rx, ccw ? -ry : ry);
  };
  int first = index(start), last = index(end);
  if (last <= first) last += outline.Size();
  std::vector<CPoint> points;
  points.reserve(std::size_t(last - first + 2));
  for (int i = first; i < last; ++i) points.push_back(outline.At(i));
  return points;
}

// Bézier flattening in sixteenths of a pixel.
constexpr int kFractionBits = 4;
constexpr std::int64_t kPixel = 1 << kFractionBits;
constexpr int kMaxDepth = 8;

std::int64_t ToPixels(std::int64_t v) { return (v + kPixel / 2) >> kFractionBits; }
struct FinePoint {
  std::int64_t x;
  std::int64_t y;
};
using Cubic = std::array<FinePoint, 4>;
FinePoint Midpoint(FinePoint a, FinePoint b) { return {(a.x + b.x + 1) / 2, (a.y + b.y + 1) / 2}; }

// Flat enough to draw as its chord: along the chord's major axis both control
// points lie between the ends, and across it each lies within a pixel of the
// chord, taken with a whole-pixel slope.
bool IsFlat(const Cubic& c) {
  std::int64_t dx = c[3].x - c[0].x, dy = c[3].y - c[0].y;
  bool shallow = std::llabs(dy) <= std::llabs(dx);
  auto major = [&](FinePoint p) { return shallow ? p.x : p.y; };
  auto minor = [&](FinePoint p) { return shallow ? p.y : p.x; };
  for (int i : {1, 2}) {
    std::int64_t m = major(c[i]);
    if ((m < major(c[0])) ? (m < major(c[3])) : (m > major(c[3]))) return false;
  }
  std::int64_t run = ToPixels(shallow ? dx : dy);
  if (run == 0) return true;
  std::int64_t slope = (shallow ? dy : dx) / run;
  for (int i : {1, 2}) {
    std::int64_t off = minor(c[i]) - minor(c[0]) - slope * ToPixels(major(c[i]) - major(c[0]));
    if (std::llabs(off) > kPixel) return false;
  }
  return true;
}

// Appends the end points of the flattened pieces of one cubic (control
// points in sixteenths), halving it at t = 1/2 until flat or deep enough.
void Flatten(const Cubic& c, int depth, std::vector<CPoint>& out) {
  if (depth == 0 || IsFlat(c)) {
    out.push_back({int(ToPixels(c[3].x)), int(ToPixels(c[3].y))});
    return;
  }
  FinePoint m01 = Midpoint(c[0], c[1]), m12 = Midpoint(c[1], c[2]), m23 = Midpoint(c[2], c[3]);
  FinePoint a = Midpoint(m01, m12), b = Midpoint(m12, m23);
  FinePoint mid = Midpoint(a, b);
  Flatten({c[0], m01, a, mid}, depth - 1, out);
  Flatten({mid, b, m23, c[3]}, depth - 1, out);
}

// The polyline PolyBezier draws, in logical coordinates; none for a point
// count other than 3k + 1 with k >= 1.
std::optional<std::vector<CPoint>> FlattenedBeziers(std::span<const CPoint> points) {
  if (points.size() < 4 || (points.size() - 1) % 3 != 0) return std::nullopt;
  std::vector<CPoint> line{points.front()};
  for (std::size_t i = 0; i + 3 < points.size(); i += 3) {
    Cubic c;
    for (std::size_t k = 0; k < 4; ++k) c[k] = {points[i + k].x * kPixel, points[i + k].y * kPixel};
    Flatten(c, kMaxDepth, line);
  }
  return line;
}

}  // namespace

bool CDC::RoundRect(int l, int t, int r, int b, int ew, int eh) {
  std::optional<RoundFigure> figure = RoundFigureOf(*this, l, t, r, b, ew, eh);
  if (!figure || OutOfReach(*this, figure->box)) return true;
  if (figure->IsRectangle()) return Rectangle(l, t, r, b);
  FillAndStroke(InteriorOf(*figure, drawable_), OutlineOf(*this, *figure).Closed());
  return true;
}

// A pen's outline encloses the interior, so its region is worked out only without one.
CRect CDC::RoundRectBounds(int l, int t, int r, int b, int ew, int eh) const {
  std::optional<RoundFigure> figure = RoundFigureOf(*this, l, t, r, b, ew, eh);
  if (!figure) return {};
  if (figure->IsRectangle()) return RectangleBounds(l, t, r, b);
  const CRect interior = pen_->IsNull() ? InteriorOf(*figure, kEverywhere).Bounds() : CRect{};
  return ToLogical(FigureBounds(interior, OutlineOf(*this, *figure).Closed()));
}

// A rounded rectangle whose corner ellipse is as large as the box.
bool CDC::Ellipse(int l, int t, int r, int b) { return RoundRect(l, t, r, b, INT_MAX, INT_MAX); }

CRect CDC::EllipseBounds(int l, int t, int r, int b) const { return RoundRectBounds(l, t, r, b, INT_MAX, INT_MAX); }

bool CDC::Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  std::optional<CRect> box = FigureBox(*this, l, t, r, b);
  if (!box || OutOfReach(*this, *box)) return true;
  std::vector<CPoint> points = ArcPoints(*this, *box, {xs, ys}, {xe, ye});
  // A lone point draws nothing, whatever the pen's width; two equal ones do.
  if (points.size() > 1) StrokePath(points, false);
  return true;
}

CRect CDC::ArcBounds(int l, int t, int r, int b, int xs, int ys, int xe, int ye) const {
  std::optional<CRect> box = FigureBox(*this, l, t, r, b);
  if (!box) return {};
  std::vector<CPoint> points = ArcPoints(*this, *box, {xs, ys}, {xe, ye});
  return points.size() > 1 ? ToLogical(StrokeBounds(points, false)) : CRect{};
}

bool CDC::Chord(int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  std::optional<CRect> box = FigureBox(*this, l, t, r, b);
  if (!box || OutOfReach(*this, *box)) return true;
  std::vector<CPoint> points = ArcPoints(*this, *box, {xs, ys}, {xe, ye});
  if (points.size() < 2) return true;
  FillAndStroke(ScanConvertPolygon(points, PolyFillMode::Winding, drawable_.top, drawable_.bottom), points);
  return true;
}

bool CDC::Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  std::optional<CRect> box = FigureBox(*this, l, t, r, b);
  if (!box || OutOfReach(*this, *box)) return true;
  std::vector<CPoint> points = ArcPoints(*this, *box, {xs, ys}, {xe, ye});
  points.push_back({box->left + box->Width() / 2, box->top + box->Height() / 2});
  if (points.size() < 2) return true;
  FillAndStroke(ScanConvertPolygon(points, PolyFillMode::Winding, drawable_.top, drawable_.bottom), points);
  return true;
}

// Flattened in logical coordinates, then drawn as one polyline: the last end
// point stays unpainted and the dash pattern runs on from curve to curve.
bool CDC::PolyBezier(std::span<const CPoint> points) {
  std::optional<std::vector<CPoint>> line = FlattenedBeziers(points);
  if (!line) return false;
  Polyline(*line);
  return true;
}

CRect CDC::PolyBezierBounds(std::span<const CPoint> points) const {
  std::optional<std::vector<CPoint>> line = FlattenedBeziers(points);
  return line ? PolylineBounds(*line) : CRect{};
}

}  // namespace lumetra
