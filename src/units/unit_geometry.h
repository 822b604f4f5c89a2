#pragma once
// Integer and floating-point helpers of the unit geometry. Loaded documents
// may hold any 32-bit values, so sums saturate instead of overflowing and
// conversions from double are bounded.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>

#include "platform/types.h"

namespace lumetra {

inline std::int32_t SaturateToInt(std::int64_t v) {
  return std::int32_t(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                               std::numeric_limits<std::int32_t>::max()));
}

inline CPoint SaturatedPoint(std::int64_t x, std::int64_t y) { return {SaturateToInt(x), SaturateToInt(y)}; }

// p moved by delta.
inline CPoint Offset(CPoint p, CPoint delta) {
  return SaturatedPoint(std::int64_t(p.x) + delta.x, std::int64_t(p.y) + delta.y);
}

// Every point moved by delta.
inline void OffsetEach(std::span<CPoint> points, CPoint delta) {
  for (CPoint& p : points) p = Offset(p, delta);
}

// r moved by delta.
inline CRect OffsetRect(const CRect& r, CPoint delta) {
  const CPoint topLeft = Offset(CPoint{r.left, r.top}, delta);
  const CPoint bottomRight = Offset(CPoint{r.right, r.bottom}, delta);
  return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

// Truncation toward zero, bounded to the 32-bit range (NaN gives 0).
inline std::int32_t TruncToInt(double v) {
  if (std::isnan(v)) return 0;
  return std::int32_t(std::clamp(std::trunc(v), double(std::numeric_limits<std::int32_t>::min()),
                                 double(std::numeric_limits<std::int32_t>::max())));
}

// Truncated length of the vector (dx, dy).
inline std::int32_t TruncatedDistance(std::int64_t dx, std::int64_t dy) {
  return TruncToInt(std::sqrt(double(dx) * double(dx) + double(dy) * double(dy)));
}

// The midpoint, each coordinate halved with truncation toward zero.
inline CPoint Midpoint(CPoint a, CPoint b) {
  return {std::int32_t((std::int64_t(a.x) + b.x) / 2), std::int32_t((std::int64_t(a.y) + b.y) / 2)};
}

// The smallest rectangle holding every point (its right and bottom edges on
// the outermost points); (0, 0, 0, 0) for none.
inline CRect BoundsOf(std::span<const CPoint> points) {
  if (points.empty()) return {};
  CRect box{points[0].x, points[0].y, points[0].x, points[0].y};
  for (CPoint p : points) {
    box.left = std::min(box.left, p.x);
    box.top = std::min(box.top, p.y);
    box.right = std::max(box.right, p.x);
    box.bottom = std::max(box.bottom, p.y);
  }
  return box;
}

// The path of MoveTo(start) followed by LineTo through every point and to `end`.
inline CPointArray PathThrough(CPoint start, std::span<const CPoint> points, CPoint end) {
  CPointArray path{start};
  path.insert(path.end(), points.begin(), points.end());
  path.push_back(end);
  return path;
}

// A point turned about a centre by the rotation (cos, sin), in doubles.
struct TurnedPoint {
  double x;
  double y;
};
inline TurnedPoint TurnAbout(CPoint centre, double cos, double sin, std::int64_t x, std::int64_t y) {
  double dx = double(x - centre.x), dy = double(y - centre.y);
  return {centre.x + cos * dx - sin * dy, centre.y + sin * dx + cos * dy};
}

// Rounds half up: a fraction of one half or more goes to the next integer.
inline double RoundHalfUpValue(double v) { return v - std::trunc(v) >= 0.5 ? v + 1 : v; }

}  // namespace lumetra

namespace lumetra {

// The turn (cos, sin) of an axis through (xa, ya) and (xb, yb): the slope m
// gives cos = |m| / q and sin = ∓1 / q with q = sqrt(m² + 1); a vertical axis
// counts as a huge slope. Falling slopes (m < 0) give a positive sine and
// rising ones a negative sine; a flat axis (m = 0) goes with the rising ones
// when `flatIsRising`.
struct Turn {
  double cos;
  double sin;
};
inline Turn TurnOfAxis(std::int32_t xa, std::int32_t ya, std::int32_t xb, std::int32_t yb, bool flatIsRising) {
  const double m =
      xa == xb ? 9999999999999.0 : double(std::int64_t(ya) - yb) / double(std::int64_t(xa) - xb);
  const double q = std::sqrt(m * m + 1);
  const bool negativeSine = flatIsRising ? m >= 0 : m > 0;
  return {std::fabs(m) / q, negativeSine ? -1 / q : 1 / q};
}

}  // namespace lumetra
