// The Preview's animation tick by tick: where each effect pauses, how the
// strip moves and wraps, and what the window shows at each moment.

#include "view/preview_animation.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace lumetra {
namespace {

constexpr int kW = 16;
constexpr int kH = 4;

// A strip whose every pixel tells where it came from: column + 1 (so 0 stays
// black) in the low bits, the row above them.
Bitmap32 Strip(int frames) {
  Bitmap32 strip(frames * kW, kH);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < strip.Width(); ++x) strip.At(x, y) = std::uint32_t(y) << 16 | std::uint32_t(x + 1);
  }
  return strip;
}

PreviewAnimation Started(int frames, std::int32_t effect) {
  PreviewAnimation preview;
  preview.m_nFrameWidth = kW;
  preview.m_nFrameHeight = kH;
  preview.m_nFrameCount = frames;
  preview.ApplySelection(effect);
  return preview;
}

// The dialog's two timers on a simulated clock: a tick every kPreviewTickMs;
// a pause ends kPreviewPauseMs after the tick that began it, just after
// that moment's tick.
class Timers {
 public:
  explicit Timers(PreviewAnimation& preview) : preview_(preview) {}

  // Runs until `untilMs`; returns each change of offset as (time, new offset).
  std::vector<std::pair<int, int>> Run(int untilMs) {
    std::vector<std::pair<int, int>> changes;
    while (now_ + kPreviewTickMs <= untilMs) {
      now_ += kPreviewTickMs;
      const int before = preview_.m_nOffset;
      const bool pauseOver = pauseEnd_ == now_;
      if (preview_.Tick() == PreviewTick::PauseStarted) pauseEnd_ = now_ + kPreviewPauseMs;
      if (pauseOver) {
        preview_.EndPause();
        pauseEnd_.reset();
      }
      if (preview_.m_nOffset != before) changes.emplace_back(now_, preview_.m_nOffset);
    }
    return changes;
  }

 private:
  PreviewAnimation& preview_;
  int now_ = 0;
  std::optional<int> pauseEnd_;
};

// Ticks until the next pause starts; returns the ticks it took.
int TicksToPause(PreviewAnimation& preview) {
  int ticks = 1;
  while (preview.Tick() != PreviewTick::PauseStarted) ++ticks;
  return ticks;
}

// The strip column the window shows at x, or -1 for black.
int ShownColumn(const Bitmap32& picture, int x, int y = 0) { return int(picture.At(x, y) & 0xFFFF) - 1; }

TEST(PreviewAnimation, SelectingAnEffectStartsItAfresh) {
  PreviewAnimation preview = Started(1, kPreviewMoveRight);
  ASSERT_EQ(preview.Tick(), PreviewTick::PauseStarted);  // the wait on frame 1
  preview.m_nCover = 8;
  preview.m_nCoverPhase = 1;
  preview.ApplySelection(kPreviewWipe);
  EXPECT_EQ(preview.m_nEffect, kPreviewWipe);
  EXPECT_EQ(std::tuple(preview.m_nOffset, preview.m_nCover, preview.m_nCoverPhase), std::tuple(0, 0, 0));
  EXPECT_TRUE(preview.m_bRunning);

  preview.m_nCover = 8;
  preview.ApplySelection(kPreviewPageTurning);
  EXPECT_EQ(preview.m_nCover, 8);  // only the wipe starts its cover afresh
  preview.EndPause();              // the old pause's end no longer moves the strip
  EXPECT_EQ(preview.m_nOffset, 0);
}

TEST(PreviewAnimation, PageTurningHoldsEachFrameForThePauseAndComesBackToFrameOne) {
  PreviewAnimation preview = Started(3, kPreviewPageTurning);
  const std::vector<std::pair<int, int>> expected = {{50, -kW}, {2100, -2 * kW}, {4150, 0}, {6200, -kW}};
  EXPECT_EQ(Timers(preview).Run(7000), expected);
  const Bitmap32 picture = preview.Picture(Strip(3));
  EXPECT_EQ(ShownColumn(picture, 0), kW);  // frame 2
  EXPECT_EQ(ShownColumn(picture, kW - 1, kH - 1), 2 * kW - 1);
}

