// The picture of a 1280 × 16 two-colour panel on the wire: how many bytes the
// host sends for it, how long the line needs for them at 115200 baud, how
// fast both ends encode and decode, and a whole transfer over a
// pseudo-terminal to a panel session answering in a thread. Then bytes and
// line time plain and packed for the largest panel (1,000 mixed units, and
// noise) and the sample document.

#include <benchmark/benchmark.h>

#include <atomic>
#include <random>
#include <thread>

#include "bench_units.h"
#include "document/document.h"
#include "document/panel_settings.h"
#include "panel/panel_session.h"
#include "protocol/host_link.h"
#include "protocol/messages.h"
#include "protocol/serial_line.h"
#include "render/picture.h"

namespace {

using namespace lumetra;
using namespace lumetra::protocol;

constexpr int kWidth = 1280;
constexpr int kHeight = 16;
constexpr int kBaud = 115200;

Bitmap32 SamplePicture() {
  Bitmap32 picture(kWidth, kHeight);
  const std::uint32_t colours[] = {0x000000, 0xFF0000, 0x00FF00, 0xFFFF00};
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) picture.At(x, y) = colours[(x / 3 + y) % 4];
  }
  return picture;
}

// The frames of one picture to a single panel, as HostLink sends them.
std::vector<std::vector<std::uint8_t>> PictureFrames(const Bitmap32& picture, bool packed = false) {
  const Addressing to{kModeSingle, {1}};
  const std::vector<std::uint8_t> planes = PackPlanes(picture, 0);
  std::uint8_t sequence = 0;
  std::vector<std::vector<std::uint8_t>> frames;
  const auto add = [&](Function function, std::vector<std::uint8_t> payload) {
    frames.push_back(EncodeCommand(Command{to, function, sequence++, std::move(payload)}));
  };
  add(Function::kPictureBegin,
      EncodePictureHeader({std::uint16_t(picture.Width()), std::uint16_t(picture.Height()), 0, kPlaneCount}));
  for (PictureDataFrame& frame : PlanPictureData(planes, 0, packed)) add(frame.function, std::move(frame.payload));
  add(Function::kPictureEnd, EncodeU32(std::uint32_t(planes.size())));
  return frames;
}

void BM_EncodePicture(benchmark::State& state) {
  const Bitmap32 picture = SamplePicture();
  std::size_t wireBytes = 0;
  std::size_t frameCount = 0;
  for (auto _ : state) {
    const auto frames = PictureFrames(picture);
    wireBytes = 0;
    for (const auto& frame : frames) wireBytes += frame.size();
    frameCount = frames.size();
    benchmark::DoNotOptimize(frames.data());
  }
  const double payload = double(PlaneBytes(kWidth, kHeight));
  const double replies = double(frameCount * kReplyBytes);
  state.counters["payload_bytes"] = payload;
  state.counters["bits_per_led"] = payload * 8 / (kWidth * kHeight);
  state.counters["wire_bytes"] = double(wireBytes);
  state.counters["framing_pct"] = (double(wireBytes) - payload) * 100 / payload;
  state.counters["reply_bytes"] = replies;
  state.counters["line_ms_115200"] = (double(wireBytes) + replies) * 10 * 1000 / kBaud;
}
BENCHMARK(BM_EncodePicture)->Unit(benchmark::kMicrosecond);

void BM_PanelDecodesPicture(benchmark::State& state) {
  std::vector<std::uint8_t> stream;
  for (const auto& frame : PictureFrames(SamplePicture())) stream.insert(stream.end(), frame.begin(), frame.end());
  for (auto _ : state) {
    panel::PanelSession session({1}, {});
    benchmark::DoNotOptimize(session.Receive(stream, {}));
    if (!session.State(1).picture) state.SkipWithError("picture not taken");
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(stream.size()));
}
BENCHMARK(BM_PanelDecodesPicture)->Unit(benchmark::kMicrosecond);

// A pseudo-terminal carries bytes as fast as the processes move them, so this
// is the protocol's own cost: encoding, the waits for each reply, decoding.
void BM_TransferOverPseudoTerminal(benchmark::State& state) {
  PtyPair pty = SerialLine::CreatePty();
  std::atomic<bool> stop = false;
  std::thread panelThread([&] {
    panel::PanelSession session({1}, {});
    std::vector<std::uint8_t> buffer(4096);
    while (!stop) {
      const ReadResult read = pty.master.Read(buffer, 20);
      if (read.status != ReadStatus::Ok) continue;
      const auto replies = session.Receive(std::span(buffer).first(read.count), {});
      if (!replies.empty()) pty.master.WriteAll(replies, 1000);
    }
  });
  const Bitmap32 picture = SamplePicture();
  HostLink link;
  if (link.Open(pty.slavePath.c_str(), {}) != kResultOk) state.SkipWithError("cannot open the terminal");
  for (auto _ : state) {
    if (link.SendPicture({kModeSingle, {1}}, picture, 0) != kResultOk) state.SkipWithError("transfer failed");
  }
  stop = true;
  panelThread.join();
}
BENCHMARK(BM_TransferOverPseudoTerminal)->Unit(benchmark::kMillisecond)->UseRealTime();

enum WirePicture { kThousandUnits, kSampleDocument, kNoise };

const Bitmap32& WirePictureOf(int which) {
  static const Bitmap32 thousandUnits = *RenderPictureStrip(*bench::LargestPanelOfUnits(), kNoClocks);
  static const Bitmap32 sample = [] {
    CTessaraDoc doc;
    doc.OnOpenDocument(LUMETRA_SOURCE_DIR "/resources/samples/welcome.tz", PanelSettings{});
    return *RenderPictureStrip(doc, kNoClocks);
  }();
  static const Bitmap32 noise = [] {
    Bitmap32 picture(thousandUnits.Width(), thousandUnits.Height());
    std::mt19937 rng(5);
    const std::uint32_t colours[] = {0x000000, 0xFF0000, 0x00FF00, 0xFFFF00};
    for (int y = 0; y < picture.Height(); ++y) {
      for (int x = 0; x < picture.Width(); ++x) picture.At(x, y) = colours[rng() % 4];
    }
    return picture;
  }();
  return which == kThousandUnits ? thousandUnits : which == kSampleDocument ? sample : noise;
}

// Bytes the host sends for a picture to one panel and the replies, plain
// (packed = 0) and packed, and the line time they need at 115200 baud.
void BM_PictureOnTheWire(benchmark::State& state) {
  const Bitmap32& picture = WirePictureOf(int(state.range(0)));
  const bool packed = state.range(1) != 0;
  std::size_t wireBytes = 0, frameCount = 0;
  for (auto _ : state) {
    const auto frames = PictureFrames(picture, packed);
    wireBytes = 0;
    for (const auto& frame : frames) wireBytes += frame.size();
    frameCount = frames.size();
  }
  const double total = double(wireBytes + frameCount * kReplyBytes);
  state.counters["plane_bytes"] = double(PlaneBytes(picture.Width(), picture.Height()));
  state.counters["wire_bytes"] = total;
  state.counters["commands"] = double(frameCount);
  state.counters["line_s_115200"] = total * 10 / kBaud;
}
BENCHMARK(BM_PictureOnTheWire)
    ->ArgsProduct({{kThousandUnits, kSampleDocument, kNoise}, {0, 1}})
    ->ArgNames({"picture", "packed"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
