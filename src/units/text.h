#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "units/unit.h"

namespace lumetra {

// A block of text laid out inside the unit's rectangle in one font, in the
// pen colour, broken into rows by words or by characters and placed at a
// fixed pitch or spread over frame-high bands; each row flush left, centred or
// flush right, with extra LEDs between characters. The text is bytes in the
// document's multi-byte code page; line ends are CR LF pairs.
//
// The row alignment and the letter spacing live in the record's two reserved
// numbers, which every reader of the format keeps and a paste copies:
// m_nReservedA the alignment (1 centre, 2 right, any other value left) and
// m_nReservedB the spacing (limited to kMinLetterSpacing..kMaxLetterSpacing).
// With both 0 a text draws as it always did.
class CText final : public CUnit {
  LUMETRA_DECLARE_SERIAL(CText)

 public:
  static constexpr std::uint16_t kSchema = 2;
  enum RowAlignment : std::int32_t { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };
  static constexpr std::int32_t kMinLetterSpacing = -2, kMaxLetterSpacing = 16;

  // Arial, 10 points, auto align on, word break off, row spacing 1.
  CText();
  // The copy that paste makes: the style, the text and its layout, and a font of its own.
  CText(const CText& source);
  CText& operator=(const CText&) = delete;

  // Stores schema 2; loads schema 1 (without the three layout values) and 2.
  void Serialize(CArchive& ar) override;
  // Both replace the font by the shared one for the record (SharedFont).
  void SetFontIndirect(const LOGFONT& lf) override;
  void ChangeFont(const LOGFONT& lf) override;
  void OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  // Corner squares and a grey frame.
  HandleMarks Handles(std::int64_t reach) const override;
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
  RowAlignment Alignment() const;
  std::int32_t LetterSpacing() const;
  // The characters with ink that the rectangle cuts, wholly or in part, or
  // that fall in rows below it, counted up to `limit` (1 asks only whether
  // any is cut); measured in a DC's default code page.
  std::int32_t ClippedCharacters(std::int32_t limit = INT32_MAX) const;

  BOOL m_bAutoAlign = 1;
  std::int32_t m_nBandHeight = 16;  // frame height in pixels; not stored
  std::string m_strText;
  std::int32_t m_nReservedB = 0;  // letter spacing
  std::int32_t m_nReservedA = 0;  // row alignment
  std::array<std::uint8_t, 8> m_abReserved{};
  std::int32_t m_nRowSpacing = 1;
  BOOL m_bWordBreak = 0;
  std::shared_ptr<const CFont> m_pFont;  // immutable and possibly shared

 private:
  // Lays the rows out in R, measured on `dc` in its font and letter spacing:
  // calls row(x, y, bytes, chars, range) with the place, the text and the
  // characters of every row that has characters. Returns the first character
  // placed in no row.
  template <class Row>
  std::size_t ForEachRow(const CDC& dc, const CRect& r, Row&& row) const;
};

}  // namespace lumetra
