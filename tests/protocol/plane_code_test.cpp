#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "protocol/messages.h"
#include "protocol/plane_code.h"

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

// Rows of 64 bytes, each like the one above but for one byte.
Bytes RowsLikeTheOneAbove() {
  Bytes rows = Noise(64, 8);
  for (int row = 1; row < 40; ++row) {
    rows.insert(rows.end(), rows.end() - 64, rows.end());
    rows[rows.size() - 1 - std::size_t(row)] ^= 0x5A;
  }
  return rows;
}

struct RoundTrip {
  const char* name;
  Bytes bytes;
  std::size_t maxCode;  // the code may not be longer
};

class PlaneCodeRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

// Every input packs into a code that unpacks to it, and dark, repeated and
// row-like input into little code.
TEST_P(PlaneCodeRoundTrip, UnpacksToTheInputWithinItsSize) {
  const Bytes& bytes = GetParam().bytes;
  PlaneEncoder encoder(bytes);
  const PackedPiece piece = encoder.Pack(0, 1 << 20);
  EXPECT_EQ(piece.count, bytes.size());
  EXPECT_LE(piece.code.size(), GetParam().maxCode);
  Bytes out(bytes.size(), 0xEE);
  ASSERT_TRUE(UnpackPlaneCode(piece.code, out, 0, out.size()));
  EXPECT_EQ(out, bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, PlaneCodeRoundTrip,
    ::testing::Values(RoundTrip{"Empty", {}, 0}, RoundTrip{"OneByte", {7}, 2}, RoundTrip{"DarkRow", Repeat(1024, 0), 10},
                      RoundTrip{"DarkPlanes", Repeat(524288, 0), 2100},
                      RoundTrip{"PairsAmongLiterals", {1, 2, 2, 3, 4, 4, 5, 6, 6, 7}, 11},
                      RoundTrip{"Noise", Noise(4096, 1), 4096 + 20},
                      RoundTrip{"NoiseThenDark", Join({Noise(300, 2), Repeat(700, 0)}), 300 + 10},
                      RoundTrip{"RowsLikeTheOneAbove", RowsLikeTheOneAbove(), 64 + 39 * 10},
                      RoundTrip{"Hatch", Join({Repeat(200, 0x88), Repeat(200, 0x44), Repeat(200, 0x22)}), 15}),
    [](const auto& info) { return std::string(info.param.name); });

// Pieces of limited code, one after another, copy from the pieces before
// them and together stand for the whole input.
TEST(PlaneCode, PiecesOfLimitedCodeFollowOneAnotherAndCopyFromEarlierOnes) {
  const Bytes bytes = Join({Noise(1000, 3), Repeat(5000, 0), Noise(1000, 4), Noise(1000, 3), RowsLikeTheOneAbove()});
  for (std::size_t capacity : {2u, 3u, 100u, 1010u, 4088u}) {
    PlaneEncoder encoder(bytes);
    Bytes out(bytes.size(), 0xEE);
    std::size_t at = 0;
    while (at < bytes.size()) {
      const PackedPiece piece = encoder.Pack(at, capacity);
      ASSERT_LE(piece.code.size(), capacity);
      ASSERT_GT(piece.count, 0u) << capacity;
      ASSERT_TRUE(UnpackPlaneCode(piece.code, out, at, piece.count)) << capacity << " at " << at;
      at += piece.count;
    }
    EXPECT_EQ(out, bytes) << capacity;
  }
}

// Damaged code is refused whole: the planes keep every byte they had.
TEST(PlaneCode, DamagedCodeIsRefusedAndWritesNothing) {
  struct Case {
    Bytes code;
    std::size_t offset, count;
    bool good;
  };
  const Case cases[] = {
      {{0x20, 1, 2}, 0, 2, true},                    // two literals, no copy
      {{0x12, 9, 0x01, 0x00}, 0, 7, true},           // a literal, then a run of six
      {{0x00, 0x05, 0x00}, 5, 4, true},              // a copy from before the piece
      {{0xF0, 0x01, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, 0, 16, true},
      {{0x30, 1, 2}, 0, 3, false},                   // cut off inside the literals
      {{0x10, 9, 0x01}, 0, 5, false},                // cut off inside the distance
      {{0xF0}, 0, 15, false},                        // cut off before more literals
      {{0x1F, 9, 0x01, 0x00}, 0, 40, false},         // cut off before more length
      {{0x10, 9, 0x00, 0x00}, 0, 5, false},          // distance 0
      {{0x10, 9, 0x02, 0x00}, 0, 5, false},          // copies from before the planes
      {{0x10, 9, 0x01, 0x00}, 0, 4, false},          // stands for more
      {{0x10, 9, 0x01, 0x00}, 0, 6, false},          // stands for fewer
      {{0x10, 9, 0x01, 0x00}, 18, 5, false},         // past the planes' end
  };
  for (const Case& c : cases) {
    Bytes planes(20, 0xEE);
    EXPECT_EQ(UnpackPlaneCode(c.code, planes, c.offset, c.count), c.good) << testing::PrintToString(c.code);
    if (!c.good) {
      EXPECT_EQ(planes, Bytes(20, 0xEE));
    }
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
      {"dark beyond what one command holds", Repeat(3 << 20, 0), 6},
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
      if (frame.function == Function::kPictureDataPacked) {
        const auto data = DecodePackedPictureData(frame.payload);
        ASSERT_TRUE(data && data->offset == frame.offset && data->count == frame.count) << c.name;
        ASSERT_TRUE(UnpackPlaneCode(data->code, rebuilt, frame.offset, frame.count)) << c.name;
      } else {
        const auto data = DecodePictureData(frame.payload);
        ASSERT_TRUE(data && data->bytes.size() == frame.count) << c.name;
        std::copy(data->bytes.begin(), data->bytes.end(), rebuilt.begin() + std::ptrdiff_t(frame.offset));
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
