#pragma once
// PNG files of bitmaps, for looking at pictures outside the program: 8-bit
// RGB, no interlacing, every pixel optionally enlarged to a square block.

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "platform/gdi/bitmap.h"

namespace lumetra {

// The largest picture EncodePng makes, in pixels after enlarging; neither
// side may pass 2^20 either.
inline constexpr std::uint64_t kMaxPngPixels = std::uint64_t(1) << 28;

// Each pixel becomes a `scale` × `scale` block. Throws std::invalid_argument
// for an empty bitmap, a scale below 1 or a result larger than allowed.
std::vector<std::uint8_t> EncodePng(const Bitmap32& image, int scale = 1);

}  // namespace lumetra
