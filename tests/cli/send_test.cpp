// Sending through the real display libraries and a pseudo-terminal to
// lumetra-panel: lumetra-cli, and the send operations in one process, where
// what a library keeps between calls matters.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <sstream>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <future>
#include <thread>
#include <vector>

#include "comm/display_library.h"
#include "comm/send_data.h"
#include "comm/send_operations.h"
#include "document/document.h"
#include "document/panel_settings.h"
#include "platform/app_paths.h"
#include "platform/gdi/bmp_file.h"
#include "platform/gdi/dc.h"
#include "protocol/messages.h"
#include "protocol/serial_line.h"
#include "support/temp_folder.h"
#include "support/virtual_panel.h"
#include "units/rectangle.h"
#include "units/timer.h"
#include "view/tessara_view.h"

namespace lumetra {
namespace {

const std::string kSample = LUMETRA_SOURCE_DIR "/resources/samples/welcome.tz";

struct CliResult {
  int status = -1;
  std::string out;
};

CliResult RunCli(const std::filesystem::path& program, const std::string& port, const std::string& args,
           const std::filesystem::path& home) {
  const std::string command = "XDG_CONFIG_HOME='" + home.string() + "' LUMETRA_COM1='" + port + "' '" +
                              program.string() + "' " + args + " 2>&1";
  CliResult run;
  FILE* pipe = ::popen(command.c_str(), "r");
  std::array<char, 4096> buffer;
  while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) run.out.append(buffer.data(), n);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

nlohmann::json ReadJson(const std::filesystem::path& path) { return nlohmann::json::parse(test::ReadText(path)); }

// The picture the editor exports for a document, as lumetra-cli renders it.
Bitmap32 Exported(const std::filesystem::path& document, const std::filesystem::path& folder) {
  const std::filesystem::path bmp = folder / "export.bmp";
  const CliResult run = RunCli(LUMETRA_BIN_DIR "/lumetra-cli", "",
                               "render '" + document.string() + "' -o '" + bmp.string() + "'", folder / "home");
  if (run.status != 0) throw std::runtime_error("render failed: " + run.out);
  return ReadBmpPicture(bmp).value();
}

// A panel's picture file shows the exported picture LED by LED, in the panel's colours.
::testing::AssertionResult ShowsExport(const std::filesystem::path& received, const Bitmap32& exported) {
  const std::optional<Bitmap32> picture = ReadBmpPicture(received);
  if (!picture) return ::testing::AssertionFailure() << received << " cannot be read";
  if (picture->Width() != exported.Width() || picture->Height() != exported.Height()) {
    return ::testing::AssertionFailure() << received << " is " << picture->Width() << " x " << picture->Height();
  }
  const auto& colours = ColoursOf(kRedAndGreen).colours;
  for (int y = 0; y < exported.Height(); ++y) {
    for (int x = 0; x < exported.Width(); ++x) {
      if (picture->At(x, y) != PixelFromColor(colours[protocol::LedColourOf(exported.At(x, y), 0)])) {
        return ::testing::AssertionFailure() << received << " differs at " << x << "," << y;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

class Sending : public ::testing::Test {
 protected:
  CliResult Cli(const test::VirtualPanel& panel, const std::string& args,
          const std::filesystem::path& program = LUMETRA_BIN_DIR "/lumetra-cli") {
    return RunCli(program, panel.Path(), args, folder / "home");
  }
  test::TempFolder folder{"send"};
};

// The parameters as the editor would send them once it has shown the document.
ParameterBlock ExpectedParameters() {
  CTessaraDoc doc;
  doc.OnOpenDocument(kSample, PanelSettings{});
  CTessaraView view;
  view.SetDocument(&doc);
  view.OnInitialUpdate();
  Bitmap32 canvas(doc.CanvasPixels().cx, doc.CanvasPixels().cy);
  CDC dc(canvas);
  view.OnDraw(dc);
  return BuildParameterBlock(doc, view.m_nClockCount);
}

TEST_F(Sending, ThePanelReceivesThePictureTheParametersAndTheClockOfTheDocument) {
  test::VirtualPanel panel(folder / "panel", {});
  const std::time_t before = std::time(nullptr);
  const CliResult run = Cli(panel, "send '" + kSample + "' --pause-scale 0");
  const std::time_t after = std::time(nullptr);
  panel.Stop();
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("Sending the picture"), std::string::npos);
  EXPECT_NE(run.out.find("Transfer completed successfully."), std::string::npos);

  // The picture, LED by LED, is the exported BMP in the panel's colours.
  const Bitmap32 exported = Exported(kSample, folder.path());
  EXPECT_TRUE(ShowsExport(folder / "panel" / "picture.bmp", exported));
  int lit = 0;
  for (std::uint32_t pixel : exported.Pixels()) lit += protocol::LedColourOf(pixel, 0) != 0;
  EXPECT_GT(lit, 500);

  const nlohmann::json parameters = ReadJson(folder / "panel" / "parameters.json");
  const ParameterBlock expected = ExpectedParameters();
  EXPECT_EQ(parameters["bytes"], nlohmann::json(std::vector<int>(expected.begin(), expected.end())));

  // The clock bytes are the time of sending.
  const std::string time = ReadJson(folder / "panel" / "clock.json")["time"];
  std::tm sent{};
  ASSERT_TRUE(strptime(time.c_str(), "%Y-%m-%d %H:%M:%S", &sent)) << time;
  sent.tm_isdst = -1;
  EXPECT_GE(std::mktime(&sent), before - 1);
  EXPECT_LE(std::mktime(&sent), after + 1);
}

TEST_F(Sending, ListsAndBroadcastsReachExactlyTheAddressedPanels) {
  test::VirtualPanel panel(folder / "panel", {"--address", "1", "--address", "2", "--address", "7"});
  const auto received = [&](int address, const char* file) {
    return std::filesystem::exists(folder / "panel" / std::to_string(address) / file);
  };
  const CliResult list = Cli(panel, "params '" + kSample + "' --address '1, 2' --no-clock --pause-scale 0");
  const CliResult broadcast = Cli(panel, "clock --broadcast --address 200 --pause-scale 0");
  panel.Stop();
  ASSERT_EQ(list.status, 0) << list.out;
  ASSERT_EQ(broadcast.status, 0) << broadcast.out;
  EXPECT_TRUE(received(1, "parameters.json"));
  EXPECT_TRUE(received(2, "parameters.json"));
  EXPECT_FALSE(received(7, "parameters.json"));
  for (int address : {1, 2, 7}) EXPECT_TRUE(received(address, "clock.json")) << address;
}

TEST_F(Sending, EveryFaultEndsWithItsOwnCodeAndNeverWithASuccess) {
  struct Case {
    std::vector<std::string> faults;
    int exitStatus;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"--fault", "silent"}, 3, "did not answer"},
      {{"--fault", "corrupt:100"}, 3, "did not answer"},
      {{"--fault", "corrupt:2"}, 0, "completed successfully"},  // repeats get through
      {{"--fault", "error"}, 3, "reported an error"},
      {{"--fault", "cut:3"}, 3, "interrupted"},
  };
  for (const Case& c : cases) {
    test::TempFolder out("panel");
    test::VirtualPanel panel(out.path(), c.faults);
    const CliResult run = Cli(panel, "send '" + kSample + "' --no-clock --pause-scale 0");
    EXPECT_EQ(run.status, c.exitStatus) << c.faults[1] << ": " << run.out;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << c.faults[1] << ": " << run.out;
  }
}

// The functions the panel received, in order, from its log.
std::vector<std::string> FramesReceived(const std::filesystem::path& out) {
  std::vector<std::string> functions;
  std::istringstream lines(test::ReadText(out / "events.jsonl"));
  for (std::string line; std::getline(lines, line);) functions.push_back(nlohmann::json::parse(line)["function"]);
  return functions;
}

TEST_F(Sending, APanelOfAListThatStaysSilentIsNamedAndTheOthersTakeThePicture) {
  for (const std::string controller : {"MOVA", "MOVA_OUT"}) {
    test::TempFolder out("panel");
    test::VirtualPanel panel(out.path(), {"--address", "1", "--address", "2", "--address", "3", "--address", "4",
                                          "--address", "5", "--fault", "silent:3"});
    const std::string send = "send '" + kSample + "' --address 1-5 --pause-scale 0 --controller " + controller;
    const CliResult text = Cli(panel, send);
    EXPECT_EQ(text.status, 3) << text.out;
    EXPECT_NE(text.out.find("parameters: answered 1, 2, 4, 5; failed 3 (result 2)\npicture: answered 1, 2, 4, 5\n"),
              std::string::npos) << text.out;
    EXPECT_NE(text.out.find("The panel did not answer in time."), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\nPanel 3 did not answer.\n"), std::string::npos) << text.out;
    const CliResult json = Cli(panel, send + " --json");
    panel.Stop();
    EXPECT_EQ(json.status, 3);
    const nlohmann::json report = nlohmann::json::parse(json.out);
    EXPECT_EQ(report["result"], 2);
    EXPECT_EQ(report["steps"][0]["answered"], nlohmann::json({1, 2, 4, 5}));
    EXPECT_EQ(report["steps"][0]["failed"], nlohmann::json::parse(R"([{"address": 3, "result": 2}])"));
    for (int address : {1, 2, 4, 5}) {
      EXPECT_TRUE(std::filesystem::exists(out / std::to_string(address) / "picture.bmp")) << controller << address;
    }
    EXPECT_FALSE(std::filesystem::exists(out / "3" / "picture.bmp")) << controller;
  }
}

TEST_F(Sending, ABroadcastGoesOutThriceAndSaysThatNoPanelConfirmedIt) {
  for (const std::string controller : {"MOVA", "MOVA_OUT"}) {
    test::TempFolder out("panel");
    test::VirtualPanel panel(out.path(), {"--fault", "corrupt:3"});
    const CliResult run = Cli(panel, "send '" + kSample + "' --broadcast --no-clock --pause-scale 0 --controller " +
                                         controller);
    panel.Stop();
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("Sent to all panels; a broadcast is not confirmed by the panels."), std::string::npos)
        << run.out;
    EXPECT_TRUE(std::filesystem::exists(out / "picture.bmp")) << controller;
    const std::vector<std::string> frames = FramesReceived(out.path());
    EXPECT_EQ(std::count(frames.begin(), frames.end(), "picture begin"), 3) << controller;
  }
}

// Packed pieces reach every panel that knows them, an older panel of the
// same list gets the picture plain, and a broadcast goes packed only where
// the port says every panel knows it: each panel shows the export.
TEST_F(Sending, PackedPicturesArriveAsTheExportAndOlderPanelsGetThemPlain) {
  struct Case {
    const char* name;
    std::vector<std::string> faults;
    std::string to;
    const char* packing;  // LUMETRA_PACKED, or none
    std::set<std::string> dataFunctions;
  };
  const Case cases[] = {
      {"a list", {}, "--address 1-3", nullptr, {"packed picture data"}},
      {"an older panel", {"--fault", "no-packed:2"}, "--address 1-3", nullptr, {"packed picture data", "picture data"}},
      {"packing off", {}, "--address 1-3", "off", {"picture data"}},
      {"a broadcast", {}, "--broadcast", nullptr, {"picture data"}},
      {"a broadcast to panels that all know it", {}, "--broadcast", "all", {"packed picture data"}},
  };
  const Bitmap32 exported = Exported(kSample, folder.path());
  for (const Case& c : cases) {
    test::TempFolder out("panel");
    std::vector<std::string> options = {"--address", "1", "--address", "2", "--address", "3"};
    options.insert(options.end(), c.faults.begin(), c.faults.end());
    test::VirtualPanel panel(out.path(), options);
    if (c.packing) ::setenv("LUMETRA_PACKED", c.packing, 1);
    const CliResult run = Cli(panel, "send '" + kSample + "' " + c.to + " --no-clock --pause-scale 0");
    ::unsetenv("LUMETRA_PACKED");
    panel.Stop();
    EXPECT_EQ(run.status, 0) << c.name << ": " << run.out;
    std::set<std::string> dataFunctions;
    for (const std::string& function : FramesReceived(out.path())) {
      if (function.find("picture data") != std::string::npos) dataFunctions.insert(function);
    }
    EXPECT_EQ(dataFunctions, c.dataFunctions) << c.name;
    for (const char* address : {"1", "2", "3"}) {
      EXPECT_TRUE(ShowsExport(out / address / "picture.bmp", exported)) << c.name;
    }
  }
}

// 127 panels on one line take the largest picture (8192 x 256 LEDs, in 128
// plain pieces each answered by every panel) while they write their files:
// each answers in its slot, and each shows the export.
TEST_F(Sending, AFleetOf127PanelsTakesTheLargestPictureInItsReplySlots) {
  CTessaraDoc doc;
  doc.m_nWidthWords = kMaxWidthWords;
  doc.m_nHeightWords = kMaxHeightWords;
  doc.m_nFrames = 8;
  for (int frame = 0; frame < 8; ++frame) {
    auto block = std::make_unique<CRectangle>();
    block->m_crPen = block->m_crBrush = frame % 2 ? 0x0000FF : 0x00FF00;
    block->m_ptFirst = {40 * frame, frame * 256 + 10 * frame};
    block->m_ptSecond = {40 * frame + 600, frame * 256 + 200};
    doc.m_units.push_back(std::move(block));
  }
  const std::filesystem::path file = folder / "largest.tz";
  doc.OnSaveDocument(file);
  std::vector<std::string> options;
  for (int address = 1; address <= 127; ++address) options.insert(options.end(), {"--address", std::to_string(address)});
  test::VirtualPanel panel(folder / "panel", options);
  ::setenv("LUMETRA_PACKED", "off", 1);
  const CliResult run = Cli(panel, "send '" + file.string() + "' --address 1-127 --no-clock --pause-scale 0 --json");
  ::unsetenv("LUMETRA_PACKED");
  ASSERT_TRUE(panel.Stop());
  ASSERT_EQ(run.status, 0) << run.out;
  const nlohmann::json report = nlohmann::json::parse(run.out);
  for (const nlohmann::json& step : report["steps"]) EXPECT_EQ(step["answered"].size(), 127u) << step["step"];
  const Bitmap32 exported = Exported(file, folder.path());
  EXPECT_EQ(exported.Width(), 8192);
  for (const char* address : {"1", "64", "127"}) EXPECT_TRUE(ShowsExport(folder / "panel" / address / "picture.bmp", exported));
}

TEST_F(Sending, APortThatCannotBeOpenedNamesItsDeviceAndWhy) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {(folder / "no-such-port").string(), "no such device"},
      {"/dev/null", "not a serial port"},
  };
  for (const auto& [device, why] : cases) {
    const CliResult run = RunCli(LUMETRA_BIN_DIR "/lumetra-cli", device, "clock --pause-scale 0", folder / "home");
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.out.find("COM1 (" + device + "): " + why + "\n"), std::string::npos) << run.out;
  }
}

