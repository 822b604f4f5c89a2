#pragma once
// CDib holds a BMP image exactly as imported: the header block (information
// header, colour table and whatever lay before the pixel rows), the pixel rows,
// and a palette built from the colour table. It reads and writes the BMP file
// layout, both as files and inline in documents, and draws the image stretched.

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/gdi/bitmap_info.h"
#include "platform/types.h"

namespace lumetra {

class ByteReader;
class ByteWriter;
class CArchive;
class CDC;

class CDib {
 public:
  static constexpr std::uint32_t kFileHeaderSize = 14;
  static constexpr std::uint32_t kInfoHeaderSize = 40;
  static constexpr std::size_t kMaxFileBytes = 256u * 1024 * 1024;
  // Wider or taller pictures are refused: drawing decodes whole source rows,
  // and no panel comes near this size.
  static constexpr std::int32_t kMaxImageSide = 1 << 16;

  // Reads a BMP image from the reader's position. Only images that can be
  // drawn are kept: uncompressed, 1, 4, 8, 16, 24 or 32 bits, colour table
  // and pixel rows complete. Anything else reports "Read error", leaves the
  // object empty and returns false; an image whose extent is known is then
  // still stepped over, so a document goes on reading after it.
  bool ReadBmp(ByteReader& in);
  // Writes the BMP layout with bfSize 0 and the colour table right after the header.
  void WriteBmp(ByteWriter& out) const;

  bool ReadBmpFile(const std::filesystem::path& path);
  // Reports "write error" and returns false when the file cannot be written.
  bool WriteBmpFile(const std::filesystem::path& path) const;

  // The image sits inline in the document, right where the archive stands.
  void Serialize(CArchive& ar);

  bool IsEmpty() const { return m_pHeader.empty(); }
  // The picture's width and height in pixels, whichever way its rows are
  // stored; (0, 0) when empty.
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
  // An image without a colour table gets the halftone palette, replacing any
  // earlier one; returns whether it did. The canvas is true colour, so
  // palettes are kept as data and never realised.
  bool EnsureHalftonePalette();
  static const std::array<PALETTEENTRY, 256>& HalftonePalette();

  // Draws the whole picture into the w x h rectangle at (x, y), each
  // destination pixel taking the nearest source pixel. The DC's state is left
  // as it was. False when there is no image.
  bool DrawStretched(CDC& dc, int x, int y, int w, int h) const;

  void Clear();

 private:
  bool Fail();
  bool ReadImage(ByteReader& in);

  std::vector<std::uint8_t> m_pHeader;       // information header, colour table, any gap before the pixels
  std::size_t m_pColours = kInfoHeaderSize;  // offset of the colour table in the header block
  std::vector<std::uint8_t> m_pPixels;
  std::uint32_t m_nPixelBytes = 0;
  std::uint32_t m_nColourCount = 0;
  std::vector<PALETTEENTRY> m_hPal;
};

}  // namespace lumetra
