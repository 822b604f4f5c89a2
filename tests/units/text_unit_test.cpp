// The text unit's own behaviour around its layout: copies, fonts, picking and drawing limits.

#include <gtest/gtest.h>

#include "platform/archive/archive.h"
#include "support/bundled_font.h"
#include "support/unit_bench.h"
#include "units/text.h"
#include "units/unit_classes.h"

namespace lumetra {
namespace {

TEST(TextUnit, APasteCopyTakesTheTextLayoutAndAFontOfItsOwn) {
  CText source;
  source.m_ptFirst = {5, 6};
  source.m_ptSecond = {50, 60};
  source.m_crPen = 0x00FF00;
  source.m_strText = "copy me";
  source.m_nBandHeight = 48;
  source.m_nRowSpacing = -7;
  source.m_bAutoAlign = 0;
  source.m_bWordBreak = 1;
  source.m_nReservedA = 3;
  source.m_nReservedB = 4;
  LOGFONT lf = source.Font().GetLogFont();
  lf.lfHeight = -20;
  source.SetFontIndirect(lf);

  CText copy(source);
  EXPECT_EQ(copy.m_ptSecond, source.m_ptSecond);
  EXPECT_EQ(copy.m_crPen, source.m_crPen);
  EXPECT_EQ(copy.m_strText, "copy me");
  EXPECT_EQ(copy.m_nBandHeight, 48);
  EXPECT_EQ(copy.m_nRowSpacing, -7);
  EXPECT_EQ(copy.m_bAutoAlign, 0);
  EXPECT_EQ(copy.m_bWordBreak, 1);
  EXPECT_EQ(copy.m_nReservedA, 3);
  EXPECT_EQ(copy.m_nReservedB, 4);
  EXPECT_EQ(copy.Font().GetLogFont(), lf);
  EXPECT_NE(&copy.Font(), &source.Font());
}

TEST(TextUnit, PickingKeepsThePointsAndCornersGrabAboutTheOppositeOne) {
  test::UnitBench bench;
  CText text;
  text.m_ptFirst = {60, 40};
  text.m_ptSecond = {10, 10};
  EXPECT_TRUE(text.PtInUnit(10, 10));
  EXPECT_FALSE(text.PtInUnit(60, 20));
  EXPECT_EQ(text.m_ptFirst, (CPoint{60, 40}));
  text.NormalizePoints();  // as the view does when a handle drag starts
  bench.GrabHandle(text, 58, 12);  // handle 2, the top-right corner
  EXPECT_EQ(bench.view.m_nHandle, 2);
  EXPECT_EQ(bench.view.m_nMode, kModeResize);
  EXPECT_EQ(text.m_ptFirst, (CPoint{10, 40}));
  EXPECT_EQ(text.m_ptSecond, (CPoint{58, 12}));
}

TEST(TextUnit, DrawsNothingWithoutTextAndNothingOutsideItsRectangle) {
  ASSERT_TRUE(test::UseBundledFont());
  test::UnitBench bench;
  CText text;
  text.m_crPen = 0xFFFFFF;
  text.m_ptFirst = {20, 20};
  text.m_ptSecond = {60, 30};
  text.Draw(bench.dc, {});
  EXPECT_TRUE(bench.CanvasIsBlack());

  text.m_strText = std::string(200, 'W') + "\r\nmore rows below the rectangle";
  text.Draw(bench.dc, {});
  EXPECT_FALSE(bench.CanvasIsBlack());
  for (int y = 0; y < bench.canvas.Height(); ++y) {
    for (int x = 0; x < bench.canvas.Width(); ++x) {
      if (x >= 20 && x < 60 && y >= 20 && y < 30) continue;
      ASSERT_EQ(bench.canvas.At(x, y) & 0xFFFFFF, 0u) << x << "," << y;
    }
  }
  // Drawing selects the unit's font only for itself.
  EXPECT_EQ(&bench.dc.CurrentFont(), &StockSystemFont());
}

// Loading gives texts one font object per distinct record; changing the font
// of one of them leaves the others as they were.
TEST(TextUnit, LoadedTextsShareTheirFontExactlyWhenTheRecordsAreEqual) {
  const LOGFONT arial = CText().Font().GetLogFont();
  struct Case {
    const char* name;
    void (*change)(LOGFONT&);
    bool shared;
  };
  const Case cases[] = {
      {"the same record", [](LOGFONT&) {}, true},
      {"another height", [](LOGFONT& lf) { lf.lfHeight = -20; }, false},
      {"another character set", [](LOGFONT& lf) { lf.lfCharSet = 134; }, false},
      {"a face that differs in case", [](LOGFONT& lf) { lf.SetFaceName("arial"); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LOGFONT second = arial;
    c.change(second);
    std::vector<std::unique_ptr<CText>> texts;
    for (const LOGFONT& lf : {arial, arial, second}) {
      texts.push_back(std::make_unique<CText>());
      texts.back()->SetFontIndirect(lf);
    }
    CArchive out(UnitClasses());
    WriteUnitArray(out, texts);
    const std::vector<std::uint8_t> bytes = out.Output().TakeBytes();
    CArchive in(bytes, UnitClasses());
    std::vector<UnitReadProblem> problems;
    const std::vector<std::unique_ptr<CUnit>> loaded = ReadUnitArray(in, problems);
    ASSERT_EQ(loaded.size(), 3u);
    auto& first = static_cast<CText&>(*loaded[0]);
    const auto& again = static_cast<const CText&>(*loaded[1]);
    const auto& other = static_cast<const CText&>(*loaded[2]);
    EXPECT_EQ(&first.Font(), &again.Font());
    EXPECT_EQ(&first.Font() == &other.Font(), c.shared);
    EXPECT_EQ(other.Font().GetLogFont(), second);

    LOGFONT bold = arial;
    bold.lfWeight = 700;
    first.SetFontIndirect(bold);
    EXPECT_EQ(first.Font().GetLogFont(), bold);
    EXPECT_EQ(again.Font().GetLogFont(), arial);
    EXPECT_EQ(other.Font().GetLogFont(), second);
  }
}

}  // namespace
}  // namespace lumetra
