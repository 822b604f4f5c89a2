// Painting the canvas and making the panel's picture with 1,000 mixed units:
// a full repaint of the default panel, a repaint limited to a viewport of a
// large canvas against the full repaint of that canvas, and the strip plus
// BMP bytes of the largest panel.

#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <random>
#include <string>

#include "document/document.h"
#include "platform/gdi/dc.h"
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
#include "units/text.h"
#include "view/canvas_render.h"
#include "view/picture.h"

namespace {

using namespace lumetra;

constexpr int kUnits = 1000;
constexpr int kKinds = 12;

// One unit of kind `kind % 12`, somewhere on a width x height canvas, sized
// like what people draw on a panel: a few words across at most.
std::unique_ptr<CUnit> MakeUnit(int kind, int width, int height, std::mt19937& rng) {
  auto coord = [&](int limit) { return int(rng() % unsigned(limit)); };
  const int reach = std::min(64, std::min(width, height));
  const CPoint a{coord(width), coord(height)};
  const CPoint b{a.x + 4 + coord(reach), a.y + 4 + coord(reach)};
  std::unique_ptr<CUnit> unit;
  switch (kind % kKinds) {
    case 0: unit = std::make_unique<CDLine>(); break;
    case 1: unit = std::make_unique<CRectangle>(); break;
    case 2: unit = std::make_unique<CRoundRectangle>(); break;
    case 3: unit = std::make_unique<CEllipse>(); break;
    case 4: unit = std::make_unique<CLiEllipse>(); break;
    case 5: unit = std::make_unique<CRound>(); break;
    case 6: unit = std::make_unique<CEllipseArc>(); break;
    case 7: unit = std::make_unique<CRoundArc>(); break;
    case 8: unit = std::make_unique<CPolygon>(); break;
    case 9: unit = std::make_unique<CPolyBezier>(); break;
    case 10: unit = std::make_unique<CCurve>(); break;
    default: {
      auto text = std::make_unique<CText>();
      text->m_strText = "LED " + std::to_string(coord(1000));
      unit = std::move(text);
    }
  }
  unit->m_ptFirst = a;
  unit->m_ptSecond = b;
  unit->m_nPenStyle = coord(5);
  unit->m_nPenWidth = 1 + coord(3);
  unit->m_crPen = 0x0000FF;
  unit->m_nBrushStyle = coord(3);
  unit->m_nHatchStyle = coord(6);
  unit->m_crBrush = 0x00FF00;
  unit->m_nBkMode = 1 + coord(2);
  unit->m_ptCenter = {(a.x + b.x) / 2, (a.y + b.y) / 2};
  unit->m_nRadius1 = unit->m_nRadius = (b.x - a.x) / 2;
  unit->m_nRadius2 = (b.y - a.y) / 2;
  unit->m_dCos = 0.8;
  unit->m_dSin = 0.6;
  unit->m_bAngleSet = true;
  unit->m_dAngle1 = coord(360);
  unit->m_dAngle2 = coord(360);
  unit->m_ptThird = {b.x, a.y};
  CPointArray path;
  for (int i = 0; i < 7; ++i) path.push_back({a.x + coord(reach), a.y + coord(reach)});
  if (kind % kKinds == 9) unit->m_aPoints = path;
  if (kind % kKinds == 8 || kind % kKinds == 10) *unit->m_pPoints = path;
  if (auto* curve = dynamic_cast<CCurve*>(unit.get())) {
    CRect box = curve->GetBoundRect();
    curve->BeginTrace({box.left, box.top});
    curve->m_nMaxX = box.right;
    curve->m_nMaxY = box.bottom;
  }
  return unit;
}

std::unique_ptr<CTessaraDoc> MakeDoc(int widthWords, int heightWords, int frames) {
  auto doc = std::make_unique<CTessaraDoc>();
  doc->m_nWidthWords = widthWords;
  doc->m_nHeightWords = heightWords;
  doc->m_nFrames = frames;
  const CSize canvas = doc->CanvasPixels();
  std::mt19937 rng(11);
  for (int i = 0; i < kUnits; ++i) doc->m_units.push_back(MakeUnit(i, canvas.cx, canvas.cy, rng));
  return doc;
}

void Repaint(benchmark::State& state, CTessaraDoc& doc, std::optional<CRect> clip) {
  const CSize size = doc.CanvasPixels();
  Bitmap32 canvas(size.cx, size.cy);
  CDC dc(canvas);
  for (auto _ : state) {
    RenderCanvas(doc, dc, clip, true);
    benchmark::DoNotOptimize(canvas.Row(0));
  }
  state.SetLabel(std::to_string(size.cx) + " x " + std::to_string(size.cy) +
                 (clip ? ", viewport " + std::to_string(clip->Width()) + " x " + std::to_string(clip->Height()) : ""));
}

// The default panel: 8 x 1 words, 10 frames (128 x 160).
void BM_RepaintDefaultPanel(benchmark::State& state) {
  auto doc = MakeDoc(8, 1, 10);
  Repaint(state, *doc, std::nullopt);
}

// 64 x 4 words, 9 frames: 1024 x 576, of which a 320 x 180 viewport is about a tenth.
std::unique_ptr<CTessaraDoc>& LargeDoc() {
  static auto doc = MakeDoc(64, 4, 9);
  return doc;
}
void BM_RepaintLargeCanvas(benchmark::State& state) { Repaint(state, *LargeDoc(), std::nullopt); }
void BM_RepaintLargeCanvasViewport(benchmark::State& state) {
  Repaint(state, *LargeDoc(), CRect{352, 198, 352 + 320, 198 + 180});
}

// The widest strip a panel takes: 64 x 16 words, 8 frames (8192 x 256).
void BM_PictureBmpLargestPanel(benchmark::State& state) {
  auto doc = MakeDoc(64, 16, 8);
  std::size_t bytes = 0;
  for (auto _ : state) {
    auto dib = RenderPictureDIB(*doc);
    auto file = WriteDIB(*dib);
    bytes = file->size();
    benchmark::DoNotOptimize(file->data());
  }
  state.SetLabel(std::to_string(bytes) + " bytes");
}

}  // namespace

BENCHMARK(BM_RepaintDefaultPanel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintLargeCanvas)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintLargeCanvasViewport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PictureBmpLargestPanel)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
