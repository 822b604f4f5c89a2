#include "platform/gdi/font_cache.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>

#include "platform/report.h"
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <array>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>
#include <unordered_map>

#include "platform/codepage/codepage.h"

namespace lumetra {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& ch : out)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return out;
}

// ---------------------------------------------------------------------------
// Faces

// The face for the Song and Hei faces and for Chinese characters other faces
// lack: like them its em square is its cell (at 16 pixels 14 above the
// baseline and 2 below), so a 16-pixel row of Chinese fills 16 LEDs.
constexpr std::string_view kChineseFace = "WenQuanYi Zen Hei Sharp";

struct FaceFile {
  FT_Face face = nullptr;
  std::string family;
  bool bold = false;  // the design is bold or italic itself, so no synthesis
  bool italic = false;
  bool fixedPitch = false;
  int upem = 2048;
  int ascent = 0;  // the cell above and below the baseline, in font units
  int descent = 0;
  int inkDescent = 0;  // how far glyphs reach below the baseline, when more than the cell
  int hheaAscender = 0;
  int hheaDescender = 0;
  int lineGap = 0;
  int avgWidth = 0;
  int bboxWidth = 0;
  int underlinePosition = 0;
  int underlineThickness = 0;
  int strikeoutPosition = 0;
  int strikeoutSize = 0;
  bool hasOutlineMetrics = false;

  // The em size for a LOGFONT height: negative is the em itself, positive
  // the cell height, zero a 16-pixel cell. A cell height gets the largest em
  // whose exact cell is less than half a pixel taller.
  int PpemForHeight(int height) const {
    if (height == 0) height = 16;
    if (height < 0) return -height;
    long long cell = ascent + descent;
    if (cell <= 0) cell = hheaAscender - hheaDescender;
    if (cell <= 0) return height;
    return static_cast<int>(std::max(1LL, ((2LL * height + 1) * upem - 1) / (2 * cell)));
  }
};

struct SizedFace {
  FaceFile* file = nullptr;  // null: no font at all on this machine
  int ppem = 0;
  int xppem = 0;  // the horizontal size: ppem unless the font is condensed or widened
  bool fakeBold = false;
  bool fakeItalic = false;
  int forcedAdvance = 0;
  int cellAscent = 0;  // glyph images are cut to the font's cell
  int cellDescent = 0;
  FT_Size size = nullptr;
  std::unordered_map<FT_UInt, Glyph> glyphs;

  const Glyph& GlyphAt(FT_UInt index);
  int AdvanceOf(FT_Pos horiAdvance) const;
};

// Converts a 1-bit image (rows top down, most significant bit first) into runs.
void AppendRuns(const unsigned char* bits, int pitch, int width, int height, int dx, int dy, Glyph& g) {
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = bits + static_cast<std::ptrdiff_t>(y) * pitch;
    int x = 0;
    while (x < width) {
      while (x < width && !(row[x >> 3] & (0x80 >> (x & 7)))) ++x;
      int start = x;
      while (x < width && (row[x >> 3] & (0x80 >> (x & 7)))) ++x;
      if (x > start) {
        g.runs.push_back({static_cast<std::int16_t>(y + dy), static_cast<std::int16_t>(start + dx),
                          static_cast<std::int16_t>(x + dx)});
      }
    }
  }
}

// Keeps runs inside the glyph's black box.
void ClipRuns(Glyph& g) {
  std::erase_if(g.runs, [&](GlyphRun& r) {
    r.x0 = static_cast<std::int16_t>(std::max<int>(r.x0, 0));
    r.x1 = static_cast<std::int16_t>(std::min<int>(r.x1, g.width));
    return r.row < 0 || r.row >= g.height || r.x0 >= r.x1;
  });
}

// Whole pixels, rounded up. Full-width characters of a fixed-pitch face are
// exactly two cells; a synthetic bold glyph is one pixel wider.
int SizedFace::AdvanceOf(FT_Pos advance) const {
  if (file->fixedPitch && file->avgWidth > 0) {
    FT_Fixed scale = FT_MulDiv(xppem, 1 << 16, file->upem);
    FT_Pos cell = FT_MulFix(file->avgWidth, scale);
    if (cell > 0 && ((advance + 63) >> 6) == FT_MulFix(file->avgWidth * 2, scale)) advance = (cell * 2) << 6;
  }
  if (fakeBold) advance += 1 << 6;
  int pixels = static_cast<int>((advance + 63) >> 6);
  if (forcedAdvance > 0) pixels = pixels * 4 >= forcedAdvance * 6 ? forcedAdvance * 2 : forcedAdvance;
  return pixels;
}

