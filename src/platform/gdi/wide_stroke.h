#pragma once
// The pixels a pen wider than one pixel covers along a path: each segment's
// body, and a round disc at every vertex (round caps and joins, the only kind
// a pen made by CreatePen has). Filled once, so overlaps are painted once.

#include <span>

#include "platform/gdi/spans.h"
#include "platform/types.h"

namespace lumetra {

// Points in device pixels; `limit` bounds the work to the rows and columns that can be drawn.
SpanSet WideStrokeSpans(std::span<const CPoint> points, bool closed, int width, const CRect& limit);

// The pixels of a round pen's disc of `width` pixels centred on the point.
SpanSet PenDisc(CPoint centre, int width);

}  // namespace lumetra
