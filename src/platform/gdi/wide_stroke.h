#pragma once
// The pixels a pen wider than one pixel (or any geometric pen) covers along a
// path: each segment's body, caps at the open ends, joins at the vertices and,
// for dashed geometric pens, only the dashes. Filled once, so overlaps are
// painted once.

#include <span>

#include "platform/gdi/objects.h"
#include "platform/gdi/spans.h"
#include "platform/types.h"

namespace lumetra {

// Points in device pixels; `limit` bounds the work to the rows and columns
// that can be drawn (and a bit of memory for each of its pixels near the
// path). The pen's own caps, joins and geometric dashes apply (a CreatePen
// pen: round caps and joins, solid).
SpanSet WideStrokeSpans(std::span<const CPoint> points, bool closed, const CPen& pen, const CRect& limit);

// The box of the pixels WideStrokeSpans covers along the path, unlimited,
// without working them out: exact for a solid pen with round ends and joins
// (a disc on every point, the segments' bodies within the discs' box), and
// for other pens the reach their stroke is allowed.
CRect WideStrokeBounds(std::span<const CPoint> points, const CPen& pen);

// The pixels of a round pen's disc of `width` pixels centred on the point, within `clip`.
SpanSet PenDisc(CPoint centre, int width, const CRect& clip);

}  // namespace lumetra
