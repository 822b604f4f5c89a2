#include "platform/gdi/dib_rle.h"

#include <algorithm>

namespace lumetra {
namespace {

constexpr std::uint8_t kEndOfLine = 0;
constexpr std::uint8_t kEndOfPicture = 1;
constexpr std::uint8_t kMove = 2;

}  // namespace

RleRows::RleRows(std::span<const std::uint8_t> stream, int bitCount, int width, int height)
    : stream_(stream), bitCount_(bitCount), height_(height) {
  const std::size_t size = stream.size();
  // Wide enough that a move near the largest width or height cannot overflow.
  std::int64_t x = 0, row = 0;
  // The line piece painted since the last escape: [left, right) of `row`.
  std::int64_t left = 0, right = 0;
  auto paint = [&](std::uint8_t count, std::uint32_t source, bool literal) {
    const std::int64_t n = std::min<std::int64_t>(count, width - x);
    if (n == 0) return;
    std::int64_t end = x + n;
    // Runs, and literals that start on a byte boundary, are written in
    // whole bytes: ending mid-byte sets the pixel after the end too.
    const bool wholeBytes = !literal || x % 2 == 0;
    if (bitCount == 4 && end % 2 == 1 && wholeBytes && end < width) ++end;
    pieces_.push_back({std::int32_t(row), std::int32_t(x), std::int32_t(end), source, literal});
    x += n;
    right = x;
  };

  std::size_t i = 0;
  while (i + 1 < size) {
    const std::uint8_t count = stream[i], data = stream[i + 1];
    i += 2;
    if (count != 0) {
      paint(count, data, false);
      continue;
    }
    if (data > kMove) {
      const std::size_t bytes = (std::size_t(data) * std::size_t(bitCount) + 7) / 8;
      if (bytes > size - i) break;
      paint(data, std::uint32_t(bitCount == 8 ? i : 2 * i), true);
      i += (bytes + 1) & ~std::size_t(1);
      continue;
    }
    if (left != right) painted_.Add(std::int32_t(height - 1 - row), std::int32_t(left), std::int32_t(right));
    if (data == kEndOfPicture) break;
    if (data == kEndOfLine) {
      x = 0;
      ++row;
    } else {
      if (i + 1 >= size) break;
      x = std::min<std::int64_t>(x + stream[i], width);
      row += stream[i + 1];
      i += 2;
    }
    left = right = x;
    if (row >= height) break;
  }
  painted_.Normalize();
}

std::uint8_t RleRows::Index(const Piece& piece, std::uint32_t k) const {
  if (!piece.literal) {
    if (bitCount_ == 8) return std::uint8_t(piece.source);
    return std::uint8_t(k % 2 == 0 ? piece.source >> 4 : piece.source & 15);
  }
  if (bitCount_ == 8) return stream_[piece.source + k];
  const std::uint32_t nibble = piece.source + k;
  const std::uint8_t byte = stream_[nibble / 2];
  return std::uint8_t(nibble % 2 == 0 ? byte >> 4 : byte & 15);
}

void RleRows::ReadRow(int y, int x0, int x1, const std::uint32_t* colours, std::uint32_t* out) const {
  std::fill(out, out + (x1 - x0), colours[0]);
  const std::int32_t row = height_ - 1 - y;
  auto first = std::partition_point(pieces_.begin(), pieces_.end(), [row](const Piece& p) { return p.row < row; });
  for (auto p = first; p != pieces_.end() && p->row == row; ++p) {
    const std::int32_t from = std::max(x0, p->x0), to = std::min(x1, p->end);
    for (std::int32_t x = from; x < to; ++x) out[x - x0] = colours[Index(*p, std::uint32_t(x - p->x0))];
  }
}

}  // namespace lumetra
