#include "render/picture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "document/document.h"
#include "platform/files.h"
#include "platform/gdi/bmp_file.h"
#include "platform/local_time.h"
#include "support/temp_folder.h"
#include "units/rectangle.h"
#include "units/timer.h"

namespace lumetra {
namespace {

constexpr std::uint32_t kRedPixel = PixelFromColor(kRed);

// A document of 8 x 1 words with 10 frames: a 128 x 160 canvas.
std::unique_ptr<CTessaraDoc> PanelDoc() {
  auto doc = std::make_unique<CTessaraDoc>();
  doc->m_nWidthWords = 8;
  doc->m_nHeightWords = 1;
  doc->m_nFrames = 10;
  return doc;
}

CUnit& AddBox(CTessaraDoc& doc, CRect box) {
  auto unit = std::make_unique<CRectangle>();
  unit->m_nBrushStyle = BS_SOLID;  // red outline, red fill
  unit->m_ptFirst = {box.left, box.top};
  unit->m_ptSecond = {box.right, box.bottom};
  doc.m_units.push_back(std::move(unit));
  return *doc.m_units.back();
}

// The red pixels of the picture, as the rectangle that holds them (empty for none).
CRect RedArea(const Bitmap32& picture, CRect within) {
  CRect found{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int y = within.top; y < within.bottom; ++y) {
    for (int x = within.left; x < within.right; ++x) {
      if (picture.At(x, y) != kRedPixel) continue;
      found = {std::min(found.left, x), std::min(found.top, y), std::max(found.right, x + 1),
               std::max(found.bottom, y + 1)};
    }
  }
  return found.left == INT32_MAX ? CRect{} : found;
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}

TEST(PictureStrip, FramesStandSideBySideAndAUnitInTheSecondFrameLandsInColumns128To255) {
  auto doc = PanelDoc();
  AddBox(*doc, {10, 18, 30, 28});  // canvas rows 16-31 are frame 2
  auto strip = RenderPictureStrip(*doc, kNoClocks);
  ASSERT_TRUE(strip);
  EXPECT_EQ(strip->Width(), 1280);
  EXPECT_EQ(strip->Height(), 16);
  EXPECT_EQ(RedArea(*strip, {0, 0, 1280, 16}), (CRect{138, 2, 158, 12}));
}

TEST(PictureStrip, UnitsAreSplitAtFrameBoundariesAndCutAtThePanelEdges) {
  auto doc = PanelDoc();
  AddBox(*doc, {120, 10, 140, 22});  // across frames 1 and 2, past the right edge
  AddBox(*doc, {0, 155, 4, 170});    // past the bottom of the last frame
  auto strip = RenderPictureStrip(*doc, kNoClocks);
  ASSERT_TRUE(strip);
  EXPECT_EQ(RedArea(*strip, {0, 0, 128, 16}), (CRect{120, 10, 128, 16}));
  EXPECT_EQ(RedArea(*strip, {128, 0, 256, 16}), (CRect{248, 0, 256, 6}));
  EXPECT_EQ(RedArea(*strip, {256, 0, 1152, 16}), CRect{});  // nothing wraps into other frames
  EXPECT_EQ(RedArea(*strip, {1152, 0, 1280, 16}), (CRect{1152, 11, 1156, 16}));
}

TEST(PictureStrip, TheWindowOriginShiftsUnitsBeforeFramesAreCut) {
  auto doc = PanelDoc();
  AddBox(*doc, {10, 18, 30, 28});
  auto strip = RenderPictureStrip(*doc, kNoClocks, {5, 8});
  ASSERT_TRUE(strip);
  EXPECT_EQ(RedArea(*strip, {0, 0, 128, 16}), (CRect{5, 10, 25, 16}));
  EXPECT_EQ(RedArea(*strip, {128, 0, 1280, 16}), (CRect{133, 0, 153, 4}));
}

TEST(PictureStrip, ClocksAreLeftOutOfThePictureAndDrawnLastInThePreview) {
  const LocalTime now{2024, 5, 6, 1, 7, 8, 0};
  auto doc = PanelDoc();
  doc->m_nClockStyle = 1;
  doc->m_nClockColour = 2;  // green
  auto clock = std::make_unique<CTimer>();
  clock->m_ptFirst = {0, 33};
  doc->m_units.push_back(std::move(clock));
  AddBox(*doc, {0, 32, 128, 64});  // painted over the clock, yet the preview shows the clock on top

  auto picture = RenderPictureStrip(*doc, kNoClocks);
  auto preview = RenderPictureStrip(*doc, now);
  ASSERT_TRUE(picture && preview);
  const std::uint32_t green = PixelFromColor(0x0000FF00);
  int greenInPicture = 0, greenInPreview = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 1280; ++x) {
      greenInPicture += picture->At(x, y) == green;
      greenInPreview += preview->At(x, y) == green;
    }
  }
  EXPECT_EQ(greenInPicture, 0);
  EXPECT_GT(greenInPreview, 20);
  EXPECT_EQ(doc->m_nClockFrame, 0);  // drawing the clock writes nothing into the document
}

