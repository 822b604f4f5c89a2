#pragma once
// PackBits, the byte-oriented run-length code of packed picture data: a
// header byte n, then for n = 0..127 the next n + 1 bytes as they are, for
// n = 129..255 the next byte repeated 257 − n times (2..128); n = 128 stands
// for nothing and is skipped. Dark and evenly filled rows of bit planes
// shrink to a few bytes; noise grows by one byte in 128 at worst.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lumetra::protocol {

struct PackedPiece {
  std::vector<std::uint8_t> code;
  std::size_t consumed = 0;  // bytes of the input the code stands for
};

// Packs the input from its start into at most `capacity` bytes of code,
// as much of it as fits.
PackedPiece PackBitsInto(std::span<const std::uint8_t> bytes, std::size_t capacity);

// Unpacks `code` into exactly out.size() bytes. False, with `out` untouched,
// when the code is cut off inside a run, stands for more or fewer bytes, or
// has bytes left over.
bool UnpackBits(std::span<const std::uint8_t> code, std::span<std::uint8_t> out);

}  // namespace lumetra::protocol
