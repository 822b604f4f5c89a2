// lumetra-cli: the editor's core without a window, for shells and scripts.
//   exit 0  success
//   exit 1  usage error
//   exit 2  a file cannot be read or written, or is not a valid document, or
//           holds a unit that could not be read as it was stored (one line
//           per such unit, with its index in the unit array as `info` lists it),
//           or a picture to import cannot be read, is damaged or too large
//   exit 3  a transfer to the panels failed (send, clock, params)

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/info_command.h"
#include "cli/play_command.h"
#include "cli/import_command.h"
#include "cli/render_command.h"
#include "cli/send_command.h"
#include "document/document.h"
#include "lang/language.h"
#include "lang/message_text.h"
#include "platform/app_paths.h"
#include "platform/codepage/codepage.h"
#include "platform/files.h"
#include "platform/profile/settings_store.h"
#include "platform/report.h"
#include "platform/version.h"
#include "protocol/port_names.h"
#include "render/animation.h"
#include "render/led_dots.h"

namespace {

constexpr int kUsageError = 1;
constexpr int kFileError = 2;

// Messages raised while a file is processed name the program and the file.
class FileMessageSink final : public lumetra::MessageSink {
 public:
  std::string file;
  void ShowMessage(std::string_view text) override {
    std::cerr << "lumetra-cli: " << (file.empty() ? "" : file + ": ") << text << '\n';
  }
};

FileMessageSink g_sink;

int Fail(const std::string& message, int exitCode = kFileError) {
  std::cerr << "lumetra-cli: " << message << '\n';
  return exitCode;
}

// The lines that name the units of a document that could not be read as they were stored.
struct UnreadableUnits {
  std::vector<std::string> lines;
};

// Opens the document a command works on. A unit that could not be read as it
// was stored stops the command before it does anything: what it would write
// or send would silently lack that unit.
void OpenDocument(lumetra::CTessaraDoc& doc, const std::string& path, const lumetra::PanelSettings& panel) {
  g_sink.file = path;
  doc.LoadFile(path, panel);
  UnreadableUnits unreadable;
  for (const lumetra::UnitReadProblem& problem : doc.ReadProblems()) {
    unreadable.lines.push_back(path + ": unit " + std::to_string(problem.unit) + " (" +
                               std::string(doc.m_units[problem.unit]->GetRuntimeClass().name) + "): " + problem.reason);
  }
  if (!unreadable.lines.empty()) throw unreadable;
}

// The send dialog's controls as options, shared by send, clock and params.
void AddTransferOptions(CLI::App* command, lumetra::TransferRequest& request, bool picture) {
  command
      ->add_option("--port", request.port,
                   "COM1..COM4 (LUMETRA_COM1.. or section Ports of the settings map them), a device path or "
                   "tcp://HOST:PORT")
      ->capture_default_str();
  command->add_option("--baud", request.baud, "The line's rate (default: the port's own, else 115200)")
      ->check(CLI::IsMember(
          std::vector<int>(std::begin(lumetra::protocol::kOfferedBauds), std::end(lumetra::protocol::kOfferedBauds))));
  command->add_option("--address", request.address, "Panel addresses, e.g. \"1,2,3-5\"")->capture_default_str();
  command->add_flag("--broadcast", request.broadcast, "Send to every panel on the line");
  command->add_option("--controller", request.controller, "MOVA or MOVA_OUT")->capture_default_str();
  if (picture) command->add_flag("--reverse", request.reverseColour, "Reverse color");
  if (request.kind != lumetra::TransferKind::kClock) {
    command->add_flag(
        "--no-clock", [&request](std::int64_t) { request.refreshTimer = false; },
        "Do not refresh the panels' clock afterwards");
  }
  command->add_option("--pause-scale", request.pauseScale, "Multiply every pause by F (tests use 0)")
      ->check(CLI::Range(0.0, 100.0));
  command->add_flag("--json", request.json,
                    "Print the outcome as one JSON object: result, message, broadcast and "
                    "the panels that answered and failed each step");
}

}  // namespace

