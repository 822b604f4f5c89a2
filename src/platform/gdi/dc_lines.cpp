// Lines: one-pixel ("cosmetic") pens step pixel by pixel with the dash
// pattern; wider pens become a covered area filled once.

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/wide_stroke.h"

namespace lumetra {
namespace {

// On/off runs of the styled one-pixel pens, counted along the major axis.
struct DashPattern {
  std::uint32_t onMask[24 / 32 + 1];  // bit i set: step i of the period is "on"
  int period;
};

constexpr DashPattern MakePattern(std::initializer_list<int> runs) {
  DashPattern p{{0}, 0};
  bool on = true;
  for (int run : runs) {
    for (int i = 0; i < run; ++i, ++p.period) {
      if (on) p.onMask[0] |= 1u << p.period;
    }
    on = !on;
  }
  return p;
}

const DashPattern* PatternFor(int style) {
  static constexpr DashPattern kDash = MakePattern({18, 6});
  static constexpr DashPattern kDot = MakePattern({3, 3});
  static constexpr DashPattern kDashDot = MakePattern({9, 6, 3, 6});
  static constexpr DashPattern kDashDotDot = MakePattern({9, 3, 3, 3, 3, 3});
  switch (style) {
    case PS_DASH: return &kDash;
    case PS_DOT: return &kDot;
    case PS_DASHDOT: return &kDashDot;
    case PS_DASHDOTDOT: return &kDashDotDot;
    default: return nullptr;
  }
}

// ceil(a / b) for b > 0.
std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  return (a % b != 0 && a > 0) ? q + 1 : q;
}

// Walks the pixels of one-pixel segments, the pattern running on from one
// segment to the next.
class CosmeticStroker {
 public:
  CosmeticStroker(CDC& dc, const CPen& pen, std::uint32_t bkPixel, bool opaqueGaps)
      : dc_(dc),
        penPixel_(PixelFromColor(pen.GetLogPen().lopnColor)),
        bkPixel_(bkPixel),
        pattern_(PatternFor(pen.GetLogPen().lopnStyle)),
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
    if (kFirst <= kLast) {
      // minor(k) = minor0 + ceil((2k * minorDelta - steps) / (2 steps)), kept as q and remainder r.
      std::int64_t denom = 2 * steps, stride = 2 * minorDelta;
      std::int64_t v = 2 * kFirst * minorDelta - steps;
      std::int64_t q = CeilDiv(v, denom);
      std::int64_t r = q * denom - v;  // 0 <= r < denom
      for (std::int64_t k = kFirst; k <= kLast; ++k) {
        std::int64_t major = major0 + k * majorStep, minor = minor0 + q;
        Plot(xMajor ? major : minor, xMajor ? minor : major, phase_ + k);
        r -= stride;
        while (r < 0) { ++q; r += denom; }
        while (r >= denom) { --q; r -= denom; }
      }
    }
    phase_ += steps;
  }

 private:
  void Plot(std::int64_t x, std::int64_t y, std::int64_t step) {
    if (y < INT32_MIN || y > INT32_MAX) return;
    if (pattern_ == nullptr || (pattern_->onMask[0] >> (step % pattern_->period)) & 1) {
      dc_.PaintPixel(int(x), int(y), penPixel_);
    } else if (opaqueGaps_) {
      dc_.PaintPixel(int(x), int(y), bkPixel_);
    }
  }

  CDC& dc_;
  std::uint32_t penPixel_;
  std::uint32_t bkPixel_;
  const DashPattern* pattern_;
  bool opaqueGaps_;
  std::int64_t phase_ = 0;
};

}  // namespace

void CDC::StrokePath(std::span<const CPoint> points, bool closed) {
  const CPen& pen = *pen_;
  if (pen.IsNull() || points.empty()) return;
  int width = pen.DeviceWidth();
  if (width > 1) {
    // Wide pens are solid whatever their style.
    PaintSpans(WideStrokeSpans(points, closed, width, drawable_), PixelFromColor(pen.GetLogPen().lopnColor));
    return;
  }
  CosmeticStroker stroker(*this, pen, PixelFromColor(bkColor_), bkMode_ == OPAQUE);
  for (std::size_t i = 0; i + 1 < points.size(); ++i) stroker.Segment(points[i], points[i + 1]);
  if (closed && points.size() > 1) stroker.Segment(points.back(), points.front());
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
  std::vector<CPoint> device(points.size());
  std::transform(points.begin(), points.end(), device.begin(), [&](CPoint p) { return LPtoDP(p); });
  StrokePath(device, false);
  return true;
}

}  // namespace lumetra
