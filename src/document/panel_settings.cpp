#include "document/panel_settings.h"

#include <algorithm>

#include "platform/profile/settings_store.h"

namespace lumetra {
namespace {

constexpr std::string_view kWidth = "KELWidth";
constexpr std::string_view kHeight = "KELHeight";
constexpr std::string_view kFrames = "KELLines";
constexpr std::string_view kColourSet = "KELColorSet";

}  // namespace

bool IsValidGeometry(int widthWords, int heightWords, int frames) {
  return widthWords >= 1 && widthWords <= kMaxWidthWords && heightWords >= 1 && heightWords <= kMaxHeightWords &&
         frames >= 1 && frames <= kMaxFrames && frames * widthWords <= kMaxStripWords;
}

PanelSettings PanelSettings::Load(const SettingsStore& store) {
  PanelSettings defaults;
  PanelSettings s{store.GetProfileInt(SettingsStore::kSection, kWidth, defaults.widthWords),
                  store.GetProfileInt(SettingsStore::kSection, kHeight, defaults.heightWords),
                  store.GetProfileInt(SettingsStore::kSection, kFrames, defaults.frames),
                  store.GetProfileInt(SettingsStore::kSection, kColourSet, defaults.colourSet)};
  s.widthWords = std::clamp(s.widthWords, 1, kMaxWidthWords);
  s.heightWords = std::clamp(s.heightWords, 1, kMaxHeightWords);
  s.frames = std::clamp(s.frames, 1, kMaxStripWords / s.widthWords);
  s.colourSet = std::clamp(s.colourSet, 0, 2);
  return s;
}

void PanelSettings::Save(SettingsStore& store) const {
  store.WriteProfileInt(SettingsStore::kSection, kWidth, widthWords);
  store.WriteProfileInt(SettingsStore::kSection, kHeight, heightWords);
  store.WriteProfileInt(SettingsStore::kSection, kFrames, frames);
  store.WriteProfileInt(SettingsStore::kSection, kColourSet, colourSet);
}

const ColourSetColours& ColoursOf(int colourSet) {
  static const ColourSetColours kRedGreen{{0x00000000, 0x000000FF, 0x0000FF00, 0x0000FFFF}, 4, 0x000000FF};
  static const ColourSetColours kYellowBlue{{0x00000000, 0x0000FFFF, 0x00FF0000, 0x00FFFFFF}, 4, 0x0000FFFF};
  static const ColourSetColours kMonoRed{{0x00000000, 0x000000FF, 0, 0}, 2, 0x000000FF};
  switch (colourSet) {
    case kYellowAndBlue:
      return kYellowBlue;
    case kMono:
      return kMonoRed;
    default:
      return kRedGreen;
  }
}

}  // namespace lumetra
