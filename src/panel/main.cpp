// lumetra-panel: a virtual LED panel on a serial line, a pseudo-terminal or
// a TCP port (as a network-connected controller).
// It answers the protocol for one or more panel addresses, keeps what each
// panel received and, with --out, writes it into a folder after every change.
//   exit 0  stopped by a signal, or the line was cut on purpose (--fault cut:N)
//   exit 1  usage error (also --window without a display)
//   exit 2  the line cannot be opened, or went away, or the folder cannot be written

#include <CLI/CLI.hpp>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <QApplication>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "panel/event_log.h"
#include "panel/output_writer.h"
#include "panel/panel_window.h"
#include "panel/panel_output.h"
#include "panel/panel_session.h"
#include "platform/files.h"
#include "platform/version.h"
#include "protocol/port_names.h"
#include "protocol/serial_line.h"
#include "protocol/tcp_link.h"

namespace {

using namespace lumetra;
using namespace lumetra::panel;

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) { g_stop = 1; }

// Faults of the line itself, which the session does not see.
struct LineFaults {
  int replyDelayMs = 0;
  int cutAfterFrames = -1;  // close the line after this many frames; -1 never
};

// "silent", "silent:ADDRESS", "error", "no-packed:ADDRESS", "corrupt:N", "drop:N", "delay:MS", "cut:N".
std::string AddFault(const std::string& text, Faults& faults, LineFaults& line) {
  const auto colon = text.find(':');
  const std::string kind = text.substr(0, colon);
  int value = 0;
  if (colon != std::string::npos) {
    try {
      std::size_t used = 0;
      value = std::stoi(text.substr(colon + 1), &used);
      if (used != text.size() - colon - 1 || value < 0) return "bad number in fault " + text;
    } catch (const std::exception&) {
      return "bad number in fault " + text;
    }
  }
  const bool hasValue = colon != std::string::npos;
  if (kind == "silent" && !hasValue) {
    faults.silent = true;
  } else if (kind == "silent" && value <= 254) {
    faults.silentAddresses.push_back(std::uint8_t(value));
  } else if (kind == "error" && !hasValue) {
    faults.answerError = true;
  } else if (kind == "no-packed" && hasValue && value <= 254) {
    faults.withoutPackedData.push_back(std::uint8_t(value));
  } else if (kind == "corrupt" && hasValue) {
    faults.damagedFrames = value;
  } else if (kind == "drop" && hasValue) {
    faults.droppedBytes = value;
  } else if (kind == "delay" && hasValue) {
    line.replyDelayMs = value;
  } else if (kind == "cut" && hasValue) {
    line.cutAfterFrames = value;
  } else {
    return "unknown fault " + text + " (silent, silent:ADDRESS, error, no-packed:ADDRESS, corrupt:N, drop:N, delay:MS, cut:N)";
  }
  return {};
}

class PanelProgram {
 public:
  PanelProgram(PanelSession& session, std::filesystem::path out, std::vector<std::int64_t> snapshots)
      : session_(session), out_(std::move(out)) {
    if (out_.empty()) return;
    std::filesystem::create_directories(out_);
    for (std::uint8_t address : session_.Addresses()) std::filesystem::create_directories(FolderOf(address));
    events_.open(out_ / "events.jsonl", std::ios::app);
    if (!events_) throw FileError((out_ / "events.jsonl").string() + ": cannot be opened for writing");
    writer_.emplace([this](std::uint8_t address) { return session_.State(address); }, sessionMutex_,
                    [this](std::uint8_t address) { return FolderOf(address); }, std::move(snapshots));
  }

  // Bytes from the line, or a quiet line (nothing read); each reply goes out
  // as soon as its panel has made it.
  void Take(std::span<const std::uint8_t> bytes, bool quiet, const PanelSession::ReplySink& sendReply) {
    const auto onFrame = [&](const FrameEvent& event) { OnFrame(event); };
    {
      const std::lock_guard lock(sessionMutex_);
      if (quiet) {
        session_.LineIdle(sendReply, onFrame);
      } else {
        session_.Receive(bytes, sendReply, onFrame);
      }
    }
    PublishChanges();
  }

  // Each panel that changed, with what it now holds (the windows follow it).
  void SetChangeListener(std::function<void(std::uint8_t, const PanelState&)> listener) {
    listener_ = std::move(listener);
  }

  int Frames() const { return frames_; }
  // The first file that could not be written, and why.
  std::optional<std::string> WriteFailure() const { return writer_ ? writer_->Failure() : std::nullopt; }
  // Writes the files still pending; WriteFailure() then tells of every file.
  void FinishWriting() {
    if (writer_) writer_->Finish();
  }

 private:
  void OnFrame(const FrameEvent& event) {
    ++frames_;
    if (events_.is_open()) events_ << EventLine(event, ElapsedMs()) << '\n' << std::flush;
    changed_.insert(event.changed.begin(), event.changed.end());
  }

