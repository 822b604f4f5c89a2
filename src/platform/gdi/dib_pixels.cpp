#include "platform/gdi/dib_pixels.h"

#include <algorithm>

#include <climits>

namespace lumetra {

namespace {

// Headers from the plain information header up to the largest later version;
// anything else is not a header we know where the colour table follows.
constexpr std::uint32_t kMinHeaderSize = 40;
constexpr std::uint32_t kMaxHeaderSize = 124;
constexpr std::uint32_t kUncompressed = 0;  // BI_RGB

constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return (r << 16) | (g << 8) | b; }

// 5-bit channels widen by repeating their top bits, so 31 becomes 255.
constexpr std::uint32_t Widen5(std::uint32_t v) { return (v << 3) | (v >> 2); }

}  // namespace

std::optional<DibPixels> DibPixels::Open(const BITMAPINFOHEADER* header, std::size_t headerSize,
                                         const std::uint8_t* bits, std::size_t bitsSize) {
  if (!header || !bits || headerSize < sizeof(BITMAPINFOHEADER)) return std::nullopt;
  const BITMAPINFOHEADER& h = *header;
  if (h.biSize < kMinHeaderSize || h.biSize > kMaxHeaderSize || h.biSize > headerSize) return std::nullopt;
  if (h.biCompression != kUncompressed) return std::nullopt;
  switch (h.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return std::nullopt;
  }
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT_MIN) return std::nullopt;

  std::uint64_t stride = (std::uint64_t(h.biWidth) * h.biBitCount + 31) / 32 * 4;
  std::uint64_t rows = std::uint64_t(h.biHeight < 0 ? -std::int64_t(h.biHeight) : h.biHeight);
  if (stride > bitsSize / rows) return std::nullopt;  // stride * rows > bitsSize, without overflow

  DibPixels dib;
  dib.bits_ = bits;
  dib.width_ = h.biWidth;
  dib.height_ = int(rows);
  dib.topDown_ = h.biHeight < 0;
  dib.bitCount_ = h.biBitCount;
  dib.stride_ = std::size_t(stride);
  if (h.biBitCount <= 8) {
    std::uint32_t entries = 1u << h.biBitCount;
    if (h.biClrUsed != 0 && h.biClrUsed < entries) entries = h.biClrUsed;
    entries = std::min<std::uint64_t>(entries, (headerSize - h.biSize) / 4);
    const std::uint8_t* table = reinterpret_cast<const std::uint8_t*>(header) + h.biSize;
    for (std::uint32_t i = 0; i < entries; ++i) {
      const std::uint8_t* q = table + 4 * i;  // blue, green, red, reserved
      dib.colours_[i] = Rgb(q[2], q[1], q[0]);
    }
  }
  return dib;
}

void DibPixels::ReadRow(int y, int x0, int x1, std::uint32_t* out) const {
  const std::uint8_t* row = bits_ + std::size_t(topDown_ ? y : height_ - 1 - y) * stride_;
  switch (bitCount_) {
    case 1:
      for (int x = x0; x < x1; ++x) *out++ = colours_[(row[x >> 3] >> (7 - (x & 7))) & 1];
      break;
    case 4:
      for (int x = x0; x < x1; ++x) *out++ = colours_[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
      break;
    case 8:
      for (int x = x0; x < x1; ++x) *out++ = colours_[row[x]];
      break;
    case 16:
      for (int x = x0; x < x1; ++x) {
        const std::uint8_t* p = row + std::size_t(2) * std::size_t(x);
        std::uint32_t v = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
        *out++ = Rgb(Widen5((v >> 10) & 31), Widen5((v >> 5) & 31), Widen5(v & 31));
      }
      break;
    case 24:
      for (int x = x0; x < x1; ++x) {
        const std::uint8_t* p = row + std::size_t(3) * std::size_t(x);
        *out++ = Rgb(p[2], p[1], p[0]);
      }
      break;
    case 32:
      for (int x = x0; x < x1; ++x) {
        const std::uint8_t* p = row + std::size_t(4) * std::size_t(x);
        *out++ = Rgb(p[2], p[1], p[0]);
      }
      break;
  }
}

}  // namespace lumetra
