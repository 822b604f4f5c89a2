#include "view/unit_bounds_cache.h"

#include "units/unit.h"

namespace lumetra {

const CRect& UnitBoundsCache::BoundsOf(const CUnit& unit) {
  const auto [at, added] = boxes_.try_emplace(&unit);
  if (added) at->second = unit.Bounds();
  return at->second;
}

const CRect& UnitBoundsCache::Refresh(const CUnit& unit) { return boxes_[&unit] = unit.Bounds(); }

}  // namespace lumetra
