#pragma once
// The Bounds() of a document's units, kept between repaints: a repaint of a
// small part of the canvas then skips the units that paint nothing there
// without asking every unit for its box again. Asking a unit costs up to a
// few microseconds (arcs and texts measure their outlines and glyphs);
// looking up a kept box costs a few nanoseconds.
//
// A box is kept for the unit object it was taken from. Whoever changes a
// unit stores its new box, or clears the cache; so does whoever deletes
// units, as a new unit may take the address of a deleted one.

#include <unordered_map>

#include "platform/types.h"

namespace lumetra {

class CUnit;

class UnitBoundsCache {
 public:
  // The kept box of `unit`, taken from it on first use.
  const CRect& BoundsOf(const CUnit& unit);
  // Takes the present box of `unit` and keeps it; returns it.
  const CRect& Refresh(const CUnit& unit);
  void Clear() { boxes_.clear(); }

 private:
  std::unordered_map<const CUnit*, CRect> boxes_;
};

}  // namespace lumetra
