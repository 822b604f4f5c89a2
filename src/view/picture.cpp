#include "view/picture.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "document/document.h"
#include "document/panel_settings.h"
#include "platform/files.h"
#include "platform/gdi/dc.h"
#include "units/timer.h"
#include "units/clock_host.h"
#include "view/canvas_render.h"

namespace lumetra {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;

void PutU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = std::uint8_t(v);
  p[1] = std::uint8_t(v >> 8);
}
void PutU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}
std::uint16_t GetU16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
std::uint32_t GetU32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

// Bytes of one pixel row, padded to whole 32-bit words.
std::uint64_t RowBytes(std::uint64_t bitCount, std::uint64_t width) { return (bitCount * width + 31) / 32 * 4; }

bool IsClock(const CUnit& unit) { return dynamic_cast<const CTimer*>(&unit) != nullptr; }

}  // namespace

std::optional<Bitmap32> RenderPictureStrip(CTessaraDoc& doc, ClockUnits clocks, CPoint origin) {
  if (!IsValidGeometry(doc.m_nWidthWords, doc.m_nHeightWords, doc.m_nFrames)) return std::nullopt;
  const int frameWidth = doc.m_nWidthWords * kWordPixels;
  const int frameHeight = doc.m_nHeightWords * kWordPixels;
  const int frames = doc.m_nFrames;
  try {
    // Only the unzoomed canvas is drawn, and only as far as frames reach:
    // nothing else of it can reach the strip.
    const CSize canvasSize = doc.CanvasPixels(), stripSize = doc.StripPixels();
    Bitmap32 canvas(canvasSize.cx, canvasSize.cy, kCanvasBackground);
    {
      CDC dc(canvas);
      dc.SetWindowOrg(origin.x, origin.y);
      ClockHostScope drawing(&doc);
      for (auto& unit : doc.m_units) {
        if (!IsClock(*unit)) unit->Draw(dc);
      }
      if (clocks == ClockUnits::Include) {
        for (auto& unit : doc.m_units) {
          if (IsClock(*unit)) unit->Draw(dc);
        }
      }
    }
    Bitmap32 strip(stripSize.cx, stripSize.cy);
    for (int k = 0; k < frames; ++k) {
      for (int y = 0; y < frameHeight; ++y) {
        const std::uint32_t* from = canvas.Row(k * frameHeight + y);
        std::copy(from, from + frameWidth, strip.Row(y) + std::size_t(k) * frameWidth);
      }
    }
    return strip;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

PackedDib PackDib24(const Bitmap32& picture) {
  const int width = picture.Width(), height = picture.Height();
  const std::size_t stride = RowBytes(24, std::uint64_t(width));
  const std::size_t imageSize = stride * std::size_t(height);
  PackedDib dib(kInfoHeaderSize + imageSize, 0);
  std::uint8_t* h = dib.data();
  PutU32(h + 0, kInfoHeaderSize);
  PutU32(h + 4, std::uint32_t(width));
  PutU32(h + 8, std::uint32_t(height));  // positive: bottom-up rows
  PutU16(h + 12, 1);
  PutU16(h + 14, 24);
  PutU32(h + 16, kBiRgb);
  PutU32(h + 20, std::uint32_t(imageSize));
  // Resolution, colours used and important colours stay 0.
  std::uint8_t* rows = h + kInfoHeaderSize;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* out = rows + std::size_t(height - 1 - y) * stride;
    const std::uint32_t* in = picture.Row(y);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = in[x];  // 0x00RRGGBB
      out[0] = std::uint8_t(p);
      out[1] = std::uint8_t(p >> 8);
      out[2] = std::uint8_t(p >> 16);
      out += 3;
    }
  }
  return dib;
}

std::optional<PackedDib> RenderPictureDIB(CTessaraDoc& doc, CPoint origin) {
  std::optional<Bitmap32> strip = RenderPictureStrip(doc, ClockUnits::Omit, origin);
  if (!strip) return std::nullopt;
  try {
    return PackDib24(*strip);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

std::optional<std::vector<std::uint8_t>> WriteDIB(std::span<const std::uint8_t> dib) {
  if (dib.size() < kInfoHeaderSize) return std::nullopt;
  const std::uint8_t* h = dib.data();
  // Later header versions are longer; their extra fields go along unchanged.
  const std::uint64_t headerSize = GetU32(h + 0);
  const std::int32_t width = std::int32_t(GetU32(h + 4));
  const std::int32_t height = std::int32_t(GetU32(h + 8));
  const std::uint16_t bitCount = GetU16(h + 14);
  const std::uint32_t compression = GetU32(h + 16);
  const std::uint32_t colours = GetU32(h + 32);
  if (headerSize < kInfoHeaderSize || headerSize > dib.size() || width <= 0 || height == 0) return std::nullopt;

  std::uint64_t tableSize = 0;
  if (colours != 0) {
    tableSize = std::uint64_t(colours) * 4;
  } else if (bitCount <= 8) {
    tableSize = bitCount == 1 ? 8 : bitCount == 4 ? 64 : bitCount == 8 ? 1024 : 0;
  }
  // The three channel masks of a BI_BITFIELDS picture sit where a table would.
  if (compression == kBiBitfields && headerSize == kInfoHeaderSize && colours == 0) tableSize = 12;

  std::uint64_t imageSize;
  if (compression == kBiRle8 || compression == kBiRle4) {
    imageSize = GetU32(h + 20);
  } else {
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) {
      return std::nullopt;
    }
    // A top-down picture (negative height) has as many rows as a bottom-up one.
    const std::uint64_t rows = height < 0 ? std::uint64_t(-std::int64_t(height)) : std::uint64_t(height);
    imageSize = RowBytes(bitCount, std::uint64_t(width)) * rows;
  }
  const std::uint64_t dibSize = headerSize + tableSize + imageSize;
  if (dibSize > dib.size() || kFileHeaderSize + dibSize > UINT32_MAX) return std::nullopt;

  std::vector<std::uint8_t> file;
  try {
    file.resize(kFileHeaderSize + dibSize);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  std::uint8_t* f = file.data();
  PutU16(f + 0, 0x4D42);  // "BM"
  PutU32(f + 2, std::uint32_t(kFileHeaderSize + dibSize));
  PutU32(f + 10, std::uint32_t(kFileHeaderSize + headerSize + tableSize));
  std::memcpy(f + kFileHeaderSize, dib.data(), dibSize);
  if (compression != kBiRle8 && compression != kBiRle4) PutU32(f + kFileHeaderSize + 20, std::uint32_t(imageSize));
  return file;
}

bool WritePicture(CTessaraDoc& doc, const std::filesystem::path& path, CPoint origin) {
  std::optional<PackedDib> dib = RenderPictureDIB(doc, origin);
  if (!dib) return false;
  std::optional<std::vector<std::uint8_t>> file = WriteDIB(*dib);
  if (!file) return false;
  WriteFileAtomically(path, *file);
  return true;
}

}  // namespace lumetra
