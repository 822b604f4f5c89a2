#include "render/picture.h"

#include <algorithm>
#include <new>

#include "document/document.h"
#include "document/panel_settings.h"
#include "platform/files.h"
#include "platform/gdi/dc.h"
#include "units/timer.h"

namespace lumetra {
std::optional<Bitmap32> RenderPictureStrip(const CTessaraDoc& doc, const std::optional<LocalTime>& clocksAt,
                                           CPoint origin) {
  if (!IsValidGeometry(doc.m_nWidthWords, doc.m_nHeightWords, doc.m_nFrames)) return std::nullopt;
  const int frameWidth = doc.m_nWidthWords * kWordPixels;
  const int frameHeight = doc.m_nHeightWords * kWordPixels;
  const int frames = doc.m_nFrames;
  try {
    // Only the unzoomed canvas is drawn, and only as far as frames reach:
    // nothing else of it can reach the strip.
    const CSize canvasSize = doc.CanvasPixels(), stripSize = doc.StripPixels();
    Bitmap32 canvas(canvasSize.cx, canvasSize.cy, kCanvasBackground);
    {
      CDC dc(canvas);
      dc.SetWindowOrg(origin.x, origin.y);
      const DrawContext context = doc.DrawContextAt(clocksAt.value_or(LocalTime{}));
      for (const auto& unit : doc.m_units) {
        if (!IsClock(*unit)) unit->Draw(dc, context);
      }
      if (clocksAt) {
        for (const auto& unit : doc.m_units) {
          if (IsClock(*unit)) unit->Draw(dc, context);
        }
      }
    }
    Bitmap32 strip(stripSize.cx, stripSize.cy);
    for (int k = 0; k < frames; ++k) {
      for (int y = 0; y < frameHeight; ++y) {
        const std::uint32_t* from = canvas.Row(k * frameHeight + y);
        std::copy(from, from + frameWidth, strip.Row(y) + std::size_t(k) * frameWidth);
      }
    }
    return strip;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

std::optional<PackedDib> RenderPictureDIB(const CTessaraDoc& doc, CPoint origin) {
  std::optional<Bitmap32> strip = RenderPictureStrip(doc, kNoClocks, origin);
  if (!strip) return std::nullopt;
  try {
    return PackDib24(*strip);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

bool WritePicture(const CTessaraDoc& doc, const std::filesystem::path& path, CPoint origin) {
  std::optional<PackedDib> dib = RenderPictureDIB(doc, origin);
  if (!dib) return false;
  std::optional<std::vector<std::uint8_t>> file = WriteDIB(*dib);
  if (!file) return false;
  WriteFileAtomically(path, *file);
  return true;
}

}  // namespace lumetra
