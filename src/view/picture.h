#pragma once
// The picture the panel receives: every frame of the canvas cut out and laid
// side by side, frame 1 at the left, one pixel per LED; that picture as a
// packed DIB; and a DIB as the bytes of a BMP file.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/types.h"

namespace lumetra {

class CTessaraDoc;

// The panel draws its own clock from the clock options, so the picture sent
// to it leaves clock units out; the preview shows them.
enum class ClockUnits { Omit, Include };

// The strip: m_nFrames × m_nWidthWords × 16 pixels wide, m_nHeightWords × 16
// high. The units are drawn in painting order on a black canvas with the
// window origin `origin` (the view's m_ptOrigin); frame k of that canvas
// becomes columns k × m_nWidthWords × 16 onward, so a unit across a frame
// boundary is split between neighbouring segments and whatever lies right of
// the panel or below the last frame is cut off. With ClockUnits::Include the
// clocks are drawn after all other units. nullopt when the panel size is out
// of range or there is not enough memory.
std::optional<Bitmap32> RenderPictureStrip(CTessaraDoc& doc, ClockUnits clocks, CPoint origin = {});

// A packed DIB: BITMAPINFOHEADER, colour table, then the pixel rows.
using PackedDib = std::vector<std::uint8_t>;

// 24 bits per pixel, bottom-up, no colour table, biSizeImage filled in.
PackedDib PackDib24(const Bitmap32& picture);

// The strip without clocks as a packed DIB; nullopt as for RenderPictureStrip.
std::optional<PackedDib> RenderPictureDIB(CTessaraDoc& doc, CPoint origin = {});

// The BMP file of a packed DIB: the 14-byte file header, then the DIB with
// biSizeImage set to the size of its rows. nullopt for a DIB whose header is
// missing or unusable or whose colour table or rows go past its end.
std::optional<std::vector<std::uint8_t>> WriteDIB(std::span<const std::uint8_t> dib);

// Renders the document's picture and writes it as a BMP file through a
// temporary file, so a failure leaves any previous file as it was. Returns
// false when the picture cannot be made (the "Save file failed" case); throws
// FileError, naming the file and the reason, when the file cannot be written.
bool WritePicture(CTessaraDoc& doc, const std::filesystem::path& path, CPoint origin = {});

}  // namespace lumetra
