#pragma once
// The canvas as the editing view paints it, one pixel per LED: a black field,
// a blue line between neighbouring frames across the panel width, and the
// units in painting order (index 0 at the bottom).

#include <climits>
#include <cstdint>
#include <optional>

#include "platform/gdi/dc.h"
#include "platform/local_time.h"
#include "platform/types.h"
#include "render/picture.h"

namespace lumetra {

class CTessaraDoc;
class CUnit;
class UnitBoundsCache;

inline constexpr COLORREF kFrameSeparatorColour = 0x00FF0000;
inline constexpr COLORREF kSelectionFrameColour = 0x00FFFF00;
// The frame of a text whose box cuts characters off: a colour no panel shows.
inline constexpr COLORREF kClippedTextColour = 0x00FF00FF;

// Paints the canvas of `doc` into `dc` in the DC's logical coordinates (the
// view's memory DC keeps the default mapping, so a unit point is a pixel).
// With `clip` (device pixels) only that rectangle is painted and its pixels
// are those of a full paint; the rest of the bitmap is not touched, and the
// work done is that of the clipped area. Everything the bitmap holds inside
// the clip that lies off the canvas is black too. With `withHandles` every
// selected unit shows its handles right after it is drawn, so a later unit
// covers them. The clock shows `time`. Nothing of the document changes; the
// DC's state is the same afterwards.
// With a `current` unit among several selected ones, only it shows its
// handles and the others a dotted frame round their painted box. With
// `withHandles` a text whose box cuts characters off shows that box in
// kClippedTextColour, selected or not.
// Handle squares reach at most `handleReach` LEDs from their centres.
// With `bounds` a unit whose box there does not meet the painted area is
// not drawn at all: the boxes must be those of the units as they are.
void RenderCanvas(const CTessaraDoc& doc, CDC& dc, const LocalTime& time, const std::optional<CRect>& clip,
                  bool withHandles, const CUnit* current = nullptr, std::int64_t handleReach = INT64_MAX,
                  UnitBoundsCache* bounds = nullptr);

// The units alone, first to last, each with its handles right after it when
// selected and `withHandles`; no background, no separators.
void DrawUnits(const CTessaraDoc& doc, CDC& dc, const LocalTime& time, bool withHandles, const CUnit* current = nullptr,
               std::int64_t handleReach = INT64_MAX, UnitBoundsCache* bounds = nullptr);

// The box of every pixel RenderCanvas with handles paints for `unit`, whose
// own pixels lie in `box` (which holds its Bounds()): the unit, its handles
// or selection frame when it is selected, and the frame of a text's box
// should it cut characters off.
CRect PaintedBox(const CUnit& unit, const CRect& box, const CUnit* current, std::int64_t handleReach);

// A frame round a text's box in kClippedTextColour, on the box's edge where
// round it would leave a canvas of `canvas` LEDs.
void DrawClippedTextFrame(CDC& dc, const CRect& box, CSize canvas);
// A dotted frame in the handles' colour round `box` (right and bottom edges
// outside), and the box of what it paints.
void DrawSelectionFrame(CDC& dc, const CRect& box);
CRect SelectionFrameBox(const CRect& box);

}  // namespace lumetra
