#pragma once
// Picture files decoded into straight-alpha RGBA pixels, for importing
// pictures: PNG (every colour type and bit depth, interlaced or not, reduced
// to 8 bits a channel), JPEG (grey, colour and CMYK, opaque), the first frame
// of a GIF on its logical screen, and BMP files of every header version.
// The file is whatever bytes the caller read; nothing here touches the disk.
// Every picture is held to the same limits, checked against the size its
// header announces before any pixel is allocated, so a hostile file costs at
// most kMaxDecodedBytes for its pixels, whatever it claims.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumetra {

// A picture decoded from a file: 0xAARRGGBB, straight alpha, top row first.
struct RgbaPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // width × height
  std::uint32_t At(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

enum class PictureFormat { kPng, kJpeg, kGif, kBmp };

// Why a picture could not be decoded; what() gives the details (the library's own words where there are any).
class PictureError : public std::runtime_error {
 public:
  enum class Reason { kNotSupported, kDamaged, kTooLarge };
  PictureError(Reason reason, const std::string& detail);
  Reason reason() const;

 private:
  Reason reason_;
};

inline constexpr int kMaxPictureSide = 8192;                     // either side
inline constexpr std::uint64_t kMaxDecodedBytes = 256ull << 20;  // width × height × 4

// What the first bytes of a file say it holds; nullopt for anything else.
std::optional<PictureFormat> SniffPictureFormat(std::span<const std::uint8_t> bytes);

// Throws PictureError: kNotSupported for bytes no decoder here takes (WebP,
// TIFF, text, a BMP compression or header we do not read, ...), kTooLarge when
// the header announces more than the limits (refused before the pixels are
// allocated), kDamaged for anything cut short or corrupt.
RgbaPicture DecodePicture(std::span<const std::uint8_t> bytes);

}  // namespace lumetra
