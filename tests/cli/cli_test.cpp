#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <tuple>

#include "document/document.h"
#include "platform/archive/byte_stream.h"
#include "platform/files.h"
#include "platform/gdi/bmp_file.h"
#include "platform/png_encoder.h"
#include "render/picture.h"
#include "support/bmp_builder.h"
#include "units/bmp.h"
#include "units/line.h"

namespace {

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

// Runs lumetra-cli with a private settings store so the user's settings play no part.
CliRun Cli(const std::string& args) {
  static const std::filesystem::path home =
      std::filesystem::temp_directory_path() / ("lumetra-cli-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(home);
  std::string errFile = (home / "stderr").string();
  std::string command =
      "XDG_CONFIG_HOME='" + home.string() + "' '" LUMETRA_BIN_DIR "/lumetra-cli' " + args + " 2>'" + errFile + "'";
  CliRun run{};
  FILE* pipe = ::popen(command.c_str(), "r");
  std::array<char, 4096> buffer;
  while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) run.out.append(buffer.data(), n);
  int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  auto err = lumetra::ReadWholeFile(errFile, 1 << 20);
  run.err.assign(err.begin(), err.end());
  return run;
}

const std::string kSample = LUMETRA_SOURCE_DIR "/resources/samples/welcome.tz";

std::filesystem::path Temp(const std::string& name) {
  return std::filesystem::temp_directory_path() / ("lumetra-cli-" + std::to_string(::getpid()) + "-" + name);
}

TEST(Cli, InfoDescribesTheDocumentAsJson) {
  CliRun run = Cli("info '" + kSample + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["widthWords"], 8);
  EXPECT_EQ(json["heightWords"], 1);
  EXPECT_EQ(json["frames"], 10);
  EXPECT_EQ(json["clock"]["style"], 2);
  EXPECT_EQ(json["playMode"]["rows"], 2);
  EXPECT_EQ(json["playMode"]["end"].size(), 6u);
  auto& units = json["units"];
  ASSERT_EQ(units.size(), 11u);
  EXPECT_EQ(units[0]["class"], "CText");
  EXPECT_EQ(units[0]["text"], "Lumetra LED");
  EXPECT_EQ(units[5]["text"], "欢迎使用");  // decoded from GBK
  EXPECT_EQ(units[0]["alignment"], "left");
  EXPECT_EQ(units[0]["letterSpacing"], 0);
  EXPECT_EQ(units[0]["clipped"], 0);
  EXPECT_EQ(units[1]["first"], nlohmann::json::array({2, 17}));
  EXPECT_EQ(units[7]["image"]["bitCount"], 4);
  EXPECT_FALSE(units[8].contains("first"));  // the curve has only points
  EXPECT_EQ(units[8]["class"], "CCurve");
  EXPECT_GT(units[8]["points"].size(), 10u);
  EXPECT_EQ(units[10]["points"].size(), 4u);
}

TEST(Cli, ResaveWritesTheSameBytes) {
  auto out = Temp("resaved.tz");
  CliRun run = Cli("resave '" + kSample + "' '" + out.string() + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(lumetra::ReadWholeFile(out, 1 << 20), lumetra::ReadWholeFile(kSample, 1 << 20));
  std::filesystem::remove(out);
}

TEST(Cli, UnreadableAndInvalidFilesExitWithTwoAndOneLineNamingTheFile) {
  auto cut = Temp("cut.tz");
  auto bytes = lumetra::ReadWholeFile(kSample, 1 << 20);
  bytes.resize(100);
  lumetra::WriteFileAtomically(cut, bytes);
  CliRun truncated = Cli("info '" + cut.string() + "'");
  EXPECT_EQ(truncated.status, 2);
  EXPECT_NE(truncated.err.find(cut.string() + ": unexpected end of file"), std::string::npos) << truncated.err;
  EXPECT_TRUE(truncated.out.empty());

  CliRun missing = Cli("info /nonexistent/file.tz");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("/nonexistent/file.tz"), std::string::npos);

  CliRun unwritable = Cli("resave '" + kSample + "' /nonexistent/out.tz");
  EXPECT_EQ(unwritable.status, 2);
  std::filesystem::remove(cut);
}

// A picture of an unknown compression is kept as stored; one whose rows the
// file cuts short is not read, and no command works on what would lack it.
TEST(Cli, APictureThatCannotBeReadAsStoredStopsEveryCommandWithOneLineNamingTheUnit) {
  lumetra::CTessaraDoc doc;
  doc.OnNewDocument(lumetra::PanelSettings{});
  doc.m_units.push_back(std::make_unique<lumetra::CDLine>());
  for (std::uint8_t compression : {4, 0}) {
    auto picture = std::make_unique<lumetra::CBmp>();
    std::vector<std::uint8_t> bmp = lumetra::test::MakeBmp({.sizeImage = 16});
    bmp[30] = compression;
    lumetra::ByteReader in(bmp);
    ASSERT_EQ(picture->m_dib.ReadInline(in), std::nullopt);
    doc.m_units.push_back(std::move(picture));
  }
  std::vector<std::uint8_t> bytes = doc.SaveToBytes();
  auto kept = Temp("kept.tz"), cut = Temp("cut.tz"), out = Temp("out.tz");
  lumetra::WriteFileAtomically(kept, bytes);
  ASSERT_EQ(Cli("resave '" + kept.string() + "' '" + out.string() + "'").status, 0);
  EXPECT_EQ(lumetra::ReadWholeFile(out, 1 << 20), bytes);
  std::filesystem::remove(out);

  bytes.resize(bytes.size() - 3);
  lumetra::WriteFileAtomically(cut, bytes);
  const std::string expected =
      "lumetra-cli: " + cut.string() +
      ": unit 2 (CBmp): the picture's pixel rows are cut short: 16 bytes announced, 13 follow\n";
  for (std::string command :
       std::vector<std::string>{"info", "render -o '" + out.string() + "'", "send --pause-scale 0", "resave"}) {
    command += " '" + cut.string() + "'" + (command == "resave" ? " '" + out.string() + "'" : "");
    CliRun run = Cli(command);
    EXPECT_EQ(run.status, 2) << command;
    EXPECT_EQ(run.err, expected) << command;
    EXPECT_TRUE(run.out.empty()) << command;
    EXPECT_FALSE(std::filesystem::exists(out)) << command;
  }
  std::filesystem::remove(kept);
  std::filesystem::remove(cut);
}

std::uint32_t BigEndianAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return (std::uint32_t(bytes[at]) << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3];
}

