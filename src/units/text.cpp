#include "units/text.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "platform/archive/archive.h"
#include "platform/codepage/codepage.h"
#include "units/text_layout.h"
#include "units/unit_geometry.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CText, CText::kSchema, true)

namespace {

// Arial, 10 points: every text starts with this one object.
const std::shared_ptr<const CFont>& DefaultFont() {
  static const std::shared_ptr<const CFont> font = SharedFont(CFont::CreatePointFont(100, "Arial").GetLogFont());
  return font;
}

}  // namespace

CText::CText() { m_pFont = DefaultFont(); }

CText::CText(const CText& source)
    : CUnit(source),
      m_bAutoAlign(source.m_bAutoAlign),
      m_nBandHeight(source.m_nBandHeight),
      m_strText(source.m_strText),
      m_nReservedB(source.m_nReservedB),
      m_nReservedA(source.m_nReservedA),
      m_nRowSpacing(source.m_nRowSpacing),
      m_bWordBreak(source.m_bWordBreak),
      m_pFont(std::make_shared<const CFont>(source.Font())) {}

void CText::SetFontIndirect(const LOGFONT& lf) {
  m_pFont = SharedFont(lf);
  OnFontChanged(lf);
}

void CText::ChangeFont(const LOGFONT& lf) { SetFontIndirect(lf); }

void CText::OnMouseDrag(CDC&, EditingView& view, std::int32_t x, std::int32_t y) { FollowDrag(view, x, y); }

HandleMarks CText::Handles(std::int64_t reach) const {
  HandleMarks marks = OutlineHandles(BoxCornersForDrawing(), HandleHalf(3, reach));
  marks.frame = CRect{m_ptFirst.x, m_ptFirst.y, m_ptSecond.x, m_ptSecond.y};
  return marks;
}

std::int32_t CText::FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) {
  return HitCorner(x, y, std::min<std::int64_t>(10, reach));
}

void CText::OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) { GrabCorner(dc, view, x, y); }

bool CText::PtInUnit(std::int32_t x, std::int32_t y) { return BoxRect().PtInRect({x, y}); }

namespace {

// The width a row of characters takes for its alignment: trailing blanks do
// not count, nor does the letter spacing after its last character.
std::int64_t AlignedWidth(std::string_view text, const std::vector<TextChar>& chars, const TextRow& row,
                          std::int32_t spacing) {
  std::size_t last = row.last;
  while (last > row.first && text[chars[last - 1].begin] == ' ') --last;
  if (last == row.first) return 0;
  std::int64_t width = -spacing;
  for (std::size_t i = row.first; i < last; ++i) width += chars[i].advance;
  return width;
}

// The text as rows lay it out: a tab is a blank.
std::string LaidOutText(std::string text) {
  std::replace(text.begin(), text.end(), '\t', ' ');
  return text;
}

// A DC that measures as `text` draws: its font and its letter spacing.
void SetUpForMeasuring(CDC& dc, const CText& text) {
  dc.SelectObject(text.m_pFont.get());
  dc.SetTextCharacterExtra(text.LetterSpacing());
}

// Sets a DC's letter spacing for a while.
class LetterSpacingScope {
 public:
  LetterSpacingScope(CDC& dc, std::int32_t spacing) : dc_(dc), previous_(dc.SetTextCharacterExtra(spacing)) {}
  ~LetterSpacingScope() { dc_.SetTextCharacterExtra(previous_); }
  LetterSpacingScope(const LetterSpacingScope&) = delete;
  LetterSpacingScope& operator=(const LetterSpacingScope&) = delete;

 private:
  CDC& dc_;
  int previous_;
};

}  // namespace

CText::RowAlignment CText::Alignment() const {
  return m_nReservedA == kAlignCentre || m_nReservedA == kAlignRight ? RowAlignment(m_nReservedA) : kAlignLeft;
}

std::int32_t CText::LetterSpacing() const { return std::clamp(m_nReservedB, kMinLetterSpacing, kMaxLetterSpacing); }

// The text colour and background mode stay as set; only the font and the letter spacing are put back.
void CText::Draw(CDC& dc, const DrawContext&) const {
  const CRect r = BoxRect();
  const CFont* previous = dc.SelectObject(m_pFont.get());
  const LetterSpacingScope spacing(dc, LetterSpacing());
  dc.SetTextColor(m_crPen);
  dc.SetBkMode(TRANSPARENT);
  ForEachRow(dc, r, [&](int x, int y, std::string_view row, const auto&, const auto&) {
    dc.ExtTextOut(x, y, ETO_CLIPPED, &r, row);
  });
  dc.SelectObject(previous);
}

template <class Row>
std::size_t CText::ForEachRow(const CDC& dc, const CRect& r, Row&& row) const {
  if (m_strText.empty()) return 0;
  const bool byWords = m_bWordBreak != 0;
  const std::string text = LaidOutText(m_strText);
  const std::vector<TextChar> chars = MeasureChars(dc, text);
  TEXTMETRIC tm;
  dc.GetTextMetrics(tm);
  const std::int64_t width = std::int64_t(r.right) - r.left;
  std::size_t start = 0;
  for (std::int64_t n = 0;; ++n) {
    const std::int64_t y = r.top + RowTop(tm.tmHeight, m_nBandHeight, n, m_nRowSpacing, m_bAutoAlign != 0);
    if (y > r.bottom) break;
    const std::optional<TextRow> next =
        byWords ? NextWordWrappedRow(text, chars, start, width) : NextCharWrappedRow(text, chars, start, width);
    if (!next) break;
    if (next->last > next->first) {
      const std::size_t begin = chars[next->first].begin, end = chars[next->last - 1].end;
      std::int64_t x = r.left;
      if (Alignment() != kAlignLeft) {
        const std::int64_t free = width - AlignedWidth(text, chars, *next, LetterSpacing());
        x += Alignment() == kAlignCentre ? free / 2 : free;
      }
      row(SaturateToInt(x), SaturateToInt(y), std::string_view(text).substr(begin, end - begin), chars, *next);
    }
    start = next->next;
  }
  return start;
}

