#include "units/draw_context.h"

namespace lumetra {

std::int32_t ClockFontHeight() {
  Bitmap32 nowhere;
  const CDC dc(nowhere);
  TEXTMETRIC metrics;
  return dc.GetTextMetrics(metrics) ? metrics.tmHeight : 0;
}

CSize ClockTextExtent(std::string_view text) {
  Bitmap32 nowhere;
  const CDC dc(nowhere);
  return dc.GetTextExtent(text);
}

}  // namespace lumetra
