#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "protocol/messages.h"
#include "protocol/packbits.h"

namespace lumetra::protocol {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Noise(std::size_t size, unsigned seed) {
  std::mt19937 rng(seed);
  Bytes bytes(size);
  for (auto& b : bytes) b = std::uint8_t(rng());
  return bytes;
}

Bytes Repeat(std::size_t count, std::uint8_t value) { return Bytes(count, value); }

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

struct RoundTrip {
  const char* name;
  Bytes bytes;
  std::size_t maxCode;  // the code may not be longer
};

class PackBitsRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

// Every input packs into a code that unpacks to it, within the size the
// code promises: two bytes per run of up to 128, one byte in 128 for noise.
TEST_P(PackBitsRoundTrip, UnpacksToTheInputWithinItsSize) {
  const Bytes& bytes = GetParam().bytes;
  const PackedPiece piece = PackBitsInto(bytes, 1 << 20);
  EXPECT_EQ(piece.consumed, bytes.size());
  EXPECT_LE(piece.code.size(), GetParam().maxCode);
  Bytes out(bytes.size(), 0xEE);
  ASSERT_TRUE(UnpackBits(piece.code, out));
  EXPECT_EQ(out, bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, PackBitsRoundTrip,
    ::testing::Values(RoundTrip{"Empty", {}, 0}, RoundTrip{"OneByte", {7}, 2},
                      RoundTrip{"DarkRow", Repeat(1024, 0), 16}, RoundTrip{"RunOf129", Repeat(129, 0xFF), 4},
                      RoundTrip{"RunOf130", Repeat(130, 0xFF), 4},
                      RoundTrip{"PairsAmongLiterals", {1, 2, 2, 3, 4, 4, 5, 6, 6, 7}, 11},
                      RoundTrip{"Noise", Noise(4096, 1), 4096 + 32},
                      RoundTrip{"NoiseThenDark", Join({Noise(300, 2), Repeat(700, 0)}), 300 + 3 + 12},
                      RoundTrip{"Hatch", Join({Repeat(200, 0x88), Repeat(200, 0x44), Repeat(200, 0x22)}), 12}),
    [](const auto& info) { return std::string(info.param.name); });

// A code with room for only part of the input stands for a prefix of it.
TEST(PackBits, ALimitedCodeStandsForAsMuchAsFits) {
  const Bytes bytes = Join({Noise(1000, 3), Repeat(5000, 0), Noise(1000, 4)});
  for (std::size_t capacity : {1u, 2u, 100u, 1010u, 1100u, 4088u}) {
    const PackedPiece piece = PackBitsInto(bytes, capacity);
    EXPECT_LE(piece.code.size(), capacity);
    Bytes out(piece.consumed);
    ASSERT_TRUE(UnpackBits(piece.code, out)) << capacity;
    EXPECT_TRUE(std::equal(out.begin(), out.end(), bytes.begin())) << capacity;
  }
}

// Damaged code is refused whole: the target keeps every byte it had.
TEST(PackBits, DamagedCodeIsRefusedAndWritesNothing) {
  struct Case {
    Bytes code;
    std::size_t size;
    bool good;
  };
  const Case cases[] = {
      {{0x02, 1, 2, 3}, 3, true},       {{0x80, 0xFE, 9}, 3, true},  // 128 stands for nothing
      {{0x02, 1, 2}, 3, false},         {{0xFE}, 3, false},          // cut off inside a piece
      {{0xFE, 9}, 2, false},            {{0xFE, 9}, 4, false},       // stands for more, or fewer
      {{0xFE, 9, 0x00}, 3, false},      {{}, 1, false},
  };
  for (const Case& c : cases) {
    Bytes out(c.size, 0xEE);
    EXPECT_EQ(UnpackBits(c.code, out), c.good) << testing::PrintToString(c.code);
    if (!c.good) EXPECT_EQ(out, Bytes(c.size, 0xEE));
  }
}

// The data commands of a picture cover the planes in order without gaps;
// packed ones appear only where they carry more for less, so noise goes
// exactly as it would plain and dark planes take a handful of commands.
TEST(PictureDataPlan, PacksOnlyWhereThatIsSmallerAndCoversThePlanes) {
  struct Case {
    const char* name;
    Bytes planes;
    std::size_t maxCommands;
  };
  const Case cases[] = {
      {"noise", Noise(20000, 5), 5},
      {"dark", Repeat(524288, 0), 3},
      {"mixed", Join({Noise(5000, 6), Repeat(60000, 0), Noise(9000, 7), Repeat(3, 1)}), 7},
  };
  for (const Case& c : cases) {
    const auto plain = PlanPictureData(c.planes, 0, false);
    const auto packed = PlanPictureData(c.planes, 0, true);
    std::size_t plainBytes = 0, packedBytes = 0, at = 0;
    for (const auto& frame : plain) plainBytes += frame.payload.size();
    Bytes rebuilt(c.planes.size());
    for (const auto& frame : packed) {
      ASSERT_EQ(frame.offset, at) << c.name;
      ASSERT_LE(frame.payload.size(), kMaxPayload) << c.name;
      packedBytes += frame.payload.size();
      const std::span<std::uint8_t> target = std::span(rebuilt).subspan(frame.offset, frame.count);
      if (frame.function == Function::kPictureDataPacked) {
        const auto data = DecodePackedPictureData(frame.payload);
        ASSERT_TRUE(data && data->offset == frame.offset && data->count == frame.count) << c.name;
        ASSERT_TRUE(UnpackBits(data->code, target)) << c.name;
      } else {
        const auto data = DecodePictureData(frame.payload);
        ASSERT_TRUE(data && data->bytes.size() == frame.count) << c.name;
        std::copy(data->bytes.begin(), data->bytes.end(), target.begin());
      }
      at += frame.count;
    }
    EXPECT_EQ(rebuilt, c.planes) << c.name;
    EXPECT_LE(packedBytes, plainBytes) << c.name;
    EXPECT_LE(packed.size(), c.maxCommands) << c.name;
  }
  // Starting part way, as for the panels that refused the packed form.
  const auto rest = PlanPictureData(Repeat(10000, 0), 4092, false);
  ASSERT_EQ(rest.size(), 2u);
  EXPECT_EQ(rest[0].offset, 4092u);
  EXPECT_EQ(rest[1].offset + rest[1].count, 10000u);
}

}  // namespace
}  // namespace lumetra::protocol
