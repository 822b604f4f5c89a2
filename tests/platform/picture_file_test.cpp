#include "platform/picture_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/files.h"

namespace lumetra {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Reason = PictureError::Reason;

Bytes Picture(const std::string& name) {
  return ReadWholeFile(std::string(LUMETRA_TEST_DATA) + "/pictures/" + name, 1 << 16);
}

// blocks*.jpg: 24 x 8 pixels, three solid 8 x 8 blocks side by side.
std::vector<std::uint32_t> ThreeBlocks(std::uint32_t left, std::uint32_t middle, std::uint32_t right) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < 8; ++y) {
    for (const std::uint32_t block : {left, middle, right}) pixels.insert(pixels.end(), 8, block);
  }
  return pixels;
}

int LargestChannelDifference(std::uint32_t a, std::uint32_t b) {
  int largest = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    largest = std::max(largest, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
  }
  return largest;
}

TEST(PictureFile, DecodesEachFormatToStraightAlphaTopRowFirst) {
  struct Case {
    const char* file;
    PictureFormat format;
    int width;
    int height;
    std::vector<std::uint32_t> pixels;
    int tolerance;  // per channel, for JPEG's loss
  };
  const Case cases[] = {
      {"rgba.png", PictureFormat::kPng, 4, 2,
       {0xFFFF0000, 0x8000FF00, 0x000000FF, 0x40FFFFFF,  //
        0xFF000000, 0xC8123456, 0x0178828C, 0xFFFF8000},
       0},
      // 4-bit palette; tRNS gives entries 0 to 2 alpha 0, 128 and 255, and none to the rest.
      {"palette-trns.png", PictureFormat::kPng, 3, 2,
       {0x000A141E, 0x80C80000, 0xFF00C800,  //
        0xFF0000C8, 0xFFFFFF00, 0x80C80000},
       0},
      // Grey 0x0000, 0xFFFF, 0x80FF, 0x3A00.
      {"gray16.png", PictureFormat::kPng, 2, 2, {0xFF000000, 0xFFFFFFFF, 0xFF808080, 0xFF3A3A3A}, 0},
      // Adam7, 5 x 5 so that every pass has pixels: (x, y) is 0x10x, 0x10y, 0x80.
      {"interlaced.png", PictureFormat::kPng, 5, 5,
       {0xFF000080, 0xFF100080, 0xFF200080, 0xFF300080, 0xFF400080,  //
        0xFF001080, 0xFF101080, 0xFF201080, 0xFF301080, 0xFF401080,  //
        0xFF002080, 0xFF102080, 0xFF202080, 0xFF302080, 0xFF402080,  //
        0xFF003080, 0xFF103080, 0xFF203080, 0xFF303080, 0xFF403080,  //
        0xFF004080, 0xFF104080, 0xFF204080, 0xFF304080, 0xFF404080},
       0},
      {"blocks.jpg", PictureFormat::kJpeg, 24, 8, ThreeBlocks(0xFFC81E1E, 0xFF1EA03C, 0xFF2828DC), 3},
      // Adobe's inverted CMYK.
      {"blocks-cmyk.jpg", PictureFormat::kJpeg, 24, 8, ThreeBlocks(0xFFC81E1E, 0xFF1EA03C, 0xFF2828DC), 3},
      // A 5 x 6 screen; the first frame, 3 x 4 at (1, 1), interlaced, with a
      // local map and index 1 transparent; the second frame covers the screen.
      {"first-frame.gif", PictureFormat::kGif, 5, 6,
       {0, 0,          0,          0,          0,  //
        0, 0xFFFF0000, 0,          0xFF0000FF, 0,  //
        0, 0xFFFFFF00, 0xFFFF0000, 0,          0,  //
        0, 0xFF0000FF, 0xFFFFFF00, 0xFFFF0000, 0,  //
        0, 0,          0xFF0000FF, 0xFFFFFF00, 0,  //
        0, 0,          0,          0,          0},
       0},
      // 32 bits with BI_BITFIELDS, the masks in R, G, B, A order from the top byte down; bottom-up.
      {"v5-alpha.bmp", PictureFormat::kBmp, 3, 2,
       {0xFFFF0000, 0x8000FF00, 0x000000FF,  //
        0xC8123456, 0xFFFFFFFF, 0x40000000},
       0},
      // 12-byte header, 4 bits, a table of three-byte colours.
      {"os2-palette.bmp", PictureFormat::kBmp, 3, 2,
       {0xFF123456, 0xFFFF0000, 0xFF0000FF,  //
        0xFF0000FF, 0xFF000000, 0xFF123456},
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const Bytes file = Picture(c.file);
    EXPECT_EQ(SniffPictureFormat(file), c.format);
    const RgbaPicture picture = DecodePicture(file);
    ASSERT_EQ(picture.width, c.width);
    ASSERT_EQ(picture.height, c.height);
    ASSERT_EQ(picture.pixels.size(), c.pixels.size());
    if (c.tolerance == 0) {
      EXPECT_EQ(picture.pixels, c.pixels);
      continue;
    }
    for (std::size_t i = 0; i < c.pixels.size(); ++i) {
      EXPECT_LE(LargestChannelDifference(picture.pixels[i], c.pixels[i]), c.tolerance)
          << "pixel " << i << ": " << std::hex << picture.pixels[i] << " for " << c.pixels[i];
    }
  }
}

void PutBigEndian(Bytes& bytes, std::size_t at, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + std::size_t(i)] = std::uint8_t(value >> (8 * (size - 1 - i)));
}
void PutLittleEndian(Bytes& bytes, std::size_t at, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + std::size_t(i)] = std::uint8_t(value >> (8 * i));
}

