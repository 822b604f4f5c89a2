#include "units/text.h"

#include "platform/archive/archive.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CText, CText::kSchema, true)

CText::CText() { m_pFont = std::make_unique<CFont>(CFont::CreatePointFont(100, "Arial")); }

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

}  // namespace lumetra
