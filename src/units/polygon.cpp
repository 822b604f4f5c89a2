#include "units/polygon.h"

#include "platform/archive/archive.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CPolygon, 1, false)

CPolygon::CPolygon() { CPolygon::InitDefaults(); }

void CPolygon::InitDefaults() {
  CUnit::InitDefaults();
  m_pPoints = std::make_unique<CPointArray>();
}

// The pen is stored a second time before the vertices.
void CPolygon::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  ar.Transfer(m_crPen);
  ar.Transfer(m_nPenStyle);
  ar.Transfer(m_nPenWidth);
  ar.Transfer(*m_pPoints);
}

}  // namespace lumetra
