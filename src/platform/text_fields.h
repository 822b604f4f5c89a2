#pragma once
// Text as people type it into settings files and dialog fields: blanks
// trimmed from both ends, and whole numbers read within a range. One rule for
// every field, so the same text means the same number everywhere.

#include <cstdint>
#include <optional>
#include <string_view>

namespace lumetra {

inline constexpr std::string_view kSpaceAndTab = " \t";
inline constexpr std::string_view kWhitespace = " \t\r\n\v\f";

// `text` without the characters of `blanks` at either end.
std::string_view Trim(std::string_view text, std::string_view blanks = kSpaceAndTab);

enum class NumberSign { kAllowed, kRefused };

// A decimal integer in lo..hi: spaces and tabs around it, leading zeros and,
// where allowed, one '+' or '-' before the digits; nothing for any other text
// or a number outside the range, however many digits it has.
std::optional<std::int32_t> ParseIntegerInRange(std::string_view text, std::int32_t lo, std::int32_t hi,
                                                NumberSign sign = NumberSign::kAllowed);

}  // namespace lumetra
