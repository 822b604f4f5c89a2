// The geometric units against GDI itself: every scene of units/drawing.txt,
// drawn with the units' Draw and DrawHandles through our CDC, must match the
// image GDI made of the same calls pixel for pixel, and PtInUnit must answer
// over each rectangle of units/hits.txt exactly what the GDI regions answered.
// scripts/make-unit-goldens makes the references.

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "support/golden_image.h"
#include "units/curve.h"
#include "units/ellipse.h"
#include "units/ellipse_arc.h"
#include "units/li_ellipse.h"
#include "units/line.h"
#include "units/poly_bezier.h"
#include "units/polygon.h"
#include "units/rectangle.h"
#include "units/round.h"
#include "units/round_arc.h"
#include "units/round_rectangle.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(LUMETRA_TEST_DATA) / "units";

// A case file line that does not parse; the message names file and line.
struct CaseError {
  std::string message;
};

template <class T>
T Number(const std::string& token, int base = 10) {
  T value{};
  const char* end = token.data() + token.size();
  std::from_chars_result r;
  if constexpr (std::is_floating_point_v<T>) {
    r = std::from_chars(token.data(), end, value);
  } else {
    r = std::from_chars(token.data(), end, value, base);
  }
  if (r.ec != std::errc() || r.ptr != end) throw CaseError{"bad number '" + token + "'"};
  return value;
}

std::vector<std::string> Split(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> tokens;
  for (std::string t; in >> t;) tokens.push_back(t);
  return tokens;
}

// Non-blank, non-comment lines with their numbers.
std::vector<std::pair<int, std::vector<std::string>>> ReadCommands(const fs::path& path) {
  std::ifstream in(path);
  EXPECT_TRUE(in) << "cannot read " << path;
  std::vector<std::pair<int, std::vector<std::string>>> commands;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    std::vector<std::string> tokens = Split(line);
    if (!tokens.empty() && tokens[0][0] != '#') commands.emplace_back(number, std::move(tokens));
  }
  return commands;
}

// `KIND ROP PENSTYLE PENWIDTH PENCOLOR BRUSHSTYLE HATCH BRUSHCOLOR BKMODE BKCOLOR COORDS...`
// as the unit it describes, fields set directly as a loaded document would
// have them.
class UnitRecipe {
 public:
  explicit UnitRecipe(const std::vector<std::string>& t) : tokens_(t.begin() + 1, t.end()) {
    if (tokens_.size() < 10) throw CaseError{"unit line too short"};
    Build();  // reject bad lines at once rather than at the first probe
  }

  const std::string& Kind() const { return tokens_[0]; }

