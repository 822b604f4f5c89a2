#include "units/dib.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/archive/byte_stream.h"
#include "platform/gdi/dc.h"
#include "support/bmp_builder.h"
#include "support/golden_image.h"

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
    // Only images without a colour table take the halftone palette.
    EXPECT_EQ(dib.EnsureHalftonePalette(), c.expected == 0) << c.bits;
    EXPECT_EQ(dib.Palette().size(), c.expected ? c.expected : 256u) << c.bits;
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
  // Top-down images (negative height) have the same size, and their extent is the picture's.
  CDib topDown;
  ASSERT_TRUE(Read(topDown, MakeBmp({.width = 33, .height = -2, .bitCount = 1, .colours = 2, .pixelBytes = 16})).ok);
  EXPECT_EQ(topDown.Pixels().size(), 16u);
  EXPECT_EQ(topDown.ImageExtent(), (CSize{33, 2}));
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

std::vector<std::uint8_t> WithCompression(std::vector<std::uint8_t> b, std::uint8_t compression) {
  b[30] = compression;
  return b;
}

TEST(Dib, HostileFilesAreRefusedWithReadErrorAndLeaveTheImageEmpty) {
  std::vector<std::pair<const char*, std::vector<std::uint8_t>>> cases = {
      {"empty", {}},
      {"short file header", {'B', 'M', 0, 0}},
      {"no signature",
       [] {
         auto b = MakeBmp({});
         b[0] = 'X';
         return b;
       }()},
      {"offset inside the headers", MakeBmp({.offBitsOverride = 53})},
      {"offset beyond the file", MakeBmp({.offBitsOverride = 0x7FFFFFFF})},
      {"header size not 40", MakeBmp({.infoSize = 12})},
      {"negative width", MakeBmp({.width = -4})},
      {"negative width with a stored size", MakeBmp({.width = -4, .sizeImage = 16})},
      {"lowest height", MakeBmp({.height = INT_MIN, .sizeImage = 16})},
      {"wider than we draw", MakeBmp({.width = CDib::kMaxImageSide + 1, .height = 1, .sizeImage = 16})},
      {"pixels beyond the file", MakeBmp({.width = 1000, .height = 1000, .pixelBytes = 16})},
      {"rows longer than the stored size", MakeBmp({.width = 2, .height = 2, .sizeImage = 12})},
      {"huge stored image size", MakeBmp({.sizeImage = 0xFFFFFFF0u})},
      {"colour table beyond the header block", MakeBmp({.bitCount = 8, .colours = 2, .pixelBytes = 256})},
      {"huge clrUsed", MakeBmp({.bitCount = 8, .clrUsed = 0x40000000u, .colours = 1})},
      {"bit count 0", MakeBmp({.bitCount = 0, .sizeImage = 16})},
      {"bit count 2", MakeBmp({.bitCount = 2, .colours = 4, .pixelBytes = 8})},
      {"bit count 15", MakeBmp({.bitCount = 15, .pixelBytes = 8})},
      {"run-length 8 bits",
       WithCompression(MakeBmp({.bitCount = 8, .sizeImage = 8, .colours = 256, .pixelBytes = 8}), 1)},
      {"run-length 4 bits",
       WithCompression(MakeBmp({.bitCount = 4, .sizeImage = 8, .colours = 16, .pixelBytes = 8}), 2)},
      {"bit fields", WithCompression(MakeBmp({.bitCount = 32, .gap = 12, .pixelBytes = 16}), 3)},
      {"extreme width and bit count",
       MakeBmp({.width = 0x7FFFFFFF, .height = -0x7FFFFFFF - 1, .bitCount = 0xFFFF, .pixelBytes = 4})},
  };
  for (auto& [name, bytes] : cases) {
    CDib dib;
    ASSERT_TRUE(Read(dib, MakeBmp({})).ok);
    auto r = Read(dib, bytes);
    EXPECT_FALSE(r.ok) << name;
    EXPECT_EQ(r.messages, std::vector<std::string>{"Read error"}) << name;
    EXPECT_TRUE(dib.IsEmpty()) << name;
    EXPECT_EQ(dib.ImageExtent(), (CSize{0, 0})) << name;
    EXPECT_EQ(Write(dib).size(), 54u) << name;  // nothing half-read is written back
  }
}

// Inside a document the next unit follows the image, so a refused image whose
// extent is known must not leave the reader inside it.
TEST(Dib, ARefusedImageOfKnownExtentIsSteppedOver) {
  auto rle = WithCompression(MakeBmp({.bitCount = 8, .sizeImage = 6, .colours = 256, .pixelBytes = 6}), 1);
  auto odd = MakeBmp({.bitCount = 3, .pixelBytes = 8});
  for (const auto& bytes : {rle, odd}) {
    auto followed = bytes;
    followed.push_back(0x99);
    CDib dib;
    auto r = Read(dib, followed);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.consumed, bytes.size());
  }
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

// ---- drawing ----------------------------------------------------------------

// The pictures and the expected canvases come from scripts/make-bitmap-goldens,
// which maps pixels on its own; bottom-up and top-down files of one picture
// must draw the same.
TEST(DibDrawing, EveryBitDepthStretchesUpAndDownAsGdiMapsPixels) {
  const std::filesystem::path dir = std::filesystem::path(LUMETRA_TEST_DATA) / "units" / "bitmaps";
  std::ifstream layout(dir / "layout.txt");
  int width = 0, height = 0;
  std::uint32_t background = 0;
  std::vector<CRect> rects;  // left, top, width, height
  for (std::string line, word; std::getline(layout, line);) {
    std::istringstream words(line);
    words >> word;
    CRect r;
    if (word == "canvas") words >> width >> height >> std::hex >> background;
    if (word == "rect" && words >> r.left >> r.top >> r.right >> r.bottom) rects.push_back(r);
  }
  ASSERT_EQ(rects.size(), 9u);

  for (int bits : {1, 4, 8, 16, 24, 32}) {
    test::GoldenImage expected = test::ReadGoldenBmp(dir / ("stretch-" + std::to_string(bits) + ".bmp"));
    ASSERT_EQ(expected.width, width);
    ASSERT_EQ(expected.height, height);
    for (const char* order : {"", "-topdown"}) {
      SCOPED_TRACE(std::to_string(bits) + " bits" + order);
      CDib dib;
      ASSERT_TRUE(dib.ReadBmpFile(dir / ("src-" + std::to_string(bits) + order + ".bmp")));
      Bitmap32 canvas(width, height, ColorFromPixel(background));
      CDC dc(canvas);
      for (const CRect& r : rects) EXPECT_TRUE(dib.DrawStretched(dc, r.left, r.top, r.right, r.bottom));
      int differing = 0;
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          if ((canvas.At(x, y) & 0xFFFFFF) != expected.At(x, y) && ++differing <= 3) {
            ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << canvas.At(x, y) << ", expected "
                          << expected.At(x, y);
          }
        }
      }
      EXPECT_EQ(differing, 0);
    }
  }
  Bitmap32 canvas(4, 4);
  CDC dc(canvas);
  EXPECT_FALSE(CDib().DrawStretched(dc, 0, 0, 4, 4));  // nothing to draw
}

}  // namespace
}  // namespace lumetra
