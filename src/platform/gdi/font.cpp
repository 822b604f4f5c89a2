#include "platform/gdi/font.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <unordered_map>

namespace lumetra {
namespace {

// Equal records have equal bytes (font.h), so the bytes can be hashed.
struct LogFontHash {
  std::size_t operator()(const LOGFONT& lf) const noexcept {
    return std::hash<std::string_view>{}({reinterpret_cast<const char*>(&lf), sizeof lf});
  }
};

// The fonts SharedFont has made, by record. An entry outlives its font until
// the table next doubles, when the entries of released fonts are swept out.
class SharedFontTable {
 public:
  std::shared_ptr<const CFont> Get(const LOGFONT& lf) {
    const std::lock_guard lock(mutex_);
    std::weak_ptr<const CFont>& entry = fonts_[lf];
    std::shared_ptr<const CFont> font = entry.lock();
    if (!font) {
      font = std::make_shared<const CFont>(lf);
      entry = font;
      if (fonts_.size() >= sweepAt_) SweepReleased();
    }
    return font;
  }

 private:
  static constexpr std::size_t kFirstSweep = 64;

  void SweepReleased() {
    std::erase_if(fonts_, [](const auto& entry) { return entry.second.expired(); });
    sweepAt_ = std::max(kFirstSweep, 2 * fonts_.size());
  }

  std::mutex mutex_;
  std::unordered_map<LOGFONT, std::weak_ptr<const CFont>, LogFontHash> fonts_;
  std::size_t sweepAt_ = kFirstSweep;
};

}  // namespace

std::string_view LOGFONT::FaceName() const { return {lfFaceName, ::strnlen(lfFaceName, kFaceSize)}; }

void LOGFONT::SetFaceName(std::string_view face) {
  std::size_t n = face.size() < kFaceSize - 1 ? face.size() : kFaceSize - 1;
  std::memset(lfFaceName, 0, kFaceSize);
  std::memcpy(lfFaceName, face.data(), n);
}

CFont CFont::CreatePointFont(int tenthsOfPoint, std::string_view face) {
  LOGFONT lf;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::int64_t pixels = std::llabs(std::int64_t(kScreenDpi) * tenthsOfPoint / 720);
  lf.lfHeight = -int(std::min<std::int64_t>(pixels, INT32_MAX));
  lf.SetFaceName(face);
  return CFont(lf);
}

CFont& StockSystemFont() {
  static CFont font = [] {
    LOGFONT lf;
    lf.lfHeight = 16;
    lf.lfWeight = 700;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.SetFaceName("System");
    return CFont(lf);
  }();
  return font;
}

CFont& StockSystemFixedFont() {
  static CFont font = [] {
    LOGFONT lf;
    lf.lfHeight = 16;
    lf.lfWeight = 400;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = 1;  // FIXED_PITCH
    lf.SetFaceName("Fixedsys");
    return CFont(lf);
  }();
  return font;
}

std::shared_ptr<const CFont> SharedFont(const LOGFONT& lf) {
  // Documents use few fonts, text after text in the same one: the font this
  // thread was last given answers without the lock while it fits.
  thread_local std::shared_ptr<const CFont> last;
  if (last && last->GetLogFont() == lf) return last;
  static SharedFontTable* table = new SharedFontTable();  // never destroyed: fonts may still be asked for during exit
  last = table->Get(lf);
  return last;
}

}  // namespace lumetra
