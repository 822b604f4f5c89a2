#pragma once
// The Text properties dialog without its widgets: what it starts from, how
// the text crosses between the unit's code page and the text box, how a
// chosen font becomes a LOGFONT, and the checks and copies of its Apply.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/font.h"

namespace lumetra {

class CText;

// A font as a font chooser describes it.
struct FontChoice {
  std::string face;           // UTF-8
  double pointSize = 0;       // 0: the face's default size
  std::int32_t weight = 400;  // 1..1000, 400 normal, 700 bold
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  bool fixedPitch = false;
  bool chinese = false;  // the face writes Simplified Chinese
};

// LOGFONT values the platform's font chooser writes.
inline constexpr std::uint8_t kAnsiCharset = 0;       // ANSI_CHARSET
inline constexpr std::uint8_t kGb2312Charset = 134;   // GB2312_CHARSET
inline constexpr std::uint8_t kOutStrokePrecis = 3;   // OUT_STROKE_PRECIS
inline constexpr std::uint8_t kClipStrokePrecis = 2;  // CLIP_STROKE_PRECIS
inline constexpr std::uint8_t kDraftQuality = 1;      // DRAFT_QUALITY
inline constexpr std::uint8_t kFixedPitch = 1;        // FIXED_PITCH
inline constexpr std::uint8_t kVariablePitch = 2;     // VARIABLE_PITCH

// The record the font chooser fills on a kScreenDpi screen: height
// -round(points * dpi / 72) (a character height), weight as chosen (0..1000),
// the three effects, charset GB2312 for a Chinese face and ANSI otherwise,
// stroke precisions, draft quality, the pitch with no family, no width,
// escapement or orientation. The face is kept in the code page when it can
// hold it and in UTF-8 otherwise (the font lookup reads both).
LOGFONT LogFontFromChoice(const FontChoice& choice, std::string_view codePage);
// The other way, to start the chooser and to show the font: a character
// height (negative) and a cell height (positive) both count as the size.
FontChoice ChoiceFromLogFont(const LOGFONT& lf, std::string_view codePage);

// A new unit's dialog starts with the fixed-pitch system font, upright, at normal weight.
LOGFONT NewUnitFont();

// The unit's text for the text box: UTF-8 with '\n' for each CR LF (or lone CR or LF).
std::string UnitTextToUtf8(std::string_view bytes, std::string_view codePage);
// The characters of a UTF-8 text that the code page cannot hold, each once, in order.
std::vector<std::string> UnencodableCharacters(std::string_view utf8, std::string_view codePage);

// What the dialog's controls hold.
struct TextDialogInput {
  std::string text;        // UTF-8 with '\n' line ends, as the text box holds it
  std::string rowSpacing;  // as typed
  bool wordBreak = false;
  bool autoAlign = false;
  std::int32_t alignment = 0;      // CText::RowAlignment
  std::int32_t letterSpacing = 0;  // CText::kMinLetterSpacing..kMaxLetterSpacing
};

enum class TextApplyFailure { kNone, kRowSpacing, kUnencodable };

struct TextApplyResult {
  TextApplyFailure failure = TextApplyFailure::kNone;
  std::string message;  // UTF-8, for the user; empty when applied

  bool Applied() const { return failure == TextApplyFailure::kNone; }
};

// One opening of the dialog on one unit. The working font is the one the
// chooser starts from and Apply gives the unit; the unit changes only in Apply.
class TextDialogModel {
 public:
  static constexpr std::int32_t kMinRowSpacing = -100, kMaxRowSpacing = 100;

  // A new unit starts from NewUnitFont(), an edited one from its own font.
  TextDialogModel(CText& unit, bool newUnit, std::string codePage);

  // What the controls show first.
  TextDialogInput InitialInput() const;
  const std::string& CodePage() const { return codePage_; }
  const LOGFONT& WorkingFont() const { return workingFont_; }
  // The font chooser was confirmed with `chosen`. The chooser lists only the
  // installed faces, so it opens on the one that stands in for the working
  // font's face; when the user kept that face (`keptFace`), the working font
  // keeps its own face name, charset and pitch and takes the rest (size,
  // weight, effects) from the choice.
  void TakeChosenFont(const LOGFONT& chosen, bool keptFace);

  // One spin step from the typed spacing (the unit's when the edit holds no
  // valid one), kept in kMinRowSpacing..kMaxRowSpacing.
  std::int32_t SteppedRowSpacing(std::string_view typed, std::int32_t delta) const;

  // Refuses a row spacing outside its range and an edited text the code page
  // cannot hold, changing nothing; otherwise the unit takes the working font,
  // the text with CR LF line ends, the row spacing, the two switches, and the
  // alignment and letter spacing where they differ from what the unit showed
  // (so that stored values the dialog cannot show survive an Apply).
  TextApplyResult Apply(const TextDialogInput& input);

 private:
  CText& unit_;
  std::string codePage_;
  LOGFONT workingFont_;
  // While the box still shows what it was given, the unit keeps its own
  // bytes, so that bytes the code page cannot decode survive an Apply.
  std::string originalBytes_;
  std::string shownText_;
};

}  // namespace lumetra
