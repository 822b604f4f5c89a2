#include <gtest/gtest.h>

#include <vector>

#include "protocol/frame.h"
#include "protocol/host_link.h"
#include "protocol/messages.h"

namespace lumetra::protocol {
namespace {

std::vector<Command> Decode(CommandDecoder& decoder, std::span<const std::uint8_t> bytes) {
  std::vector<Command> commands;
  decoder.Feed(bytes, [&](const Command& c) { commands.push_back(c); });
  return commands;
}

Command MakeCommand(std::uint8_t mode, std::vector<std::uint8_t> addresses, Function function,
                    std::vector<std::uint8_t> payload) {
  return Command{{mode, std::move(addresses)}, function, 9, std::move(payload)};
}

TEST(Frame, EveryAddressingSurvivesTheRoundTripAndTheCrcIsTheStandardOne) {
  const std::uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(Crc16(check), 0x29B1);  // the CRC-16/CCITT-FALSE check value

  const std::vector<Command> sent = {
      MakeCommand(kModeSingle, {0}, Function::kParameters, std::vector<std::uint8_t>(25, 7)),
      MakeCommand(kModeList, {1, 2, 3, 254}, Function::kClock, std::vector<std::uint8_t>(8, 0x11)),
      MakeCommand(kModeBroadcast, {}, Function::kClear, {}),
      MakeCommand(kModeSingle, {5}, Function::kPictureData, std::vector<std::uint8_t>(kMaxPayload, 0xA5)),
  };
  std::vector<std::uint8_t> stream;
  for (const Command& c : sent) {
    const auto frame = EncodeCommand(c);
    stream.insert(stream.end(), frame.begin(), frame.end());
  }
  CommandDecoder decoder;
  const std::vector<Command> got = Decode(decoder, stream);
  ASSERT_EQ(got.size(), sent.size());
  for (std::size_t i = 0; i < sent.size(); ++i) {
    EXPECT_EQ(got[i].to.mode, sent[i].to.mode);
    EXPECT_EQ(got[i].to.addresses, sent[i].to.addresses);
    EXPECT_EQ(got[i].function, sent[i].function);
    EXPECT_EQ(got[i].sequence, sent[i].sequence);
    EXPECT_EQ(got[i].payload, sent[i].payload);
  }
  EXPECT_EQ(decoder.RejectedFrames(), 0u);

  EXPECT_THROW(EncodeCommand(MakeCommand(kModeList, {3, 2}, Function::kClear, {})), std::invalid_argument);
  EXPECT_THROW(EncodeCommand(MakeCommand(kModeSingle, {255}, Function::kClear, {})), std::invalid_argument);
  EXPECT_THROW(EncodeCommand(MakeCommand(0x02, {1}, Function::kClear, {})), std::invalid_argument);
}

TEST(Frame, DamagedFramesAreDroppedAndTheNextFrameIsStillFound) {
  const auto good = EncodeCommand(MakeCommand(kModeSingle, {1}, Function::kClock, std::vector<std::uint8_t>(8, 1)));
  for (std::size_t damaged = 1; damaged < good.size(); ++damaged) {
    auto bad = good;
    bad[damaged] ^= 0x10;
    std::vector<std::uint8_t> stream;
    stream.reserve(2 + bad.size() + good.size());
    stream.push_back(0x00);  // noise
    stream.push_back(0xA5);  // and a stray start byte
    stream.insert(stream.end(), bad.begin(), bad.end());
    stream.insert(stream.end(), good.begin(), good.end());
    CommandDecoder decoder;
    std::vector<Command> got = Decode(decoder, stream);
    // A damaged length may hold the good frame back until the line falls quiet.
    if (got.empty()) decoder.LineIdle([&](const Command& c) { got.push_back(c); });
    ASSERT_EQ(got.size(), 1u) << "damaged byte " << damaged;
    EXPECT_EQ(got[0].payload, std::vector<std::uint8_t>(8, 1));
    EXPECT_GE(decoder.RejectedFrames(), 1u);
  }
}

TEST(Frame, RepliesAreFoundAmongNoiseAndCheckedByTheirCrc) {
  const Reply reply{7, Function::kPictureEnd, 200, Status::kTooLarge};
  auto bytes = EncodeReply(reply);
  std::vector<std::uint8_t> stream = {0xA6, 0x01, 0xA6};
  auto damaged = bytes;
  damaged[4] ^= 1;
  stream.insert(stream.end(), damaged.begin(), damaged.end());
  stream.insert(stream.end(), bytes.begin(), bytes.end());
  std::vector<Reply> got;
  ReplyDecoder decoder;
  decoder.Feed(stream, [&](const Reply& r) { got.push_back(r); });
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0], reply);
}

