// The screen-size dialog's checks on OK: each edit in its range, then no more
// frames than 512 words of strip allow at the chosen length.

#include "view/screen_size_rules.h"

#include <gtest/gtest.h>

#include <variant>

#include "document/panel_settings.h"
#include "support/scoped_language.h"

namespace lumetra {
namespace {

using Kind = ScreenSizeRefusal::Kind;

constexpr ScreenSizeValues kStart{8, 1, 10, kYellowAndBlue, false};

ScreenSizeRefusal Refused(const ScreenSizeTexts& texts) {
  const auto result = CheckScreenSize(texts, kStart);
  const auto* refusal = std::get_if<ScreenSizeRefusal>(&result);
  EXPECT_NE(refusal, nullptr);
  return refusal ? *refusal : ScreenSizeRefusal{};
}

ScreenSizeValues Accepted(const ScreenSizeTexts& texts) {
  const auto result = CheckScreenSize(texts, kStart);
  const auto* values = std::get_if<ScreenSizeValues>(&result);
  EXPECT_NE(values, nullptr);
  return values ? *values : ScreenSizeValues{};
}

TEST(ScreenSizeNumbers, TakeDigitsWithBlanksAroundThemInsideTheRange) {
  const ValueRange range{1, 64};
  EXPECT_EQ(ParseInRange("12", range), 12);
  EXPECT_EQ(ParseInRange("  7\t", range), 7);
  EXPECT_EQ(ParseInRange("007", range), 7);
  EXPECT_EQ(ParseInRange("1", range), 1);
  EXPECT_EQ(ParseInRange("64", range), 64);
  for (const char* refused : {"", "  ", "0", "65", "-1", "+3", "1a", "1 2", "3.0", "0x10", "99999999999999999999"}) {
    EXPECT_EQ(ParseInRange(refused, range), std::nullopt) << '"' << refused << '"';
  }
}

TEST(ScreenSizeNumbers, MaximumFramesIsTheStripDividedByTheLengthRoundedDown) {
  EXPECT_EQ(MaxFramesForWidth(1), 512);
  EXPECT_EQ(MaxFramesForWidth(3), 170);
  EXPECT_EQ(MaxFramesForWidth(8), 64);
  EXPECT_EQ(MaxFramesForWidth(64), 8);
}

TEST(ScreenSizeCheck, AcceptedValuesTakeTheNumbersAndKeepColourSetAndOrigin) {
  const ScreenSizeValues values = Accepted({"16", " 4 ", "32"});
  EXPECT_EQ(values.widthWords, 16);
  EXPECT_EQ(values.heightWords, 4);
  EXPECT_EQ(values.frames, 32);
  EXPECT_EQ(values.colourSet, kYellowAndBlue);
  EXPECT_FALSE(values.fromDocument);
}

TEST(ScreenSizeCheck, EachEditOutsideItsRangeIsRefusedWithItsRange) {
  const test::ScopedLanguage english;
  struct Case {
    ScreenSizeTexts texts;
    ScreenSizeField field;
    const char* message;
  };
  const Case cases[] = {
      {{"65", "1", "1"}, ScreenSizeField::kLength, "Please enter an integer between 1 and 64."},
      {{"0", "1", "1"}, ScreenSizeField::kLength, "Please enter an integer between 1 and 64."},
      {{"8", "17", "1"}, ScreenSizeField::kHeight, "Please enter an integer between 1 and 16."},
      {{"8", "", "1"}, ScreenSizeField::kHeight, "Please enter an integer between 1 and 16."},
      {{"1", "1", "513"}, ScreenSizeField::kFrames, "Please enter an integer between 1 and 512."},
      {{"1", "1", "ten"}, ScreenSizeField::kFrames, "Please enter an integer between 1 and 512."},
  };
  for (const Case& c : cases) {
    const ScreenSizeRefusal refusal = Refused(c.texts);
    EXPECT_EQ(refusal.kind, Kind::kOutOfRange) << c.message;
    EXPECT_EQ(refusal.field, c.field) << c.message;
    EXPECT_EQ(refusal.message, c.message);
  }
}

TEST(ScreenSizeCheck, TheFirstFaultyEditInOrderLengthHeightFramesIsNamed) {
  EXPECT_EQ(Refused({"99", "99", "x"}).field, ScreenSizeField::kLength);
  EXPECT_EQ(Refused({"8", "99", "x"}).field, ScreenSizeField::kHeight);
  // A range fault comes before the frames-for-length check.
  EXPECT_EQ(Refused({"64", "0", "9"}).kind, Kind::kOutOfRange);
}

TEST(ScreenSizeCheck, TooManyFramesForTheLengthNamesTheMaximum) {
  EXPECT_EQ(Accepted({"8", "1", "64"}).frames, 64);
  const ScreenSizeRefusal refusal = Refused({"8", "1", "65"});
  EXPECT_EQ(refusal.kind, Kind::kTooManyFrames);
  EXPECT_EQ(refusal.field, ScreenSizeField::kFrames);
  EXPECT_EQ(refusal.message, "The maximum number of screen is 64 !");
  EXPECT_EQ(Refused({"3", "1", "171"}).message, "The maximum number of screen is 170 !");
  EXPECT_EQ(Refused({"64", "16", "9"}).message, "The maximum number of screen is 8 !");
  EXPECT_EQ(Accepted({"1", "1", "512"}).frames, 512);
}

// Whatever the check accepts is a panel the document can hold, and the
// largest such panel of every length is accepted.
TEST(ScreenSizeCheck, AgreesWithTheDocumentsGeometryAtEveryLength) {
  for (int width = 1; width <= kMaxWidthWords; ++width) {
    const int most = MaxFramesForWidth(width);
    for (int frames : {most, most + 1}) {
      const auto result = CheckScreenSize({std::to_string(width), "16", std::to_string(frames)}, kStart);
      EXPECT_EQ(std::holds_alternative<ScreenSizeValues>(result), IsValidGeometry(width, 16, frames))
          << width << " x " << frames;
    }
  }
}

}  // namespace
}  // namespace lumetra
