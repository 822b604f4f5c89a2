#pragma once
// The sixteen binary raster operations, bitwise on whole 32-bit pixels:
// result bit = ((rop - 1) >> (2 * pen bit + destination bit)) & 1.

#include <cstdint>

namespace lumetra {

enum : int {
  R2_BLACK = 1, R2_NOTMERGEPEN, R2_MASKNOTPEN, R2_NOTCOPYPEN, R2_MASKPENNOT, R2_NOT, R2_XORPEN, R2_NOTMASKPEN,
  R2_MASKPEN, R2_NOTXORPEN, R2_NOP, R2_MERGENOTPEN, R2_COPYPEN, R2_MERGEPENNOT, R2_MERGEPEN, R2_WHITE,
};

// The operation as D' = (D & and) ^ xor, which depends on the pen pixel only.
struct Rop2Mix {
  std::uint32_t andMask;
  std::uint32_t xorMask;
  std::uint32_t Apply(std::uint32_t d) const { return (d & andMask) ^ xorMask; }
};

constexpr Rop2Mix MixFor(int rop, std::uint32_t p) {
  unsigned code = unsigned(rop - 1) & 15;
  // Bits of code: b0 (P=0,D=0), b1 (P=0,D=1), b2 (P=1,D=0), b3 (P=1,D=1).
  auto bit = [&](int i) -> std::uint32_t { return (code >> i) & 1 ? ~0u : 0u; };
  std::uint32_t r00 = bit(0), r01 = bit(1), r10 = bit(2), r11 = bit(3);
  // For each pen bit value, the result is D ? rX1 : rX0 = (D & (rX0 ^ rX1)) ^ rX0.
  std::uint32_t x = (p & r10) | (~p & r00);
  std::uint32_t a = (p & (r10 ^ r11)) | (~p & (r00 ^ r01));
  return {a, x};
}

}  // namespace lumetra
