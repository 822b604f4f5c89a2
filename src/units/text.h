#pragma once

#include <array>
#include <string>

#include "units/unit.h"

namespace lumetra {

// A block of text laid out inside the unit's rectangle in one font. The text is
// bytes in the document's multi-byte code page; line ends are CR LF pairs.
class CText : public CUnit {
  LUMETRA_DECLARE_SERIAL(CText)

 public:
  static constexpr std::uint16_t kSchema = 2;

  // Arial, 10 points, auto align on, word break off, row spacing 1.
  CText();

  // Stores schema 2; loads schema 1 (without the three layout values) and 2.
  void Serialize(CArchive& ar) override;

  BOOL m_bAutoAlign = 1;
  std::int32_t m_nBandHeight = 16;  // frame height in pixels; not stored
  std::string m_strText;
  std::int32_t m_nReservedB = 0;
  std::int32_t m_nReservedA = 0;
  std::array<std::uint8_t, 8> m_abReserved{};
  std::int32_t m_nRowSpacing = 1;
  BOOL m_bWordBreak = 0;
};

}  // namespace lumetra
