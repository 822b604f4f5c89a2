// The send sequences against stand-in libraries that record every call:
// order, arguments, pauses and how results end a sequence.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "comm/send_commands.h"
#include "comm/send_operations.h"
#include "document/document.h"
#include "lang/language.h"
#include "support/temp_folder.h"

namespace lumetra {
namespace {

// What the stand-in exports saw, and what they answer.
struct CallLog {
  std::vector<std::string> calls;
  std::map<std::string, std::uint8_t> results;
  std::vector<std::uint8_t> bmpBytes;  // the file DLLReadBMP was given, as it was then
  int portError = 0;                   // what DLLPortError answers
  std::uint8_t Answer(const std::string& call) {
    calls.push_back(call);
    auto found = results.find(call.substr(0, call.find('(')));
    return found == results.end() ? 0 : found->second;
  }
};
CallLog g_log;

std::string Args(const char* port, std::int32_t mode, const std::uint8_t* list) {
  return std::string(port) + "," + std::to_string(mode) + "," + std::to_string(list[0]) + "," +
         std::to_string(list[127]);
}
void KeepFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  g_log.bmpBytes.assign(std::istreambuf_iterator<char>(in), {});
}

extern "C" {
std::uint8_t ClrBuffer() { return g_log.Answer("clear()"); }
std::uint8_t SendParas(const char* port, std::int32_t, std::int32_t mode, const std::uint8_t* list,
                       const std::uint8_t* block) {
  return g_log.Answer("paras(" + Args(port, mode, list) + "," + std::to_string(block[3]) + ")");
}
std::uint8_t SendKelParas(const char* port, std::int32_t, std::int32_t mode, const std::uint8_t* list,
                          std::int32_t length, const std::uint8_t* block) {
  return g_log.Answer("kelparas(" + Args(port, mode, list) + "," + std::to_string(length) + "," +
                      std::to_string(block[3]) + ")");
}
std::uint8_t PanelReadBmp(const char* path, std::int32_t) {
  KeepFile(path);
  return g_log.Answer("read()");
}
std::uint8_t PanelSendBmp(const char* port, std::int32_t, std::int32_t mode, const std::uint8_t* list,
                          std::int32_t flags) {
  return g_log.Answer("sendbmp(" + Args(port, mode, list) + "," + std::to_string(flags) + ")");
}
std::uint8_t DriverReadBmp(const char* path, std::int32_t, std::int32_t width, std::int32_t height) {
  KeepFile(path);
  return g_log.Answer("read(" + std::to_string(width) + "x" + std::to_string(height) + ")");
}
std::uint8_t SendFuncId(const char* port, std::int32_t, std::int32_t mode, const std::uint8_t* list,
                        std::int32_t function) {
  return g_log.Answer("func(" + Args(port, mode, list) + "," + std::to_string(function) + ")");
}
std::uint8_t DriverSendBmp(const char* port, std::int32_t, std::int32_t mode, const std::uint8_t* list,
                           std::int32_t width, std::int32_t height, std::int32_t flags) {
  return g_log.Answer("sendbmp(" + Args(port, mode, list) + "," + std::to_string(width) + "x" +
                      std::to_string(height) + "," + std::to_string(flags) + ")");
}
std::int32_t PortError(char* device, std::int32_t size) {
  std::snprintf(device, std::size_t(size), "/dev/ttyUSB0");
  return g_log.portError;
}
std::uint8_t SendClock(const char* port, std::int32_t, std::int32_t mode, const std::uint8_t* list,
                       std::int32_t length, const std::uint8_t* clock) {
  return g_log.Answer("clock(" + Args(port, mode, list) + "," + std::to_string(length) + "," +
                      std::to_string(clock[0]) + ")");
}
}

struct StandIn : DisplayLibrary {
  std::map<std::string, void*> exports;
  void* Find(const char* name) const override {
    auto found = exports.find(name);
    return found == exports.end() ? nullptr : found->second;
  }
};

StandIn Driver() {
  StandIn lib;
  lib.exports = {{"DLLSendKELParas", reinterpret_cast<void*>(&SendKelParas)},
                 {"DLLReadBMP", reinterpret_cast<void*>(&DriverReadBmp)},
                 {"DLLSendFuncID", reinterpret_cast<void*>(&SendFuncId)},
                 {"DLLSendBMP", reinterpret_cast<void*>(&DriverSendBmp)},
                 {"DLLSendClock", reinterpret_cast<void*>(&SendClock)}};
  return lib;
}

StandIn Panel() {
  StandIn lib;
  lib.exports = {{"DLLClrBuffer", reinterpret_cast<void*>(&ClrBuffer)},
                 {"DLLSendParas", reinterpret_cast<void*>(&SendParas)},
                 {"DLLReadBMP", reinterpret_cast<void*>(&PanelReadBmp)},
                 {"DLLSendBMP", reinterpret_cast<void*>(&PanelSendBmp)}};
  return lib;
}

struct Fixture : ::testing::Test {
  StandIn driver = Driver();
  StandIn panel = Panel();
  std::vector<int> pauses;
  std::ostringstream console;
  CTessaraDoc doc;
  SendDestination to;
  ParameterBlock block{};

