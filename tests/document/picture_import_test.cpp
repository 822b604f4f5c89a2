#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "document/panel_settings.h"
#include "document/picture_import.h"
#include "platform/gdi/bmp_file.h"
#include "units/bmp.h"

namespace lumetra {
namespace {

constexpr std::uint32_t kOpaque = 0xFF000000;

RgbaPicture Picture(int width, int height, std::vector<std::uint32_t> pixels) {
  return RgbaPicture{width, height, std::move(pixels)};
}

std::vector<int> Leds(const ReducedPicture& reduced) { return {reduced.leds.begin(), reduced.leds.end()}; }

// Colours, transparency and the threshold of a 4 × 2 picture, LED by LED
// (red-and-green: 0 off, 1 red, 2 green, 3 yellow; yellow-and-blue: 1
// yellow, 2 blue, 3 white; mono: 1 red).
TEST(PictureImport, EachLedTakesTheNearestColourOfTheSetAndTransparentPixelsAreOff) {
  const RgbaPicture picture = Picture(4, 2, {
      kOpaque | 0xFF4000, kOpaque | 0x28FF00, kOpaque | 0xF0F020, 0x00FFFFFF,  // red, green, yellow, clear white
      kOpaque | 0xFFFFFF, kOpaque | 0x101010, 0x60FF0000, kOpaque | 0x2020E0,  // white, near black, faint red, blue
  });
  struct Case {
    const char* name;
    int colourSet;
    PictureReduction how;
    std::vector<int> leds;
  };
  const Case cases[] = {
      {"red and green", kRedAndGreen, {}, {1, 2, 3, 0, 3, 0, 0, 0}},
      {"yellow and blue", kYellowAndBlue, {}, {1, 1, 1, 0, 3, 0, 0, 2}},
      {"mono at 128", kMono, {}, {0, 1, 1, 0, 1, 0, 0, 0}},
      {"mono at 70", kMono, {.threshold = 70}, {1, 1, 1, 0, 1, 0, 0, 0}},
      {"mono inverted", kMono, {.invert = true}, {1, 0, 0, 0, 0, 1, 0, 1}},
  };
  for (const Case& c : cases) {
    const ReducedPicture reduced = ReducePicture(picture, c.how, c.colourSet, {32, 16});
    EXPECT_EQ(reduced.width, 4) << c.name;
    EXPECT_EQ(Leds(reduced), c.leds) << c.name;
  }
}

TEST(PictureImport, FittingKeepsTheAspectRatio) {
  struct Case {
    CSize picture;
    PictureFit fit;
    CSize frame, expected;
  };
  const Case cases[] = {
      {{1920, 1080}, PictureFit::kNatural, {128, 16}, {1920, 1080}},
      {{1920, 1080}, PictureFit::kFrameHeight, {128, 16}, {28, 16}},
      {{1920, 1080}, PictureFit::kInsideFrame, {128, 16}, {28, 16}},
      {{1000, 100}, PictureFit::kInsideFrame, {64, 32}, {64, 6}},
      {{8, 2}, PictureFit::kFrameHeight, {32, 16}, {64, 16}},  // enlarged
      {{3000, 1}, PictureFit::kFrameHeight, {32, 16}, {48000, 16}},
      {{1, 3000}, PictureFit::kInsideFrame, {32, 16}, {1, 16}},  // never below one LED
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FittedSize(c.picture, c.fit, c.frame), c.expected) << c.picture.cx << "x" << c.picture.cy;
  }
}

// Shrinking averages the pixels each LED covers; error diffusion turns a
// mid grey that a plain threshold leaves dark into about half the LEDs lit.
TEST(PictureImport, ShrinkingAveragesAndDitheringSpreadsWhatEachLedRoundsOff) {
  std::vector<std::uint32_t> checker;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) checker.push_back(kOpaque | ((x + y) % 2 ? 0xFFFFFF : 0));
  }
  const RgbaPicture picture = Picture(32, 32, checker);
  const auto lit = [](const ReducedPicture& r) { return std::count(r.leds.begin(), r.leds.end(), 1); };
  const ReducedPicture plain = ReducePicture(picture, {.fit = PictureFit::kFrameHeight}, kMono, {64, 16});
  ASSERT_EQ(plain.width, 16);
  EXPECT_EQ(lit(plain), 0);  // every LED covers 2 × 2 pixels: grey 127.5
  EXPECT_EQ(lit(ReducePicture(picture, {.fit = PictureFit::kFrameHeight, .threshold = 127}, kMono, {64, 16})), 256);
  const ReducedPicture dithered =
      ReducePicture(picture, {.fit = PictureFit::kFrameHeight, .dither = true}, kMono, {64, 16});
  EXPECT_NEAR(double(lit(dithered)), 128.0, 8.0);
}

// Enlarging takes the nearest pixel; a fitted size beyond what a picture may
// be is refused before anything is made.
TEST(PictureImport, EnlargingTakesTheNearestPixelAndAnOversizedFitIsRefused) {
  const RgbaPicture pair = Picture(2, 2, {kOpaque | 0xFF0000, kOpaque | 0x00FF00, kOpaque | 0xFF0000, kOpaque | 0x00FF00});
  const ReducedPicture enlarged = ReducePicture(pair, {.fit = PictureFit::kFrameHeight}, kRedAndGreen, {16, 3});
  EXPECT_EQ(Leds(enlarged), (std::vector<int>{1, 2, 2, 1, 2, 2, 1, 2, 2}));
  const RgbaPicture ticker = Picture(8192, 1, std::vector<std::uint32_t>(8192, kOpaque));
  EXPECT_THROW(ReducePicture(ticker, {.fit = PictureFit::kFrameHeight}, kMono, {1024, 256}), PictureError);
}

// The stored picture is a plain 4-bit BMP that draws as the reduced LEDs.
TEST(PictureImport, TheStoredPictureIsAPlainBmpOfTheReducedLeds) {
  std::vector<std::uint32_t> pixels;
  for (int i = 0; i < 5 * 3; ++i) pixels.push_back(kOpaque | std::uint32_t(i * 0x111111 % 0xFFFFFF));
  for (int colourSet : {kRedAndGreen, kYellowAndBlue, kMono}) {
    const ReducedPicture reduced = ReducePicture(Picture(5, 3, pixels), {.dither = true}, colourSet, {16, 16});
    const std::vector<std::uint8_t> file = BmpFileOf(reduced);
    EXPECT_TRUE(IsPlainBmp(file));
    const std::optional<Bitmap32> drawn = DecodeBmp(file);
    ASSERT_TRUE(drawn);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 5; ++x) EXPECT_EQ(drawn->At(x, y), PixelFromColor(reduced.ColourAt(x, y))) << x << "," << y;
    }
    const std::unique_ptr<CBmp> unit = MakePictureUnit(file, {7, 9});
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->Bounds(), (CRect{7, 9, 12, 12}));
  }
}

}  // namespace
}  // namespace lumetra
