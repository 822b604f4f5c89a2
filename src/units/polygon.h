#pragma once

#include "units/unit.h"

namespace lumetra {

// A closed outline through its vertices (m_aPoints), never filled and picked
// only near its outline. Documents bring it; no tool makes it. A vertex
// handle reshapes it; an edge handle moves it.
class CPolygon final : public CUnit {
  LUMETRA_DECLARE_SERIAL(CPolygon)

 public:
  void Serialize(CArchive& ar) override;
  void OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  void DrawShape(CDC& dc, std::int32_t, std::int32_t) override;
  // Blue squares on the vertices, red ones on the middles of the edges
  // (the closing edge has none); both XOR onto the canvas.
  HandleMarks Handles(std::int64_t reach) const override;
  // The grabbed vertex follows (x, y), with its two edges drawn in the DC's raster operation.
  void DrawVertexDrag(CDC& dc, std::int32_t x, std::int32_t y) override;
  void DrawClosingEdge(CDC& dc, std::int32_t x, std::int32_t y) override;
  void DrawNewEdge(CDC& dc, std::int32_t x, std::int32_t y) override;
  void OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  // i + 1 for vertex i, -(10 + i) for the middle of the edge ending at vertex i, 0 for none.
  std::int32_t FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) override;
  // Near an edge, by the line's hit band; the inside does not count.
  bool PtInUnit(std::int32_t x, std::int32_t y) override;
  void Draw(CDC& dc, const DrawContext& context) const override;
  // The box of the vertices.
  CRect Extent() const override;
  void Translate(std::int32_t dx, std::int32_t dy) override;
  std::unique_ptr<CUnit> Clone() const override;
  CRect Bounds() const override;
  bool PointsAreBoxCorners() const override { return false; }

  CPointArray m_aPoints;
  std::int32_t m_nVertex = 0;  // the vertex a handle drag moves

 private:
  void Paint(CDC& dc) const;
  void DragStep(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y);
};

}  // namespace lumetra
