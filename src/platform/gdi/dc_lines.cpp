// Lines: one-pixel ("cosmetic") pens step pixel by pixel with the dash
// pattern; wider pens become a covered area filled once.

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/int_math.h"
#include "platform/gdi/wide_stroke.h"

namespace lumetra {
namespace {

// On/off runs of a styled one-pixel pen, counted along the major axis,
// with the start of each run for looking up a step.
class DashPattern {
 public:
  explicit DashPattern(const std::vector<std::uint32_t>& runs) : runs_(runs) {
    for (std::uint32_t r : runs) {
      starts_.push_back(period_);
      period_ += r;
    }
  }
  bool Solid() const { return period_ == 0; }

  // Where a step falls: its run and the steps left in that run, itself included.
  struct Position {
    std::size_t run = 0;
    std::uint64_t left = 0;
    bool On() const { return run % 2 == 0; }
  };
  Position At(std::int64_t step) const {
    std::uint64_t s = std::uint64_t(step) % period_;
    auto run = std::size_t(std::upper_bound(starts_.begin(), starts_.end(), s) - starts_.begin() - 1);
    return {run, starts_[run] + runs_[run] - s};
  }
  // A line walks the pattern a step at a time, so it moves on rather than looking each step up.
  void Advance(Position& p) const {
    if (--p.left > 0) return;
    do {
      p.run = (p.run + 1) % runs_.size();
      p.left = runs_[p.run];
    } while (p.left == 0);
  }

 private:
  std::vector<std::uint32_t> runs_;
  std::vector<std::uint64_t> starts_;
  std::uint64_t period_ = 0;
};

// How far the minor coordinate of a one-pixel segment of `steps` major steps,
// which moves `minorDelta` across in all, has moved at step k: the exact
// line's offset rounded to nearest, ties towards the smaller coordinate.
std::int64_t MinorOffsetAt(std::int64_t k, std::int64_t steps, std::int64_t minorDelta) {
  return CeilDiv(2 * k * minorDelta - steps, 2 * steps);
}

// The last pixel a one-pixel pen paints from a towards b (a != b): one major step short of b.
CPoint LastCosmeticPixel(CPoint a, CPoint b) {
  const std::int64_t dx = std::int64_t(b.x) - a.x, dy = std::int64_t(b.y) - a.y;
  const bool xMajor = std::abs(dx) > std::abs(dy);
  const std::int64_t steps = xMajor ? std::abs(dx) : std::abs(dy);
  const std::int64_t minor = MinorOffsetAt(steps - 1, steps, xMajor ? dy : dx);
  if (xMajor) return {int(b.x - (dx < 0 ? -1 : 1)), int(a.y + minor)};
  return {int(a.x + minor), int(b.y - (dy < 0 ? -1 : 1))};
}

CRect PixelBox(CPoint p) { return {p.x, p.y, p.x + 1, p.y + 1}; }

// Walks the pixels of one-pixel segments, the pattern running on from one
// segment to the next.
class CosmeticStroker {
 public:
  CosmeticStroker(CDC& dc, const CPen& pen, std::uint32_t bkPixel, bool opaqueGaps)
      : dc_(dc),
        penMix_(MixFor(dc.GetROP2(), PixelFromColor(pen.GetLogPen().lopnColor))),
        bkMix_(MixFor(dc.GetROP2(), bkPixel)),
        pattern_(pen.DashRuns()),
        opaqueGaps_(opaqueGaps) {}

  // From a to b, b itself left out. On row or column k of the major axis the
  // minor coordinate is the exact line's, rounded to nearest with ties
  // towards the smaller coordinate.
  void Segment(CPoint a, CPoint b) {
    std::int64_t dx = std::int64_t(b.x) - a.x, dy = std::int64_t(b.y) - a.y;
    std::int64_t adx = std::abs(dx), ady = std::abs(dy);
    bool xMajor = adx > ady;
    std::int64_t steps = xMajor ? adx : ady;
    if (steps == 0) return;
    if (steps == 1) {
      // Curved outlines are made of these: the start pixel alone, clipped as it is painted.
      DashPattern::Position dash = DashAt(0);
      Plot(a.x, a.y, dash.On());
      if (!pattern_.Solid()) pattern_.Advance(dash);
      NextSegment(1, dash, true);
      return;
    }
    std::int64_t major0 = xMajor ? a.x : a.y, minor0 = xMajor ? a.y : a.x;
    std::int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    std::int64_t minorDelta = xMajor ? dy : dx;

    // Only the steps whose major coordinate lies on the bitmap can paint.
    const CRect& bounds = dc_.DrawableBounds();
    std::int64_t lo = xMajor ? bounds.left : bounds.top, hi = (xMajor ? bounds.right : bounds.bottom) - 1;
    std::int64_t kFirst, kLast;
    if (majorStep > 0) {
      kFirst = std::max<std::int64_t>(0, lo - major0);
      kLast = std::min<std::int64_t>(steps - 1, hi - major0);
    } else {
      kFirst = std::max<std::int64_t>(0, major0 - hi);
      kLast = std::min<std::int64_t>(steps - 1, major0 - lo);
    }
    DashPattern::Position dash;
    if (kFirst <= kLast) {
      dash = DashAt(kFirst);
      // minor(k) = minor0 + MinorOffsetAt(k), kept as q and remainder r.
      // Segments that start on the bitmap need no division.
      std::int64_t denom = 2 * steps, stride = 2 * minorDelta;
      std::int64_t v = 2 * kFirst * minorDelta - steps;
      std::int64_t q = kFirst == 0 ? 0 : MinorOffsetAt(kFirst, steps, minorDelta);
      std::int64_t r = q * denom - v;  // 0 <= r < denom
      for (std::int64_t k = kFirst; k <= kLast; ++k) {
        std::int64_t major = major0 + k * majorStep, minor = minor0 + q;
        Plot(xMajor ? major : minor, xMajor ? minor : major, dash.On());
        if (!pattern_.Solid()) pattern_.Advance(dash);
        r -= stride;
        while (r < 0) {
          ++q;
          r += denom;
        }
        while (r >= denom) {
          --q;
          r -= denom;
        }
      }
    }
    NextSegment(steps, dash, kFirst <= kLast && kLast == steps - 1);
  }