  std::unique_ptr<CUnit> Build() const {
    const std::string& kind = tokens_[0];
    std::unique_ptr<CUnit> u = Make(kind);
    u->m_nDrawMode = Number<int>(tokens_[1]);
    u->m_nPenStyle = Number<int>(tokens_[2]);
    u->m_nPenWidth = Number<int>(tokens_[3]);
    u->m_crPen = Number<COLORREF>(tokens_[4], 16);
    u->m_nBrushStyle = Number<int>(tokens_[5]);
    u->m_nHatchStyle = Number<int>(tokens_[6]);
    u->m_crBrush = Number<COLORREF>(tokens_[7], 16);
    u->m_nBkMode = Number<int>(tokens_[8]);
    u->m_crBk = Number<COLORREF>(tokens_[9], 16);
    std::vector<std::string> c(tokens_.begin() + 10, tokens_.end());
    auto expect = [&](std::size_t n) {
      if (c.size() != n) throw CaseError{kind + ": " + std::to_string(n) + " coordinates expected"};
    };
    auto point = [&](std::size_t i) { return CPoint{Number<int>(c[i]), Number<int>(c[i + 1])}; };
    if (kind == "round") {
      expect(6);
      u->m_ptFirst = point(0);
      u->m_ptSecond = point(2);
      static_cast<CRound&>(*u).m_ptCenter = point(4);
    } else if (kind == "roundarc") {
      expect(9);
      u->m_ptFirst = point(0);
      u->m_ptSecond = point(2);
      auto& arc = static_cast<CRoundArc&>(*u);
      arc.m_ptThird = point(4);
      arc.m_ptCenter = point(6);
      arc.m_nRadius1 = Number<int>(c[8]);
    } else if (kind == "ellipsearc") {
      expect(9);
      auto& arc = static_cast<CEllipseArc&>(*u);
      arc.m_ptCenter = point(0);
      arc.m_nRadius1 = Number<int>(c[2]);
      arc.m_nRadius2 = Number<int>(c[3]);
      arc.m_dCos = Number<double>(c[4]);
      arc.m_dSin = Number<double>(c[5]);
      arc.m_dAngle1 = Number<double>(c[6]);
      arc.m_dAngle2 = Number<double>(c[7]);
      arc.m_bAngleSet = Number<int>(c[8]) != 0;
      arc.TakePlottedEnds();  // the end handles, as an edit leaves them
    } else if (kind == "polygon" || kind == "polybezier" || kind == "curve") {
      if (c.empty()) throw CaseError{"point count missing"};
      std::size_t n = Number<std::size_t>(c[0]);
      if (n > 1000) throw CaseError{"too many points"};
      expect(1 + 2 * n);
      CPointArray points;
      for (std::size_t i = 0; i < n; ++i) points.push_back(point(1 + 2 * i));
      if (auto* bezier = ObjectCast<CPolyBezier>(u.get())) bezier->m_aPoints = points;
      if (auto* polygon = ObjectCast<CPolygon>(u.get())) polygon->m_aPoints = points;
      auto* curve = ObjectCast<CCurve>(u.get());
      if (curve) curve->m_aPoints = points;
      if (curve && n > 0) {
        // The box the view grows while the points are traced.
        curve->m_nMinX = curve->m_nMaxX = points[0].x;
        curve->m_nMinY = curve->m_nMaxY = points[0].y;
        for (CPoint p : points) {
          curve->m_nMinX = std::min(curve->m_nMinX, p.x);
          curve->m_nMinY = std::min(curve->m_nMinY, p.y);
          curve->m_nMaxX = std::max(curve->m_nMaxX, p.x);
          curve->m_nMaxY = std::max(curve->m_nMaxY, p.y);
        }
      }
    } else {
      expect(4);
      u->m_ptFirst = point(0);
      u->m_ptSecond = point(2);
    }
    return u;
  }

 private:
  static std::unique_ptr<CUnit> Make(const std::string& kind) {
    if (kind == "line") return std::make_unique<CDLine>();
    if (kind == "rectangle") return std::make_unique<CRectangle>();
    if (kind == "roundrect") return std::make_unique<CRoundRectangle>();
    if (kind == "ellipse") return std::make_unique<CEllipse>();
    if (kind == "liellipse") return std::make_unique<CLiEllipse>();
    if (kind == "round") return std::make_unique<CRound>();
    if (kind == "roundarc") return std::make_unique<CRoundArc>();
    if (kind == "ellipsearc") return std::make_unique<CEllipseArc>();
    if (kind == "polygon") return std::make_unique<CPolygon>();
    if (kind == "polybezier") return std::make_unique<CPolyBezier>();
    if (kind == "curve") return std::make_unique<CCurve>();
    throw CaseError{"unknown unit kind " + kind};
  }

  std::vector<std::string> tokens_;
};

// ---- drawing ----------------------------------------------------------------

struct Step {
  enum Kind { ViewportOrg, Rop2, Unit, Handles } kind;
  int a = 0;
  int b = 0;
  std::shared_ptr<UnitRecipe> unit;
};

struct Scene {
  std::string name;
  int width = 0;
  int height = 0;
  std::vector<Step> steps;
};

