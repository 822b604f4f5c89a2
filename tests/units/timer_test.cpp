// The clock previews the panel's date and time from the active document's
// options, spans exactly its text across the panel and reports its frame and row.

#include "units/timer.h"

#include <gtest/gtest.h>

#include <climits>

#include "document/document.h"
#include "support/bundled_font.h"
#include "support/unit_bench.h"
#include "units/clock_host.h"

namespace lumetra {
namespace {

constexpr LocalTime kTuesday{.year = 2024, .month = 3, .day = 5, .dayOfWeek = 2, .hour = 9, .minute = 7};

TEST(Timer, TextAndColourByTheClockOptions) {
  const char* texts[] = {"Timer(Disabled)",  "2024-03-05 09:07",     "2024-03-05 Tue 09:07",
                         "2024-03-05 09:07", "2024-03-05 Tue 09:07", ""};
  for (int style = 0; style < 6; ++style) EXPECT_EQ(CTimer::ClockText(style, kTuesday), texts[style]);
  LocalTime odd = kTuesday;
  odd.dayOfWeek = -5;  // a bad time source still names a day
  EXPECT_EQ(CTimer::ClockText(2, odd), texts[2]);

  EXPECT_EQ(CTimer::ClockColour(0, 2, 1), 0x00C0C0C0u);
  EXPECT_EQ(CTimer::ClockColour(1, 0, 1), 0x00606060u);
  EXPECT_EQ(CTimer::ClockColour(1, 2, 0), 0x0000FF00u);
  EXPECT_EQ(CTimer::ClockColour(1, 1, 1), 0x0000FFFFu);
  EXPECT_EQ(CTimer::ClockColour(1, 2, 1), 0x00FF0000u);
  EXPECT_EQ(CTimer::ClockColour(1, 3, 2), 0x000000FFu);
  EXPECT_EQ(CTimer::ClockColour(4, 255, 2), 0x0000FF00u);
}

struct TimerBench : test::UnitBench {
  TimerBench() {
    test::UseBundledFont();
    dc.SelectObject(&font);
    clock.m_ptFirst = {50, 20};
    clock.m_ptSecond = {60, 30};
    doc.m_nClockStyle = 2;
    doc.m_nClockColour = 1;
  }
  CFont font = CFont::CreatePointFont(100, "Arial");
  FixedLocalTime time{kTuesday};
  CTessaraDoc doc;
  ClockHostScope active{&doc};
  CTimer clock;
};

TEST(Timer, SpansItsTextAcrossThePanelByAlignmentInTheCurrentFont) {
  TimerBench b;
  const CSize extent = b.dc.GetTextExtent("2024-03-05 Tue 09:07");
  const std::int32_t lefts[] = {0, (128 - extent.cx) / 2, 128 - extent.cx, (128 - extent.cx) / 2};
  for (std::uint8_t align = 0; align < 4; ++align) {
    b.doc.m_nClockAlign = align;
    b.canvas.Fill(0);
    b.clock.Draw(b.dc);
    EXPECT_EQ(b.clock.m_ptFirst, (CPoint{lefts[align], 20})) << int(align);
    EXPECT_EQ(b.clock.m_ptSecond, (CPoint{lefts[align] + extent.cx, 20 + extent.cy})) << int(align);
  }
  Bitmap32 expected(120, 100);
  CDC ref(expected);
  ref.SelectObject(&b.font);
  ref.SetBkMode(TRANSPARENT);
  ref.SetTextColor(0x000000FF);
  ref.TextOut(lefts[3], 20, "2024-03-05 Tue 09:07");
  EXPECT_FALSE(b.CanvasIsBlack());
  EXPECT_EQ(b.canvas.Pixels(), expected.Pixels());
  EXPECT_EQ(b.dc.GetTextColor(), 0u);
}

TEST(Timer, ReportsFrameAndRowOfItsCentreToItsHost) {
  TimerBench b;
  CTessaraDoc other;
  auto drawAt = [&](std::int32_t y1, std::int32_t y2) {
    b.clock.m_ptFirst.y = y1;
    b.clock.m_ptSecond.y = y2;
    b.clock.Draw(b.dc);
  };
  b.doc.m_nClockStyle = 9;  // no text: the points stay as set
  drawAt(30, 50);
  EXPECT_EQ(b.doc.m_nClockFrame, 3);
  EXPECT_EQ(b.doc.m_nClockRow, 1);
  EXPECT_EQ(other.m_nClockFrame, 0);
  {
    ClockHostScope switched(&other);
    other.m_nHeightWords = 2;
    other.m_nClockAlign = 2;
    drawAt(30, 50);
    EXPECT_EQ(other.m_nClockFrame, 2);
    EXPECT_EQ(b.clock.m_ptSecond.x, 128);
    ClockHostScope none(nullptr);
    const CPoint first = b.clock.m_ptFirst, second = b.clock.m_ptSecond;
    b.canvas.Fill(0);
    drawAt(first.y, second.y);
    EXPECT_TRUE(b.CanvasIsBlack());
    EXPECT_EQ(b.clock.m_ptSecond, second);
  }
  // Off the canvas the clock counts in the nearest frame and row; past
  // frame 255 the one-byte field holds the last frame it can.
  drawAt(-100, -100);
  EXPECT_EQ(b.doc.m_nClockFrame, 1);
  EXPECT_EQ(b.doc.m_nClockRow, 1);
  b.doc.m_nHeightWords = 2;
  drawAt(INT32_MAX, INT32_MAX);
  EXPECT_EQ(b.doc.m_nClockFrame, 15);
  EXPECT_EQ(b.doc.m_nClockRow, 2);
  b.doc.m_nFrames = 400;
  drawAt(300 * 32, 300 * 32);
  EXPECT_EQ(b.doc.m_nClockFrame, 255);
  b.doc.m_nHeightWords = 0;
  drawAt(0, 0);
  EXPECT_EQ(b.doc.m_nClockFrame, 255);
}

TEST(Timer, CornerPressTracksTheOppositeCornerAndNeitherDragResizesIt) {
  TimerBench b;
  b.clock.Draw(b.dc);
  const CPoint first = b.clock.m_ptFirst, second = b.clock.m_ptSecond;
  const CPoint corners[] = {first, {second.x, first.y}, second, {first.x, second.y}};
  for (int h = 1; h <= 4; ++h) {
    b.GrabHandle(b.clock, corners[h - 1].x + 3, corners[h - 1].y - 2);
    EXPECT_EQ(b.view.m_nHandle, h);
    EXPECT_EQ(b.view.m_nTool, kToolClock);
    EXPECT_EQ(b.view.m_nMode, kModeResize);
    EXPECT_EQ(b.view.m_ptTrackA, corners[(h + 1) % 4]);
    EXPECT_EQ(b.view.m_pCurUnit, &b.clock);
    EXPECT_EQ(b.clock.m_ptFirst, first);
  }
  b.DragTo(b.clock, 5, 90);
  b.clock.Draw(b.dc);
  EXPECT_EQ(b.clock.m_ptSecond, second);
  b.view.m_bResizing = false;
  b.view.m_bMoving = true;
  b.view.m_ptTrackB = {10, 10};
  b.DragTo(b.clock, 12, 16);
  b.clock.Draw(b.dc);
  EXPECT_EQ(b.clock.m_ptFirst, (CPoint{first.x, first.y + 6}));
  EXPECT_EQ(b.clock.m_ptSecond, (CPoint{second.x, second.y + 6}));
}

TEST(Timer, BodyPressTogglesAndTheMenuShowsOnlyInSelectMode) {
  TimerBench b;
  b.clock.m_ptFirst = {60, 30};
  b.clock.m_ptSecond = {40, 20};
  b.PressOnBody(b.clock, 45, 25);
  EXPECT_TRUE(b.clock.m_bActive);
  EXPECT_EQ(b.clock.m_ptFirst, (CPoint{60, 30}));
  EXPECT_FALSE(b.clock.PtInUnit(60, 25));

  struct Host : ViewHost {
    std::vector<PopupMenuRequest> shown;
    void ShowPopupMenu(const PopupMenuRequest& r) override { shown.push_back(r); }
  } host;
  b.view.SetHost(&host);
  for (std::int32_t mode : {kModeCreate, kModeSelect}) {
    b.view.m_nMode = mode;
    b.clock.ShowContextMenu(b.view, 300, 400);
  }
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].menuId, kMenuTimerEdit);
  EXPECT_EQ(host.shown[0].screenPoint, (CPoint{300, 400}));
}

TEST(Timer, ExtremeStoredValuesDrawAndPressWithoutOverflow) {
  TimerBench b;
  b.doc.m_nWidthWords = b.doc.m_nFrames = b.doc.m_nHeightWords = INT32_MAX;
  for (std::uint8_t align : {0, 1, 2}) {
    b.doc.m_nClockAlign = align;
    b.clock.m_ptFirst = {INT32_MIN, INT32_MAX};
    b.clock.m_ptSecond = {INT32_MAX, INT32_MIN};
    b.clock.Draw(b.dc);
    EXPECT_EQ(b.clock.m_ptSecond.y, INT32_MAX);
    b.GrabHandle(b.clock, INT32_MAX, INT32_MAX);
    b.DragTo(b.clock, INT32_MIN, INT32_MIN);
  }
}

}  // namespace
}  // namespace lumetra