constexpr FT_Matrix kItalicShear = {1 << 16, (1 << 16) / 4, 0, 1 << 16};

const Glyph& SizedFace::GlyphAt(FT_UInt index) {
  auto found = glyphs.find(index);
  if (found != glyphs.end()) return found->second;
  Glyph& g = glyphs[index];
  if (!file) {
    g.advance = g.drawAdvance = std::max(1, ppem / 2);
    return g;
  }
  FT_Face face = file->face;
  FT_Activate_Size(size);
  // Extents come from the glyph as loaded for greyscale rendering, whose
  // advance is the rounded design advance rather than the bilevel hinted one.
  constexpr FT_Int32 kLoad = FT_LOAD_DEFAULT | FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH;
  bool measured = FT_Load_Glyph(face, index, kLoad) == 0;
  FT_Pos measuredAdvance = measured ? face->glyph->metrics.horiAdvance : 0;
  // The hinted outline for a bilevel target, as GDI asks for non-antialiased text.
  if (FT_Load_Glyph(face, index, kLoad | FT_LOAD_TARGET_MONO) != 0) {
    g.advance = g.drawAdvance = std::max(1, ppem / 2);
    return g;
  }
  FT_GlyphSlot slot = face->glyph;
  FT_Glyph_Metrics m = slot->metrics;
  bool outline = slot->format == FT_GLYPH_FORMAT_OUTLINE;

  if (fakeBold) {
    if (outline && FT_Outline_Embolden(&slot->outline, FT_MulDiv(ppem, 1 << 6, 24)) == 0) {
      FT_BBox cbox;
      FT_Outline_Get_CBox(&slot->outline, &cbox);
      m.width = cbox.xMax - cbox.xMin;
      m.height = cbox.yMax - cbox.yMin;
      m.horiBearingX = cbox.xMin;
      m.horiBearingY = cbox.yMax;
    } else if (m.width) {
      m.width += 1 << 6;
    }
  }

  // Black box on whole pixels.
  FT_Pos xMin, xMax, yMin, yMax;
  if (!fakeItalic || !outline) {
    xMin = m.horiBearingX & -64;
    xMax = (m.horiBearingX + m.width + 63) & -64;
    yMax = (m.horiBearingY + 63) & -64;
    yMin = (m.horiBearingY - m.height) & -64;
  } else {
    xMin = yMin = 0x7FFFFFFF;
    xMax = yMax = -0x7FFFFFFF;
    for (int xc = 0; xc < 2; ++xc) {
      for (int yc = 0; yc < 2; ++yc) {
        FT_Vector v{m.horiBearingX + xc * m.width, m.horiBearingY - yc * m.height};
        FT_Vector_Transform(&v, &kItalicShear);
        xMin = std::min(xMin, v.x);
        xMax = std::max(xMax, v.x);
        yMin = std::min(yMin, v.y);
        yMax = std::max(yMax, v.y);
      }
    }
    xMin &= -64;
    yMin &= -64;
    xMax = (xMax + 63) & -64;
    yMax = (yMax + 63) & -64;
  }

  g.drawAdvance = AdvanceOf(m.horiAdvance);
  g.advance = measured ? AdvanceOf(measuredAdvance) : g.drawAdvance;

  // The box stops at the font's cell; the rasterizer never sees what lies beyond.
  yMax = std::min<FT_Pos>(yMax, FT_Pos{cellAscent} * 64);
  yMin = std::max<FT_Pos>(yMin, -FT_Pos{cellDescent} * 64);
  int width = static_cast<int>((xMax - xMin) >> 6);
  int height = static_cast<int>((yMax - yMin) >> 6);
  g.originX = static_cast<std::int32_t>(xMin >> 6);
  g.originY = static_cast<std::int32_t>(yMax >> 6);
  g.width = std::max(width, 1);
  g.height = std::max(height, 1);
  if (width <= 0 || height <= 0) return g;

  if (outline) {
    if (fakeItalic) FT_Outline_Transform(&slot->outline, &kItalicShear);
    FT_Outline_Translate(&slot->outline, -xMin, -yMin);
    int pitch = ((width + 31) >> 5) << 2;
    std::vector<unsigned char> buffer(static_cast<std::size_t>(pitch) * static_cast<std::size_t>(height), 0);
    FT_Bitmap bitmap;
    std::memset(&bitmap, 0, sizeof bitmap);
    bitmap.width = static_cast<unsigned>(width);
    bitmap.rows = static_cast<unsigned>(height);
    bitmap.pitch = pitch;
    bitmap.pixel_mode = FT_PIXEL_MODE_MONO;
    bitmap.buffer = buffer.data();
    bitmap.num_grays = 2;
    // A mono target runs FreeType's bilevel rasterizer on the box the glyph's metrics round out to.
    FT_Outline_Get_Bitmap(face->glyph->library, &slot->outline, &bitmap);
    AppendRuns(buffer.data(), pitch, width, height, 0, 0, g);
  } else if (slot->format == FT_GLYPH_FORMAT_BITMAP) {
    // Embedded bitmap strike: copy it (grey levels thresholded at half).
    const FT_Bitmap& src = slot->bitmap;
    int w = static_cast<int>(src.width), h = static_cast<int>(src.rows);
    int pitch = (w + 7) / 8 + 1;
    std::vector<unsigned char> bits(static_cast<std::size_t>(pitch) * static_cast<std::size_t>(std::max(h, 0)), 0);
    for (int y = 0; y < h; ++y) {
      const unsigned char* row = src.buffer + static_cast<std::ptrdiff_t>(y) * src.pitch;
      for (int x = 0; x < w; ++x) {
        bool on = src.pixel_mode == FT_PIXEL_MODE_MONO   ? (row[x >> 3] & (0x80 >> (x & 7))) != 0
                  : src.pixel_mode == FT_PIXEL_MODE_GRAY ? row[x] >= 128
                                                         : false;
        if (on) {
          bits[static_cast<std::size_t>(y * pitch + (x >> 3))] |= static_cast<unsigned char>(0x80 >> (x & 7));
          if (fakeBold)
            bits[static_cast<std::size_t>(y * pitch + ((x + 1) >> 3))] |=
                static_cast<unsigned char>(0x80 >> ((x + 1) & 7));
        }
      }
    }
    AppendRuns(bits.data(), pitch, w + (fakeBold ? 1 : 0), h, slot->bitmap_left - g.originX,
               g.originY - slot->bitmap_top, g);
    ClipRuns(g);
  }
  return g;
}

}  // namespace

