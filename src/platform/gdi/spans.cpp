#include "platform/gdi/spans.h"

#include <algorithm>

namespace lumetra {

SpanSet SpanSet::FromRect(const CRect& r, const CRect& clip) {
  SpanSet set;
  CRect c = r.ClipTo(clip);
  if (c.right > c.left) {
    for (std::int32_t y = c.top; y < c.bottom; ++y) set.spans_.push_back({y, c.left, c.right});
  }
  return set;
}

void SpanSet::Normalize() {
  auto before = [](const Span& a, const Span& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; };
  // Most span sets are made row by row and arrive sorted.
  if (!std::is_sorted(spans_.begin(), spans_.end(), before)) std::sort(spans_.begin(), spans_.end(), before);
  std::vector<Span> merged;
  merged.reserve(spans_.size());
  for (const Span& s : spans_) {
    if (!merged.empty() && merged.back().y == s.y && s.x0 <= merged.back().x1) {
      merged.back().x1 = std::max(merged.back().x1, s.x1);
    } else {
      merged.push_back(s);
    }
  }
  spans_ = std::move(merged);
}

bool SpanSet::Contains(std::int32_t x, std::int32_t y) const {
  auto it = std::lower_bound(spans_.begin(), spans_.end(), y, [](const Span& s, std::int32_t row) { return s.y < row; });
  for (; it != spans_.end() && it->y == y; ++it) {
    if (x >= it->x0 && x < it->x1) return true;
  }
  return false;
}

CRect SpanSet::Bounds() const {
  if (spans_.empty()) return {};
  CRect box{spans_.front().x0, spans_.front().y, spans_.front().x1, spans_.front().y + 1};
  for (const Span& s : spans_) {
    box.left = std::min(box.left, s.x0);
    box.right = std::max(box.right, s.x1);
    box.top = std::min(box.top, s.y);
    box.bottom = std::max(box.bottom, s.y + 1);
  }
  return box;
}

void SpanSet::Translate(std::int32_t dx, std::int32_t dy) {
  for (Span& s : spans_) {
    s.y += dy;
    s.x0 += dx;
    s.x1 += dx;
  }
}

// Walks both sorted lists row by row.
template <typename RowOp>
static SpanSet CombineRows(const std::vector<Span>& a, const std::vector<Span>& b, RowOp op) {
  SpanSet out;
  std::size_t i = 0, j = 0;
  std::vector<Span> rowA, rowB;
  while (i < a.size() || j < b.size()) {
    std::int32_t y = i < a.size() && (j >= b.size() || a[i].y <= b[j].y) ? a[i].y : b[j].y;
    rowA.clear();
    rowB.clear();
    while (i < a.size() && a[i].y == y) rowA.push_back(a[i++]);
    while (j < b.size() && b[j].y == y) rowB.push_back(b[j++]);
    op(y, rowA, rowB, out);
  }
  return out;
}

SpanSet SpanSet::Subtract(const SpanSet& other) const {
  return CombineRows(spans_, other.spans_, [](std::int32_t y, const auto& ra, const auto& rb, SpanSet& out) {
    for (Span s : ra) {
      std::int32_t x = s.x0;
      for (const Span& cut : rb) {
        if (cut.x1 <= x || cut.x0 >= s.x1) continue;
        out.Add(y, x, cut.x0);
        x = std::max(x, cut.x1);
      }
      out.Add(y, x, s.x1);
    }
  });
}

SpanSet SpanSet::Intersect(const SpanSet& other) const {
  return CombineRows(spans_, other.spans_, [](std::int32_t y, const auto& ra, const auto& rb, SpanSet& out) {
    for (const Span& s : ra) {
      for (const Span& t : rb) out.Add(y, std::max(s.x0, t.x0), std::min(s.x1, t.x1));
    }
  });
}

SpanSet SpanSet::ClipTo(const CRect& r) const {
  SpanSet out;
  for (const Span& s : spans_) {
    if (s.y >= r.top && s.y < r.bottom) out.Add(s.y, std::max(s.x0, r.left), std::min(s.x1, r.right));
  }
  return out;
}

}  // namespace lumetra
