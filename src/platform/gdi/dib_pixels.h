#pragma once
// Reads the pixels of an uncompressed device-independent bitmap (1, 4, 8,
// 16 (5-5-5), 24 or 32 bits per pixel) as 0x00RRGGBB. The pixel rows come
// from a caller's buffer of known size; Open() refuses any layout that would
// need bytes past it, so reading rows afterwards cannot run off the end.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/gdi/bitmap_info.h"

namespace lumetra {

class DibPixels {
 public:
  // The colour table (for 8 bits or fewer) is read right after the header,
  // biSize bytes from its start, and only as far as headerSize reaches; missing
  // entries read as black. nullopt for a missing header or buffer, a header
  // longer than headerSize, a compression or bit count we cannot read, a zero
  // or negative width, a zero height, or rows that would need more than
  // bitsSize bytes.
  static std::optional<DibPixels> Open(const BITMAPINFOHEADER* header, std::size_t headerSize, const std::uint8_t* bits,
                                       std::size_t bitsSize);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool TopDown() const { return topDown_; }

  // Pixels [x0, x1) of row y, rows counted from the top of the picture
  // whichever way they are stored. Needs 0 <= x0 <= x1 <= Width() and 0 <= y < Height().
  void ReadRow(int y, int x0, int x1, std::uint32_t* out) const;

 private:
  DibPixels() = default;

  const std::uint8_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool topDown_ = false;
  int bitCount_ = 0;
  std::size_t stride_ = 0;
  // Indices past the colour table read as black.
  std::array<std::uint32_t, 256> colours_{};
};

}  // namespace lumetra
