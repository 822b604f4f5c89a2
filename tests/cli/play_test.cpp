// The playback engine against the virtual panel after a real send, and the
// exports of lumetra-cli play read back: a GIF decoded with giflib and the
// PNG frames, each moment equal to the engine's.

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/panel_settings.h"
#include "platform/files.h"
#include "platform/png_encoder.h"
#include "render/animation.h"
#include "render/led_dots.h"
#include "render/panel_content.h"
#include "render/playback.h"
#include "support/golden_image.h"
#include "support/sample_show.h"
#include "support/temp_folder.h"
#include "support/virtual_panel.h"

namespace lumetra {
namespace {

// The engine's state for the document at `path` as a send at `clock` leaves the panel.
PanelState EngineState(const std::filesystem::path& path, const LocalTime& clock) {
  CTessaraDoc doc;
  doc.OnOpenDocument(path, PanelSettings{});
  doc.PlaceClock(clock);
  std::optional<PanelState> state = PanelStateAfterSend(doc, {clock, false, doc.m_ptViewOrigin});
  EXPECT_TRUE(state);
  return state.value_or(PanelState{});
}

int RunCli(const std::string& args, const std::filesystem::path& home, const std::string& port = "") {
  const std::string command = "XDG_CONFIG_HOME='" + home.string() + "' LUMETRA_COM1='" + port +
                              "' '" LUMETRA_BIN_DIR "/lumetra-cli' " + args + " > /dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Show {
  const char* name;
  std::vector<test::ShowRow> rows;
};

const Show kShows[] = {
    {"page turning, then move left", {{test::kPageTurning, 1, 1, 1}, {test::kMoveLeft, 2, 3, 1}}},
    {"move right", {{test::kMoveRight, 1, 3, 1}}},
    {"stretch, then page turning", {{test::kStretch, 1, 2, 0}, {test::kPageTurning, 3, 3, 2}}},
};

TEST(PlaybackEngine, EveryMomentEqualsTheVirtualPanelsSnapshotAfterARealSend) {
  // Entrances take 320 ms: moments inside them, on the holds, at frame and
  // row changes, into the second round, and a clock that crosses a minute.
  const std::vector<std::int64_t> times = {0, 10, 155, 319, 320, 1000, 1325, 1480, 2330, 2500, 3650, 4990, 61'000};
  for (const Show& show : kShows) {
    SCOPED_TRACE(show.name);
    test::TempFolder folder("play-panel");
    test::MakeShow(folder / "show.tz", show.rows);
    std::vector<std::string> options;
    for (std::int64_t t : times) options.insert(options.end(), {"--snapshot", std::to_string(t)});
    test::VirtualPanel panel(folder / "panel", options);
    ASSERT_EQ(RunCli("send '" + (folder / "show.tz").string() + "' --pause-scale 0", folder / "home", panel.Path()), 0);
    ASSERT_TRUE(panel.Stop());

    const auto clockJson = nlohmann::json::parse(test::ReadText(folder / "panel" / "clock.json"));
    const std::optional<LocalTime> clock = ParseLocalTime(clockJson["time"].get<std::string>());
    ASSERT_TRUE(clock);
    const PanelState state = EngineState(folder / "show.tz", *clock);
    for (std::int64_t t : times) {
      const test::GoldenImage snapshot =
          test::ReadGoldenBmp(folder / "panel" / ("snapshot-" + std::to_string(t) + ".bmp"));
      const Bitmap32 engine = RenderPanelFrame(state, t);
      ASSERT_EQ(engine.Width(), snapshot.width);
      EXPECT_EQ(engine.Pixels(), snapshot.pixels) << "at " << t << " ms";
    }
  }
}

// The pictures of a GIF as they appear one after another, with their delays.
struct GifPicture {
  Bitmap32 image;
  int delay = 0;
};
std::vector<GifPicture> DecodeGif(const std::filesystem::path& path) {
  int error = 0;
  std::unique_ptr<GifFileType, void (*)(GifFileType*)> gif(DGifOpenFileName(path.c_str(), &error),
                                                           [](GifFileType* g) { DGifCloseFile(g, nullptr); });
  if (!gif || DGifSlurp(gif.get()) != GIF_OK) {
    ADD_FAILURE() << path << ": not a GIF";
    return {};
  }
  std::vector<GifPicture> pictures;
  Bitmap32 screen(gif->SWidth, gif->SHeight);
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& saved = gif->SavedImages[i];
    GraphicsControlBlock control{};
    DGifSavedExtensionToGCB(gif.get(), i, &control);
    const ColorMapObject* map = saved.ImageDesc.ColorMap ? saved.ImageDesc.ColorMap : gif->SColorMap;
    const GifImageDesc& box = saved.ImageDesc;
    for (int y = 0; y < box.Height; ++y) {
      for (int x = 0; x < box.Width; ++x) {
        const GifColorType c = map->Colors[saved.RasterBits[y * box.Width + x]];
        screen.At(box.Left + x, box.Top + y) = std::uint32_t(c.Red) << 16 | c.Green << 8 | c.Blue;
      }
    }
    pictures.push_back({screen, control.DelayTime});
  }
  return pictures;
}

std::string FrameFile(int moment) {
  const std::string number = std::to_string(moment);
  return "frame-" + std::string(5 - number.size(), '0') + number + ".png";
}

TEST(PlayCommand, TheGifAndThePngFramesHoldTheEnginesMomentsWithTheirDelays) {
  struct Case {
    int fps;
    int ledSize;
    double seconds;
  };
  const Case cases[] = {{25, 0, 3.0}, {30, 0, 2.5}, {50, 4, 1.3}};
  const LocalTime clock{2026, 12, 31, 4, 23, 59, 58};
  for (const Case& c : cases) {
    SCOPED_TRACE("fps " + std::to_string(c.fps) + ", LED size " + std::to_string(c.ledSize));
    test::TempFolder folder("play-gif");
    test::MakeShow(folder / "show.tz", kShows[0].rows);
    const std::string common = "'" + (folder / "show.tz").string() + "' --clock '2026-12-31 23:59:58' --fps " +
                               std::to_string(c.fps) + " --seconds " + std::to_string(c.seconds) +
                               (c.ledSize ? " --led-size " + std::to_string(c.ledSize) : "");
    ASSERT_EQ(RunCli("play " + common + " --gif '" + (folder / "show.gif").string() + "' --frames '" +
                         (folder / "frames").string() + "'",
                     folder / "home"),
              0);

    // The engine's moments, repeats run together as the GIF holds them.
    const PanelState state = EngineState(folder / "show.tz", clock);
    const AnimationOptions options{std::int64_t(c.seconds * 1000), c.fps, c.ledSize};
    std::optional<LedDots> dots;
    if (c.ledSize) dots.emplace(c.ledSize);
    std::vector<GifPicture> expected;
    const int moments = AnimationMoments(options);
    for (int i = 0; i < moments; ++i) {
      const Bitmap32 leds = RenderPanelFrame(state, MomentMs(i, c.fps));
      Bitmap32 image = dots ? dots->Paint(leds) : leds;
      EXPECT_EQ(ReadWholeFile(folder / "frames" / FrameFile(i), 64 << 20), EncodePng(image)) << "PNG frame " << i;
      if (!expected.empty() && expected.back().image.Pixels() == image.Pixels()) {
        expected.back().delay += MomentDelay(i, options);
      } else {
        expected.push_back({std::move(image), MomentDelay(i, options)});
      }
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "frames" / FrameFile(moments)));

    const std::vector<GifPicture> decoded = DecodeGif(folder / "show.gif");
    ASSERT_EQ(decoded.size(), expected.size());
    int total = 0;
    for (std::size_t k = 0; k < decoded.size(); ++k) {
      EXPECT_EQ(decoded[k].delay, expected[k].delay) << "picture " << k;
      EXPECT_TRUE(decoded[k].image.Pixels() == expected[k].image.Pixels()) << "picture " << k;
      total += decoded[k].delay;
    }
    EXPECT_EQ(total, int(std::lround(c.seconds * 100)));
  }
}

}  // namespace
}  // namespace lumetra
