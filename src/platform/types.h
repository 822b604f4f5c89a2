#pragma once
// The small value types of the drawing platform: points, sizes, rectangles and
// colours, laid out as the document file stores them (two int32 per point).

#include <algorithm>
#include <cstdint>
#include <vector>

namespace lumetra {

// 0x00BBGGRR, as the panel colour sets and the document file hold colours.
using COLORREF = std::uint32_t;

constexpr COLORREF RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}

struct CPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;

  friend bool operator==(const CPoint&, const CPoint&) = default;
  CPoint operator+(CPoint o) const { return {x + o.x, y + o.y}; }
  CPoint operator-(CPoint o) const { return {x - o.x, y - o.y}; }
  CPoint& operator+=(CPoint o) {
    x += o.x;
    y += o.y;
    return *this;
  }
};

struct CSize {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
  friend bool operator==(const CSize&, const CSize&) = default;
};

struct CRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  friend bool operator==(const CRect&, const CRect&) = default;

  CRect Normalized() const {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
  }
  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
  CPoint TopLeft() const { return {left, top}; }
  CPoint BottomRight() const { return {right, bottom}; }
  CRect ClipTo(const CRect& o) const {
    return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
  }
  // Left and top edges inside, right and bottom edges outside.
  bool PtInRect(CPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  // No pixel inside: a side of 0 or less.
  bool IsEmpty() const { return right <= left || bottom <= top; }
  // The smallest rectangle holding both; an empty one adds nothing, and two
  // give (0, 0, 0, 0).
  CRect Union(const CRect& o) const {
    if (o.IsEmpty()) return IsEmpty() ? CRect{} : *this;
    if (IsEmpty()) return o;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
  }
};

using CPointArray = std::vector<CPoint>;

// A 32-bit truth value as the document file stores it; any non-zero value is true.
using BOOL = std::int32_t;

}  // namespace lumetra
