#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "document/document.h"
#include "platform/archive/archive.h"
#include "platform/files.h"
#include "support/bmp_builder.h"
#include "support/sample_units.h"
#include "support/temp_folder.h"

namespace lumetra {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Slice(const Bytes& b, std::size_t from, std::size_t n) {
  return Bytes(b.begin() + static_cast<std::ptrdiff_t>(from), b.begin() + static_cast<std::ptrdiff_t>(from + n));
}

std::int32_t I32At(const Bytes& b, std::size_t at) {
  std::int32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

CTessaraDoc& NewDocument(CTessaraDoc& doc) {
  doc.OnNewDocument(PanelSettings{});
  return doc;
}

ArchiveFailure LoadFailure(const Bytes& bytes) {
  CTessaraDoc doc;
  try {
    doc.LoadFromBytes(bytes);
  } catch (const ArchiveError& e) {
    return e.failure();
  }
  ADD_FAILURE() << "loaded";
  return ArchiveFailure::BadClass;
}

// A change made as the editor makes it.
void AddLine(CTessaraDoc& doc) {
  doc.History().Begin(StepKind::kCreate);
  doc.History().Append(std::make_unique<CDLine>());
  doc.History().Commit();
}

TEST(DocumentFile, AnEmptyDocumentIs183BytesEndingInACountOfZero) {
  CTessaraDoc doc;
  Bytes bytes = NewDocument(doc).SaveToBytes();
  ASSERT_EQ(bytes.size(), 183u);
  EXPECT_EQ(I32At(bytes, 0), 384);  // canvas size as last shown
  EXPECT_EQ(I32At(bytes, 4), 64);
  EXPECT_EQ(I32At(bytes, 16), 8);   // width words
  EXPECT_EQ(I32At(bytes, 20), 1);   // height words
  EXPECT_EQ(I32At(bytes, 24), 10);  // frames
  EXPECT_EQ(I32At(bytes, 33), 1);   // play-mode row count
  EXPECT_EQ(Slice(bytes, 181, 2), (Bytes{0, 0}));
}

TEST(DocumentFile, ClockOptionsSitInTheirByteOrder) {
  CTessaraDoc doc;
  NewDocument(doc);
  doc.m_nClockStyle = 1;
  doc.m_nClockRow = 2;
  doc.m_nClockFrame = 3;
  doc.m_nClockAlign = 4;
  doc.m_nClockColour = 5;
  EXPECT_EQ(Slice(doc.SaveToBytes(), 28, 5), (Bytes{1, 2, 3, 4, 5}));
}

TEST(DocumentFile, OneRectangleIsStoredByteForByte) {
  CTessaraDoc doc;
  NewDocument(doc);
  auto rect = std::make_unique<CRectangle>();
  rect->m_ptFirst = {10, 20};
  rect->m_ptSecond = {50, 40};
  doc.m_units.push_back(std::move(rect));
  Bytes bytes = doc.SaveToBytes();
  Bytes expected{0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x0A, 0x00, 'C', 'R', 'e',  'c', 't',  'a', 'n',  'g', 'l', 'e',
                 0xFF, 0,    0,    0,    0,    0,    0,    0,    1,   0,   0,    0,   0x0D, 0,   0,    0,   1,   0,
                 0,    0,    0,    0,    0,    0,    0x0A, 0,    0,   0,   0x14, 0,   0,    0,   0x32, 0,   0,   0,
                 0x28, 0,    0,    0,    1,    0,    0,    0,    4,   0,   0,    0,   0xFF, 0,   0,    0};
  ASSERT_EQ(expected.size(), 70u);
  EXPECT_EQ(Slice(bytes, 181, bytes.size() - 181), expected);
}

TEST(DocumentFile, LaterUnitsOfAClassCarryTheShortClassTag) {
  CTessaraDoc doc;
  NewDocument(doc);
  doc.m_units.push_back(std::make_unique<CRectangle>());
  doc.m_units.push_back(std::make_unique<CRectangle>());
  doc.m_units.push_back(std::make_unique<CDLine>());
  Bytes bytes = doc.SaveToBytes();
  std::size_t first = 183, second = first + 68, third = second + 54;  // record + 52 fields; tag + 52 fields
  EXPECT_EQ(Slice(bytes, first, 2), (Bytes{0xFF, 0xFF}));
  EXPECT_EQ(Slice(bytes, second, 2), (Bytes{0x01, 0x80}));
  EXPECT_EQ(Slice(bytes, third, 8), (Bytes{0xFF, 0xFF, 1, 0, 6, 0, 'C', 'D'}));
  EXPECT_EQ(bytes.size(), third + 12 + 40);
}

TEST(DocumentFile, EveryClassRoundTripsThroughADocument) {
  CTessaraDoc doc;
  NewDocument(doc);
  doc.m_units = test::OneUnitOfEveryClass();
  doc.m_units.push_back(std::make_unique<CRectangle>());  // a second of a class
  doc.m_playMode.ApplyRowRule(3, true);
  doc.m_playMode.m_anDelay[2] = 77;
  doc.m_nFrames = 4;
  Bytes bytes = doc.SaveToBytes();

  CTessaraDoc loaded;
  loaded.LoadFromBytes(bytes);
  ASSERT_EQ(loaded.m_units.size(), 15u);
  for (std::size_t i = 0; i < doc.m_units.size(); ++i) {
    EXPECT_EQ(&loaded.m_units[i]->GetRuntimeClass(), &doc.m_units[i]->GetRuntimeClass());
  }
  EXPECT_EQ(loaded.m_nFrames, 4);
  EXPECT_EQ(loaded.m_playMode.m_nRowCount, 3);
  EXPECT_EQ(loaded.m_playMode.m_anDelay[2], 77);
  EXPECT_EQ(loaded.SaveToBytes(), bytes);
}

TEST(DocumentFile, TheBmpImageSitsInlineAndLoadingGoesOnAfterIt) {
  CTessaraDoc doc;
  NewDocument(doc);
  auto bmp = std::make_unique<CBmp>();
  Bytes image = test::MakeBmp({.width = 2, .height = 2, .bitCount = 24, .pixelBytes = 16});
  ByteReader in(image);
  ASSERT_TRUE(bmp->m_dib.ReadBmp(in));
  doc.m_units.push_back(std::move(bmp));
  doc.m_units.push_back(std::make_unique<CDLine>());
  Bytes bytes = doc.SaveToBytes();

  std::size_t bmpAt = 183 + 2 + 2 + 2 + 4 + 40;
  EXPECT_EQ(Slice(bytes, bmpAt, 6), (Bytes{'B', 'M', 0, 0, 0, 0}));  // bfSize 0
  EXPECT_EQ(Slice(bytes, bmpAt + 54 + 16, 2), (Bytes{0xFF, 0xFF}));  // the line's class record

  CTessaraDoc loaded;
  loaded.LoadFromBytes(bytes);
  ASSERT_EQ(loaded.m_units.size(), 2u);
  EXPECT_EQ(static_cast<CBmp&>(*loaded.m_units[0]).m_dib.Pixels(), Slice(image, 54, 16));
}

// The unit is named for whoever reports it; the editor's open shows "Read error".
TEST(DocumentFile, AnImageThatCannotBeReadIsListedWithItsUnitAndLoadingGoesOn) {
  CTessaraDoc doc;
  NewDocument(doc);
  doc.m_units.push_back(std::make_unique<CDLine>());
  doc.m_units.push_back(std::make_unique<CBmp>());
  doc.m_units.push_back(std::make_unique<CDLine>());
  Bytes bytes = doc.SaveToBytes();
  std::size_t bmpAt = 183 + 52 + 2 + 2 + 2 + 4 + 40;  // after the first line
  bytes[bmpAt + 14] = 12;                             // a header too small to tell the image size
  test::CollectMessages messages;
  CTessaraDoc loaded;
  loaded.LoadFromBytes(bytes);
  EXPECT_TRUE(messages.messages.empty());
  ASSERT_EQ(loaded.m_units.size(), 3u);
  ASSERT_EQ(loaded.ReadProblems().size(), 1u);
  EXPECT_EQ(loaded.ReadProblems()[0].unit, 1u);
  EXPECT_NE(loaded.ReadProblems()[0].reason.find("information header has 12 bytes"), std::string::npos);

  test::TempFolder folder("doc");
  WriteFileAtomically(folder / "broken.tz", bytes);
  loaded.OnOpenDocument(folder / "broken.tz", PanelSettings{});
  EXPECT_EQ(messages.messages, std::vector<std::string>{"Read error"});
  EXPECT_EQ(loaded.ReadProblems().size(), 1u);
}

TEST(DocumentFile, AUnitReferredToTwiceIsRefused) {
  CTessaraDoc doc;
  NewDocument(doc);
  doc.m_units.push_back(std::make_unique<CDLine>());
  Bytes bytes = doc.SaveToBytes();
  bytes[181] = 2;                           // two units ...
  bytes.insert(bytes.end(), {0x02, 0x00});  // ... the second a back reference to object 2
  EXPECT_EQ(LoadFailure(bytes), ArchiveFailure::BadIndex);
  bytes.back() = 0x00;
  bytes[bytes.size() - 2] = 0x00;  // a null entry instead
  EXPECT_EQ(LoadFailure(bytes), ArchiveFailure::BadIndex);
}

// Images are read outside the archive's encoding (a broken one is reported and
// loading goes on), so they are left out here.
TEST(DocumentFile, EveryTruncationOutsideImagesIsAnEndOfFile) {
  CTessaraDoc doc;
  NewDocument(doc);
  doc.m_units = test::OneUnitOfEveryClass();
  std::erase_if(doc.m_units, [](const auto& u) { return dynamic_cast<CBmp*>(u.get()) != nullptr; });
  Bytes bytes = doc.SaveToBytes();
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    Bytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
    CTessaraDoc loaded;
    try {
      loaded.LoadFromBytes(cut);
      ADD_FAILURE() << "loaded a file cut at " << n;
    } catch (const ArchiveError& e) {
      EXPECT_EQ(e.failure(), ArchiveFailure::EndOfFile) << n << ": " << e.what();
    } catch (const DocumentError& e) {
      ADD_FAILURE() << n << ": " << e.what();
    }
  }
}

TEST(DocumentFile, AUnitCountBeyondTheFileIsRefusedBeforeReading) {
  CTessaraDoc doc;
  Bytes bytes = NewDocument(doc).SaveToBytes();
  bytes[181] = 0xFF;
  bytes[182] = 0xFF;
  bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF, 0x7F});
  EXPECT_EQ(LoadFailure(bytes), ArchiveFailure::EndOfFile);
}

