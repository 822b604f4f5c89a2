#include <gtest/gtest.h>

#include <vector>

#include "panel/panel_session.h"
#include "protocol/messages.h"
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

}  // namespace
}  // namespace lumetra::panel
