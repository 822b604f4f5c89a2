#include "units/dib.h"

#include <climits>
#include <cstring>
#include <optional>

#include "platform/archive/archive.h"
#include "platform/files.h"
#include "platform/gdi/dc.h"
#include "platform/report.h"

namespace lumetra {
namespace {

constexpr std::uint16_t kBmpSignature = 0x4D42;  // "BM"
constexpr std::uint32_t kUncompressed = 0;       // BI_RGB

// Colour-table entries: biClrUsed, or what the bit depth implies.
std::uint32_t ColourTableEntries(const BITMAPINFOHEADER& h) {
  if (h.biClrUsed != 0) return h.biClrUsed;
  switch (h.biBitCount) {
    case 1:
      return 2;
    case 4:
      return 16;
    case 8:
      return 256;
    default:
      return 0;
  }
}

std::uint64_t RowCount(const BITMAPINFOHEADER& h) {
  return std::uint64_t(h.biHeight < 0 ? -std::int64_t(h.biHeight) : std::int64_t(h.biHeight));
}

// One pixel row padded to four bytes, for a width that is not negative.
std::uint64_t RowBytes(const BITMAPINFOHEADER& h) {
  return 4 * ((std::uint64_t(h.biBitCount) * std::uint64_t(h.biWidth) + 31) / 32);
}

// biSizeImage, or rows times their padded length. Computed wide enough that no
// header can make it wrap; unknown when a negative width leaves it undefined.
std::optional<unsigned __int128> ImageBytes(const BITMAPINFOHEADER& h) {
  if (h.biSizeImage != 0) return h.biSizeImage;
  if (h.biWidth < 0) return std::nullopt;
  return (unsigned __int128)RowBytes(h) * RowCount(h);
}

// Whether the rasterizer can draw the image from these blocks in full. An
// image without pixels draws nothing whatever its format; its header is kept
// so that it is written back as it came.
bool CanDraw(const BITMAPINFOHEADER& h, std::size_t headerBytes, std::size_t pixelBytes) {
  if (h.biWidth < 0 || h.biWidth > CDib::kMaxImageSide || RowCount(h) > CDib::kMaxImageSide) return false;
  if (CDib::kInfoHeaderSize + 4 * std::uint64_t(ColourTableEntries(h)) > headerBytes) return false;
  if (h.biWidth == 0 || h.biHeight == 0) return true;
  if (h.biCompression != kUncompressed) return false;
  switch (h.biBitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return false;
  }
  return RowBytes(h) * RowCount(h) <= pixelBytes;
}

// Ten fixed colours at each end around the 6 x 6 x 6 colour cube and a grey ramp.
std::array<PALETTEENTRY, 256> MakeHalftonePalette() {
  static constexpr std::uint8_t kFirst[10][3] = {{0, 0, 0},       {128, 0, 0},    {0, 128, 0},   {128, 128, 0},
                                                 {0, 0, 128},     {128, 0, 128},  {0, 128, 128}, {192, 192, 192},
                                                 {192, 220, 192}, {166, 202, 240}};
  static constexpr std::uint8_t kLast[10][3] = {{255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},
                                                {0, 255, 0},     {255, 255, 0},   {0, 0, 255},     {255, 0, 255},
                                                {0, 255, 255},   {255, 255, 255}};
  std::array<PALETTEENTRY, 256> p{};
  std::size_t i = 0;
  for (const auto& c : kFirst) p[i++] = {c[0], c[1], c[2], 0};
  for (int r = 0; r < 6; ++r) {
    for (int g = 0; g < 6; ++g) {
      for (int b = 0; b < 6; ++b) p[i++] = {std::uint8_t(51 * r), std::uint8_t(51 * g), std::uint8_t(51 * b), 0};
    }
  }
  for (int k = 1; k <= 20; ++k) p[i++] = {std::uint8_t(12 * k), std::uint8_t(12 * k), std::uint8_t(12 * k), 0};
  for (const auto& c : kLast) p[i++] = {c[0], c[1], c[2], 0};
  return p;
}

}  // namespace

bool CDib::Fail() {
  Clear();
  ReportMessage("Read error");
  return false;
}

void CDib::Clear() {
  m_pHeader.clear();
  m_pColours = kInfoHeaderSize;
  m_pPixels.clear();
  m_nPixelBytes = 0;
  m_nColourCount = 0;
  m_hPal.clear();
}

// A half-read image is not kept: it cannot be drawn, and written back it would
// announce pixels that are not there, so a document holding it would misread
// everything after it.
bool CDib::ReadBmp(ByteReader& in) {
  Clear();
  return ReadImage(in) || Fail();
}

// Every size the file announces is checked against what it holds before
// anything is allocated, so a hostile file costs no more than its own length.
bool CDib::ReadImage(ByteReader& in) {
  std::uint8_t fileHeader[kFileHeaderSize];
  if (in.ReadUpTo(fileHeader, kFileHeaderSize) < kFileHeaderSize) return false;
  std::uint16_t type;
  std::uint32_t offBits;
  std::memcpy(&type, fileHeader, 2);
  std::memcpy(&offBits, fileHeader + 10, 4);
  if (type != kBmpSignature) return false;
  if (offBits < kFileHeaderSize + kInfoHeaderSize || offBits - kFileHeaderSize > in.BytesLeft()) return false;

  m_pHeader.resize(offBits - kFileHeaderSize);
  in.Read(m_pHeader.data(), m_pHeader.size());
  const BITMAPINFOHEADER h = Header();
  if (h.biSize != kInfoHeaderSize) return false;

  // The pixel block is taken even when the image turns out unusable, so that
  // the reader stands after its last byte.
  std::optional<unsigned __int128> imageBytes = ImageBytes(h);
  if (!imageBytes || *imageBytes > in.BytesLeft() || *imageBytes > UINT32_MAX) return false;
  m_pPixels.resize(std::size_t(*imageBytes));
  in.Read(m_pPixels.data(), m_pPixels.size());
  if (!CanDraw(h, m_pHeader.size(), m_pPixels.size())) return false;

  m_nPixelBytes = std::uint32_t(m_pPixels.size());
  m_nColourCount = ColourTableEntries(h);
  BuildPalette();
  return true;
}

// An image that was never read is written as a 0 x 0 image, which reads back empty-handed but valid.
void CDib::WriteBmp(ByteWriter& out) const {
  std::uint32_t tableBytes = 4 * m_nColourCount;
  out.WriteU16(kBmpSignature);
  out.WriteU32(0);  // bfSize
  out.WriteU16(0);
  out.WriteU16(0);
  out.WriteU32(kFileHeaderSize + kInfoHeaderSize + tableBytes);
  if (IsEmpty()) {
    BITMAPINFOHEADER blank{};
    blank.biSize = kInfoHeaderSize;
    out.Write(&blank, sizeof blank);
    return;
  }
  out.Write(m_pHeader.data(), kInfoHeaderSize + tableBytes);
  out.Write(m_pPixels.data(), m_nPixelBytes);
}

bool CDib::ReadBmpFile(const std::filesystem::path& path) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadWholeFile(path, kMaxFileBytes);
  } catch (const FileError&) {
    return Fail();
  }
  ByteReader in(bytes);
  return ReadBmp(in);
}

