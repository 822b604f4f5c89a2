#include "render/led_dots.h"

#include <algorithm>
#include <iterator>

namespace lumetra {
namespace {

// Samples per pixel each way when measuring how much of it a dot covers.
constexpr int kSamples = 4;

std::vector<std::uint8_t> DotCoverage(int size) {
  const double centre = size / 2.0;
  const double radius = (size - 1) / 2.0;
  std::vector<std::uint8_t> coverage;
  coverage.reserve(std::size_t(size) * std::size_t(size));
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      int inside = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const double dx = x + (sx + 0.5) / kSamples - centre;
          const double dy = y + (sy + 0.5) / kSamples - centre;
          inside += dx * dx + dy * dy <= radius * radius;
        }
      }
      coverage.push_back(std::uint8_t(inside * 255 / (kSamples * kSamples)));
    }
  }
  return coverage;
}

// `pixel` (0x00RRGGBB) at `coverage` / 255 of its brightness, over black.
std::uint32_t Dimmed(std::uint32_t pixel, std::uint8_t coverage) {
  std::uint32_t result = 0;
  for (const int shift : {0, 8, 16}) result |= ((pixel >> shift & 0xFF) * coverage / 255) << shift;
  return result;
}

}  // namespace

LedDots::LedDots(int size, std::uint8_t highByte)
    : size_(std::max(size, kMinSize)), highBits_(std::uint32_t(highByte) << 24), coverage_(DotCoverage(size_)) {}

Bitmap32 LedDots::Paint(const Bitmap32& leds) {
  Bitmap32 image(leds.Width() * size_, leds.Height() * size_);
  if (image.Width() > 0) PaintInto(leds, image.Row(0), std::size_t(image.Width()));
  return image;
}

void LedDots::PaintInto(const Bitmap32& leds, std::uint32_t* out, std::size_t stride) {
  std::vector<const std::uint32_t*> dots(std::size_t(leds.Width()));
  for (int y = 0; y < leds.Height(); ++y) {
    for (int x = 0; x < leds.Width(); ++x) dots[std::size_t(x)] = Dot(leds.At(x, y)).data();
    for (int dy = 0; dy < size_; ++dy) {
      std::uint32_t* line = out + (std::size_t(y) * std::size_t(size_) + std::size_t(dy)) * stride;
      for (const std::uint32_t* dot : dots) line = std::copy_n(dot + dy * size_, size_, line);
    }
  }
}

const std::vector<std::uint32_t>& LedDots::Dot(std::uint32_t pixel) {
  auto [entry, added] = dots_.try_emplace(pixel);
  if (added) {
    const std::uint32_t colour = pixel == 0 ? PixelFromColor(kUnlit) : pixel;
    std::ranges::transform(coverage_, std::back_inserter(entry->second),
                           [this, colour](std::uint8_t covered) { return Dimmed(colour, covered) | highBits_; });
  }
  return entry->second;
}

}  // namespace lumetra
