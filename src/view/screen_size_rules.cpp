#include "view/screen_size_rules.h"

#include <algorithm>
#include <charconv>

#include "lang/message_text.h"
#include "platform/text_fields.h"

namespace lumetra {
namespace {

ScreenSizeRefusal OutOfRange(ScreenSizeField field, ValueRange range) {
  return {ScreenSizeRefusal::Kind::kOutOfRange, field, RangeWarning(range.min, range.max)};
}

ScreenSizeRefusal TooManyFrames(int widthWords) {
  return {ScreenSizeRefusal::Kind::kTooManyFrames, ScreenSizeField::kFrames,
          "The maximum number of screen is " + std::to_string(MaxFramesForWidth(widthWords)) + " !"};
}

}  // namespace

std::optional<int> ParseInRange(std::string_view text, ValueRange range) {
  return ParseIntegerInRange(text, range.min, range.max, NumberSign::kRefused);
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
