#include "platform/gdi/bmp_file.h"

#include <cstring>
#include <vector>

#include "platform/files.h"
#include "platform/gdi/dib_pixels.h"

namespace lumetra {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;

}  // namespace

std::optional<Bitmap32> DecodeBmp(std::span<const std::uint8_t> file, int maxSide) {
  if (file.size() < kFileHeaderBytes + sizeof(BITMAPINFOHEADER) || file[0] != 'B' || file[1] != 'M') {
    return std::nullopt;
  }
  std::uint32_t offBits = 0;
  std::memcpy(&offBits, file.data() + 10, sizeof offBits);
  if (offBits < kFileHeaderBytes + sizeof(BITMAPINFOHEADER) || offBits > file.size()) return std::nullopt;
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

}  // namespace lumetra
