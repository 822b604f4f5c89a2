#include "units/dib.h"

#include <cstdlib>
#include <cstring>

#include "platform/archive/archive.h"
#include "platform/files.h"
#include "platform/report.h"

namespace lumetra {
namespace {

constexpr std::uint16_t kBmpSignature = 0x4D42;  // "BM"

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

// biSizeImage, or rows padded to four bytes times the number of rows.
// Computed wide enough that no header can make it wrap.
unsigned __int128 ImageBytes(const BITMAPINFOHEADER& h) {
  if (h.biSizeImage != 0) return h.biSizeImage;
  std::uint64_t rowBits = std::uint64_t(h.biBitCount) * std::uint64_t(h.biWidth);
  return (unsigned __int128)(4 * ((rowBits + 31) / 32)) * std::uint64_t(std::llabs(h.biHeight));
}

}  // namespace

bool CDib::Fail() {
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

// Every size the file announces is checked against what it holds before
// anything is allocated, so a hostile file costs no more than its own length.
bool CDib::ReadBmp(ByteReader& in) {
  Clear();
  std::uint8_t fileHeader[kFileHeaderSize];
  if (in.ReadUpTo(fileHeader, kFileHeaderSize) < kFileHeaderSize) return Fail();
  std::uint16_t type;
  std::uint32_t offBits;
  std::memcpy(&type, fileHeader, 2);
  std::memcpy(&offBits, fileHeader + 10, 4);
  if (type != kBmpSignature) return Fail();
  if (offBits < kFileHeaderSize + kInfoHeaderSize || offBits - kFileHeaderSize > in.BytesLeft()) return Fail();

  m_pHeader.resize(offBits - kFileHeaderSize);
  in.Read(m_pHeader.data(), m_pHeader.size());
  BITMAPINFOHEADER h = Header();
  if (h.biSize != kInfoHeaderSize || h.biWidth < 0) return Fail();

  std::uint64_t colours = ColourTableEntries(h);
  if (kInfoHeaderSize + 4 * colours > m_pHeader.size()) return Fail();
  m_nColourCount = static_cast<std::uint32_t>(colours);
  BuildPalette();

  unsigned __int128 imageBytes = ImageBytes(h);
  if (imageBytes > in.BytesLeft()) return Fail();
  m_nPixelBytes = static_cast<std::uint32_t>(imageBytes);
  m_pPixels.resize(m_nPixelBytes);
  in.Read(m_pPixels.data(), m_nPixelBytes);
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
    Clear();
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
  return {h.biWidth, h.biHeight};
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

}  // namespace lumetra