TEST_F(Sending, AClockBeyondFrame255RefusesTheTransferBeforeAnythingIsSent) {
  CTessaraDoc doc;
  doc.m_nWidthWords = 1;
  doc.m_nFrames = 400;
  doc.m_nClockStyle = 1;
  auto clock = std::make_unique<CTimer>();
  clock->m_ptFirst = {0, 299 * 16 + 1};
  clock->m_ptSecond = {16, 299 * 16 + 13};
  doc.m_units.push_back(std::move(clock));
  const std::filesystem::path file = folder / "clock-in-frame-300.tz";
  doc.OnSaveDocument(file);
  for (const std::string command : {"send", "params"}) {
    test::TempFolder out("panel");
    test::VirtualPanel panel(out.path(), {});
    const CliResult run = Cli(panel, command + " '" + file.string() + "' --pause-scale 0");
    panel.Stop();
    EXPECT_EQ(run.status, 3) << run.out;
    EXPECT_NE(run.out.find("The clock stands in frame 300"), std::string::npos) << run.out;
    EXPECT_TRUE(FramesReceived(out.path()).empty()) << command;
  }
}

// As the editor does it, in one process: a send whose port could not be
// opened leaves no clear behind for a later parameters-only send.
TEST_F(Sending, MovaOutLeavesNoClearBehindASendThatFailed) {
  ASSERT_TRUE(InitAppPaths());  // the libraries sit beside this test
  test::VirtualPanel panel(folder / "panel", {});
  ::setenv("LUMETRA_COM1", panel.Path().c_str(), 1);
  ::setenv("LUMETRA_COM2", (folder / "no-such-port").c_str(), 1);
  const std::unique_ptr<DisplayLibrary> driver = LoadDisplayLibrary(kDriverLibraryFile);
  const std::unique_ptr<DisplayLibrary> library = LoadDisplayLibrary(kPanelLibraryFile);
  ASSERT_TRUE(driver && library);
  CTessaraDoc doc;
  doc.OnOpenDocument(kSample, PanelSettings{});
  std::ostringstream console;
  SendOperations operations(driver.get(), library.get(), [](int) {}, console);
  SendDestination to{"COM1", kAddressModeSingle, ParseAddressTable("1"), kControllerMovaOut};
  const ParameterBlock block = ExpectedParameters();

  EXPECT_EQ(operations.SendEverything(to, doc, block, 0, false), 0);
  to.port = "COM2";
  EXPECT_EQ(operations.SendEverything(to, doc, block, 0, false), 1);
  to.port = "COM1";
  EXPECT_EQ(operations.ApplyParameters(to, block, false), 0);
  panel.Stop();
  ::unsetenv("LUMETRA_COM1");
  ::unsetenv("LUMETRA_COM2");
  EXPECT_EQ(FramesReceived(folder / "panel"),
            (std::vector<std::string>{"clear", "parameters", "picture begin", "packed picture data", "picture end",
                                      "parameters"}));
  EXPECT_TRUE(std::filesystem::exists(folder / "panel" / "picture.bmp"));
}

