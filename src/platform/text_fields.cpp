#include "platform/text_fields.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace lumetra {

std::string_view Trim(std::string_view text, std::string_view blanks) {
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::optional<std::int32_t> ParseIntegerInRange(std::string_view text, std::int32_t lo, std::int32_t hi,
                                                NumberSign sign) {
  text = Trim(text);
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    if (sign == NumberSign::kRefused) return std::nullopt;
    text.remove_prefix(1);
  }
  if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  std::int64_t value = 0;
  // Digits only, so the one possible failure is a number too large for any range.
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc()) return std::nullopt;
  if (negative) value = -value;
  if (value < lo || value > hi) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace lumetra
