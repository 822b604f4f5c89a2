#pragma once
// Builds BMP file images byte by byte, so tests can make valid and hostile files.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "support/collect_messages.h"

namespace lumetra::test {

struct BmpLayout {
  std::int32_t width = 2;
  std::int32_t height = 2;
  std::uint16_t bitCount = 24;
  std::uint32_t clrUsed = 0;
  std::uint32_t sizeImage = 0;
  std::uint32_t colours = 0;      // colour-table entries actually written
  std::uint32_t gap = 0;          // bytes between the colour table and the pixels
  std::uint32_t pixelBytes = 16;  // bytes of pixel data written
  std::uint32_t infoSize = 40;
  std::int64_t offBitsOverride = -1;
};

inline void Put(std::vector<std::uint8_t>& b, std::uint64_t v, int n) {
  for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline std::vector<std::uint8_t> MakeBmp(const BmpLayout& s) {
  std::vector<std::uint8_t> b;
  std::uint32_t offBits = 14 + 40 + 4 * s.colours + s.gap;
  if (s.offBitsOverride >= 0) offBits = static_cast<std::uint32_t>(s.offBitsOverride);
  b.push_back('B');
  b.push_back('M');
  Put(b, 1234, 4);  // bfSize, ignored on reading
  Put(b, 0, 4);
  Put(b, offBits, 4);
  Put(b, s.infoSize, 4);
  Put(b, static_cast<std::uint32_t>(s.width), 4);
  Put(b, static_cast<std::uint32_t>(s.height), 4);
  Put(b, 1, 2);
  Put(b, s.bitCount, 2);
  Put(b, 0, 4);
  Put(b, s.sizeImage, 4);
  Put(b, 2835, 4);
  Put(b, 2835, 4);
  Put(b, s.clrUsed, 4);
  Put(b, 0, 4);
  for (std::uint32_t i = 0; i < s.colours; ++i) Put(b, 0x00010203u * (i + 1), 4);
  for (std::uint32_t i = 0; i < s.gap; ++i) b.push_back(0xEE);
  for (std::uint32_t i = 0; i < s.pixelBytes; ++i) b.push_back(static_cast<std::uint8_t>(i * 7 + 1));
  return b;
}

}  // namespace lumetra::test
