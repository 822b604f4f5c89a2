// Text and clock units against GDI: every scene of units/text.txt, drawn by
// the units through our CDC with the bundled font, must match the image GDI
// made when given the same rows and positions (worked out by an independent
// transcription of the rules in scripts/make-unit-goldens), pixel for pixel.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "support/bundled_font.h"
#include "support/golden_image.h"
#include "document/document.h"
#include "platform/local_time.h"
#include "units/text.h"
#include "units/timer.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(LUMETRA_TEST_DATA) / "units";

std::vector<std::string> SplitAt(const std::string& line, char separator, std::size_t maxParts) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  while (parts.size() + 1 < maxParts) {
    std::size_t at = line.find(separator, from);
    if (at == std::string::npos) break;
    parts.push_back(line.substr(from, at - from));
    from = at + 1;
  }
  parts.push_back(line.substr(from));
  return parts;
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      char c = text[++i];
      out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
    } else {
      out += text[i];
    }
  }
  return out;
}

LOGFONT FontOf(int height, const std::string& face) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWeight = 400;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = 3;
  lf.SetFaceName(face);
  return lf;
}

struct Scene {
  std::string name;
  int width = 0, height = 0;
  std::vector<std::string> lines;
};

std::vector<Scene> ReadScenes() {
  std::ifstream in(kData / "text.txt");
  EXPECT_TRUE(in);
  std::vector<Scene> scenes;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> t = SplitAt(line, ' ', 4);
    if (t[0] == "scene") {
      scenes.push_back({t[1], std::stoi(t[2]), std::stoi(t[3]), {}});
    } else if (t[0] != "end") {
      scenes.back().lines.push_back(line);
    }
  }
  return scenes;
}

// Draws a scene as the units would be drawn on the canvas.
Bitmap32 Draw(const Scene& scene) {
  Bitmap32 canvas(scene.width, scene.height);
  CDC dc(canvas);
  std::unique_ptr<CFont> dcFont;
  std::vector<std::unique_ptr<CText>> units;
  const LocalTime now{2026, 12, 9, 3, 14, 5, 0};
  for (const std::string& line : scene.lines) {
    std::vector<std::string> t = SplitAt(line, ' ', 12);
    if (t[0] == "font") {
      dcFont = std::make_unique<CFont>(FontOf(std::stoi(t[1]), SplitAt(line, ' ', 3)[2]));
      dc.SelectObject(dcFont.get());
    } else if (t[0] == "text") {
      auto unit = std::make_unique<CText>();
      unit->m_ptFirst = {std::stoi(t[1]), std::stoi(t[2])};
      unit->m_ptSecond = {std::stoi(t[3]), std::stoi(t[4])};
      unit->m_crPen = COLORREF(std::stoul(t[5], nullptr, 16));
      unit->SetFontIndirect(FontOf(std::stoi(t[6]), "Arial"));
      unit->m_bWordBreak = std::stoi(t[7]);
      unit->m_bAutoAlign = std::stoi(t[8]);
      unit->m_nBandHeight = std::stoi(t[9]);
      unit->m_nRowSpacing = std::stoi(t[10]);
      unit->m_strText = t.size() > 11 ? Unescape(t[11]) : "";
      unit->Draw(dc, {});
      units.push_back(std::move(unit));
    } else if (t[0] == "clock") {
      CTessaraDoc doc;
      doc.m_nClockStyle = std::uint8_t(std::stoi(t[5]));
      doc.m_nClockColour = std::uint8_t(std::stoi(t[6]));
      doc.m_nClockAlign = std::uint8_t(std::stoi(t[7]));
      doc.m_nWidthWords = std::stoi(t[9]);
      doc.m_nHeightWords = std::stoi(t[10]);
      CTimer clock;
      clock.m_ptFirst = {std::stoi(t[1]), std::stoi(t[2])};
      clock.m_ptSecond = {std::stoi(t[3]), std::stoi(t[4])};
      clock.m_nColourSet = std::stoi(t[8]);
      clock.Draw(dc, doc.DrawContextAt(now));
    } else if (t[0] == "handles") {
      units.back()->DrawHandles(dc);
    } else {
      ADD_FAILURE() << "unknown command in " << scene.name << ": " << line;
    }
  }
  return canvas;
}

TEST(TextGoldens, EverySceneDrawsAsGdiDrawsTheSameRows) {
  ASSERT_TRUE(test::UseBundledFont());
  std::vector<Scene> scenes = ReadScenes();
  ASSERT_FALSE(scenes.empty());
  std::string differing;
  for (const Scene& scene : scenes) {
    test::GoldenImage expected = test::ReadGoldenBmp(kData / "text" / (scene.name + ".bmp"));
    Bitmap32 actual = Draw(scene);
    ASSERT_EQ(expected.width, actual.Width()) << scene.name;
    ASSERT_EQ(expected.height, actual.Height()) << scene.name;
    int diff = 0;
    for (int y = 0; y < actual.Height(); ++y) {
      for (int x = 0; x < actual.Width(); ++x) {
        diff += expected.At(x, y) != (actual.At(x, y) & 0xFFFFFF);
      }
    }
    if (diff) differing += "\n  " + scene.name + " (" + std::to_string(diff) + " pixels)";
  }
  EXPECT_TRUE(differing.empty()) << "scenes that differ:" << differing;
}

}  // namespace
}  // namespace lumetra
