#pragma once

#include "units/unit.h"

namespace lumetra {

// An ellipse picked near its outline only, with five handles; comes from documents.
class CLiEllipse : public CUnit {
  LUMETRA_DECLARE_SERIAL(CLiEllipse)

 public:
  CLiEllipse();
  void Serialize(CArchive& ar) override;
};

}  // namespace lumetra