TEST(DocumentFile, APanelSizeOutOfRangeIsRefused) {
  CTessaraDoc doc;
  Bytes good = NewDocument(doc).SaveToBytes();
  for (auto [at, value] : {std::pair{16, 0}, {16, 65}, {20, 17}, {24, 0}, {24, 513}, {24, 65 /* 65 x 8 > 512 */}}) {
    Bytes bytes = good;
    std::memcpy(bytes.data() + at, &value, 4);
    CTessaraDoc loaded;
    EXPECT_THROW(loaded.LoadFromBytes(bytes), DocumentError) << at << "=" << value;
  }
}

TEST(DocumentFile, NewDocumentsTakeTheRunningPanel) {
  CTessaraDoc doc;
  EXPECT_EQ(doc.m_nFrames, 15);  // never seen: new and opened documents replace it
  doc.OnNewDocument(PanelSettings{});
  EXPECT_EQ(doc.CanvasPixels(), (CSize{128, 160}));
  EXPECT_EQ(doc.m_nColourSet, 0);
  doc.OnNewDocument(PanelSettings{4, 2, 3, 2});
  EXPECT_EQ(doc.CanvasPixels(), (CSize{64, 96}));
  EXPECT_EQ(doc.m_nColourSet, 2);
}

TEST(DocumentFile, OpeningTakesGeometryFromTheFileAndColoursFromTheRunningPanel) {
  test::TempFolder folder("doc");
  CTessaraDoc doc;
  doc.OnNewDocument(PanelSettings{16, 2, 4, 1});
  AddLine(doc);
  doc.OnSaveDocument(folder / "a.tz");
  EXPECT_FALSE(doc.IsModified());

  CTessaraDoc opened;
  opened.OnOpenDocument(folder / "a.tz", PanelSettings{8, 1, 10, 2});
  EXPECT_EQ(opened.m_nWidthWords, 16);
  EXPECT_EQ(opened.m_nHeightWords, 2);
  EXPECT_EQ(opened.m_nFrames, 4);
  EXPECT_EQ(opened.m_nColourSet, 2);
  EXPECT_EQ(opened.GetTitle(), "a.tz");
}

