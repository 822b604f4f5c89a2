// The clock previews the panel's date and time from its document's options,
// is placed around exactly its text across the panel, and finds the frame and
// row the panel shows it in.

#include "units/timer.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "document/document.h"
#include "support/bundled_font.h"
#include "support/unit_bench.h"

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
  DrawContext Context() const { return doc.DrawContextAt(kTuesday); }
  CSize Extent() const { return dc.GetTextExtent(CTimer::ClockText(doc.m_nClockStyle, kTuesday)); }
  // As the editor places the clock after an edit, in the bench's font.
  void Place() { clock.Place(doc.ClockSettingsForDrawing(), Extent()); }
  CFont font = CFont::CreatePointFont(100, "Arial");
  CTessaraDoc doc;
  CTimer clock;
};

TEST(Timer, DrawsItsTextAcrossThePanelByAlignmentAndIsPlacedAroundIt) {
  TimerBench b;
  const CSize extent = b.Extent();
  const std::int32_t lefts[] = {0, (128 - extent.cx) / 2, 128 - extent.cx, (128 - extent.cx) / 2};
  for (std::uint8_t align = 0; align < 4; ++align) {
    b.doc.m_nClockAlign = align;
    b.canvas.Fill(0);
    b.clock.Draw(b.dc, b.Context());
    EXPECT_EQ(b.clock.m_ptFirst, (CPoint{50, 20})) << "drawing moves nothing";
    EXPECT_EQ(b.clock.m_ptSecond, (CPoint{60, 30})) << "drawing moves nothing";
    const CRect box{lefts[align], 20, lefts[align] + extent.cx, 20 + extent.cy};
    EXPECT_EQ(b.clock.TextBox(b.doc.ClockSettingsForDrawing(), extent), box) << int(align);
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

  b.Place();
  EXPECT_EQ(b.clock.BoxRect(), (CRect{lefts[3], 20, lefts[3] + extent.cx, 20 + extent.cy}));
  b.clock.Place(b.doc.ClockSettingsForDrawing(), {});  // an empty text keeps the bottom edge
  EXPECT_EQ(b.clock.m_ptSecond.y, 20 + extent.cy);

  // Without the document's options there is nothing to draw by.
  b.canvas.Fill(0);
  b.clock.Draw(b.dc, {});
  EXPECT_TRUE(b.CanvasIsBlack());
}

// The panel's clock position depends on the top edge, the font and the frame
// height alone. Off the canvas the clock counts in the nearest frame and
// row; past frame 255 the one-byte field holds the last frame it can.
TEST(Timer, PositionOnThePanelIsTheFrameAndRowOfTheTextCellsMiddle) {
  struct Case {
    std::int32_t top, fontHeight, heightWords, frames;
    std::optional<ClockPosition> position;
    std::int64_t frame;
  };
  const Case cases[] = {
      {30, 20, 1, 15, ClockPosition{3, 1}, 3},
      {30, 20, 2, 15, ClockPosition{2, 1}, 2},
      {20, 4, 2, 15, ClockPosition{1, 2}, 1},
      {-100, 0, 1, 15, ClockPosition{1, 1}, 1},
      {INT32_MAX, 16, 2, 15, ClockPosition{15, 2}, 15},
      {300 * 32, 0, 2, 400, ClockPosition{255, 1}, 301},
      {0, 16, 0, 15, std::nullopt, 0},
  };
  for (const Case& c : cases) {
    const ClockSettings settings{.widthWords = 8, .heightWords = c.heightWords, .frames = c.frames};
    EXPECT_EQ(CTimer::PositionOnPanel(c.top, c.fontHeight, settings), c.position) << c.top << " " << c.heightWords;
    CTimer clock;
    clock.m_ptFirst = {5, c.top};
    clock.m_ptSecond = {0, 0};  // the stored bottom edge plays no part
    EXPECT_EQ(clock.FrameIn(settings, c.fontHeight), c.frame) << c.top;
  }

  // The document writes where its clock stands, whatever the time.
  CTessaraDoc doc;
  doc.m_nHeightWords = 2;
  doc.m_nClockStyle = 2;
  auto clock = std::make_unique<CTimer>();
  clock->m_ptFirst = {0, 70};
  doc.m_units.push_back(std::move(clock));
  const auto expected = CTimer::PositionOnPanel(70, ClockFontHeight(), doc.ClockSettingsForDrawing());
  for (const LocalTime& time : {kTuesday, LocalTime{.year = 1999, .month = 12, .day = 31, .dayOfWeek = 5}}) {
    doc.PlaceClock(time);
    EXPECT_EQ((ClockPosition{doc.m_nClockFrame, doc.m_nClockRow}), expected);
  }
}

TEST(Timer, CornerPressTracksTheOppositeCornerAndNeitherDragResizesIt) {
  TimerBench b;
  b.Place();
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
  b.Place();
  EXPECT_EQ(b.clock.m_ptSecond, second);
  b.view.m_bResizing = false;
  b.view.m_bMoving = true;
  b.view.m_ptTrackB = {10, 10};
  b.DragTo(b.clock, 12, 16);
  b.Place();
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
    b.clock.Draw(b.dc, b.Context());
    b.Place();
    EXPECT_EQ(b.clock.m_ptSecond.y, INT32_MAX);
    b.GrabHandle(b.clock, INT32_MAX, INT32_MAX);
    b.DragTo(b.clock, INT32_MIN, INT32_MIN);
  }
}

}  // namespace
}  // namespace lumetra
