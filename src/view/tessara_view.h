#pragma once
// CTessaraView: the editing view without a window. It holds the mouse-tool
// state that the view's handlers and the units share while the user draws,
// picks, resizes and moves units; the units write some of these fields while
// they handle a press or a drag. What needs a screen goes through a ViewHost.

#include <cstdint>

#include "platform/types.h"
#include "view/view_host.h"

namespace lumetra {

class CUnit;

// Mouse modes of the view.
enum ViewMode : std::int32_t {
  kModeIdle = 0,
  kModeCreate = 1,
  kModeMoveByHandle = 2,
  kModeSelect = 3,
  kModeResize = 5,
  kModeInert = 6,
};

// Tool numbers that a handle grab of a loaded-only unit shows on the tool bar.
enum GrabTool : std::int32_t {
  kToolRound = 15,
  kToolPolygon = 16,
  kToolLiEllipse = 17,
  kToolRoundArc = 18,
  kToolEllipseArc = 19,
  kToolPolyBezier = 20,
};

class CTessaraView {
 public:
  CTessaraView() = default;
  CTessaraView(const CTessaraView&) = delete;
  CTessaraView& operator=(const CTessaraView&) = delete;

  void SetHost(ViewHost* host) { m_pHost = host; }
  ViewHost* Host() const { return m_pHost; }

  // Shows a unit's pop-up menu with the view as owner; without a host
  // (headless use) there is nowhere to show it.
  void TrackPopupMenu(const PopupMenuRequest& request);

  // Mouse-tool state.
  std::int32_t m_nTool = 0;
  std::int32_t m_nMode = kModeSelect;
  std::int32_t m_nHandle = -1;
  bool m_bHandleGrabbed = false;
  bool m_bUnitChanged = false;
  CUnit* m_pCurUnit = nullptr;  // not owning
  CPoint m_ptTrackA;
  CPoint m_ptTrackB;
  CPoint m_ptLastClick;
  CPoint m_ptMouse;  // the latest mouse position on the canvas
  std::int32_t m_nClickCount = 0;
  bool m_bCreating = false;
  bool m_bMoving = false;
  bool m_bResizing = false;

 private:
  ViewHost* m_pHost = nullptr;
};

}  // namespace lumetra
