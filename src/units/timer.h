#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/local_time.h"
#include "units/unit.h"

namespace lumetra {

struct ClockSettings;
class ClockHost;

// The clock: marks where the panel shows its own date and time, and previews
// that display on the canvas. Its options belong to the document it is drawn
// in, the clock host of the moment (units/clock_host.h).
// Only its top edge is the user's choice: each drawing sizes it to its text
// and places it across the panel by the clock alignment.
class CTimer : public CUnit {
  LUMETRA_DECLARE_SERIAL(CTimer)

 public:
  CTimer();
  void Serialize(CArchive& ar) override;
  // The clock's own menu, only while the view is in select mode.
  void ShowContextMenu(EditingView& view, std::int32_t screenX, std::int32_t screenY) override;
  void OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  void DrawShape(CDC& dc, std::int32_t, std::int32_t) override;
  // The clock shows no handles.
  void DrawHandles(CDC& dc) override;
  // A corner grab leaves the points alone: the view's tracking points hold
  // the opposite corner and the mouse.
  void OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  std::int32_t HitHandle(std::int32_t x, std::int32_t y) override;
  bool PtInUnit(std::int32_t x, std::int32_t y) override;
  std::unique_ptr<CUnit> Clone() const override;
  // The box as last drawn, which each drawing sizes to the clock text and
  // places across the panel; nothing without a clock host.
  CRect Bounds() const override;
  // Draws the clock text with the DC's current font and reports the clock's
  // frame and word row to the clock host. Without a host
  // there are no options to draw by: nothing is drawn and nothing changes.
  void Draw(CDC& dc) override;

  // The canvas text of a clock style at a time; empty for an unknown style.
  static std::string ClockText(std::int32_t style, const LocalTime& time);
  // The canvas colour of the clock text for the document's clock options and
  // colour set; a disabled clock is light grey.
  static COLORREF ClockColour(std::int32_t style, std::int32_t colour, std::int32_t colourSet);
  // Where a clock text `textWidth` wide starts across a panel by the clock
  // alignment (0 left, 2 right, anything else centred). The panel draws its
  // own clock by the same rule.
  static std::int64_t LeftAcross(std::int32_t align, std::int64_t panelWidth, std::int64_t textWidth);

  // The 1-based frame that holds the clock's vertical centre as last drawn,
  // not limited to the 255 frames the document can hold; 0 for a document
  // without a frame height.
  std::int64_t FrameIn(const ClockSettings& settings) const;

  std::int32_t m_nColourSet = 0;  // the document's colour set; not stored
  static constexpr std::array<std::string_view, 7> m_strDayName = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr std::array<std::string_view, 7> m_strDayNameCn = {"日", "一", "二", "三", "四", "五", "六"};

 private:
  // Spans the clock across the panel by the alignment, `width` pixels wide.
  void PlaceAcross(const ClockSettings& settings, std::int32_t width);
  // Writes the frame and word row that hold the clock's vertical centre.
  void ReportPosition(const ClockSettings& settings, ClockHost& host) const;
  // The vertical centre, kept on the canvas of frames `frameHeight` high.
  std::int64_t CentreOnCanvas(const ClockSettings& settings, std::int64_t frameHeight) const;
};

}  // namespace lumetra
