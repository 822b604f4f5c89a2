#include "platform/gdi/font.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace lumetra {

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

}  // namespace lumetra
