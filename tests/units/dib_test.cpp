#include "units/dib.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "document/document.h"
#include "platform/archive/byte_stream.h"
#include "platform/files.h"
#include "platform/gdi/dc.h"
#include "support/bmp_builder.h"
#include "support/golden_image.h"
#include "units/bmp.h"

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

// Files whose extent cannot be told, or that announce more than they hold.
TEST(Dib, UnreadablePicturesAreRefusedAndLeaveTheObjectEmpty) {
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
      {"header smaller than 40", MakeBmp({.infoSize = 12})},
      {"header larger than its block", MakeBmp({.infoSize = 124})},
      {"negative width", MakeBmp({.width = -4})},
      {"pixels beyond the file", MakeBmp({.width = 1000, .height = 1000, .pixelBytes = 16})},
      {"huge stored image size", MakeBmp({.sizeImage = 0xFFFFFFF0u})},
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
    EXPECT_EQ(Write(dib).size(), 54u) << name;  // nothing half-read is written back

    ByteReader in(bytes);
    EXPECT_FALSE(dib.ReadInline(in).value_or("").empty()) << name;
    EXPECT_TRUE(dib.IsEmpty()) << name;
  }
  // A header that is not read stops the reader after its block, where a
  // picture without rows would end.
  const auto header124 = MakeBmp({.infoSize = 124});
  ByteReader in(header124);
  CDib dib;
  EXPECT_TRUE(dib.ReadInline(in));
  EXPECT_EQ(in.Position(), 54u);
}

// Pictures the rasterizer does not draw, but whose headers tell their extent.
TEST(Dib, PicturesWeCannotDrawAreKeptByteForByteAndDrawNothing) {
  std::vector<std::pair<const char*, std::vector<std::uint8_t>>> cases = {
      {"later header version", MakeBmp({.gap = 84, .infoSize = 124})},
      {"JPEG compression", WithCompression(MakeBmp({.width = 4, .sizeImage = 9, .pixelBytes = 9}), 4)},
      {"run-length 8 with 4 bits",
       WithCompression(MakeBmp({.bitCount = 4, .sizeImage = 6, .colours = 16, .pixelBytes = 6}), 1)},
      {"run-length without an image size",
       WithCompression(MakeBmp({.bitCount = 8, .colours = 256, .pixelBytes = 8}), 1)},
      {"top-down run-length",
       WithCompression(MakeBmp({.height = -2, .bitCount = 8, .sizeImage = 4, .colours = 256, .pixelBytes = 4}), 1)},
      {"bit fields without masks", WithCompression(MakeBmp({.bitCount = 16, .pixelBytes = 8}), 3)},
      {"bit fields of 24 bits", WithCompression(MakeBmp({.gap = 12}), 3)},
      {"bit count 2", MakeBmp({.bitCount = 2, .colours = 4, .pixelBytes = 8})},
      {"bit count 15", MakeBmp({.bitCount = 15, .pixelBytes = 8})},
      {"negative width with a stored size", MakeBmp({.width = -4, .sizeImage = 16})},
      {"lowest height", MakeBmp({.height = INT_MIN, .sizeImage = 16})},
      {"wider than we draw", MakeBmp({.width = CDib::kMaxImageSide + 1, .height = 1, .sizeImage = 16})},
      {"rows longer than the stored size", MakeBmp({.sizeImage = 12, .pixelBytes = 12})},
      {"colour table beyond the header block", MakeBmp({.bitCount = 8, .colours = 2, .pixelBytes = 8})},
      {"huge clrUsed", MakeBmp({.bitCount = 8, .clrUsed = 0x40000000u, .colours = 1, .pixelBytes = 8})},
      {"no pixels", MakeBmp({.width = 0, .height = 0, .pixelBytes = 0})},
  };
  for (auto& [name, bytes] : cases) {
    auto followed = bytes;
    followed.push_back(0x99);
    ByteReader in(followed);
    CDib dib;
    EXPECT_EQ(dib.ReadInline(in), std::nullopt) << name;
    EXPECT_EQ(in.Position(), bytes.size()) << name;  // whatever follows the picture is read next
    EXPECT_FALSE(dib.CanDraw()) << name;
    EXPECT_EQ(Write(dib), bytes) << name;
    Bitmap32 canvas(4, 4);
    CDC dc(canvas);
    EXPECT_FALSE(dib.DrawStretched(dc, 0, 0, 4, 4)) << name;

    // Imported, such a picture is reported, since it will not show, but kept.
    CDib imported;
    auto r = Read(imported, bytes);
    EXPECT_FALSE(r.ok) << name;
    EXPECT_EQ(r.messages, std::vector<std::string>{"Read error"}) << name;
    EXPECT_EQ(Write(imported), bytes) << name;
  }
}

