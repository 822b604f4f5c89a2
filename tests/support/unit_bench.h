#pragma once
// A canvas, its device context and a view for exercising units the way the
// editing view drives them: presses on handles and drag steps.

#include <cstdint>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "units/unit.h"
#include "view/tessara_view.h"

namespace lumetra::test {

struct UnitBench {
  Bitmap32 canvas{120, 100};
  CDC dc{canvas};
  CTessaraView view;

  // A press in select mode on a handle of the current unit.
  void GrabHandle(CUnit& unit, std::int32_t x, std::int32_t y) {
    view.m_nMode = kModeSelect;
    view.m_ptTrackA = view.m_ptTrackB = {x, y};
    view.m_bHandleGrabbed = false;
    view.m_bResizing = true;
    unit.m_bActive = true;
    unit.OnLButtonDown(dc, view, x, y);
    view.m_ptLastClick = {x, y};
  }

  // A press in select mode on the body of a unit (no handle under the mouse).
  void PressOnBody(CUnit& unit, std::int32_t x, std::int32_t y) {
    view.m_ptTrackA = view.m_ptTrackB = {x, y};
    view.m_bHandleGrabbed = false;
    unit.OnLButtonDown(dc, view, x, y);
  }

  // One mouse move while the button is down, as the view passes it on.
  void DragTo(CUnit& unit, std::int32_t x, std::int32_t y) {
    if (view.m_bMoving && !view.m_bCreating && !view.m_bResizing) {
      view.m_ptTrackA = view.m_ptTrackB;
      view.m_ptTrackB = {x, y};
    }
    unit.OnMouseDrag(dc, view, x, y);
  }

  bool CanvasIsBlack() const {
    for (std::uint32_t p : canvas.Pixels()) {
      if ((p & 0xFFFFFF) != 0) return false;
    }
    return true;
  }
};

}  // namespace lumetra::test
