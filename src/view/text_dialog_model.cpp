#include "view/text_dialog_model.h"

#include <algorithm>
#include <cmath>

#include "lang/message_text.h"
#include "platform/codepage/codepage.h"
#include "platform/text_fields.h"
#include "units/text.h"

namespace lumetra {
namespace {

constexpr double kPointsPerInch = 72.0;
constexpr std::int32_t kNormalWeight = 400;
constexpr std::int32_t kMaxWeight = 1000;

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool RoundTrips(std::string_view utf8, std::string_view codePage) {
  return CodePageToUtf8(Utf8ToCodePage(utf8, codePage), codePage) == utf8;
}

// '\n' line ends as CR LF, the way the unit keeps them.
std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string UnencodableWarning(const std::vector<std::string>& characters, std::string_view codePage) {
  std::string list;
  for (const std::string& c : characters) list += (list.empty() ? "" : " ") + c;
  return FormatText(text_key::kUnencodableWarning, {codePage, list});
}

// The face in the code page when it can hold it; otherwise it stays UTF-8,
// which the font lookup understands as well.
std::string FaceForLogFont(const std::string& face, std::string_view codePage) {
  return RoundTrips(face, codePage) ? Utf8ToCodePage(face, codePage) : face;
}

std::string FaceFromLogFont(std::string_view face, std::string_view codePage) {
  return IsValidUtf8(face) ? std::string(face) : CodePageToUtf8(face, codePage);
}

}  // namespace

LOGFONT LogFontFromChoice(const FontChoice& choice, std::string_view codePage) {
  LOGFONT lf;
  if (choice.pointSize > 0) lf.lfHeight = -std::int32_t(std::lround(choice.pointSize * kScreenDpi / kPointsPerInch));
  lf.lfWeight = std::clamp(choice.weight, 0, kMaxWeight);
  lf.lfItalic = choice.italic ? 1 : 0;
  lf.lfUnderline = choice.underline ? 1 : 0;
  lf.lfStrikeOut = choice.strikeOut ? 1 : 0;
  lf.lfCharSet = choice.chinese ? kGb2312Charset : kAnsiCharset;
  lf.lfOutPrecision = kOutStrokePrecis;
  lf.lfClipPrecision = kClipStrokePrecis;
  lf.lfQuality = kDraftQuality;
  lf.lfPitchAndFamily = choice.fixedPitch ? kFixedPitch : kVariablePitch;
  lf.SetFaceName(FaceForLogFont(choice.face, codePage));
  return lf;
}

FontChoice ChoiceFromLogFont(const LOGFONT& lf, std::string_view codePage) {
  FontChoice choice;
  choice.face = FaceFromLogFont(lf.FaceName(), codePage);
  choice.pointSize = std::abs(double(lf.lfHeight)) * kPointsPerInch / kScreenDpi;
  choice.weight = lf.lfWeight == 0 ? kNormalWeight : std::clamp(lf.lfWeight, 1, kMaxWeight);
  choice.italic = lf.lfItalic != 0;
  choice.underline = lf.lfUnderline != 0;
  choice.strikeOut = lf.lfStrikeOut != 0;
  choice.fixedPitch = (lf.lfPitchAndFamily & 3) == kFixedPitch;
  choice.chinese = lf.lfCharSet == kGb2312Charset;
  return choice;
}

LOGFONT NewUnitFont() {
  LOGFONT lf = StockSystemFixedFont().GetLogFont();
  lf.lfItalic = 0;
  lf.lfWeight = kNormalWeight;
  return lf;
}

std::string UnitTextToUtf8(std::string_view bytes, std::string_view codePage) {
  const std::string utf8 = CodePageToUtf8(bytes, codePage);
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r') {
      out += '\n';
      if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    } else {
      out += utf8[i];
    }
  }
  return out;
}

std::vector<std::string> UnencodableCharacters(std::string_view utf8, std::string_view codePage) {
  std::vector<std::string> found;
  if (RoundTrips(utf8, codePage)) return found;
  for (std::size_t begin = 0; begin < utf8.size();) {
    std::size_t end = begin + 1;
    while (end < utf8.size() && IsContinuationByte(utf8[end])) ++end;
    const std::string character(utf8.substr(begin, end - begin));
    if (!RoundTrips(character, codePage) && std::find(found.begin(), found.end(), character) == found.end()) {
      found.push_back(character);
    }
    begin = end;
  }
  return found;
}

TextDialogModel::TextDialogModel(CText& unit, bool newUnit, std::string codePage)
    : unit_(unit),
      codePage_(std::move(codePage)),
      workingFont_(newUnit ? NewUnitFont() : unit.Font().GetLogFont()),
      originalBytes_(newUnit ? std::string() : unit.m_strText),
      shownText_(UnitTextToUtf8(originalBytes_, codePage_)) {}

void TextDialogModel::TakeChosenFont(const LOGFONT& chosen, bool keptFace) {
  LOGFONT taken = chosen;
  if (keptFace) {
    taken.SetFaceName(workingFont_.FaceName());
    taken.lfCharSet = workingFont_.lfCharSet;
    taken.lfPitchAndFamily = workingFont_.lfPitchAndFamily;
  }
  workingFont_ = taken;
}

TextDialogInput TextDialogModel::InitialInput() const {
  return {shownText_,          std::to_string(unit_.m_nRowSpacing), unit_.m_bWordBreak != 0,
          unit_.m_bAutoAlign != 0, unit_.Alignment(),                 unit_.LetterSpacing()};
}

std::int32_t TextDialogModel::SteppedRowSpacing(std::string_view typed, std::int32_t delta) const {
  const std::int64_t from = ParseIntegerInRange(typed, kMinRowSpacing, kMaxRowSpacing).value_or(unit_.m_nRowSpacing);
  return std::int32_t(std::clamp<std::int64_t>(from + delta, kMinRowSpacing, kMaxRowSpacing));
}

TextApplyResult TextDialogModel::Apply(const TextDialogInput& input) {
  const std::optional<std::int32_t> spacing = ParseIntegerInRange(input.rowSpacing, kMinRowSpacing, kMaxRowSpacing);
  if (!spacing) return {TextApplyFailure::kRowSpacing, RangeWarning(kMinRowSpacing, kMaxRowSpacing)};
  const bool edited = input.text != shownText_;
  if (edited) {
    const std::vector<std::string> lost = UnencodableCharacters(input.text, codePage_);
    if (!lost.empty()) return {TextApplyFailure::kUnencodable, UnencodableWarning(lost, codePage_)};
  }
  unit_.SetFontIndirect(workingFont_);
  unit_.m_strText = edited ? Utf8ToCodePage(WithCrLf(input.text), codePage_) : originalBytes_;
  unit_.m_nRowSpacing = *spacing;
  unit_.m_bWordBreak = input.wordBreak ? 1 : 0;
  unit_.m_bAutoAlign = input.autoAlign ? 1 : 0;
  if (input.alignment != unit_.Alignment()) unit_.m_nReservedA = input.alignment;
  if (input.letterSpacing != unit_.LetterSpacing()) {
    unit_.m_nReservedB = std::clamp(input.letterSpacing, CText::kMinLetterSpacing, CText::kMaxLetterSpacing);
  }
  return {};
}

}  // namespace lumetra
