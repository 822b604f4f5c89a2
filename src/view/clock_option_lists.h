#pragma once
// The entries of the clock options' lists as language keys.

#include <span>

namespace lumetra {

// The five clock formats, in the order of their style numbers.
std::span<const int> ClockStyleKeys();
// Left, centre, right.
std::span<const int> ClockAlignKeys();

// The colours a clock can take on a panel and the colour set the list is for:
// set 0 black, red, green, yellow; set 1 black, yellow, blue, white; set 2
// black, red. Any other set offers the colours of set 0 and counts as set 0.
struct ClockColourList {
  std::span<const int> keys;
  int colourSet;
};
ClockColourList ClockColourKeys(int colourSet);

}  // namespace lumetra
