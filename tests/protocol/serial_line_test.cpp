#include "protocol/serial_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/profile/settings_store.h"
#include "protocol/host_link.h"
#include "protocol/messages.h"
#include "protocol/port_names.h"
#include "protocol/tcp_link.h"
#include "support/temp_folder.h"

namespace lumetra::protocol {
namespace {

using ::testing::HasSubstr;
using Clock = std::chrono::steady_clock;

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Reads until at least `size` bytes have arrived or the line stops delivering.
std::string Receive(SerialLine& line, std::size_t size) {
  std::string text;
  std::uint8_t buffer[64];
  while (text.size() < size) {
    const ReadResult got = line.Read(buffer, 1000);
    if (got.status != ReadStatus::Ok) break;
    text.append(reinterpret_cast<const char*>(buffer), got.count);
  }
  return text;
}

ReadStatus StatusOfRead(SerialLine& line, int timeoutMs) {
  std::uint8_t buffer[16];
  return line.Read(buffer, timeoutMs).status;
}

auto MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class PtyTest : public ::testing::Test {
 protected:
  PtyPair pty_ = SerialLine::CreatePty();
};

TEST_F(PtyTest, BytesPassUnchangedBothWays) {
  SerialLine sender = SerialLine::Open(pty_.slavePath);
  // Line endings, XON/XOFF and NUL must all pass through raw.
  const std::string request("\x02\r\n\x11\x13\0\xff tail", 11);
  ASSERT_TRUE(sender.WriteAll(Bytes(request), 1000)) << sender.LastError();
  sender.Drain(1000);
  EXPECT_EQ(Receive(pty_.master, request.size()), request);

  const std::string reply("\x06\n\r\x03", 4);
  ASSERT_TRUE(pty_.master.WriteAll(Bytes(reply), 1000)) << pty_.master.LastError();
  EXPECT_EQ(Receive(sender, reply.size()), reply);
}

// Only lower bounds are timed: a busy machine can make a wait longer, never
// shorter. A wait that never ended would run into the test's time limit.
TEST_F(PtyTest, WaitsAreBoundedByTheirTimeouts) {
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(StatusOfRead(pty_.master, 100), ReadStatus::Timeout);
  EXPECT_GE(MillisecondsSince(start), 90);

  // Nobody reads the slave, so its input fills up and the writer has to give up.
  const std::vector<std::uint8_t> flood(1 << 20, 0x55);
  EXPECT_FALSE(pty_.master.WriteAll(flood, 100));
  EXPECT_THAT(pty_.master.LastError(), HasSubstr("timed out"));
}

TEST_F(PtyTest, MasterOutlivesSendersComingAndGoing) {
  for (char id = 'a'; id < 'f'; ++id) {
    SerialLine sender = SerialLine::Open(pty_.slavePath);
    ASSERT_TRUE(sender.WriteAll(Bytes(std::string(1, id)), 1000));
    EXPECT_EQ(Receive(pty_.master, 1), std::string(1, id));
  }
  EXPECT_EQ(StatusOfRead(pty_.master, 50), ReadStatus::Timeout);
  EXPECT_TRUE(pty_.master.WriteAll(Bytes("still here"), 1000)) << pty_.master.LastError();
}

TEST_F(PtyTest, NewSenderCanDiscardAnswersMeantForThePreviousOne) {
  ASSERT_TRUE(pty_.master.WriteAll(Bytes("stale"), 1000));
  EXPECT_EQ(StatusOfRead(pty_.master, 50), ReadStatus::Timeout) << "the line echoed before any sender set it up";
  SerialLine sender = SerialLine::Open(pty_.slavePath);
  pollfd ready{sender.Fd(), POLLIN, 0};
  ASSERT_EQ(::poll(&ready, 1, 1000), 1);

  sender.DiscardInput();
  EXPECT_EQ(StatusOfRead(sender, 50), ReadStatus::Timeout);
}

TEST_F(PtyTest, SenderSeesACutLineWhenThePanelGoesAway) {
  SerialLine sender = SerialLine::Open(pty_.slavePath);
  { SerialLine gone = std::move(pty_.master); }

  // Closed, not Timeout: the read ended when the line was cut.
  EXPECT_EQ(StatusOfRead(sender, 5000), ReadStatus::Closed);
  EXPECT_FALSE(sender.WriteAll(Bytes("anyone?"), 1000));
  EXPECT_FALSE(sender.LastError().empty());
}

TEST(SerialLineOpen, RefusesWhatIsNotASerialLine) {
  test::TempFolder temp("serial");
  const std::string missing = (temp / "no-such-tty").string();
  const std::string plain = (temp / "plain.txt").string();
  test::WriteText(plain, "not a terminal");

  auto messageOf = [](const std::string& path, int baud) -> std::string {
    try {
      SerialLine::Open(path, baud);
    } catch (const LinkError& e) {
      return e.what();
    }
    return "no error";
  };
  EXPECT_THAT(messageOf(missing, 115200), HasSubstr(missing));
  EXPECT_THAT(messageOf(plain, 115200), HasSubstr(plain));

  const PtyPair pty = SerialLine::CreatePty();
  EXPECT_THAT(messageOf(pty.slavePath, 14400), HasSubstr("14400"));
  EXPECT_NO_THROW(SerialLine::Open(pty.slavePath, 9600));
}

TEST(PortNames, ComNamesInAnyCaseUpToNinetyNine) {
  EXPECT_EQ(ComPortNumber("COM1"), 1);
  EXPECT_EQ(ComPortNumber("com4"), 4);
  EXPECT_EQ(ComPortNumber("Com99"), 99);
  for (const char* junk : {"", "COM", "COM0", "COM01", "COM100", "COM1 ", " COM1", "COMx", "COM-1", "LPT1", "CO1"}) {
    EXPECT_EQ(ComPortNumber(junk), std::nullopt) << '"' << junk << '"';
  }
}

TEST(PortNames, EnvironmentBeatsStoreBeatsDefault) {
  EXPECT_EQ(ComPortDevice(2, "/dev/pts/7", "/dev/ttyUSB0"), "/dev/pts/7");
  EXPECT_EQ(ComPortDevice(2, "", "/dev/ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_EQ(ComPortDevice(1, "", ""), "/dev/ttyS0");
  EXPECT_EQ(ComPortDevice(12, "", ""), "/dev/ttyS11");
}

TEST(PortNames, ResolveTakesPathsAndRefusesOtherNames) {
  EXPECT_EQ(ResolvePort("/dev/ttyUSB3").device, "/dev/ttyUSB3");
  for (const char* junk : {"ttyS0", "COM0", "COM100", "", "dev/ttyS0"}) {
    try {
      ResolvePort(junk);
      ADD_FAILURE() << '"' << junk << "\" was accepted";
    } catch (const LinkError& e) {
      EXPECT_THAT(e.what(), HasSubstr(std::string("\"") + junk + "\""));
    }
  }
}

// A controller that hangs up ends the transfer with "line cut", never the
// program (a write to a closed socket raises SIGPIPE unless told not to).
TEST(TcpLinks, AControllerThatHangsUpCutsTheLineAndNothingElse) {
  TcpListener listener = TcpListener::Listen("127.0.0.1", 0);
  HostLink link;
  ASSERT_EQ(link.Open(("tcp://127.0.0.1:" + std::to_string(listener.Port())).c_str()), kResultOk);
  { std::optional<TcpLink> accepted = listener.Accept(5000); }
  const std::vector<std::uint8_t> block(kParameterBytes, 0);
  EXPECT_EQ(link.Send(Addressing{kModeBroadcast, {}}, Function::kParameters, block), kResultLineCut);
}

// What a port name stands for, from the settings, the environment or itself.
TEST(PortNames, PortsMapToDevicesOrNetworkControllersWithTheirRates) {
  test::TempFolder home("ports");
  ::setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
  {
    SettingsStore store(SettingsStore::DefaultPath());
    store.WriteProfileString("Ports", "COM2", "tcp://10.0.0.7:5000");
    store.WriteProfileString("Ports", "COM3", "/dev/ttyUSB1");
    store.WriteProfileString("Ports", "COM3Baud", "9600");
    store.WriteProfileString("Ports", "COM4Baud", "14400");
  }
  struct Case {
    const char* port;
    const char* baudOverride;
    const char* expected;  // Describe(), or a part of the refusal
  };
  const Case cases[] = {
      {"COM1", "", "/dev/ttyS0 at 115200 baud"},
      {"COM2", "", "tcp://10.0.0.7:5000"},
      {"COM3", "", "/dev/ttyUSB1 at 9600 baud"},
      {"COM3", "57600", "/dev/ttyUSB1 at 57600 baud"},
      {"COM4", "", "\"14400\" of COM4Baud"},
      {"/dev/pts/4", "19200", "/dev/pts/4 at 19200 baud"},
      {"tcp://[::1]:80", "", "tcp://[::1]:80"},
      {"tcp://panel.local:65535", "", "tcp://panel.local:65535"},
      {"tcp://host:0", "", "is not tcp://HOST:PORT"},
      {"tcp://host:65536", "", "is not tcp://HOST:PORT"},
      {"tcp://:80", "", "is not tcp://HOST:PORT"},
      {"tcp://host", "", "is not tcp://HOST:PORT"},
      {"udp://host:80", "", "unknown port"},
      {"/dev/ttyS0", "300", "\"300\" of LUMETRA_BAUD"},
  };
  for (const Case& c : cases) {
    ::setenv("LUMETRA_BAUD", c.baudOverride, 1);
    std::string got;
    try {
      got = ResolvePort(c.port).Describe();
    } catch (const LinkError& e) {
      got = e.what();
    }
    EXPECT_THAT(got, HasSubstr(c.expected)) << c.port;
  }
  ::unsetenv("LUMETRA_BAUD");
  ::unsetenv("XDG_CONFIG_HOME");
}

TEST(PortNames, PortsSayWhichPicturesGoPacked) {
  test::TempFolder home("ports");
  ::setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
  {
    SettingsStore store(SettingsStore::DefaultPath());
    store.WriteProfileString("Ports", "COM2Packed", "all");
    store.WriteProfileString("Ports", "COM3Packed", "sometimes");
  }
  struct Case {
    const char* port;
    const char* packedOverride;
    std::optional<PackedPictures> expected;  // nullopt: refused, naming `refusal`
    const char* refusal;
  };
  const Case cases[] = {
      {"COM1", "", PackedPictures::kAddressed, ""},
      {"COM2", "", PackedPictures::kEveryPanel, ""},
      {"COM2", "off", PackedPictures::kNever, ""},
      {"COM3", "", std::nullopt, "\"sometimes\" of COM3Packed"},
      {"/dev/pts/4", "all", PackedPictures::kEveryPanel, ""},
      {"/dev/pts/4", "yes", std::nullopt, "\"yes\" of LUMETRA_PACKED"},
  };
  for (const Case& c : cases) {
    ::setenv("LUMETRA_PACKED", c.packedOverride, 1);
    try {
      const PackedPictures packed = ResolvePort(c.port).packed;
      EXPECT_EQ(std::optional(packed), c.expected) << c.port << " " << c.packedOverride;
    } catch (const LinkError& e) {
      EXPECT_FALSE(c.expected) << c.port << ": " << e.what();
      EXPECT_THAT(e.what(), HasSubstr(c.refusal));
    }
  }
  ::unsetenv("LUMETRA_PACKED");
  ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace lumetra::protocol
