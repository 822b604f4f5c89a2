#pragma once
// ViewHost: what the editing view needs from a screen. The editor's canvas
// widget implements it; tests implement it with a scripted fake.

#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace lumetra {

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
};

// A request to show sub-menu 0 of a menu resource at a screen point, owned by the view.
struct PopupMenuRequest {
  std::int32_t menuId = 0;
  CPoint screenPoint;
  std::vector<PopupMenuItemState> itemStates;
};

class ViewHost {
 public:
  virtual ~ViewHost() = default;
  virtual void ShowPopupMenu(const PopupMenuRequest& request) = 0;
};

}  // namespace lumetra