int main(int argc, char** argv) {
  lumetra::InitAppPaths();
  lumetra::SetMessageSink(&g_sink);
  lumetra::SettingsStore store(lumetra::SettingsStore::DefaultPath());
  lumetra::SetTextCodePage(lumetra::DocumentCodePage(store));
  lumetra::PanelSettings panel = lumetra::PanelSettings::Load(store);

  CLI::App app{"Lumetra command-line tool: inspect and convert LED panel documents (.tz)."};
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("lumetra-cli ") + lumetra::kVersion, "Print the version and exit");

  std::string infoFile;
  CLI::App* info = app.add_subcommand("info", "Print what a document holds, as one JSON object.");
  info->add_option("FILE", infoFile, "Document to read")->required();

  std::string resaveIn, resaveOut;
  CLI::App* resave = app.add_subcommand("resave", "Load a document and save it again.");
  resave->add_option("IN", resaveIn, "Document to read")->required();
  resave->add_option("OUT", resaveOut, "Where to write it (may be IN)")->required();

  std::string renderIn;
  lumetra::RenderRequest render;
  CLI::App* renderCommand = app.add_subcommand("render", "Write a document's picture as the panel receives it.");
  renderCommand->add_option("IN", renderIn, "Document to read")->required();
  auto* bmpOption = renderCommand->add_option(
      "-o,--output", render.bmp, "BMP of the picture: all frames side by side, no clock (as the editor saves it)");
  auto* pngOption = renderCommand->add_option("--png", render.png, "The same picture as PNG");
  auto* canvasOption = renderCommand->add_option(
      "--canvas", render.canvas, "PNG of the canvas as the editor shows it: frames stacked, with separators and clock");
  renderCommand->add_option("--scale", render.scale, "Enlarge the PNGs: each LED becomes N x N pixels")
      ->check(CLI::Range(1, 64));
  // Asking for nothing to be written is a usage error, not a silent success.
  renderCommand->callback([=] {
    if (bmpOption->count() + pngOption->count() + canvasOption->count() == 0) {
      throw CLI::RequiredError("at least one of -o, --png or --canvas");
    }
  });

  std::string playIn;
  lumetra::PlayRequest play;
  CLI::App* playCommand =
      app.add_subcommand("play", "Play the show a panel gives after a send of the document, as a GIF or PNG frames.");
  playCommand->add_option("DOC", playIn, "Document to read")->required();
  auto* gifOption = playCommand->add_option("--gif", play.gif, "Animated GIF of the show");
  auto* framesOption = playCommand->add_option("--frames", play.frames, "Folder for the moments as frame-NNNNN.png");
  playCommand->add_option("--seconds", play.seconds, "How much of the show (default: one round, at most 60 s)");
  playCommand->add_option("--fps", play.fps, "Moments a second")
      ->check(CLI::Range(1, lumetra::kMaxAnimationFps))
      ->capture_default_str();
  playCommand
      ->add_option("--led-size", play.ledSize, "Round LEDs on black, N x N pixels each (default: a pixel per LED)")
      ->check(CLI::Range(lumetra::LedDots::kMinSize, lumetra::kMaxAnimationLedSize));
  playCommand->add_option("--clock", play.clock,
                          "The time the send sets the clock to, \"YYYY-MM-DD HH:MM:SS\" (default: now)");
  playCommand->add_flag("--reverse", play.reverseColour, "Reverse color, as the send dialog's option");
  playCommand->callback([&play, gifOption, framesOption] {
    if (gifOption->count() + framesOption->count() == 0) throw CLI::RequiredError("--gif or --frames");
    if ((gifOption->count() && play.gif.empty()) || (framesOption->count() && play.frames.empty())) {
      throw CLI::ValidationError("--gif and --frames need a name");
    }
  });

  std::string importDoc, importPicture, importAt, importFit, importOut;
  lumetra::PictureReduction importHow;
  CLI::App* importCommand = app.add_subcommand(
      "import", "Add a picture (PNG, JPEG, GIF or BMP) to a document, in the document's colours, as the editor does.");
  importCommand->add_option("DOC", importDoc, "Document to read")->required();
  importCommand->add_option("PICTURE", importPicture, "Picture file to add")->required();
  importCommand->add_option("--at", importAt, "X,Y: the canvas LED of the picture's top-left corner")->required();
  importCommand->add_option("--fit", importFit, "height: as high as a frame; frame: as large as fits in a frame")
      ->check(CLI::IsMember({"height", "frame"}));
  importCommand->add_option("--threshold", importHow.threshold, "One-colour panels: the brightness that lights an LED")
      ->check(CLI::Range(1, 255))
      ->capture_default_str();
  importCommand->add_flag("--dither", importHow.dither, "Spread each LED's rounding to its neighbours");
  importCommand->add_flag("--invert", importHow.invert, "Light the dark parts instead of the light ones");
  importCommand->add_option("-o,--output", importOut, "Where to write the document (may be DOC)")->required();

  std::string language;
  app.add_option("--language", language, "Language of the messages (default: the one setting.ini names)");

  std::string sendFile, paramsFile;
  lumetra::TransferRequest sendRequest, clockRequest, paramsRequest;
  clockRequest.kind = lumetra::TransferKind::kClock;
  paramsRequest.kind = lumetra::TransferKind::kParameters;
  CLI::App* sendCommand = app.add_subcommand("send", "Send a document's picture, parameters and the clock to panels.");
  sendCommand->add_option("FILE", sendFile, "Document to send")->required();
  AddTransferOptions(sendCommand, sendRequest, true);
  CLI::App* clockCommand = app.add_subcommand("clock", "Set the panels' clock to this computer's time.");
  AddTransferOptions(clockCommand, clockRequest, false);
  CLI::App* paramsCommand = app.add_subcommand("params", "Send a document's display parameters (and the clock).");
  paramsCommand->add_option("FILE", paramsFile, "Document whose play modes to send")->required();
  AddTransferOptions(paramsCommand, paramsRequest, false);

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {  // --help, --version
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kUsageError;
  }

  try {
    if (*info) {
      lumetra::CTessaraDoc doc;
      OpenDocument(doc, infoFile, panel);
      std::cout << lumetra::DescribeDocument(doc, lumetra::DocumentCodePage(store)).dump(2) << '\n';
    } else if (*resave) {
      lumetra::CTessaraDoc doc;
      OpenDocument(doc, resaveIn, panel);
      g_sink.file = resaveOut;
      doc.OnSaveDocument(resaveOut);
    } else if (*playCommand) {
      lumetra::CTessaraDoc doc;
      OpenDocument(doc, playIn, panel);
      g_sink.file.clear();
      return lumetra::PlayDocument(doc, play, std::cout);
    } else if (*importCommand) {
      lumetra::Language texts(lumetra::g_strAppFolder, nullptr);
      texts.SelectLanguage(language);
      lumetra::SetCurrentLanguage(&texts);
      std::string refused;
      lumetra::CTessaraDoc doc;
      OpenDocument(doc, importDoc, panel);
      g_sink.file = importPicture;
      importHow.fit = importFit == "height"  ? lumetra::PictureFit::kFrameHeight
                      : importFit == "frame" ? lumetra::PictureFit::kInsideFrame
                                             : lumetra::PictureFit::kNatural;
      try {
        lumetra::ImportPicture(doc, importPicture, lumetra::ParseCanvasPoint(importAt), importHow);
      } catch (const lumetra::PictureError& e) {
        const std::string name = std::filesystem::path(importPicture).filename().string();
        refused = lumetra::FormatText(lumetra::PictureErrorTextKey(e.reason()), {name, e.what()});
        if (refused.find(e.what()) == std::string::npos) refused += std::string(" (") + e.what() + ")";
      }
      lumetra::SetCurrentLanguage(nullptr);
      if (!refused.empty()) return Fail(refused);
      g_sink.file = importOut;
      doc.OnSaveDocument(importOut);
    } else if (*renderCommand) {
      lumetra::CTessaraDoc doc;
      OpenDocument(doc, renderIn, panel);
      g_sink.file.clear();
      lumetra::RenderDocument(doc, render);
    } else {
      lumetra::Language texts(lumetra::g_strAppFolder, nullptr);
      texts.SelectLanguage(language);
      const lumetra::TransferRequest& request =
          *sendCommand ? sendRequest : (*clockCommand ? clockRequest : paramsRequest);
      std::optional<lumetra::CTessaraDoc> doc;
      if (!*clockCommand) {
        doc.emplace();
        OpenDocument(*doc, *sendCommand ? sendFile : paramsFile, panel);
        g_sink.file.clear();
      }
      return lumetra::RunTransfer(request, doc ? &*doc : nullptr, texts, std::cout);
    }
  } catch (const std::invalid_argument& e) {
    return Fail(e.what(), kUsageError);
  } catch (const lumetra::DocumentError& e) {
    return Fail(e.what());
  } catch (const lumetra::FileError& e) {
    return Fail(e.what());
  } catch (const UnreadableUnits& e) {
    for (const std::string& line : e.lines) Fail(line);
    return kFileError;
  } catch (const std::bad_alloc&) {
    return Fail("not enough memory for this command");
  }
  return 0;
}