// Per realised font: the chosen faces and the glyph of each character seen so far.
struct FontState {
  FontState() : font(*this) {}
  RealizedFont font;
  SizedFace* primary = nullptr;
  SizedFace* halfWidth = nullptr;  // Latin and the like for a Chinese face whose own are half a cell
  bool bold = false;
  bool italic = false;
  int fallbackHeight = 0;  // lfHeight used to size fallback faces
  int forcedAdvance = 0;   // character cell width of the fixed system font, 0 otherwise
  std::array<const Glyph*, 128> ascii{};
  std::unordered_map<char32_t, const Glyph*> others;

  const Glyph* GlyphFor(char32_t c);
  void Describe(const FontMetrics& metrics, std::string family, int ppem) {
    font.metrics_ = metrics;
    font.family_ = std::move(family);
    font.ppem_ = ppem;
  }
};

namespace {

// ---------------------------------------------------------------------------
// The cache

constexpr int kMaxPpem = 4096;  // keeps glyph images within reason and run coordinates in 16 bits
constexpr int kMaxFontHeight = 1 << 16;

struct MatchedFont {
  std::string file;
  int index = 0;
  FcCharSet* charset = nullptr;  // a reference the cache keeps
};

std::vector<std::string> PatternFamilies(FcPattern* p) {
  std::vector<std::string> out;
  FcChar8* s = nullptr;
  for (int i = 0; FcPatternGetString(p, FC_FAMILY, i, &s) == FcResultMatch; ++i)
    out.emplace_back(reinterpret_cast<const char*>(s));
  return out;
}

// Stock faces: GDI's system fonts are bitmap fonts of one size; these
// outline faces stand in for them, with the metrics GDI reports.
struct StockFace {
  std::string_view name;
  std::vector<std::string> families;
  bool bold;
  int ppem;
  int cellHeight;  // sizes fallback faces
  int forcedAdvance;
  FontMetrics metrics;
};

const std::vector<StockFace>& StockFaces() {
  static const std::vector<StockFace> faces = {
      // Proportional and bold like GDI's "System". DejaVu Sans Condensed Bold
      // at 13 ppem comes closest in width: digits 8 pixels, "Hello" 34, the
      // alphabet in capitals 230 against 240.
      {"system",
       {"DejaVu Sans Condensed", "DejaVu Sans", "Liberation Sans"},
       true,
       13,
       16,
       0,
       {16, 13, 3, 3, 0, 7, 15, 0, 1, 6, 1}},
      // "Fixedsys": a cell of 8 by 15 with heavy stems; DejaVu Sans Mono Bold
      // at 13 ppem is 8 wide and fits 12 above and 3 below the baseline.
      {"fixedsys", {"DejaVu Sans Mono", "Liberation Mono"}, true, 13, 15, 8, {15, 12, 3, 3, 0, 8, 8, 0, 1, 6, 1}},
  };
  return faces;
}

struct Alias {
  std::vector<std::string_view> names;
  std::vector<std::string> families;
  bool cjk;
  // The Windows face's average character width per em, by which a LOGFONT
  // width is meant; 0 for the replacing face's own.
  double averageWidth = 0;
  // Latin and other characters outside the CJK blocks come from this face,
  // half a cell wide, as the Windows face's own are.
  std::string_view halfWidthFace = {};
};

// Windows faces and the metric-compatible faces that replace them here.
// The Chinese faces go to CJK faces whose Latin letters are half a cell, as
// theirs are.
const std::vector<Alias>& Aliases() {
  static const std::vector<Alias> aliases = {
      {{"arial", "helvetica", "ms sans serif", "microsoft sans serif"}, {"Liberation Sans", "Arimo"}, false,
       904.0 / 2048},
      {{"times new roman", "times"}, {"Liberation Serif", "Tinos"}, false, 821.0 / 2048},
      {{"courier new", "courier"}, {"Liberation Mono", "Cousine"}, false, 1229.0 / 2048},
      // The Song and Hei faces have their em square as their cell and
      // hand-drawn strikes at 12-16 pixels; so has this face.
      {{"simsun", "nsimsun", "simhei",
        "\xE5\xAE\x8B\xE4\xBD\x93",               // 宋体
        "\xE6\x96\xB0\xE5\xAE\x8B\xE4\xBD\x93",   // 新宋体
        "\xE9\xBB\x91\xE4\xBD\x93"},              // 黑体
       {std::string(kChineseFace), "WenQuanYi Zen Hei Mono", "Noto Sans Mono CJK SC", "Noto Sans CJK SC",
        "WenQuanYi Zen Hei", "Droid Sans Fallback"},
       true, 0.5, "WenQuanYi Zen Hei Mono"},
      {{"kaiti", "fangsong", "kaiti_gb2312", "fangsong_gb2312", "mingliu",
        "\xE6\xA5\xB7\xE4\xBD\x93",               // 楷体
        "\xE4\xBB\xBF\xE5\xAE\x8B",               // 仿宋
        "\xE6\xA5\xB7\xE4\xBD\x93_gb2312",        // 楷体_GB2312
        "\xE4\xBB\xBF\xE5\xAE\x8B_gb2312",        // 仿宋_GB2312
        "\xE7\xBB\x86\xE6\x98\x8E\xE4\xBD\x93"},  // 细明体
       {"WenQuanYi Zen Hei Mono", "Noto Sans Mono CJK SC", "Noto Sans CJK SC", "WenQuanYi Zen Hei",
        "Droid Sans Fallback"},
       true},
      {{"microsoft yahei", "pmingliu", "microsoft jhenghei",
        "\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91",   // 微软雅黑
        "\xE6\x96\xB0\xE7\xBB\x86\xE6\x98\x8E\xE4\xBD\x93"},  // 新细明体
       {"Noto Sans CJK SC", "WenQuanYi Zen Hei", "Droid Sans Fallback"},
       true},
  };
  return aliases;
}

class FontCache {
 public:
  static FontCache& Get() {
    static FontCache* cache = new FontCache();  // never destroyed: text may still be drawn during exit
    return *cache;
  }

