#pragma once
// The values of the style page: the drawing style that new units get and
// that edits the current unit. The editor's page shows them; the views read
// and write them here.

#include "units/unit.h"

namespace lumetra {

struct StylePageValues {
  std::int32_t bkMode = OPAQUE;
  std::int32_t penWidth = 1;
  std::int32_t penStyle = PS_SOLID;
  std::int32_t brushStyle = BS_HOLLOW;
  std::int32_t hatchStyle = HS_BDIAGONAL;
  COLORREF crBrush = 0x000000FF;
  COLORREF crPen = 0x000000FF;
  COLORREF crBk = 0x00000000;

  bool operator==(const StylePageValues&) const = default;

  void ApplyTo(CUnit& unit) const {
    unit.m_nPenStyle = penStyle;
    unit.m_nPenWidth = penWidth;
    unit.m_crPen = crPen;
    unit.m_crBrush = crBrush;
    unit.m_nHatchStyle = hatchStyle;
    unit.m_nBrushStyle = brushStyle;
    unit.m_nBkMode = bkMode;
    unit.m_crBk = crBk;
  }
  // The values that differ from `before` go to the unit; the others stay its own.
  void ApplyChangesTo(const StylePageValues& before, CUnit& unit) const {
    if (penStyle != before.penStyle) unit.m_nPenStyle = penStyle;
    if (penWidth != before.penWidth) unit.m_nPenWidth = penWidth;
    if (crPen != before.crPen) unit.m_crPen = crPen;
    if (crBrush != before.crBrush) unit.m_crBrush = crBrush;
    if (hatchStyle != before.hatchStyle) unit.m_nHatchStyle = hatchStyle;
    if (brushStyle != before.brushStyle) unit.m_nBrushStyle = brushStyle;
    if (bkMode != before.bkMode) unit.m_nBkMode = bkMode;
    if (crBk != before.crBk) unit.m_crBk = crBk;
  }
  void TakeFrom(const CUnit& unit) {
    penStyle = unit.m_nPenStyle;
    penWidth = unit.m_nPenWidth;
    crPen = unit.m_crPen;
    crBrush = unit.m_crBrush;
    hatchStyle = unit.m_nHatchStyle;
    brushStyle = unit.m_nBrushStyle;
    bkMode = unit.m_nBkMode;
    crBk = unit.m_crBk;
  }
};

}  // namespace lumetra
