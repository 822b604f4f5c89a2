#include "platform/gdi/bmp_file.h"

#include <cstring>
#include <new>
#include <vector>

#include "platform/files.h"
#include "platform/gdi/dib_pixels.h"

namespace lumetra {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = sizeof(BITMAPINFOHEADER);

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

}  // namespace

std::optional<Bitmap32> DecodeBmp(std::span<const std::uint8_t> file, int maxSide) {
  if (file.size() < kFileHeaderBytes + kInfoHeaderBytes || file[0] != 'B' || file[1] != 'M') {
    return std::nullopt;
  }
  std::uint32_t offBits = 0;
  std::memcpy(&offBits, file.data() + 10, sizeof offBits);
  if (offBits < kFileHeaderBytes + kInfoHeaderBytes || offBits > file.size()) return std::nullopt;
  // The header is copied so that it is read from properly aligned memory.
  const std::size_t headerBytes = offBits - kFileHeaderBytes;
  std::vector<std::uint32_t> header((headerBytes + 3) / 4);
  std::memcpy(header.data(), file.data() + kFileHeaderBytes, headerBytes);
  const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(header.data());
  // A run-length picture could claim any size in a few bytes.
  if (info->biCompression == BI_RLE8 || info->biCompression == BI_RLE4) return std::nullopt;
  const std::optional<DibPixels> dib = DibPixels::Open(info, headerBytes, file.data() + offBits, file.size() - offBits);
  if (!dib || dib->Width() > maxSide || dib->Height() > maxSide) return std::nullopt;
  Bitmap32 picture(dib->Width(), dib->Height());
  for (int y = 0; y < picture.Height(); ++y) dib->ReadRow(y, 0, picture.Width(), picture.Row(y));
  return picture;
}

std::optional<Bitmap32> ReadBmpPicture(const std::filesystem::path& path, std::size_t maxBytes) {
  try {
    return DecodeBmp(ReadWholeFile(path, maxBytes));
  } catch (const FileError&) {
    return std::nullopt;
  }
}

PackedDib PackDib24(const Bitmap32& picture) {
  const int width = picture.Width(), height = picture.Height();
  const std::size_t stride = RowBytes(24, std::uint64_t(width));
  const std::size_t imageSize = stride * std::size_t(height);
  PackedDib dib(kInfoHeaderBytes + imageSize, 0);
  std::uint8_t* h = dib.data();
  PutU32(h + 0, kInfoHeaderBytes);
  PutU32(h + 4, std::uint32_t(width));
  PutU32(h + 8, std::uint32_t(height));  // positive: bottom-up rows
  PutU16(h + 12, 1);
  PutU16(h + 14, 24);
  PutU32(h + 16, BI_RGB);
  PutU32(h + 20, std::uint32_t(imageSize));
  // Resolution, colours used and important colours stay 0.
  std::uint8_t* rows = h + kInfoHeaderBytes;
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

std::optional<std::vector<std::uint8_t>> WriteDIB(std::span<const std::uint8_t> dib) {
  if (dib.size() < kInfoHeaderBytes) return std::nullopt;
  const std::uint8_t* h = dib.data();
  // Later header versions are longer; their extra fields go along unchanged.
  const std::uint64_t headerSize = GetU32(h + 0);
  const std::int32_t width = std::int32_t(GetU32(h + 4));
  const std::int32_t height = std::int32_t(GetU32(h + 8));
  const std::uint16_t bitCount = GetU16(h + 14);
  const std::uint32_t compression = GetU32(h + 16);
  const std::uint32_t colours = GetU32(h + 32);
  if (headerSize < kInfoHeaderBytes || headerSize > dib.size() || width <= 0 || height == 0) return std::nullopt;

  std::uint64_t tableSize = 0;
  if (colours != 0) {
    tableSize = std::uint64_t(colours) * 4;
  } else if (bitCount <= 8) {
    tableSize = bitCount == 1 ? 8 : bitCount == 4 ? 64 : bitCount == 8 ? 1024 : 0;
  }
  // The three channel masks of a BI_BITFIELDS picture sit where a table would.
  if (compression == BI_BITFIELDS && headerSize == kInfoHeaderBytes && colours == 0) tableSize = 12;

  std::uint64_t imageSize;
  if (compression == BI_RLE8 || compression == BI_RLE4) {
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
  if (dibSize > dib.size() || kFileHeaderBytes + dibSize > UINT32_MAX) return std::nullopt;

  std::vector<std::uint8_t> file;
  try {
    file.resize(kFileHeaderBytes + dibSize);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  std::uint8_t* f = file.data();
  PutU16(f + 0, 0x4D42);  // "BM"
  PutU32(f + 2, std::uint32_t(kFileHeaderBytes + dibSize));
  PutU32(f + 10, std::uint32_t(kFileHeaderBytes + headerSize + tableSize));
  std::memcpy(f + kFileHeaderBytes, dib.data(), dibSize);
  if (compression != BI_RLE8 && compression != BI_RLE4) PutU32(f + kFileHeaderBytes + 20, std::uint32_t(imageSize));
  return file;
}

}  // namespace lumetra
