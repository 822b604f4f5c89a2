#include "units/pixel_plot.h"

#include <algorithm>

namespace lumetra {

void PlotDiagonalRun(CDC& dc, std::int64_t x, std::int64_t y, std::int64_t length, int yStep, COLORREF colour) {
  if (length <= 0) return;
  const CRect& area = dc.DrawableBounds();
  // Device position of the run's first pixel, in 64 bits (origins may push it far out).
  const std::int64_t deviceX = x - dc.GetWindowOrg().x + dc.GetViewportOrg().x;
  const std::int64_t deviceY = y - dc.GetWindowOrg().y + dc.GetViewportOrg().y;
  std::int64_t first = std::max<std::int64_t>(0, area.left - deviceX);
  std::int64_t last = std::min<std::int64_t>(length - 1, std::int64_t(area.right) - 1 - deviceX);
  if (yStep > 0) {
    first = std::max<std::int64_t>(first, area.top - deviceY);
    last = std::min<std::int64_t>(last, std::int64_t(area.bottom) - 1 - deviceY);
  } else {
    first = std::max<std::int64_t>(first, deviceY - (std::int64_t(area.bottom) - 1));
    last = std::min<std::int64_t>(last, deviceY - area.top);
  }
  for (std::int64_t i = first; i <= last; ++i) dc.SetPixel(int(x + i), int(y + i * yStep), colour);
}

}  // namespace lumetra
