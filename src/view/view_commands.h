#pragma once
// Command numbers of the editing view: the menu and tool-bar ids that reach it
// (the tool numbers and the units' own menu commands are in units/editing_view.h).

#include <cstdint>

#include "units/editing_view.h"

namespace lumetra {

enum ViewCommand : std::int32_t {
  // Drawing tools.
  kCmdToolLine = 32772,
  kCmdToolCurve = 32777,
  kCmdToolRectangle = 32776,
  kCmdToolRoundRectangle = 32778,
  kCmdToolEllipse = 32779,
  kCmdToolRound = 32780,
  kCmdToolPolygon = 32791,
  kCmdToolLiEllipse = 32795,
  kCmdToolRoundArc = 32800,
  kCmdToolEllipseArc = 32805,
  kCmdToolPolyBezier = 32807,
  kCmdToolText = 32809,
  kCmdToolClock = 32889,
  kCmdSelect = 32774,
  kCmdIdle = 32856,
  kCmdInert = 32775,
  // Edit commands.
  kCmdDelete = 32814,
  kCmdCopy = 32900,
  kCmdSelectAll = 57642,
  kCmdUndo = 57643,
  kCmdRedo = 57644,
  kCmdPaste = 32901,
  // The system clipboard and the drawing order.
  kCmdCutToClipboard = 33100,
  kCmdCopyToClipboard = 33101,
  kCmdPasteFromClipboard = 33102,
  kCmdBringToFront = 33103,
  kCmdSendToBack = 33104,
  kCmdBringForward = 33105,
  kCmdSendBackward = 33106,
  kCmdCentreHorizontally = 32897,
  kCmdCentreVertically = 32898,
  kCmdImportBmp = 32878,
  kCmdImportBmpButton = 32887,
  kCmdScreenSize = 32794,
  kCmdPlayModes = 32880,
  kCmdRepaint = 32850,
  kCmdSaveAsBmp = 32860,
  // Transfers, preview and zoom.
  kCmdSendPicture = 32881,
  kCmdSendClock = 32892,
  kCmdZoomList = 32894,
  kCmdPreview = 32895,
};

// Pop-up menus the view shows for a picked unit.
inline constexpr std::int32_t kMenuUnitDelete = 174;  // one item: kCmdDelete

// Cursor resources by mouse mode.
inline constexpr std::int32_t kCursorSelect = 188;
inline constexpr std::int32_t kCursorDraw = 189;

}  // namespace lumetra
