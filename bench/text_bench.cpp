// Drawing a text unit of 2,000 characters (words of mixed length and a few
// line ends) into a full-height panel area, by characters and by words.

#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "platform/gdi/dc.h"
#include "units/text.h"

namespace {

using namespace lumetra;

std::string SampleText() {
  std::mt19937 rng(5);
  std::string text;
  while (text.size() < 2000) {
    const int length = 1 + int(rng() % 9);
    for (int i = 0; i < length; ++i) text += char('a' + rng() % 26);
    text += rng() % 25 == 0 ? "\r\n" : " ";
  }
  text.resize(2000);
  return text;
}

void BM_DrawText(benchmark::State& state) {
  Bitmap32 canvas(1024, 2048);
  CDC dc(canvas);
  CText text;
  text.m_strText = SampleText();
  text.m_ptFirst = {0, 0};
  text.m_ptSecond = {256, 2048};
  text.m_bWordBreak = state.range(0);
  text.m_bAutoAlign = 0;
  text.m_crPen = 0x0000FF;
  for (auto _ : state) {
    text.Draw(dc, {});
    benchmark::DoNotOptimize(canvas.Row(0));
  }
  state.SetItemsProcessed(state.iterations() * 2000);
  state.SetLabel(state.range(0) ? "by words" : "by characters");
}

}  // namespace

BENCHMARK(BM_DrawText)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
