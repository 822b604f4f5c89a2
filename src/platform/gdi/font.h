#pragma once
// Logical fonts: the LOGFONT record that documents store for text units, and
// the immutable font object made from it, which holders of the same record
// may share.

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace lumetra {

struct LOGFONT {
  static constexpr std::size_t kFaceSize = 32;  // 31 characters and the terminating NUL

  std::int32_t lfHeight = 0;
  std::int32_t lfWidth = 0;
  std::int32_t lfEscapement = 0;
  std::int32_t lfOrientation = 0;
  std::int32_t lfWeight = 0;
  std::uint8_t lfItalic = 0;
  std::uint8_t lfUnderline = 0;
  std::uint8_t lfStrikeOut = 0;
  std::uint8_t lfCharSet = 0;
  std::uint8_t lfOutPrecision = 0;
  std::uint8_t lfClipPrecision = 0;
  std::uint8_t lfQuality = 0;
  std::uint8_t lfPitchAndFamily = 0;
  char lfFaceName[kFaceSize] = {};

  std::string_view FaceName() const;
  // Keeps at most 31 characters.
  void SetFaceName(std::string_view face);

  // Field by field, which for a record without padding is byte by byte.
  friend bool operator==(const LOGFONT& a, const LOGFONT& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
};
static_assert(std::has_unique_object_representations_v<LOGFONT>, "equal records have equal bytes");

inline constexpr std::uint8_t DEFAULT_CHARSET = 1;
inline constexpr int kScreenDpi = 96;

class CFont {
 public:
  explicit CFont(const LOGFONT& lf) : logFont_(lf) {}

  // A font of the given size in tenths of a point for a screen of kScreenDpi:
  // the height becomes -(size * dpi / 720) pixels, the character set DEFAULT_CHARSET.
  static CFont CreatePointFont(int tenthsOfPoint, std::string_view face);

  const LOGFONT& GetLogFont() const { return logFont_; }

 private:
  LOGFONT logFont_;
};

// The one font object for `lf` while anything holds it, so that every holder
// of the same record shares it; a holder that wants another font takes
// another pointer. Safe to call from any thread.
std::shared_ptr<const CFont> SharedFont(const LOGFONT& lf);

// The font a device context starts with (GDI's SYSTEM_FONT).
CFont& StockSystemFont();

// The fixed-pitch system font (GDI's SYSTEM_FIXED_FONT, face "Fixedsys"):
// a cell 8 pixels wide and 15 high, 12 of them above the baseline.
CFont& StockSystemFixedFont();

}  // namespace lumetra
