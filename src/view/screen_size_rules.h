#pragma once
// What the screen-size dialog accepts on OK: the panel's length and height in
// words and its number of frames, each in its range, and no more frames than
// the panel's strip can hold at that length. A refusal says which edit is at
// fault and what the user is told.

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "document/panel_settings.h"
#include "view/view_host.h"

namespace lumetra {

struct ValueRange {
  int min;
  int max;
};
inline constexpr ValueRange kLengthRange{1, kMaxWidthWords};
inline constexpr ValueRange kHeightRange{1, kMaxHeightWords};
inline constexpr ValueRange kFrameCountRange{1, kMaxFrames};

// An edit's text as a whole number in `range`: decimal digits, blanks around
// them allowed; nothing for any other text or a number outside the range.
std::optional<int> ParseInRange(std::string_view text, ValueRange range);

// The most frames a panel `widthWords` long can hold (512 / length, rounded down).
int MaxFramesForWidth(int widthWords);

enum class ScreenSizeField { kLength, kHeight, kFrames };

struct ScreenSizeRefusal {
  enum class Kind {
    kOutOfRange,     // a warning naming the range
    kTooManyFrames,  // an information box captioned kTooManyFramesCaption
  };
  Kind kind;
  ScreenSizeField field;  // the edit that takes the keyboard focus
  std::string message;
};
inline constexpr std::string_view kTooManyFramesCaption = "Info";

// The texts of the three edits as the user left them.
struct ScreenSizeTexts {
  std::string length;
  std::string height;
  std::string frames;
};

// Checks length, height and number of frames in that order, then the frames
// against the length. Accepted, `values` comes back with the three numbers;
// its colour set and origin pass through unchanged.
std::variant<ScreenSizeValues, ScreenSizeRefusal> CheckScreenSize(const ScreenSizeTexts& texts,
                                                                  ScreenSizeValues values);

}  // namespace lumetra
