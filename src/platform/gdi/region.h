#pragma once
// Regions for hit tests, fills and clipping, in device pixels. A pixel is in
// a region when its top-left lattice point is inside (left and top edges
// included, right and bottom excluded). Polygon regions answer hit tests from
// their outline, so huge coordinates cost no memory; their pixel spans are
// made on demand within kRegionLimit of the origin.

#include <functional>
#include <optional>
#include <span>

#include "platform/gdi/spans.h"
#include "platform/types.h"

namespace lumetra {

enum class PolyFillMode { Alternate = 1, Winding = 2 };

class CRgn {
 public:
  static constexpr std::int32_t kRegionLimit = 1 << 18;

  static CRgn CreatePolygonRgn(std::span<const CPoint> points, PolyFillMode mode);
  static CRgn CreateRectRgn(int l, int t, int r, int b);
  // One pixel narrower and shorter than Ellipse() with the same box.
  static CRgn CreateEllipticRgn(int l, int t, int r, int b);
  static CRgn CreateRoundRectRgn(int l, int t, int r, int b, int ew, int eh);
  static CRgn FromSpans(SpanSet spans);

  bool PtInRegion(std::int32_t x, std::int32_t y) const;
  // All covered pixels (polygon regions: within kRegionLimit of the origin).
  const SpanSet& Spans() const;
  // The covered pixels inside `area` only: what drawing and clipping need.
  SpanSet SpansWithin(const CRect& area) const;
  // Bounding box of the covered pixels; empty (all zero) for an empty region.
  CRect GetRgnBox() const { return Spans().Bounds(); }
  // 1 empty, 2 one rectangle, 3 anything else (as GetRgnBox reports it).
  int Complexity() const;

 private:
  CPointArray vertices_;  // a polygon region; empty for span regions
  PolyFillMode mode_ = PolyFillMode::Alternate;
  mutable std::optional<SpanSet> spans_;
};

// The pixel spans of a polygon's interior by the rule above, on the rows
// firstRow <= y < endRow and the columns within ±kRegionLimit.
SpanSet ScanConvertPolygon(std::span<const CPoint> points, PolyFillMode mode, std::int32_t firstRow,
                           std::int32_t endRow);
// The same spans handed to span(y, x0, x1) as they are found, row by row and
// left to right (spans of a row may touch), for callers that merge them anyway.
void ForEachPolygonSpan(std::span<const CPoint> points, PolyFillMode mode, std::int32_t firstRow, std::int32_t endRow,
                        const std::function<void(std::int32_t, std::int32_t, std::int32_t)>& span);

}  // namespace lumetra
