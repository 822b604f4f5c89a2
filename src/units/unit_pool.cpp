#include "units/unit_pool.h"

#include <array>
#include <mutex>
#include <new>
#include <vector>

namespace lumetra::unit_pool {
namespace {

constexpr std::size_t kGranule = alignof(std::max_align_t);
constexpr std::size_t kLargestSlot = 512;
constexpr std::size_t kSlabBytes = 64 * 1024;

struct FreeSlot {
  FreeSlot* next;
};

// A thread's free slots by size class (slot size / kGranule), and what is
// left of the slab it cuts new slots from.
struct ThreadSlots {
  std::array<FreeSlot*, kLargestSlot / kGranule + 1> free{};
  std::byte* cursor = nullptr;
  std::byte* end = nullptr;
};
thread_local ThreadSlots slots;

// Every slab stays reachable for as long as the program runs: a slot may be
// freed into any thread's lists, even while the program ends.
std::byte* NewSlab() {
  static std::mutex mutex;
  static auto* slabs = new std::vector<std::byte*>();
  auto* slab = static_cast<std::byte*>(::operator new(kSlabBytes));
  const std::lock_guard lock(mutex);
  slabs->push_back(slab);
  return slab;
}

std::size_t SizeClass(std::size_t bytes) { return (bytes + kGranule - 1) / kGranule; }

}  // namespace

void* Allocate(std::size_t bytes) {
  if (bytes > kLargestSlot) return ::operator new(bytes);
  const std::size_t sizeClass = SizeClass(bytes);
  if (FreeSlot* slot = slots.free[sizeClass]) {
    slots.free[sizeClass] = slot->next;
    return slot;
  }
  const std::size_t slotBytes = sizeClass * kGranule;
  if (std::size_t(slots.end - slots.cursor) < slotBytes) {
    slots.cursor = NewSlab();  // the old slab's rest, less than one slot, stays unused
    slots.end = slots.cursor + kSlabBytes;
  }
  void* slot = slots.cursor;
  slots.cursor += slotBytes;
  return slot;
}

void Free(void* block, std::size_t bytes) noexcept {
  if (!block) return;
  if (bytes > kLargestSlot) {
    ::operator delete(block);
    return;
  }
  const std::size_t sizeClass = SizeClass(bytes);
  slots.free[sizeClass] = new (block) FreeSlot{slots.free[sizeClass]};
}

}  // namespace lumetra::unit_pool