// A test picture whose header announces another size, otherwise well-formed.
Bytes Announcing(const std::string& name, std::uint32_t width, std::uint32_t height) {
  Bytes file = Picture(name);
  switch (*SniffPictureFormat(file)) {
    case PictureFormat::kPng:  // IHDR's width and height, and its CRC
      PutBigEndian(file, 16, width, 4);
      PutBigEndian(file, 20, height, 4);
      PutBigEndian(file, 29, std::uint32_t(crc32(0, &file[12], 17)), 4);
      break;
    case PictureFormat::kJpeg: {  // the frame header: FF C0, length, precision, height, width
      const std::uint8_t frame[] = {0xFF, 0xC0};
      const std::size_t at = std::size_t(std::search(file.begin(), file.end(), frame, frame + 2) - file.begin());
      PutBigEndian(file, at + 5, height, 2);
      PutBigEndian(file, at + 7, width, 2);
      break;
    }
    case PictureFormat::kGif:  // the logical screen
      PutLittleEndian(file, 6, width, 2);
      PutLittleEndian(file, 8, height, 2);
      break;
    case PictureFormat::kBmp:  // biWidth, biHeight
      PutLittleEndian(file, 18, width, 4);
      PutLittleEndian(file, 22, height, 4);
      break;
  }
  return file;
}

Bytes CutShort(const std::string& name, std::size_t size) {
  Bytes file = Picture(name);
  file.resize(size);
  return file;
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

TEST(PictureFile, RefusesWithTheReason) {
  struct Case {
    const char* what;
    Bytes bytes;
    Reason reason;
  };
  const Case cases[] = {
      {"PNG cut in its pixel data", CutShort("rgba.png", 60), Reason::kDamaged},
      {"JPEG cut in its scan", CutShort("blocks.jpg", 250), Reason::kDamaged},
      {"GIF cut in the first frame", CutShort("first-frame.gif", 60), Reason::kDamaged},
      {"BMP cut in its rows", CutShort("v5-alpha.bmp", 150), Reason::kDamaged},
      {"WebP", Text(std::string("RIFF\x24\0\0\0WEBPVP8 ", 16)), Reason::kNotSupported},
      {"little-endian TIFF", Text(std::string("II*\0\x08\0\0\0", 8)), Reason::kNotSupported},
      {"big-endian TIFF", Text(std::string("MM\0*\0\0\0\x08", 8)), Reason::kNotSupported},
      {"text", Text("width=4 height=2"), Reason::kNotSupported},
      {"nothing", Bytes(), Reason::kNotSupported},
      {"PNG of 9000 x 10", Announcing("rgba.png", 9000, 10), Reason::kTooLarge},
      {"PNG of 8192 x 8193", Announcing("rgba.png", 8192, 8193), Reason::kTooLarge},
      {"JPEG of 10 x 9000", Announcing("blocks.jpg", 10, 9000), Reason::kTooLarge},
      {"JPEG of 8193 x 8192", Announcing("blocks.jpg", 8193, 8192), Reason::kTooLarge},
      {"GIF of 9000 x 10", Announcing("first-frame.gif", 9000, 10), Reason::kTooLarge},
      {"GIF of 8192 x 8193", Announcing("first-frame.gif", 8192, 8193), Reason::kTooLarge},
      {"BMP of 9000 x 10", Announcing("v5-alpha.bmp", 9000, 10), Reason::kTooLarge},
      {"BMP of 8192 x 8193", Announcing("v5-alpha.bmp", 8192, 8193), Reason::kTooLarge},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      DecodePicture(c.bytes);
      ADD_FAILURE() << "decoded";
    } catch (const PictureError& e) {
      EXPECT_EQ(e.reason(), c.reason) << e.what();
      EXPECT_STRNE(e.what(), "");
    }
  }
}

}  // namespace
}  // namespace lumetra
