#include "units/timer.h"

#include "platform/archive/archive.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CTimer, 1, false)

CTimer::CTimer() {
  m_nBrushStyle = BS_HOLLOW;
  m_nHatchStyle = HS_CROSS;
}

void CTimer::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  SerializeBrush(ar);
}

}  // namespace lumetra
