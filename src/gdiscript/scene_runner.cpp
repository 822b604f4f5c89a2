#include "gdiscript/scene_runner.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <set>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "platform/archive/byte_stream.h"
#include "platform/codepage/codepage.h"
#include "platform/files.h"

namespace lumetra {
namespace {

// A script line split into blank-separated tokens, with access to the
// verbatim rest of the line for text arguments.
class Tokens {
 public:
  explicit Tokens(std::string_view line) : line_(line) {}

  std::string_view Word() {
    SkipBlanks();
    std::size_t start = pos_;
    while (pos_ < line_.size() && line_[pos_] != ' ' && line_[pos_] != '\t') ++pos_;
    if (start == pos_) throw std::runtime_error("missing argument");
    return line_.substr(start, pos_ - start);
  }
  bool AtEnd() {
    SkipBlanks();
    return pos_ >= line_.size();
  }
  int Int() { return ParseNumber<int>(Word(), 10); }
  std::uint32_t Hex() { return ParseNumber<std::uint32_t>(Word(), 16); }
  // Everything after exactly one separating blank, verbatim.
  std::string_view Rest() {
    if (pos_ < line_.size()) ++pos_;
    return line_.substr(std::min(pos_, line_.size()));
  }
  std::vector<CPoint> Points() {
    int n = Int();
    if (n < 0 || n > 100000) throw std::runtime_error("bad point count");
    std::vector<CPoint> points(static_cast<std::size_t>(n));
    for (CPoint& p : points) {
      p.x = Int();
      p.y = Int();
    }
    return points;
  }

 private:
  template <typename T>
  static T ParseNumber(std::string_view word, int base) {
    T value{};
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    if (error != std::errc{} || end != word.data() + word.size()) {
      throw std::runtime_error("bad number \"" + std::string(word) + "\"");
    }
    return value;
  }
  void SkipBlanks() {
    while (pos_ < line_.size() && (line_[pos_] == ' ' || line_[pos_] == '\t')) ++pos_;
  }

  std::string_view line_;
  std::size_t pos_ = 0;
};

std::string Hex6(COLORREF c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, c == CLR_INVALID ? "%08X" : "%06X", c);
  return buffer;
}

// GetStockObject's fonts: the system fonts as such, the others as the logical
// fonts they stand for.
CFont& StockFont(int index) {
  auto make = [](int height, std::string_view face) {
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.SetFaceName(face);
    return CFont(lf);
  };
  static CFont oemFixed = make(12, "Terminal");
  static CFont ansiFixed = make(12, "Courier");
  static CFont ansiVar = make(13, "MS Sans Serif");
  static CFont guiFont = make(-11, "MS Shell Dlg");
  switch (index) {
    case 10:
      return oemFixed;
    case 11:
      return ansiFixed;
    case 12:
      return ansiVar;
    case 16:
      return StockSystemFixedFont();
    case 17:
      return guiFont;
    default:
      return StockSystemFont();  // 13 SYSTEM_FONT, 14 DEVICE_DEFAULT_FONT
  }
}

// The font families fontconfig knows, sorted, each once.
std::set<std::string> FontFamilies() {
  std::set<std::string> families;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
  for (int i = 0; fonts && i < fonts->nfont; ++i) {
    FcChar8* family = nullptr;
    if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch) {
      families.insert(reinterpret_cast<const char*>(family));
    }
  }
  if (fonts) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return families;
}

// What ExtCreatePen refuses: cosmetic pens other than one pixel wide,
// geometric PS_ALTERNATE, user styles without 1..16 entries.
void CheckExtPen(std::uint32_t style, int width, std::size_t dashCount) {
  bool geometric = (style & PS_TYPE_MASK) == PS_GEOMETRIC;
  std::uint32_t type = style & PS_STYLE_MASK;
  if (!geometric && width != 1) throw std::runtime_error("cosmetic pen must be 1 wide");
  if (geometric && type == PS_ALTERNATE) throw std::runtime_error("PS_ALTERNATE needs a cosmetic pen");
  if (type == PS_USERSTYLE ? dashCount == 0 || dashCount > CPen::kMaxUserDashes : dashCount != 0) {
    throw std::runtime_error("bad dash entries");
  }
  if (type > PS_ALTERNATE) throw std::runtime_error("bad pen style");
}

bool ValidSceneName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    bool ok =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
    if (!ok) return false;
  }
  return true;
}

}  // namespace

struct SceneRunner::Scene {
  Scene(std::string n, int w, int h, COLORREF bg) : name(std::move(n)), bitmap(w, h, bg), dc(bitmap) {}
  std::string name;
  Bitmap32 bitmap;
  CDC dc;
  std::unique_ptr<CPen> pen;
  std::unique_ptr<CBrush> brush;
  std::unique_ptr<CFont> font;
  std::optional<CRgn> region;
};

