#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <vector>

#include "gdiscript/scene_runner.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/wide_stroke.h"
#include "support/temp_folder.h"

namespace lumetra {
namespace {

using Runs = std::vector<std::uint32_t>;

constexpr std::uint32_t kRedPixel = 0xFF0000;  // COLORREF 0x0000FF on 32 bpp
constexpr std::uint32_t kWhitePixel = 0xFFFFFF;

CPen Geometric(std::uint32_t bits, int width) { return CPen::ExtCreatePen(PS_GEOMETRIC | bits, width, 0x0000FF, {}); }

TEST(ExtPenDashes, GeometricPatternsScaleWithWidthAndMakeRoomForCaps) {
  EXPECT_EQ(Geometric(PS_DASH | PS_ENDCAP_FLAT, 4).DashRuns(), (Runs{12, 4}));
  EXPECT_EQ(Geometric(PS_DASHDOT | PS_ENDCAP_FLAT, 2).DashRuns(), (Runs{6, 2, 2, 2}));
  // Round and square caps add w/2 at each end of every dash.
  EXPECT_EQ(Geometric(PS_DASH | PS_ENDCAP_SQUARE, 4).DashRuns(), (Runs{8, 8}));
  EXPECT_EQ(Geometric(PS_DOT | PS_ENDCAP_ROUND, 5).DashRuns(), (Runs{0, 10}));
  EXPECT_TRUE(Geometric(PS_SOLID, 9).DashRuns().empty());
}

TEST(ExtPenDashes, UserEntriesAreKeptUpToSixteenAndOddCountsRepeatInverted) {
  const std::uint32_t many[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
  EXPECT_EQ(CPen::ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 3, 0, many).UserDashes().size(), 16u);
  const std::uint32_t odd[] = {7, 2, 1};
  EXPECT_EQ(CPen::ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 3, 0, odd).DashRuns(), (Runs{7, 2, 1, 7, 2, 1}));
  // Cosmetic entries count three pixels each.
  const std::uint32_t pair[] = {2, 1};
  EXPECT_EQ(CPen::ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, 0, pair).DashRuns(), (Runs{6, 3}));
  EXPECT_EQ(CPen::ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, 0, {}).DashRuns(), (Runs{1, 1}));
}

TEST(ExtPenDashes, CreatePenPensKeepTheirOldMeaning) {
  CPen wideDash(PS_DASH, 5, 0);
  EXPECT_TRUE(wideDash.DashRuns().empty());  // wide cosmetic pens are solid
  EXPECT_EQ(CPen(PS_DASHDOT, 1, 0).DashRuns(), (Runs{9, 6, 3, 6}));
  EXPECT_FALSE(wideDash.IsExtended());
  EXPECT_EQ(wideDash.EndCap(), PS_ENDCAP_ROUND);
  EXPECT_EQ(wideDash.Join(), PS_JOIN_ROUND);
  // The style value 8 means nothing to CreatePen.
  EXPECT_TRUE(CPen(PS_ALTERNATE, 1, 0).DashRuns().empty());
  EXPECT_TRUE(CPen::ExtCreatePen(PS_GEOMETRIC | PS_NULL, 4, 0, {}).IsNull());
}

const CRect kLimit{0, 0, 100, 100};

TEST(ExtPenCaps, AxisAlignedFlatAndSquareCapsEndAtOrHalfAWidthPastThePoints) {
  const CPoint line[] = {{30, 20}, {10, 20}};
  SpanSet flat = WideStrokeSpans(line, false, Geometric(PS_ENDCAP_FLAT, 6), kLimit);
  EXPECT_EQ(flat.Bounds(), (CRect{10, 17, 30, 23}));
  SpanSet square = WideStrokeSpans(line, false, Geometric(PS_ENDCAP_SQUARE, 6), kLimit);
  EXPECT_EQ(square.Bounds(), (CRect{7, 17, 33, 23}));
  // A round cap is the pen's disc on each end point.
  SpanSet round = WideStrokeSpans(line, false, Geometric(PS_ENDCAP_ROUND, 6), kLimit);
  EXPECT_TRUE(round.Contains(32, 20));
  EXPECT_FALSE(round.Contains(33, 20));
}

TEST(ExtPenCaps, OnlyTheOpenEndsOfAPathGetCaps) {
  const CPoint path[] = {{10, 10}, {40, 10}, {40, 40}};
  SpanSet square = WideStrokeSpans(path, false, Geometric(PS_ENDCAP_SQUARE | PS_JOIN_ROUND, 4), kLimit);
  EXPECT_TRUE(square.Contains(8, 10));
  EXPECT_TRUE(square.Contains(40, 41));
  EXPECT_FALSE(square.Contains(42, 8));  // the corner is the round join, not a cap
  // A lone point with flat caps draws nothing.
  const CPoint dot[] = {{50, 50}};
  EXPECT_TRUE(WideStrokeSpans(dot, false, Geometric(PS_ENDCAP_FLAT, 5), kLimit).Empty());
}

