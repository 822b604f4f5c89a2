#pragma once
// The device-independent bitmap header as BMP files and StretchDIBits use it.

#include <cstdint>

namespace lumetra {

struct BITMAPINFOHEADER {
  std::uint32_t biSize;
  std::int32_t biWidth;
  std::int32_t biHeight;  // positive: bottom-up rows; negative: top-down
  std::uint16_t biPlanes;
  std::uint16_t biBitCount;
  std::uint32_t biCompression;
  std::uint32_t biSizeImage;
  std::int32_t biXPelsPerMeter;
  std::int32_t biYPelsPerMeter;
  std::uint32_t biClrUsed;
  std::uint32_t biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

// biCompression: uncompressed rows, run-length encoded rows of 8 or 4 bits,
// and 16- or 32-bit rows whose channels three masks after the header pick out.
enum : std::uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };

struct PALETTEENTRY {
  std::uint8_t peRed;
  std::uint8_t peGreen;
  std::uint8_t peBlue;
  std::uint8_t peFlags;
  friend bool operator==(const PALETTEENTRY&, const PALETTEENTRY&) = default;
};

}  // namespace lumetra
