#include "platform/gdi/ellipse_raster.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace lumetra {

std::vector<RowExtent> EllipseRows(int w, int h) {
  std::vector<RowExtent> rows(std::size_t(std::max(h, 0)), RowExtent{w, -1});
  if (w <= 0 || h <= 0) return {};
  // Each point of the walk stands for its mirror images on its row and on the mirrored row.
  const std::int64_t a = w - 1, b = h - 1;
  WalkEllipseQuarter(w, h, [&](std::int64_t x, std::int64_t y) {
    const int left = int(std::min(x, a - x)), right = int(std::max(x, a - x));
    for (std::int64_t row : {y, b - y}) {
      if (row < 0 || row >= h) continue;
      rows[std::size_t(row)].x0 = std::min(rows[std::size_t(row)].x0, left);
      rows[std::size_t(row)].x1 = std::max(rows[std::size_t(row)].x1, right + 1);
    }
  });
  return rows;
}

namespace {

// The lower-right quarter of the outline of a w x h ellipse whose pixels run
// from (0, 0) to (w - 1, h - 1): from the right end of the middle row down to
// the bottom row, in drawing order (x never grows, y never shrinks). The walk
// stays in that quarter and goes that way, so this is the walk, with a point
// visited twice counted once. An inside-frame pen wider than the box leaves it
// empty or inverted, and GDI still runs its stepping on those sizes and lands
// on every point it visits (with no width none; with no height a short run).
std::vector<CPoint> LowerRightQuarter(int w, int h) {
  std::vector<CPoint> quarter;
  const bool degenerate = w < 1 || h < 1;
  WalkEllipseQuarter(w, h, [&](std::int64_t x, std::int64_t y) {
    const CPoint p{int(x), int(y)};
    if (degenerate || quarter.empty() || quarter.back() != p) quarter.push_back(p);
  });
  return quarter;
}

}  // namespace

RoundOutline::RoundOutline(const CRect& box, int ew, int eh, bool counterClockwise)
    : box_(box), ew_(ew), eh_(eh), ccw_(counterClockwise), quarter_(LowerRightQuarter(ew, eh)) {}

// Corners 0 and 2 run along the quarter, 1 and 3 against it; each mirrors it into place.
RoundOutline::Corner RoundOutline::Placement(int corner) const {
  const bool right = corner == 0 || corner == 3, top = (corner <= 1) == ccw_;
  return {corner % 2 != 0, right ? box_.right - ew_ : box_.left + ew_ - 1, right ? 1 : -1,
          top ? box_.top + eh_ - 1 : box_.bottom - eh_, top ? -1 : 1};
}

CPoint RoundOutline::At(int i) const {
  const int n = QuarterSize(), k = i % n;
  const Corner corner = Placement((i / n) % 4);
  return corner.Place(quarter_[std::size_t(corner.reversed ? n - 1 - k : k)]);
}

std::vector<CPoint> RoundOutline::Closed() const {
  std::vector<CPoint> points;
  points.reserve(std::size_t(Size()));
  for (int i = 0; i < 4; ++i) {
    const Corner corner = Placement(i);
    if (corner.reversed) {
      for (auto q = quarter_.rbegin(); q != quarter_.rend(); ++q) points.push_back(corner.Place(*q));
    } else {
      for (CPoint q : quarter_) points.push_back(corner.Place(q));
    }
  }
  return points;
}

int RoundOutline::RadialIndex(std::int64_t rx, std::int64_t ry) const {
  int n = QuarterSize();
  auto first = [&](auto past) {
    int i = 0;
    while (i < n && !past(std::int64_t(quarter_[std::size_t(i)].x) - ew_ / 2,
                          std::int64_t(quarter_[std::size_t(i)].y) - eh_ / 2)) {
      ++i;
    }
    return i;
  };
  if (ry >= 0) {
    if (rx >= 0) return first([&](std::int64_t qx, std::int64_t qy) { return qx * ry <= qy * rx; });
    return 2 * n - first([&](std::int64_t qx, std::int64_t qy) { return qx * ry < qy * -rx; });
  }
  if (rx >= 0) return 4 * n - first([&](std::int64_t qx, std::int64_t qy) { return qx * -ry <= qy * rx; });
  return 2 * n + first([&](std::int64_t qx, std::int64_t qy) { return qx * -ry < qy * -rx; });
}

SpanSet RoundRectRegionSpans(int l, int t, int r, int b, int ew, int eh, const CRect& clip) {
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  --r;
  --b;
  long long width = (long long)r - l, height = (long long)b - t;
  ew = int(std::min<long long>(std::llabs(ew), width));
  eh = int(std::min<long long>(std::llabs(eh), height));
  // A box that the shrinking emptied or turned over still gives its rectangle
  // (a flat box keeps one row), like any corner ellipse under 2 pixels.
  if (ew < 2 || eh < 2) return SpanSet::FromRect(CRect{l, t, r, b}.Normalized(), clip);
  SpanSet spans;
  std::vector<RowExtent> corner = EllipseRows(ew, eh);
  int topRows = (eh + 1) / 2, bottomRows = eh / 2;
  // Rows the walk never reaches (the tips of narrow, tall corners) stay empty.
  auto add = [&](int y, const RowExtent& e) {
    if (e.x1 < 0) return;
    spans.Add(y, std::max(l + e.x0, clip.left), std::min(r - ew + e.x1, clip.right));
  };
  for (int y = std::max(t, clip.top); y < std::min(b, clip.bottom); ++y) {
    int fromTop = y - t, fromBottom = b - 1 - y;
    if (fromTop < topRows) {
      add(y, corner[fromTop]);
    } else if (fromBottom < bottomRows) {
      add(y, corner[eh - 1 - fromBottom]);
    } else {
      spans.Add(y, std::max(l, clip.left), std::min(r, clip.right));
    }
  }
  return spans;
}

}  // namespace lumetra
