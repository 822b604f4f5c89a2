#pragma once
// CMainFrame: the editor's main window. It holds the document windows, the
// menu, the two tool bars, the status bar and the style property box, keeps
// the running program's panel settings and the display libraries, and
// relabels itself in the current language.

#include <QMainWindow>
#include <QStringList>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>

#include "comm/display_library.h"
#include "document/panel_settings.h"

class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;

namespace lumetra {
struct CommandState;
class CTessaraDoc;
class Language;
class RecentFileList;
class SettingsStore;
}  // namespace lumetra

namespace lumetra::gui {

class CChildFrame;
class CDLineProperty;
class TransferRunner;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  CMainFrame(SettingsStore& store, Language& language, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Documents. Failures are reported to the user; nullptr or false then.
  CChildFrame* NewDocument();
  CChildFrame* OpenDocument(const std::filesystem::path& path);
  // Each file in turn: one that cannot be opened is reported and the others
  // still open. False when none opened.
  bool OpenDocuments(const QStringList& paths);
  bool SaveDocument(CChildFrame& child, bool askForName);
  CChildFrame* ActiveChild() const;

  // Runs a command of the menu or a tool bar: the frame's own, or the active view's.
  void OnCommand(int command);
  QAction* Action(int command) const;
  void UpdateCommandStates();

  CDLineProperty* PropertyBox() const { return propertyBox_; }
  const PanelSettings& Panel() const { return panel_; }
  QToolBar* DrawToolBar() const { return drawToolBar_; }
  QMenu* MainMenu(int position) const;
  // The status-bar panes 0..6.
  QLabel* Pane(int index) const;
  const DisplayLibrary* DriverLibrary() const { return driverLibrary_.get(); }
  const DisplayLibrary* PanelLibrary() const { return panelLibrary_.get(); }
  TransferRunner& Transfers() const { return *transfers_; }

  // To the front and active, restored when minimised: files handed over by
  // the desktop are to be seen.
  void BringToFront();

  // Status-bar panes of the mouse: the LED point with y's sign turned, and the window point.
  void ShowMousePosition(QPoint canvas, QPoint client);
  // Every shell text again in the current language.
  void RetranslateShell();
  void TranslateMainMenu();

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBars();
  void CreateStatusBar();
  void CreatePropertyBox();
  // One entry per command of the menus and the tool bars (the recent files aside).
  struct ActionSpec {
    int command;
    int textKey = 0;  // its menu text; 0 for the text of its id, as its tool tip shows it
    const char* icon = nullptr;
    const char* shortcut = nullptr;  // key sequences separated by "; "
    int promptKey = 0;               // its status prompt in a menu
    // The frame's own handler; without one the active view runs the command.
    void (*run)(CMainFrame&) = nullptr;
    // Its state; without one a view command asks the active view (disabled
    // without a document window) and a frame command is always enabled.
    CommandState (*state)(const CMainFrame&) = nullptr;
    bool checkable = false;
  };
  static const std::vector<ActionSpec>& ActionTable();
  static const ActionSpec* FindAction(int command);
  void AddAction(int command, QAction* action);
  void UpdateHistoryActions();
  CChildFrame* AddChild(std::unique_ptr<CTessaraDoc> document, const QString& title);
  void ChooseLanguage(int command);
  // The status prompt of a menu item with an id in the prompt range; nothing for other items.
  std::optional<QString> MenuPrompt(const QAction* action) const;
  void UpdateWindowTitle();
  void UpdateRecentFiles();
  void OpenWithDialog();
  void PrintActive(bool preview);
  // "Export animation...": the active document's show as the panel plays it, as a GIF.
  void ExportAnimation();
  // "Play as Panel": the active document's window playing it as a panel would, opened or raised.
  void PlayAsPanel();
  void ApplyPanelSettingsOf(CChildFrame& child);
  // Every document window in turn, until one refuses to close.
  bool CloseAllDocuments();

  SettingsStore& store_;
  Language& language_;
  std::unique_ptr<RecentFileList> recentFiles_;
  PanelSettings panel_;
  std::unique_ptr<DisplayLibrary> panelLibrary_;
  std::unique_ptr<DisplayLibrary> driverLibrary_;
  std::string languageName_;  // empty at start: the language menu marks English
  QMdiArea* mdi_ = nullptr;
  QToolBar* systemToolBar_ = nullptr;
  QToolBar* drawToolBar_ = nullptr;
  CDLineProperty* propertyBox_ = nullptr;
  TransferRunner* transfers_ = nullptr;
  std::map<int, QAction*> actions_;
  std::vector<QMenu*> menus_;
  QMenu* languageMenu_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  std::vector<QLabel*> panes_;
  int untitledCount_ = 0;
  bool propertyBoxPlaced_ = false;
  bool settingsWarningShown_ = false;  // once a session
};

}  // namespace lumetra::gui
