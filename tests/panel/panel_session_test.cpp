#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <thread>
#include <vector>

#include "panel/panel_session.h"
#include "protocol/host_link.h"
#include "protocol/messages.h"
#include "protocol/serial_line.h"
#include "protocol/plane_code.h"

namespace lumetra::panel {
namespace {

using protocol::Command;
using protocol::Function;
using protocol::Reply;
using protocol::Status;

// Sends commands to a session and decodes what it answers.
class Line {
 public:
  explicit Line(std::vector<std::uint8_t> addresses, Faults faults = {}) : session(std::move(addresses), faults) {}

  std::vector<Reply> Send(protocol::Addressing to, Function function, std::vector<std::uint8_t> payload) {
    const auto frame = protocol::EncodeCommand(Command{std::move(to), function, sequence++, std::move(payload)});
    std::vector<Reply> replies;
    decoder.Feed(session.Receive(frame, {}), [&](const Reply& r) { replies.push_back(r); });
    return replies;
  }
  std::vector<Reply> SendTo(std::uint8_t address, Function function, std::vector<std::uint8_t> payload = {}) {
    return Send({protocol::kModeSingle, {address}}, function, std::move(payload));
  }

  PanelSession session;
  protocol::ReplyDecoder decoder;
  std::uint8_t sequence = 0;
};

std::vector<Status> Statuses(const std::vector<Reply>& replies) {
  std::vector<Status> statuses;
  for (const Reply& r : replies) statuses.push_back(r.status);
  return statuses;
}

const std::vector<Status> kOk = {Status::kOk};

// The same picture in plain and in packed pieces.
TEST(PanelSession, APictureInPiecesIsTakenOnlyWhenCompleteAndPiecesSentAgainDoNoHarm) {
  Bitmap32 picture(32, 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 32; ++x) picture.At(x, y) = (x + y) % 3 == 0 ? 0xFF0000 : ((x * y) % 5 == 0 ? 0xFFFF00 : 0);
  }
  const std::vector<std::uint8_t> planes = protocol::PackPlanes(picture, protocol::kFlagYellowAndBlue);
  for (const Function data : {Function::kPictureData, Function::kPictureDataPacked}) {
    SCOPED_TRACE(FunctionName(data));
    Line line({1});
    const auto piece = [&](std::size_t from, std::size_t count) {
      if (data == Function::kPictureData) {
        return protocol::EncodePictureData(std::uint32_t(from), std::span(planes).subspan(from, count));
      }
      // Packed up to the piece's end, its copies reaching back into the pieces before it.
      const protocol::PackedPiece packed =
          protocol::PlaneEncoder(std::span(planes).first(from + count)).Pack(from, protocol::kMaxPackedCode);
      return protocol::EncodePackedPictureData(std::uint32_t(from), std::uint32_t(packed.count), packed.code);
    };
    EXPECT_EQ(Statuses(line.SendTo(1, data, piece(0, 8))), std::vector{Status::kOutOfOrder});
    EXPECT_EQ(Statuses(line.SendTo(1, Function::kPictureBegin,
                                   protocol::EncodePictureHeader({32, 16, protocol::kFlagYellowAndBlue, 2}))),
              kOk);
    EXPECT_EQ(Statuses(line.SendTo(1, data, piece(0, 60))), kOk);
    EXPECT_EQ(Statuses(line.SendTo(1, data, piece(0, 60))), kOk);  // its answer was lost
    EXPECT_EQ(Statuses(line.SendTo(1, data, piece(70, 8))), std::vector{Status::kOutOfOrder});
    EXPECT_EQ(Statuses(line.SendTo(1, Function::kPictureEnd, protocol::EncodeU32(128))),
              std::vector{Status::kOutOfOrder});
    EXPECT_FALSE(line.session.State(1).picture);
    // Packed data that does not stand for the bytes it names is refused and changes nothing.
    EXPECT_EQ(Statuses(line.SendTo(1, Function::kPictureDataPacked,
                                   protocol::EncodePackedPictureData(0, 60, std::vector<std::uint8_t>{0xFE, 0xFF}))),
              std::vector{Status::kBadPayload});
    EXPECT_EQ(Statuses(line.SendTo(1, Function::kPictureDataPacked,
                                   protocol::EncodePackedPictureData(60, 69, std::vector<std::uint8_t>{0xBC, 0}))),
              std::vector{Status::kBadPayload});
    EXPECT_EQ(Statuses(line.SendTo(1, data, piece(60, 68))), kOk);
    EXPECT_EQ(Statuses(line.SendTo(1, Function::kPictureEnd, protocol::EncodeU32(128))), kOk);

    const std::optional<PanelPicture>& got = line.session.State(1).picture;
    ASSERT_TRUE(got);
    EXPECT_EQ(got->width, 32);
    EXPECT_EQ(got->colourFlags, protocol::kFlagYellowAndBlue);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 32; ++x) {
        ASSERT_EQ(got->At(x, y), protocol::LedColourOf(picture.At(x, y), protocol::kFlagYellowAndBlue))
            << x << "," << y;
      }
    }
    EXPECT_EQ(Statuses(line.SendTo(1, Function::kClear)), kOk);
    EXPECT_FALSE(line.session.State(1).picture);
  }
}

