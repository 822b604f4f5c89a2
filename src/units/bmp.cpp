#include "units/bmp.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CBmp, 1, false)

void CBmp::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  m_dib.Serialize(ar);
}

}  // namespace lumetra
