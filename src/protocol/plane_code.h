#pragma once
// The code of packed picture data: plane bytes as literals and as copies of
// bytes that came before them in the planes, also in earlier commands, so a
// dark stretch, a row like the one above it or a repeated glyph costs a few
// bytes. The code is a row of sequences, each:
//
//   token            1 byte: high nibble the literal count, low nibble the
//                    copy length − 4
//   [more literals]  when the high nibble is 15: bytes added to the count,
//                    up to and including the first below 255
//   literals         that many bytes, as they are
//   distance D       2 bytes, little-endian, 1..65535
//   [more length]    when the low nibble is 15: bytes added to the length,
//                    as for the literals
//
// The last sequence may end after its literals, with no copy. A copy takes
// its bytes one after another from D bytes back, so D below the length
// repeats them (D = 1: a run of one byte); it may reach back only into plane
// bytes that precede it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lumetra::protocol {

struct PackedPiece {
  std::vector<std::uint8_t> code;
  std::size_t count = 0;  // plane bytes the code stands for
};

// Packs planes piece by piece, each piece in order from where the last ended;
// the bytes before a piece are what its copies may reach back into.
class PlaneEncoder {
 public:
  explicit PlaneEncoder(std::span<const std::uint8_t> planes);

  // As many plane bytes from `from` on as fit into `capacity` bytes of code.
  PackedPiece Pack(std::size_t from, std::size_t capacity);

 private:
  struct Match {
    std::size_t length = 0;
    std::size_t distance = 0;
  };
  // The longest earlier bytes like those at `at`, at most `most` long.
  Match LongestMatch(std::size_t at, std::size_t most) const;
  void Index(std::size_t upTo);

  std::span<const std::uint8_t> planes_;
  std::vector<std::int32_t> head_;      // by hash of four bytes: the latest position indexed
  std::vector<std::int32_t> previous_;  // by position, modulo its size: the position before, of the same hash
  std::size_t indexed_ = 0;
};

// Decodes `code` into planes[offset, offset + count). False, with the planes
// untouched, when the code is cut off, stands for more or fewer bytes, or
// copies from before the planes' start.
bool UnpackPlaneCode(std::span<const std::uint8_t> code, std::span<std::uint8_t> planes, std::size_t offset,
                     std::size_t count);

}  // namespace lumetra::protocol
