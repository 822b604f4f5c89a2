#pragma once

// Catalogue of every key the program looks up in section [String] of a
// language file. Every language file shipped in resources/Language holds a
// non-empty text for each key of AllTextKeys().

#include <string>
#include <vector>

namespace lumetra {

// Labels and group boxes that show text but have no control number in the
// dialog layouts. The dialogs give them these ids so that TranslateDialog can
// reach them like any other control ("<dialog>_<id>").
namespace label_id {

// Style page (107)
inline constexpr int kPenGroup = 1181;          // "Pen"
inline constexpr int kPenWidth = 1182;          // "Width:" before edit 1013
inline constexpr int kBrushGroup = 1183;        // "Brush"
inline constexpr int kHatchGroup = 1184;        // "Fill" around the hatch buttons
inline constexpr int kBackgroundGroup = 1185;   // "Background"
inline constexpr int kBackgroundMode = 1186;    // "Mode:" before list 1077
inline constexpr int kPenColour = 1187;         // "Color:" before the pen swatches
inline constexpr int kBrushColour = 1188;       // "Color:" before the brush swatches
inline constexpr int kBackgroundColour = 1189;  // "Color:" before the background swatches

// Screen Size Set (157)
inline constexpr int kLength = 1190;       // "Length" before edit 1038
inline constexpr int kHeight = 1191;       // "Height" before edit 1035
inline constexpr int kScreenCount = 1192;  // "Number of Screen:" before edit 1040

// Send dialog (181)
inline constexpr int kPort = 1193;     // "Select COM Port" before list 1121
inline constexpr int kAddress = 1194;  // "Screen Address" before edit 1035

// Display Mode Settings (178): "to" between the start and end edit of row r
// is 4500 + r; the column heads are 4601..4605.
inline constexpr int kRangeTo1 = 4501;
inline constexpr int kHeadStartFrame = 4601;
inline constexpr int kHeadEndFrame = 4602;
inline constexpr int kHeadPlayMode = 4603;
inline constexpr int kHeadSpeed = 4604;
inline constexpr int kHeadDelay = 4605;

}  // namespace label_id

// One dialog whose caption (key "n") and control texts (keys "n_c") come from
// the language file. Only controls that show a text are listed: edits and
// lists are left out, since writing a text into them would replace their value.
struct TranslatedDialog {
  int id;
  std::vector<int> controlIds;
};

// 107, 157, 178, 181, 192, 195, 198 with their text-bearing control ids.
const std::vector<TranslatedDialog>& TranslatedDialogs();

// Every button command of the system and the draw tool bar; its tool tip and
// status prompt is the text of the command id.
const std::vector<int>& ToolBarCommands();

// Popup titles ("57600P", ...) and items of the main menu.
const std::vector<std::string>& MenuKeys();

// Messages, list entries, status panes, context-menu items and menu prompts.
const std::vector<std::string>& FixedTextKeys();

// Every key above and the added ones of message_text.h as they are looked up, sorted, without duplicates (several
// tool-bar commands share their key with their menu item).
std::vector<std::string> AllTextKeys();

}  // namespace lumetra
