#include "platform/gdi/region.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/ellipse_raster.h"
#include "platform/gdi/int_math.h"

namespace lumetra {
namespace {

struct Crossing {
  std::int64_t x;
  int direction;  // +1 for an edge going down, -1 going up
};

// The crossings of row y, sorted: an edge covers the rows top <= y < bottom
// (horizontal edges none), and crosses at the exact x rounded up.
void RowCrossings(std::span<const CPoint> v, std::int64_t y, std::vector<Crossing>& out) {
  out.clear();
  std::size_t n = v.size();
  for (std::size_t i = 0; i < n; ++i) {
    CPoint a = v[i];
    CPoint b = v[(i + 1) % n];
    if (a.y == b.y) continue;
    int direction = a.y < b.y ? 1 : -1;
    if (direction < 0) std::swap(a, b);
    if (y < a.y || y >= b.y) continue;
    __int128 num = __int128(y - a.y) * (std::int64_t(b.x) - a.x);
    out.push_back({a.x + std::int64_t(CeilDiv<__int128>(num, std::int64_t(b.y) - a.y)), direction});
  }
  std::sort(out.begin(), out.end(), [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
}

// Calls span(x0, x1) for each covered run of the row.
template <typename SpanFn>
void ForEachSpan(const std::vector<Crossing>& crossings, PolyFillMode mode, SpanFn span) {
  int winding = 0;
  for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
    winding += mode == PolyFillMode::Alternate ? 1 : crossings[i].direction;
    bool inside = mode == PolyFillMode::Alternate ? (winding % 2 != 0) : (winding != 0);
    if (inside && crossings[i].x < crossings[i + 1].x) span(crossings[i].x, crossings[i + 1].x);
  }
}

}  // namespace

// Rows are swept with a table of edges sorted by their top row and a list of
// the edges active on the current row, so the work grows with rows plus
// crossings, not rows times edges.
SpanSet ScanConvertPolygon(std::span<const CPoint> points, PolyFillMode mode, std::int32_t firstRow,
                           std::int32_t endRow) {
  struct Edge {
    CPoint top;
    CPoint bottom;
    int direction;
  };
  SpanSet spans;
  if (points.size() < 3) return spans;
  // Wide strokes scan-convert a small polygon for every segment and join;
  // the working lists are kept between calls so those cost no allocations.
  thread_local std::vector<Edge> edges;
  thread_local std::vector<const Edge*> active;
  thread_local std::vector<Crossing> crossings;
  edges.clear();
  active.clear();
  std::size_t n = points.size();
  for (std::size_t i = 0; i < n; ++i) {
    CPoint a = points[i], b = points[(i + 1) % n];
    if (a.y == b.y) continue;
    edges.push_back(a.y < b.y ? Edge{a, b, 1} : Edge{b, a, -1});
  }
  std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.top.y < r.top.y; });
  if (edges.empty()) return spans;
  std::int32_t y = std::max(edges.front().top.y, firstRow);
  std::size_t next = 0;
  while (y < endRow) {
    while (next < edges.size() && edges[next].top.y <= y) active.push_back(&edges[next++]);
    std::erase_if(active, [y](const Edge* e) { return e->bottom.y <= y; });
    if (active.empty()) {
      if (next == edges.size()) break;
      y = std::max(y + 1, edges[next].top.y);  // skip rows no edge covers
      continue;
    }
    crossings.clear();
    for (const Edge* e : active) {
      if (e->top.y > y) continue;
      const std::int64_t rows = std::int64_t(y) - e->top.y, run = std::int64_t(e->bottom.x) - e->top.x;
      const std::int64_t height = std::int64_t(e->bottom.y) - e->top.y;
      // 128-bit division is slow and only needed for coordinates far off any bitmap.
      const std::int64_t shift = rows < (std::int64_t(1) << 31) && std::llabs(run) < (std::int64_t(1) << 31)
                                     ? CeilDiv<std::int64_t>(rows * run, height)
                                     : std::int64_t(CeilDiv<__int128>(__int128(rows) * run, height));
      crossings.push_back({e->top.x + shift, e->direction});
    }
    std::sort(crossings.begin(), crossings.end(), [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
    ForEachSpan(crossings, mode, [&](std::int64_t x0, std::int64_t x1) {
      x0 = std::clamp<std::int64_t>(x0, -CRgn::kRegionLimit, CRgn::kRegionLimit);
      x1 = std::clamp<std::int64_t>(x1, -CRgn::kRegionLimit, CRgn::kRegionLimit);
      spans.Add(y, static_cast<std::int32_t>(x0), static_cast<std::int32_t>(x1));
    });
    ++y;
  }
  spans.Normalize();
  return spans;
}

CRgn CRgn::CreatePolygonRgn(std::span<const CPoint> points, PolyFillMode mode) {
  CRgn rgn;
  rgn.vertices_.assign(points.begin(), points.end());
  rgn.mode_ = mode;
  return rgn;
}

CRgn CRgn::CreateRectRgn(int l, int t, int r, int b) {
  CRect box = CRect{l, t, r, b}.Normalized();
  box.left = std::max(box.left, -kRegionLimit);
  box.top = std::max(box.top, -kRegionLimit);
  box.right = std::min(box.right, kRegionLimit);
  box.bottom = std::min(box.bottom, kRegionLimit);
  return FromSpans(SpanSet::FromRect(box));
}

CRgn CRgn::CreateEllipticRgn(int l, int t, int r, int b) {
  auto extent = [](int from, int to) {
    return int(std::clamp<long long>((long long)to - from, -kRegionLimit * 2LL, kRegionLimit * 2LL));
  };
  return CreateRoundRectRgn(l, t, r, b, extent(l, r), extent(t, b));
}

CRgn CRgn::CreateRoundRectRgn(int l, int t, int r, int b, int ew, int eh) {
  auto clamp = [](int v) { return std::clamp(v, -kRegionLimit, kRegionLimit); };
  return FromSpans(RoundRectRegionSpans(clamp(l), clamp(t), clamp(r), clamp(b), ew, eh));
}

int CRgn::Complexity() const {
  const std::vector<Span>& spans = Spans().Spans();
  if (spans.empty()) return 1;
  for (std::size_t i = 1; i < spans.size(); ++i) {
    const Span& a = spans[i - 1];
    const Span& b = spans[i];
    if (b.y != a.y + 1 || b.x0 != a.x0 || b.x1 != a.x1) return 3;
  }
  return 2;
}

CRgn CRgn::FromSpans(SpanSet spans) {
  CRgn rgn;
  spans.Normalize();
  rgn.spans_ = std::move(spans);
  return rgn;
}

bool CRgn::PtInRegion(std::int32_t x, std::int32_t y) const {
  if (vertices_.empty()) return spans_ && spans_->Contains(x, y);
  if (vertices_.size() < 3) return false;
  std::vector<Crossing> crossings;
  RowCrossings(vertices_, y, crossings);
  bool hit = false;
  ForEachSpan(crossings, mode_, [&](std::int64_t x0, std::int64_t x1) { hit = hit || (x >= x0 && x < x1); });
  return hit;
}

SpanSet CRgn::SpansWithin(const CRect& area) const {
  if (vertices_.empty()) return Spans().ClipTo(area);
  return ScanConvertPolygon(vertices_, mode_, area.top, area.bottom).ClipTo(area);
}

const SpanSet& CRgn::Spans() const {
  if (!spans_) spans_ = ScanConvertPolygon(vertices_, mode_, -kRegionLimit, kRegionLimit);
  return *spans_;
}

}  // namespace lumetra