TEST_F(Sending, MissingLibrariesAreReportedWithTheirCodes) {
  test::VirtualPanel panel(folder / "panel", {});
  // A copy of the program with its language files but no display libraries
  // beside it; they are not on the system's library path either.
  const std::filesystem::path bin = folder / "bin";
  std::filesystem::create_directories(bin);
  std::filesystem::copy(LUMETRA_BIN_DIR "/Language", bin / "Language", std::filesystem::copy_options::recursive);
  std::filesystem::copy_file(LUMETRA_BIN_DIR "/setting.ini", bin / "setting.ini");
  std::filesystem::copy_file(LUMETRA_BIN_DIR "/lumetra-cli", bin / "lumetra-cli");

  CliResult run = Cli(panel, "send '" + kSample + "' --pause-scale 0", bin / "lumetra-cli");
  EXPECT_EQ(run.status, 3);
  EXPECT_NE(run.out.find("Cannot open the serial port."), std::string::npos) << run.out;  // code 1

  std::filesystem::copy_file(LUMETRA_BIN_DIR "/KELDLL.so", bin / "KELDLL.so");
  run = Cli(panel, "send '" + kSample + "' --controller MOVA_OUT --pause-scale 0", bin / "lumetra-cli");
  EXPECT_EQ(run.status, 3);
  EXPECT_NE(run.out.find("LoadLibrary Error!"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("The transfer was interrupted"), std::string::npos) << run.out;  // code 33

  run = Cli(panel, "send '" + kSample + "' --address '1,,2'", bin / "lumetra-cli");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("The screen address is not valid."), std::string::npos) << run.out;
}

