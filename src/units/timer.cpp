#include "units/timer.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "document/panel_settings.h"
#include "platform/archive/archive.h"
#include "units/editing_view.h"
#include "units/unit_geometry.h"

namespace lumetra {

namespace {
constexpr COLORREF kDisabledGrey = 0x00C0C0C0;
constexpr COLORREF kDarkGrey = 0x00606060;
constexpr COLORREF kClockRed = 0x000000FF;
constexpr COLORREF kClockGreen = 0x0000FF00;
constexpr COLORREF kClockYellow = 0x0000FFFF;
constexpr COLORREF kClockBlue = 0x00FF0000;
constexpr COLORREF kClockWhite = 0x00FFFFFF;

enum ClockAlign : std::int32_t { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };
}  // namespace

LUMETRA_IMPLEMENT_SERIAL(CTimer, 1, false)

CTimer::CTimer() {
  m_nBrushStyle = BS_HOLLOW;
  m_nHatchStyle = HS_CROSS;
}

void CTimer::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  SerializeBrush(ar);
}

// The Chinese styles differ only on the panel; the canvas shows them as the
// English ones.
std::string CTimer::ClockText(std::int32_t style, const LocalTime& t) {
  char text[96];
  switch (style) {
    case 0:
      return "Timer(Disabled)";
    case 1:
    case 3:
      std::snprintf(text, sizeof text, "%4d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour, t.minute);
      return text;
    case 2:
    case 4: {
      // A time source outside the week still names a day rather than reading past the table.
      const std::string_view day = m_strDayName[std::size_t(((t.dayOfWeek % 7) + 7) % 7)];
      std::snprintf(text, sizeof text, "%4d-%02d-%02d %.*s %02d:%02d", t.year, t.month, t.day, int(day.size()),
                    day.data(), t.hour, t.minute);
      return text;
    }
    default:
      return {};
  }
}

// Colour 0 is the panel's black, which would vanish on the black canvas, so
// it shows dark grey; the mono set has only red besides it.
COLORREF CTimer::ClockColour(std::int32_t style, std::int32_t colour, std::int32_t colourSet) {
  if (style == 0) return kDisabledGrey;
  if (colour == 0) return kDarkGrey;
  if (colour < 0 || colour >= 4) return kClockGreen;
  static constexpr COLORREF kBySet[2][3] = {{kClockRed, kClockGreen, kClockYellow},
                                            {kClockYellow, kClockBlue, kClockWhite}};
  if (colourSet != 0 && colourSet != 1) return kClockRed;
  return kBySet[colourSet][colour - 1];
}

void CTimer::Draw(CDC& dc, const DrawContext& context) const {
  if (!context.clock) return;
  const ClockSettings& settings = *context.clock;
  const std::string text = ClockText(settings.style, context.time);
  const COLORREF colour = ClockColour(settings.style, settings.colour, m_nColourSet);
  // The pen and brush are selected as for every box unit but draw nothing.
  DrawInStyle(dc, RasterOp::Own, BrushUse::Aligned, [&] {
    dc.SetTextColor(colour);
    if (!text.empty()) dc.TextOut(TextBox(settings, dc.GetTextExtent(text)).left, m_ptFirst.y, text);
  });
}

std::int64_t CTimer::LeftAcross(std::int32_t align, std::int64_t panelWidth, std::int64_t textWidth) {
  switch (align) {
    case kAlignLeft:
      return 0;
    case kAlignRight:
      return panelWidth - textWidth;
    default:  // centre, also for an alignment the dialog does not offer
      return (panelWidth - textWidth) / 2;
  }
}

CRect CTimer::TextBox(const ClockSettings& settings, CSize extent) const {
  const std::int64_t left = LeftAcross(settings.align, std::int64_t(settings.widthWords) * kWordPixels, extent.cx);
  return {SaturateToInt(left), m_ptFirst.y, SaturateToInt(left + extent.cx),
          SaturateToInt(std::int64_t(m_ptFirst.y) + extent.cy)};
}

void CTimer::Place(const ClockSettings& settings, CSize extent) {
  const CRect box = TextBox(settings, extent);
  m_ptFirst.x = box.left;
  m_ptSecond.x = box.right;
  if (extent.cy > 0) m_ptSecond.y = box.bottom;
}

namespace {

// The middle of a text cell `fontHeight` high from `top`, kept on the canvas
// of the frames: a clock dragged partly off the canvas counts as standing in
// the nearest frame and row. Needs a frame height.
std::int64_t CentreOnCanvas(std::int32_t top, std::int32_t fontHeight, const ClockSettings& settings,
                            std::int64_t frameHeight) {
  const std::int64_t centre = (std::int64_t(top) + SaturateToInt(std::int64_t(top) + fontHeight)) / 2;
  const std::int64_t frames = std::max(settings.frames, 1);
  const std::int64_t lastPixel = frames > INT32_MAX / frameHeight ? INT32_MAX : frames * frameHeight - 1;
  return std::clamp<std::int64_t>(centre, 0, lastPixel);
}

}  // namespace

std::int64_t CTimer::FrameIn(const ClockSettings& settings, std::int32_t fontHeight) const {
  const std::int64_t frameHeight = std::int64_t(settings.heightWords) * kWordPixels;
  return frameHeight > 0 ? CentreOnCanvas(m_ptFirst.y, fontHeight, settings, frameHeight) / frameHeight + 1 : 0;
}

// The panel knows its clock position only as a 1-based frame and word row,
// each held in one byte; frames past 255 cannot be held at all and are kept
// as the last one that can, and a send refuses such a clock (FrameIn).
std::optional<ClockPosition> CTimer::PositionOnPanel(std::int32_t top, std::int32_t fontHeight,
                                                     const ClockSettings& settings) {
  const std::int64_t frameHeight = std::int64_t(settings.heightWords) * kWordPixels;
  if (frameHeight <= 0) return std::nullopt;
  const std::int64_t centre = CentreOnCanvas(top, fontHeight, settings, frameHeight);
  return ClockPosition{std::uint8_t(std::min<std::int64_t>(centre / frameHeight + 1, 255)),
                       std::uint8_t(std::min<std::int64_t>((centre % frameHeight) / kWordPixels + 1, 255))};
}

void CTimer::DrawShape(CDC& dc, std::int32_t, std::int32_t) {
  DrawInStyle(dc, RasterOp::Callers, BrushUse::Aligned,
              [&] { dc.Rectangle(m_ptFirst.x, m_ptFirst.y, m_ptSecond.x, m_ptSecond.y); });
}

HandleMarks CTimer::Handles(std::int64_t) const { return {}; }

std::int32_t CTimer::FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) { return HitCorner(x, y, std::min<std::int64_t>(10, reach)); }

bool CTimer::PtInUnit(std::int32_t x, std::int32_t y) {
  return BoxRect().PtInRect({x, y});
}

void CTimer::OnMouseDrag(CDC&, EditingView& view, std::int32_t x, std::int32_t y) { FollowDrag(view, x, y); }

void CTimer::OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  if (GrabHandle(view, x, y, kToolClock, AnyHandleResizes)) {
    view.m_ptTrackA = OppositeCorners()[view.m_nHandle - 1];
    view.m_ptTrackB = {x, y};
  }
  if (!view.m_bHandleGrabbed) {
    ToggleIfPicked(dc, view, x, y, ShowHandles::Yes);
    return;
  }
  FinishGrab(dc, view);
}

void CTimer::ShowContextMenu(EditingView& view, std::int32_t screenX, std::int32_t screenY) {
  if (view.m_nMode != kModeSelect) return;
  view.TrackPopupMenu({kMenuTimerEdit, {screenX, screenY}, {}});
}

std::unique_ptr<CUnit> CTimer::Clone() const { return CloneOf(*this); }

CRect CTimer::Bounds() const {
  const CRect box = BoxRect();
  return box.IsEmpty() ? CRect{} : box;
}

}  // namespace lumetra
