#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/gdi/dc.h"

namespace lumetra {
namespace {

std::vector<CPoint> Lit(const Bitmap32& bmp) {
  std::vector<CPoint> lit;
  for (int y = 0; y < bmp.Height(); ++y) {
    for (int x = 0; x < bmp.Width(); ++x) {
      if (bmp.At(x, y) != 0) lit.push_back({x, y});
    }
  }
  return lit;
}

TEST(Rop2, EveryModeFollowsItsTruthTable) {
  const std::uint32_t p = 0x00F0F0F0u, d = 0x00CCCCCCu;
  const std::uint32_t expected[17] = {0,     0,        ~(p | d), ~p & d, ~p, p & ~d, ~d,    p ^ d,      ~(p & d),
                                      p & d, ~(p ^ d), d,        ~p | d, p,  p | ~d, p | d, 0xFFFFFFFFu};
  for (int rop = R2_BLACK; rop <= R2_WHITE; ++rop) EXPECT_EQ(MixFor(rop, p).Apply(d), expected[rop]) << rop;
}

TEST(Spans, SubtractAndIntersectWorkRowByRow) {
  SpanSet a = SpanSet::FromRect({0, 0, 10, 3});
  SpanSet hole;
  hole.Add(1, 3, 5);
  hole.Add(2, -4, 2);
  hole.Add(2, 8, 20);
  hole.Normalize();
  SpanSet rest = a.Subtract(hole);
  EXPECT_EQ(rest.Spans(), (std::vector<Span>{{0, 0, 10}, {1, 0, 3}, {1, 5, 10}, {2, 2, 8}}));
  SpanSet both = a.Intersect(hole);
  EXPECT_EQ(both.Spans(), (std::vector<Span>{{1, 3, 5}, {2, 0, 2}, {2, 8, 10}}));
  EXPECT_TRUE(rest.Contains(9, 1));
  EXPECT_FALSE(rest.Contains(4, 1));
}

TEST(Spans, SubtractKeepsExactlyThePixelsOutsideTheCutsOnRandomSets) {
  std::mt19937 rng(3);
  auto randomSet = [&] {
    SpanSet set;
    for (int i = 0; i < 12; ++i) {
      const int y = int(rng() % 6), x = int(rng() % 30);
      set.Add(y, x, x + 1 + int(rng() % 8));
    }
    set.Normalize();
    return set;
  };
  for (int round = 0; round < 300; ++round) {
    const SpanSet kept = randomSet(), cuts = randomSet(), rest = kept.Subtract(cuts);
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 40; ++x) {
        ASSERT_EQ(rest.Contains(x, y), kept.Contains(x, y) && !cuts.Contains(x, y)) << round << ": " << x << "," << y;
      }
    }
  }
}

TEST(DeviceContext, StartsInTheDefaultStateAndTheGuardRestoresIt) {
  Bitmap32 bmp(8, 8);
  CDC dc(bmp);
  EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
  EXPECT_EQ(dc.GetBkMode(), OPAQUE);
  EXPECT_EQ(dc.GetBkColor(), 0xFFFFFFu);
  EXPECT_EQ(dc.GetTextColor(), 0u);
  EXPECT_EQ(&dc.CurrentPen(), &StockBlackPen());
  EXPECT_EQ(&dc.CurrentBrush(), &StockWhiteBrush());
  CPen pen(PS_DOT, 1, 0xFF);
  {
    DCStateGuard guard(dc);
    dc.SelectObject(&pen);
    dc.SetROP2(R2_XORPEN);
    dc.SetBkMode(TRANSPARENT);
    dc.SetWindowOrg(3, 4);
    dc.SetClipRect(CRect{0, 0, 2, 2});
    dc.MoveTo(5, 5);
  }
  EXPECT_EQ(&dc.CurrentPen(), &StockBlackPen());
  EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
  EXPECT_EQ(dc.GetBkMode(), OPAQUE);
  EXPECT_EQ(dc.GetWindowOrg(), (CPoint{0, 0}));
  EXPECT_EQ(dc.GetCurrentPosition(), (CPoint{0, 0}));
  EXPECT_EQ(dc.DrawableBounds(), (CRect{0, 0, 8, 8}));
}

TEST(DeviceContext, SetPixelCombinesThroughTheRasterOperationButFillSolidRectDoesNot) {
  Bitmap32 bmp(4, 1, 0x0000FF);
  CDC dc(bmp);
  dc.SetROP2(R2_XORPEN);
  EXPECT_EQ(dc.SetPixel(0, 0, 0x0000FF), 0u);  // red XOR red
  EXPECT_EQ(dc.SetPixel(9, 0, 0x0000FF), CLR_INVALID);
  dc.FillSolidRect(1, 0, 2, 1, 0x00FF00);
  EXPECT_EQ(dc.GetPixel(1, 0), 0x00FF00u);
  EXPECT_EQ(dc.GetPixel(3, 0), 0x0000FFu);
  EXPECT_EQ(dc.GetBkColor(), 0x00FF00u);
}

