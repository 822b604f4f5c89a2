#pragma once
// The picture of a BMP file as 0x00RRGGBB pixels, top row first, for the
// programs that take BMP files as plain pictures (the display libraries, the
// tests that compare what a panel received).

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "platform/gdi/bitmap.h"

namespace lumetra {

// Any BMP DibPixels reads but a run-length encoded one, whose size its file
// does not bound; nullopt for anything else, for a picture wider or taller
// than maxSide, or for one cut short.
std::optional<Bitmap32> DecodeBmp(std::span<const std::uint8_t> file, int maxSide = 1 << 16);

// Reads and decodes a BMP file of at most maxBytes; nullopt when it cannot
// be read or decoded.
std::optional<Bitmap32> ReadBmpPicture(const std::filesystem::path& path, std::size_t maxBytes = 64u << 20);

}  // namespace lumetra
