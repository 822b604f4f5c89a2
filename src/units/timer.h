#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/local_time.h"
#include "units/unit.h"

namespace lumetra {

// Where the panel shows its clock: the 1-based frame and word row.
struct ClockPosition {
  std::uint8_t frame = 0;
  std::uint8_t row = 0;
  bool operator==(const ClockPosition&) const = default;
};

// The clock: marks where the panel shows its own date and time, and previews
// that display on the canvas. Its options belong to the document it is drawn
// in, which passes them to every drawing (units/draw_context.h).
// Only its top edge is the user's choice: the text is drawn from there,
// across the panel by the clock alignment, and the edits that move the clock
// or change what it shows place its box around that text (Place).
class CTimer final : public CUnit {
  LUMETRA_DECLARE_SERIAL(CTimer)

 public:
  CTimer();
  void Serialize(CArchive& ar) override;
  // The clock's own menu, only while the view is in select mode.
  void ShowContextMenu(EditingView& view, std::int32_t screenX, std::int32_t screenY) override;
  void OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  void DrawShape(CDC& dc, std::int32_t, std::int32_t) override;
  // The clock shows no handles.
  HandleMarks Handles(std::int64_t reach) const override;
  // A corner grab leaves the points alone: the view's tracking points hold
  // the opposite corner and the mouse.
  void OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  std::int32_t FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) override;
  bool PtInUnit(std::int32_t x, std::int32_t y) override;
  std::unique_ptr<CUnit> Clone() const override;
  // The box where the clock was last placed.
  CRect Bounds() const override;
  // Draws the clock text at the context's time with the DC's current font.
  // Without the document's clock options there is nothing to draw by.
  void Draw(CDC& dc, const DrawContext& context) const override;

  // The canvas text of a clock style at a time; empty for an unknown style.
  static std::string ClockText(std::int32_t style, const LocalTime& time);
  // The canvas colour of the clock text for the document's clock options and
  // colour set; a disabled clock is light grey.
  static COLORREF ClockColour(std::int32_t style, std::int32_t colour, std::int32_t colourSet);
  // Where a clock text `textWidth` wide starts across a panel by the clock
  // alignment (0 left, 2 right, anything else centred). The panel draws its
  // own clock by the same rule.
  static std::int64_t LeftAcross(std::int32_t align, std::int64_t panelWidth, std::int64_t textWidth);

  // The box a clock text of size `extent` covers: across the panel by the
  // alignment, from the clock's top edge down.
  CRect TextBox(const ClockSettings& settings, CSize extent) const;
  // Puts the clock's box around a text of size `extent` (TextBox), keeping
  // its top edge; an empty text keeps the bottom edge too.
  void Place(const ClockSettings& settings, CSize extent);

  // Where the panel shows a clock whose top edge is `top`, in a font
  // `fontHeight` high: the frame and word row that hold the middle of its
  // text cell. Nothing for a document without a frame height.
  static std::optional<ClockPosition> PositionOnPanel(std::int32_t top, std::int32_t fontHeight,
                                                      const ClockSettings& settings);
  // The 1-based frame PositionOnPanel finds for this clock, not limited to
  // the 255 frames the document can hold; 0 without a frame height.
  std::int64_t FrameIn(const ClockSettings& settings, std::int32_t fontHeight) const;

  std::int32_t m_nColourSet = 0;  // the document's colour set; not stored
  static constexpr std::array<std::string_view, 7> m_strDayName = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr std::array<std::string_view, 7> m_strDayNameCn = {"日", "一", "二", "三", "四", "五", "六"};
};

// Whether `unit` is the clock (a document holds at most one).
inline bool IsClock(const CUnit& unit) { return ObjectCast<CTimer>(&unit) != nullptr; }

}  // namespace lumetra
