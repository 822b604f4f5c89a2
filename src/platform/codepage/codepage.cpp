#include "platform/codepage/codepage.h"

#include <iconv.h>

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

}  // namespace

std::string DocumentCodePage(const SettingsStore& store) {
  return store.GetProfileString(SettingsStore::kSection, "CodePage", kDefaultCodePage);
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

}  // namespace lumetra