TEST(Dib, ImportedRowsThatStopShortOfTheImageSizeArePaddedAndDocumentsHoldExactlyTheImageSize) {
  // 2 x 2 at 24 bits needs 16 bytes; the header announces 20.
  const auto file = MakeBmp({.sizeImage = 20, .pixelBytes = 16});
  CDib dib;
  ASSERT_TRUE(Read(dib, file).ok);
  EXPECT_EQ(dib.Pixels().size(), 20u);
  EXPECT_EQ(std::vector<std::uint8_t>(dib.Pixels().begin() + 16, dib.Pixels().end()), std::vector<std::uint8_t>(4, 0));
  const auto written = Write(dib);
  EXPECT_EQ(written.size(), 54u + 20);
  ByteReader again(written);
  EXPECT_EQ(dib.ReadInline(again), std::nullopt);
  EXPECT_EQ(again.BytesLeft(), 0u);

  // Inside a document the bytes after the picture belong to what follows it.
  ByteReader stored(file);
  EXPECT_NE(dib.ReadInline(stored).value_or("").find("pixel rows are cut short: 20 bytes announced, 16 follow"),
            std::string::npos);
  // A file with fewer bytes than its rows need is not padded.
  EXPECT_FALSE(Read(dib, MakeBmp({.sizeImage = 20, .pixelBytes = 12})).ok);
}

TEST(Dib, AnEmptyImageIsWrittenAsAZeroSizedImageThatReadsBack) {
  CDib empty;
  EXPECT_EQ(empty.ImageExtent(), (CSize{0, 0}));
  auto written = Write(empty);
  EXPECT_EQ(written.size(), 54u);
  CDib back;
  ByteReader in(written);
  EXPECT_EQ(back.ReadInline(in), std::nullopt);
  EXPECT_EQ(back.ImageExtent(), (CSize{0, 0}));
  EXPECT_EQ(Write(back), written);
}

TEST(Dib, FilesThatCannotBeOpenedOrWrittenAreReported) {
  CollectMessages messages;
  CDib dib;
  EXPECT_FALSE(dib.ReadBmpFile("/nonexistent/picture.bmp"));
  EXPECT_FALSE(dib.WriteBmpFile("/nonexistent/folder/picture.bmp"));
  EXPECT_EQ(messages.messages, (std::vector<std::string>{"Read error", "write error"}));
}

// ---- drawing ----------------------------------------------------------------

const std::filesystem::path kBitmaps = std::filesystem::path(LUMETRA_TEST_DATA) / "units" / "bitmaps";

// A canvas and the rectangles (left, top, width, height) pictures are drawn into.
struct Layout {
  int width = 0, height = 0;
  std::uint32_t background = 0;
  std::vector<CRect> rects;
};

Layout ReadLayout(const std::filesystem::path& path) {
  std::ifstream file(path);
  Layout layout;
  for (std::string line, word; std::getline(file, line);) {
    std::istringstream words(line);
    words >> word;
    CRect r;
    if (word == "canvas") words >> layout.width >> layout.height >> std::hex >> layout.background;
    if (word == "rect" && words >> r.left >> r.top >> r.right >> r.bottom) layout.rects.push_back(r);
  }
  return layout;
}

void ExpectGolden(const Bitmap32& canvas, const std::filesystem::path& golden) {
  const test::GoldenImage expected = test::ReadGoldenBmp(golden);
  ASSERT_EQ(expected.width, canvas.Width());
  ASSERT_EQ(expected.height, canvas.Height());
  int differing = 0;
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      if ((canvas.At(x, y) & 0xFFFFFF) != expected.At(x, y) && ++differing <= 3) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << canvas.At(x, y) << ", expected "
                      << expected.At(x, y);
      }
    }
  }
  EXPECT_EQ(differing, 0);
}

