#pragma once
// The pixel rows of a run-length encoded DIB (BI_RLE8, BI_RLE4), decoded as
// GDI decodes them for StretchDIBits.
//
// The stream describes rows from the bottom up. A pair (n, v) with n > 0
// paints n pixels: v itself with 8 bits, v's high and low nibbles in turn
// with 4. The escapes are (0, 0) end of line, (0, 1) end of picture,
// (0, 2, dx, dy) move right by dx and up by dy, and (0, n >= 3) followed by
// n literal pixels, padded to an even number of bytes. Pixels past the right
// edge are dropped and a move stops at the edge; a move or a line end past
// the top row, an end of picture, or a stream that runs out (a literal
// included) ends decoding with whatever was painted so far.
//
// GDI shows the result in one of two ways:
//  - copied at its own size from its origin, only the pixels of line pieces
//    that an escape closed are painted (Painted()); everything else,
//    including the last piece when the stream stops without an escape, keeps
//    what was underneath;
//  - otherwise every pixel is drawn from its decoding buffer (ReadRow()),
//    where pixels no run reached hold colour index 0. GDI writes 4-bit runs,
//    and literals that start on a byte boundary, in whole bytes, so one that
//    ends in the middle of a byte also sets the pixel after it: the next
//    nibble of the run's pair, or the literal's padding nibble.
//
// The stream is parsed once into pieces of rows and a row is expanded only
// when asked for, so memory grows with the stream, never with the picture's
// area, and nothing is read outside the stream.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/gdi/spans.h"

namespace lumetra {

class RleRows {
 public:
  // bitCount is 4 or 8; width and height are positive. The stream must
  // outlive the object.
  RleRows(std::span<const std::uint8_t> stream, int bitCount, int width, int height);

  // Colours of pixels [x0, x1) of row y (the top row is 0) from the decoding
  // buffer, each colour-table index looked up in `colours` (256 entries).
  void ReadRow(int y, int x0, int x1, const std::uint32_t* colours, std::uint32_t* out) const;

  // The pixels painted when the picture is copied at its own size, in
  // picture coordinates (top row 0); normalised.
  const SpanSet& Painted() const { return painted_; }

 private:
  // Pixels [x0, end) of one row, as one run or literal wrote them; end may
  // include the extra nibble.
  struct Piece {
    std::int32_t row;  // counted from the bottom, as the stream counts
    std::int32_t x0;
    std::int32_t end;
    std::uint32_t source;  // a run's pixel byte, or a literal's first pixel (a byte or nibble index into the stream)
    bool literal;
  };
  std::uint8_t Index(const Piece& piece, std::uint32_t k) const;

  std::span<const std::uint8_t> stream_;
  int bitCount_;
  int height_;
  std::vector<Piece> pieces_;  // in stream order, so by row from the bottom and by x within a row
  SpanSet painted_;
};

}  // namespace lumetra