  std::mutex mutex;

  FontState& Realize(const LOGFONT& lf, std::string_view codePage) {
    std::string face(lf.FaceName());
    if (!IsValidUtf8(face)) face = CodePageToUtf8(face, codePage);
    while (!face.empty() && face.back() == ' ') face.pop_back();
    while (!face.empty() && face.front() == ' ') face.erase(face.begin());
    std::string key = Lower(face);
    bool bold = lf.lfWeight > 550;  // where GDI switches to the bold face
    bool italic = lf.lfItalic != 0;
    // Heights beyond any glyph size are limited first, so no later step overflows.
    int height = std::clamp(lf.lfHeight, -kMaxFontHeight, kMaxFontHeight);
    // A width asks for glyphs condensed or widened to that average width.
    int width = std::min(lf.lfWidth == INT32_MIN ? kMaxFontHeight : std::abs(lf.lfWidth), kMaxFontHeight);
    auto id = std::make_tuple(key, height, width, bold, italic);
    auto found = fonts_.find(id);
    if (found != fonts_.end()) return *found->second;
    auto state = std::make_unique<FontState>();
    Build(*state, key, height, width, bold, italic);
    FontState& ref = *state;
    fonts_.emplace(id, std::move(state));
    return ref;
  }

  // The glyph for a character the primary face lacks.
  const Glyph* Fallback(const FontState& font, char32_t c) {
    const std::vector<MatchedFont>& chain = FallbackChain(font.bold, font.italic);
    for (const MatchedFont& m : chain) {
      if (!m.charset || !FcCharSetHasChar(m.charset, c)) continue;
      FaceFile* file = OpenFace(m.file, m.index);
      if (!file) continue;
      FT_UInt index = FT_Get_Char_Index(file->face, c);
      if (!index) continue;
      int ppem = std::clamp(file->PpemForHeight(font.fallbackHeight), 1, kMaxPpem);
      bool fakeBold = font.bold && !file->bold;
      FontMetrics own = ComputeMetrics(file, ppem, fakeBold);
      SizedFace& sized =
          Sized(file, ppem, fakeBold, font.italic && !file->italic, font.forcedAdvance, own.ascent, own.descent);
      return &sized.GlyphAt(index);
    }
    return nullptr;
  }

