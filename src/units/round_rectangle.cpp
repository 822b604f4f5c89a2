#include "units/round_rectangle.h"

#include "platform/archive/archive.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CRoundRectangle, 1, false)

CRoundRectangle::CRoundRectangle() {
  m_nBrushStyle = BS_HOLLOW;
  m_nHatchStyle = HS_CROSS;
}

void CRoundRectangle::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  SerializeBrush(ar);
}

}  // namespace lumetra
