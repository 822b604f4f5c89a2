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

// The code page text units are drawn in by every device context made after
// it is set: a per-user setting, as Windows' ANSI code page is one for the
// whole program. The programs set it once at start from DocumentCodePage;
// kDefaultCodePage until then.
void SetTextCodePage(std::string codePage);
std::string TextCodePage();

// How many bytes the character at the start of `text` takes in `codePage`
// (1 to 4, never more than `text` holds): the lead-byte rules of the
// East Asian code pages (GBK and its kin take every byte with the high bit
// set as a lead byte, GB18030 its four-byte forms, EUC-JP and EUC-TW their
// three- and four-byte forms), UTF-8's own, and 1 in a single-byte code page.
// A code page none of these names is asked of iconv once whether it is
// single-byte; if not, a high-bit byte leads a pair.
std::size_t CharacterBytes(std::string_view codePage, std::string_view text);

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