TEST(Cli, RenderWritesTheEditorsBmpAndScaledPngsOfThePictureAndTheCanvas) {
  auto bmp = Temp("picture.bmp"), png = Temp("picture.png"), canvas = Temp("canvas.png");
  CliRun run = Cli("render '" + kSample + "' -o '" + bmp.string() + "' --png '" + png.string() + "' --canvas '" +
                   canvas.string() + "' --scale 3");
  ASSERT_EQ(run.status, 0) << run.err;

  lumetra::CTessaraDoc doc;
  doc.OnOpenDocument(kSample, lumetra::PanelSettings{});
  auto dib = lumetra::RenderPictureDIB(doc, doc.m_ptViewOrigin);
  ASSERT_TRUE(dib);
  EXPECT_EQ(lumetra::ReadWholeFile(bmp, 1 << 20), lumetra::WriteDIB(*dib).value());

  for (auto [path, width, height] : {std::tuple{png, 1280u * 3, 16u * 3}, std::tuple{canvas, 128u * 3, 160u * 3}}) {
    auto bytes = lumetra::ReadWholeFile(path, 1 << 24);
    ASSERT_GT(bytes.size(), 33u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "\x89PNG\r\n\x1A\n");
    EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "IHDR");
    EXPECT_EQ(BigEndianAt(bytes, 16), width);
    EXPECT_EQ(BigEndianAt(bytes, 20), height);
    std::filesystem::remove(path);
  }
  std::filesystem::remove(bmp);
}