void CText::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  std::uint16_t schema = ar.IsStoring() ? kSchema : ar.GetObjectSchema();
  if (schema != 1 && schema != 2) {
    throw ArchiveError(ArchiveFailure::BadSchema, "text unit stored with schema " + std::to_string(schema),
                       ar.Input().Position());
  }
  ar.TransferEach(m_nReservedA, m_nReservedB);
  if (ar.IsStoring()) {
    ar.Output().Write(m_abReserved.data(), m_abReserved.size());
  } else {
    ar.Input().Read(m_abReserved.data(), m_abReserved.size());
  }
  ar.Transfer(m_strText);

  LOGFONT lf = ar.IsStoring() ? m_pFont->GetLogFont() : LOGFONT{};
  ar.TransferEach(lf.lfCharSet, lf.lfClipPrecision, lf.lfEscapement, lf.lfHeight, lf.lfItalic, lf.lfOrientation,
                  lf.lfOutPrecision, lf.lfPitchAndFamily, lf.lfQuality, lf.lfWidth, lf.lfWeight, lf.lfUnderline,
                  lf.lfStrikeOut);
  if (ar.IsStoring()) {
    ar.WriteString(lf.FaceName());
  } else {
    lf.SetFaceName(ar.ReadStringInPlace());
    // A font with this record already (most often a new text's default) stays.
    if (lf != m_pFont->GetLogFont()) m_pFont = SharedFont(lf);
  }

  if (schema == 2) {
    ar.TransferEach(m_bAutoAlign, m_bWordBreak, m_nRowSpacing);
  } else {
    m_bAutoAlign = 1;
    m_bWordBreak = 0;
    m_nRowSpacing = 1;
  }
}

// The paste copy leaves the reserved bytes out; a clone keeps them.
std::unique_ptr<CUnit> CText::Clone() const {
  std::unique_ptr<CText> copy = CloneOf(*this);
  copy->m_abReserved = m_abReserved;
  return copy;
}

std::unique_ptr<CUnit> CText::PasteCopy(const CUnit& current) const {
  const auto* source = dynamic_cast<const CText*>(&current);
  return source ? std::make_unique<CText>(*source) : nullptr;
}

CRect CText::Bounds() const {
  const CRect r = BoxRect();
  Bitmap32 nowhere;
  CDC dc(nowhere);
  SetUpForMeasuring(dc, *this);
  dc.SetBkMode(TRANSPARENT);
  CRect box;
  ForEachRow(dc, r, [&](int x, int y, std::string_view row, const auto&, const auto&) {
    box = box.Union(dc.ExtTextOutBounds(x, y, ETO_CLIPPED, &r, row));
  });
  return box;
}

std::int32_t CText::ClippedCharacters(std::int32_t limit) const {
  const CRect r = BoxRect();
  Bitmap32 nowhere;
  CDC dc(nowhere);
  SetUpForMeasuring(dc, *this);
  const std::string text = LaidOutText(m_strText);
  const auto bytesOf = [&](const TextChar& c) { return std::string_view(text).substr(c.begin, c.end - c.begin); };
  const auto isLineEnd = [&](const TextChar& c) { return text[c.begin] == '\r' || text[c.begin] == '\n'; };
  std::int32_t clipped = 0;

  // The characters of a row placed from (x, y) that the rectangle does not wholly hold.
  const auto countRow = [&](int x, int y, const std::vector<TextChar>& chars, const TextRow& row) {
    std::u32string codePoints;
    std::vector<std::size_t> owner;
    for (std::size_t i = row.first; i < row.last; ++i) {
      const std::u32string decoded = DecodeText(bytesOf(chars[i]), dc.GetCodePage());
      codePoints += decoded;
      owner.insert(owner.end(), decoded.size(), i);
    }
    const std::vector<CRect> boxes = dc.GlyphInkBoxes(x, y, codePoints);
    std::optional<std::size_t> counted;
    for (std::size_t k = 0; k < boxes.size() && clipped < limit; ++k) {
      const CRect& ink = boxes[k];
      if (!ink.IsEmpty() && ink.ClipTo(r) != ink && counted != owner[k]) {
        ++clipped;
        counted = owner[k];
      }
    }
  };
  std::vector<TextChar> measured;
  const std::size_t unplaced =
      ForEachRow(dc, r, [&](int x, int y, std::string_view, const std::vector<TextChar>& chars, const TextRow& row) {
        if (clipped < limit) countRow(x, y, chars, row);
        if (measured.empty()) measured = chars;
      });
  if (measured.empty()) measured = MeasureChars(dc, text);

  // Rows below the box show none of their characters: each with ink counts,
  // and each distinct character is looked at once.
  std::unordered_map<std::string_view, bool> inked;
  for (std::size_t i = std::min(unplaced, measured.size()); i < measured.size() && clipped < limit; ++i) {
    if (isLineEnd(measured[i])) continue;
    const std::string_view bytes = bytesOf(measured[i]);
    auto found = inked.find(bytes);
    if (found == inked.end()) {
      const std::vector<CRect> boxes = dc.GlyphInkBoxes(0, 0, DecodeText(bytes, dc.GetCodePage()));
      found = inked.emplace(bytes, std::ranges::any_of(boxes, [](const CRect& b) { return !b.IsEmpty(); })).first;
    }
    if (found->second) ++clipped;
  }
  return clipped;
}

}  // namespace lumetra
