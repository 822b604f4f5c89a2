#pragma once
// BMP files both ways. Read: the picture of a BMP file as 0x00RRGGBB pixels,
// top row first, for the programs that take BMP files as plain pictures (the
// display libraries, the tests that compare what a panel received). Written:
// a picture as a packed 24-bit DIB, and a packed DIB as the bytes of a BMP file.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "platform/gdi/bitmap.h"

namespace lumetra {

// Any BMP DibPixels reads but a run-length encoded one, whose size its file
// does not bound; nullopt for anything else, for a picture wider or taller
// than maxSide, or for one cut short.
std::optional<Bitmap32> DecodeBmp(std::span<const std::uint8_t> file, int maxSide = 1 << 16);

// Reads and decodes a BMP file of at most maxBytes; nullopt when it cannot
// be read or decoded.
std::optional<Bitmap32> ReadBmpPicture(const std::filesystem::path& path, std::size_t maxBytes = 64u << 20);

// A packed DIB: BITMAPINFOHEADER, colour table, then the pixel rows.
using PackedDib = std::vector<std::uint8_t>;

// 24 bits per pixel, bottom-up, no colour table, biSizeImage filled in.
PackedDib PackDib24(const Bitmap32& picture);

// The BMP file of a packed DIB: the 14-byte file header, then the DIB with
// biSizeImage set to the size of its rows. nullopt for a DIB whose header is
// missing or unusable or whose colour table or rows go past its end.
std::optional<std::vector<std::uint8_t>> WriteDIB(std::span<const std::uint8_t> dib);

}  // namespace lumetra
