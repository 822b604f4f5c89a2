#pragma once
// Pixel-by-pixel plotting of the turned ellipses: the midpoint walk of one
// quadrant and the diagonal pixel runs that stand for the pen width.

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "platform/gdi/dc.h"
#include "units/unit_geometry.h"

namespace lumetra {

// Radii beyond this are many times larger than any canvas; such ellipses
// are not plotted, which bounds the walk's length and keeps its products
// within 64 bits.
inline constexpr std::int64_t kMaxPlotRadius = std::int64_t(1) << 20;

// Walks the first quadrant of the ellipse with semi-axes a (along x) and b
// (along y) by the midpoint rule, calling visit(dx, dy) for every offset from
// the centre, starting at (0, b) and ending on dy = 0.
template <class Visit>
void WalkMidpointEllipse(std::int32_t a, std::int32_t b, Visit&& visit) {
  if (std::llabs(a) > kMaxPlotRadius || std::llabs(b) > kMaxPlotRadius) return;
  auto toInt64 = [](double v) { return std::int64_t(std::trunc(v)); };  // |v| stays well below 2^62
  const std::int64_t A = std::int64_t(a) * a, B = std::int64_t(b) * b;
  std::int64_t x = 0, y = b, dx = 0, dy = 2 * A * b;
  visit(x, y);
  std::int64_t p = toInt64(double(B) - double(A) * b + double(A) / 4 + 0.5);
  if (dy > 0) {
    do {
      ++x;
      dx += 2 * B;
      if (p >= 0) {
        --y;
        dy -= 2 * A;
        p += dx - dy + B;
      } else {
        p += dx + B;
      }
      visit(x, y);
    } while (dx < dy);
  }
  p = toInt64(double(B) * (x + 0.5) * (x + 0.5) + double(A) * double(y - 1) * double(y - 1) - double(A) * double(B) +
              0.5);
  while (y > 0) {
    --y;
    dy -= 2 * A;
    if (p > 0) {
      p += A - dy;
    } else {
      ++x;
      dx += 2 * B;
      p += dx - dy + A;
    }
    visit(x, y);
  }
}

// The four mirror images (cx ± dx, cy ± dy) of a walk offset, in the order
// (+, +), (−, +), (+, −), (−, −).
template <class Plot>
void ForEachQuadrant(std::int32_t cx, std::int32_t cy, std::int64_t dx, std::int64_t dy, Plot&& plot) {
  plot(SaturateToInt(cx + dx), SaturateToInt(cy + dy));
  plot(SaturateToInt(cx - dx), SaturateToInt(cy + dy));
  plot(SaturateToInt(cx + dx), SaturateToInt(cy - dy));
  plot(SaturateToInt(cx - dx), SaturateToInt(cy - dy));
}

// SetPixel at (x + i, y + i * yStep) for i = 0 .. length - 1, skipping the
// part of the run that misses the drawable area.
void PlotDiagonalRun(CDC& dc, std::int64_t x, std::int64_t y, std::int64_t length, int yStep, COLORREF colour);

}  // namespace lumetra
