#include "platform/gdi/wide_stroke.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/gdi/ellipse_raster.h"
#include "platform/gdi/region.h"

namespace lumetra {
namespace {

// The body of one segment: a rectangle for horizontal and vertical segments,
// otherwise the quadrilateral of the two offset edges.
void AddSegmentBody(CPoint a, CPoint b, int w, const CRect& limit, SpanSet& out) {
  if (a.y == b.y) {
    int top = a.y - w / 2;
    out.UnionWith(SpanSet::FromRect(CRect{std::min(a.x, b.x), top, std::max(a.x, b.x), top + w}).ClipTo(limit));
    return;
  }
  if (a.x == b.x) {
    int left = a.x - w / 2;
    out.UnionWith(SpanSet::FromRect(CRect{left, std::min(a.y, b.y), left + w, std::max(a.y, b.y)}).ClipTo(limit));
    return;
  }
  int dx = b.x - a.x, dy = b.y - a.y;
  double len = std::hypot(double(dx), double(dy));
  // The pen's extent across the segment, split into a narrow and a wide half
  // that trade sides with the direction of the segment.
  double widthX = w * std::abs(double(dy)) / len, widthY = w * std::abs(double(dx)) / len;
  auto round = [](double v) { return int(std::floor(v + 0.5)); };
  CPoint narrow{round(widthX / 2), round(widthY / 2)};
  CPoint wide{round((widthX + 1) / 2), round((widthY + 1) / 2)};
  if (dx < 0) {
    narrow.y = -narrow.y;
    wide.y = -wide.y;
  }
  if (dy < 0) {
    std::swap(narrow, wide);
    narrow.x = -narrow.x;
    wide.x = -wide.x;
  }
  const CPoint quad[] = {{a.x - narrow.x, a.y + narrow.y},
                         {a.x + wide.x, a.y - wide.y},
                         {b.x + wide.x, b.y - wide.y},
                         {b.x - narrow.x, b.y + narrow.y}};
  out.UnionWith(ScanConvertPolygon(quad, PolyFillMode::Alternate, limit.top, limit.bottom).ClipTo(limit));
}

}  // namespace

SpanSet PenDisc(CPoint centre, int w) {
  SpanSet disc = RoundRectRegionSpans(-(w / 2), -(w / 2), (w + 1) / 2 + 1, (w + 1) / 2 + 1, w + 1, w + 1);
  disc.Translate(centre.x, centre.y);
  return disc;
}

SpanSet WideStrokeSpans(std::span<const CPoint> points, bool closed, int width, const CRect& limit) {
  SpanSet covered;
  // Work only near the drawable area: a disc or body farther out than the pen cannot reach it.
  CRect reach{limit.left - width, limit.top - width, limit.right + width, limit.bottom + width};
  std::size_t n = points.size();
  std::size_t segments = closed ? n : n - 1;
  for (std::size_t i = 0; i < segments && n > 1; ++i) {
    AddSegmentBody(points[i], points[(i + 1) % n], width, reach, covered);
  }
  for (CPoint p : points) {
    if (reach.PtInRect(p)) covered.UnionWith(PenDisc(p, width));
  }
  if (n == 1) covered.UnionWith(PenDisc(points[0], width));
  return covered.ClipTo(limit);
}

}  // namespace lumetra