  // Faces of a font file that take precedence over the system's faces of
  // the same family; fonts already realised keep the faces they have.
  bool AddPrivateFontFile(const std::string& path) {
    FaceFile* file = OpenFace(path, 0);
    if (!file) return false;
    privateFaces_.push_back(file);
    return true;
  }

 private:
  FontCache() {
    if (FT_Init_FreeType(&library_) != 0) {
      library_ = nullptr;  // no face opens; text keeps its advances but draws nothing
      ReportMessage("The font engine could not be started: text will not be drawn.");
    }
    FcInit();
  }

  void Build(FontState& state, const std::string& key, int height, int width, bool bold, bool italic) {
    state.bold = bold;
    state.italic = italic;
    for (const StockFace& stock : StockFaces()) {
      if (key != stock.name) continue;
      FaceFile* file = Match(stock.families, stock.bold, false, false);
      if (!file) file = DefaultFace(stock.bold, false);
      state.primary = &Sized(file, stock.ppem, stock.bold && file && !file->bold, italic && file && !file->italic,
                             stock.forcedAdvance, stock.metrics.ascent, stock.metrics.descent);
      state.fallbackHeight = stock.cellHeight;
      state.forcedAdvance = stock.forcedAdvance;
      state.bold = stock.bold;
      state.Describe(stock.metrics, file ? file->family : std::string(), stock.ppem);
      return;
    }

    FaceFile* file = nullptr;
    const Alias* aliased = nullptr;
    for (const Alias& alias : Aliases()) {
      if (std::find(alias.names.begin(), alias.names.end(), key) == alias.names.end()) continue;
      aliased = &alias;
      file = Match(alias.families, bold, italic, false);
      if (!file && alias.cjk) file = Match({}, bold, italic, true);
      break;
    }
    if (!file && !key.empty()) file = Match({key}, bold, italic, false);
    if (!file) file = DefaultFace(bold, italic);

    state.fallbackHeight = height;
    int ppem = file ? file->PpemForHeight(height) : (height < 0 ? -height : height == 0 ? 13 : height * 4 / 5);
    ppem = std::clamp(ppem, 1, kMaxPpem);
    bool fakeBold = bold && file && !file->bold;
    FontMetrics tm = ComputeMetrics(file, ppem, fakeBold);
    // The horizontal size that gives the average width asked for, measured
    // as the Windows face measures it.
    int xppem = ppem;
    const double natural = aliased && aliased->averageWidth > 0 ? ppem * aliased->averageWidth : tm.aveCharWidth;
    if (width > 0 && file && natural > 0) {
      xppem = std::clamp(int(std::lround(ppem * double(width) / natural)), 1, kMaxPpem);
      tm.maxCharWidth = int(std::int64_t(tm.maxCharWidth) * xppem / ppem);
      tm.aveCharWidth = int(std::lround(natural * xppem / ppem));
    }
    const bool fakeItalic = italic && file && !file->italic;
    state.primary = &Sized(file, ppem, fakeBold, fakeItalic, 0, tm.ascent, InkDescent(file, ppem, tm), xppem);
    if (aliased && !aliased->halfWidthFace.empty()) {
      if (FaceFile* half = Match({std::string(aliased->halfWidthFace)}, bold, italic, false)) {
        const FontMetrics own = ComputeMetrics(half, ppem, bold && !half->bold);
        state.halfWidth = &Sized(half, ppem, bold && !half->bold, italic && !half->italic, 0, tm.ascent,
                                 std::max(tm.descent, own.descent), xppem);
      }
    }
    state.Describe(tm, file ? file->family : std::string(), ppem);
  }