  // The pixel at `p`, at the pattern's current step.
  void Point(CPoint p) { Plot(p.x, p.y, DashAt(0).On()); }

 private:
  // The pattern's position at step k of the segment.
  DashPattern::Position DashAt(std::int64_t k) const {
    if (pattern_.Solid()) return {};
    return k == 0 && dashAtPhase_ ? *dashAtPhase_ : pattern_.At(phase_ + k);
  }
  // Moves on past a segment of `steps`; `dash` is the position after its last
  // painted step, which is the next segment's start when `walkedToEnd`.
  void NextSegment(std::int64_t steps, const DashPattern::Position& dash, bool walkedToEnd) {
    phase_ += steps;
    dashAtPhase_ = walkedToEnd && !pattern_.Solid() ? std::optional(dash) : std::nullopt;
  }

  // The mixes are worked out once per stroke, not per pixel.
  void Plot(std::int64_t x, std::int64_t y, bool on) {
    if (y < INT32_MIN || y > INT32_MAX) return;
    if (on) {
      dc_.PaintPixel(int(x), int(y), penMix_);
    } else if (opaqueGaps_) {
      dc_.PaintPixel(int(x), int(y), bkMix_);
    }
  }

  CDC& dc_;
  Rop2Mix penMix_;
  Rop2Mix bkMix_;
  DashPattern pattern_;
  bool opaqueGaps_;
  std::int64_t phase_ = 0;
  // The pattern's position at phase_, when a segment walked up to it:
  // outlines of one-pixel segments then never look the pattern up.
  std::optional<DashPattern::Position> dashAtPhase_;
};

}  // namespace

void CDC::StrokePath(std::span<const CPoint> points, bool closed) {
  const CPen& pen = *pen_;
  if (pen.IsNull() || points.empty()) return;
  if (pen.DeviceWidth() > 1) {
    PaintSpans(WideStrokeSpans(points, closed, pen, drawable_), PixelFromColor(pen.GetLogPen().lopnColor));
    return;
  }
  // Gaps of ExtCreatePen pens stay transparent whatever the background mode.
  CosmeticStroker stroker(*this, pen, PixelFromColor(bkColor_), bkMode_ == OPAQUE && !pen.IsExtended());
  for (std::size_t i = 0; i + 1 < points.size(); ++i) stroker.Segment(points[i], points[i + 1]);
  if (closed && points.size() > 1) stroker.Segment(points.back(), points.front());
  // A solid one-pixel geometric pen steps like a cosmetic one but also covers
  // the end point of an open path.
  if (pen.IsGeometric() && pen.DashRuns().empty() && !closed) stroker.Point(points.back());
}

// Each segment paints from its start up to the pixel before its end; a wide
// pen's box comes from the stroke itself.
CRect CDC::StrokeBounds(std::span<const CPoint> points, bool closed) const {
  const CPen& pen = *pen_;
  if (pen.IsNull() || points.empty()) return {};
  if (pen.DeviceWidth() > 1) return WideStrokeBounds(points, pen);
  CRect box;
  auto segment = [&](CPoint a, CPoint b) {
    if (a != b) box = box.Union(PixelBox(a)).Union(PixelBox(LastCosmeticPixel(a, b)));
  };
  for (std::size_t i = 0; i + 1 < points.size(); ++i) segment(points[i], points[i + 1]);
  if (closed && points.size() > 1) segment(points.back(), points.front());
  if (pen.IsGeometric() && pen.DashRuns().empty() && !closed) box = box.Union(PixelBox(points.back()));
  return box;
}

CPoint CDC::MoveTo(int x, int y) { return std::exchange(currentPos_, CPoint{x, y}); }

bool CDC::LineTo(int x, int y) {
  const CPoint path[] = {LPtoDP(currentPos_), LPtoDP({x, y})};
  StrokePath(path, false);
  currentPos_ = {x, y};
  return true;
}

bool CDC::Polyline(std::span<const CPoint> points) {
  if (points.size() < 2) return false;
  StrokePath(ToDevice(points), false);
  return true;
}

CRect CDC::PolylineBounds(std::span<const CPoint> points) const {
  if (points.size() < 2) return {};
  return ToLogical(StrokeBounds(ToDevice(points), false));
}

}  // namespace lumetra