TEST(PanelSession, PayloadsThePanelCannotTakeAreRefused) {
  Line line({1});
  EXPECT_EQ(Statuses(line.SendTo(1, Function::kParameters, std::vector<std::uint8_t>(24))),
            std::vector{Status::kBadPayload});
  EXPECT_EQ(Statuses(line.SendTo(1, Function::kClock, {0x20, 0x26, 0x13, 1, 1, 1, 1, 1})),
            std::vector{Status::kBadPayload});
  EXPECT_EQ(Statuses(line.SendTo(1, Function::kFunctionNumber, {7})), std::vector{Status::kBadPayload});
  EXPECT_EQ(Statuses(line.SendTo(1, Function::kPictureBegin, protocol::EncodePictureHeader({0, 16, 0, 2}))),
            std::vector{Status::kBadPayload});
  EXPECT_EQ(Statuses(line.SendTo(1, Function::kPictureBegin, protocol::EncodePictureHeader({65535, 65535, 0, 2}))),
            std::vector{Status::kTooLarge});
  // A function the panel does not know is answered, so the host can do without it.
  EXPECT_EQ(Statuses(line.SendTo(1, Function(0x7E))), std::vector{Status::kUnknownFunction});
  EXPECT_FALSE(line.session.State(1).parameters);
  EXPECT_FALSE(line.session.State(1).clock);

  EXPECT_EQ(Statuses(line.SendTo(1, Function::kClock, {0x20, 0x26, 0x12, 0x09, 3, 0x10, 0x30, 0})), kOk);
  EXPECT_EQ(line.session.State(1).clock->time, (LocalTime{2026, 12, 9, 3, 10, 30, 0}));
}

TEST(PanelSession, OnlyTheAddressedPanelsTakeACommandAndTheyAnswerInAddressOrder) {
  Line line({9, 2, 5, 2});
  const std::vector<std::uint8_t> block(25, 1);
  const auto replies = line.Send({protocol::kModeList, {1, 2, 9}}, Function::kParameters, block);
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(replies[0].address, 2);
  EXPECT_EQ(replies[1].address, 9);
  EXPECT_TRUE(line.session.State(2).parameters);
  EXPECT_FALSE(line.session.State(5).parameters);
  EXPECT_TRUE(line.session.State(9).parameters);

  EXPECT_TRUE(line.SendTo(3, Function::kParameters, block).empty());
  EXPECT_TRUE(line.Send({protocol::kModeBroadcast, {}}, Function::kClock, {0x20, 0x26, 1, 1, 1, 1, 1, 1}).empty());
  for (std::uint8_t address : {2, 5, 9}) EXPECT_TRUE(line.session.State(address).clock);
}

