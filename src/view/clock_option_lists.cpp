#include "view/clock_option_lists.h"

#include "document/panel_settings.h"

namespace lumetra {
namespace {

constexpr int kStyleKeys[] = {31000, 31001, 31002, 31003, 31004};
constexpr int kAlignKeys[] = {31011, 31012, 31013};

constexpr int kBlack = 31005, kRed = 31006, kGreen = 31007, kYellow = 31008, kBlue = 31009, kWhite = 31010;
constexpr int kRedAndGreenKeys[] = {kBlack, kRed, kGreen, kYellow};
constexpr int kYellowAndBlueKeys[] = {kBlack, kYellow, kBlue, kWhite};
constexpr int kMonoKeys[] = {kBlack, kRed};

}  // namespace

std::span<const int> ClockStyleKeys() { return kStyleKeys; }
std::span<const int> ClockAlignKeys() { return kAlignKeys; }

ClockColourList ClockColourKeys(int colourSet) {
  switch (colourSet) {
    case kYellowAndBlue:
      return {kYellowAndBlueKeys, kYellowAndBlue};
    case kMono:
      return {kMonoKeys, kMono};
    default:
      return {kRedAndGreenKeys, kRedAndGreen};
  }
}

}  // namespace lumetra
