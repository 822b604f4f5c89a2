#include "platform/gdi/region.h"

#include <algorithm>
#include <vector>

namespace lumetra {
namespace {

struct Crossing {
  std::int64_t x;
  int direction;  // +1 for an edge going down, -1 going up
};

// ceil(a / b) for b > 0.
std::int64_t CeilDiv(__int128 a, __int128 b) {
  __int128 q = a / b;
  if (a % b != 0 && a > 0) ++q;
  return static_cast<std::int64_t>(q);
}

}  // namespace

CRgn CRgn::CreatePolygonRgn(std::span<const CPoint> points, PolyFillMode mode) {
  CRgn rgn;
  rgn.vertices_.assign(points.begin(), points.end());
  rgn.mode_ = mode;
  return rgn;
}

bool CRgn::PtInRegion(std::int32_t x, std::int32_t y) const {
  std::size_t n = vertices_.size();
  if (n < 3) return false;
  // An edge covers the rows top <= y < bottom; horizontal edges cover none.
  // On a row its crossing is the exact x rounded up.
  std::vector<Crossing> crossings;
  for (std::size_t i = 0; i < n; ++i) {
    CPoint a = vertices_[i];
    CPoint b = vertices_[(i + 1) % n];
    if (a.y == b.y) continue;
    int direction = a.y < b.y ? 1 : -1;
    if (direction < 0) std::swap(a, b);
    if (y < a.y || y >= b.y) continue;
    __int128 num = __int128(y - std::int64_t(a.y)) * (std::int64_t(b.x) - a.x);
    crossings.push_back({a.x + CeilDiv(num, std::int64_t(b.y) - a.y), direction});
  }
  std::sort(crossings.begin(), crossings.end(), [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
  int winding = 0;
  for (std::size_t i = 0; i < crossings.size(); ++i) {
    winding += mode_ == PolyFillMode::Alternate ? 1 : crossings[i].direction;
    bool inside = mode_ == PolyFillMode::Alternate ? (winding % 2 != 0) : (winding != 0);
    if (inside && i + 1 < crossings.size() && x >= crossings[i].x && x < crossings[i + 1].x) return true;
  }
  return false;
}

}  // namespace lumetra