// The same document over a line at 9600 baud and over TCP, the ports named
// directly on the command line.
TEST_F(Sending, AnyPortCarriesTheSamePicture) {
  struct Case {
    test::VirtualPanel::Line line;
    std::string options;
  };
  const Case cases[] = {{test::VirtualPanel::Line::kPty, " --baud 9600"}, {test::VirtualPanel::Line::kTcp, ""}};
  for (const Case& c : cases) {
    test::TempFolder out("panel");
    test::VirtualPanel panel(out.path(), {}, c.line);
    const CliResult run = RunCli(LUMETRA_BIN_DIR "/lumetra-cli", "",
                                 "send '" + kSample + "' --pause-scale 0 --port '" + panel.Path() + "'" + c.options,
                                 folder / "home");
    panel.Stop();
    ASSERT_EQ(run.status, 0) << panel.Path() << ": " << run.out;
    const std::optional<Bitmap32> received = ReadBmpPicture(out / "picture.bmp");
    ASSERT_TRUE(received) << panel.Path();
    EXPECT_EQ(received->Width(), 1280);
    EXPECT_EQ(FramesReceived(out.path()).back(), "clock");
  }
}

// Output of a command that runs in the background, line by line.
class Background {
 public:
  explicit Background(const std::string& command)
      : pipe_(::popen(("echo $$; exec " + command + " 2>&1").c_str(), "r")) {
    pid_ = std::stoi(NextLine().value_or("-1"));
  }
  ~Background() { Wait(); }
  pid_t Pid() const { return pid_; }
  // The next line; nothing once the output has ended.
  std::optional<std::string> NextLine() {
    std::string line;
    int c;
    while ((c = std::fgetc(pipe_)) != EOF && c != '\n') line += char(c);
    if (c == EOF && line.empty()) return std::nullopt;
    output_ += line + '\n';
    return line;
  }
  // The rest of the output, and how the command ended.
  CliResult Wait() {
    if (!pipe_) return result_;
    for (int c; (c = std::fgetc(pipe_)) != EOF;) output_ += char(c);
    const int status = ::pclose(pipe_);
    pipe_ = nullptr;
    result_ = {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output_};
    return result_;
  }

