#pragma once
// Regions for hit tests. A polygon region covers the pixels whose top-left
// lattice point lies inside the polygon, left and top edges included, right and
// bottom edges excluded. The region keeps its outline and answers each query
// from it, so a region with huge coordinates costs no memory or time.

#include <span>

#include "platform/types.h"

namespace lumetra {

enum class PolyFillMode { Alternate = 1, Winding = 2 };

class CRgn {
 public:
  static CRgn CreatePolygonRgn(std::span<const CPoint> points, PolyFillMode mode);

  bool PtInRegion(std::int32_t x, std::int32_t y) const;

 private:
  CPointArray vertices_;
  PolyFillMode mode_ = PolyFillMode::Alternate;
};

}  // namespace lumetra
