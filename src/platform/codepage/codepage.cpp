#include "platform/codepage/codepage.h"

#include <map>
#include <mutex>
#include <set>

#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "platform/profile/settings_store.h"

namespace lumetra {
namespace {

class Converter {
 public:
  Converter(std::string_view to, std::string_view from)
      : handle_(iconv_open(std::string(to).c_str(), std::string(from).c_str())), fromUtf8_(from == "UTF-8") {}
  ~Converter() {
    if (valid()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts everything; what cannot be converted is skipped and replaced.
  std::string Convert(std::string_view input, std::string_view replacement) {
    std::string out;
    out.reserve(input.size() * 2);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
      char* dst = buffer;
      std::size_t dstLeft = sizeof buffer;
      std::size_t r = iconv(handle_, &in, &inLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      if (r == static_cast<std::size_t>(-1)) {
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL (a cut multi-byte sequence at the end): skip one byte.
        out += replacement;
        do {
          ++in;
          --inLeft;
        } while (fromUtf8_ && inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    iconv(handle_, nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    return out;
  }

 private:
  iconv_t handle_;
  bool fromUtf8_;  // skip a whole character, not one byte of it, when it cannot be converted
};

// Decodes the UTF-8 sequence at s[i]; returns its length, 0 when it is malformed.
int DecodeUtf8(std::string_view s, std::size_t i, char32_t& c) {
  auto b = static_cast<unsigned char>(s[i]);
  int n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (n == 0 || i + static_cast<std::size_t>(n) > s.size()) return 0;
  c = n == 1 ? b : (b & (0x7Fu >> n));
  for (int k = 1; k < n; ++k) {
    auto t = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
    if ((t & 0xC0) != 0x80) return 0;
    c = (c << 6) | (t & 0x3Fu);
  }
  return n;
}

}  // namespace

std::string DocumentCodePage(const SettingsStore& store) {
  return store.GetProfileString(SettingsStore::kSection, "CodePage", kDefaultCodePage);
}

namespace {

std::mutex g_textCodePageMutex;
std::string g_textCodePage(kDefaultCodePage);

// "Shift_JIS" and "shift-jis" alike: upper case without '-' and '_'.
std::string CodePageKey(std::string_view codePage) {
  std::string key;
  for (char c : codePage) {
    if (c == '-' || c == '_') continue;
    key += c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
  }
  return key;
}

}  // namespace

void SetTextCodePage(std::string codePage) {
  std::lock_guard lock(g_textCodePageMutex);
  g_textCodePage = std::move(codePage);
}

std::string TextCodePage() {
  std::lock_guard lock(g_textCodePageMutex);
  return g_textCodePage;
}

namespace {

// Whether every byte decodes on its own in `codePage`, asked of iconv once per code page.
bool IsSingleByte(const std::string& key, std::string_view codePage) {
  static std::mutex mutex;
  static std::map<std::string, bool, std::less<>> known;
  std::lock_guard lock(mutex);
  if (const auto found = known.find(key); found != known.end()) return found->second;
  bool single = true;
  const iconv_t handle = iconv_open("UTF-32LE", std::string(codePage).c_str());
  if (handle != reinterpret_cast<iconv_t>(-1)) {
    for (int byte = 0x80; byte <= 0xFF && single; ++byte) {
      char in = char(byte);
      char* from = &in;
      std::size_t inLeft = 1;
      char out[16];
      char* to = out;
      std::size_t outLeft = sizeof out;
      iconv(handle, nullptr, nullptr, nullptr, nullptr);
      if (iconv(handle, &from, &inLeft, &to, &outLeft) == std::size_t(-1) && errno == EINVAL) single = false;
    }
    iconv_close(handle);
  }
  known.emplace(key, single);
  return single;
}

}  // namespace

std::size_t CharacterBytes(std::string_view codePage, std::string_view text) {
  if (text.empty()) return 0;
  const auto byte = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0; };
  const unsigned char first = byte(0);
  const auto fit = [&](std::size_t length) { return std::min(length, text.size()); };
  if (first < 0x80) return 1;
  static const std::set<std::string, std::less<>> gbkFamily = {"GBK", "CP936", "WINDOWS936", "MS936", "GB2312",
                                                               "EUCCN"};
  static const std::set<std::string, std::less<>> highLead = {"BIG5", "CP950", "BIG5HKSCS", "CP949", "UHC",
                                                              "EUCKR", "JOHAB", "CP1361"};
  static const std::set<std::string, std::less<>> shiftJis = {"SHIFTJIS", "SJIS", "CP932", "MS932", "WINDOWS31J",
                                                              "SHIFTJISX0213"};
  const std::string key = CodePageKey(codePage);
  if (gbkFamily.contains(key)) return fit(2);
  if (key == "GB18030") return fit(byte(1) >= 0x30 && byte(1) <= 0x39 ? 4 : 2);
  if (key == "UTF8") {
    const std::size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    return fit(length);
  }
  if (key == "EUCJP") return fit(first == 0x8F ? 3 : first == 0x8E || first >= 0xA1 ? 2 : 1);
  if (key == "EUCTW") return fit(first == 0x8E ? 4 : first >= 0xA1 ? 2 : 1);
  if (highLead.contains(key)) return fit(first >= 0x81 && first <= 0xFE ? 2 : 1);
  if (shiftJis.contains(key)) return fit((first >= 0x81 && first <= 0x9F) || (first >= 0xE0 && first <= 0xFC) ? 2 : 1);
  return IsSingleByte(key, codePage) ? 1 : fit(2);
}

std::string CodePageToUtf8(std::string_view bytes, std::string_view codePage) {
  Converter converter("UTF-8", codePage);
  if (converter.valid()) return converter.Convert(bytes, "\xEF\xBF\xBD");
  Converter latin1("UTF-8", "ISO-8859-1");
  return latin1.Convert(bytes, "\xEF\xBF\xBD");
}

std::string Utf8ToCodePage(std::string_view utf8, std::string_view codePage) {
  Converter converter(codePage, "UTF-8");
  if (converter.valid()) return converter.Convert(utf8, "?");
  Converter latin1("ISO-8859-1", "UTF-8");
  return latin1.Convert(utf8, "?");
}

std::u32string DecodeText(std::string_view bytes, std::string_view codePage) {
  bool ascii =
      std::all_of(bytes.begin(), bytes.end(), [](char ch) { return (static_cast<unsigned char>(ch) & 0x80) == 0; });
  if (ascii) return std::u32string(bytes.begin(), bytes.end());
  return Utf8ToUtf32(CodePageToUtf8(bytes, codePage));
}

std::u32string Utf8ToUtf32(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    char32_t c = 0;
    int n = DecodeUtf8(s, i, c);
    out.push_back(n ? c : U'\uFFFD');
    i += static_cast<std::size_t>(n ? n : 1);
  }
  return out;
}

bool IsValidUtf8(std::string_view s) {
  char32_t c;
  for (std::size_t i = 0; i < s.size();) {
    int n = DecodeUtf8(s, i, c);
    if (n == 0) return false;
    i += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace lumetra
