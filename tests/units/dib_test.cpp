#include "units/dib.h"

#include <gtest/gtest.h>

#include "platform/archive/byte_stream.h"
#include "support/bmp_builder.h"

namespace lumetra {
namespace {

using test::BmpLayout;
using test::CollectMessages;
using test::MakeBmp;

struct ReadResult {
  bool ok;
  std::vector<std::string> messages;
  std::size_t consumed;
};

ReadResult Read(CDib& dib, const std::vector<std::uint8_t>& bytes) {
  CollectMessages messages;
  ByteReader in(bytes);
  bool ok = dib.ReadBmp(in);
  return {ok, messages.messages, in.Position()};
}

std::vector<std::uint8_t> Write(const CDib& dib) {
  ByteWriter out;
  dib.WriteBmp(out);
  return out.TakeBytes();
}

TEST(Dib, ColourTableSizeFollowsClrUsedOrTheBitDepth) {
  struct Case {
    std::uint16_t bits;
    std::uint32_t clrUsed;
    std::uint32_t expected;
  };
  for (Case c : {Case{1, 0, 2}, Case{4, 0, 16}, Case{8, 0, 256}, Case{8, 20, 20}, Case{16, 0, 0}, Case{24, 0, 0},
                 Case{32, 0, 0}, Case{24, 3, 3}}) {
    CDib dib;
    BmpLayout layout{.bitCount = c.bits, .clrUsed = c.clrUsed, .colours = c.expected, .pixelBytes = 64};
    ASSERT_TRUE(Read(dib, MakeBmp(layout)).ok) << c.bits;
    EXPECT_EQ(dib.ColourCount(), c.expected) << c.bits;
    EXPECT_EQ(dib.Palette().size(), c.expected) << c.bits;
  }
}

TEST(Dib, PaletteComesFromTheColourTableInRgbOrder) {
  CDib dib;
  ASSERT_TRUE(Read(dib, MakeBmp({.bitCount = 1, .colours = 2, .pixelBytes = 8})).ok);
  // Table entries are blue, green, red, 0; the builder writes 0x00010203 * (i + 1).
  EXPECT_EQ(dib.Palette()[0], (PALETTEENTRY{0x01, 0x02, 0x03, 0}));
  EXPECT_EQ(dib.Palette()[1], (PALETTEENTRY{0x02, 0x04, 0x06, 0}));
}

TEST(Dib, ImageSizeIsComputedWhenTheHeaderLeavesItZero) {
  CDib dib;
  // 1 bit, 33 pixels wide: two 32-bit words a row, two rows.
  auto r = Read(dib, MakeBmp({.width = 33, .height = 2, .bitCount = 1, .colours = 2, .pixelBytes = 20}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(dib.Pixels().size(), 16u);
  EXPECT_EQ(r.consumed, 14u + 40 + 8 + 16);  // the reader stops after the image
  // Top-down images (negative height) have the same size.
  CDib topDown;
  ASSERT_TRUE(Read(topDown, MakeBmp({.width = 33, .height = -2, .bitCount = 1, .colours = 2, .pixelBytes = 16})).ok);
  EXPECT_EQ(topDown.Pixels().size(), 16u);
  EXPECT_EQ(topDown.ImageExtent(), (CSize{33, -2}));
}

TEST(Dib, WritingDropsTheGapAndUsesOnlyTheCountedColours) {
  CDib dib;
  auto source =
      MakeBmp({.width = 4, .height = 1, .bitCount = 8, .clrUsed = 20, .colours = 20, .gap = 6, .pixelBytes = 4});
  ASSERT_TRUE(Read(dib, source).ok);
  auto written = Write(dib);
  ASSERT_EQ(written.size(), 14u + 40 + 80 + 4);
  EXPECT_EQ(written[10], 54 + 80);  // bfOffBits
  EXPECT_EQ(std::vector<std::uint8_t>(written.begin() + 2, written.begin() + 6), std::vector<std::uint8_t>(4, 0));
  EXPECT_TRUE(std::equal(written.begin() + 14, written.begin() + 14 + 120, source.begin() + 14));
  EXPECT_TRUE(std::equal(written.end() - 4, written.end(), source.end() - 4));

  CDib again;
  ASSERT_TRUE(Read(again, written).ok);
  EXPECT_EQ(Write(again), written);
}

TEST(Dib, HostileFilesAreRefusedWithReadError) {
  std::vector<std::pair<const char*, std::vector<std::uint8_t>>> cases = {
      {"empty", {}},
      {"short file header", {'B', 'M', 0, 0}},
      {"no signature",
       [] {
         auto b = MakeBmp({});
         b[0] = 'X';
         return b;
       }()},
      {"offset inside the headers", MakeBmp({.offBitsOverride = 20})},
      {"offset beyond the file", MakeBmp({.offBitsOverride = 0x7FFFFFFF})},
      {"header size not 40", MakeBmp({.infoSize = 12})},
      {"negative width", MakeBmp({.width = -4})},
      {"pixels beyond the file", MakeBmp({.width = 100000, .height = 100000, .pixelBytes = 16})},
      {"huge stored image size", MakeBmp({.sizeImage = 0xFFFFFFF0u})},
      {"colour table beyond the header block", MakeBmp({.bitCount = 8, .colours = 2, .pixelBytes = 256})},
      {"huge clrUsed", MakeBmp({.bitCount = 8, .clrUsed = 0x40000000u, .colours = 1})},
      {"extreme width and bit count",
       MakeBmp({.width = 0x7FFFFFFF, .height = -0x7FFFFFFF - 1, .bitCount = 0xFFFF, .pixelBytes = 4})},
  };
  for (auto& [name, bytes] : cases) {
    CDib dib;
    auto r = Read(dib, bytes);
    EXPECT_FALSE(r.ok) << name;
    EXPECT_EQ(r.messages, std::vector<std::string>{"Read error"}) << name;
    EXPECT_LE(r.consumed, bytes.size()) << name;
  }
}

TEST(Dib, AFailedReadKeepsTheHeaderItCouldRead) {
  CDib dib;
  auto r = Read(dib, MakeBmp({.width = 7, .height = 5, .pixelBytes = 3}));  // pixels cut short
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(dib.ImageExtent(), (CSize{7, 5}));
  EXPECT_TRUE(dib.Pixels().empty());
}

TEST(Dib, AnEmptyImageIsWrittenAsAZeroSizedImageThatReadsBack) {
  CDib empty;
  EXPECT_EQ(empty.ImageExtent(), (CSize{0, 0}));
  auto written = Write(empty);
  EXPECT_EQ(written.size(), 54u);
  CDib back;
  EXPECT_TRUE(Read(back, written).ok);
  EXPECT_EQ(back.ImageExtent(), (CSize{0, 0}));
}

TEST(Dib, FilesThatCannotBeOpenedOrWrittenAreReported) {
  CollectMessages messages;
  CDib dib;
  EXPECT_FALSE(dib.ReadBmpFile("/nonexistent/picture.bmp"));
  EXPECT_FALSE(dib.WriteBmpFile("/nonexistent/folder/picture.bmp"));
  EXPECT_EQ(messages.messages, (std::vector<std::string>{"Read error", "write error"}));
}

}  // namespace
}  // namespace lumetra
