#pragma once
// A 32-bit bitmap as a 32-bpp DIB section holds it: top-down rows of pixels
// 0x00RRGGBB (bytes B, G, R, 0 in memory). Drawing goes through a CDC over it.

#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace lumetra {

// COLORREF 0x00BBGGRR as the pixel value 0x00RRGGBB, and back.
constexpr std::uint32_t PixelFromColor(COLORREF c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr COLORREF ColorFromPixel(std::uint32_t p) {
  return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

class Bitmap32 {
 public:
  Bitmap32() = default;
  // Every pixel starts as `fill`, a COLORREF.
  Bitmap32(int width, int height, COLORREF fill = 0);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  std::uint32_t* Row(int y) { return pixels_.data() + std::size_t(y) * std::size_t(width_); }
  const std::uint32_t* Row(int y) const { return pixels_.data() + std::size_t(y) * std::size_t(width_); }
  std::uint32_t& At(int x, int y) { return Row(y)[x]; }
  std::uint32_t At(int x, int y) const { return Row(y)[x]; }

  void Fill(COLORREF c);
  const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace lumetra