TEST(Messages, PlanesCarryTheColoursByTheFlagsAndComeBackUnchanged) {
  // Black, red, green, yellow on a red-and-green panel; 11 pixels wide so the
  // rows are padded.
  Bitmap32 picture(11, 2);
  const std::uint32_t colours[] = {0x000000, 0xFF0000, 0x00FF00, 0xFFFF00};
  for (int x = 0; x < 11; ++x) {
    picture.At(x, 0) = colours[x % 4];
    picture.At(x, 1) = colours[(x + 1) % 4];
  }
  ASSERT_EQ(PlaneBytes(11, 2), 8u);
  const std::vector<LedColour> leds = UnpackPlanes(PackPlanes(picture, 0x00), 11, 2);
  ASSERT_EQ(leds.size(), 22u);
  for (int x = 0; x < 11; ++x) {
    EXPECT_EQ(leds[std::size_t(x)], x % 4);
    EXPECT_EQ(leds[std::size_t(11 + x)], (x + 1) % 4);
  }
  // Reversed, red and green change places; yellow stays.
  EXPECT_EQ(LedColourOf(0xFF0000, kFlagReverse), 2);
  EXPECT_EQ(LedColourOf(0x00FF00, kFlagReverse), 1);
  EXPECT_EQ(LedColourOf(0xFFFF00, kFlagReverse), 3);
  // Yellow and blue: yellow lights the first colour, blue the second, white both.
  EXPECT_EQ(LedColourOf(0xFFFF00, kFlagYellowAndBlue), 1);
  EXPECT_EQ(LedColourOf(0x0000FF, kFlagYellowAndBlue), 2);
  EXPECT_EQ(LedColourOf(0xFFFFFF, kFlagYellowAndBlue), 3);
  EXPECT_EQ(LedColourOf(0x7F7F7F, 0x00), 0);
  EXPECT_TRUE(UnpackPlanes(std::vector<std::uint8_t>(7), 11, 2).empty());
}

TEST(Messages, ClockBytesDecodeOnlyWhenEveryDigitAndFieldIsInRange) {
  const std::uint8_t good[] = {0x20, 0x26, 0x12, 0x09, 0x03, 0x23, 0x59, 0x58};
  const std::optional<LocalTime> time = DecodeClock(good);
  ASSERT_TRUE(time);
  EXPECT_EQ(*time, (LocalTime{2026, 12, 9, 3, 23, 59, 58}));
  for (std::size_t i = 0; i < 8; ++i) {
    std::uint8_t bad[8];
    std::copy(std::begin(good), std::end(good), bad);
    bad[i] = 0x9A;  // not a BCD digit
    EXPECT_FALSE(DecodeClock(bad)) << i;
  }
  const std::uint8_t month13[] = {0x20, 0x26, 0x13, 0x09, 0x03, 0x23, 0x59, 0x58};
  EXPECT_FALSE(DecodeClock(month13));
  EXPECT_FALSE(DecodeClock(std::span(good).first(7)));
}

TEST(HostLink, AddressTablesBecomeTheAddressesOnTheWire) {
  std::uint8_t table[128] = {};
  table[127] = 0xAA;
  // Address 0 may begin a list; the zeros after the last address end it.
  table[0] = 0;
  table[1] = 3;
  table[2] = 4;
  EXPECT_EQ(AddressingFromTable(kModeList, table)->addresses, (std::vector<std::uint8_t>{0, 3, 4}));
  EXPECT_EQ(AddressingFromTable(kModeSingle, table)->addresses, (std::vector<std::uint8_t>{0}));
  EXPECT_TRUE(AddressingFromTable(kModeBroadcast, nullptr)->addresses.empty());
  for (int i = 0; i < 127; ++i) table[i] = std::uint8_t(i);
  EXPECT_EQ(AddressingFromTable(kModeList, table)->addresses.size(), 127u);
  EXPECT_FALSE(AddressingFromTable(kModeList, nullptr));
  EXPECT_FALSE(AddressingFromTable(0x33, table));
}

}  // namespace
}  // namespace lumetra::protocol
