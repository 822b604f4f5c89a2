#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include "protocol/frame.h"
#include "protocol/host_link.h"
#include "protocol/serial_line.h"

namespace lumetra::protocol {
namespace {
using Clock = std::chrono::steady_clock;

class ScriptedPanel {
 public:
  using Script = std::function<std::vector<std::uint8_t>(const Command&, int)>;
  explicit ScriptedPanel(Script script, bool flood = false) : pty_(SerialLine::CreatePty()), script_(std::move(script)) {
    thread_ = std::thread([this, flood] {
      CommandDecoder decoder;
      std::vector<std::uint8_t> buffer(4096);
      std::vector<std::uint8_t> noise(64, 0x00);
      while (!stop_) {
        const ReadResult read = pty_.master.Read(buffer, flood ? 0 : 20);
        if (flood) pty_.master.WriteAll(noise, 100);
        if (read.status != ReadStatus::Ok) continue;
        std::vector<std::uint8_t> out;
        decoder.Feed(std::span(buffer).first(read.count), [&](const Command& c) {
          auto bytes = script_(c, count_++);
          out.insert(out.end(), bytes.begin(), bytes.end());
        });
        if (!out.empty()) pty_.master.WriteAll(out, 1000);
      }
    });
  }
  ~ScriptedPanel() { stop_ = true; thread_.join(); }
  const std::string& Path() const { return pty_.slavePath; }
  int Count() const { return count_; }
 private:
  PtyPair pty_;
  Script script_;
  std::atomic<bool> stop_ = false;
  std::atomic<int> count_ = 0;
  std::thread thread_;
};

std::vector<std::uint8_t> R(std::uint8_t address, const Command& c, Status s = Status::kOk, int seqDelta = 0) {
  auto b = EncodeReply(Reply{address, c.function, std::uint8_t(c.sequence + seqDelta), s});
  return {b.begin(), b.end()};
}

std::pair<int, long> Run(ScriptedPanel& panel, Addressing to) {
  HostLink link;
  EXPECT_EQ(link.Open(panel.Path().c_str()), kResultOk);
  const auto start = Clock::now();
  const std::uint8_t payload[25] = {};
  int r = link.Send(to, Function::kParameters, payload);
  return {r, long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count())};
}

TEST(Probe, Scenarios) {
  const Addressing single{kModeSingle, {3}};
  const Addressing list{kModeList, {1, 2, 3}};
  { ScriptedPanel p([](const Command& c, int) { return R(3, c); }); auto [r, ms] = Run(p, single); printf("ok: %d %ld sends=%d\n", r, ms, p.Count()); }
  { ScriptedPanel p([](const Command& c, int) { return R(4, c); }); auto [r, ms] = Run(p, single); printf("wrong addr: %d %ld sends=%d\n", r, ms, p.Count()); }
  { ScriptedPanel p([](const Command& c, int) { return R(3, c, Status::kOk, -1); }); auto [r, ms] = Run(p, single); printf("stale: %d %ld sends=%d\n", r, ms, p.Count()); }
  { ScriptedPanel p([](const Command& c, int) { auto a = R(1, c); auto b = R(2, c); a.insert(a.end(), b.begin(), b.end()); return a; }); auto [r, ms] = Run(p, list); printf("half list: %d %ld sends=%d\n", r, ms, p.Count()); }
  { ScriptedPanel p([](const Command& c, int n) { if (n < 3) return std::vector<std::uint8_t>{}; auto a = R(1, c); auto b = R(2, c); auto d = R(3, c); a.insert(a.end(), b.begin(), b.end()); a.insert(a.end(), d.begin(), d.end()); return a; }); auto [r, ms] = Run(p, list); printf("4th ok: %d %ld sends=%d\n", r, ms, p.Count()); }
  { ScriptedPanel p([](const Command& c, int) { return R(3, c, Status(9)); }); auto [r, ms] = Run(p, single); printf("status9: %d %ld sends=%d\n", r, ms, p.Count()); }
  { ScriptedPanel p([](const Command& c, int) { return R(3, c, Status::kTooLarge); }); auto [r, ms] = Run(p, single); printf("toolarge: %d %ld sends=%d\n", r, ms, p.Count()); }
  { ScriptedPanel p([](const Command& c, int) { return R(3, c); }); auto [r, ms] = Run(p, Addressing{kModeBroadcast, {}}); printf("bcast: %d %ld sends=%d\n", r, ms, p.Count()); }
  { ScriptedPanel p([](const Command&, int) { return std::vector<std::uint8_t>{}; }, true); auto [r, ms] = Run(p, single); printf("flood: %d %ld sends=%d\n", r, ms, p.Count()); }
}
}  // namespace
}  // namespace lumetra::protocol
