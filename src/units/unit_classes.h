#pragma once
// The unit classes an archive may hold, and the unit array as documents and
// the clipboard store it: a count, then every unit with its class record or
// class tag, in painting order.

#include <cstddef>
#include <cstdint>
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
// `settle(CUnit&)` is called with every unit right after it is read, while the
// unit is still in the cache (cheaper than a later pass over a large array).
// Throws ArchiveError for bytes that are no unit array (a null entry among them).
template <class Settle>
std::vector<std::unique_ptr<CUnit>> ReadUnitArray(CArchive& ar, std::vector<UnitReadProblem>& problems,
                                                  Settle&& settle) {
  // The smallest entry is a two-byte tag.
  constexpr std::size_t kMinObjectBytes = 2;
  const std::uint32_t count = ar.ReadBoundedCount(kMinObjectBytes);
  std::vector<std::unique_ptr<CUnit>> units;
  units.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = ar.Input().Position();
    std::unique_ptr<CObject> object = ar.ReadOwnedObject();
    if (!object) throw ArchiveError(ArchiveFailure::BadIndex, "a null entry in the unit array", at);
    if (ar.HasReadProblems()) {
      for (std::string& reason : ar.TakeReadProblems()) problems.push_back({i, std::move(reason)});
    }
    // Every registered class is a unit, so this cast cannot fail.
    units.emplace_back(static_cast<CUnit*>(object.release()));
    settle(*units.back());
  }
  return units;
}

// ReadUnitArray with nothing more to do for each unit.
inline std::vector<std::unique_ptr<CUnit>> ReadUnitArray(CArchive& ar, std::vector<UnitReadProblem>& problems) {
  return ReadUnitArray(ar, problems, [](CUnit&) {});
}

}  // namespace lumetra
