#pragma once
// A set of pixels as horizontal spans [x0, x1) on rows y: what a stroke or a
// fill covers. Normalised sets hold sorted, disjoint, non-touching spans.
// PixelMask holds such a set as one bit per pixel of a bounded area, where
// many overlapping pieces merge as they come; PixelStamp is a small piece
// stamped into one many times.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace lumetra {

struct Span {
  std::int32_t y;
  std::int32_t x0;
  std::int32_t x1;  // exclusive
  friend bool operator==(const Span&, const Span&) = default;
};

class SpanSet {
 public:
  SpanSet() = default;
  // [left, right) x [top, bottom) within `clip`; empty when either side is 0 or less.
  static SpanSet FromRect(const CRect& r, const CRect& clip);
  static SpanSet FromRect(const CRect& r) { return FromRect(r, r); }

  // Adds a span; call Normalize() before reading when spans may overlap or be out of order.
  void Add(std::int32_t y, std::int32_t x0, std::int32_t x1) {
    if (x0 < x1) spans_.push_back({y, x0, x1});
  }
  void Normalize();
  void Reserve(std::size_t spans) { spans_.reserve(spans); }
  // Adds the other set's spans; call Normalize() once after the last.
  void Append(const SpanSet& other) { spans_.insert(spans_.end(), other.spans_.begin(), other.spans_.end()); }

  bool Empty() const { return spans_.empty(); }
  const std::vector<Span>& Spans() const { return spans_; }
  bool Contains(std::int32_t x, std::int32_t y) const;
  // Bounding box, (0,0,0,0) when empty.
  CRect Bounds() const;

  void Translate(std::int32_t dx, std::int32_t dy);
  // Both sets must be normalised.
  SpanSet Subtract(const SpanSet& other) const;
  SpanSet Intersect(const SpanSet& other) const;
  SpanSet ClipTo(const CRect& r) const;

 private:
  std::vector<Span> spans_;
};

class PixelStamp {
 public:
  explicit PixelStamp(SpanSet shape);
  const SpanSet& Shape() const { return shape_; }

 private:
  friend class PixelMask;
  SpanSet shape_;
  CRect bounds_;
  // Row by row from the top of the bounds, bit i for the pixel bounds.left + i;
  // empty for shapes 64 pixels wide or more.
  std::vector<std::uint64_t> rows_;
};

class PixelMask {
 public:
  // Nothing outside `area` is kept.
  explicit PixelMask(const CRect& area);

  // Called for every span of every piece of a stroke, so these are inline.
  void Add(std::int32_t y, std::int32_t x0, std::int32_t x1) {
    if (y < area_.top || y >= area_.bottom) return;
    x0 = std::max(x0, area_.left);
    x1 = std::min(x1, area_.right);
    if (x0 >= x1) return;
    std::uint64_t* row = bits_.data() + std::size_t(y - area_.top) * stride_;
    const std::size_t first = std::size_t(x0 - area_.left), last = std::size_t(x1 - area_.left) - 1;
    const std::uint64_t head = ~0ull << (first % 64), tail = ~0ull >> (63 - last % 64);
    if (first / 64 == last / 64) {
      row[first / 64] |= head & tail;
      return;
    }
    row[first / 64] |= head;
    for (std::size_t w = first / 64 + 1; w < last / 64; ++w) row[w] = ~0ull;
    row[last / 64] |= tail;
  }
  void Add(const CRect& r);
  // The spans of `piece` moved by (dx, dy).
  void Add(const SpanSet& piece, std::int32_t dx, std::int32_t dy) {
    for (const Span& s : piece.Spans()) Add(s.y + dy, s.x0 + dx, s.x1 + dx);
  }
  // The stamp moved by (dx, dy): where it lies wholly inside the area, its
  // rows are or-ed in whole, with no clipping and no branches.
  void Add(const PixelStamp& stamp, std::int32_t dx, std::int32_t dy) {
    const CRect& b = stamp.bounds_;
    const std::int64_t left = std::int64_t(b.left) + dx - area_.left, top = std::int64_t(b.top) + dy - area_.top;
    if (stamp.rows_.empty() || left < 0 || top < 0 || left + b.Width() > area_.Width() ||
        top + b.Height() > area_.Height()) {
      Add(stamp.shape_, dx, dy);
      return;
    }
    std::uint64_t* row = bits_.data() + std::size_t(top) * stride_ + std::size_t(left) / 64;
    const unsigned shift = unsigned(left % 64);
    for (std::uint64_t bits : stamp.rows_) {
      row[0] |= bits << shift;
      row[1] |= (bits >> 1) >> (63 - shift);  // what spills into the next word, nothing when shift is 0
      row += stride_;
    }
  }
  // The pixels set, normalised.
  SpanSet Spans() const;

 private:
  CRect area_;
  std::size_t wordsPerRow_ = 0;
  // Every row has a spare word after it, which stamps may touch: no row's
  // last word is then the next row's first, and writes to both in quick
  // succession do not wait on each other.
  std::size_t stride_ = 0;
  std::vector<std::uint64_t> bits_;
};

}  // namespace lumetra
