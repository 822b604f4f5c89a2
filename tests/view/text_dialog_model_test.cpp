// The Text properties dialog without widgets: number checks, fonts as the
// chooser gives them, the text across the code page, and what Apply copies.

#include "view/text_dialog_model.h"

#include <gtest/gtest.h>

#include <string>

#include "lang/message_text.h"
#include "platform/text_fields.h"
#include "support/scoped_language.h"
#include "units/text.h"

namespace lumetra {
namespace {

constexpr const char* kGbk = "GBK";
// "中文" and "第二行" in GBK.
const std::string kChineseGbk = "\xD6\xD0\xCE\xC4";
const std::string kSecondRowGbk = "\xB5\xDA\xB6\xFE\xD0\xD0";

TEST(NumberEdit, AcceptsIntegersInsideTheRangeWithBlanksAndSigns) {
  EXPECT_EQ(ParseIntegerInRange("1", 1, 64), 1);
  EXPECT_EQ(ParseIntegerInRange("64", 1, 64), 64);
  EXPECT_EQ(ParseIntegerInRange("  +7\t", 1, 64), 7);
  EXPECT_EQ(ParseIntegerInRange("-100", -100, 100), -100);
  EXPECT_EQ(ParseIntegerInRange("0", 0, 100), 0);
}

TEST(NumberEdit, RefusesValuesOutsideTheRangeAndAnythingButAnInteger) {
  for (const char* text : {"0", "65", "-1", "", " ", "-", "1.5", "12a", "a12", "--1", "1 2", "99999999999999999999"}) {
    EXPECT_EQ(ParseIntegerInRange(text, 1, 64), std::nullopt) << '"' << text << '"';
  }
  EXPECT_EQ(ParseIntegerInRange("2147483648", INT32_MIN, INT32_MAX), std::nullopt);
  const test::ScopedLanguage english;
  EXPECT_EQ(RangeWarning(-100, 100), "Please enter an integer between -100 and 100.");
}

TEST(ChosenFont, BecomesTheRecordThePlatformChooserWrites) {
  FontChoice choice;
  choice.face = "Arial";
  choice.pointSize = 12;
  choice.weight = 700;
  choice.italic = choice.underline = choice.strikeOut = true;
  const LOGFONT lf = LogFontFromChoice(choice, kGbk);
  EXPECT_EQ(lf.FaceName(), "Arial");
  EXPECT_EQ(lf.lfHeight, -16);
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(lf.lfUnderline, 1);
  EXPECT_EQ(lf.lfStrikeOut, 1);
  EXPECT_EQ(lf.lfCharSet, kAnsiCharset);
  EXPECT_EQ(lf.lfPitchAndFamily, kVariablePitch);
  EXPECT_EQ(lf.lfOutPrecision, kOutStrokePrecis);
  EXPECT_EQ(lf.lfClipPrecision, kClipStrokePrecis);
  EXPECT_EQ(lf.lfQuality, kDraftQuality);
  EXPECT_EQ(lf.lfWidth, 0);
  EXPECT_EQ(lf.lfEscapement, 0);
  EXPECT_EQ(lf.lfOrientation, 0);
}

TEST(ChosenFont, HeightIsTheRoundedPixelHeightAtScreenResolution) {
  FontChoice choice;
  for (auto [points, height] : {std::pair{10.0, -13}, {11.0, -15}, {9.0, -12}, {10.5, -14}, {72.0, -96}}) {
    choice.pointSize = points;
    EXPECT_EQ(LogFontFromChoice(choice, kGbk).lfHeight, height) << points;
  }
  choice.pointSize = 0;
  EXPECT_EQ(LogFontFromChoice(choice, kGbk).lfHeight, 0);
}

TEST(ChosenFont, ChineseFaceKeepsItsNameInTheCodePageAndItsCharset) {
  FontChoice choice;
  choice.face = "宋体";
  choice.chinese = true;
  choice.fixedPitch = true;
  const LOGFONT lf = LogFontFromChoice(choice, kGbk);
  EXPECT_EQ(lf.FaceName(), "\xCB\xCE\xCC\xE5");
  EXPECT_EQ(lf.lfCharSet, kGb2312Charset);
  EXPECT_EQ(lf.lfPitchAndFamily, kFixedPitch);
  EXPECT_EQ(ChoiceFromLogFont(lf, kGbk).face, "宋体");

  // A face the code page cannot hold stays as it was rather than turning into '?'.
  choice.face = "맑은 고딕";
  EXPECT_EQ(LogFontFromChoice(choice, kGbk).FaceName(), "맑은 고딕");
  EXPECT_EQ(ChoiceFromLogFont(LogFontFromChoice(choice, kGbk), kGbk).face, "맑은 고딕");
}

TEST(ChosenFont, RecordsReadBackAsTheChoiceThatMakesThem) {
  LOGFONT lf;
  lf.SetFaceName("Courier New");
  lf.lfHeight = -13;
  lf.lfWeight = 600;
  lf.lfUnderline = 1;
  lf.lfPitchAndFamily = kFixedPitch | 0x30;
  const FontChoice choice = ChoiceFromLogFont(lf, kGbk);
  EXPECT_EQ(choice.face, "Courier New");
  EXPECT_DOUBLE_EQ(choice.pointSize, 9.75);
  EXPECT_EQ(choice.weight, 600);
  EXPECT_TRUE(choice.underline);
  EXPECT_FALSE(choice.italic);
  EXPECT_TRUE(choice.fixedPitch);
  EXPECT_EQ(LogFontFromChoice(choice, kGbk).lfHeight, -13);

  // A cell height counts as the size; "don't care" shows as normal weight.
  lf.lfHeight = 16;
  lf.lfWeight = 0;
  EXPECT_DOUBLE_EQ(ChoiceFromLogFont(lf, kGbk).pointSize, 12.0);
  EXPECT_EQ(ChoiceFromLogFont(lf, kGbk).weight, 400);
}

TEST(UnitText, ShowsInTheTextBoxWithOneLineBreakPerLineEnd) {
  EXPECT_EQ(UnitTextToUtf8(kChineseGbk + "\r\n" + kSecondRowGbk, kGbk), "中文\n第二行");
  EXPECT_EQ(UnitTextToUtf8("A\r\n\r\nB", kGbk), "A\n\nB");
  EXPECT_EQ(UnitTextToUtf8("A\rB\nC\r", kGbk), "A\nB\nC\n");
}

TEST(UnitText, FindsEachCharacterTheCodePageCannotHoldOnce) {
  EXPECT_TRUE(UnencodableCharacters("中文 ABC ?\n", kGbk).empty());
  EXPECT_EQ(UnencodableCharacters("한中😀한", kGbk), (std::vector<std::string>{"한", "😀"}));
  EXPECT_EQ(UnencodableCharacters("中", "ISO-8859-1"), (std::vector<std::string>{"中"}));
}

class TextDialogModelTest : public ::testing::Test {
 protected:
  TextDialogModelTest() {
    unit.m_strText = kChineseGbk + "\r\n" + kSecondRowGbk;
    unit.m_nRowSpacing = 5;
    unit.m_bWordBreak = 1;
    unit.m_bAutoAlign = 0;
    LOGFONT lf;
    lf.SetFaceName("Times New Roman");
    lf.lfHeight = -20;
    unit.SetFontIndirect(lf);
  }

