#pragma once
// The unit classes an archive may hold, and the unit array as documents and
// the clipboard store it: a count, then every unit with its class record or
// class tag, in painting order.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/archive/archive.h"
#include "platform/archive/class_registry.h"
#include "units/unit.h"

namespace lumetra {

// Every class a document may hold.
const ClassRegistry& UnitClasses();

// A unit whose bytes could not be read as they were stored. The unit stays
// in the array (a picture then empty), so the rest still loads.
struct UnitReadProblem {
  std::size_t unit;  // index in the unit array
  std::string reason;
};

// `units` is a range of unit pointers (plain or owning), first to last.
template <class Units>
void WriteUnitArray(CArchive& ar, const Units& units) {
  ar.WriteCount(static_cast<std::uint32_t>(units.size()));
  ar.ReserveObjects(units.size());
  for (const auto& unit : units) ar.WriteObject(&*unit);
}

// Reads a unit array; what could not be read as stored goes to `problems`.
// `settle`, when given, is called with every unit right after it is read,
// while the unit is still in the cache (cheaper than a later pass over a large
// array). Throws ArchiveError for bytes that are no unit array (a null entry
// among them).
std::vector<std::unique_ptr<CUnit>> ReadUnitArray(CArchive& ar, std::vector<UnitReadProblem>& problems,
                                                  const std::function<void(CUnit&)>& settle = {});

}  // namespace lumetra