TEST(PreviewAnimation, MovingLeftWithOneFrameStaysOnePixelLeftAndPausesOnlyOnce) {
  PreviewAnimation preview = Started(1, kPreviewMoveLeft);
  ASSERT_EQ(preview.Tick(), PreviewTick::PauseStarted);
  EXPECT_EQ(preview.m_nOffset, -1);
  EXPECT_EQ(preview.Tick(), PreviewTick::Idle);
  preview.EndPause();
  for (int i = 0; i < 200; ++i) ASSERT_EQ(preview.Tick(), PreviewTick::Advanced) << "tick " << i;
  EXPECT_EQ(preview.m_nOffset, -1);

  const Bitmap32 picture = preview.Picture(Strip(1));
  EXPECT_EQ(ShownColumn(picture, 0), 1);
  EXPECT_EQ(ShownColumn(picture, kW - 2), kW - 1);
  EXPECT_EQ(ShownColumn(picture, kW - 1), -1);  // past the strip's end
}

TEST(PreviewAnimation, MovingLeftPausesAtEveryFrameAndStartsOverAfterTheStrip) {
  PreviewAnimation preview = Started(2, kPreviewMoveLeft);
  const std::vector<std::pair<int, int>> expected = {{1, -1}, {kW, -kW - 1}, {kW, -1}, {kW, -kW - 1}};
  for (const auto& [ticks, offset] : expected) {
    EXPECT_EQ(TicksToPause(preview), ticks);
    EXPECT_EQ(preview.m_nOffset, offset);
    preview.EndPause();
  }
  EXPECT_EQ(ShownColumn(preview.Picture(Strip(2)), 0), kW + 1);
}

TEST(PreviewAnimation, MovingRightHoldsFrameOneInFullViewThenJumpsBack) {
  PreviewAnimation preview = Started(3, kPreviewMoveRight);
  EXPECT_EQ(preview.m_nOffset, -2 * kW);  // starting with the last frame in view
  // A pause at each frame edge on the way: the last frame, then the middle one.
  EXPECT_EQ(TicksToPause(preview), 1);
  EXPECT_EQ(preview.m_nOffset, -2 * kW + 1);
  preview.EndPause();
  EXPECT_EQ(TicksToPause(preview), kW);
  EXPECT_EQ(preview.m_nOffset, -kW + 1);
  preview.EndPause();

  // Frame 1 comes fully into view and stays there through the wait.
  EXPECT_EQ(TicksToPause(preview), kW);
  EXPECT_EQ(preview.m_nOffset, 0);
  const Bitmap32 held = preview.Picture(Strip(3));
  EXPECT_EQ(ShownColumn(held, 0), 0);
  EXPECT_EQ(ShownColumn(held, kW - 1), kW - 1);
  EXPECT_EQ(preview.Tick(), PreviewTick::Idle);
  EXPECT_EQ(preview.m_nOffset, 0);

  preview.EndPause();
  EXPECT_EQ(preview.m_nOffset, -255);
  EXPECT_TRUE(preview.m_bRunning);
  EXPECT_EQ(preview.Tick(), PreviewTick::Advanced);
  EXPECT_EQ(preview.m_nOffset, -254);
}

TEST(PreviewAnimation, MovingRightStartsOverWhenTheStripHasLeftTheWindow) {
  PreviewAnimation preview = Started(3, kPreviewMoveRight);
  preview.m_nOffset = kW - 1;
  EXPECT_EQ(preview.Tick(), PreviewTick::Advanced);
  const Bitmap32 picture = preview.Picture(Strip(3));
  EXPECT_EQ(ShownColumn(picture, kW - 1), -1);  // left of the strip
  EXPECT_EQ(preview.Tick(), PreviewTick::PauseStarted);
  EXPECT_EQ(preview.m_nOffset, -2 * kW + 1);
}

