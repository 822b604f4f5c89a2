#pragma once

#include <array>
#include <string_view>

#include "units/unit.h"

namespace lumetra {

// The clock: marks where the panel shows its own date and time, and previews
// that display on the canvas. Its options belong to the document.
class CTimer : public CUnit {
  LUMETRA_DECLARE_SERIAL(CTimer)

 public:
  CTimer();
  void Serialize(CArchive& ar) override;

  std::int32_t m_nColourSet = 0;  // the document's colour set; not stored
  static constexpr std::array<std::string_view, 7> m_strDayName = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr std::array<std::string_view, 7> m_strDayNameCn = {"日", "一", "二", "三", "四", "五", "六"};
};

}  // namespace lumetra
