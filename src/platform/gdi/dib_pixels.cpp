#include "platform/gdi/dib_pixels.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <span>

namespace lumetra {

namespace {

// Headers from the plain information header up to the largest later version;
// anything else is not a header we know where the colour table follows.
constexpr std::uint32_t kMinHeaderSize = 40;
constexpr std::uint32_t kMaxHeaderSize = 124;
constexpr std::size_t kMaskBytes = 12;
// The alpha mask follows the three channel masks in headers of 56 bytes and
// more; those of 108 bytes and more also give it to uncompressed 32-bit rows.
constexpr std::uint32_t kMinAlphaHeaderSize = 56;
constexpr std::uint32_t kMinUncompressedAlphaHeaderSize = 108;

constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return (r << 16) | (g << 8) | b; }

// The red, green and blue masks: stored after the header, or the fixed ones
// of uncompressed 16- and 32-bit rows.
std::array<std::uint32_t, 3> ChannelMasks(const BITMAPINFOHEADER& h) {
  if (h.biCompression == BI_BITFIELDS) {
    std::array<std::uint32_t, 3> masks;
    std::memcpy(masks.data(), reinterpret_cast<const std::uint8_t*>(&h) + sizeof h, kMaskBytes);
    return masks;
  }
  if (h.biBitCount == 16) return {0x7C00, 0x03E0, 0x001F};
  return {0xFF0000, 0x00FF00, 0x0000FF};
}

// The mask of Alpha::kFromMask; 0 where the header gives none.
std::uint32_t AlphaMask(const BITMAPINFOHEADER& h) {
  const bool masked = h.biCompression == BI_BITFIELDS ||
                      (h.biCompression == BI_RGB && h.biBitCount == 32 && h.biSize >= kMinUncompressedAlphaHeaderSize);
  if (!masked || h.biSize < kMinAlphaHeaderSize) return 0;
  std::uint32_t mask;
  std::memcpy(&mask, reinterpret_cast<const std::uint8_t*>(&h) + sizeof h + kMaskBytes, sizeof mask);
  return mask;
}

}  // namespace

bool DibPixels::ReadsFormat(const BITMAPINFOHEADER& h) {
  switch (h.biCompression) {
    case BI_RGB:
      return h.biBitCount == 1 || h.biBitCount == 4 || h.biBitCount == 8 || h.biBitCount == 16 || h.biBitCount == 24 ||
             h.biBitCount == 32;
    case BI_BITFIELDS:
      return h.biBitCount == 16 || h.biBitCount == 32;
    case BI_RLE8:
      return h.biBitCount == 8 && h.biHeight > 0 && h.biSizeImage != 0;
    case BI_RLE4:
      return h.biBitCount == 4 && h.biHeight > 0 && h.biSizeImage != 0;
    default:
      return false;
  }
}

// A mask's channel is its lowest run of set bits.
DibPixels::Channel DibPixels::Channel::FromMask(std::uint32_t mask) {
  if (mask == 0) return {};
  const int shift = std::countr_zero(mask);
  return {shift, std::countr_one(mask >> shift)};
}

// Eight bits from the channel: its top eight, or a narrower channel widened
// by repeating its top bits once, so that 5 bits of 31 become 255.
std::uint32_t DibPixels::Channel::Extract(std::uint32_t pixel) const {
  if (len == 0) return 0;
  if (len >= 8) return (pixel >> (shift + len - 8)) & 0xFF;
  const std::uint32_t v = ((pixel >> shift) & ((1u << len) - 1)) << (8 - len);
  return v | (v >> len);
}

std::uint32_t DibPixels::FromChannels(std::uint32_t pixel) const {
  return (channels_[3].Extract(pixel) << 24) |
         Rgb(channels_[0].Extract(pixel), channels_[1].Extract(pixel), channels_[2].Extract(pixel));
}

std::optional<DibPixels> DibPixels::Open(const BITMAPINFOHEADER* header, std::size_t headerSize,
                                         const std::uint8_t* bits, std::size_t bitsSize, Alpha alpha) {
  if (!header || !bits || headerSize < sizeof(BITMAPINFOHEADER)) return std::nullopt;
  const BITMAPINFOHEADER& h = *header;
  if (h.biSize < kMinHeaderSize || h.biSize > kMaxHeaderSize || h.biSize > headerSize) return std::nullopt;
  if (!ReadsFormat(h)) return std::nullopt;
  if (h.biCompression == BI_BITFIELDS && headerSize < sizeof h + kMaskBytes) return std::nullopt;
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT_MIN) return std::nullopt;

  std::uint64_t stride = (std::uint64_t(h.biWidth) * h.biBitCount + 31) / 32 * 4;
  std::uint64_t rows = std::uint64_t(h.biHeight < 0 ? -std::int64_t(h.biHeight) : h.biHeight);
  const bool runLength = h.biCompression == BI_RLE8 || h.biCompression == BI_RLE4;
  if (!runLength && stride > bitsSize / rows) return std::nullopt;  // stride * rows > bitsSize, without overflow

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
  } else {
    const std::array<std::uint32_t, 3> masks = ChannelMasks(h);
    for (std::size_t c = 0; c < 3; ++c) dib.channels_[c] = Channel::FromMask(masks[c]);
    if (alpha == Alpha::kFromMask) dib.channels_[3] = Channel::FromMask(AlphaMask(h));
  }
  if (runLength) {
    dib.rle_.emplace(std::span(bits, std::min<std::size_t>(h.biSizeImage, bitsSize)), h.biBitCount, dib.width_,
                     dib.height_);
  }
  return dib;
}

void DibPixels::ReadRow(int y, int x0, int x1, std::uint32_t* out) const {
  if (rle_) {
    rle_->ReadRow(y, x0, x1, colours_.data(), out);
    return;
  }
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
        *out++ = FromChannels(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8));
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
        *out++ = FromChannels(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                              (std::uint32_t(p[3]) << 24));
      }
      break;
  }
}

}  // namespace lumetra
