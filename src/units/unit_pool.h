#pragma once
// Memory for units. Opening a document makes one unit for each it holds, and
// closing it or loading another frees them all again: in the general heap a
// document of 100,000 units spent about a third of its loading time making
// them. Units therefore take slots of a few sizes from a pool that keeps
// freed slots on lists and never gives memory back, so the memory of the
// most units alive at once stays ready for the next document.
//
// Each thread keeps its own lists and takes no lock. A unit may be freed on
// another thread than the one that made it: its slot joins that thread's
// lists. Blocks larger than any unit go to the general heap.

#include <cstddef>

namespace lumetra::unit_pool {

void* Allocate(std::size_t bytes);
// `bytes` as given to Allocate.
void Free(void* block, std::size_t bytes) noexcept;

}  // namespace lumetra::unit_pool
