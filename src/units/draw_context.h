#pragma once
// DrawContext: what a unit is drawn by besides its own fields, passed by
// whoever draws. Only the clock reads it: the clock options and panel
// geometry of the document it belongs to, and the time it shows. Drawing
// never writes into units or documents, so any number of documents can be
// drawn side by side, on any thread.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/gdi/dc.h"
#include "platform/local_time.h"

namespace lumetra {

// The clock options and the panel geometry a clock is drawn by.
struct ClockSettings {
  std::int32_t style = 0;
  std::int32_t colour = 0;
  std::int32_t align = 0;
  std::int32_t widthWords = 0;
  std::int32_t heightWords = 0;
  std::int32_t frames = 0;
};

struct DrawContext {
  // The document's clock options; without them (a unit drawn on its own)
  // the clock has nothing to draw by and draws nothing.
  std::optional<ClockSettings> clock;
  LocalTime time{};
};

// The clock font: the font a device context starts with, which the units
// leave selected between them, so every canvas draws the clock in it. Its
// cell height, and the size of a text in it.
std::int32_t ClockFontHeight();
CSize ClockTextExtent(std::string_view text);

}  // namespace lumetra
