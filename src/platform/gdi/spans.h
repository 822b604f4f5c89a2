#pragma once
// A set of pixels as horizontal spans [x0, x1) on rows y: what a stroke or a
// fill covers. Normalised sets hold sorted, disjoint, non-touching spans.

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

}  // namespace lumetra