std::vector<Scene> ReadScenes(const fs::path& path) {
  std::vector<Scene> scenes;
  bool open = false;
  for (const auto& [number, t] : ReadCommands(path)) {
    try {
      if (t[0] == "scene") {
        if (open || t.size() != 4) throw CaseError{"scene NAME W H expected outside a scene"};
        int w = Number<int>(t[2]), h = Number<int>(t[3]);
        if (w <= 0 || h <= 0 || w > 1000 || h > 1000) throw CaseError{"bad scene size"};
        scenes.push_back({t[1], w, h, {}});
        open = true;
      } else if (!open) {
        throw CaseError{t[0] + " outside a scene"};
      } else if (t[0] == "end") {
        open = false;
      } else if (t[0] == "viewportorg" && t.size() == 3) {
        scenes.back().steps.push_back({Step::ViewportOrg, Number<int>(t[1]), Number<int>(t[2]), nullptr});
      } else if (t[0] == "rop2" && t.size() == 2) {
        scenes.back().steps.push_back({Step::Rop2, Number<int>(t[1]), 0, nullptr});
      } else if (t[0] == "unit") {
        scenes.back().steps.push_back({Step::Unit, 0, 0, std::make_shared<UnitRecipe>(t)});
      } else if (t[0] == "handles" && t.size() == 1) {
        scenes.back().steps.push_back({Step::Handles, 0, 0, nullptr});
      } else {
        throw CaseError{"unknown command " + t[0]};
      }
    } catch (const CaseError& e) {
      ADD_FAILURE() << path << ":" << number << ": " << e.message;
      return {};
    }
  }
  EXPECT_FALSE(open) << path << ": the last scene has no end";
  return scenes;
}

Bitmap32 Draw(const Scene& scene) {
  Bitmap32 canvas(scene.width, scene.height, 0);
  CDC dc(canvas);
  std::unique_ptr<CUnit> last;
  for (const Step& step : scene.steps) {
    switch (step.kind) {
      case Step::ViewportOrg:
        dc.SetViewportOrg(step.a, step.b);
        break;
      case Step::Rop2:
        dc.SetROP2(step.a);
        break;
      case Step::Unit:
        last = step.unit->Build();
        last->Draw(dc, {});
        break;
      case Step::Handles:
        if (last) last->DrawHandles(dc);
        break;
    }
  }
  return canvas;
}

std::string Hex(std::uint32_t rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "%06X", unsigned(rgb & 0xFFFFFF));
  return text;
}

// Our picture of a differing scene, for a look next to the reference.
void WriteBmp(const fs::path& path, const Bitmap32& image) {
  std::size_t stride = (3 * std::size_t(image.Width()) + 3) & ~std::size_t(3);
  std::uint32_t size = std::uint32_t(54 + stride * image.Height());
  std::vector<std::uint8_t> b(size, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(b.data() + at, &v, 4); };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, std::uint32_t(image.Width()));
  put32(22, std::uint32_t(image.Height()));
  b[26] = 1;
  b[28] = 24;
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      std::uint32_t p = image.At(x, y);
      std::uint8_t* d = b.data() + 54 + std::size_t(image.Height() - 1 - y) * stride + 3 * std::size_t(x);
      d[0] = std::uint8_t(p);
      d[1] = std::uint8_t(p >> 8);
      d[2] = std::uint8_t(p >> 16);
    }
  }
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// LUMETRA_GOLDEN_OUT=DIR keeps our pictures of the scenes that differ.
TEST(UnitGoldens, EverySceneDrawsAsGdiDrawsIt) {
  std::vector<Scene> scenes = ReadScenes(kData / "drawing.txt");
  ASSERT_FALSE(scenes.empty());
  std::set<std::string> names;
  std::vector<std::string> differing;
  for (const Scene& scene : scenes) {
    EXPECT_TRUE(names.insert(scene.name).second) << "scene " << scene.name << " twice";
    fs::path golden = kData / "drawing" / (scene.name + ".bmp");
    if (!fs::exists(golden)) {
      ADD_FAILURE() << "no reference image for scene " << scene.name;
      continue;
    }
    test::GoldenImage expected = test::ReadGoldenBmp(golden);
    if (expected.width != scene.width || expected.height != scene.height) {
      ADD_FAILURE() << scene.name << ": reference is " << expected.width << " x " << expected.height;
      continue;
    }
    Bitmap32 actual = Draw(scene);
    std::size_t diff = 0;
    std::string first;
    for (int y = 0; y < scene.height; ++y) {
      for (int x = 0; x < scene.width; ++x) {
        std::uint32_t want = expected.At(x, y), got = actual.At(x, y) & 0xFFFFFF;
        if (want == got) continue;
        if (++diff <= 3)
          first += " (" + std::to_string(x) + "," + std::to_string(y) + ") " + Hex(got) + "≠" + Hex(want);
      }
    }
    if (diff != 0) {
      differing.push_back(scene.name + " (" + std::to_string(diff) + " pixels:" + first + ")");
      if (const char* out = std::getenv("LUMETRA_GOLDEN_OUT")) WriteBmp(fs::path(out) / (scene.name + ".bmp"), actual);
    }
  }
  // A reference without a scene is left over from a renamed scene.
  for (const auto& entry : fs::directory_iterator(kData / "drawing")) {
    EXPECT_TRUE(names.count(entry.path().stem().string())) << "reference without scene: " << entry.path().filename();
  }
  std::string list;
  for (const std::string& d : differing) list += "\n  " + d;
  EXPECT_TRUE(differing.empty()) << differing.size() << " of " << scenes.size()
                                 << " scenes differ (ours≠GDI as RRGGBB):" << list;
}

