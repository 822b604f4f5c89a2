#include "lang/text_keys.h"

#include <algorithm>

#include "lang/message_text.h"

namespace lumetra {

const std::vector<TranslatedDialog>& TranslatedDialogs() {
  using namespace label_id;
  static const std::vector<TranslatedDialog> dialogs = {
      // Style page; the property box is translated with the same number.
      {107,
       {
           1006,
           1007,
           1008,
           1009,
           1010,
           1068,
           1069,  // pen style buttons
           1059,
           1060,
           1061,  // brush style buttons
           1062,
           1064,
           1066,
           1063,
           1067,
           1065,  // hatch buttons
           kPenGroup,
           kPenWidth,
           kBrushGroup,
           kHatchGroup,
           kBackgroundGroup,
           kBackgroundMode,
           kPenColour,
           kBrushColour,
           kBackgroundColour,
       }},
      // Screen Size Set
      {157,
       {
           1158,
           1159,
           1006,  // colour set buttons
           1163,
           1164,  // group boxes
           1,
           2,  // OK, Cancel
           kLength,
           kHeight,
           kScreenCount,
       }},
      // Display Mode Settings; rows 4..6 are hidden but still translated.
      {178,
       {
           1135,
           1136,
           1137,
           1138,
           1139,
           1140,  // row check boxes ("From")
           kRangeTo1,
           kRangeTo1 + 1,
           kRangeTo1 + 2,
           kRangeTo1 + 3,
           kRangeTo1 + 4,
           kRangeTo1 + 5,
           kHeadStartFrame,
           kHeadEndFrame,
           kHeadPlayMode,
           kHeadSpeed,
           kHeadDelay,
           1,
           2,
           1141,  // OK, Cancel, Apply...
       }},
      // Send dialog
      {181,
       {
           1138,
           1139,
           1146,  // Reverse color, Refresh timer, Broadcast
           1006,
           1142,  // controller type buttons
           1170,  // address example
           1,
           2,  // Send, Cancel
           kPort,
           kAddress,
       }},
      // Timer Option
      {192, {1172, 1173, 1174, 1175, 1, 2}},
      // Text Properties
      {195, {1147, 1176, 1151, 1152, 1153, 1156, 1157}},
      // Preview; the zoom list window is translated with this number too.
      // Neither has a text-bearing control, only the caption.
      {198, {}},
  };
  return dialogs;
}

const std::vector<int>& ToolBarCommands() {
  static const std::vector<int> commands = {
      // system tool bar
      57600,
      57601,
      57603,
      32900,
      32901,
      32897,
      32898,
      32894,
      32895,
      32880,
      32881,
      32790,
      // draw tool bar
      32774,
      32772,
      32776,
      32778,
      32779,
      32777,
      32809,
      32889,
      32887,
      32856,
  };
  return commands;
}

const std::vector<std::string>& MenuKeys() {
  static const std::vector<std::string> keys = {
      // File
      "57600P",
      "57600",
      "57601",
      "57602",
      "57603",
      "57604",
      "32860",
      "32821",
      "32880",
      "32881",
      "57616",
      "57665",
      // Edit
      "57637P",
      "57634",
      "57637",
      // View, with the language popup and its two items
      "32772P",
      "32773",
      "32787",
      "32797",
      "32798",
      "32799",
      "32800",
      "32801",
      "32802",
      // Window
      "32779P",
      "32780",
      // Help
      "32848P",
      "32848",
  };
  return keys;
}

const std::vector<std::string>& FixedTextKeys() {
  static const std::vector<std::string> keys = {
      // transfer failed / finished, second clock refused, bad screen address
      "2001",
      "2002",
      "2003",
      "2004",
      // play modes and speeds
      "30000",
      "30001",
      "30002",
      "30003",
      "30004",
      "30005",
      "30006",
      "30007",
      "30008",
      "30009",
      // clock formats, colours, alignments
      "31000",
      "31001",
      "31002",
      "31003",
      "31004",
      "31005",
      "31006",
      "31007",
      "31008",
      "31009",
      "31010",
      "31011",
      "31012",
      "31013",
      // status-bar panes and mouse-position labels
      "32000",
      "32001",
      "32002",
      "32003",
      "32004",
      "32005",
      "32006",
      // transfer result messages
      "33000",
      "33001",
      "33002",
      "33003",
      "33004",
      "33005",
      "33006",
      "33007",
      // Style page tab and background modes
      "34000",
      "34001",
      "34002",
      // context menus: Delete, Set...
      "35000",
      "35001",
      // menu prompts
      "60000",
      "60001",
      "60002",
      "60003",
      "60004",
      "60005",
      "60006",
      "60007",
      "60008",
  };
  return keys;
}

std::vector<std::string> AllTextKeys() {
  std::vector<std::string> keys;
  for (const TranslatedDialog& dialog : TranslatedDialogs()) {
    const std::string prefix = std::to_string(dialog.id);
    keys.push_back(prefix);
    for (int control : dialog.controlIds) keys.push_back(prefix + "_" + std::to_string(control));
  }
  for (int command : ToolBarCommands()) keys.push_back(std::to_string(command));
  keys.insert(keys.end(), MenuKeys().begin(), MenuKeys().end());
  keys.insert(keys.end(), FixedTextKeys().begin(), FixedTextKeys().end());
  for (int key : AddedTextKeys()) keys.push_back(std::to_string(key));

  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  return keys;
}

}  // namespace lumetra
