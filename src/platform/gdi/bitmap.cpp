#include "platform/gdi/bitmap.h"

#include <algorithm>

namespace lumetra {

Bitmap32::Bitmap32(int width, int height, COLORREF fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(std::size_t(width_) * std::size_t(height_), PixelFromColor(fill)) {}

void Bitmap32::Fill(COLORREF c) { std::fill(pixels_.begin(), pixels_.end(), PixelFromColor(c)); }

}  // namespace lumetra
