#include "units/rectangle.h"

#include "platform/archive/archive.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CRectangle, 1, false)

CRectangle::CRectangle() {
  m_nBrushStyle = BS_HOLLOW;
  m_nHatchStyle = HS_CROSS;
}

void CRectangle::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  SerializeBrush(ar);
}

}  // namespace lumetra