 private:
  FILE* pipe_;
  pid_t pid_ = -1;
  std::string output_;
  CliResult result_;
};

std::string CliCommand(const std::filesystem::path& home, const std::string& args) {
  return "env XDG_CONFIG_HOME='" + home.string() + "' '" LUMETRA_BIN_DIR "/lumetra-cli' " + args;
}

// Two senders at once: the one that opens the line first goes on undisturbed,
// the other is refused at once and says why.
TEST_F(Sending, OfTwoSendersOnOneLineOneIsRefused) {
  test::VirtualPanel panel(folder / "panel", {"--fault", "delay:200"});
  const std::string send = "send '" + kSample + "' --pause-scale 0 --port '" + panel.Path() + "'";
  Background first(CliCommand(folder / "home", send));
  for (std::optional<std::string> line; (line = first.NextLine()) && *line != "Sending the parameters";) {
  }
  const CliResult runs[] = {RunCli(LUMETRA_BIN_DIR "/lumetra-cli", "", send, folder / "home"), first.Wait()};
  const bool firstWon = runs[1].status == 0;
  const CliResult& refused = runs[firstWon ? 0 : 1];
  EXPECT_EQ(runs[firstWon ? 1 : 0].status, 0) << runs[0].out << runs[1].out;
  EXPECT_EQ(refused.status, 3) << refused.out;
  EXPECT_NE(refused.out.find("(" + panel.Path() + "): in use by another program"), std::string::npos) << refused.out;
}

