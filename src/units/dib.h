#pragma once
// CDib holds a BMP image exactly as imported: the header block (information
// header, colour table and whatever lay before the pixel rows), the pixel rows,
// and a palette built from the colour table. It reads and writes the BMP file
// layout, both as files and inline in documents.

#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/gdi/bitmap_info.h"
#include "platform/types.h"

namespace lumetra {

class ByteReader;
class ByteWriter;
class CArchive;

class CDib {
 public:
  static constexpr std::uint32_t kFileHeaderSize = 14;
  static constexpr std::uint32_t kInfoHeaderSize = 40;
  static constexpr std::size_t kMaxFileBytes = 256u * 1024 * 1024;

  // Reads a BMP image from the reader's position. On failure reports "Read
  // error" and returns false; what was read before the failure stays.
  bool ReadBmp(ByteReader& in);
  // Writes the BMP layout with bfSize 0 and the colour table right after the header.
  void WriteBmp(ByteWriter& out) const;

  bool ReadBmpFile(const std::filesystem::path& path);
  // Reports "write error" and returns false when the file cannot be written.
  bool WriteBmpFile(const std::filesystem::path& path) const;

  // The image sits inline in the document, right where the archive stands.
  void Serialize(CArchive& ar);

  bool IsEmpty() const { return m_pHeader.empty(); }
  // (biWidth, biHeight), or (0, 0) when empty.
  CSize ImageExtent() const;
  BITMAPINFOHEADER Header() const;
  const std::vector<std::uint8_t>& HeaderBlock() const { return m_pHeader; }
  const std::vector<std::uint8_t>& Pixels() const { return m_pPixels; }
  std::uint32_t ColourCount() const { return m_nColourCount; }
  // The colour table: m_nColourCount entries of blue, green, red, 0.
  const std::uint8_t* Colours() const { return m_pHeader.data() + m_pColours; }
  const std::vector<PALETTEENTRY>& Palette() const { return m_hPal; }

  // Builds the palette from the colour table (nothing when there is none).
  void BuildPalette();
  void Clear();

 private:
  bool Fail();

  std::vector<std::uint8_t> m_pHeader;       // information header, colour table, any gap before the pixels
  std::size_t m_pColours = kInfoHeaderSize;  // offset of the colour table in the header block
  std::vector<std::uint8_t> m_pPixels;
  std::uint32_t m_nPixelBytes = 0;
  std::uint32_t m_nColourCount = 0;
  std::vector<PALETTEENTRY> m_hPal;
};

}  // namespace lumetra
