#pragma once
// The panel the running program works for: width and height in words of 16
// LEDs, the number of frames and the colour set. New documents start with it;
// the screen-size command changes it together with the open document.

#include <array>

#include "platform/types.h"

namespace lumetra {

class SettingsStore;

struct PanelSettings {
  int widthWords = 8;
  int heightWords = 1;
  int frames = 10;
  int colourSet = 0;

  friend bool operator==(const PanelSettings&, const PanelSettings&) = default;

  // Section "Norvik Soft": "KELWidth", "KELHeight", "KELLines", "KELColorSet".
  // Values outside the panel's ranges are brought into them.
  static PanelSettings Load(const SettingsStore& store);
  // Throws FileError when the store cannot be written.
  void Save(SettingsStore& store) const;
};

inline constexpr int kWordPixels = 16;
inline constexpr int kMaxWidthWords = 64;
inline constexpr int kMaxHeightWords = 16;
inline constexpr int kMaxFrames = 512;
inline constexpr int kMaxStripWords = 512;  // frames x width

// Width 1-64 words, height 1-16 words, 1-512 frames and frames x width at most 512 words.
bool IsValidGeometry(int widthWords, int heightWords, int frames);

enum ColourSet : int { kRedAndGreen = 0, kYellowAndBlue = 1, kMono = 2 };

// The colours a colour set offers, black first; unused entries are black.
struct ColourSetColours {
  std::array<COLORREF, 4> colours;
  int count;
  COLORREF defaultColour;  // for pen and brush; the background starts black
};
const ColourSetColours& ColoursOf(int colourSet);

}  // namespace lumetra
