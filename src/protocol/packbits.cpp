#include "protocol/packbits.h"

#include <algorithm>
#include <optional>

namespace lumetra::protocol {
namespace {

constexpr std::size_t kMaxRun = 128;
constexpr std::uint8_t kSkip = 128;

std::size_t RunLength(std::span<const std::uint8_t> bytes, std::size_t at) {
  const std::size_t limit = std::min(bytes.size(), at + kMaxRun);
  std::size_t end = at + 1;
  while (end < limit && bytes[end] == bytes[at]) ++end;
  return end - at;
}

// Walks the code, handing each piece to `literal(at, count)` or
// `run(value, count)`; the number of bytes it stands for, nullopt when it is
// cut off inside a piece or stands for more than `limit`.
template <class Literal, class Run>
std::optional<std::size_t> WalkCode(std::span<const std::uint8_t> code, std::size_t limit, Literal&& literal,
                                    Run&& run) {
  std::size_t made = 0;
  for (std::size_t at = 0; at < code.size();) {
    const std::uint8_t header = code[at++];
    if (header == kSkip) continue;
    if (header < kSkip) {
      const std::size_t count = std::size_t(header) + 1;
      if (count > code.size() - at || count > limit - made) return std::nullopt;
      literal(at, made, count);
      at += count;
      made += count;
    } else {
      const std::size_t count = 257 - std::size_t(header);
      if (at == code.size() || count > limit - made) return std::nullopt;
      run(code[at++], made, count);
      made += count;
    }
  }
  return made;
}

}  // namespace

PackedPiece PackBitsInto(std::span<const std::uint8_t> bytes, std::size_t capacity) {
  PackedPiece piece;
  std::vector<std::uint8_t>& code = piece.code;
  std::size_t at = 0;
  while (at < bytes.size() && code.size() < capacity) {
    const std::size_t run = RunLength(bytes, at);
    if (run >= 2) {
      if (capacity - code.size() < 2) break;
      code.push_back(std::uint8_t(257 - run));
      code.push_back(bytes[at]);
      at += run;
      continue;
    }
    // Bytes as they are, up to the next run worth its two bytes.
    const std::size_t room = std::min(kMaxRun, capacity - code.size() - 1);
    if (room == 0) break;
    std::size_t end = at + 1;
    while (end < bytes.size() && end - at < room && RunLength(bytes, end) < 3) ++end;
    code.push_back(std::uint8_t(end - at - 1));
    code.insert(code.end(), bytes.begin() + std::ptrdiff_t(at), bytes.begin() + std::ptrdiff_t(end));
    at = end;
  }
  piece.consumed = at;
  return piece;
}

bool UnpackBits(std::span<const std::uint8_t> code, std::span<std::uint8_t> out) {
  const auto nothing = [](std::size_t, std::size_t, std::size_t) {};
  const auto ignore = [](std::uint8_t, std::size_t, std::size_t) {};
  // Checked in full first, so a damaged code leaves `out` as it was.
  if (WalkCode(code, out.size(), nothing, ignore) != out.size()) return false;
  WalkCode(
      code, out.size(),
      [&](std::size_t at, std::size_t made, std::size_t count) {
        std::copy_n(code.begin() + std::ptrdiff_t(at), count, out.begin() + std::ptrdiff_t(made));
      },
      [&](std::uint8_t value, std::size_t made, std::size_t count) {
        std::fill_n(out.begin() + std::ptrdiff_t(made), count, value);
      });
  return true;
}

}  // namespace lumetra::protocol
