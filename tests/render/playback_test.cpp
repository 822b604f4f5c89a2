// The panel's show at exact moments: frames in row order with their
// entrances and holds, the clock on its frame, and any bytes played safely.

#include "render/playback.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/gdi/dc.h"
#include "units/timer.h"

namespace lumetra::panel {
namespace {

using Row = std::array<std::uint8_t, 5>;  // mode, start − 1, end, speed code, delay

ParameterBlock Parameters(int width, int height, std::uint8_t rowCount, std::vector<Row> rows) {
  ParameterBlock b{std::uint8_t(height >> 8), std::uint8_t(height), std::uint8_t(width >> 8), std::uint8_t(width),
                   rowCount};
  for (std::size_t r = 0; r < rows.size(); ++r) std::ranges::copy(rows[r], b.begin() + 10 + 5 * r);
  return b;
}

// Rows of LED digits, all frames side by side.
PanelPicture Picture(const std::vector<std::string>& rows) {
  PanelPicture p{int(rows[0].size()), int(rows.size()), 0, {}};
  for (const std::string& row : rows) std::ranges::for_each(row, [&](char c) { p.leds.push_back(c - '0'); });
  return p;
}

// Row y of a red-and-green frame as LED digits.
std::string Leds(const Bitmap32& image, int y) {
  std::string digits;
  for (int x = 0; x < image.Width(); ++x) {
    digits +=
        char('0' + (std::ranges::find(PanelColours(0), ColorFromPixel(image.At(x, y))) - PanelColours(0).begin()));
  }
  return digits;
}

TEST(Playback, PageTurningPlaysTheRowsInOrderForTheirDelaysAndLoops) {
  // One-pixel frames 1, 2, 3, 0. Row 1: frames 2..3 held a second. Row 2: start past
  // the end and end before it, so all four turned round, held one step (10 ms).
  PanelState state{Parameters(1, 1, 2, {{0, 1, 3, 2, 1}, {0, 200, 1, 2, 0}, {0, 0, 4, 2, 9}}), Picture({"1230"}), {}};
  const std::pair<std::int64_t, const char*> expected[] = {
      {-7, "2"},       {999, "2"},  {1000, "3"}, {2000, "1"},
      {2010, "2"},     {2030, "0"}, {2040, "2"}, {5 * 2040 + 1000, "3"},
      {LLONG_MAX, "2"}};
  for (const auto& [t, leds] : expected) EXPECT_EQ(Leds(RenderPanelFrame(state, t), 0), leds) << t;
  state.parameters->at(4) = 0;  // row 1 alone
  EXPECT_EQ(Leds(RenderPanelFrame(state, 2000), 0), "2");
}

TEST(Playback, EntrancesBringTheNewFrameInAColumnAStepOverWhatWentBefore) {
  // Two 4 × 2 frames, steps of 10 ms and a second's hold: 1040 ms a frame. The
  // second LED row is the first with 1 and 2 exchanged, so both are checked.
  PanelState state{Parameters(4, 2, 1, {{0, 0, 2, 2, 1}}), Picture({"12303201", "21303102"}), {}};
  auto shows = [&](std::uint8_t mode, std::int64_t t) {
    state.parameters->at(10) = mode;
    const Bitmap32 frame = RenderPanelFrame(state, t);
    std::string second = Leds(frame, 1);
    for (char& c : second) c = c == '1' ? '2' : c == '2' ? '1' : c;
    EXPECT_EQ(second, Leds(frame, 0)) << int(mode) << " at " << t;
    return Leds(frame, 0);
  };
  EXPECT_EQ(shows(kMoveLeft, 0), "0000");  // the very first entrance starts from black
  EXPECT_EQ(shows(kMoveLeft, 20), "0012");
  EXPECT_EQ(shows(kMoveLeft, 40), "1230");
  EXPECT_EQ(shows(kMoveLeft, 1060), "3032");
  EXPECT_EQ(shows(kMoveLeft, 2080 + 20), "0112");  // after the loop the last frame goes out
  EXPECT_EQ(shows(kMoveRight, 20), "3000");
  EXPECT_EQ(shows(kMoveRight, 1050), "1123");
  EXPECT_EQ(shows(kStretch, 1060), "3030");
  EXPECT_EQ(shows(kStretch, 1070), "3200");
}

TEST(Playback, TheClockRunsOnAtItsFrameRowAndAlignmentAndMovesWithItsFrame) {
  // Two black 128 × 32 frames of a yellow-and-blue panel held 5 s each; the
  // clock on frame 2, word row 2, colour code 2: yellow here.
  PanelState state{Parameters(128, 32, 1, {{0, 0, 2, 2, 5}}),
                   PanelPicture{256, 32, kFlagYellowAndBlue, std::vector<LedColour>(256 * 32, 0)},
                   PanelClock{{}, {2024, 12, 31, 2, 23, 59, 30}}};
  auto& b = *state.parameters;
  b[5] = 2, b[6] = 2, b[7] = 1, b[8] = 1;
  auto expected = [](int align) {  // 45 s on: the new year's day, a Wednesday
    Bitmap32 image(128, 32);
    CDC dc(image);
    const std::string text = CTimer::ClockText(2, {2025, 1, 1, 3, 0, 0, 15});
    const int free = 128 - dc.GetTextExtent(text).cx;
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(0x0000FFFF);
    dc.TextOut(align == 0 ? 0 : align == 2 ? free : free / 2, 16, text);
    return image;
  };
  const Bitmap32 black(128, 32);
  for (std::uint8_t align : {0, 1, 2, 7}) {
    b[9] = align;
    ASSERT_NE(expected(align).Pixels(), black.Pixels());
    EXPECT_EQ(RenderPanelFrame(state, 45'000).Pixels(), expected(align).Pixels()) << int(align);
    EXPECT_EQ(RenderPanelFrame(state, 40'000).Pixels(), black.Pixels()) << int(align);
  }
  b[5] = 0;  // no clock style
  EXPECT_EQ(RenderPanelFrame(state, 45'000).Pixels(), black.Pixels());

  b[5] = 2, b[10] = kMoveLeft;  // half-way in, 32 s on: the clock's left half stands in the right half
  const Bitmap32 halfway = RenderPanelFrame(state, 5 * (128 * 10 + 5000) + 640), centred = expected(1);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 64; ++x) ASSERT_EQ(halfway.At(64 + x, y), centred.At(x, y)) << x << "," << y;
  }
}

TEST(Playback, AnyBytesPlaySafelyInAFrameNoLargerThanThePictureOrTheLargestPanel) {
  ParameterBlock full, odd = Parameters(128, 32, 3, {{3, 250, 0, 0, 0}, {9, 0, 255, 255, 100}});
  full.fill(0xFF);
  odd[5] = 4, odd[6] = 0xFF, odd[9] = 0xFF;  // a clock in an unknown colour and alignment
  PanelPicture ragged = Picture({"0123"}), wide{300, 20, 0xFF, std::vector<LedColour>(6000, 0xFF)};
  ragged.width = 5;
  for (const ParameterBlock& block : {ParameterBlock{}, full, odd}) {
    for (const auto& picture : {std::optional<PanelPicture>{}, std::optional(ragged), std::optional(wide)}) {
      const PanelState state{block, picture, PanelClock{{}, {INT_MIN, INT_MAX, -1, 99, 77, -5, 61}}};
      for (std::int64_t t : {LLONG_MIN, 0LL, 12'345LL, LLONG_MAX}) {
        const Bitmap32 frame = RenderPanelFrame(state, t);
        EXPECT_EQ(frame.Width(), PanelFrameLayout(state).width);
        EXPECT_LE(frame.Width() * frame.Height(), 1024 * 256);
      }
    }
  }
  auto layout = [](std::optional<ParameterBlock> b, std::optional<PanelPicture> p) {
    const FrameLayout l = PanelFrameLayout({b, p, {}});
    return std::array{l.width, l.height, l.frames};
  };
  EXPECT_EQ(layout({}, {}), (std::array{16, 16, 0}));
  EXPECT_EQ(layout(full, ragged), (std::array{1024, 256, 0}));
  EXPECT_EQ(layout(odd, {}), (std::array{128, 32, 0}));
  EXPECT_EQ(layout(full, wide), (std::array{300, 20, 1}));
  EXPECT_EQ(layout(odd, wide), (std::array{128, 20, 2}));  // the picture too low, columns left over
}

}  // namespace
}  // namespace lumetra::panel