  // The files are written on the writer's thread, so the line is answered meanwhile.
  void PublishChanges() {
    for (std::uint8_t address : changed_) {
      if (writer_) writer_->Changed(address);
      if (listener_) listener_(address, session_.State(address));
    }
    changed_.clear();
  }

  // One panel writes into the folder itself; several each into a subfolder.
  std::filesystem::path FolderOf(std::uint8_t address) const {
    return session_.Addresses().size() == 1 ? out_ : out_ / std::to_string(address);
  }
  std::int64_t ElapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
  }

  PanelSession& session_;
  std::filesystem::path out_;
  std::ofstream events_;
  std::set<std::uint8_t> changed_;
  std::function<void(std::uint8_t, const PanelState&)> listener_;
  int frames_ = 0;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::mutex sessionMutex_;
  std::optional<OutputWriter> writer_;  // last, so it ends first and writes what is pending
};

// A frame whose bytes stop coming for this long is given up.
constexpr int kIdleMs = 50;
// After a stop signal, how long bytes still arriving are taken in; a line
// that never falls quiet cannot keep the panel running.
constexpr auto kStopGrace = std::chrono::milliseconds(500);

// Why serving ended.
enum class ServeEnd { kStopped, kLineGone, kFilesFailed };

// Answers the line until a stop signal or a cut on purpose (kStopped), the
// line going away, or a file that could not be written.
ServeEnd Serve(protocol::ByteLink& line, PanelProgram& program, const LineFaults& lineFaults) {
  std::vector<std::uint8_t> buffer(4096);
  std::optional<std::chrono::steady_clock::time_point> stopBy;
  for (;;) {
    const protocol::ReadResult read = line.Read(buffer, kIdleMs);
    // Whatever arrived before a stop is still taken in, for a little while.
    if (g_stop) {
      const auto now = std::chrono::steady_clock::now();
      if (!stopBy) stopBy = now + kStopGrace;
      if (read.status != protocol::ReadStatus::Ok || now >= *stopBy) break;
    }
    if (read.status == protocol::ReadStatus::Closed) return ServeEnd::kLineGone;
    if (program.WriteFailure()) return ServeEnd::kFilesFailed;
    // A slow panel answers late: the replies to what one read brought wait
    // once. The frame that the line is cut after goes unanswered.
    bool delayed = false;
    const auto sendReply = [&](std::span<const std::uint8_t> reply) {
      if (lineFaults.cutAfterFrames >= 0 && program.Frames() + 1 >= lineFaults.cutAfterFrames) return;
      if (!std::exchange(delayed, true)) std::this_thread::sleep_for(std::chrono::milliseconds(lineFaults.replyDelayMs));
      if (!line.WriteAll(reply, 1000)) std::cerr << "lumetra-panel: reply not sent: " << line.LastError() << '\n';
    };
    program.Take(std::span(buffer).first(read.count), read.status != protocol::ReadStatus::Ok, sendReply);
    if (lineFaults.cutAfterFrames >= 0 && program.Frames() >= lineFaults.cutAfterFrames) {
      std::cerr << "lumetra-panel: cutting the line after " << program.Frames() << " frames\n";
      return ServeEnd::kStopped;
    }
  }
  return ServeEnd::kStopped;
}

// A network controller takes one host at a time, each for as long as it
// stays connected; the panels keep what they received in between.
ServeEnd ServeConnections(protocol::TcpListener& listener, PanelProgram& program, const LineFaults& lineFaults) {
  while (!g_stop) {
    std::optional<protocol::TcpLink> connection = listener.Accept(kIdleMs);
    if (!connection) continue;
    // A host that hangs up is done; the next one may come.
    if (const ServeEnd end = Serve(*connection, program, lineFaults); end != ServeEnd::kLineGone) return end;
  }
  return ServeEnd::kStopped;
}

