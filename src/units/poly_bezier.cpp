#include "units/poly_bezier.h"

#include "platform/archive/archive.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CPolyBezier, 1, false)

CPolyBezier::CPolyBezier() {}

void CPolyBezier::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  ar.Transfer(m_aPoints);
}

}  // namespace lumetra
