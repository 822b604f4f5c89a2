#include "panel/panel_output.h"

#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/gdi/bmp_file.h"
#include "platform/png_encoder.h"
#include "render/playback.h"

namespace lumetra::panel {

namespace {

using Json = nlohmann::ordered_json;

void WriteJson(const std::filesystem::path& path, const Json& json) { WriteFileAtomically(path, json.dump(2) + "\n"); }

// `stem`.bmp and `stem`.png of a bitmap that is not empty.
void WriteImageFiles(const Bitmap32& image, const std::filesystem::path& folder, std::string_view stem) {
  const std::filesystem::path bmpPath = folder / (std::string(stem) + ".bmp");
  const std::optional<std::vector<std::uint8_t>> bmp = WriteDIB(PackDib24(image));
  if (!bmp) throw FileError(bmpPath.string() + ": the picture cannot be made into a BMP file");
  WriteFileAtomically(bmpPath, *bmp);

  const std::filesystem::path pngPath = folder / (std::string(stem) + ".png");
  std::vector<std::uint8_t> png;
  try {
    png = EncodePng(image);
  } catch (const std::invalid_argument& e) {
    throw FileError(pngPath.string() + ": " + e.what());
  }
  WriteFileAtomically(pngPath, png);
}

Json ClockJson(const ClockParameters& clock) {
  return {{"style", clock.style}, {"colourCode", clock.colourCode}, {"colour", ClockColourIndex(clock.colourCode)},
          {"row", clock.row},     {"frame", clock.frame},           {"align", clock.align}};
}

Json RowJson(const PlayRow& row) {
  return {{"mode", row.mode}, {"modeName", PlayModeName(row.mode)}, {"start", row.start},
          {"end", row.end},   {"speedCode", row.speedCode},         {"delay", row.delay}};
}

// A panel that was cleared holds no picture: its files go too.
void RemovePictureFiles(const std::filesystem::path& folder) {
  for (const char* name : {"picture.bmp", "picture.png"}) {
    std::error_code error;
    std::filesystem::remove(folder / name, error);
    if (error) throw FileError((folder / name).string() + ": cannot be removed: " + error.message());
  }
}

}  // namespace

void WritePictureFiles(const PanelPicture& picture, const std::filesystem::path& folder) {
  if (IsWellFormed(picture)) WriteImageFiles(RenderPanelPicture(picture), folder, "picture");
}

void WriteParametersFile(const ParameterBlock& parameters, const std::filesystem::path& folder) {
  const PanelParameters p = DecodeParameters(parameters);
  Json rows = Json::array();
  for (const PlayRow& row : p.rows) rows.push_back(RowJson(row));
  WriteJson(folder / "parameters.json", {{"bytes", parameters},
                                         {"height", p.height},
                                         {"width", p.width},
                                         {"rowCount", p.rowCount},
                                         {"clock", ClockJson(p.clock)},
                                         {"rows", rows}});
}

void WriteClockFile(const PanelClock& clock, const std::filesystem::path& folder) {
  WriteJson(folder / "clock.json",
            {{"bytes", clock.bytes}, {"time", FormatLocalTime(clock.time)}, {"dayOfWeek", clock.time.dayOfWeek}});
}

void WriteSnapshotFiles(const PanelState& state, const std::filesystem::path& folder,
                        std::span<const std::int64_t> timesMs) {
  for (std::int64_t t : timesMs) WriteImageFiles(RenderPanelFrame(state, t), folder, "snapshot-" + std::to_string(t));
}

void WritePanelFiles(const PanelState& state, const std::filesystem::path& folder,
                     std::span<const std::int64_t> snapshotTimesMs) {
  if (state.picture) {
    WritePictureFiles(*state.picture, folder);
  } else {
    RemovePictureFiles(folder);
  }
  if (state.parameters) WriteParametersFile(*state.parameters, folder);
  if (state.clock) WriteClockFile(*state.clock, folder);
  WriteSnapshotFiles(state, folder, snapshotTimesMs);
}

}  // namespace lumetra::panel
