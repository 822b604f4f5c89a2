#include "view/unit_bounds_cache.h"

#include "units/timer.h"

namespace lumetra {

CRect PaintBoxAtAnyTime(const CUnit& unit, std::int32_t canvasWidth) {
  const CRect bounds = unit.Bounds();
  if (!IsClock(unit) || bounds.IsEmpty()) return bounds;
  return bounds.Union({0, bounds.top, canvasWidth, bounds.bottom});
}

const CRect& UnitBoundsCache::BoxOf(const CUnit& unit, std::int32_t canvasWidth) {
  const auto [at, added] = boxes_.try_emplace(&unit);
  if (added) at->second = PaintBoxAtAnyTime(unit, canvasWidth);
  return at->second;
}

const CRect& UnitBoundsCache::Refresh(const CUnit& unit, std::int32_t canvasWidth) {
  return boxes_[&unit] = PaintBoxAtAnyTime(unit, canvasWidth);
}

}  // namespace lumetra