  // Where glyphs are cut below the baseline: the cell's bottom, or further
  // for a face whose cell is its em square.
  static int InkDescent(const FaceFile* file, int ppem, const FontMetrics& tm) {
    if (!file || file->inkDescent <= tm.descent) return tm.descent;
    return std::max<int>(tm.descent, FT_MulFix(file->inkDescent, FT_MulDiv(ppem, 1 << 16, file->upem)));
  }

  // GDI's text metrics from the OS/2, hhea and post tables.
  static FontMetrics ComputeMetrics(const FaceFile* file, int ppem, bool fakeBold) {
    FontMetrics tm;
    if (!file) {
      tm.ascent = (ppem * 4 + 2) / 5;
      tm.descent = ppem - tm.ascent;
      tm.height = ppem;
      tm.aveCharWidth = std::max(1, ppem / 2);
      tm.maxCharWidth = ppem;
      tm.strikeoutPosition = tm.ascent / 2;
      tm.underlineSize = tm.strikeoutSize = tm.ascent / 20 + 1;
      return tm;
    }
    FT_Fixed scale = FT_MulDiv(ppem, 1 << 16, file->upem);
    auto s = [&](long v) { return static_cast<std::int32_t>(FT_MulFix(v, scale)); };
    tm.ascent = s(file->ascent);
    tm.descent = s(file->descent);
    tm.height = tm.ascent + tm.descent;
    tm.internalLeading = s(file->ascent + file->descent - file->upem);
    tm.externalLeading = std::max<std::int32_t>(
        0, s(file->lineGap - ((file->ascent + file->descent) - (file->hheaAscender - file->hheaDescender))));
    tm.aveCharWidth = std::max<std::int32_t>(1, s(file->avgWidth));
    tm.maxCharWidth = s(file->bboxWidth);
    if (fakeBold) {
      ++tm.aveCharWidth;
      ++tm.maxCharWidth;
    }
    if (file->hasOutlineMetrics) {
      tm.underlinePosition = s(file->underlinePosition);
      tm.underlineSize = std::max<std::int32_t>(1, std::abs(s(file->underlineThickness)));
      tm.strikeoutPosition = s(file->strikeoutPosition);
      tm.strikeoutSize = std::max<std::int32_t>(1, std::abs(s(file->strikeoutSize)));
    } else {
      tm.underlinePosition = 0;
      tm.underlineSize = tm.strikeoutSize = tm.ascent / 20 + 1;
      tm.strikeoutPosition = tm.ascent / 2;
    }
    return tm;
  }

  // `xppem` is the horizontal size, 0 for the same as the vertical one.
  SizedFace& Sized(FaceFile* file, int ppem, bool fakeBold, bool fakeItalic, int forcedAdvance, int ascent,
                   int descent, int xppem = 0) {
    if (xppem == 0) xppem = ppem;
    auto id = std::make_tuple(file, ppem, xppem, fakeBold, fakeItalic, forcedAdvance, ascent, descent);
    auto found = sized_.find(id);
    if (found != sized_.end()) return *found->second;
    auto sized = std::make_unique<SizedFace>();
    sized->file = file;
    sized->ppem = ppem;
    sized->xppem = xppem;
    sized->fakeBold = fakeBold;
    sized->fakeItalic = fakeItalic;
    sized->forcedAdvance = forcedAdvance;
    sized->cellAscent = ascent;
    sized->cellDescent = descent;
    if (file && FT_New_Size(file->face, &sized->size) != 0) {
      sized->file = nullptr;  // without a size object of its own the face cannot be used safely
    } else if (file) {
      FT_Activate_Size(sized->size);
      if (FT_Set_Pixel_Sizes(file->face, static_cast<FT_UInt>(xppem), static_cast<FT_UInt>(ppem)) != 0 &&
          file->face->num_fixed_sizes > 0) {
        FT_Select_Size(file->face, 0);  // a bitmap-only face: its first strike
      }
    }
    SizedFace& ref = *sized;
    sized_.emplace(id, std::move(sized));
    return ref;
  }

