#pragma once
// Integer helpers the rasterizer's exact rules are written in.

namespace lumetra {

// a / b rounded up, for b > 0 (C division truncates toward zero, which for
// negative quotients already rounds up). Works for any signed integer type,
// __int128 included.
template <typename T>
constexpr T CeilDiv(T a, T b) {
  T q = a / b;
  return (a % b != 0 && a > 0) ? q + 1 : q;
}

}  // namespace lumetra
