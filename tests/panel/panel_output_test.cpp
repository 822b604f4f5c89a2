// The files a panel writes of what it holds: pictures in the panel colours,
// the bytes decoded, and only the parts that are present.

#include "panel/output_writer.h"
#include "panel/panel_output.h"

#include <gtest/gtest.h>

#include <mutex>

#include <nlohmann/json.hpp>
#include <set>

#include "comm/send_data.h"
#include "render/playback.h"
#include "support/golden_image.h"
#include "support/temp_folder.h"

namespace lumetra::panel {
namespace {

using Json = nlohmann::json;

std::set<std::string> FileNames(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

TEST(PanelOutput, PicturesShowEachLedValueInThePanelColoursOfItsSet) {
  // LED values 0..3 as pixels 0xRRGGBB on a red-and-green and a yellow-and-blue panel.
  const std::pair<std::uint8_t, std::vector<std::uint32_t>> sets[] = {{0x01, {0x000000, 0xFF0000, 0x00FF00, 0xFFFF00}},
                                                                      {0x80, {0x000000, 0xFFFF00, 0x0000FF, 0xFFFFFF}}};
  for (const auto& [flags, colours] : sets) {
    test::TempFolder folder("panel-output");
    WritePictureFiles(PanelPicture{2, 2, flags, {0, 1, 2, 3}}, folder.path());
    const test::GoldenImage bmp = test::ReadGoldenBmp(folder / "picture.bmp");
    EXPECT_EQ(bmp.width, 2);
    EXPECT_EQ(bmp.pixels, colours) << int(flags);
    EXPECT_EQ(test::ReadText(folder / "picture.png").substr(12, 12), std::string("IHDR\0\0\0\2\0\0\0\2", 12));
  }
}

TEST(PanelOutput, WritesThePartsPresentWithTheBytesDecodedAndNamesAFileItCannotWrite) {
  test::TempFolder folder("panel-output");
  const ParameterBlock bytes = {0, 1, 0, 2, 2, 4, 1, 1, 3, 2, 1, 0, 2, 2, 1, 3, 9, 12, 30, 100, 7, 255, 255, 255, 255};
  PanelState state{bytes, PanelPicture{4, 1, 0, {1, 1, 2, 2}}, {}};  // 2 × 1 frames, a second each
  const std::int64_t times[] = {1500};
  WritePanelFiles(state, folder.path(), times);
  EXPECT_EQ(FileNames(folder.path()), (std::set<std::string>{"parameters.json", "picture.bmp", "picture.png",
                                                             "snapshot-1500.bmp", "snapshot-1500.png"}));
  EXPECT_EQ(test::ReadGoldenBmp(folder / "snapshot-1500.bmp").pixels, (std::vector<std::uint32_t>(2, 0x00FF00)));
  EXPECT_EQ(Json::parse(test::ReadText(folder / "parameters.json")), Json::parse(R"({
      "bytes": [0, 1, 0, 2, 2, 4, 1, 1, 3, 2, 1, 0, 2, 2, 1, 3, 9, 12, 30, 100, 7, 255, 255, 255, 255],
      "height": 1, "width": 2, "rowCount": 2,
      "clock": {"style": 4, "colourCode": 1, "colour": 2, "row": 1, "frame": 3, "align": 2},
      "rows": [{"mode": 1, "modeName": "move left", "start": 1, "end": 2, "speedCode": 2, "delay": 1},
               {"mode": 3, "modeName": "stretch", "start": 10, "end": 12, "speedCode": 30, "delay": 100},
               {"mode": 7, "modeName": "unknown", "start": 256, "end": 255, "speedCode": 255, "delay": 255}]})"));
  for (int index = 0; index < 4; ++index) EXPECT_EQ(ClockColourIndex(ClockColourCode(index)), index);

  // Cleared: the picture goes, the rest stays.
  state.picture.reset();
  WritePanelFiles(state, folder.path());
  EXPECT_EQ(FileNames(folder.path()),
            (std::set<std::string>{"parameters.json", "snapshot-1500.bmp", "snapshot-1500.png"}));

  test::TempFolder clockOnly("panel-output");
  state = {{}, PanelPicture{3, 1, 0, {1}}, PanelClock{{0x20, 0x24, 3, 5, 2, 9, 7, 0x59}, {2024, 3, 5, 2, 9, 7, 59}}};
  WritePanelFiles(state, clockOnly.path());  // the picture's LEDs do not fill it: no picture
  EXPECT_EQ(FileNames(clockOnly.path()), std::set<std::string>{"clock.json"});
  EXPECT_EQ(Json::parse(test::ReadText(clockOnly / "clock.json")),
            Json::parse(R"({"bytes": [32, 36, 3, 5, 2, 9, 7, 89], "time": "2024-03-05 09:07:59", "dayOfWeek": 2})"));

  try {
    WritePanelFiles(state, folder / "missing");
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("clock.json"), std::string::npos) << e.what();
  }
}

// Changes noted are written by the time the writer finishes; the first file
// that cannot be written is kept, naming it.
TEST(PanelOutput, TheWriterWritesEveryChangeBeforeItFinishesAndKeepsTheFirstFailure) {
  test::TempFolder folder("panel-writer");
  std::mutex stateMutex;
  const PanelState state{ParameterBlock{}, {}, {}};
  OutputWriter writer([&](std::uint8_t) { return state; }, stateMutex,
                      [&](std::uint8_t address) { return address == 1 ? folder.path() : folder / "missing"; }, {});
  writer.Changed(1);
  writer.Changed(2);
  writer.Finish();
  EXPECT_TRUE(std::filesystem::exists(folder / "parameters.json"));
  ASSERT_TRUE(writer.Failure());
  EXPECT_NE(writer.Failure()->find("missing"), std::string::npos) << *writer.Failure();
}

}  // namespace
}  // namespace lumetra::panel