TEST(PreviewAnimation, MovingRightWithOneFrameWaitsAtOnceThenComesInFromTheLeft) {
  PreviewAnimation preview = Started(1, kPreviewMoveRight);
  EXPECT_EQ(preview.m_nOffset, 0);
  const std::vector<std::pair<int, int>> expected = {{2050, -255}, {2100, -254}};
  EXPECT_EQ(Timers(preview).Run(2100), expected);
}

TEST(PreviewAnimation, WipeRevealsPausesCoversAndMovesToTheNextFrame) {
  PreviewAnimation preview = Started(2, kPreviewWipe);
  const Bitmap32 strip = Strip(2);
  for (int frame = 0; frame < 2; ++frame) {
    for (int cover = 2; cover < kW; cover += 2) {
      ASSERT_EQ(preview.Tick(), PreviewTick::Advanced);
      ASSERT_EQ(preview.m_nCover, cover);
    }
    const Bitmap32 partly = preview.Picture(strip);
    EXPECT_EQ(ShownColumn(partly, kW - 3), frame * kW + kW - 3);
    EXPECT_EQ(ShownColumn(partly, kW - 2), -1);

    ASSERT_EQ(preview.Tick(), PreviewTick::PauseStarted);
    EXPECT_EQ(preview.m_nCover, kW);
    EXPECT_EQ(preview.m_nCoverPhase, 1);
    EXPECT_EQ(ShownColumn(preview.Picture(strip), kW - 1), frame * kW + kW - 1);
    preview.EndPause();

    for (int cover = kW - 2; cover > 0; cover -= 2) {
      ASSERT_EQ(preview.Tick(), PreviewTick::Advanced);
      ASSERT_EQ(preview.m_nCover, cover);
      ASSERT_EQ(preview.m_nOffset, -frame * kW);
    }
    ASSERT_EQ(preview.Tick(), PreviewTick::Advanced);
    EXPECT_EQ(preview.m_nCover, 0);
    EXPECT_EQ(preview.m_nCoverPhase, 0);
    EXPECT_EQ(preview.m_nOffset, -(frame + 1) * kW);
    EXPECT_EQ(ShownColumn(preview.Picture(strip), 0), -1);
  }
  // All frames shown: one tick starts over, the next reveals frame 1 again.
  EXPECT_EQ(preview.Tick(), PreviewTick::Advanced);
  EXPECT_EQ(preview.m_nOffset, 0);
  EXPECT_EQ(preview.m_nCover, 0);
  EXPECT_EQ(preview.Tick(), PreviewTick::Advanced);
  EXPECT_EQ(preview.m_nCover, 2);
  EXPECT_EQ(ShownColumn(preview.Picture(strip), 1), 1);
}

TEST(PreviewAnimation, PictureIsTheFrameSizeWithBlackWhereTheStripDoesNotReach) {
  PreviewAnimation preview = Started(2, kPreviewMoveRight);
  preview.m_nOffset = 5;
  const Bitmap32 picture = preview.Picture(Strip(2));
  ASSERT_EQ(picture.Width(), kW);
  ASSERT_EQ(picture.Height(), kH);
  EXPECT_EQ(picture.At(4, 2), 0u);
  EXPECT_EQ(picture.At(5, 2), 2u << 16 | 1u);

  preview.m_nOffset = -3 * kW;
  EXPECT_EQ(preview.Picture(Strip(2)).Pixels(), Bitmap32(kW, kH).Pixels());
  preview.m_nOffset = 0;
  EXPECT_EQ(preview.Picture(Bitmap32()).Pixels(), Bitmap32(kW, kH).Pixels());
}

}  // namespace
}  // namespace lumetra
