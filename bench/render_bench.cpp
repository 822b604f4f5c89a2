// The playback engine and the animation export: one moment of the largest
// panel (1024 × 256 LEDs, eight frames, a move-left entrance under way and a
// clock) and as round LEDs; the state a send of 1,000 units leaves on the
// largest panel; and a 10 s GIF of the sample's 8 × 1 panel at 25 a second.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "bench_units.h"
#include "document/document.h"
#include "document/panel_settings.h"
#include "platform/files.h"
#include "render/animation.h"
#include "render/led_dots.h"
#include "render/panel_content.h"
#include "render/playback.h"
#include "units/timer.h"

namespace {

using namespace lumetra;

constexpr LocalTime kClock{2026, 12, 10, 4, 8, 59, 58};

// The largest panel: 64 × 16 words, eight frames of 1,000 mixed units, a
// move-left row over all frames and a clock on frame 1.
std::unique_ptr<CTessaraDoc> LargestPanelDoc() {
  std::unique_ptr<CTessaraDoc> doc = bench::LargestPanelOfUnits();
  doc->m_units.push_back(std::make_unique<CTimer>());
  doc->m_nClockStyle = 4;
  doc->m_playMode.m_anMode[0] = 1;
  doc->m_playMode.m_anStart[0] = 1;
  doc->m_playMode.m_anEnd[0] = 8;
  doc->m_playMode.m_anSpeed[0] = 5;
  doc->m_playMode.m_anDelay[0] = 1;
  doc->PlaceClock(kClock);
  return doc;
}

const PanelState& LargestPanelState() {
  static const PanelState state = *PanelStateAfterSend(*LargestPanelDoc(), {kClock, false, {}});
  return state;
}

void BM_PanelStateAfterSendLargestPanel(benchmark::State& state) {
  const std::unique_ptr<CTessaraDoc> doc = LargestPanelDoc();
  for (auto _ : state) benchmark::DoNotOptimize(PanelStateAfterSend(*doc, {kClock, false, {}}));
}
BENCHMARK(BM_PanelStateAfterSendLargestPanel)->Unit(benchmark::kMillisecond);

// Half way through frame 2's entrance (10 ms a column), the clock drawn on frame 1.
void BM_PlaybackMomentLargestPanel(benchmark::State& state) {
  const PanelState& show = LargestPanelState();
  const std::int64_t t = 1024 * 10 + 1000 + 512 * 10;
  for (auto _ : state) benchmark::DoNotOptimize(RenderPanelFrame(show, t));
}
BENCHMARK(BM_PlaybackMomentLargestPanel)->Unit(benchmark::kMicrosecond);

void BM_PlaybackMomentLargestPanelAsRoundLeds(benchmark::State& state) {
  const PanelState& show = LargestPanelState();
  LedDots dots(3);
  for (auto _ : state) benchmark::DoNotOptimize(dots.Paint(RenderPanelFrame(show, 1024 * 10 + 1000 + 512 * 10)));
}
BENCHMARK(BM_PlaybackMomentLargestPanelAsRoundLeds)->Unit(benchmark::kMillisecond);

void BM_GifOfTheSample10Seconds(benchmark::State& state) {
  CTessaraDoc doc;
  doc.OnOpenDocument(LUMETRA_SOURCE_DIR "/resources/samples/welcome.tz", PanelSettings{});
  doc.PlaceClock(kClock);
  const PanelState show = *PanelStateAfterSend(doc, {kClock, false, {}});
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "lumetra-bench.gif";
  for (auto _ : state) ExportGif(show, {10'000, 25, int(state.range(0))}, path);
  std::filesystem::remove(path);
}
BENCHMARK(BM_GifOfTheSample10Seconds)->Arg(0)->Arg(6)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
