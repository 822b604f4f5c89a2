#pragma once
// The panel as round LEDs on black, as the virtual panel's window and the
// animation export show it: each LED a dot `size` × `size` pixels in its
// colour, a dark gap of a pixel between neighbours, and unlit LEDs faintly
// visible so that the matrix shows.

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/gdi/bitmap.h"

namespace lumetra {

class LedDots {
 public:
  static constexpr int kMinSize = 3;  // smaller dots are no longer round
  static constexpr COLORREF kUnlit = 0x00303030;

  // `size`: pixels per LED each way, at least kMinSize. Every pixel painted
  // is 0x00RRGGBB with `highByte` in its top byte (0xFF for a target that
  // wants it opaque).
  explicit LedDots(int size, std::uint8_t highByte = 0);

  int Size() const { return size_; }

  // `leds` (one pixel per LED) as dots: leds.Width() × size wide.
  Bitmap32 Paint(const Bitmap32& leds);
  // The same into rows of `stride` pixels starting at `out`.
  void PaintInto(const Bitmap32& leds, std::uint32_t* out, std::size_t stride);

 private:
  // The dot of one LED in `pixel`'s colour, size × size pixels.
  const std::vector<std::uint32_t>& Dot(std::uint32_t pixel);

  int size_;
  std::uint32_t highBits_;
  // How much of each of a dot's pixels the circle covers, 0..255.
  std::vector<std::uint8_t> coverage_;
  std::unordered_map<std::uint32_t, std::vector<std::uint32_t>> dots_;
};

}  // namespace lumetra