// A picture is added as the editor adds it, reduced and sized, or as it is
// for a plain BMP; one that cannot be imported adds nothing and says why.
TEST(Cli, ImportAddsAPictureAsTheEditorDoesOrNothingWithTheReason) {
  lumetra::Bitmap32 logo(40, 20);
  for (int y = 4; y < 16; ++y) {
    for (int x = 8; x < 32; ++x) logo.At(x, y) = 0xFF0000;
  }
  const auto write = [](const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    lumetra::WriteFileAtomically(path, bytes);
    return path;
  };
  const auto png = write(Temp("logo.png"), lumetra::EncodePng(logo));
  const auto bmp = write(Temp("plain.bmp"), lumetra::test::MakeBmp({.width = 5, .height = 3, .pixelBytes = 48}));
  const auto webp = write(Temp("logo.webp"), {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'E', 'B', 'P'});
  const auto cut = write(Temp("cut.png"), {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0});
  struct Case {
    std::filesystem::path picture;
    std::string options;
    int status;
    std::string message;
    lumetra::CRect bounds;  // of the picture unit added
    int bitCount;
  };
  const Case cases[] = {
      {png, "--at 3,4 --fit height", 0, "", {3, 4, 35, 20}, 4},
      {png, "--at 0,0", 0, "", {0, 0, 40, 20}, 4},
      {bmp, "--at 10,2 --fit frame", 0, "", {10, 2, 15, 5}, 24},  // as it is
      {webp, "--at 0,0", 2, Temp("logo.webp").filename().string() + ": this picture format is not supported", {}, 0},
      {cut, "--at 0,0", 2, Temp("cut.png").filename().string() + " is damaged", {}, 0},
      {png, "--at 3", 1, "--at 3 is not X,Y", {}, 0},
  };
  for (const Case& c : cases) {
    const auto out = Temp("imported.tz");
    std::filesystem::remove(out);
    const CliRun run = Cli("--language English import '" + kSample + "' '" + c.picture.string() + "' " + c.options +
                           " -o '" + out.string() + "'");
    ASSERT_EQ(run.status, c.status) << c.options << ": " << run.err;
    if (c.status != 0) {
      EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
      EXPECT_FALSE(std::filesystem::exists(out));
      continue;
    }
    lumetra::CTessaraDoc before, after;
    before.OnOpenDocument(kSample, lumetra::PanelSettings{});
    after.OnOpenDocument(out, lumetra::PanelSettings{});
    ASSERT_EQ(after.m_units.size(), before.m_units.size() + 1);
    const auto* unit = dynamic_cast<const lumetra::CBmp*>(after.m_units.back().get());
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->Bounds(), c.bounds) << c.options;
    EXPECT_EQ(unit->m_dib.Header().biSize, 40u);
    EXPECT_EQ(unit->m_dib.Header().biBitCount, c.bitCount);
  }
  for (const auto& path : {png, bmp, webp, cut}) std::filesystem::remove(path);
}

TEST(Cli, RenderWithoutAnOutputOrToAnUnwritablePlaceFails) {
  EXPECT_EQ(Cli("render '" + kSample + "'").status, 1);
  EXPECT_EQ(Cli("render '" + kSample + "' --png x.png --scale 65").status, 1);
  CliRun unwritable = Cli("render '" + kSample + "' -o /nonexistent/out.bmp");
  EXPECT_EQ(unwritable.status, 2);
  EXPECT_NE(unwritable.err.find("/nonexistent/out.bmp"), std::string::npos) << unwritable.err;
  CliRun missing = Cli("render /nonexistent/in.tz -o out.bmp");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("/nonexistent/in.tz"), std::string::npos) << missing.err;
}

TEST(Cli, UsageErrorsExitWithOneAndHelpWithZero) {
  EXPECT_EQ(Cli("").status, 1);
  EXPECT_EQ(Cli("info").status, 1);
  EXPECT_EQ(Cli("frobnicate x").status, 1);
  for (const char* command : {"--help", "info --help", "resave --help", "render --help"}) {
    CliRun help = Cli(command);
    EXPECT_EQ(help.status, 0) << command;
    EXPECT_NE(help.out.find("Usage"), std::string::npos) << command;
  }
}

}  // namespace
