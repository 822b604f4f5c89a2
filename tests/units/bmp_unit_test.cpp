// The bitmap unit: its picture stretched to the unit's box, corner handles,
// grabs and drags.

#include <gtest/gtest.h>

#include <memory>

#include "platform/archive/byte_stream.h"
#include "support/bmp_builder.h"
#include "support/unit_bench.h"
#include "units/bmp.h"

namespace lumetra {
namespace {

constexpr std::uint32_t kCyan = 0x00FFFF;  // the handle colour as a pixel

// A 3 x 2 picture of six different colours.
std::unique_ptr<CBmp> MakeUnit(CPoint first, CPoint second) {
  auto unit = std::make_unique<CBmp>();
  std::vector<std::uint8_t> bytes = test::MakeBmp({.width = 3, .height = 2, .pixelBytes = 24});
  ByteReader in(bytes);
  EXPECT_TRUE(unit->m_dib.ReadBmp(in));
  unit->m_ptFirst = first;
  unit->m_ptSecond = second;
  return unit;
}

Bitmap32 Stretched(const CDib& dib, int x, int y, int w, int h) {
  test::UnitBench bench;
  dib.DrawStretched(bench.dc, x, y, w, h);
  return bench.canvas;
}

TEST(BmpUnit, DrawsThePictureStretchedToTheNormalisedBoxWhereTheOriginPutsIt) {
  auto unit = MakeUnit({40, 30}, {10, 20});
  test::UnitBench bench;
  unit->DrawShape(bench.dc, 0, 0);
  EXPECT_EQ(bench.canvas.Pixels(), Stretched(unit->m_dib, 10, 20, 30, 10).Pixels());
  EXPECT_EQ(unit->m_ptFirst, (CPoint{40, 30}));
  EXPECT_TRUE(unit->m_dib.Palette().empty());  // drawing leaves the picture as it was read

  // Like every other unit, and the DC's origin stays for the units drawn after it.
  test::UnitBench shifted;
  shifted.dc.SetWindowOrg(5, 3);
  unit->Draw(shifted.dc, {});
  EXPECT_EQ(shifted.dc.GetWindowOrg(), (CPoint{5, 3}));
  EXPECT_EQ(shifted.canvas.Pixels(), Stretched(unit->m_dib, 5, 17, 30, 10).Pixels());
}

TEST(BmpUnit, CornerHandlesAreDrawnWithoutAFrameAndHitFromASquareAroundTheMouse) {
  auto unit = MakeUnit({20, 20}, {60, 50});
  test::UnitBench bench;
  unit->DrawHandles(bench.dc);
  for (CPoint c : {CPoint{20, 20}, CPoint{60, 20}, CPoint{60, 50}, CPoint{20, 50}}) {
    EXPECT_EQ(bench.canvas.At(c.x - 3, c.y - 3), kCyan);
  }
  EXPECT_EQ(bench.canvas.At(40, 20), 0u);

  EXPECT_EQ(unit->HitHandle(70, 30), 2);  // 10 right of and 10 below (60, 20)
  EXPECT_EQ(unit->m_ptHandle, (CPoint{60, 20}));
  EXPECT_EQ(unit->HitHandle(50, 40), 0);  // 10 left of and above (60, 50)
  EXPECT_EQ(unit->HitHandle(51, 41), 3);
  EXPECT_EQ(unit->HitHandle(29, 59), 4);

  // The box is [left, right) x [top, bottom) however its points lie; they stay as they are.
  auto reversed = MakeUnit({60, 50}, {20, 20});
  EXPECT_TRUE(reversed->PtInUnit(20, 20));
  EXPECT_TRUE(reversed->PtInUnit(59, 49));
  EXPECT_FALSE(reversed->PtInUnit(60, 30));
  EXPECT_FALSE(reversed->PtInUnit(30, 50));
  EXPECT_EQ(reversed->m_ptFirst, (CPoint{60, 50}));
}

TEST(BmpUnit, PressesGrabCornersOrToggleTheUnitAndDragsFollow) {
  auto unit = MakeUnit({20, 20}, {60, 50});
  test::UnitBench grab;
  grab.GrabHandle(*unit, 61, 21);  // corner 2: the opposite corner becomes the anchor
  EXPECT_EQ(grab.view.m_nMode, kModeResize);
  EXPECT_EQ(unit->m_ptFirst, (CPoint{20, 50}));
  grab.DragTo(*unit, 90, 5);
  EXPECT_EQ(unit->m_ptSecond, (CPoint{90, 5}));
  EXPECT_EQ(grab.view.m_ptTrackB, (CPoint{90, 5}));

  unit = MakeUnit({20, 20}, {60, 50});
  test::UnitBench press;
  press.PressOnBody(*unit, 40, 35);
  EXPECT_TRUE(unit->m_bActive);
  EXPECT_TRUE(press.view.m_bUnitChanged);
  EXPECT_EQ(press.canvas.At(17, 17), kCyan);  // the handles show at once
  test::UnitBench outside;
  outside.PressOnBody(*unit, 70, 35);
  EXPECT_TRUE(unit->m_bActive);
  EXPECT_TRUE(outside.CanvasIsBlack());

  // Moving shifts the whole box, and the picture is drawn in its new place.
  test::UnitBench moving;
  moving.view.m_bMoving = true;
  moving.view.m_ptTrackB = {40, 35};
  moving.DragTo(*unit, 45, 32);
  EXPECT_EQ(unit->m_ptFirst, (CPoint{25, 17}));
  unit->Draw(moving.dc, {});
  EXPECT_EQ(moving.canvas.Pixels(), Stretched(unit->m_dib, 25, 17, 40, 30).Pixels());
}

}  // namespace
}  // namespace lumetra
