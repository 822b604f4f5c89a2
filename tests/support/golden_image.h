#pragma once
// Reads the reference images of the golden tests: 24-bit BMPs as the GDI
// reference tool writes them, and the 8-bit run-length encoded ones that
// scripts/pack-goldens makes of them to keep the repository small.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/files.h"

namespace lumetra::test {

struct GoldenImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // top-down 0xRRGGBB

  std::uint32_t At(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

inline GoldenImage ReadGoldenBmp(const std::filesystem::path& path) {
  std::vector<std::uint8_t> b = ReadWholeFile(path, 64u << 20);
  GoldenImage img;
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
    ADD_FAILURE() << path << ": not a BMP";
    return img;
  }
  auto u32 = [&](std::size_t at) {
    std::uint32_t v = 0;
    if (at + 4 <= b.size()) std::memcpy(&v, b.data() + at, 4);
    return v;
  };
  std::int32_t width = std::int32_t(u32(18)), height = std::int32_t(u32(22));
  std::uint16_t bits = std::uint16_t(b[28] | (b[29] << 8));
  std::uint32_t offset = u32(10), compression = u32(30);
  if (width <= 0 || width > 1 << 14 || height == 0 || std::abs(height) > 1 << 14) {
    ADD_FAILURE() << path << ": implausible size " << width << " x " << height;
    return img;
  }
  img.width = width;
  img.height = std::abs(height);
  img.pixels.assign(std::size_t(img.width) * std::size_t(img.height), 0);
  auto put = [&](int x, int storedRow, std::uint32_t rgb) {
    int y = height > 0 ? img.height - 1 - storedRow : storedRow;
    if (x >= 0 && x < img.width && y >= 0 && y < img.height) img.pixels[std::size_t(y) * img.width + x] = rgb;
  };
  if (bits == 24 && compression == 0) {
    std::size_t stride = (3 * std::size_t(img.width) + 3) & ~std::size_t(3);
    if (offset + stride * img.height > b.size()) {
      ADD_FAILURE() << path << ": pixel data cut short";
      return img;
    }
    for (int r = 0; r < img.height; ++r) {
      for (int x = 0; x < img.width; ++x) {
        const std::uint8_t* p = b.data() + offset + r * stride + 3 * x;
        put(x, r, p[0] | (p[1] << 8) | (p[2] << 16));
      }
    }
  } else if (bits == 8 && compression == 1) {
    std::uint32_t colours = u32(46);
    auto colour = [&](std::uint8_t i) { return i < colours ? u32(54 + 4 * std::size_t(i)) & 0xFFFFFF : 0; };
    int x = 0, row = 0;
    for (std::size_t i = offset; i + 1 < b.size();) {
      std::uint8_t count = b[i], value = b[i + 1];
      i += 2;
      if (count > 0) {
        for (int k = 0; k < count; ++k) put(x++, row, colour(value));
      } else if (value == 0) {
        x = 0;
        ++row;
      } else if (value == 1) {
        break;
      } else {
        ADD_FAILURE() << path << ": unexpected escape in run-length data";
        break;
      }
    }
  } else {
    ADD_FAILURE() << path << ": unsupported BMP (" << bits << " bits, compression " << compression << ")";
  }
  return img;
}

}  // namespace lumetra::test
