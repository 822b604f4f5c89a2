#pragma once

#include "units/dib.h"
#include "units/unit.h"

namespace lumetra {

// An imported BMP image, drawn stretched to the unit's rectangle. The document
// stores the whole BMP file image inline after the base record.
class CBmp : public CUnit {
  LUMETRA_DECLARE_SERIAL(CBmp)

 public:
  void Serialize(CArchive& ar) override;

  CDib m_dib;
};

}  // namespace lumetra
