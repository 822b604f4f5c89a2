// Every drawing script in tests/data/gdi runs through our rasterizer and each
// scene must match the image the GDI reference made of it, pixel for pixel;
// where a script has recorded query output, that must match too.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

#include "gdiscript/scene_runner.h"
#include "platform/files.h"
#include "support/temp_folder.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(LUMETRA_TEST_DATA) / "gdi";

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // top-down 0xRRGGBB
};

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  std::uint32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

// Reads the two kinds of BMP the goldens come in: 24-bit and 8-bit run-length encoded.
Image ReadBmp(const fs::path& path) {
  std::vector<std::uint8_t> b = ReadWholeFile(path, 64u << 20);
  Image img;
  std::int32_t height;
  std::memcpy(&img.width, b.data() + 18, 4);
  std::memcpy(&height, b.data() + 22, 4);
  std::uint16_t bits = std::uint16_t(b[28] | (b[29] << 8));
  std::uint32_t offset = U32(b, 10), compression = U32(b, 30);
  img.height = std::abs(height);
  img.pixels.assign(std::size_t(img.width) * img.height, 0);
  auto put = [&](int x, int storedRow, std::uint32_t rgb) {
    int y = height > 0 ? img.height - 1 - storedRow : storedRow;
    if (x >= 0 && x < img.width && y >= 0 && y < img.height) img.pixels[std::size_t(y) * img.width + x] = rgb;
  };
  if (bits == 24) {
    std::size_t stride = (3 * std::size_t(img.width) + 3) & ~std::size_t(3);
    for (int r = 0; r < img.height; ++r) {
      for (int x = 0; x < img.width; ++x) {
        const std::uint8_t* p = b.data() + offset + r * stride + 3 * x;
        put(x, r, p[0] | (p[1] << 8) | (p[2] << 16));
      }
    }
  } else if (bits == 8 && compression == 1) {
    std::uint32_t colours = U32(b, 46);
    auto colour = [&](std::uint8_t i) { return i < colours ? U32(b, 54 + 4 * std::size_t(i)) & 0xFFFFFF : 0; };
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

std::vector<std::string> Scripts() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kData)) {
    if (entry.path().extension() == ".txt" && entry.path().stem().extension().empty()) {
      names.push_back(entry.path().stem().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

class GoldenScript : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenScript, EverySceneMatchesTheReferencePixelForPixel) {
  const std::string& name = GetParam();
  test::TempFolder out("gdi-golden");
  std::ostringstream queries, diagnostics;
  {
    SceneRunner runner(out.path(), queries, diagnostics);
    std::ifstream script(kData / (name + ".txt"));
    std::string line;
    int number = 0;
    while (std::getline(script, line)) runner.RunLine(line, ++number);
    runner.Finish();
    EXPECT_FALSE(runner.HadErrors()) << diagnostics.str();
  }
  int scenes = 0;
  std::vector<std::string> differing;
  for (const auto& entry : fs::directory_iterator(kData / name)) {
    ++scenes;
    Image expected = ReadBmp(entry.path());
    fs::path ours = out / entry.path().filename();
    ASSERT_TRUE(fs::exists(ours)) << "no image for scene " << entry.path().stem();
    Image actual = ReadBmp(ours);
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    std::size_t diff = 0;
    for (std::size_t i = 0; i < expected.pixels.size(); ++i) diff += expected.pixels[i] != actual.pixels[i];
    if (diff != 0) differing.push_back(entry.path().stem().string() + " (" + std::to_string(diff) + " pixels)");
  }
  EXPECT_GT(scenes, 0);
  std::string list;
  for (const std::string& d : differing) list += "\n  " + d;
  EXPECT_TRUE(differing.empty()) << differing.size() << " of " << scenes << " scenes differ:" << list;

  fs::path recorded = kData / (name + ".queries.txt");
  if (fs::exists(recorded)) {
    std::vector<std::uint8_t> bytes = ReadWholeFile(recorded, 16u << 20);
    EXPECT_EQ(queries.str(), std::string(bytes.begin(), bytes.end()));
  }
}

INSTANTIATE_TEST_SUITE_P(Reference, GoldenScript, ::testing::ValuesIn(Scripts()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace lumetra