TEST(PanelSession, FaultsMakeThePanelMisbehaveAsAsked) {
  const std::vector<std::uint8_t> block(25, 1);
  Line silent({1}, Faults{.silent = true});
  EXPECT_TRUE(silent.SendTo(1, Function::kParameters, block).empty());
  EXPECT_FALSE(silent.session.State(1).parameters);

  // One dead panel of a list: the panels after it still take the command and answer.
  Line oneSilent({1, 2, 3}, Faults{.silentAddresses = {2}});
  const auto replies = oneSilent.Send({protocol::kModeList, {1, 2, 3}}, Function::kParameters, block);
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(replies[1].address, 3);
  EXPECT_FALSE(oneSilent.session.State(2).parameters);
  EXPECT_TRUE(oneSilent.session.State(3).parameters);

  Line older({1}, Faults{.withoutPackedData = {1}});
  EXPECT_EQ(Statuses(older.SendTo(1, Function::kPictureDataPacked, protocol::EncodePackedPictureData(0, 0, {}))),
            std::vector{Status::kUnknownFunction});

  Line refusing({1}, Faults{.answerError = true});
  EXPECT_EQ(Statuses(refusing.SendTo(1, Function::kParameters, block)), std::vector{Status::kPanelFault});
  EXPECT_FALSE(refusing.session.State(1).parameters);

  Line damaging({1}, Faults{.damagedFrames = 2});
  EXPECT_TRUE(damaging.SendTo(1, Function::kParameters, block).empty());
  EXPECT_TRUE(damaging.SendTo(1, Function::kParameters, block).empty());
  EXPECT_EQ(Statuses(damaging.SendTo(1, Function::kParameters, block)), kOk);

  // Losing the first bytes loses the first frame; the next one arrives whole.
  Line dropping({1}, Faults{.droppedBytes = 3});
  EXPECT_TRUE(dropping.SendTo(1, Function::kParameters, block).empty());
  EXPECT_EQ(Statuses(dropping.SendTo(1, Function::kParameters, block)), kOk);
}

// A host sending to panels on a pseudo-terminal, where a session answers.
class PanelsOnALine {
 public:
  PanelsOnALine(std::vector<std::uint8_t> addresses, Faults faults)
      : pty_(protocol::SerialLine::CreatePty()), session_(std::move(addresses), std::move(faults)), thread_([this] {
          std::vector<std::uint8_t> buffer(4096);
          while (!stop_) {
            const protocol::ReadResult read = pty_.master.Read(buffer, 20);
            if (read.status == protocol::ReadStatus::Ok) {
              session_.Receive(std::span(buffer).first(read.count),
                               [&](std::span<const std::uint8_t> reply) { pty_.master.WriteAll(reply, 1000); }, {});
            }
          }
        }) {}
  ~PanelsOnALine() {
    stop_ = true;
    thread_.join();
  }
  const std::string& Path() const { return pty_.slavePath; }
  // Only once the host is done with the line.
  const PanelState& State(std::uint8_t address) const { return session_.State(address); }

 private:
  protocol::PtyPair pty_;
  PanelSession session_;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

// The planes start with noise, so the first packed piece comes part way in:
// the older panel gets the rest from there plain, the others packed, and
// all show the picture.
TEST(PanelSession, AnOlderPanelOfAListGetsThePictureFromTheFirstPackedPieceOnPlain) {
  Bitmap32 picture(1024, 32);  // plane 1 all noise, plane 2 dark
  std::uint32_t seed = 7;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 1024; ++x) picture.At(x, y) = ((seed = seed * 1103515245 + 12345) >> 16) & 1 ? 0xFF0000 : 0;
  }
  const auto plan = protocol::PlanPictureData(protocol::PackPlanes(picture, 0), 0, true);
  ASSERT_GE(plan.size(), 2u);
  EXPECT_EQ(plan[0].function, Function::kPictureData);
  EXPECT_EQ(plan[1].function, Function::kPictureDataPacked);
  ::setenv("LUMETRA_PACKED", "addressed", 1);
  std::map<std::uint8_t, std::uint8_t> results;
  std::vector<std::vector<LedColour>> shown;
  {
    PanelsOnALine line({1, 2, 3}, Faults{.withoutPackedData = {2}});
    protocol::HostLink link;
    ASSERT_EQ(link.Open(line.Path().c_str()), protocol::kResultOk);
    EXPECT_EQ(link.SendPicture({protocol::kModeList, {1, 2, 3}}, picture, 0), protocol::kResultOk);
    results = link.PanelResults();
    for (std::uint8_t address : {1, 2, 3}) {
      ASSERT_TRUE(line.State(address).picture) << int(address);
      shown.push_back(line.State(address).picture->leds);
    }
  }
  ::unsetenv("LUMETRA_PACKED");
  EXPECT_EQ(results, (std::map<std::uint8_t, std::uint8_t>{{1, 0}, {2, 0}, {3, 0}}));
  std::vector<LedColour> expected;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 1024; ++x) expected.push_back(protocol::LedColourOf(picture.At(x, y), 0));
  }
  for (const auto& leds : shown) EXPECT_TRUE(leds == expected);
}

}  // namespace
}  // namespace lumetra::panel