TEST(Lines, BothDirectionsPaintTheSamePixelsBarTheirEnds) {
  for (CPoint d : {CPoint{7, 3}, CPoint{3, 7}, CPoint{-7, 3}, CPoint{5, -5}, CPoint{-6, -4}, CPoint{2, 1}}) {
    Bitmap32 forward(40, 40), backward(40, 40);
    CDC f(forward), b(backward);
    CPoint a{20, 20}, e = a + d;
    f.MoveTo(a.x, a.y);
    f.LineTo(e.x, e.y);
    f.SetPixel(e.x, e.y, 0);
    b.MoveTo(e.x, e.y);
    b.LineTo(a.x, a.y);
    b.SetPixel(a.x, a.y, 0);
    f.SetPixel(a.x, a.y, 0);
    EXPECT_EQ(Lit(forward), Lit(backward)) << d.x << "," << d.y;
  }
}

TEST(Lines, ClippingNeverShiftsTheDashes) {
  // The same dashed polylines and ellipses on a large bitmap and, moved by
  // the viewport origin, on a small one that sees a window of it: the window
  // must match.
  const std::uint32_t user[] = {2, 0, 3, 1, 0, 4};
  std::vector<CPen> pens;
  for (int style : {PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT}) pens.emplace_back(style, 1, 0x0000FF);
  pens.push_back(CPen::ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, 0x00FF00, user));
  pens.push_back(CPen::ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, 0x00FF00, {}));
  std::mt19937 rng(5);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 200; ++round) {
    std::vector<CPoint> path;
    for (int i = pick(2, 6); i > 0; --i) path.push_back({pick(-20, 120), pick(-20, 100)});
    const CPoint corner{pick(0, 60), pick(0, 50)}, centre{pick(0, 100), pick(0, 80)};
    const int rx = pick(2, 40), ry = pick(2, 40);
    Bitmap32 whole(100, 80), window(40, 30);
    CDC big(whole), small(window);
    small.SetViewportOrg(-corner.x, -corner.y);
    for (CDC* dc : {&big, &small}) {
      dc->SelectObject(&pens[std::size_t(round) % pens.size()]);
      dc->SetBkColor(0xFF0000);
      dc->Polyline(path);
      dc->SelectObject(&StockNullBrush());
      dc->Ellipse(centre.x - rx, centre.y - ry, centre.x + rx, centre.y + ry);
    }
    for (int y = 0; y < window.Height(); ++y) {
      for (int x = 0; x < window.Width(); ++x) {
        ASSERT_EQ(window.At(x, y), whole.At(corner.x + x, corner.y + y)) << "round " << round;
      }
    }
  }
}

TEST(Lines, HugeCoordinatesAreClippedWithoutWalkingTheWholeLine) {
  Bitmap32 bmp(16, 16);
  CDC dc(bmp);
  CPen pen(PS_SOLID, 1, 0xFFFFFF);
  dc.SelectObject(&pen);
  dc.MoveTo(-2'000'000'000, 8);
  dc.LineTo(2'000'000'000, 8);
  dc.MoveTo(-1'500'000'000, -1'500'000'000);
  dc.LineTo(1'500'000'000, 1'500'000'000);
  CPen wide(PS_SOLID, 5, 0xFFFFFF);
  dc.SelectObject(&wide);
  dc.MoveTo(-2'000'000'000, 3);
  dc.LineTo(2'000'000'000, 40);
  EXPECT_NE(bmp.At(0, 8), 0u);
  EXPECT_NE(bmp.At(15, 8), 0u);
  EXPECT_NE(bmp.At(5, 5), 0u);
}

TEST(Shapes, AnEmptyBoxDrawsNothingAndANullPenLeavesTheLastRowAndColumn) {
  Bitmap32 bmp(10, 10);
  CDC dc(bmp);
  CBrush brush = CBrush::Solid(0xFFFFFF);
  dc.SelectObject(&brush);
  dc.Rectangle(2, 2, 2, 8);
  EXPECT_TRUE(Lit(bmp).empty());
  dc.SelectObject(&StockNullPen());
  dc.Rectangle(0, 0, 4, 3);
  EXPECT_EQ(Lit(bmp), (std::vector<CPoint>{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}));
}

}  // namespace
}  // namespace lumetra