  // A fontconfig query for scalable faces of the families (any when none is
  // given) in the weight and slant, for Chinese text when asked; the caller destroys it.
  static FcPattern* QueryPattern(const std::vector<std::string>& families, bool bold, bool italic, bool chinese) {
    FcPattern* pattern = FcPatternCreate();
    for (const std::string& f : families) {
      FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(f.c_str()));
    }
    if (chinese) FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
  }

  // Asks fontconfig for a face. With families given, only a face of one of
  // them is accepted; without, the best face for Chinese text.
  FaceFile* Match(const std::vector<std::string>& families, bool bold, bool italic, bool chinese) {
    if (FaceFile* own = PrivateFace(families, bold, italic)) return own;
    FcPattern* pattern = QueryPattern(families, bold, italic, chinese);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return nullptr;
    FaceFile* file = nullptr;
    bool accepted = families.empty();
    for (const std::string& have : PatternFamilies(match)) {
      for (const std::string& want : families)
        if (Lower(have) == Lower(want)) accepted = true;
    }
    if (chinese) {
      FcCharSet* cs = nullptr;
      accepted = FcPatternGetCharSet(match, FC_CHARSET, 0, &cs) == FcResultMatch && FcCharSetHasChar(cs, 0x4E2D);
    }
    FcChar8* path = nullptr;
    int index = 0;
    if (accepted && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      file = OpenFace(reinterpret_cast<const char*>(path), index);
    }
    FcPatternDestroy(match);
    return file;
  }

  // A private face of the first family that has one in the style asked for;
  // other styles of that family come from the installed faces.
  FaceFile* PrivateFace(const std::vector<std::string>& families, bool bold, bool italic) const {
    for (const std::string& want : families) {
      for (FaceFile* file : privateFaces_) {
        if (Lower(file->family) == Lower(want) && file->bold == bold && file->italic == italic) return file;
      }
    }
    return nullptr;
  }

  // Unknown faces become Arial's stand-in, then whatever sans face there is.
  FaceFile* DefaultFace(bool bold, bool italic) {
    if (FaceFile* f = Match({"Liberation Sans", "Arimo", "DejaVu Sans"}, bold, italic, false)) return f;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    FaceFile* file = nullptr;
    FcChar8* path = nullptr;
    int index = 0;
    if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      file = OpenFace(reinterpret_cast<const char*>(path), index);
    }
    if (match) FcPatternDestroy(match);
    return file;
  }

  FaceFile* OpenFace(const std::string& path, int index) {
    auto id = std::make_pair(path, index);
    auto found = files_.find(id);
    if (found != files_.end()) return found->second.get();
    FT_Face face = nullptr;
    std::unique_ptr<FaceFile> file;
    if (FT_New_Face(library_, path.c_str(), index, &face) == 0) {
      file = std::make_unique<FaceFile>();
      file->face = face;
      file->family = face->family_name ? face->family_name : "";
      file->bold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
      file->italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
      file->upem = face->units_per_EM ? face->units_per_EM : 2048;
      file->hheaAscender = face->ascender;
      file->hheaDescender = face->descender;
      file->bboxWidth = static_cast<int>(face->bbox.xMax - face->bbox.xMin);
      auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
      auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
      auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
      if (hhea) {
        file->hheaAscender = hhea->Ascender;
        file->hheaDescender = hhea->Descender;
        file->lineGap = hhea->Line_Gap;
      }
      if (os2 && os2->version != 0xFFFF) {
        file->ascent = os2->usWinAscent;
        file->descent = std::abs(static_cast<std::int16_t>(os2->usWinDescent));
        file->avgWidth = os2->xAvgCharWidth;
        file->strikeoutPosition = os2->yStrikeoutPosition;
        file->strikeoutSize = os2->yStrikeoutSize;
      }
      if (file->ascent + file->descent == 0) {
        file->ascent = file->hheaAscender;
        file->descent = -file->hheaDescender;
      }
      if (file->avgWidth == 0) file->avgWidth = static_cast<int>(face->max_advance_width / 2);
      if (file->family == kChineseFace) {
        // SimSun's proportions: 220 of 256 above the baseline. Latin
        // descenders reach further, and are drawn rather than cut.
        file->inkDescent = file->descent;
        file->ascent = (file->upem * 220 + 128) / 256;
        file->descent = file->upem - file->ascent;
        file->hheaAscender = file->ascent;
        file->hheaDescender = -file->descent;
        file->lineGap = 0;
      }
      file->fixedPitch = FT_IS_FIXED_WIDTH(face) || (post && post->isFixedPitch);
      if (post && os2) {
        file->hasOutlineMetrics = true;
        file->underlinePosition = static_cast<int>(post->underlinePosition);
        file->underlineThickness = static_cast<int>(post->underlineThickness);
      }
    }
    FaceFile* ref = file.get();
    files_.emplace(id, std::move(file));
    return ref;
  }

  // Faces to take missing characters from, best first: those for Chinese
  // text lead, as Chinese Windows links its Chinese faces behind every font.
  const std::vector<MatchedFont>& FallbackChain(bool bold, bool italic) {
    auto& chain = chains_[(bold ? 2 : 0) + (italic ? 1 : 0)];
    if (chain) return *chain;
    chain = std::make_unique<std::vector<MatchedFont>>();
    FcPattern* pattern = QueryPattern({std::string(kChineseFace), "sans-serif"}, bold, italic, true);
    FcResult result;
    FcFontSet* set = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
    FcPatternDestroy(pattern);
    if (set) {
      for (int i = 0; i < set->nfont; ++i) {
        FcPattern* p = set->fonts[i];
        FcChar8* path = nullptr;
        FcCharSet* cs = nullptr;
        int index = 0;
        if (FcPatternGetString(p, FC_FILE, 0, &path) != FcResultMatch) continue;
        if (FcPatternGetCharSet(p, FC_CHARSET, 0, &cs) != FcResultMatch) continue;
        FcPatternGetInteger(p, FC_INDEX, 0, &index);
        chain->push_back({reinterpret_cast<const char*>(path), index, FcCharSetCopy(cs)});
      }
      FcFontSetDestroy(set);
    }
    return *chain;
  }

  FT_Library library_ = nullptr;
  std::map<std::pair<std::string, int>, std::unique_ptr<FaceFile>> files_;
  std::vector<FaceFile*> privateFaces_;
  std::map<std::tuple<FaceFile*, int, int, bool, bool, int, int, int>, std::unique_ptr<SizedFace>> sized_;
  std::map<std::tuple<std::string, int, int, bool, bool>, std::unique_ptr<FontState>> fonts_;
  std::array<std::unique_ptr<std::vector<MatchedFont>>, 4> chains_;
};

}  // namespace

