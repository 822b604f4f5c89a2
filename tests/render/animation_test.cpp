// Animation timing in GIF hundredths, the limits of an export, and exports
// that fail or are stopped leaving the previous file as it was.

#include "render/animation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "platform/files.h"
#include "platform/gif_animation.h"
#include "support/temp_folder.h"

namespace lumetra {
namespace {

// A largest-panel state: 1024 × 256 LEDs, one frame, held a second.
PanelState LargestPanel() {
  PanelState state;
  state.parameters = ParameterBlock{};
  (*state.parameters)[0] = 1;  // height 256
  (*state.parameters)[2] = 4;  // width 1024
  (*state.parameters)[4] = 1;
  (*state.parameters)[12] = 1;  // frames 1..1
  (*state.parameters)[14] = 1;  // held 1 s
  state.picture = PanelPicture{1024, 256, 0, std::vector<LedColour>(1024 * 256, 1)};
  return state;
}

TEST(Animation, DelaysAddUpToTheMomentsRealTimeAtEveryRate) {
  for (const int fps : {1, 3, 7, 24, 25, 30, 50}) {
    const AnimationOptions endless{kMaxAnimationMs, fps, 0};
    int total = 0;
    for (int i = 0; i < 500; ++i) {
      const int delay = MomentDelay(i, endless);
      ASSERT_GE(delay, 1) << fps << " fps, moment " << i;
      total += delay;
      EXPECT_EQ(total, std::lround((i + 1) * 100.0 / fps + 1e-9)) << fps << " fps, moment " << i;
      EXPECT_EQ(MomentMs(i, fps), std::int64_t(i) * 1000 / fps);
    }
  }
  // The last moment lasts until the duration ends, so a round loops without drift.
  const std::pair<AnimationOptions, int> lasts[] = {{{47'040, 30, 0}, 4704}, {{1, 1, 0}, 1}, {{1000, 3, 0}, 100}};
  for (const auto& [options, hundredths] : lasts) {
    int total = 0;
    for (int i = 0; i < AnimationMoments(options); ++i) total += MomentDelay(i, options);
    EXPECT_EQ(total, hundredths) << options.durationMs << " ms at " << options.fps;
  }
  const std::pair<std::int64_t, int> moments[] = {{1, 1}, {40, 1}, {41, 2}, {999, 25}, {1000, 25}, {1001, 26}};
  for (const auto& [ms, count] : moments) EXPECT_EQ(AnimationMoments({ms, 25, 0}), count) << ms << " ms";

  PanelState state = LargestPanel();
  EXPECT_EQ(DefaultAnimationMs(state, 25), 1000);  // one round: the frame held a second
  (*state.parameters)[14] = 100;
  EXPECT_EQ(DefaultAnimationMs(state, 25), kDefaultAnimationLimitMs);
  (*state.parameters)[14] = 0;  // a page turn held one step of 10 ms: still a whole moment
  EXPECT_EQ(DefaultAnimationMs(state, 25), 40);
}

TEST(Animation, OptionsOutOfRangeAreRefusedWithWhatIsAllowed) {
  const PanelState state = LargestPanel();
  const std::pair<AnimationOptions, const char*> refused[] = {
      {{0, 25, 0}, "duration (ms) must be 1 to 3600000, not 0"},
      {{kMaxAnimationMs + 1, 25, 0}, "not 3600001"},
      {{1000, 0, 0}, "frame rate must be 1 to 50, not 0"},
      {{1000, 51, 0}, "not 51"},
      {{1000, 25, 2}, "LED size must be 3 to 32, not 2"},
      {{1000, 25, 33}, "not 33"},
      {{1000, 25, 12}, "12288 x 3072 pixels"},
  };
  for (const auto& [options, message] : refused) {
    try {
      CheckAnimationOptions(state, options);
      ADD_FAILURE() << message << ": accepted";
    } catch (const std::invalid_argument& e) {
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
    }
  }
  EXPECT_NO_THROW(CheckAnimationOptions(state, {1000, 50, 11}));
}

TEST(Animation, AFailedOrStoppedGifLeavesThePreviousFileAndNoTemporaryOne) {
  test::TempFolder folder("gif");
  const std::filesystem::path path = folder / "show.gif";
  WriteFileAtomically(path, std::string_view("previous"));
  const auto untouched = [&](const char* what) {
    EXPECT_EQ(test::ReadText(path), "previous") << what;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / ""), {}), 1) << what;
  };

  EXPECT_FALSE(ExportGif(LargestPanel(), {400, 25, 0}, path, [](int done, int) { return done < 3; }));
  untouched("stopped after 3 moments");

  {
    GifAnimation gif(path, 300, 1);
    Bitmap32 colourful(300, 1);
    for (int x = 0; x < 300; ++x) colourful.At(x, 0) = std::uint32_t(x);
    gif.AddFrame(colourful, 1);  // held back until the next frame differs
    EXPECT_THROW(gif.AddFrame(Bitmap32(300, 1), 1), std::invalid_argument);
    EXPECT_THROW(gif.AddFrame(Bitmap32(2, 2), 1), std::invalid_argument);
    EXPECT_THROW(gif.AddFrame(Bitmap32(300, 1), kMaxGifDelay + 1), std::invalid_argument);
  }
  untouched("more than 256 colours");

  EXPECT_THROW(ExportGif(LargestPanel(), {400, 25, 0}, folder / "missing" / "show.gif"), FileError);
}

}  // namespace
}  // namespace lumetra