SceneRunner::SceneRunner(std::filesystem::path outDir, std::ostream& queries, std::ostream& diagnostics)
    : outDir_(std::move(outDir)), queries_(queries), diagnostics_(diagnostics) {}

SceneRunner::~SceneRunner() = default;

void SceneRunner::Error(const std::string& message) {
  errors_ = true;
  diagnostics_ << "line " << lineNumber_ << ": " << message << '\n';
}

void SceneRunner::RunLine(std::string_view line, int lineNumber) {
  lineNumber_ = lineNumber;
  std::size_t first = line.find_first_not_of(" \t\r");
  if (first == std::string_view::npos || line[first] == '#') return;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  try {
    Execute(line.substr(first));
  } catch (const std::exception& e) {
    Error(std::string(e.what()) + ": " + std::string(line));
  }
}

void SceneRunner::Finish() { CloseScene(true); }

void SceneRunner::CloseScene(bool warn) {
  if (!scene_) return;
  if (warn) diagnostics_ << "warning: scene " << scene_->name << " not closed with 'end'\n";
  WriteBmp24(scene_->bitmap, outDir_ / (scene_->name + ".bmp"));
  scene_.reset();
}

void SceneRunner::Execute(std::string_view line) {
  Tokens t(line);
  std::string_view cmd = t.Word();
  if (cmd == "scene") {
    CloseScene(true);
    std::string name(t.Word());
    if (!ValidSceneName(name)) throw std::runtime_error("bad scene name");
    int w = t.Int(), h = t.Int();
    if (w <= 0 || h <= 0 || std::int64_t(w) * h > (1 << 26)) throw std::runtime_error("bad scene size");
    COLORREF bg = t.AtEnd() ? 0 : t.Hex();
    scene_ = std::make_unique<Scene>(name, w, h, bg);
    return;
  }
  if (!scene_) throw std::runtime_error("no open scene");
  Scene& s = *scene_;
  CDC& dc = s.dc;
  const std::string& name = s.name;

  if (cmd == "end") {
    CloseScene(false);
  } else if (cmd == "rop2") {
    dc.SetROP2(t.Int());
  } else if (cmd == "bkmode") {
    dc.SetBkMode(t.Int());
  } else if (cmd == "bkcolor") {
    dc.SetBkColor(t.Hex());
  } else if (cmd == "textcolor") {
    dc.SetTextColor(t.Hex());
  } else if (cmd == "textalign") {
    dc.SetTextAlign(unsigned(t.Int()));
  } else if (cmd == "polyfillmode") {
    dc.SetPolyFillMode(t.Int());
  } else if (cmd == "arcdirection") {
    dc.SetArcDirection(t.Int());
  } else if (cmd == "pen") {
    int style = t.Int(), width = t.Int();
    COLORREF c = t.Hex();
    auto pen = std::make_unique<CPen>(style, width, c);
    dc.SelectObject(pen.get());
    s.pen = std::move(pen);
  } else if (cmd == "extpen") {
    std::uint32_t style = t.Hex();
    int width = t.Int();
    COLORREF c = t.Hex();
    std::vector<std::uint32_t> dashes;
    if (!t.AtEnd()) {
      int n = t.Int();
      if (n < 0 || n > 16) throw std::runtime_error("bad dash count");
      for (int i = 0; i < n; ++i) dashes.push_back(std::uint32_t(t.Int()));
    }
    CheckExtPen(style, width, dashes.size());
    auto pen = std::make_unique<CPen>(CPen::ExtCreatePen(style, width, c, dashes));
    dc.SelectObject(pen.get());
    s.pen = std::move(pen);
  } else if (cmd == "fontlist") {
    // One TrueType family per line, listed once for the default character set.
    for (const std::string& family : FontFamilies()) queries_ << name << " fontlist truetype 0 " << family << '\n';
  } else if (cmd == "nullpen") {
    dc.SelectObject(&StockNullPen());
    s.pen.reset();
  } else if (cmd == "brush") {
    int style = t.Int();
    COLORREF c = t.Hex();
    int hatch = t.Int();
    auto brush = std::make_unique<CBrush>(LOGBRUSH{style, c, hatch});
    dc.SelectObject(brush.get());
    s.brush = std::move(brush);
  } else if (cmd == "nullbrush") {
    dc.SelectObject(&StockNullBrush());
    s.brush.reset();
  } else if (cmd == "brushorg") {
    int x = t.Int();
    dc.SetBrushOrg(x, t.Int());
  } else if (cmd == "windoworg") {
    int x = t.Int();
    dc.SetWindowOrg(x, t.Int());
  } else if (cmd == "viewportorg") {
    int x = t.Int();
    dc.SetViewportOrg(x, t.Int());
  } else if (cmd == "fill") {
    s.bitmap.Fill(t.Hex());
  } else if (cmd == "moveto") {
    int x = t.Int();
    dc.MoveTo(x, t.Int());
  } else if (cmd == "lineto") {
    int x = t.Int();
    dc.LineTo(x, t.Int());
  } else if (cmd == "rectangle") {
    int l = t.Int(), tp = t.Int(), r = t.Int(), b = t.Int();
    dc.Rectangle(l, tp, r, b);
  } else if (cmd == "roundrect") {
    int l = t.Int(), tp = t.Int(), r = t.Int(), b = t.Int(), w = t.Int(), h = t.Int();
    dc.RoundRect(l, tp, r, b, w, h);
  } else if (cmd == "ellipse") {
    int l = t.Int(), tp = t.Int(), r = t.Int(), b = t.Int();
    dc.Ellipse(l, tp, r, b);
  } else if (cmd == "arc" || cmd == "chord" || cmd == "pie") {
    int v[8];
    for (int& x : v) x = t.Int();
    auto draw = cmd == "arc" ? &CDC::Arc : cmd == "chord" ? &CDC::Chord : &CDC::Pie;
    (dc.*draw)(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
  } else if (cmd == "polyline") {
    dc.Polyline(t.Points());
  } else if (cmd == "polygon") {
    dc.Polygon(t.Points());
  } else if (cmd == "polybezier") {
    dc.PolyBezier(t.Points());
  } else if (cmd == "setpixel") {
    int x = t.Int(), y = t.Int();
    dc.SetPixel(x, y, t.Hex());
  } else if (cmd == "patblt") {
    int l = t.Int(), tp = t.Int(), w = t.Int(), h = t.Int();
    dc.PatBlt(l, tp, w, h, t.Hex());
  } else if (cmd == "fillrect") {
    // FillRect: PatBlt PATCOPY with a temporary solid brush.
    int l = t.Int(), tp = t.Int(), r = t.Int(), b = t.Int();
    CBrush brush = CBrush::Solid(t.Hex());
    DCStateGuard guard(dc);
    dc.SelectObject(&brush);
    dc.PatBlt(l, tp, int(std::clamp<std::int64_t>(std::int64_t(r) - l, INT32_MIN, INT32_MAX)),
              int(std::clamp<std::int64_t>(std::int64_t(b) - tp, INT32_MIN, INT32_MAX)), PATCOPY);
  } else if (cmd == "fillrgn") {
    COLORREF c = t.Hex();
    if (s.region) dc.FillRgn(*s.region, CBrush::Solid(c));
  } else if (cmd == "cliprgn") {
    dc.SelectClipRgn(s.region ? &*s.region : nullptr);
  } else if (cmd == "noclip") {
    dc.SelectClipRgn(nullptr);
  } else if (cmd == "font") {
    LOGFONT lf;
    lf.lfHeight = t.Int();
    lf.lfWidth = t.Int();
    lf.lfWeight = t.Int();
    lf.lfItalic = std::uint8_t(t.Int());
    lf.lfUnderline = std::uint8_t(t.Int());
    lf.lfStrikeOut = std::uint8_t(t.Int());
    lf.lfCharSet = std::uint8_t(t.Int());
    lf.lfQuality = std::uint8_t(t.Int());
    lf.SetFaceName(t.Rest());
    auto font = std::make_unique<CFont>(lf);
    dc.SelectObject(font.get());
    s.font = std::move(font);
  } else if (cmd == "stockfont") {
    dc.SelectObject(&StockFont(t.Int()));
    s.font.reset();
  } else if (cmd == "textout") {
    int x = t.Int(), y = t.Int();
    dc.TextOut(x, y, std::u32string_view(Utf8ToUtf32(t.Rest())));
  } else if (cmd == "exttextout" || cmd == "exttextoutx") {
    int x = t.Int(), y = t.Int();
    unsigned flags = cmd == "exttextout" ? ETO_CLIPPED : unsigned(t.Int());
    CRect r;
    r.left = t.Int();
    r.top = t.Int();
    r.right = t.Int();
    r.bottom = t.Int();
    dc.ExtTextOut(x, y, flags, &r, std::u32string_view(Utf8ToUtf32(t.Rest())));
  } else if (cmd == "metrics") {
    TEXTMETRIC tm;
    dc.GetTextMetrics(tm);
    queries_ << name << " metrics " << tm.tmHeight << ' ' << tm.tmAscent << ' ' << tm.tmDescent << ' '
             << tm.tmInternalLeading << ' ' << tm.tmExternalLeading << ' ' << tm.tmAveCharWidth << ' '
             << tm.tmMaxCharWidth << '\n';
  } else if (cmd == "extent") {
    std::string_view text = t.Rest();
    CSize size = dc.GetTextExtent(std::u32string_view(Utf8ToUtf32(text)));
    queries_ << name << " extent " << size.cx << ' ' << size.cy << ' ' << text << '\n';
  } else if (cmd == "face") {
    queries_ << name << " face " << dc.CurrentFont().GetLogFont().FaceName() << '\n';
  } else if (cmd == "rgnpoly") {
    int mode = t.Int();
    auto points = t.Points();
    s.region = CRgn::CreatePolygonRgn(points, mode == 2 ? PolyFillMode::Winding : PolyFillMode::Alternate);
  } else if (cmd == "rgnrect") {
    int l = t.Int(), tp = t.Int(), r = t.Int(), b = t.Int();
    s.region = CRgn::CreateRectRgn(l, tp, r, b);
  } else if (cmd == "rgnellipse") {
    int l = t.Int(), tp = t.Int(), r = t.Int(), b = t.Int();
    s.region = CRgn::CreateEllipticRgn(l, tp, r, b);
  } else if (cmd == "rgnroundrect") {
    int l = t.Int(), tp = t.Int(), r = t.Int(), b = t.Int(), w = t.Int(), h = t.Int();
    s.region = CRgn::CreateRoundRectRgn(l, tp, r, b, w, h);
  } else if (cmd == "rgndump") {
    int l = t.Int(), tp = t.Int(), r = t.Int(), b = t.Int();
    if (std::int64_t(r) - l > 4096 || std::int64_t(b) - tp > 4096) throw std::runtime_error("dump too large");
    queries_ << name << " rgndump " << l << ' ' << tp << ' ' << r << ' ' << b << '\n';
    for (int y = tp; y < b; ++y) {
      std::string bits;
      for (int x = l; x < r; ++x) bits += s.region && s.region->PtInRegion(x, y) ? '1' : '0';
      queries_ << name << " rgnrow " << y << ' ' << bits << '\n';
    }
  } else if (cmd == "rgnbox") {
    CRect box = s.region ? s.region->GetRgnBox() : CRect{};
    int type = s.region ? s.region->Complexity() : 1;
    queries_ << name << " rgnbox " << type << ' ' << box.left << ' ' << box.top << ' ' << box.right << ' ' << box.bottom
             << '\n';
  } else if (cmd == "lptodp") {
    int x = t.Int(), y = t.Int();
    CPoint d = dc.LPtoDP({x, y});
    queries_ << name << " lptodp " << x << ' ' << y << ' ' << d.x << ' ' << d.y << '\n';
  } else if (cmd == "pixel") {
    int x = t.Int(), y = t.Int();
    queries_ << name << " pixel " << x << ' ' << y << ' ' << Hex6(dc.GetPixel(x, y)) << '\n';
  } else {
    throw std::runtime_error("unsupported command");
  }
}

void WriteBmp24(const Bitmap32& bitmap, const std::filesystem::path& path) {
  int w = bitmap.Width(), h = bitmap.Height();
  std::uint32_t stride = (3u * std::uint32_t(w) + 3u) & ~3u;
  ByteWriter out;
  out.Reserve(54 + std::size_t(stride) * std::size_t(h));
  out.WriteU16(0x4D42);
  out.WriteU32(54 + stride * std::uint32_t(h));
  out.WriteU32(0);
  out.WriteU32(54);
  out.WriteU32(40);
  out.WriteI32(w);
  out.WriteI32(h);
  out.WriteU16(1);
  out.WriteU16(24);
  out.WriteU32(0);
  out.WriteU32(stride * std::uint32_t(h));
  out.WriteI32(2835);
  out.WriteI32(2835);
  out.WriteU32(0);
  out.WriteU32(0);
  std::vector<std::uint8_t> row(stride, 0);
  for (int y = h - 1; y >= 0; --y) {
    const std::uint32_t* src = bitmap.Row(y);
    for (int x = 0; x < w; ++x) {
      row[3 * x] = std::uint8_t(src[x]);
      row[3 * x + 1] = std::uint8_t(src[x] >> 8);
      row[3 * x + 2] = std::uint8_t(src[x] >> 16);
    }
    out.Write(row.data(), row.size());
  }
  WriteFileAtomically(path, out.Bytes());
}

}  // namespace lumetra
