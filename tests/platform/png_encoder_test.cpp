#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/png_encoder.h"

namespace lumetra {
namespace {

std::uint32_t BigEndian(const std::uint8_t* p) {
  return (std::uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

struct DecodedPng {
  std::uint32_t width = 0, height = 0;
  std::vector<std::uint8_t> rgb;  // rows top first, 3 bytes a pixel
};

// Reads back what the encoder writes: checks every chunk's CRC, inflates the
// data and undoes the "None" and "Up" row filters.
DecodedPng Decode(const std::vector<std::uint8_t>& png) {
  DecodedPng out;
  const std::vector<std::uint8_t> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
  std::vector<std::uint8_t> compressed;
  std::size_t at = 8;
  std::string last;
  while (at + 12 <= png.size()) {
    const std::uint32_t size = BigEndian(&png[at]);
    const std::string type(png.begin() + at + 4, png.begin() + at + 8);
    const std::uint8_t* data = &png[at + 8];
    EXPECT_EQ(crc32(crc32(0, nullptr, 0), &png[at + 4], size + 4), BigEndian(data + size)) << type;
    if (type == "IHDR") {
      out.width = BigEndian(data);
      out.height = BigEndian(data + 4);
      EXPECT_EQ(data[8], 8);
      EXPECT_EQ(data[9], 2);
    } else if (type == "IDAT") {
      compressed.insert(compressed.end(), data, data + size);
    }
    last = type;
    at += 12 + size;
  }
  EXPECT_EQ(last, "IEND");
  EXPECT_EQ(at, png.size());
  const std::size_t stride = 1 + 3 * std::size_t(out.width);
  std::vector<std::uint8_t> raw(stride * out.height);
  uLongf rawSize = raw.size();
  EXPECT_EQ(uncompress(raw.data(), &rawSize, compressed.data(), compressed.size()), Z_OK);
  EXPECT_EQ(rawSize, raw.size());
  std::vector<std::uint8_t> previous(stride - 1, 0);
  for (std::uint32_t y = 0; y < out.height; ++y) {
    const std::uint8_t* row = &raw[y * stride];
    EXPECT_TRUE(row[0] == 0 || row[0] == 2) << "filter " << int(row[0]);
    for (std::size_t i = 0; i + 1 < stride; ++i) {
      previous[i] = std::uint8_t(row[1 + i] + (row[0] == 2 ? previous[i] : 0));
    }
    out.rgb.insert(out.rgb.end(), previous.begin(), previous.end());
  }
  return out;
}

TEST(PngEncoder, PixelsComeBackInRgbOrderAndEachBecomesAScaleSquareBlock) {
  Bitmap32 image(2, 2);
  image.At(0, 0) = 0x00112233;
  image.At(1, 0) = 0x00445566;
  image.At(0, 1) = 0x00FF0000;
  image.At(1, 1) = 0x000000FF;
  DecodedPng one = Decode(EncodePng(image));
  EXPECT_EQ(one.width, 2u);
  EXPECT_EQ(one.height, 2u);
  EXPECT_EQ(one.rgb, (std::vector<std::uint8_t>{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0xFF, 0, 0, 0, 0, 0xFF}));

  DecodedPng three = Decode(EncodePng(image, 3));
  ASSERT_EQ(three.width, 6u);
  ASSERT_EQ(three.height, 6u);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      const std::uint32_t p = image.At(x / 3, y / 3);
      const std::uint8_t* got = &three.rgb[(y * 6 + x) * 3];
      EXPECT_EQ((got[0] << 16) | (got[1] << 8) | got[2], int(p)) << x << "," << y;
    }
  }
}

TEST(PngEncoder, RefusesEmptyPicturesAndScalesOutOfRange) {
  EXPECT_THROW(EncodePng(Bitmap32()), std::invalid_argument);
  EXPECT_THROW(EncodePng(Bitmap32(4, 4), 0), std::invalid_argument);
  EXPECT_THROW(EncodePng(Bitmap32(8192, 256), 64), std::invalid_argument);
}

}  // namespace
}  // namespace lumetra
