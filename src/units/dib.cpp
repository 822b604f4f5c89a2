#include "units/dib.h"

#include <climits>
#include <cstring>
#include <optional>

#include "platform/archive/archive.h"
#include "platform/files.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dib_pixels.h"
#include "platform/report.h"

namespace lumetra {
namespace {

constexpr std::uint16_t kBmpSignature = 0x4D42;  // "BM"
constexpr std::size_t kMaskBytes = 12;           // red, green and blue masks of BI_BITFIELDS

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

// Where the colour table starts in the header block: after the masks, if any.
std::size_t ColourTableOffset(const BITMAPINFOHEADER& h) {
  return CDib::kInfoHeaderSize + (h.biCompression == BI_BITFIELDS ? kMaskBytes : 0);
}

std::uint64_t RowCount(const BITMAPINFOHEADER& h) {
  return std::uint64_t(h.biHeight < 0 ? -std::int64_t(h.biHeight) : std::int64_t(h.biHeight));
}

// The image size the headers announce: biSizeImage, or rows times their
// padded length. Computed wide enough that no header can make it wrap;
// unknown when a negative width leaves it undefined.
std::optional<unsigned __int128> AnnouncedImageBytes(const BITMAPINFOHEADER& h) {
  if (h.biSizeImage != 0) return h.biSizeImage;
  if (h.biWidth < 0) return std::nullopt;
  const std::uint64_t rowBytes = 4 * ((std::uint64_t(h.biBitCount) * std::uint64_t(h.biWidth) + 31) / 32);
  return (unsigned __int128)rowBytes * RowCount(h);
}

BITMAPINFOHEADER InfoHeader(const std::vector<std::uint8_t>& headerBlock) {
  BITMAPINFOHEADER h{};
  if (!headerBlock.empty()) std::memcpy(&h, headerBlock.data(), std::min(sizeof h, headerBlock.size()));
  return h;
}

// Whether the rasterizer draws the picture from these blocks in full, and it
// can be written back in the BMP layout: a plain information header, with the
// masks and the colour table inside the header block.
bool Drawable(const std::vector<std::uint8_t>& headerBlock, const std::vector<std::uint8_t>& pixels) {
  const BITMAPINFOHEADER h = InfoHeader(headerBlock);
  if (h.biSize != CDib::kInfoHeaderSize) return false;
  if (ColourTableOffset(h) + 4 * std::uint64_t(ColourTableEntries(h)) > headerBlock.size()) return false;
  if (h.biWidth > CDib::kMaxImageSide || RowCount(h) > CDib::kMaxImageSide) return false;
  return DibPixels::Open(reinterpret_cast<const BITMAPINFOHEADER*>(headerBlock.data()), headerBlock.size(),
                         pixels.data(), pixels.size())
      .has_value();
}

std::string CutShort(const char* what, unsigned __int128 announced, std::size_t left) {
  return std::string("the picture's ") + what + " are cut short: " + std::to_string(std::uint64_t(announced)) +
         " bytes announced, " + std::to_string(left) + " follow";
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

void CDib::Clear() {
  m_fileHeader = {};
  m_pHeader.clear();
  m_pColours = kInfoHeaderSize;
  m_pPixels = std::make_shared<const std::vector<std::uint8_t>>();
  m_nPixelBytes = 0;
  m_nColourCount = 0;
  m_hPal.clear();
  m_bDrawable = false;
}

// Every size the file announces is checked against what it holds before
// anything is allocated, so a hostile file costs no more than twice its own
// length (the padding of an imported file's rows is bounded by them). A
// picture is kept whole or not at all: written back half-read, it would
// announce bytes that are not there, and a document holding it would misread
// everything after it.
std::optional<std::string> CDib::Read(ByteReader& in, Source source) {
  Clear();
  std::array<std::uint8_t, kFileHeaderSize> fileHeader;
  if (in.BytesLeft() < kFileHeaderSize) return "the picture's file header is cut short";
  in.Read(fileHeader.data(), kFileHeaderSize);
  std::uint16_t type;
  std::uint32_t offBits;
  std::memcpy(&type, fileHeader.data(), 2);
  std::memcpy(&offBits, fileHeader.data() + 10, 4);
  if (type != kBmpSignature) return "the picture has no \"BM\" signature";
  if (offBits < kFileHeaderSize + kInfoHeaderSize) {
    return "the picture's rows would start at byte " + std::to_string(offBits) + ", inside its headers";
  }
  if (offBits - kFileHeaderSize > in.BytesLeft()) return CutShort("headers", offBits - kFileHeaderSize, in.BytesLeft());

  std::vector<std::uint8_t> header(offBits - kFileHeaderSize);
  in.Read(header.data(), header.size());
  const BITMAPINFOHEADER h = InfoHeader(header);
  // A smaller header does not tell the image size where we would look for it.
  if (h.biSize < kInfoHeaderSize) {
    return "the picture's information header has " + std::to_string(h.biSize) + " bytes, fewer than 40";
  }
  if (h.biSize > header.size()) {
    return "the picture's information header of " + std::to_string(h.biSize) + " bytes is longer than the " +
           std::to_string(header.size()) + " bytes before its rows";
  }
  const std::optional<unsigned __int128> imageBytes = AnnouncedImageBytes(h);
  if (!imageBytes) return "the picture has a negative width and no image size";
  if (*imageBytes > UINT32_MAX) return "the picture's image size does not fit in 32 bits";
  const std::size_t announced = std::size_t(*imageBytes);
  if (announced > in.BytesLeft() && source == Source::Document)
    return CutShort("pixel rows", announced, in.BytesLeft());

  std::vector<std::uint8_t> pixels(std::min(announced, in.BytesLeft()));
  in.Read(pixels.data(), pixels.size());
  const bool drawable = Drawable(header, pixels);
  if (pixels.size() < announced) {
    if (!drawable || announced - pixels.size() > pixels.size()) return CutShort("pixel rows", announced, pixels.size());
    pixels.resize(announced);
  }

  m_fileHeader = fileHeader;
  m_pHeader = std::move(header);
  m_pPixels = std::make_shared<const std::vector<std::uint8_t>>(std::move(pixels));
  m_nPixelBytes = std::uint32_t(m_pPixels->size());
  m_bDrawable = drawable;
  if (drawable) {
    m_pColours = ColourTableOffset(h);
    m_nColourCount = ColourTableEntries(h);
    BuildPalette();
  }
  return std::nullopt;
}

bool CDib::ReadBmp(ByteReader& in) {
  if (!Read(in, Source::File) && m_bDrawable) return true;
  ReportMessage("Read error");
  return false;
}

std::optional<std::string> CDib::ReadInline(ByteReader& in) { return Read(in, Source::Document); }

void CDib::WriteBmp(ByteWriter& out) const {
  if (IsEmpty()) {
    out.WriteU16(kBmpSignature);
    out.WriteU32(0);  // bfSize
    out.WriteU32(0);  // bfReserved1 and 2
    out.WriteU32(kFileHeaderSize + kInfoHeaderSize);
    BITMAPINFOHEADER blank{};
    blank.biSize = kInfoHeaderSize;
    out.Write(&blank, sizeof blank);
    return;
  }
  if (!m_bDrawable) {
    out.Write(m_fileHeader.data(), m_fileHeader.size());
    out.Write(m_pHeader.data(), m_pHeader.size());
    out.Write(m_pPixels->data(), m_pPixels->size());
    return;
  }
  // The information header, the masks and the colour table; any gap after them is dropped.
  const std::size_t headerBytes = m_pColours + 4 * std::size_t(m_nColourCount);
  out.WriteU16(kBmpSignature);
  out.WriteU32(0);  // bfSize
  out.WriteU32(0);  // bfReserved1 and 2
  out.WriteU32(std::uint32_t(kFileHeaderSize + headerBytes));
  out.Write(m_pHeader.data(), headerBytes);
  out.Write(m_pPixels->data(), m_nPixelBytes);
}

bool CDib::ReadBmpFile(const std::filesystem::path& path) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadWholeFile(path, kMaxFileBytes);
  } catch (const FileError&) {
    Clear();
    ReportMessage("Read error");
    return false;
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
  if (ar.IsStoring()) {
    WriteBmp(ar.Output());
  } else if (std::optional<std::string> problem = ReadInline(ar.Input())) {
    ar.NoteReadProblem(std::move(*problem));
  }
}

CSize CDib::ImageExtent() const {
  if (IsEmpty()) return {};
  BITMAPINFOHEADER h = Header();
  return {h.biWidth, std::int32_t(std::min<std::uint64_t>(RowCount(h), INT32_MAX))};
}

BITMAPINFOHEADER CDib::Header() const { return InfoHeader(m_pHeader); }

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
  if (!m_bDrawable) return false;
  const CSize extent = ImageExtent();
  const DibView view{reinterpret_cast<const BITMAPINFOHEADER*>(m_pHeader.data()), m_pHeader.size(), m_pPixels->data(),
                     m_pPixels->size()};
  DCStateGuard restore(dc);
  dc.SetStretchBltMode(COLORONCOLOR);
  dc.StretchDIBits(x, y, w, h, 0, 0, extent.cx, extent.cy, view, DIB_RGB_COLORS, SRCCOPY);
  return true;
}

}  // namespace lumetra