const Glyph* FontState::GlyphFor(char32_t c) {
  if (c < 128 && ascii[c]) return ascii[c];
  if (c >= 128) {
    auto found = others.find(c);
    if (found != others.end()) return found->second;
  }
  const Glyph* g = nullptr;
  // Below the CJK blocks (U+2E80) a Chinese face takes its half-width glyphs.
  const bool half = halfWidth && halfWidth->file && c < 0x2E80 && FT_Get_Char_Index(halfWidth->file->face, c) != 0;
  SizedFace& face = half ? *halfWidth : *primary;
  FT_UInt index = face.file ? FT_Get_Char_Index(face.file->face, c) : 0;
  if (index) {
    g = &face.GlyphAt(index);
  } else {
    g = FontCache::Get().Fallback(*this, c);
    if (!g) g = &face.GlyphAt(0);  // the face's missing-character glyph
  }
  if (c < 128) {
    ascii[c] = g;
  } else {
    others.emplace(c, g);
  }
  return g;
}

void RealizedFont::GetGlyphs(std::u32string_view text, std::vector<const Glyph*>& out) const {
  std::lock_guard lock(FontCache::Get().mutex);
  out.reserve(out.size() + text.size());
  for (char32_t c : text) out.push_back(state_->GlyphFor(c));
}

int RealizedFont::TextWidth(std::u32string_view text) const {
  std::lock_guard lock(FontCache::Get().mutex);
  std::int64_t width = 0;  // wide, and saturated: text can be arbitrarily long
  for (char32_t c : text) width += state_->GlyphFor(c)->advance;
  return int(std::min<std::int64_t>(width, INT32_MAX));
}

const RealizedFont& RealizeFont(const LOGFONT& lf, std::string_view codePage) {
  FontCache& cache = FontCache::Get();
  std::lock_guard lock(cache.mutex);
  return cache.Realize(lf, codePage).font;
}

bool AddPrivateFontFile(const std::filesystem::path& file) {
  FontCache& cache = FontCache::Get();
  std::lock_guard lock(cache.mutex);
  return cache.AddPrivateFontFile(file.string());
}

}  // namespace lumetra