// ---- hit tests --------------------------------------------------------------

struct HitCase {
  std::string name;
  CRect probes;
  std::shared_ptr<UnitRecipe> unit;
};

std::vector<HitCase> ReadHitCases(const fs::path& path) {
  std::vector<HitCase> cases;
  for (const auto& [number, t] : ReadCommands(path)) {
    try {
      if (t[0] == "hits" && t.size() == 6) {
        CRect r{Number<int>(t[2]), Number<int>(t[3]), Number<int>(t[4]), Number<int>(t[5])};
        if (r.Width() <= 0 || r.Height() <= 0 || r.Width() > 1000 || r.Height() > 1000) {
          throw CaseError{"bad probe rectangle"};
        }
        cases.push_back({t[1], r, nullptr});
      } else if (t[0] == "unit" && !cases.empty() && !cases.back().unit) {
        cases.back().unit = std::make_shared<UnitRecipe>(t);
      } else {
        throw CaseError{"hits NAME L T R B and one unit line expected"};
      }
    } catch (const CaseError& e) {
      ADD_FAILURE() << path << ":" << number << ": " << e.message;
      return {};
    }
  }
  EXPECT_TRUE(cases.empty() || cases.back().unit) << path << ": the last case has no unit";
  return cases;
}

// NAME Y BITS lines: the expected answers, one row of probes per line.
std::map<std::string, std::map<int, std::string>> ReadExpectedHits(const fs::path& path) {
  std::map<std::string, std::map<int, std::string>> rows;
  for (const auto& [number, t] : ReadCommands(path)) {
    if (t.size() != 3) {
      ADD_FAILURE() << path << ":" << number << ": NAME Y BITS expected";
      continue;
    }
    rows[t[0]][Number<int>(t[1])] = t[2];
  }
  return rows;
}

TEST(UnitGoldens, HitTestsAnswerWhatGdiRegionsAnswer) {
  std::vector<HitCase> cases = ReadHitCases(kData / "hits.txt");
  auto expected = ReadExpectedHits(kData / "hits.expected.txt");
  ASSERT_FALSE(cases.empty());
  std::vector<std::string> differing;
  for (const HitCase& c : cases) {
    if (!c.unit) continue;
    const auto& rows = expected[c.name];
    std::size_t wrong = 0, missing = 0;
    std::string first;
    for (int y = c.probes.top; y < c.probes.bottom; ++y) {
      auto row = rows.find(y);
      if (row == rows.end() || row->second.size() != std::size_t(c.probes.Width())) {
        ++missing;
        continue;
      }
      for (int x = c.probes.left; x < c.probes.right; ++x) {
        bool want = row->second[std::size_t(x - c.probes.left)] == '1';
        // A fresh unit for every probe: some hit tests reorder the unit's points.
        bool got = c.unit->Build()->PtInUnit(x, y);
        if (got == want) continue;
        if (++wrong <= 5) first += " (" + std::to_string(x) + "," + std::to_string(y) + (want ? ") in" : ") out");
      }
    }
    EXPECT_EQ(missing, 0u) << c.name << ": " << missing << " rows missing from hits.expected.txt";
    if (wrong != 0) {
      differing.push_back(c.name + " (" + std::to_string(wrong) + " points, GDI says:" + first + ")");
    }
  }
  std::string list;
  for (const std::string& d : differing) list += "\n  " + d;
  EXPECT_TRUE(differing.empty()) << differing.size() << " of " << cases.size() << " hit cases differ:" << list;
}

}  // namespace
}  // namespace lumetra
