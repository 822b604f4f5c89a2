#include "platform/gdi/ellipse_raster.h"

#include <algorithm>
#include <cstdlib>

namespace lumetra {

void PlotEllipseRect(int x0, int y0, int x1, int y1, const std::function<void(int, int)>& plot) {
  long long a = std::llabs((long long)x1 - x0), b = std::llabs((long long)y1 - y0), b1 = b & 1;
  long long dx = 4 * (1 - a) * b * b, dy = 4 * (b1 + 1) * a * a;
  long long err = dx + dy + b1 * a * a, e2;
  long long X0 = x0, X1 = x1, Y0 = y0, Y1 = y1;
  if (X0 > X1) { X0 = X1; X1 += a; }
  if (Y0 > Y1) Y0 = Y1;
  Y0 += (b + 1) / 2;
  Y1 = Y0 - b1;
  a *= 8 * a;
  b1 = 8 * b * b;
  do {
    plot(int(X1), int(Y0));
    plot(int(X0), int(Y0));
    plot(int(X0), int(Y1));
    plot(int(X1), int(Y1));
    e2 = 2 * err;
    if (e2 <= dy) { Y0++; Y1--; err += dy += a; }
    if (e2 >= dx || 2 * err > dy) { X0++; X1--; err += dx += b1; }
  } while (X0 <= X1);
  while (Y0 - Y1 < b) {  // flat ellipses stop too early: finish the tips
    plot(int(X0 - 1), int(Y0));
    plot(int(X1 + 1), int(Y0++));
    plot(int(X0 - 1), int(Y1));
    plot(int(X1 + 1), int(Y1--));
  }
}

std::vector<RowExtent> EllipseRows(int w, int h) {
  std::vector<RowExtent> rows(std::size_t(std::max(h, 0)), RowExtent{w, -1});
  if (w <= 0 || h <= 0) return {};
  PlotEllipseRect(0, 0, w - 1, h - 1, [&](int x, int y) {
    if (y < 0 || y >= h) return;
    rows[y].x0 = std::min(rows[y].x0, x);
    rows[y].x1 = std::max(rows[y].x1, x + 1);
  });
  return rows;
}

SpanSet RoundRectRegionSpans(int l, int t, int r, int b, int ew, int eh) {
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  --r;
  --b;
  int width = r - l, height = b - t;
  ew = std::min(std::abs(ew), width);
  eh = std::min(std::abs(eh), height);
  SpanSet spans;
  if (width <= 0 || height <= 0) return spans;
  if (ew < 2 || eh < 2) return SpanSet::FromRect({l, t, r, b});
  std::vector<RowExtent> corner = EllipseRows(ew, eh);
  int topRows = (eh + 1) / 2, bottomRows = eh / 2;
  for (int y = t; y < b; ++y) {
    int fromTop = y - t, fromBottom = b - 1 - y;
    if (fromTop < topRows) {
      const RowExtent& e = corner[fromTop];
      spans.Add(y, l + e.x0, r - ew + e.x1);
    } else if (fromBottom < bottomRows) {
      const RowExtent& e = corner[eh - 1 - fromBottom];
      spans.Add(y, l + e.x0, r - ew + e.x1);
    } else {
      spans.Add(y, l, r);
    }
  }
  return spans;
}

}  // namespace lumetra
