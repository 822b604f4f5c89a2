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
// the edges active on the current row, kept in order of their crossings, so
// the work grows with rows plus crossings, not rows times edges. Each active
// edge steps its exact crossing from row to row in whole numbers.
void ForEachPolygonSpan(std::span<const CPoint> points, PolyFillMode mode, std::int32_t firstRow, std::int32_t endRow,
                        const std::function<void(std::int32_t, std::int32_t, std::int32_t)>& span) {
  struct Edge {
    CPoint top;
    CPoint bottom;
    int direction;
    // On row y the crossing is x = top.x + ceil((y - top.y) * run / height).
    // With run = step * height + rem (0 <= rem < height) that is x, and
    // excess = the part of a pixel x lies past the exact crossing, in 1/height.
    std::int64_t x;
    std::int64_t step;
    std::int64_t rem;
    std::int64_t height;
    std::int64_t excess;

    void StartAt(std::int32_t y) {
      height = std::int64_t(bottom.y) - top.y;
      const std::int64_t run = std::int64_t(bottom.x) - top.x;
      step = run >= 0 ? run / height : -CeilDiv<std::int64_t>(-run, height);
      rem = run - step * height;
      const std::int64_t rows = std::int64_t(y) - top.y;
      // 128-bit division is slow and only needed for coordinates far off any bitmap.
      std::int64_t up;
      if (rows < (std::int64_t(1) << 31) && rem < (std::int64_t(1) << 31)) {
        up = CeilDiv<std::int64_t>(rows * rem, height);
        excess = up * height - rows * rem;
      } else {
        up = std::int64_t(CeilDiv<__int128>(__int128(rows) * rem, height));
        excess = std::int64_t(__int128(up) * height - __int128(rows) * rem);
      }
      x = top.x + rows * step + up;
    }
    void NextRow() {
      x += step;
      excess -= rem;
      if (excess < 0) {
        excess += height;
        ++x;
      }
    }
  };
  if (points.size() < 3) return;
  // Wide strokes scan-convert a small polygon for every segment and join;
  // the working lists are kept between calls so those cost no allocations.
  thread_local std::vector<Edge> edges;
  thread_local std::vector<Edge*> active;
  thread_local std::vector<Crossing> crossings;
  edges.clear();
  active.clear();
  std::size_t n = points.size();
  for (std::size_t i = 0; i < n; ++i) {
    CPoint a = points[i], b = points[(i + 1) % n];
    if (a.y == b.y) continue;
    edges.push_back(a.y < b.y ? Edge{a, b, 1, 0, 0, 0, 0, 0} : Edge{b, a, -1, 0, 0, 0, 0, 0});
  }
  std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.top.y < r.top.y; });
  if (edges.empty()) return;
  std::int32_t y = std::max(edges.front().top.y, firstRow);
  std::size_t next = 0;
  while (y < endRow) {
    std::erase_if(active, [y](const Edge* e) { return e->bottom.y <= y; });
    for (; next < edges.size() && edges[next].top.y <= y; ++next) {
      if (edges[next].bottom.y <= y) continue;
      edges[next].StartAt(y);
      active.push_back(&edges[next]);
    }
    if (active.empty()) {
      if (next == edges.size()) break;
      y = edges[next].top.y;  // skip rows no edge covers
      continue;
    }
    // Crossings change order only where edges cross, so the list is nearly sorted.
    for (std::size_t i = 1; i < active.size(); ++i) {
      for (std::size_t j = i; j > 0 && active[j]->x < active[j - 1]->x; --j) std::swap(active[j], active[j - 1]);
    }
    crossings.clear();
    for (const Edge* e : active) crossings.push_back({e->x, e->direction});
    ForEachSpan(crossings, mode, [&](std::int64_t x0, std::int64_t x1) {
      x0 = std::clamp<std::int64_t>(x0, -CRgn::kRegionLimit, CRgn::kRegionLimit);
      x1 = std::clamp<std::int64_t>(x1, -CRgn::kRegionLimit, CRgn::kRegionLimit);
      span(y, static_cast<std::int32_t>(x0), static_cast<std::int32_t>(x1));
    });
    for (Edge* e : active) e->NextRow();
    ++y;
  }
}

SpanSet ScanConvertPolygon(std::span<const CPoint> points, PolyFillMode mode, std::int32_t firstRow,
                           std::int32_t endRow) {
  SpanSet spans;
  ForEachPolygonSpan(points, mode, firstRow, endRow,
                     [&](std::int32_t y, std::int32_t x0, std::int32_t x1) { spans.Add(y, x0, x1); });
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