TEST(PictureDib, TwentyFourBitsBottomUpWithPaddedRowsAndNoColourTable) {
  Bitmap32 picture(3, 2);
  picture.At(0, 0) = 0x112233;  // top left
  picture.At(2, 1) = 0xAABBCC;  // bottom right
  PackedDib dib = PackDib24(picture);
  ASSERT_EQ(dib.size(), 40u + 12u * 2u);  // 9 bytes of pixels padded to 12
  EXPECT_EQ(U32(dib, 8), 2u);             // positive: bottom-up
  EXPECT_EQ(dib[14], 24);
  EXPECT_EQ(U32(dib, 20), 24u);
  EXPECT_EQ(U32(dib, 32), 0u);  // no colour table
  // The bottom row comes first; each pixel is blue, green, red.
  const std::uint8_t* bottom = dib.data() + 40;
  const std::uint8_t* top = bottom + 12;
  EXPECT_EQ(std::vector<std::uint8_t>(bottom + 6, bottom + 9), (std::vector<std::uint8_t>{0xCC, 0xBB, 0xAA}));
  EXPECT_EQ(std::vector<std::uint8_t>(top, top + 3), (std::vector<std::uint8_t>{0x33, 0x22, 0x11}));
}

TEST(PictureBmp, TheFileHeaderPrecedesTheDibWithOffset54AndExactSizes) {
  auto doc = PanelDoc();
  AddBox(*doc, {10, 18, 30, 28});
  auto dib = RenderPictureDIB(*doc);
  ASSERT_TRUE(dib);
  auto file = WriteDIB(*dib);
  ASSERT_TRUE(file);
  const std::size_t image = 1280 * 3 * 16;
  ASSERT_EQ(file->size(), 54 + image);
  EXPECT_EQ((*file)[0], 'B');
  EXPECT_EQ((*file)[1], 'M');
  EXPECT_EQ(U32(*file, 2), 54 + image);
  EXPECT_EQ(U32(*file, 6), 0u);
  EXPECT_EQ(U32(*file, 10), 54u);
  EXPECT_EQ(U32(*file, 14 + 20), image);
  EXPECT_TRUE(std::equal(dib->begin(), dib->end(), file->begin() + 14));
  // Strip row 2, column 138 is the first red pixel; rows are stored bottom-up.
  const std::size_t at = 54 + (15 - 2) * 1280 * 3 + 138 * 3;
  EXPECT_EQ((*file)[at + 2], 0xFF);
}

TEST(PictureBmp, DibsThatDoNotHoldWhatTheirHeaderPromisesAreRefused) {
  Bitmap32 picture(5, 4);
  PackedDib dib = PackDib24(picture);
  EXPECT_FALSE(WriteDIB(std::span(dib).first(dib.size() - 1)));
  EXPECT_FALSE(WriteDIB(std::span(dib).first(39)));

  // An 8-bit picture with a 256-entry table: the pixels start after it.
  PackedDib indexed(40 + 1024 + 8 * 2, 0);
  std::memcpy(indexed.data(), dib.data(), 40);
  indexed[4] = 5, indexed[8] = 2, indexed[14] = 8;
  auto file = WriteDIB(indexed);
  ASSERT_TRUE(file);
  EXPECT_EQ(U32(*file, 10), 54u + 1024u);
  EXPECT_EQ(file->size(), 54u + 1024u + 16u);

  // A top-down picture has as many rows as its height says, not a negative number.
  std::memcpy(indexed.data() + 8, "\xFE\xFF\xFF\xFF", 4);
  file = WriteDIB(indexed);
  ASSERT_TRUE(file);
  EXPECT_EQ(U32(*file, 14 + 20), 16u);
}

TEST(PictureBmp, WritePictureReportsAPictureThatCannotBeMadeAndKeepsTheOldFile) {
  test::TempFolder folder("picture");
  auto doc = PanelDoc();
  AddBox(*doc, {0, 0, 5, 5});
  const auto path = folder / "out.bmp";
  ASSERT_TRUE(WritePicture(*doc, path));
  const std::string written = test::ReadText(path);
  EXPECT_EQ(written.size(), 54u + 1280u * 3u * 16u);

  doc->m_nFrames = 0;
  EXPECT_FALSE(WritePicture(*doc, path));
  doc->m_nFrames = 9;
  doc->m_nWidthWords = 64;  // 576 words of strip: more than a panel takes
  EXPECT_FALSE(WritePicture(*doc, path));
  EXPECT_EQ(test::ReadText(path), written);
  doc->m_nWidthWords = 8;
  EXPECT_THROW(WritePicture(*doc, folder / "missing" / "out.bmp"), FileError);
}

TEST(TempFileName, IsCreatedPrivateAndUniqueInTmpdirAndFailsClearlyWithoutIt) {
  test::TempFolder folder("tmpdir");
  const char* saved = std::getenv("TMPDIR");
  const std::string previous = saved ? saved : "";
  ::setenv("TMPDIR", folder.path().c_str(), 1);
  const auto first = MakeTempFileName();
  const auto second = MakeTempFileName();
  EXPECT_NE(first, second);
  EXPECT_EQ(first.parent_path(), folder.path());
  EXPECT_EQ(first.filename().string().rfind("~Lumetra", 0), 0u);
  struct stat info {};
  ASSERT_EQ(::stat(first.c_str(), &info), 0);
  EXPECT_EQ(info.st_size, 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  ::setenv("TMPDIR", (folder / "gone").c_str(), 1);
  try {
    MakeTempFileName();
    ADD_FAILURE() << "no error for a missing folder";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("gone"), std::string::npos) << e.what();
  }
  if (saved) {
    ::setenv("TMPDIR", previous.c_str(), 1);
  } else {
    ::unsetenv("TMPDIR");
  }
}

}  // namespace
}  // namespace lumetra