TEST(DocumentFile, AFailedOpenNamesTheFileAndChangesNothing) {
  test::TempFolder folder("doc");
  CTessaraDoc doc;
  NewDocument(doc);
  doc.m_units.push_back(std::make_unique<CDLine>());
  Bytes bytes = doc.SaveToBytes();
  bytes.resize(bytes.size() - 3);
  WriteFileAtomically(folder / "cut.tz", bytes);

  CTessaraDoc target;
  target.OnNewDocument(PanelSettings{2, 2, 2, 1});
  target.m_units.push_back(std::make_unique<CRectangle>());
  try {
    target.OnOpenDocument(folder / "cut.tz", PanelSettings{});
    FAIL();
  } catch (const DocumentError& e) {
    std::string message = e.what();
    EXPECT_NE(message.find("cut.tz"), std::string::npos) << message;
    EXPECT_NE(message.find("end of file"), std::string::npos) << message;
  }
  EXPECT_EQ(target.m_nWidthWords, 2);
  EXPECT_EQ(target.m_units.size(), 1u);
  EXPECT_THROW(target.OnOpenDocument(folder / "missing.tz", PanelSettings{}), DocumentError);
}

TEST(DocumentFile, AFailedSaveKeepsTheOldFileAndTheModifiedFlag) {
  test::TempFolder folder("doc");
  CTessaraDoc doc;
  NewDocument(doc);
  doc.OnSaveDocument(folder / "keep.tz");
  Bytes before = ReadWholeFile(folder / "keep.tz", 1 << 20);

  AddLine(doc);
  std::filesystem::create_directory(folder / "blocked.tz");  // a folder where the file should go
  EXPECT_THROW(doc.OnSaveDocument(folder / "blocked.tz"), DocumentError);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(ReadWholeFile(folder / "keep.tz", 1 << 20), before);
  EXPECT_EQ(
      std::distance(std::filesystem::directory_iterator(folder / "blocked.tz"), std::filesystem::directory_iterator{}),
      0);
}

}  // namespace
}  // namespace lumetra
