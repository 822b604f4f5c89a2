#pragma once
// Reads the pixels of a device-independent bitmap as 0x00RRGGBB: 1, 4 and 8
// bits through the colour table, 16 and 32 bits through three channel masks
// (BI_BITFIELDS, or 5-5-5 and 8-8-8 when uncompressed), 24 bits as they are,
// and run-length encoded 4 and 8 bits (see dib_rle.h); on request also the
// alpha channel of the later header versions. The pixel rows come
// from a caller's buffer of known size; Open() refuses any layout that would
// need bytes past it, so reading rows afterwards cannot run off the end.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/gdi/bitmap_info.h"
#include "platform/gdi/dib_rle.h"

namespace lumetra {

class DibPixels {
 public:
  // Whether 16- and 32-bit pixels keep an alpha channel: from the alpha mask
  // of a header of 56 bytes or more, with BI_BITFIELDS, or with uncompressed
  // 32-bit rows under a header of 108 bytes or more. Other pictures have none.
  enum class Alpha { kIgnored, kFromMask };

  // The colour table (for 8 bits or fewer) is read right after the header,
  // biSize bytes from its start, and only as far as headerSize reaches;
  // missing entries read as black. The masks of BI_BITFIELDS are the 12 bytes
  // after the first 40, as with every header version. nullopt for a missing
  // header or buffer, a header longer than headerSize, masks beyond it, a
  // compression or bit count we cannot read (run-length encoding needs its
  // own bit count, a bottom-up picture and a biSizeImage), a zero or
  // negative width, a zero height, or uncompressed rows that would need more
  // than bitsSize bytes. A run-length stream is biSizeImage bytes long, and
  // never more than bitsSize.
  static std::optional<DibPixels> Open(const BITMAPINFOHEADER* header, std::size_t headerSize, const std::uint8_t* bits,
                                       std::size_t bitsSize, Alpha alpha = Alpha::kIgnored);
  // Whether Open can read this compression and bit count at all.
  static bool ReadsFormat(const BITMAPINFOHEADER& header);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool TopDown() const { return topDown_; }
  // Whether the pixels carry alpha (see Alpha), in their top byte.
  bool HasAlpha() const { return channels_[3].len > 0; }

  // Pixels [x0, x1) of row y, rows counted from the top of the picture
  // whichever way they are stored, alpha in the top byte with HasAlpha().
  // Needs 0 <= x0 <= x1 <= Width() and 0 <= y < Height().
  void ReadRow(int y, int x0, int x1, std::uint32_t* out) const;

  // For run-length pictures, the pixels painted when the picture is copied
  // at its own size (picture coordinates, top row 0); nullptr for the others,
  // which paint every pixel.
  const SpanSet* PaintedAtOwnSize() const { return rle_ ? &rle_->Painted() : nullptr; }

 private:
  // One colour channel of a 16- or 32-bit pixel: `len` bits from bit `shift`.
  struct Channel {
    int shift = 0;
    int len = 0;
    static Channel FromMask(std::uint32_t mask);
    std::uint32_t Extract(std::uint32_t pixel) const;
  };

  DibPixels() = default;
  std::uint32_t FromChannels(std::uint32_t pixel) const;

  const std::uint8_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool topDown_ = false;
  int bitCount_ = 0;
  std::size_t stride_ = 0;
  // Indices past the colour table read as black.
  std::array<std::uint32_t, 256> colours_{};
  std::array<Channel, 4> channels_{};  // red, green, blue, alpha
  std::optional<RleRows> rle_;
};

}  // namespace lumetra
