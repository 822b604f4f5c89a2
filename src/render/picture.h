#pragma once
// The picture the panel receives: every frame of the canvas cut out and laid
// side by side, frame 1 at the left, one pixel per LED; that picture as a
// packed DIB and as a BMP file (platform/gdi/bmp_file.h makes both).

#include <filesystem>
#include <optional>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/bmp_file.h"
#include "platform/local_time.h"
#include "platform/types.h"

namespace lumetra {

class CTessaraDoc;

// The field the units are drawn on: every LED off.
inline constexpr COLORREF kCanvasBackground = 0x00000000;

// The panel draws its own clock from the clock options, so the picture sent
// to it leaves clock units out (kNoClocks); the preview shows them at a time.
inline constexpr std::nullopt_t kNoClocks = std::nullopt;

// The strip: m_nFrames × m_nWidthWords × 16 pixels wide, m_nHeightWords × 16
// high. The units are drawn in painting order on a black canvas with the
// window origin `origin` (the view's m_ptOrigin); frame k of that canvas
// becomes columns k × m_nWidthWords × 16 onward, so a unit across a frame
// boundary is split between neighbouring segments and whatever lies right of
// the panel or below the last frame is cut off. With `clocksAt` the clocks
// are drawn after all other units, showing that time. nullopt when the panel
// size is out of range or there is not enough memory.
std::optional<Bitmap32> RenderPictureStrip(const CTessaraDoc& doc, const std::optional<LocalTime>& clocksAt,
                                           CPoint origin = {});

// The strip without clocks as a packed DIB; nullopt as for RenderPictureStrip.
std::optional<PackedDib> RenderPictureDIB(const CTessaraDoc& doc, CPoint origin = {});

// Renders the document's picture and writes it as a BMP file through a
// temporary file, so a failure leaves any previous file as it was. Returns
// false when the picture cannot be made (the "Save file failed" case); throws
// FileError, naming the file and the reason, when the file cannot be written.
bool WritePicture(const CTessaraDoc& doc, const std::filesystem::path& path, CPoint origin = {});

}  // namespace lumetra
