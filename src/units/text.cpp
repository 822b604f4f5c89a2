#include "units/text.h"

#include <algorithm>

#include "platform/archive/archive.h"
#include "units/text_layout.h"
#include "units/unit_geometry.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CText, CText::kSchema, true)

CText::CText() { m_pFont = std::make_unique<CFont>(CFont::CreatePointFont(100, "Arial")); }

CText::CText(const CText& source)
    : CUnit(source),
      m_bAutoAlign(source.m_bAutoAlign),
      m_nBandHeight(source.m_nBandHeight),
      m_strText(source.m_strText),
      m_nReservedB(source.m_nReservedB),
      m_nReservedA(source.m_nReservedA),
      m_nRowSpacing(source.m_nRowSpacing),
      m_bWordBreak(source.m_bWordBreak) {
  m_pFont = std::make_unique<CFont>(source.Font().GetLogFont());
}

void CText::SetFontIndirect(const LOGFONT& lf) {
  m_pFont = std::make_unique<CFont>(lf);
  OnFontChanged(lf);
}

void CText::ChangeFont(const LOGFONT& lf) { SetFontIndirect(lf); }

void CText::OnMouseDrag(CDC&, EditingView& view, std::int32_t x, std::int32_t y) { FollowDrag(view, x, y); }

void CText::PaintHandles(CDC& dc, std::int64_t reach) const {
  DrawOutlineHandles(dc, BoxCornersForDrawing(), HandleHalf(3, reach));
  CPen grey(PS_SOLID, 1, 0x00C0C0C0);
  DCStateGuard restore(dc);
  dc.SetBkMode(TRANSPARENT);
  dc.SelectObject(&grey);
  dc.SelectObject(&StockNullBrush());
  dc.Rectangle(m_ptFirst.x, m_ptFirst.y, m_ptSecond.x, m_ptSecond.y);
}

std::int32_t CText::FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) { return HitCorner(x, y, std::min<std::int64_t>(10, reach)); }

void CText::OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) { GrabCorner(dc, view, x, y); }

bool CText::PtInUnit(std::int32_t x, std::int32_t y) {
  return BoxRect().PtInRect({x, y});
}

// The text colour and background mode stay as set; only the font is put back.
void CText::Draw(CDC& dc, const DrawContext&) const {
  const CRect r = BoxRect();
  CFont* previous = dc.SelectObject(m_pFont.get());
  dc.SetTextColor(m_crPen);
  dc.SetBkMode(TRANSPARENT);
  ForEachRow(dc, r, [&](int x, int y, std::string_view row) { dc.ExtTextOut(x, y, ETO_CLIPPED, &r, row); });
  dc.SelectObject(previous);
}

template <class Row>
void CText::ForEachRow(const CDC& dc, const CRect& r, Row&& row) const {
  if (m_strText.empty()) return;
  const bool byWords = m_bWordBreak != 0;
  std::string text = m_strText;
  std::replace(text.begin(), text.end(), '\t', ' ');
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
      row(r.left, SaturateToInt(y), std::string_view(text).substr(begin, end - begin));
    }
    start = next->next;
  }
}

void CText::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  std::uint16_t schema = ar.IsStoring() ? kSchema : ar.GetObjectSchema();
  if (schema != 1 && schema != 2) {
    throw ArchiveError(ArchiveFailure::BadSchema, "text unit stored with schema " + std::to_string(schema),
                       ar.Input().Position());
  }
  ar.Transfer(m_nReservedA);
  ar.Transfer(m_nReservedB);
  if (ar.IsStoring()) {
    ar.Output().Write(m_abReserved.data(), m_abReserved.size());
  } else {
    ar.Input().Read(m_abReserved.data(), m_abReserved.size());
  }
  ar.Transfer(m_strText);

  LOGFONT lf = m_pFont->GetLogFont();
  std::string face(lf.FaceName());
  ar.Transfer(lf.lfCharSet);
  ar.Transfer(lf.lfClipPrecision);
  ar.Transfer(lf.lfEscapement);
  ar.Transfer(lf.lfHeight);
  ar.Transfer(lf.lfItalic);
  ar.Transfer(lf.lfOrientation);
  ar.Transfer(lf.lfOutPrecision);
  ar.Transfer(lf.lfPitchAndFamily);
  ar.Transfer(lf.lfQuality);
  ar.Transfer(lf.lfWidth);
  ar.Transfer(lf.lfWeight);
  ar.Transfer(lf.lfUnderline);
  ar.Transfer(lf.lfStrikeOut);
  ar.Transfer(face);
  if (ar.IsLoading()) {
    lf.SetFaceName(face);
    m_pFont = std::make_unique<CFont>(lf);
  }

  if (schema == 2) {
    ar.Transfer(m_bAutoAlign);
    ar.Transfer(m_bWordBreak);
    ar.Transfer(m_nRowSpacing);
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
  dc.SelectObject(m_pFont.get());
  dc.SetBkMode(TRANSPARENT);
  CRect box;
  ForEachRow(dc, r, [&](int x, int y, std::string_view row) {
    box = box.Union(dc.ExtTextOutBounds(x, y, ETO_CLIPPED, &r, row));
  });
  return box;
}

}  // namespace lumetra
