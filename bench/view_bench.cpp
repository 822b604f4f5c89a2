// Painting the canvas and making the panel's picture with 1,000 mixed units:
// a full repaint of the default panel, a repaint limited to a viewport of a
// large canvas against the full repaint of that canvas, a step of dragging
// one unit on the large canvas as the editor paints it, and the strip plus
// BMP bytes of the largest panel.

#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "bench_units.h"
#include "document/document.h"
#include "platform/gdi/bmp_file.h"
#include "platform/gdi/dc.h"
#include "render/picture.h"
#include "units/rectangle.h"
#include "view/canvas_render.h"
#include "view/tessara_view.h"

namespace {

using namespace lumetra;
using bench::MakeUnit;

std::unique_ptr<CTessaraDoc> MakeDoc(int widthWords, int heightWords, int frames, int units = 1000) {
  auto doc = std::make_unique<CTessaraDoc>();
  doc->m_nWidthWords = widthWords;
  doc->m_nHeightWords = heightWords;
  doc->m_nFrames = frames;
  const CSize canvas = doc->CanvasPixels();
  std::mt19937 rng(11);
  for (int i = 0; i < units; ++i) doc->m_units.push_back(MakeUnit(i, canvas.cx, canvas.cy, rng));
  return doc;
}

void Repaint(benchmark::State& state, CTessaraDoc& doc, std::optional<CRect> clip) {
  const CSize size = doc.CanvasPixels();
  Bitmap32 canvas(size.cx, size.cy);
  CDC dc(canvas);
  for (auto _ : state) {
    RenderCanvas(doc, dc, LocalTime{}, clip, true);
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

// What the view asks to repaint; a host that repaints only the whole canvas
// sees every request as one for the whole.
struct RepaintRequests : ViewHost {
  bool whole = false;
  std::vector<CRect> areas;
  void ShowPopupMenu(const PopupMenuRequest&) override {}
  void Invalidate(bool) override { whole = true; }
  void InvalidateArea(const CRect& area) override { areas.push_back(area); }
};

// One step of dragging a 40 x 30 rectangle among the 1,000 (or 10,000)
// units of the large canvas, by one LED back and forth: the view's work for
// the mouse event and the painting of what it asks to repaint, as the
// editor's canvas paints it at zoom 1.
void BM_DragStepLargeCanvas(benchmark::State& state) {
  auto doc = MakeDoc(64, 4, 9, int(state.range(0)));
  auto rectangle = std::make_unique<CRectangle>();
  rectangle->m_ptFirst = {500, 300};
  rectangle->m_ptSecond = {540, 330};
  doc->m_units.back() = std::move(rectangle);
  RepaintRequests host;
  CTessaraView view;
  view.SetDocument(doc.get());
  view.SetHost(&host);
  view.OnInitialUpdate();
  const CSize size = doc->CanvasPixels();
  Bitmap32 canvas(size.cx, size.cy);
  CDC dc(canvas);
  view.OnDraw(dc);
  view.OnLButtonDown({520, 315});
  if (view.m_pCurUnit != doc->m_units.back().get()) state.SkipWithError("the rectangle was not picked");
  int x = 520;
  for (auto _ : state) {
    host.whole = false;
    host.areas.clear();
    x = x == 520 ? 521 : 520;
    view.OnMouseMove({x, 315}, true);
    if (host.whole) {
      view.OnDraw(dc);
    } else {
      for (const CRect& area : host.areas) view.OnDraw(dc, area.ClipTo({0, 0, size.cx, size.cy}));
    }
    benchmark::DoNotOptimize(canvas.Row(0));
  }
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
BENCHMARK(BM_DragStepLargeCanvas)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PictureBmpLargestPanel)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
