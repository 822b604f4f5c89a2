#pragma once
// What the virtual panel holds, written into a folder for people and tests
// to look at: each file replaced atomically, so a reader never sees half of
// one. Every writer throws FileError naming the file it could not write.
//
//   picture.bmp, picture.png    the last picture, all frames side by side, in
//                               the panel colours (24-bit BMP, RGB PNG)
//   parameters.json             {"bytes": [25], and the fields decoded}
//   clock.json                  {"bytes": [8], "time": "YYYY-MM-DD HH:MM:SS", "dayOfWeek": 0..6}
//   snapshot-T.bmp, .png        what the LEDs show T ms into playback

#include <cstdint>
#include <filesystem>
#include <span>

#include "render/panel_state.h"

namespace lumetra::panel {

// Writes nothing for a picture that is not well formed (see IsWellFormed).
void WritePictureFiles(const PanelPicture& picture, const std::filesystem::path& folder);
void WriteParametersFile(const ParameterBlock& parameters, const std::filesystem::path& folder);
void WriteClockFile(const PanelClock& clock, const std::filesystem::path& folder);
void WriteSnapshotFiles(const PanelState& state, const std::filesystem::path& folder,
                        std::span<const std::int64_t> timesMs);

// The files of every part of the state that is present, and the snapshots;
// without a picture, the picture files are removed.
void WritePanelFiles(const PanelState& state, const std::filesystem::path& folder,
                     std::span<const std::int64_t> snapshotTimesMs = {});

}  // namespace lumetra::panel
