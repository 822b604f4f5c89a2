#include "platform/gdi/spans.h"

#include <algorithm>
#include <bit>
#include <utility>

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
  // Most span sets are made row by row and arrive sorted. Pieces of strokes
  // come in any order but over few rows: those are put in row order by
  // counting, and only each row's few spans are sorted.
  if (!std::is_sorted(spans_.begin(), spans_.end(), before)) {
    auto [low, high] = std::minmax_element(spans_.begin(), spans_.end(),
                                           [](const Span& a, const Span& b) { return a.y < b.y; });
    const std::int64_t rows = std::int64_t(high->y) - low->y + 1;
    if (rows <= 4 * std::int64_t(spans_.size())) {
      std::vector<std::uint32_t> start(std::size_t(rows) + 1, 0);
      for (const Span& s : spans_) ++start[std::size_t(s.y - low->y) + 1];
      for (std::size_t r = 1; r < start.size(); ++r) start[r] += start[r - 1];
      std::vector<Span> byRow(spans_.size());
      std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
      const std::int32_t top = low->y;
      for (const Span& s : spans_) byRow[next[std::size_t(s.y - top)]++] = s;
      for (std::size_t r = 0; r + 1 < start.size(); ++r) {
        std::sort(byRow.begin() + start[r], byRow.begin() + start[r + 1], before);
      }
      spans_ = std::move(byRow);
    } else {
      std::sort(spans_.begin(), spans_.end(), before);
    }
  }
  // Merged in place: the merged list never runs ahead of the one it reads.
  std::size_t kept = 0;
  for (std::size_t i = 0; i < spans_.size(); ++i) {
    const Span s = spans_[i];
    if (kept > 0 && spans_[kept - 1].y == s.y && s.x0 <= spans_[kept - 1].x1) {
      spans_[kept - 1].x1 = std::max(spans_[kept - 1].x1, s.x1);
    } else {
      spans_[kept++] = s;
    }
  }
  spans_.resize(kept);
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

// Every figure with a wide pen subtracts its outline from its fill, so both
// sorted lists are walked together without gathering rows.
SpanSet SpanSet::Subtract(const SpanSet& other) const {
  SpanSet out;
  out.spans_.reserve(spans_.size());
  const std::vector<Span>& cuts = other.spans_;
  std::size_t next = 0;  // the first cut that may still overlap a span
  for (const Span& s : spans_) {
    while (next < cuts.size() && (cuts[next].y < s.y || (cuts[next].y == s.y && cuts[next].x1 <= s.x0))) ++next;
    std::int32_t x = s.x0;
    for (std::size_t k = next; k < cuts.size() && cuts[k].y == s.y && cuts[k].x0 < s.x1; ++k) {
      out.Add(s.y, x, cuts[k].x0);
      x = std::max(x, cuts[k].x1);
    }
    out.Add(s.y, x, s.x1);
  }
  return out;
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

PixelStamp::PixelStamp(SpanSet shape) : shape_(std::move(shape)), bounds_(shape_.Bounds()) {
  if (bounds_.Width() >= 64) return;
  rows_.assign(std::size_t(bounds_.Height()), 0);
  for (const Span& s : shape_.Spans()) {
    rows_[std::size_t(s.y - bounds_.top)] |= (~0ull >> (64 - (s.x1 - s.x0))) << (s.x0 - bounds_.left);
  }
}

PixelMask::PixelMask(const CRect& area) : area_(area) {
  if (area.Width() > 0 && area.Height() > 0) {
    wordsPerRow_ = (std::size_t(area.Width()) + 63) / 64;
    stride_ = wordsPerRow_ + 1;
    bits_.assign(stride_ * std::size_t(area.Height()), 0);
  }
}

void PixelMask::Add(const CRect& r) {
  for (std::int32_t y = std::max(r.top, area_.top); y < std::min(r.bottom, area_.bottom); ++y) Add(y, r.left, r.right);
}

// A run starts or ends wherever a bit differs from the one before it.
SpanSet PixelMask::Spans() const {
  SpanSet out;
  out.Reserve(2 * std::size_t(std::max(area_.Height(), 0)));  // an outline crosses most rows twice
  for (std::int32_t y = area_.top; y < area_.bottom; ++y) {
    const std::uint64_t* row = bits_.data() + std::size_t(y - area_.top) * stride_;
    std::uint64_t carry = 0;
    std::int32_t start = 0;
    bool inRun = false;
    for (std::size_t w = 0; w < wordsPerRow_; ++w) {
      std::uint64_t changes = row[w] ^ ((row[w] << 1) | carry);
      carry = row[w] >> 63;
      for (; changes != 0; changes &= changes - 1) {
        const std::int32_t x = area_.left + std::int32_t(w * 64 + std::size_t(std::countr_zero(changes)));
        if (inRun) out.Add(y, start, x);
        start = x;
        inRun = !inRun;
      }
    }
    if (inRun) out.Add(y, start, area_.right);
  }
  return out;
}

}  // namespace lumetra