bool CDib::WriteBmpFile(const std::filesystem::path& path) const {
  ByteWriter out;
  WriteBmp(out);
  try {
    WriteFileAtomically(path, out.Bytes());
  } catch (const FileError&) {
    ReportMessage("write error");
    return false;
  }
  return true;
}

void CDib::Serialize(CArchive& ar) {
  if (ar.IsLoading()) {
    ReadBmp(ar.Input());
  } else {
    WriteBmp(ar.Output());
  }
}

CSize CDib::ImageExtent() const {
  if (IsEmpty()) return {};
  BITMAPINFOHEADER h = Header();
  return {h.biWidth, std::int32_t(std::min<std::uint64_t>(RowCount(h), INT32_MAX))};
}

BITMAPINFOHEADER CDib::Header() const {
  BITMAPINFOHEADER h{};
  std::memcpy(&h, m_pHeader.data(), std::min(sizeof h, m_pHeader.size()));
  return h;
}

void CDib::BuildPalette() {
  m_hPal.clear();
  const std::uint8_t* table = Colours();
  for (std::uint32_t i = 0; i < m_nColourCount; ++i) {
    m_hPal.push_back({table[4 * i + 2], table[4 * i + 1], table[4 * i], 0});
  }
}

const std::array<PALETTEENTRY, 256>& CDib::HalftonePalette() {
  static const std::array<PALETTEENTRY, 256> palette = MakeHalftonePalette();
  return palette;
}

bool CDib::EnsureHalftonePalette() {
  if (m_nColourCount != 0) return false;
  m_hPal.assign(HalftonePalette().begin(), HalftonePalette().end());
  return true;
}

// The source is the whole picture with its row count taken positive: source
// rows count up from the picture's bottom, so a top-down picture given with
// its negative height would be looked for outside itself and not drawn.
bool CDib::DrawStretched(CDC& dc, int x, int y, int w, int h) const {
  if (IsEmpty()) return false;
  const CSize extent = ImageExtent();
  const DibView view{reinterpret_cast<const BITMAPINFOHEADER*>(m_pHeader.data()), m_pHeader.size(), m_pPixels.data(),
                     m_pPixels.size()};
  DCStateGuard restore(dc);
  dc.SetStretchBltMode(COLORONCOLOR);
  dc.StretchDIBits(x, y, w, h, 0, 0, extent.cx, extent.cy, view, DIB_RGB_COLORS, SRCCOPY);
  return true;
}

}  // namespace lumetra
