#pragma once
// (interface placeholder until the decoders land; replaced by the real header)
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>
namespace lumetra {
struct RgbaPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};
enum class PictureFormat { kPng, kJpeg, kGif, kBmp };
class PictureError : public std::runtime_error {
 public:
  enum class Reason { kNotSupported, kDamaged, kTooLarge };
  PictureError(Reason reason, const std::string& detail) : std::runtime_error(detail), reason_(reason) {}
  Reason reason() const { return reason_; }
 private:
  Reason reason_;
};
inline constexpr int kMaxPictureSide = 8192;
inline constexpr std::uint64_t kMaxDecodedBytes = 256ull << 20;
std::optional<PictureFormat> SniffPictureFormat(std::span<const std::uint8_t> bytes);
RgbaPicture DecodePicture(std::span<const std::uint8_t> bytes);
}
