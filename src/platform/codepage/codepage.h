#pragma once
// Text units keep their text as bytes in the document's multi-byte code page
// (GBK unless the settings store says otherwise); the user interface and the
// command-line tool speak UTF-8. These convert at that edge.

#include <string>
#include <string_view>

namespace lumetra {

class SettingsStore;

inline constexpr std::string_view kDefaultCodePage = "GBK";

// The code page named by the settings store (section "Norvik Soft", key "CodePage").
std::string DocumentCodePage(const SettingsStore& store);

// Bytes that do not decode become U+FFFD; an unknown code page is treated as Latin-1.
std::string CodePageToUtf8(std::string_view bytes, std::string_view codePage);
// Characters the code page cannot hold become '?'.
std::string Utf8ToCodePage(std::string_view utf8, std::string_view codePage);
// Decodes bytes in a code page (a byte with the high bit set leads a
// double-byte character in the East Asian code pages) to code points.
std::u32string DecodeText(std::string_view bytes, std::string_view codePage);

// UTF-8 to code points; each malformed or cut sequence becomes one U+FFFD per byte.
std::u32string Utf8ToUtf32(std::string_view utf8);
bool IsValidUtf8(std::string_view text);

}  // namespace lumetra
