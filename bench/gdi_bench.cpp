// The rasterizer on the largest picture strip (8192 x 256 pixels), each
// primitive next to a plain fill of the same bitmap: the memory-bandwidth floor.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "platform/gdi/dc.h"

namespace {

using namespace lumetra;

constexpr int kWidth = 8192;
constexpr int kHeight = 256;

void BM_PlainFillFloor(benchmark::State& state) {
  Bitmap32 bmp(kWidth, kHeight);
  COLORREF c = 0;
  for (auto _ : state) {
    bmp.Fill(++c);
    benchmark::DoNotOptimize(bmp.Row(0));
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_SolidRectangleFill(benchmark::State& state) {
  Bitmap32 bmp(kWidth, kHeight);
  CDC dc(bmp);
  CBrush brush = CBrush::Solid(0x0000FF);
  dc.SelectObject(&brush);
  dc.SelectObject(&StockNullPen());
  for (auto _ : state) {
    dc.Rectangle(0, 0, kWidth + 1, kHeight + 1);
    benchmark::DoNotOptimize(bmp.Row(0));
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_HatchedRectangleFill(benchmark::State& state) {
  Bitmap32 bmp(kWidth, kHeight);
  CDC dc(bmp);
  CBrush brush = CBrush::Hatch(HS_DIAGCROSS, 0x00FF00);
  dc.SelectObject(&brush);
  dc.SelectObject(&StockNullPen());
  dc.SetBkMode(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    dc.Rectangle(0, 0, kWidth + 1, kHeight + 1);
    benchmark::DoNotOptimize(bmp.Row(0));
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

// One ellipse as large as the strip, solid or hatched, with a one-pixel outline.
void BM_Ellipse(benchmark::State& state) {
  Bitmap32 bmp(kWidth, kHeight);
  CDC dc(bmp);
  CBrush brush = state.range(0) ? CBrush::Hatch(HS_CROSS, 0x00FF00) : CBrush::Solid(0x00FF00);
  CPen pen(PS_SOLID, 1, 0x0000FF);
  dc.SelectObject(&brush);
  dc.SelectObject(&pen);
  for (auto _ : state) {
    dc.Ellipse(0, 0, kWidth, kHeight);
    benchmark::DoNotOptimize(bmp.Row(0));
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

// Diagonal and shallow one-pixel lines across the strip; items are pixels painted.
void BM_OnePixelLines(benchmark::State& state) {
  Bitmap32 bmp(kWidth, kHeight);
  CDC dc(bmp);
  CPen pen(static_cast<int>(state.range(0)), 1, 0xFFFFFF);
  dc.SelectObject(&pen);
  std::int64_t pixels = 0;
  for (auto _ : state) {
    for (int y = 0; y < kHeight; y += 8) {
      dc.MoveTo(0, y);
      dc.LineTo(kWidth, kHeight - 1 - y);
      pixels += kWidth;
    }
    benchmark::DoNotOptimize(bmp.Row(0));
  }
  state.SetItemsProcessed(pixels);
}

void BM_WideLines(benchmark::State& state) {
  Bitmap32 bmp(kWidth, kHeight);
  CDC dc(bmp);
  CPen pen(PS_SOLID, 5, 0xFFFFFF);
  dc.SelectObject(&pen);
  for (auto _ : state) {
    for (int y = 0; y < kHeight; y += 32) {
      dc.MoveTo(0, y);
      dc.LineTo(kWidth, kHeight - 1 - y);
    }
    benchmark::DoNotOptimize(bmp.Row(0));
  }
}

// Outlines of a round pen `width` pixels wide (CreatePen's round caps and
// joins) around 1,000 ellipses, circles, arcs and rounded rectangles of the
// sizes people draw on a panel, with no fill: the wide stroke alone.
void BM_WideRoundOutlines(benchmark::State& state) {
  Bitmap32 bmp(kWidth, kHeight);
  CDC dc(bmp);
  CPen pen(PS_SOLID, static_cast<int>(state.range(0)), 0xFFFFFF);
  dc.SelectObject(&pen);
  dc.SelectObject(&StockNullBrush());
  std::mt19937 rng(3);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  struct Figure {
    int kind, l, t, r, b;
  };
  std::vector<Figure> figures;
  for (int i = 0; i < 1000; ++i) {
    const int l = pick(0, kWidth - 70), t = pick(0, kHeight - 70), w = pick(4, 68);
    figures.push_back({i % 4, l, t, l + w, t + (i % 4 == 1 ? w : pick(4, 68))});
  }
  for (auto _ : state) {
    for (const Figure& f : figures) {
      switch (f.kind) {
        case 0: dc.Ellipse(f.l, f.t, f.r, f.b); break;
        case 1: dc.Ellipse(f.l, f.t, f.r, f.b); break;  // a circle
        case 2: dc.Arc(f.l, f.t, f.r, f.b, f.r, f.t, f.l, f.b); break;
        default: dc.RoundRect(f.l, f.t, f.r, f.b, (f.r - f.l) / 2, (f.b - f.t) / 2);
      }
    }
    benchmark::DoNotOptimize(bmp.Row(0));
  }
  state.SetItemsProcessed(state.iterations() * std::int64_t(figures.size()));
}

// Cached glyphs of a 13-pixel font; items are characters drawn.
void BM_TextOut(benchmark::State& state) {
  Bitmap32 bmp(kWidth, kHeight);
  CDC dc(bmp);
  CFont font = CFont::CreatePointFont(100, "Arial");
  dc.SelectObject(&font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(0x00FFFF);
  const std::u32string text = U"Hello, World! 0123456789 LED panel";
  std::int64_t characters = 0;
  for (auto _ : state) {
    for (int y = 0; y < kHeight - 16; y += 16) {
      dc.TextOut(y * 3, y, std::u32string_view(text));
      characters += std::int64_t(text.size());
    }
    benchmark::DoNotOptimize(bmp.Row(0));
  }
  state.SetItemsProcessed(characters);
}

BENCHMARK(BM_PlainFillFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SolidRectangleFill)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HatchedRectangleFill)->Arg(TRANSPARENT)->Arg(OPAQUE)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Ellipse)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OnePixelLines)->Arg(PS_SOLID)->Arg(PS_DASH)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WideLines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WideRoundOutlines)->DenseRange(2, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextOut)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
