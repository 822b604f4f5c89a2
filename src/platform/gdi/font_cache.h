#pragma once
// Logical fonts realised on the fonts this machine has: a LOGFONT becomes a
// FreeType face at a pixel size (chosen through fontconfig), with the text
// metrics GDI reports for it and its glyphs rendered as GDI renders them
// without antialiasing (the 1-bit image of the hinted outline).
//
// Faces: Arial, Times New Roman and Courier New become the metric-compatible
// Liberation Sans, Serif and Mono; the Chinese faces (SimSun, 宋体, 黑体, ...)
// a CJK face such as WenQuanYi Zen Hei; an unknown face Liberation Sans.
// Characters a face lacks come from the CJK face first, then any face that
// has them. GDI's "System" and "Fixedsys" are bitmap fonts of one size;
// DejaVu Sans Condensed Bold and DejaVu Sans Mono Bold at 13 pixels stand in
// for them and report GDI's metrics for them.
//
// The cache is the process's one piece of global state. Faces, realised
// fonts and glyphs live until the process ends, so the references and
// pointers handed out stay valid; lookups are serialised by one lock.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage/codepage.h"
#include "platform/gdi/font.h"

namespace lumetra {

// One row segment [x0, x1) of set pixels, relative to the glyph's black box.
struct GlyphRun {
  std::int16_t row;
  std::int16_t x0;
  std::int16_t x1;
};

struct Glyph {
  std::int32_t originX = 0;  // black box left edge, relative to the pen position
  std::int32_t originY = 0;  // black box top edge, in pixels above the baseline
  std::int32_t width = 0;    // black box size
  std::int32_t height = 0;
  // GDI measures text with the advances of the outline hinted for greys but
  // moves the pen by those of the bilevel outline it draws; they can differ
  // by a pixel.
  std::int32_t advance = 0;      // what text extents and alignment count
  std::int32_t drawAdvance = 0;  // how far the pen moves while drawing
  std::vector<GlyphRun> runs;
};

struct FontMetrics {
  std::int32_t height = 0;
  std::int32_t ascent = 0;
  std::int32_t descent = 0;
  std::int32_t internalLeading = 0;
  std::int32_t externalLeading = 0;
  std::int32_t aveCharWidth = 0;
  std::int32_t maxCharWidth = 0;
  // Lines under and through the text: position above the baseline (negative
  // below it) and thickness, in pixels.
  std::int32_t underlinePosition = 0;
  std::int32_t underlineSize = 1;
  std::int32_t strikeoutPosition = 0;
  std::int32_t strikeoutSize = 1;
};

struct FontState;

class RealizedFont {
 public:
  const FontMetrics& Metrics() const { return metrics_; }
  // The family actually drawn with (for characters the face has).
  const std::string& FamilyName() const { return family_; }
  int PixelsPerEm() const { return ppem_; }

  // The glyph of each character, taken from a fallback face when this
  // font's face lacks it. Appends to `out`.
  void GetGlyphs(std::u32string_view text, std::vector<const Glyph*>& out) const;
  // Sum of the advances (not the draw advances).
  int TextWidth(std::u32string_view text) const;

 private:
  friend struct FontState;
  explicit RealizedFont(FontState& state) : state_(&state) {}

  FontMetrics metrics_;
  std::string family_;
  int ppem_ = 0;
  FontState* state_;
};

// The realised font for a logical font. Face names that are not valid
// UTF-8 are read in `codePage` (documents keep them in their code page).
const RealizedFont& RealizeFont(const LOGFONT& lf, std::string_view codePage = kDefaultCodePage);

// Makes the faces of a font file available by their family names, ahead of
// installed faces of the same family, for the rest of the process (a private
// font resource). Register before the fonts that should use it are realised.
bool AddPrivateFontFile(const std::filesystem::path& file);

}  // namespace lumetra