  CText unit;
};

TEST_F(TextDialogModelTest, ApplyCopiesTextInTheCodePageFontSpacingAndSwitches) {
  TextDialogModel model(unit, false, kGbk);
  LOGFONT chosen;
  chosen.SetFaceName("Arial");
  chosen.lfHeight = -16;
  model.TakeChosenFont(chosen, false);
  EXPECT_NE(unit.Font().GetLogFont(), chosen);  // not before Apply

  ASSERT_TRUE(model.Apply({"第二行\n中文", " -100 ", false, true}).Applied());
  EXPECT_EQ(unit.m_strText, kSecondRowGbk + "\r\n" + kChineseGbk);
  EXPECT_EQ(unit.m_nRowSpacing, -100);
  EXPECT_EQ(unit.m_bWordBreak, 0);
  EXPECT_EQ(unit.m_bAutoAlign, 1);
  EXPECT_EQ(unit.Font().GetLogFont(), chosen);
}

TEST_F(TextDialogModelTest, UntouchedTextKeepsBytesTheCodePageCannotDecode) {
  unit.m_strText = "A\xFF\xFF-\r\r\n";
  TextDialogModel model(unit, false, kGbk);
  TextDialogInput input = model.InitialInput();
  input.rowSpacing = "2";
  ASSERT_TRUE(model.Apply(input).Applied());
  EXPECT_EQ(unit.m_strText, "A\xFF\xFF-\r\r\n");
  EXPECT_EQ(unit.m_nRowSpacing, 2);

  // Once edited, the replacement characters are the user's to remove.
  input.text += "C";
  EXPECT_EQ(model.Apply(input).failure, TextApplyFailure::kUnencodable);
}

TEST_F(TextDialogModelTest, AlignmentAndLetterSpacingChangeOnlyWhenChanged) {
  unit.m_nReservedA = 21;  // values the dialog cannot show stay while untouched
  unit.m_nReservedB = 40;
  TextDialogModel model(unit, false, kGbk);
  TextDialogInput input = model.InitialInput();
  EXPECT_EQ(input.alignment, CText::kAlignLeft);
  EXPECT_EQ(input.letterSpacing, CText::kMaxLetterSpacing);
  ASSERT_TRUE(model.Apply(input).Applied());
  EXPECT_EQ(unit.m_nReservedA, 21);
  EXPECT_EQ(unit.m_nReservedB, 40);
  input.alignment = CText::kAlignRight;
  input.letterSpacing = -2;
  ASSERT_TRUE(model.Apply(input).Applied());
  EXPECT_EQ(unit.m_nReservedA, CText::kAlignRight);
  EXPECT_EQ(unit.m_nReservedB, -2);
}

TEST_F(TextDialogModelTest, SpinStepsFromTheTypedSpacingWithinItsRange) {
  TextDialogModel model(unit, false, kGbk);
  EXPECT_EQ(model.SteppedRowSpacing("0", -1), -1);
  EXPECT_EQ(model.SteppedRowSpacing("100", +1), 100);
  EXPECT_EQ(model.SteppedRowSpacing("-100", -1), -100);
  EXPECT_EQ(model.SteppedRowSpacing("junk", +1), 6);  // from the unit's spacing
  unit.m_nRowSpacing = INT32_MAX;
  EXPECT_EQ(model.SteppedRowSpacing("", +1), 100);
}

}  // namespace
}  // namespace lumetra