// The panels as LEDs on the screen while `serve` runs on a thread of its
// own; closing a window stops the panel.
ServeEnd ServeWithWindows(const std::function<ServeEnd()>& serve, PanelSession& session, PanelProgram& program,
                          int ledSize, int argc, char** argv) {
  QApplication application(argc, argv);
  std::map<std::uint8_t, std::unique_ptr<PanelWindow>> windows;
  for (std::uint8_t address : session.Addresses()) {
    auto window = std::make_unique<PanelWindow>(ledSize);
    window->SetAddresses({address});
    window->ShowState({});
    window->show();
    windows[address] = std::move(window);
  }
  QObject::connect(&application, &QApplication::lastWindowClosed, [] { g_stop = 1; });
  PanelWindow* any = windows.begin()->second.get();
  program.SetChangeListener([&](std::uint8_t address, const PanelState& state) {
    QMetaObject::invokeMethod(windows[address].get(), [window = windows[address].get(), state] {
      window->ShowState(state);
    }, Qt::QueuedConnection);
  });
  ServeEnd result = ServeEnd::kStopped;
  std::thread server([&] {
    result = serve();
    QMetaObject::invokeMethod(any, [] { QApplication::quit(); }, Qt::QueuedConnection);
  });
  QApplication::exec();
  g_stop = 1;
  server.join();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Lumetra virtual LED panel: answers the panels' serial protocol and shows what it received."};
  app.set_version_flag("--version", std::string("lumetra-panel ") + lumetra::kVersion, "Print the version and exit");
  bool pty = false;
  std::string device;
  int baud = 115200;
  std::vector<int> addresses;
  std::string out;
  std::vector<std::int64_t> snapshots;
  std::vector<std::string> faultTexts;
  bool window = false;
  int ledSize = PanelWindow::kDefaultLedSize;
  auto* ptyOption = app.add_flag("--pty", pty, "Create a pseudo-terminal and print its path");
  auto* deviceOption = app.add_option("--device", device, "Serial device to listen on");
  std::string tcp;
  auto* tcpOption = app.add_option("--tcp", tcp, "Listen as a network controller on HOST:PORT (PORT 0: any free "
                                                  "one); prints tcp://HOST:PORT");
  ptyOption->excludes(deviceOption);
  tcpOption->excludes(ptyOption)->excludes(deviceOption);
  app.add_option("--baud", baud, "Line speed of --device")->capture_default_str();
  app.add_option("--address", addresses, "Panel address 0..254 (repeat for several panels on the line; default 1)")
      ->check(CLI::Range(0, 254));
  app.add_option("--out", out, "Folder for picture.bmp/.png, parameters.json, clock.json, events.jsonl");
  app.add_option("--snapshot", snapshots, "Also write what the LEDs show T ms into the show (repeatable)")
      ->check(CLI::Range(std::int64_t(0), std::int64_t(1) << 40));
  app.add_option("--fault", faultTexts, "Misbehave: silent, silent:ADDRESS, error, no-packed:ADDRESS (an older panel), corrupt:N, drop:N, delay:MS, cut:N (repeatable)");
  app.add_flag("--window", window, "Show the panel as LEDs on the screen, playing what it received");
  app.add_option("--led-size", ledSize, "Screen pixels per LED in the window")->check(CLI::Range(3, 64))
      ->capture_default_str();
  try {
    app.parse(argc, argv);
    if (!pty && device.empty() && tcp.empty()) throw CLI::RequiredError("--pty, --device or --tcp");
    if (window && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
      std::cerr << "lumetra-panel: --window needs a display (DISPLAY or WAYLAND_DISPLAY is not set)\n";
      return 1;
    }
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : 1;
  }

  Faults faults;
  LineFaults lineFaults;
  for (const std::string& fault : faultTexts) {
    if (std::string error = AddFault(fault, faults, lineFaults); !error.empty()) {
      std::cerr << "lumetra-panel: " << error << '\n';
      return 1;
    }
  }
  if (addresses.empty()) addresses.push_back(1);

  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  try {
    std::optional<protocol::SerialLine> line;
    std::optional<protocol::TcpListener> listener;
    if (pty) {
      protocol::PtyPair pair = protocol::SerialLine::CreatePty();
      line.emplace(std::move(pair.master));
      std::cout << pair.slavePath << std::endl;
    } else if (!tcp.empty()) {
      const std::optional<protocol::HostAndPort> where = protocol::ParseHostAndPort(tcp, true);
      if (!where) {
        std::cerr << "lumetra-panel: --tcp " << tcp << " is not HOST:PORT\n";
        return 1;
      }
      listener.emplace(protocol::TcpListener::Listen(where->host, where->port));
      std::cout << protocol::PortTarget{{}, where->host, listener->Port()}.Describe() << std::endl;
    } else {
      // The panel's end of the line: it takes it as its own, as a sender does.
      line.emplace(protocol::SerialLine::Open(device, baud));
    }
    PanelSession session({addresses.begin(), addresses.end()}, faults);
    PanelProgram program(session, out, snapshots);
    const std::function<ServeEnd()> serve = [&] {
      return listener ? ServeConnections(*listener, program, lineFaults) : Serve(*line, program, lineFaults);
    };
    const ServeEnd end = window ? ServeWithWindows(serve, session, program, ledSize, argc, argv) : serve();
    // The files of the last changes are written before the panel ends.
    program.FinishWriting();
    if (const std::optional<std::string> failure = program.WriteFailure()) {
      std::cerr << "lumetra-panel: " << *failure << '\n';
      return 2;
    }
    if (end == ServeEnd::kLineGone) {
      std::cerr << "lumetra-panel: the line went away: " << line->LastError() << '\n';
      return 2;
    }
    return 0;
  } catch (const protocol::LinkError& e) {
    std::cerr << "lumetra-panel: " << e.what() << '\n';
  } catch (const FileError& e) {
    std::cerr << "lumetra-panel: " << e.what() << '\n';
  } catch (const std::filesystem::filesystem_error& e) {
    std::cerr << "lumetra-panel: " << e.what() << '\n';
  }
  return 2;
}