// The pictures and the expected canvases come from scripts/make-bitmap-goldens,
// which maps pixels on its own; bottom-up and top-down files of one picture
// must draw the same.
TEST(DibDrawing, EveryBitDepthStretchesUpAndDownAsGdiMapsPixels) {
  const Layout layout = ReadLayout(kBitmaps / "layout.txt");
  ASSERT_EQ(layout.rects.size(), 9u);
  for (int bits : {1, 4, 8, 16, 24, 32}) {
    for (const char* order : {"", "-topdown"}) {
      SCOPED_TRACE(std::to_string(bits) + " bits" + order);
      CDib dib;
      ASSERT_TRUE(dib.ReadBmpFile(kBitmaps / ("src-" + std::to_string(bits) + order + ".bmp")));
      Bitmap32 canvas(layout.width, layout.height, ColorFromPixel(layout.background));
      CDC dc(canvas);
      for (const CRect& r : layout.rects) EXPECT_TRUE(dib.DrawStretched(dc, r.left, r.top, r.right, r.bottom));
      ExpectGolden(canvas, kBitmaps / ("stretch-" + std::to_string(bits) + ".bmp"));
    }
  }
  Bitmap32 canvas(4, 4);
  CDC dc(canvas);
  EXPECT_FALSE(CDib().DrawStretched(dc, 0, 0, 4, 4));  // nothing to draw
}

// The pictures and the expected canvases come from
// scripts/make-encoded-bitmap-goldens: the reference tool draws each file as
// it is stored, at its own size (where pixels the stream skips keep the
// canvas) and stretched. Every picture goes through a document first.
TEST(DibDrawing, EncodedPicturesSurviveADocumentAndDrawAsGdiDrawsTheFile) {
  const Layout layout = ReadLayout(kBitmaps / "encoded-layout.txt");
  ASSERT_EQ(layout.rects.size(), 6u);
  struct Case {
    const char* name;
    std::uint32_t compression;
  };
  const Case cases[] = {{"rle8", BI_RLE8},
                        {"rle4", BI_RLE4},
                        {"rle4-cut", BI_RLE4},
                        {"bitfields16", BI_BITFIELDS},
                        {"bitfields32", BI_BITFIELDS}};
  CTessaraDoc doc;
  doc.OnNewDocument(PanelSettings{});
  for (const Case& c : cases) {
    const std::filesystem::path file = kBitmaps / (std::string(c.name) + ".bmp");
    for (const CRect& r : layout.rects) {
      auto unit = std::make_unique<CBmp>();
      ASSERT_TRUE(unit->m_dib.ReadBmpFile(file)) << c.name;
      ASSERT_EQ(unit->m_dib.Header().biCompression, c.compression) << c.name;
      unit->m_ptFirst = {r.left, r.top};
      unit->m_ptSecond = {r.left + r.right, r.top + r.bottom};
      doc.m_units.push_back(std::move(unit));
    }
    // Written back as stored, but for bfSize.
    std::vector<std::uint8_t> expected = ReadWholeFile(file, 1 << 16);
    std::fill(expected.begin() + 2, expected.begin() + 6, 0);
    EXPECT_EQ(Write(static_cast<CBmp&>(*doc.m_units.back()).m_dib), expected) << c.name;
  }
  const std::vector<std::uint8_t> bytes = doc.SaveToBytes();
  CTessaraDoc loaded;
  loaded.LoadFromBytes(bytes);
  EXPECT_TRUE(loaded.ReadProblems().empty());
  EXPECT_EQ(loaded.SaveToBytes(), bytes);

  auto unit = loaded.m_units.begin();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bitmap32 canvas(layout.width, layout.height, ColorFromPixel(layout.background));
    CDC dc(canvas);
    for (std::size_t i = 0; i < layout.rects.size(); ++i) (*unit++)->Draw(dc, {});
    ExpectGolden(canvas, kBitmaps / ("drawn-" + std::string(c.name) + ".bmp"));
  }
}

}  // namespace
}  // namespace lumetra
