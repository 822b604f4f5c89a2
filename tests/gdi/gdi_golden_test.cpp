// Every drawing script in tests/data/gdi runs through our rasterizer and each
// scene must match the image the GDI reference made of it, pixel for pixel;
// where a script has recorded query output, that must match too.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "gdiscript/scene_runner.h"
#include "platform/files.h"
#include "support/golden_image.h"
#include "support/temp_folder.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(LUMETRA_TEST_DATA) / "gdi";

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
    test::GoldenImage expected = test::ReadGoldenBmp(entry.path());
    fs::path ours = out / entry.path().filename();
    ASSERT_TRUE(fs::exists(ours)) << "no image for scene " << entry.path().stem();
    test::GoldenImage actual = test::ReadGoldenBmp(ours);
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
