#pragma once
// The integer ellipse rasteriser that GDI's ellipses, rounded rectangles,
// elliptic regions and round pen ends all come from: an error-term walk in the
// manner of A. Zingl's plotEllipseRect ("A Rasterizing Algorithm for Drawing
// Curves"), stepped the way GDI steps it.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/gdi/spans.h"

namespace lumetra {

// The stepping every ellipse comes from: one quarter of a w x h ellipse
// whose pixels run from (0, 0) to (w - 1, h - 1), visited from the right end
// of the middle row (row h/2) towards the bottom. Both steps are decided on
// the same error value, so a step may be diagonal, and the walk ends at the
// middle column. Taken literally also for empty or inverted sizes, as GDI does.
// Called for every point of every outline drawn, so it is a template.
template <typename Visit>
void WalkEllipseQuarter(std::int64_t w, std::int64_t h, Visit&& visit) {
  std::int64_t a = w - 1, b = h - 1, b1 = b % 2;
  std::int64_t dx = 4 * (1 - a) * b * b, dy = 4 * (1 + b1) * a * a;
  std::int64_t err = dx + dy + b1 * a * a;
  std::int64_t x = a, y = h / 2;
  std::int64_t steps = 4 * (std::llabs(a) + std::llabs(b)) + 16;  // in case the error terms never settle
  for (; x >= w / 2 && steps > 0; --steps) {
    visit(x, y);
    std::int64_t e2 = 2 * err;
    if (e2 >= dx) {
      --x;
      err += dx += 8 * b * b;
    }
    if (e2 <= dy) {
      ++y;
      err += dy += 8 * a * a;
    }
  }
}

inline constexpr CRect kEverywhere{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};

// For an ellipse of w x h pixels at (0, 0): per row y (0..h-1) the covered
// columns [first, last + 1). Very thin ellipses lose their tips, as GDI's do:
// rows the walk never reaches have last = -1.
struct RowExtent {
  int x0;
  int x1;
};
std::vector<RowExtent> EllipseRows(int w, int h);

// The outline of a rounded rectangle (an ellipse when the corner ellipse
// fills the box) as a closed sequence of 4n points: the corner quarters in
// drawing order, neighbouring pixels along each corner. Counter-clockwise on
// screen it starts at the lower end of the top-right corner and goes up;
// clockwise at the upper end of the bottom-right corner and goes down.
class RoundOutline {
 public:
  RoundOutline(const CRect& box, int ew, int eh, bool counterClockwise);

  int QuarterSize() const { return int(quarter_.size()); }
  int Size() const { return 4 * QuarterSize(); }

  // Point i of the sequence, for any i >= 0 (it wraps around).
  CPoint At(int i) const;
  std::vector<CPoint> Closed() const;

  // The index of the first outline point, in drawing order, at or past the
  // radial through (rx, ry) (relative to the centre, y pointing the way the
  // first corner is drawn). The quarter is compared by integer cross products
  // after folding the radial into it; which side a tie falls on depends on
  // the quadrant.
  int RadialIndex(std::int64_t rx, std::int64_t ry) const;

 private:
  // How corner 0..3 places the quarter: in order or reversed, at x0 + sx * q.x, y0 + sy * q.y.
  struct Corner {
    bool reversed;
    int x0, sx, y0, sy;
    CPoint Place(CPoint q) const { return {x0 + sx * q.x, y0 + sy * q.y}; }
  };
  Corner Placement(int corner) const;

  CRect box_;
  int ew_;
  int eh_;
  bool ccw_;
  std::vector<CPoint> quarter_;
};

// The region CreateRoundRectRgn(l, t, r, b, ew, eh) covers (CreateEllipticRgn
// is the case ew = r - l, eh = b - t): the box loses its last column and row,
// the corner ellipse is clamped to it, and below 2 pixels it is a rectangle.
// Only the part within `clip` is made.
SpanSet RoundRectRegionSpans(int l, int t, int r, int b, int ew, int eh, const CRect& clip = kEverywhere);

}  // namespace lumetra
