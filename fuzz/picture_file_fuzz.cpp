// Feeds arbitrary bytes to the picture file decoder: it must never crash,
// hang or allocate beyond its limits, and must either refuse the bytes with a
// PictureError or give a picture within the limits with every pixel present.
// The seeds are the test pictures, one of each format.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/picture_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumetra;
  try {
    const RgbaPicture picture = DecodePicture(std::span(data, size));
    if (picture.width < 1 || picture.height < 1 || picture.width > kMaxPictureSide ||
        picture.height > kMaxPictureSide ||
        picture.pixels.size() != std::size_t(picture.width) * std::size_t(picture.height) ||
        picture.pixels.size() * 4 > kMaxDecodedBytes) {
      std::abort();
    }
  } catch (const PictureError&) {
  }
  return 0;
}
