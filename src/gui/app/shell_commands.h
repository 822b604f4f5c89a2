#pragma once
// Command ids of the editor's shell: the application's and the main frame's
// own commands, and the panes of the status bar. The views' commands are in
// view/view_commands.h.

namespace lumetra::gui {

enum ShellCommand : int {
  kCmdFileNew = 57600,
  kCmdFileOpen = 57601,
  kCmdFileClose = 57602,
  kCmdFileSave = 57603,
  kCmdFileSaveAs = 57604,
  kCmdPrintSetup = 57606,
  kCmdPrint = 57607,
  kCmdPrintDirect = 57608,
  kCmdPrintPreview = 57609,
  kCmdRecentFile1 = 57616,  // 57616..57631
  kCmdWindowArrange = 57649,
  kCmdAbout = 57664,
  kCmdExit = 57665,
  kCmdViewToolbar = 59392,
  kCmdViewStatusBar = 59393,
  kCmdPropertyBox = 32790,
  kCmdDrawToolbar = 32826,
  kCmdLanguageChinese = 32908,
  kCmdLanguageEnglish = 32909,
  kCmdExportAnimation = 33200,
  kCmdPlayAsPanel = 33201,
};

inline constexpr int kRecentFileCount = 4;

// The two mouse-position panes of the status bar, by their command ids.
inline constexpr int kPaneMousePoint = 59143;    // the LED point
inline constexpr int kPaneMouseCaption = 59144;  // the window point

// Ids in this range have a prompt of their own (or an empty one) in the status line.
inline constexpr int kPromptIdsFirst = 20000;
inline constexpr int kPromptIdsLast = 80000;

}  // namespace lumetra::gui
