#pragma once
// CDib holds a BMP image exactly as imported: the header block (information
// header, bit-field masks, colour table and whatever lay before the pixel
// rows), the pixel rows, and a palette built from the colour table. It reads
// and writes the BMP file layout, both as files and inline in documents, and
// draws the image stretched.
//
// Pictures come in two kinds. Those the rasterizer draws (a 40-byte header;
// uncompressed 1 to 32 bits, run-length encoded 4 and 8 bits, or 16 and 32
// bits with bit-field masks; colour table and rows complete) are written
// back in the BMP layout with bfSize 0 and the masks and colour table right
// after the header. Any other picture whose extent its headers tell (a later
// header version, another compression, an odd bit count, ...) is kept byte
// for byte, drawn as nothing and written back exactly as it was read.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
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
  // Wider or taller pictures are kept but not drawn: drawing decodes whole
  // source rows, and no panel comes near this size.
  static constexpr std::int32_t kMaxImageSide = 1 << 16;

  // Import: reads the BMP file image that fills the rest of the reader.
  // Pixel rows that stop short of the announced image size are taken when
  // the picture draws from what is there, and padded with zeros to that size,
  // so the picture never announces more bytes than it is written with.
  // Shows "Read error" and returns false when the file cannot be read (the
  // object is then empty) or its picture cannot be drawn (it is then kept).
  bool ReadBmp(ByteReader& in);
  bool ReadBmpFile(const std::filesystem::path& path);
  // Reads a picture stored inline in a document: it takes exactly the bytes
  // its headers announce, so that whatever follows is read next. Returns why
  // it could not be read as it was stored (the object is then empty and the
  // reader stands where reading stopped), or nothing when it was.
  std::optional<std::string> ReadInline(ByteReader& in);

  // Writes the picture as described at the top; an empty object as a 0 x 0 picture.
  void WriteBmp(ByteWriter& out) const;
  // Reports "write error" and returns false when the file cannot be written.
  bool WriteBmpFile(const std::filesystem::path& path) const;

  // The image sits inline in the document, right where the archive stands; a
  // picture that cannot be read as it was stored is noted with the archive.
  void Serialize(CArchive& ar);

  bool IsEmpty() const { return m_pHeader.empty(); }
  // Whether the rasterizer draws the picture; the others are kept as stored.
  bool CanDraw() const { return m_bDrawable; }
  // The picture's width and height in pixels, whichever way its rows are
  // stored; (0, 0) when empty.
  CSize ImageExtent() const;
  BITMAPINFOHEADER Header() const;
  const std::vector<std::uint8_t>& HeaderBlock() const { return m_pHeader; }
  const std::vector<std::uint8_t>& Pixels() const { return *m_pPixels; }
  std::uint32_t ColourCount() const { return m_nColourCount; }
  // The colour table: m_nColourCount entries of blue, green, red, 0 (none for pictures that are not drawn).
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
  // as it was. False when there is no picture it can draw.
  bool DrawStretched(CDC& dc, int x, int y, int w, int h) const;

  void Clear();

 private:
  // Where a picture is read from: a document, which holds exactly the
  // announced bytes, or a file, whose pixel rows may stop short.
  enum class Source { Document, File };
  std::optional<std::string> Read(ByteReader& in, Source source);

  std::array<std::uint8_t, kFileHeaderSize> m_fileHeader{};  // as read; written back for pictures kept as stored
  std::vector<std::uint8_t> m_pHeader;       // information header, masks, colour table, any gap before the pixels
  std::size_t m_pColours = kInfoHeaderSize;  // offset of the colour table in the header block
  // Never changed once read, so copies of the picture share it.
  std::shared_ptr<const std::vector<std::uint8_t>> m_pPixels = std::make_shared<const std::vector<std::uint8_t>>();
  std::uint32_t m_nPixelBytes = 0;
  std::uint32_t m_nColourCount = 0;
  std::vector<PALETTEENTRY> m_hPal;
  bool m_bDrawable = false;
};

}  // namespace lumetra
