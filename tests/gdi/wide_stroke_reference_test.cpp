// Round pens' wide strokes against the stroker they replaced, kept here as the
// reference: every segment's body scan-converted on its own and a pen disc on
// every point (the caps and round joins), all merged as spans. Outlines of
// ellipses and rounded rectangles, arcs of them and free polylines, made at
// random, must come out the same pixel for pixel at every width and clip.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <span>
#include <vector>

#include "platform/gdi/ellipse_raster.h"
#include "platform/gdi/region.h"
#include "platform/gdi/wide_stroke.h"

namespace lumetra {
namespace {

int RoundAway(double v) { return int(v > 0 ? v + 0.5 : v - 0.5); }

SpanSet ReferenceBody(CPoint a, CPoint b, int w) {
  const int dx = b.x - a.x, dy = b.y - a.y;
  if (dy == 0) return SpanSet::FromRect({std::min(a.x, b.x), a.y - w / 2, std::max(a.x, b.x), a.y - w / 2 + w});
  if (dx == 0) return SpanSet::FromRect({a.x - w / 2, std::min(a.y, b.y), a.x - w / 2 + w, std::max(a.y, b.y)});
  const double len = std::hypot(double(dx), double(dy));
  const double across = w * std::abs(dy) / len, along = w * std::abs(dx) / len;
  CPoint narrow{RoundAway(across / 2), RoundAway(along / 2)};
  CPoint wide{RoundAway((across + 1) / 2), RoundAway((along + 1) / 2)};
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
  return ScanConvertPolygon(quad, PolyFillMode::Alternate, kEverywhere.top, kEverywhere.bottom);
}

SpanSet ReferenceStroke(std::span<const CPoint> points, bool closed, int w, const CRect& limit) {
  SpanSet all;
  for (CPoint p : points) all.Append(PenDisc(p, w, limit));
  const std::size_t n = points.size();
  for (std::size_t i = 0; i < (closed ? n : n - 1); ++i) {
    if (points[i] != points[(i + 1) % n]) all.Append(ReferenceBody(points[i], points[(i + 1) % n], w));
  }
  all.Normalize();
  return all.ClipTo(limit);
}

TEST(RoundPenStroke, MatchesTheStampedReferenceOnRandomFiguresWidthsAndClips) {
  std::mt19937 rng(2024);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const CRect canvas{0, 0, 160, 100};
  for (int round = 0; round < 4000; ++round) {
    std::vector<CPoint> points;
    bool closed = true;
    const int kind = round % 4;  // ellipse, rounded rectangle, arc, polyline
    if (kind < 3) {
      const CRect box{pick(-20, 120), pick(-20, 80), 0, 0};
      const int w = pick(3, 90), h = pick(3, 70);
      const int ew = kind == 1 ? pick(3, w) : w, eh = kind == 1 ? pick(3, h) : h;
      points = RoundOutline({box.left, box.top, box.left + w, box.top + h}, ew, eh, pick(0, 1) == 1).Closed();
      if (kind == 2) {
        // An arc is a run of the outline, possibly over its start.
        const std::size_t first = std::size_t(pick(0, int(points.size()) - 1));
        const std::size_t count = std::size_t(pick(2, int(points.size())));
        std::vector<CPoint> arc;
        for (std::size_t i = 0; i < count; ++i) arc.push_back(points[(first + i) % points.size()]);
        points = arc;
        closed = false;
      }
    } else {
      for (int i = pick(1, 8); i >= 0; --i) {
        // Repeated points make empty segments.
        points.push_back(!points.empty() && pick(0, 5) == 0 ? points.back() : CPoint{pick(-30, 190), pick(-30, 130)});
      }
      closed = pick(0, 1) == 1;
    }
    const int width = round % 10 == 0 ? pick(60, 70) : pick(2, 6);  // wide ones stamp span by span
    CRect limit = canvas;
    if (pick(0, 2) == 0) limit = CRect{pick(0, 80), pick(0, 50), pick(80, 160), pick(50, 100)};
    const SpanSet expected = ReferenceStroke(points, closed, width, limit);
    const SpanSet actual = WideStrokeSpans(points, closed, CPen(PS_SOLID, width, 0), limit);
    ASSERT_EQ(actual.Spans(), expected.Spans()) << "round " << round << ", width " << width;
  }
}

}  // namespace
}  // namespace lumetra
