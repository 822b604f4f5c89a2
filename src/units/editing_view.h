#pragma once
// EditingView: what a unit sees of the editing view while the user draws,
// picks, resizes and moves it. The view and the unit under the mouse share
// the mouse-tool state below (the unit reads the mode and tracking points and
// records the handle it was grabbed by), and a unit asks for its own pop-up
// menu through it. The editing view implements it; units know nothing else
// of the view.

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

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

// Tool numbers: what m_nTool holds while a tool is chosen.
enum ViewTool : std::int32_t {
  kToolNone = 0,
  kToolLine = 10,
  kToolCurve = 11,
  kToolRectangle = 12,
  kToolRoundRectangle = 13,
  kToolEllipse = 14,
  // Tools without a unit of their own; a handle grab of a unit that only
  // documents bring shows them on the tool bar.
  kToolRound = 15,
  kToolPolygon = 16,
  kToolLiEllipse = 17,
  kToolRoundArc = 18,
  kToolEllipseArc = 19,
  kToolPolyBezier = 20,
  kToolText = 21,
  kToolClock = 23,
};

// Pop-up menus of the units.
enum PopupMenuId : std::int32_t {
  kMenuCanvasEdit = 164,   // one item: kCmdRotate
  kMenuBezierCreate = 168, // one item: kCmdBezierOk
  kMenuTimerEdit = 191,    // the clock's menu: kCmdTimerDelete, kCmdTimerSet
};
enum UnitCommandId : std::int32_t {
  kCmdBezierOk = 32819,
  kCmdRotate = 32821,
  kCmdTimerSet = 32890,     // opens the clock options
  kCmdTimerDelete = 32891,  // deletes the selected units, as the Delete key
};

struct PopupMenuItemState {
  std::int32_t command = 0;
  bool checked = false;
  std::string label;  // replaces the item's text when not empty
};

// A request to show sub-menu 0 of a menu resource at a screen point, owned by the view.
struct PopupMenuRequest {
  std::int32_t menuId = 0;
  CPoint screenPoint;
  std::vector<PopupMenuItemState> itemStates;
};

class EditingView {
 public:
  // Shows a pop-up menu with the view as owner.
  virtual void TrackPopupMenu(const PopupMenuRequest& request) = 0;

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
  // How far from a handle, in LEDs, a press still grabs it: each unit's own
  // distance, at most this (the editor keeps it to a few screen pixels).
  std::int64_t m_nHandleReach = kAnyHandleReach;
  static constexpr std::int64_t kAnyHandleReach = INT64_MAX;

 protected:
  EditingView() = default;
  ~EditingView() = default;
  EditingView(const EditingView&) = default;
  EditingView& operator=(const EditingView&) = default;
};

}  // namespace lumetra
