#include "view/screen_size_rules.h"

#include <algorithm>
#include <charconv>

#include "lang/message_text.h"

namespace lumetra {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

ScreenSizeRefusal OutOfRange(ScreenSizeField field, ValueRange range) {
  return {ScreenSizeRefusal::Kind::kOutOfRange, field, RangeWarning(range.min, range.max)};
}

ScreenSizeRefusal TooManyFrames(int widthWords) {
  return {ScreenSizeRefusal::Kind::kTooManyFrames, ScreenSizeField::kFrames,
          "The maximum number of screen is " + std::to_string(MaxFramesForWidth(widthWords)) + " !"};
}

}  // namespace

std::optional<int> ParseInRange(std::string_view text, ValueRange range) {
  const std::string_view digits = Trimmed(text);
  if (!AllDigits(digits)) return std::nullopt;
  int value = 0;
  // Digits only, so the one possible failure is a number too large for int.
  if (std::from_chars(digits.data(), digits.data() + digits.size(), value).ec != std::errc()) return std::nullopt;
  if (value < range.min || value > range.max) return std::nullopt;
  return value;
}

int MaxFramesForWidth(int widthWords) { return kMaxStripWords / widthWords; }

std::variant<ScreenSizeValues, ScreenSizeRefusal> CheckScreenSize(const ScreenSizeTexts& texts,
                                                                  ScreenSizeValues values) {
  const struct {
    const std::string& text;
    ValueRange range;
    ScreenSizeField field;
    std::int32_t& value;
  } edits[] = {
      {texts.length, kLengthRange, ScreenSizeField::kLength, values.widthWords},
      {texts.height, kHeightRange, ScreenSizeField::kHeight, values.heightWords},
      {texts.frames, kFrameCountRange, ScreenSizeField::kFrames, values.frames},
  };
  for (const auto& edit : edits) {
    const std::optional<int> number = ParseInRange(edit.text, edit.range);
    if (!number) return OutOfRange(edit.field, edit.range);
    edit.value = *number;
  }
  if (values.frames > MaxFramesForWidth(values.widthWords)) return TooManyFrames(values.widthWords);
  return values;
}

}  // namespace lumetra