// SIGINT in the middle of a picture: nothing more goes out, the panel keeps
// the picture it had, and no temporary file is left.
TEST_F(Sending, ACancelledSendLeavesThePanelsPictureAndNoTemporaryFile) {
  test::VirtualPanel panel(folder / "panel", {"--fault", "delay:300"});
  const std::string send = "send '" + kSample + "' --pause-scale 0 --port '" + panel.Path() + "'";
  ASSERT_EQ(RunCli(LUMETRA_BIN_DIR "/lumetra-cli", "", send, folder / "home").status, 0);
  const std::size_t framesBefore = FramesReceived(folder / "panel").size();

  // A larger picture, in many plain pieces: the cancel has time to land among them.
  CTessaraDoc other;
  other.OnOpenDocument(kSample, PanelSettings{});
  other.m_units.erase(other.m_units.begin() + 1, other.m_units.end());
  other.m_nWidthWords = 16;
  other.m_nHeightWords = 4;
  other.OnSaveDocument(folder / "other.tz");
  const std::filesystem::path temp = folder / "tmp";
  std::filesystem::create_directories(temp);
  Background sending("env LUMETRA_PACKED=off TMPDIR='" + temp.string() + "' " +
                     CliCommand(folder / "home", "send '" + (folder / "other.tz").string() +
                                                     "' --pause-scale 0 --port '" + panel.Path() + "'"));
  // The first piece of the picture has reached the panel (a stalled send fails the test, not the run).
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (;;) {
    const std::vector<std::string> frames = FramesReceived(folder / "panel");
    if (std::find(frames.begin() + std::ptrdiff_t(framesBefore), frames.end(), "picture data") != frames.end()) break;
    if (std::chrono::steady_clock::now() > giveUp) {
      ADD_FAILURE() << "no piece of the picture arrived";
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(sending.Pid(), SIGINT);
  const CliResult run = sending.Wait();
  panel.Stop();
  EXPECT_EQ(run.status, 130) << run.out;
  EXPECT_NE(run.out.find("Cancelled."), std::string::npos) << run.out;
  // The panel still shows the picture of the first send.
  EXPECT_TRUE(ShowsExport(folder / "panel" / "picture.bmp", Exported(kSample, folder.path())));
  const std::vector<std::string> frames = FramesReceived(folder / "panel");
  EXPECT_EQ(std::count(frames.begin() + std::ptrdiff_t(framesBefore), frames.end(), "picture end"), 0);
  EXPECT_TRUE(std::filesystem::is_empty(temp));
}

TEST_F(Sending, APanelStopsOnItsSignalEvenWhileTheLineKeepsTalking) {
  test::VirtualPanel panel(folder / "panel", {});
  protocol::SerialLine line = protocol::SerialLine::Open(panel.Path());
  // A byte every 10 ms until the panel has stopped: the line never stays quiet
  // for the panel's idle time. A panel that waited for quiet would never
  // stop, and the test's time limit would end it.
  std::atomic<bool> stopped = false;
  std::promise<void> talking;
  std::thread talker([&] {
    const std::uint8_t noise = 0;
    int sent = 0;
    while (!stopped) {
      line.WriteAll(std::span(&noise, 1), 100);
      if (++sent == 5) talking.set_value();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  talking.get_future().wait();
  EXPECT_TRUE(panel.Stop());
  stopped = true;
  talker.join();
}

}  // namespace
}  // namespace lumetra
