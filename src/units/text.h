#pragma once

#include <array>
#include <string>

#include "units/unit.h"

namespace lumetra {

// A block of text laid out inside the unit's rectangle in one font, in the
// pen colour, flush left, broken into rows by words or by characters and
// placed at a fixed pitch or spread over frame-high bands. The text is bytes
// in the document's multi-byte code page; line ends are CR LF pairs.
class CText : public CUnit {
  LUMETRA_DECLARE_SERIAL(CText)

 public:
  static constexpr std::uint16_t kSchema = 2;

  // Arial, 10 points, auto align on, word break off, row spacing 1.
  CText();
  // The copy that paste makes: the style, the text and its layout, and a font of its own.
  CText(const CText& source);
  CText& operator=(const CText&) = delete;

  // Stores schema 2; loads schema 1 (without the three layout values) and 2.
  void Serialize(CArchive& ar) override;
  // Both replace the font by one made from the record.
  void SetFontIndirect(const LOGFONT& lf) override;
  void ChangeFont(const LOGFONT& lf) override;
  void OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  // Corner squares and a grey frame.
  void PaintHandles(CDC& dc, std::int64_t reach) const override;
  void OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  std::int32_t FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) override;
  bool PtInUnit(std::int32_t x, std::int32_t y) override;
  bool KeepsCornersInOrder() const override { return true; }
  std::unique_ptr<CUnit> Clone() const override;
  // A copy of `current` made by the paste copy constructor, when it is a text unit.
  std::unique_ptr<CUnit> PasteCopy(const CUnit& current) const override;
  // The ink of the rows as Draw lays them out, clipped to the rectangle, with
  // any underline and strikeout bars (which the rectangle does not clip);
  // measured in a DC's default code page.
  CRect Bounds() const override;
  void Draw(CDC& dc, const DrawContext& context) const override;

  const CFont& Font() const { return *m_pFont; }

  BOOL m_bAutoAlign = 1;
  std::int32_t m_nBandHeight = 16;  // frame height in pixels; not stored
  std::string m_strText;
  std::int32_t m_nReservedB = 0;
  std::int32_t m_nReservedA = 0;
  std::array<std::uint8_t, 8> m_abReserved{};
  std::int32_t m_nRowSpacing = 1;
  BOOL m_bWordBreak = 0;

 private:
  // Lays the rows out in R, measured on `dc` in its font: calls
  // row(x, y, bytes) with the place and the text of every row that has characters.
  template <class Row>
  void ForEachRow(const CDC& dc, const CRect& r, Row&& row) const;
};

}  // namespace lumetra
