#include "units/line.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CDLine, 1, false)

void CDLine::InitDefaults() {
  m_ptFirst = {};
  m_ptSecond = {};
  m_crPen = kBlack;
  m_nPenWidth = 1;
  m_nPenStyle = PS_SOLID;
}

}  // namespace lumetra
