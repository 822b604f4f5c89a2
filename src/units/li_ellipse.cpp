#include "units/li_ellipse.h"

#include "platform/archive/archive.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CLiEllipse, 1, false)

CLiEllipse::CLiEllipse() {}

void CLiEllipse::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  SerializeBrushWithBkMode(ar);
}

}  // namespace lumetra
