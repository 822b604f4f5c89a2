#include "cli/render_command.h"

#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "document/document.h"
#include "platform/files.h"
#include "platform/gdi/bmp_file.h"
#include "platform/gdi/dc.h"
#include "platform/local_time.h"
#include "platform/png_encoder.h"
#include "render/picture.h"
#include "units/timer.h"
#include "view/canvas_render.h"

namespace lumetra {
namespace {

std::vector<std::uint8_t> Png(const std::string& path, const Bitmap32& image, int scale) {
  try {
    return EncodePng(image, scale);
  } catch (const std::exception& e) {
    throw FileError(path + ": " + e.what());
  }
}

}  // namespace

void RenderDocument(CTessaraDoc& doc, const RenderRequest& request) {
  // The view gives every clock the document's colour set when it first shows
  // the document; the canvas is drawn as that view would draw it.
  for (auto& unit : doc.m_units) {
    if (auto* clock = dynamic_cast<CTimer*>(unit.get())) clock->m_nColourSet = doc.m_nColourSet;
  }
  // Everything is made before anything is written, so a request that cannot
  // be met leaves no file half done.
  const CPoint origin = doc.m_ptViewOrigin;
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;
  if (!request.bmp.empty()) {
    std::optional<PackedDib> dib = RenderPictureDIB(doc, origin);
    std::optional<std::vector<std::uint8_t>> bmp = dib ? WriteDIB(*dib) : std::nullopt;
    if (!bmp) throw FileError(request.bmp + ": the picture cannot be made");
    files.emplace_back(request.bmp, std::move(*bmp));
  }
  if (!request.png.empty()) {
    std::optional<Bitmap32> strip = RenderPictureStrip(doc, kNoClocks, origin);
    if (!strip) throw FileError(request.png + ": the picture cannot be made");
    files.emplace_back(request.png, Png(request.png, *strip, request.scale));
  }
  if (!request.canvas.empty()) {
    const CSize size = doc.CanvasPixels();
    Bitmap32 canvas(size.cx, size.cy);
    CDC dc(canvas);
    RenderCanvas(doc, dc, GetLocalTime(), std::nullopt, false);
    files.emplace_back(request.canvas, Png(request.canvas, canvas, request.scale));
  }
  for (const auto& [path, bytes] : files) WriteFileAtomically(path, bytes);
}

}  // namespace lumetra
