// The editing canvas repaints only what a drag step or a nudge changed. A
// scripted session keeps a screen that takes exactly the repaints the view
// asks for, and after every event compares it with a full paint of the
// document, pixel for pixel: units that invert and XOR what lies under them,
// hatch brushes, wide pens, XOR handles and a clock whose time moves on.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/document.h"
#include "platform/gdi/dc.h"
#include "platform/local_time.h"
#include "units/ellipse.h"
#include "units/line.h"
#include "units/polygon.h"
#include "units/rectangle.h"
#include "units/round.h"
#include "units/text.h"
#include "units/timer.h"
#include "view/canvas_render.h"
#include "view/tessara_view.h"
#include "view/view_commands.h"

namespace lumetra {
namespace {

// What the view asked to repaint since the screen last painted.
struct RecordingHost : ViewHost {
  bool whole = false;
  std::vector<CRect> areas;
  void ShowPopupMenu(const PopupMenuRequest&) override {}
  void Invalidate(bool) override { whole = true; }
  void InvalidateArea(const CRect& area) override { areas.push_back(area); }
};

// The time every paint shows, moved on by the test a day and a minute at a
// time: a day's name changes the width of the clock's text.
struct SteppedClock {
  LocalTime now{2026, 12, 10, 4, 9, 59, 58};
  LocalTimeSource previous = SetLocalTimeSource([this] { return now; });
  ~SteppedClock() { SetLocalTimeSource(std::move(previous)); }
  void Tick() {
    now.day = now.day % 28 + 1;
    now.dayOfWeek = (now.dayOfWeek + 1) % 7;
    now.minute = (now.minute + 1) % 60;
  }
};

// A paint of the canvas in small tiles, each drawing only the units whose
// kept boxes meet it: every kept box must still hold what its unit paints.
Bitmap32 PaintInTiles(const CTessaraView& view, CSize size) {
  Bitmap32 tiled(size.cx, size.cy);
  CDC dc(tiled);
  constexpr int kTile = 7;
  for (int y = 0; y < size.cy; y += kTile) {
    for (int x = 0; x < size.cx; x += kTile)
      view.OnDraw(dc, CRect{x, y, x + kTile, y + kTile}.ClipTo({0, 0, size.cx, size.cy}));
  }
  return tiled;
}

// The first pixel where `a` and `b` differ, and how many do.
std::string Differences(const Bitmap32& a, const Bitmap32& b) {
  int count = 0;
  CPoint first{-1, -1};
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if (a.At(x, y) != b.At(x, y) && count++ == 0) first = {x, y};
    }
  }
  return count == 0 ? ""
                    : std::to_string(count) + " pixels, the first at " + std::to_string(first.x) + "," +
                          std::to_string(first.y);
}

template <class T>
T& Add(CTessaraDoc& doc, CPoint first, CPoint second, int rop, int penWidth = 1) {
  auto unit = std::make_unique<T>();
  unit->m_ptFirst = first;
  unit->m_ptSecond = second;
  unit->m_nDrawMode = rop;
  unit->m_nPenWidth = penWidth;
  unit->m_crPen = 0x0000FFFF;
  T& added = *unit;
  doc.m_units.push_back(std::move(unit));
  return added;
}

// Drag steps and nudges repaint part of the canvas only; moving one unit a
// small part.
enum class Repaint { kAsItLikes, kPart, kSmallPart };

struct Event {
  const char* name;
  std::function<void(CTessaraView&)> run;
  Repaint repaint = Repaint::kAsItLikes;
};