  void SetUp() override {
    g_log = {};
    doc.m_nWidthWords = 8;
    doc.m_nHeightWords = 1;
    doc.m_nFrames = 10;
    to.port = "COM2";
    to.mode = kAddressModeList;
    to.table = ParseAddressTable("3,5");
    block[3] = 128;
  }
  SendOperations Ops(const DisplayLibrary* d, const DisplayLibrary* p) {
    return SendOperations(d, p, [this](int ms) { pauses.push_back(ms); }, console);
  }
};

using SendSequences = Fixture;

TEST_F(SendSequences, AFullSendOfTypeZeroCallsTheDriverInOrderWithItsPauses) {
  SendOperations ops = Ops(&driver, &panel);
  EXPECT_EQ(ops.SendEverything(to, doc, block, 0x80, true), 0);
  EXPECT_EQ(g_log.calls, (std::vector<std::string>{"kelparas(COM2,85,3,170,25,128)", "read(1280x16)",
                                                    "func(COM2,85,3,170,14)", "sendbmp(COM2,85,3,170,1280x16,128)",
                                                    "func(COM2,85,3,170,1)", "clock(COM2,85,3,170,8,32)"}));
  EXPECT_EQ(pauses, (std::vector<int>{500, 1000, 500, 5000}));
  // The library read a 24-bit BMP of the strip, and the temporary file is gone.
  ASSERT_GE(g_log.bmpBytes.size(), 54u);
  EXPECT_EQ(g_log.bmpBytes[0], 'B');
  EXPECT_EQ(g_log.bmpBytes.size(), 54u + 1280u * 3 * 16);
}

TEST_F(SendSequences, TypeOneClearsAndUsesThePanelLibraryButTheClockGoesThroughTheDriver) {
  to.controllerType = kControllerMovaOut;
  SendOperations ops = Ops(&driver, &panel);
  EXPECT_EQ(ops.SendEverything(to, doc, block, 0x01, true), 0);
  EXPECT_EQ(g_log.calls, (std::vector<std::string>{"clear()", "paras(COM2,85,3,170,128)", "read()",
                                                    "sendbmp(COM2,85,3,170,1)", "clock(COM2,85,3,170,8,32)"}));
  EXPECT_EQ(pauses, (std::vector<int>{500, 5000}));
}

TEST_F(SendSequences, MissingLibrariesGiveTheirCodesBeforeAnyPause) {
  SendOperations noDriver = Ops(nullptr, &panel);
  EXPECT_EQ(noDriver.SendEverything(to, doc, block, 0, true), kResultLibraryMissing);
  EXPECT_TRUE(pauses.empty());

  to.controllerType = kControllerMovaOut;
  SendOperations noPanel = Ops(&driver, nullptr);
  EXPECT_EQ(noPanel.SendEverything(to, doc, block, 0, true), 33);
  EXPECT_EQ(console.str(), "LoadLibrary Error!\n");
  EXPECT_TRUE(g_log.calls.empty());

  to.controllerType = 7;
  EXPECT_EQ(Ops(&driver, &panel).Clear(to.controllerType), kResultUnknownController);
  StandIn partial = Driver();
  partial.exports.erase("DLLSendFuncID");
  to.controllerType = kControllerMova;
  EXPECT_EQ(Ops(&partial, &panel).SendPicture(to, doc, 0), kResultLibraryMissing);
}

TEST_F(SendSequences, TheFirstFailureEndsTheSequenceAfterItsPause) {
  g_log.results["func"] = 16;
  SendOperations ops = Ops(&driver, &panel);
  EXPECT_EQ(ops.SendEverything(to, doc, block, 0, true), 16);
  EXPECT_EQ(g_log.calls.back(), "func(COM2,85,3,170,14)");
  EXPECT_EQ(pauses, (std::vector<int>{500, 1000}));
}

TEST_F(SendSequences, ApplySendsTheClockEvenAfterFailedParametersAndAddsTheCodes) {
  g_log.results["kelparas"] = 2;
  g_log.results["clock"] = 3;
  SendOperations ops = Ops(&driver, &panel);
  EXPECT_EQ(ops.ApplyParameters(to, block, true), 5);
  EXPECT_EQ(pauses, (std::vector<int>{500}));
  EXPECT_EQ(g_log.calls.size(), 2u);
  g_log = {};
  EXPECT_EQ(ops.ApplyParameters(to, block, false), 0);
  EXPECT_EQ(g_log.calls.size(), 1u);
}

// The library's errno, as an injected failure: permissions never fail where the tests run as root.
TEST_F(SendSequences, APortThatCannotBeOpenedIsNamedWithItsDeviceAndWhy) {
  Language language(LUMETRA_BIN_DIR, nullptr);
  ASSERT_TRUE(language.SelectLanguage("English"));
  driver.exports["DLLPortError"] = reinterpret_cast<void*>(&PortError);
  g_log.results["kelparas"] = 1;
  TransferPlan plan;
  plan.to = to;
  const std::vector<std::pair<int, std::string>> cases = {
      {EACCES, "permission denied — add your user to the 'dialout' group"},
      {ENOENT, "no such device"},
      {ENXIO, "no such device"},
      {EBUSY, "in use by another program"},
      {ENOTTY, "not a serial port"},
      {EIO, "Input/output error"},
  };
  for (const auto& [error, why] : cases) {
    g_log.portError = error;
    SendOperations ops = Ops(&driver, &panel);
    EXPECT_EQ(TransferMessage(language, SendPictureToDevice(ops, doc, plan)), "COM2 (/dev/ttyUSB0): " + why);
  }
  SendOperations ops = Ops(&driver, &panel);
  EXPECT_EQ(AppliedMessage(language, ApplyPlayModes(ops, plan)),
            language.LookupText(kTransferFailedKey) + "\nCOM2 (/dev/ttyUSB0): Input/output error");
  // A library that cannot say why leaves the code's own message.
  driver.exports.erase("DLLPortError");
  SendOperations older = Ops(&driver, &panel);
  EXPECT_EQ(TransferMessage(language, SendPictureToDevice(older, doc, plan)), language.LookupText(33001));
}

TEST(DisplayLibraryLoading, AMissingLibraryOrAPathIsNotLoaded) {
  EXPECT_EQ(LoadDisplayLibrary("lumetra-no-such-library.so"), nullptr);
  EXPECT_EQ(LoadDisplayLibrary("./KELDLL.so"), nullptr);
  EXPECT_EQ(LoadDisplayLibrary(""), nullptr);
  auto libc = LoadDisplayLibrary("libc.so.6");  // found on the system's library path
  ASSERT_NE(libc, nullptr);
  EXPECT_NE(libc->Find("strlen"), nullptr);
  EXPECT_EQ(libc->Find("DLLSendClock"), nullptr);
}

}  // namespace
}  // namespace lumetra
