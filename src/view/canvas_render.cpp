#include "view/canvas_render.h"

#include "document/document.h"
#include "document/panel_settings.h"
#include "units/text.h"
#include "units/unit.h"
#include "units/unit_geometry.h"
#include "view/unit_bounds_cache.h"

namespace lumetra {
namespace {

bool Meets(const CRect& a, const CRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// `box` one LED larger on every side.
CRect Outset(const CRect& box) {
  return {SaturateToInt(std::int64_t(box.left) - 1), SaturateToInt(std::int64_t(box.top) - 1),
          SaturateToInt(std::int64_t(box.right) + 1), SaturateToInt(std::int64_t(box.bottom) + 1)};
}

// Whether the unit shows its handles, rather than a selection frame, when selected.
bool ShowsHandles(const CUnit& unit, const CUnit* current) { return !current || &unit == current; }

}  // namespace

void RenderCanvas(const CTessaraDoc& doc, CDC& dc, const LocalTime& time, const std::optional<CRect>& clip,
                  bool withHandles, const CUnit* current, std::int64_t handleReach, UnitBoundsCache* bounds) {
  DCStateGuard restore(dc);
  dc.SetClipRect(clip);
  const CRect area = dc.DrawableBounds();
  if (area.Width() <= 0 || area.Height() <= 0) return;

  // Only the part that will be seen is cleared: a clipped repaint must not
  // cost a pass over the whole bitmap.
  const CPoint corner = dc.DPtoLP({area.left, area.top});
  dc.FillSolidRect(corner.x, corner.y, area.Width(), area.Height(), kCanvasBackground);

  const std::int64_t frameHeight = std::int64_t(doc.m_nHeightWords) * kWordPixels;
  const std::int64_t panelWidth = std::int64_t(doc.m_nWidthWords) * kWordPixels;
  if (frameHeight > 0 && panelWidth > 0) {
    CPen separator(PS_SOLID, 1, kFrameSeparatorColour);
    CPen* previous = dc.SelectObject(&separator);
    dc.SetROP2(R2_COPYPEN);
    for (std::int64_t k = 1; k < doc.m_nFrames; ++k) {
      const std::int64_t y = k * frameHeight;
      if (y > CDC::kDeviceLimit) break;
      const int row = dc.LPtoDP({0, int(y)}).y;
      if (row < area.top) continue;
      if (row >= area.bottom) break;
      dc.MoveTo(0, int(y));
      dc.LineTo(int(std::min<std::int64_t>(panelWidth, CDC::kDeviceLimit)), int(y));
    }
    dc.SelectObject(previous);
  }

  DrawUnits(doc, dc, time, withHandles, current, handleReach, bounds);
}

void DrawUnits(const CTessaraDoc& doc, CDC& dc, const LocalTime& time, bool withHandles, const CUnit* current,
               std::int64_t handleReach, UnitBoundsCache* bounds) {
  const DrawContext context = doc.DrawContextAt(time);
  const CRect area = dc.DrawableBounds();
  const CPoint from = dc.DPtoLP({area.left, area.top}), to = dc.DPtoLP({area.right, area.bottom});
  // What this paint shows, in logical coordinates, one LED wider for the frames round boxes.
  const CRect repainted{from.x - 1, from.y - 1, SaturateToInt(std::int64_t(to.x) + 1),
                        SaturateToInt(std::int64_t(to.y) + 1)};
  const std::int32_t canvasWidth = doc.CanvasPixels().cx;
  for (const auto& owned : doc.m_units) {
    const CUnit& unit = *owned;
    // Without kept boxes every unit is drawn, and clipping keeps it to the area.
    const bool meets = !bounds || Meets(bounds->BoxOf(unit, canvasWidth), repainted);
    if (meets) unit.Draw(dc, context);
    if (!withHandles) continue;
    if (unit.m_bSelected) {
      if (ShowsHandles(unit, current)) {
        unit.DrawHandles(dc, handleReach);
      } else if (meets) {
        DrawSelectionFrame(dc, unit.Bounds());
      }
    }
    // Over the handles' frame, so that it shows on a selected text too. The
    // frame goes round the box, which may be empty.
    const auto* text = ObjectCast<CText>(&unit);
    if (text && Meets(Outset(text->BoxRect()), repainted) && text->ClippedCharacters(1) > 0) {
      DrawClippedTextFrame(dc, text->BoxRect(), doc.CanvasPixels());
    }
  }
}

CRect PaintedBox(const CUnit& unit, const CRect& box, const CUnit* current, std::int64_t handleReach) {
  CRect painted = box;
  if (unit.m_bSelected) {
    painted = painted.Union(ShowsHandles(unit, current) ? unit.Handles(handleReach).Bounds() : SelectionFrameBox(box));
  }
  if (const auto* text = ObjectCast<CText>(&unit)) painted = painted.Union(Outset(text->BoxRect()));
  return painted;
}

void DrawClippedTextFrame(CDC& dc, const CRect& box, CSize canvas) {
  CPen pen(PS_SOLID, 1, kClippedTextColour);
  DCStateGuard restore(dc);
  dc.SetROP2(R2_COPYPEN);
  dc.SelectObject(&pen);
  dc.SelectObject(&StockNullBrush());
  // Round the box, so that the LEDs on its edges stay visible, but on the box's
  // own edge where round it would leave the canvas (a text filling the panel).
  const auto outside = [](std::int32_t v, std::int64_t step) { return SaturateToInt(std::int64_t(v) + step); };
  dc.Rectangle(std::max(outside(box.left, -1), 0), std::max(outside(box.top, -1), 0),
               std::min(outside(box.right, 1), canvas.cx), std::min(outside(box.bottom, 1), canvas.cy));
}

void DrawSelectionFrame(CDC& dc, const CRect& box) {
  if (box.IsEmpty()) return;
  CPen dotted(PS_DOT, 1, kSelectionFrameColour);
  DCStateGuard restore(dc);
  dc.SetROP2(R2_COPYPEN);
  dc.SetBkMode(TRANSPARENT);
  dc.SelectObject(&dotted);
  dc.SelectObject(&StockNullBrush());
  const CRect frame = Outset(box);
  dc.Rectangle(frame.left, frame.top, frame.right, frame.bottom);
}

CRect SelectionFrameBox(const CRect& box) { return box.IsEmpty() ? CRect{} : Outset(box); }

}  // namespace lumetra
