#pragma once
// The boxes the units of a document paint in, kept between repaints: a
// repaint of a small part of the canvas then skips the units that paint
// nothing there without asking every unit for its box again. Asking a unit
// costs up to a few microseconds (arcs and texts measure their outlines and
// glyphs); looking up a kept box costs a few nanoseconds.
//
// A box is kept for the unit object it was taken from. Whoever changes a
// unit refreshes its box, or clears the cache; so does whoever deletes
// units, as a new unit may take the address of a deleted one.

#include <cstdint>
#include <unordered_map>

#include "platform/types.h"

namespace lumetra {

class CUnit;

// The box of every pixel drawing `unit` on a canvas `canvasWidth` LEDs wide
// may paint, whenever it is drawn: its Bounds(), and for a clock, whose text
// is laid out anew for the time of each paint (a day's name changes its
// width), its whole row across the canvas too.
CRect PaintBoxAtAnyTime(const CUnit& unit, std::int32_t canvasWidth);

class UnitBoundsCache {
 public:
  // The kept PaintBoxAtAnyTime of `unit`, taken on first use.
  const CRect& BoxOf(const CUnit& unit, std::int32_t canvasWidth);
  // Takes the present box of `unit` and keeps it; returns it.
  const CRect& Refresh(const CUnit& unit, std::int32_t canvasWidth);
  void Clear() { boxes_.clear(); }

 private:
  std::unordered_map<const CUnit*, CRect> boxes_;
};

}  // namespace lumetra