TEST(PartialRepaint, AScriptedSessionLeavesTheScreenAsAFullPaintWould) {
  SteppedClock clock;
  CTessaraDoc doc;
  doc.m_nWidthWords = 10, doc.m_nHeightWords = 2, doc.m_nFrames = 5;  // 160 x 160
  doc.m_nClockStyle = 2;                                              // the date, the day's name and the time
  auto& hatched = Add<CRectangle>(doc, {10, 10}, {60, 40}, R2_XORPEN, 2);
  hatched.m_nBrushStyle = BS_HATCHED, hatched.m_nHatchStyle = HS_DIAGCROSS, hatched.m_crBrush = 0x0000FF00;
  Add<CEllipse>(doc, {30, 20}, {90, 70}, R2_NOT, 3);
  Add<CText>(doc, {5, 60}, {30, 72}, R2_XORPEN).m_strText = "LED 42";  // cut off by its box
  Add<CPolygon>(doc, {}, {}, R2_XORPEN).m_aPoints.assign({{80, 90}, {120, 100}, {90, 130}});
  Add<CDLine>(doc, {0, 100}, {127, 150}, R2_COPYPEN, 5);
  auto& circle = Add<CRound>(doc, {95, 35}, {125, 65}, R2_XORPEN);
  circle.m_ptCenter = {110, 50};
  Add<CTimer>(doc, {10, 120}, {70, 136}, R2_COPYPEN);
  // Enough units that moving them all repaints the box round them.
  for (int i = 0; i < 12; ++i) Add<CDLine>(doc, {4 + 10 * i, 84 + i}, {10 + 10 * i, 90 + 2 * i}, R2_XORPEN, 1 + i % 3);

  RecordingHost host;
  CTessaraView view;
  view.SetDocument(&doc);
  view.SetHost(&host);
  view.OnInitialUpdate();

  const CSize size = doc.CanvasPixels();
  Bitmap32 screen(size.cx, size.cy);
  const auto at = [&](int x, int y) { return CPoint{int(x * view.m_fZoom), int(y * view.m_fZoom)}; };
  const auto press = [&](int x, int y, bool shift = false) {
    return [=](CTessaraView& v) { v.OnLButtonDown(at(x, y), shift); };
  };
  const auto move = [&](int x, int y) { return [=](CTessaraView& v) { v.OnMouseMove(at(x, y), true); }; };
  const auto release = [&](int x, int y) { return [=](CTessaraView& v) { v.OnLButtonUp(at(x, y)); }; };
  const auto key = [](std::int32_t k, bool shift = false) { return [=](CTessaraView& v) { v.OnKeyDown(k, shift); }; };
  const auto command = [](std::int32_t c) { return [=](CTessaraView& v) { v.OnCommand(c); }; };

  const std::vector<Event> script = {
      {"pick the hatched rectangle", press(35, 11)},
      {"move it", move(37, 14), Repaint::kSmallPart},
      {"move it over the ellipse", move(45, 30), Repaint::kSmallPart},
      {"move it further", move(50, 52), Repaint::kSmallPart},
      {"drop it", release(50, 52)},
      {"add the circle", press(110, 36, true)},
      {"release", release(110, 36)},
      {"grab both by the circle", press(110, 36)},
      {"move both", move(104, 44), Repaint::kSmallPart},
      {"move both left", move(90, 47), Repaint::kSmallPart},
      {"drop both", release(90, 47)},
      {"nudge right", key(kKeyRight), Repaint::kSmallPart},
      {"nudge right again", key(kKeyRight), Repaint::kSmallPart},
      {"nudge down a word", key(kKeyDown, true), Repaint::kSmallPart},
      {"deselect", key(kKeyEscape)},
      {"pick the ellipse", press(60, 21)},
      {"release it", release(60, 21)},
      {"grab its corner", press(90, 70)},
      {"take the corner", move(93, 74), Repaint::kSmallPart},
      {"drag the corner", move(100, 85), Repaint::kSmallPart},
      {"drop the corner", release(100, 85)},
      {"zoom in", [](CTessaraView& v) { v.OnZoom(3); }},
      {"rectangle tool", command(kCmdToolRectangle)},
      {"start a rectangle", press(100, 5)},
      {"draw it", move(110, 18), Repaint::kSmallPart},
      {"draw it larger", move(122, 28), Repaint::kSmallPart},
      {"finish it", release(122, 28)},
      {"select tool", command(kCmdSelect)},
      {"start a band", press(3, 152)},
      {"stretch it", move(40, 125), Repaint::kSmallPart},
      {"stretch it over the clock", move(75, 115), Repaint::kSmallPart},
      {"select in it", release(75, 115)},
      {"undo the band's nothing and the rectangle", command(kCmdUndo)},
      {"undo the corner", command(kCmdUndo)},
      {"deselect the band's units", key(kKeyEscape)},
      {"pick the clock", press(40, 128)},
      {"drag the clock", move(40, 100), Repaint::kSmallPart},
      {"drag it down", move(40, 60), Repaint::kSmallPart},
      {"drop it", release(40, 60)},
      {"pick the text", press(8, 62)},
      {"drag the text", move(12, 70), Repaint::kSmallPart},
      {"drag it over the ellipse", move(40, 50), Repaint::kSmallPart},
      {"drop the text", release(40, 50)},
      {"pick the polygon", press(80, 90)},
      {"move the polygon", move(70, 80), Repaint::kSmallPart},
      {"drop the polygon", release(70, 80)},
      {"undo", command(kCmdUndo)},
      {"redo", command(kCmdRedo)},
      {"select all", command(kCmdSelectAll)},
      {"nudge everything", key(kKeyLeft), Repaint::kPart},
      {"nudge everything up", key(kKeyUp, true), Repaint::kPart},
  };

  for (const Event& event : script) {
    SCOPED_TRACE(event.name);
    // Nothing repaints the canvas for the clock alone, but every drag step shows its time.
    if (event.repaint != Repaint::kAsItLikes) clock.Tick();
    host.whole = false;
    host.areas.clear();
    event.run(view);
    std::int64_t repainted = 0;
    CDC dc(screen);
    if (host.whole) {
      view.OnDraw(dc);
    } else {
      for (const CRect& changed : host.areas) {
        const CRect area = changed.ClipTo({0, 0, size.cx, size.cy});
        if (area.IsEmpty()) continue;
        view.OnDraw(dc, area);
        repainted += std::int64_t(area.Width()) * area.Height();
      }
    }
    if (event.repaint != Repaint::kAsItLikes) {
      EXPECT_FALSE(host.whole);
      EXPECT_GT(repainted, 0);
    }
    if (event.repaint == Repaint::kSmallPart) {
      EXPECT_LT(repainted, std::int64_t(size.cx) * size.cy / 2);
    }

    Bitmap32 full(size.cx, size.cy);
    CDC fullDc(full);
    RenderCanvas(doc, fullDc, GetLocalTime(), std::nullopt, /*withHandles=*/true, view.m_pCurUnit,
                 HandleReachAt(view.m_fZoom));
    if (const auto& band = view.RubberBand()) {
      const CRect b = band->Normalized();
      DrawSelectionFrame(fullDc, {b.left + 1, b.top + 1, b.right, b.bottom});
    }
    EXPECT_EQ(Differences(screen, full), "");
    EXPECT_EQ(Differences(PaintInTiles(view, size), full), "");
  }
  EXPECT_EQ(doc.m_units.size(), 19u);  // the new rectangle was undone
}

}  // namespace
}  // namespace lumetra