TEST(ExtPenDashes, GeometricDashesLeaveGapsAlongTheLine) {
  const CPoint line[] = {{0, 50}, {60, 50}};
  SpanSet dashed = WideStrokeSpans(line, false, Geometric(PS_DASH | PS_ENDCAP_FLAT, 5), kLimit);
  // Dashes of 15 with gaps of 5.
  EXPECT_TRUE(dashed.Contains(0, 50));
  EXPECT_TRUE(dashed.Contains(14, 50));
  EXPECT_FALSE(dashed.Contains(15, 50));
  EXPECT_FALSE(dashed.Contains(19, 50));
  EXPECT_TRUE(dashed.Contains(20, 50));
}

TEST(ExtPenDashes, ADashRunsOnAroundACornerWithItsJoin) {
  // Dashes of 12, gaps of 4: the first covers 8 pixels along the top and 4 down the side.
  const CPoint corner[] = {{10, 10}, {18, 10}, {18, 40}};
  SpanSet dashed = WideStrokeSpans(corner, false, Geometric(PS_DASH | PS_ENDCAP_FLAT | PS_JOIN_ROUND, 4), kLimit);
  EXPECT_TRUE(dashed.Contains(18, 9));  // only the round join reaches here
  EXPECT_TRUE(dashed.Contains(18, 13));
  EXPECT_FALSE(dashed.Contains(18, 15));  // the gap
  EXPECT_TRUE(dashed.Contains(18, 18));
}

TEST(ExtPenDashes, HugeLinesOnlyWorkNearTheDrawableArea) {
  const CPoint line[] = {{-1000000001, 50}, {1000000001, 50}};
  SpanSet dashed = WideStrokeSpans(line, false, Geometric(PS_DOT | PS_ENDCAP_FLAT, 3), kLimit);
  ASSERT_FALSE(dashed.Empty());
  EXPECT_EQ(dashed.Bounds().top, 49);
  int lit = 0;
  for (int x = 0; x < 100; ++x) lit += dashed.Contains(x, 50);
  EXPECT_GE(lit, 48);
  EXPECT_LE(lit, 51);
}

TEST(ExtPenGeometric, OnePixelPensStepLikeCosmeticOnesButCoverTheEndPoint) {
  Bitmap32 bitmap(40, 40, 0xFFFFFF);
  CDC dc(bitmap);
  CPen geometric = Geometric(PS_ENDCAP_FLAT, 1);
  dc.SelectObject(&geometric);
  const CPoint path[] = {{2, 2}, {32, 12}};
  dc.Polyline(path);
  CPen cosmetic(PS_SOLID, 1, 0x0000FF);
  dc.SelectObject(&cosmetic);
  const CPoint below[] = {{2, 22}, {32, 32}};
  dc.Polyline(below);
  for (int x = 2; x < 32; ++x) {
    for (int y = 2; y <= 12; ++y) EXPECT_EQ(bitmap.At(x, y), bitmap.At(x, y + 20)) << x << "," << y;
  }
  EXPECT_EQ(bitmap.At(32, 12), kRedPixel);
  EXPECT_EQ(bitmap.At(32, 32), kWhitePixel);
}

TEST(ExtPenCosmetic, AlternateAndUserStylesLeaveGapsAloneEvenWhenOpaque) {
  Bitmap32 bitmap(20, 3, 0xFFFFFF);
  CDC dc(bitmap);
  dc.SetBkMode(OPAQUE);
  dc.SetBkColor(0x000000);
  CPen alternate = CPen::ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, 0x0000FF, {});
  dc.SelectObject(&alternate);
  dc.MoveTo(0, 0);
  dc.LineTo(10, 0);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(bitmap.At(x, 0), x % 2 == 0 ? kRedPixel : kWhitePixel) << x;

  const std::uint32_t entries[] = {1, 2};
  CPen user = CPen::ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, 0x0000FF, entries);
  dc.SelectObject(&user);
  dc.MoveTo(0, 2);
  dc.LineTo(20, 2);
  for (int x = 0; x < 20; ++x) EXPECT_EQ(bitmap.At(x, 2), x % 9 < 3 ? kRedPixel : kWhitePixel) << x;
}

TEST(ExtPenScript, ExtpenAndFontlistCommands) {
  test::TempFolder out("extpen-script");
  std::ostringstream queries, diagnostics;
  SceneRunner runner(out.path(), queries, diagnostics);
  runner.RunLine("scene extpen_script_check 4 4", 1);
  runner.RunLine("extpen 00012200 3 0000FF", 2);
  runner.RunLine("extpen 00010007 3 0000FF 2 4 2", 3);
  EXPECT_FALSE(runner.HadErrors()) << diagnostics.str();
  runner.RunLine("fontlist", 4);
  std::istringstream lines(queries.str());
  for (std::string line; std::getline(lines, line);) {
    EXPECT_EQ(line.rfind("extpen_script_check fontlist truetype 0 ", 0), 0u) << line;
  }
  // Cosmetic pens are one pixel wide, and dashes belong to user styles only.
  runner.RunLine("extpen 00000000 3 0000FF", 5);
  EXPECT_TRUE(runner.HadErrors());
  std::ostringstream q2, d2;
  SceneRunner second(out.path(), q2, d2);
  second.RunLine("scene extpen_script_check 4 4", 1);
  second.RunLine("extpen 00010001 3 0000FF 2 4 2", 2);
  EXPECT_TRUE(second.HadErrors());
  second.RunLine("end", 3);
  runner.RunLine("end", 6);
}

}  // namespace
}  // namespace lumetra
