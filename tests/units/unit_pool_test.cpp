#include "units/unit_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace lumetra {
namespace {

struct Block {
  std::uint8_t* at;
  std::size_t bytes;
  std::uint8_t fill;
};

// Blocks of unit sizes, and one larger than any slot, are freed and taken
// again in turn, across threads too: no live block may share a byte with
// another, and each keeps what was written into it.
TEST(UnitPool, LiveBlocksNeverShareMemoryWhateverTheirSizeAndThread) {
  const std::size_t sizes[] = {1, 16, 264, 272, 280, 328, 368, 512, 513, 4096};
  std::vector<Block> live;
  std::uint8_t fill = 0;
  const auto take = [&](std::size_t bytes) {
    auto* at = static_cast<std::uint8_t*>(unit_pool::Allocate(bytes));
    std::memset(at, ++fill, bytes);
    live.push_back({at, bytes, fill});
  };
  for (int round = 0; round < 50; ++round) {
    for (std::size_t bytes : sizes) take(bytes);
  }
  // Every other block is freed, half of them on another thread.
  std::vector<Block> freedHere, freedThere, kept;
  for (std::size_t i = 0; i < live.size(); ++i) {
    if (i % 2 == 1) {
      kept.push_back(live[i]);
    } else {
      (i % 4 == 0 ? freedHere : freedThere).push_back(live[i]);
    }
  }
  for (const Block& b : freedHere) unit_pool::Free(b.at, b.bytes);
  std::thread([&] {
    for (const Block& b : freedThere) unit_pool::Free(b.at, b.bytes);
  }).join();
  live = kept;
  for (int round = 0; round < 60; ++round) {
    for (std::size_t bytes : sizes) take(bytes);
  }

  std::vector<std::pair<std::uintptr_t, std::uintptr_t>> ranges;
  for (const Block& b : live) {
    for (std::size_t k = 0; k < b.bytes; ++k) ASSERT_EQ(b.at[k], b.fill) << b.bytes << " bytes";
    ranges.push_back({std::uintptr_t(b.at), std::uintptr_t(b.at) + b.bytes});
  }
  std::sort(ranges.begin(), ranges.end());
  for (std::size_t i = 1; i < ranges.size(); ++i) EXPECT_LE(ranges[i - 1].second, ranges[i].first);
  for (const Block& b : live) unit_pool::Free(b.at, b.bytes);
}

}  // namespace
}  // namespace lumetra
