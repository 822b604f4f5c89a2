#include "gui/app/main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "document/document.h"
#include "gui/app/about_box.h"
#include "gui/app/child_frame.h"
#include "gui/app/play_as_panel_window.h"
#include "gui/app/printing.h"
#include "gui/app/shell_commands.h"
#include "gui/app/transfer_runner.h"
#include "gui/canvas/canvas_widget.h"
#include "gui/dialogs/dialog_translation.h"
#include "gui/dialogs/export_animation_dialog.h"
#include "gui/dialogs/file_choosers.h"
#include "gui/dialogs/style_property_box.h"
#include "lang/language.h"
#include "lang/message_text.h"
#include "platform/local_time.h"
#include "platform/profile/recent_file_list.h"
#include "platform/profile/settings_store.h"
#include "platform/report.h"
#include "render/animation.h"
#include "render/panel_content.h"
#include "view/tessara_view.h"
#include "view/view_commands.h"

namespace lumetra::gui {
namespace {

using Commands = std::initializer_list<int>;

const QString kMainFrameTitle = QStringLiteral("Lumetra");
const QString kUntitledBase = QStringLiteral("Lumet");
// The menu items whose texts name the document choosers.
constexpr int kOpenTextKey = 57601;
constexpr int kSaveAsTextKey = 57604;

// Status-bar panes and the keys of their texts; the scroll-lock pane keeps its own.
constexpr std::pair<int, int> kPaneKeys[] = {{0, 32000}, {1, 32001}, {2, 32002}, {4, 32005}, {5, 32006}};
// Popups by position, and the language popup of the View menu.
constexpr const char* kPopupKeys[] = {"57600P", "57637P", "32772P", "32779P", "32848P"};
constexpr const char* kLanguagePopupKey = "32800";

// The tool bars' buttons in order; 0 is a separator.
constexpr int kSystemToolBar[] = {kCmdFileNew,
                                  kCmdFileOpen,
                                  kCmdFileSave,
                                  0,
                                  kCmdCopy,
                                  kCmdPaste,
                                  kCmdCentreHorizontally,
                                  kCmdCentreVertically,
                                  kCmdUndo,
                                  kCmdRedo,
                                  0,
                                  kCmdZoomList,
                                  kCmdPreview,
                                  kCmdPlayAsPanel,
                                  0,
                                  kCmdPlayModes,
                                  kCmdSendPicture,
                                  kCmdPropertyBox};
constexpr int kDrawToolBar[] = {
    kCmdSelect,    0, kCmdToolLine, kCmdToolRectangle, kCmdToolRoundRectangle, kCmdToolEllipse,
    kCmdToolCurve, 0, kCmdToolText, kCmdToolClock,     kCmdImportBmpButton,    0,
    kCmdIdle};

constexpr int kRecentFilePromptKey = 60003;

bool IsRecentFile(int command) { return command >= kCmdRecentFile1 && command < kCmdRecentFile1 + kRecentFileCount; }

}  // namespace
}  // namespace lumetra::gui

// The icons and pictures sit in the static library's resource collection.
static void InitGuiResources() { Q_INIT_RESOURCE(gui); }

namespace lumetra::gui {

CMainFrame::CMainFrame(SettingsStore& store, Language& language, QWidget* parent)
    : QMainWindow(parent),
      store_(store),
      language_(language),
      recentFiles_(std::make_unique<RecentFileList>(store, kRecentFileCount)),
      panel_(PanelSettings::Load(store)) {
  InitGuiResources();
  // Settings that cannot be written cost the user a warning, never the session.
  store_.SetWriteFailureHandler([this](const FileError& error) {
    if (settingsWarningShown_) return;
    settingsWarningShown_ = true;
    ReportMessage(FormatText(text_key::kSettingsNotWritten, {error.what()}));
  });
  // Every run starts in English, whatever was chosen before.
  language_.SelectLanguage("English");
  setWindowIcon(QIcon(QStringLiteral(":/icons/lumetra.svg")));
  setAcceptDrops(true);
  mdi_ = new QMdiArea(this);
  mdi_->setBackground(palette().brush(QPalette::Dark));
  setCentralWidget(mdi_);
  mdi_->viewport()->installEventFilter(this);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] {
    UpdateWindowTitle();
    UpdateCommandStates();
  });
  // Paste from Clipboard follows what any program puts on the clipboard.
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &CMainFrame::UpdateCommandStates);

  CreateActions();
  CreateToolBars();
  CreateStatusBar();
  CreateMenus();
  CreatePropertyBox();
  RetranslateShell();

  // A failure to load is not reported here: the transfer that needs a library says so.
  panelLibrary_ = LoadDisplayLibrary(kPanelLibraryFile);
  driverLibrary_ = LoadDisplayLibrary(kDriverLibraryFile);
  transfers_ = new TransferRunner(driverLibrary_.get(), panelLibrary_.get(), this);

  UpdateWindowTitle();
}

// The workspace announces activations while it takes its windows down; by
// then the frame's own parts are going, so nothing may answer.
CMainFrame::~CMainFrame() {
  mdi_->disconnect(this);
  store_.SetWriteFailureHandler(nullptr);
}

// Every command of the menus and tool bars, with what the frame needs to
// show it and to run it.
const std::vector<CMainFrame::ActionSpec>& CMainFrame::ActionTable() {
  using F = CMainFrame;
  static constexpr auto kWithDocument = [](const F& f) { return CommandState{f.ActiveChild() != nullptr, false}; };
  static constexpr auto kSaveActive = [](F& f, bool askForName) {
    if (CChildFrame* child = f.ActiveChild()) f.SaveDocument(*child, askForName);
  };
  static const std::vector<ActionSpec> table = {
      // File
      {kCmdFileNew, 57600, "file-new", "Ctrl+N", 60000, [](F& f) { f.NewDocument(); }},
      {kCmdFileOpen, 57601, "file-open", "Ctrl+O", 60001, [](F& f) { f.OpenWithDialog(); }},
      {kCmdFileClose, 57602, nullptr, nullptr, 60002,
       [](F& f) {
         if (CChildFrame* child = f.ActiveChild()) child->close();
       },
       kWithDocument},
      {kCmdFileSave, 57603, "file-save", "Ctrl+S", 0, [](F& f) { kSaveActive(f, false); }, kWithDocument},
      {kCmdFileSaveAs, 57604, nullptr, nullptr, 0, [](F& f) { kSaveActive(f, true); }, kWithDocument},
      {kCmdSaveAsBmp, 32860, nullptr, "Ctrl+B"},
      {kCmdImportBmp, 32821},
      {kCmdExportAnimation, text_key::kExportAnimation, nullptr, nullptr, 0, [](F& f) { f.ExportAnimation(); },
       kWithDocument},
      {kCmdPlayModes, 32880, "parameters"},
      {kCmdSendPicture, 32881, "send", nullptr, 0,
       [](F& f) {
         if (CChildFrame* child = f.ActiveChild()) f.transfers_->SendPicture(child->Document(), child->View());
       },
       kWithDocument},
      {kCmdSendClock, 0, nullptr, nullptr, 0, [](F& f) { f.transfers_->SendClock(); }},
      {kCmdPrint, text_key::kPrint, nullptr, "Ctrl+P", 0, [](F& f) { f.PrintActive(false); }, kWithDocument},
      {kCmdPrintPreview, text_key::kPrintPreview, nullptr, nullptr, 0, [](F& f) { f.PrintActive(true); },
       kWithDocument},
      {kCmdPrintSetup, text_key::kPrintSetup, nullptr, nullptr, 0, [](F& f) { ShowPrintSetup(&f); }},
      {kCmdExit, 57665, nullptr, nullptr, 60004, [](F& f) { f.close(); }},
      // Edit
      {kCmdUndo, text_key::kUndoNothing, "edit-undo", "Ctrl+Z"},
      {kCmdRedo, text_key::kRedoNothing, "edit-redo", "Ctrl+Y; Ctrl+Shift+Z"},
      {kCmdSelectAll, text_key::kSelectAll, nullptr, "Ctrl+A"},
      {kCmdCutToClipboard, text_key::kCutToClipboard, nullptr, "Ctrl+X"},
      {kCmdCopyToClipboard, text_key::kCopyToClipboard, nullptr, "Ctrl+C"},
      {kCmdPasteFromClipboard, text_key::kPasteFromClipboard, nullptr, "Ctrl+V"},
      {kCmdBringToFront, text_key::kBringToFront, nullptr, "Ctrl+Shift+]"},
      {kCmdSendToBack, text_key::kSendToBack, nullptr, "Ctrl+Shift+["},
      {kCmdBringForward, text_key::kBringForward, nullptr, "Ctrl+]"},
      {kCmdSendBackward, text_key::kSendBackward, nullptr, "Ctrl+["},
      {kCmdCopy, 57634, "edit-copy"},
      {kCmdPaste, 57637, "edit-paste"},
      {kCmdCentreHorizontally, 0, "align-centre-horizontal"},
      {kCmdCentreVertically, 0, "align-centre-vertical"},
      {kCmdZoomList, 0, "zoom", nullptr, 0, nullptr, nullptr, true},
      {kCmdPreview, 0, "preview"},
      {kCmdPlayAsPanel, text_key::kPlayAsPanel, "play-as-panel", nullptr, 0, [](F& f) { f.PlayAsPanel(); },
       kWithDocument},
      // View
      {kCmdPropertyBox, 32773, "property-box", nullptr, 0,
       [](F& f) { f.propertyBox_->setVisible(!f.propertyBox_->isVisible()); },
       [](const F& f) {
         return CommandState{true, f.propertyBox_ && f.propertyBox_->isVisible()};
       },
       true},
      {kCmdViewStatusBar, 32787, nullptr, nullptr, 60005,
       [](F& f) { f.statusBar()->setVisible(!f.statusBar()->isVisible()); },
       [](const F& f) {
         return CommandState{true, f.statusBar()->isVisible()};
       },
       true},
      {kCmdViewToolbar, 32797, nullptr, nullptr, 60006,
       [](F& f) { f.systemToolBar_->setVisible(!f.systemToolBar_->isVisible()); },
       [](const F& f) {
         return CommandState{true, f.systemToolBar_->isVisible()};
       },
       true},
      {kCmdDrawToolbar, 32798, nullptr, nullptr, 0,
       [](F& f) { f.drawToolBar_->setVisible(!f.drawToolBar_->isVisible()); },
       [](const F& f) {
         return CommandState{true, f.drawToolBar_->isVisible()};
       },
       true},
      {kCmdScreenSize, 32799},
      {kCmdLanguageChinese, 32801, nullptr, nullptr, 0, [](F& f) { f.ChooseLanguage(kCmdLanguageChinese); },
       [](const F& f) {
         return CommandState{true, f.languageName_ == "Chinese"};
       },
       true},
      {kCmdLanguageEnglish, 32802, nullptr, nullptr, 0, [](F& f) { f.ChooseLanguage(kCmdLanguageEnglish); },
       [](const F& f) {
         return CommandState{true, f.languageName_ != "Chinese"};
       },
       true},
      // Window, Help
      {kCmdWindowArrange, 32780, nullptr, nullptr, 60007, [](F& f) { f.mdi_->tileSubWindows(); }},
      {kCmdAbout, 32848, nullptr, nullptr, 60008, [](F& f) { CAboutDlg(&f).exec(); }},
      // The draw tool bar
      {kCmdSelect, 0, "tool-select", nullptr, 0, nullptr, nullptr, true},
      {kCmdToolLine, 0, "tool-line", nullptr, 0, nullptr, nullptr, true},
      {kCmdToolRectangle, 0, "tool-rectangle", nullptr, 0, nullptr, nullptr, true},
      {kCmdToolRoundRectangle, 0, "tool-round-rectangle", nullptr, 0, nullptr, nullptr, true},
      {kCmdToolEllipse, 0, "tool-ellipse", nullptr, 0, nullptr, nullptr, true},
      {kCmdToolCurve, 0, "tool-curve", nullptr, 0, nullptr, nullptr, true},
      {kCmdToolText, 0, "tool-text", nullptr, 0, nullptr, nullptr, true},
      {kCmdToolClock, 0, "tool-clock", nullptr, 0, nullptr, nullptr, true},
      {kCmdImportBmpButton, 0, "tool-bitmap"},
      {kCmdIdle, 0, "tool-release"},
  };
  return table;
}

const CMainFrame::ActionSpec* CMainFrame::FindAction(int command) {
  const auto& table = ActionTable();
  const auto found =
      std::find_if(table.begin(), table.end(), [&](const ActionSpec& a) { return a.command == command; });
  return found == table.end() ? nullptr : &*found;
}

void CMainFrame::CreateActions() {
  for (const ActionSpec& entry : ActionTable()) {
    auto* action = new QAction(this);
    if (entry.icon) action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(entry.icon))));
    if (entry.shortcut) action->setShortcuts(QKeySequence::listFromString(QLatin1String(entry.shortcut)));
    action->setCheckable(entry.checkable);
    // In the menu a toggle's check mark shows its state, not the tool-bar picture.
    if (entry.checkable && entry.run) action->setIconVisibleInMenu(false);
    AddAction(entry.command, action);
  }
  for (int i = 0; i < kRecentFileCount; ++i) AddAction(kCmdRecentFile1 + i, new QAction(this));
}

void CMainFrame::AddAction(int command, QAction* action) {
  action->setData(command);
  connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
  actions_[command] = action;
}

void CMainFrame::CreateMenus() {
  QMenu* file = menuBar()->addMenu(tr("File(&F)"));
  for (int command : Commands{kCmdFileNew, kCmdFileOpen, kCmdFileClose, kCmdFileSave, kCmdFileSaveAs}) {
    file->addAction(actions_[command]);
  }
  file->addSeparator();
  for (int command : Commands{kCmdSaveAsBmp, kCmdImportBmp, kCmdExportAnimation}) file->addAction(actions_[command]);
  file->addSeparator();
  for (int command : Commands{kCmdPlayModes, kCmdSendPicture}) file->addAction(actions_[command]);
  file->addSeparator();
  for (int command : Commands{kCmdPrint, kCmdPrintPreview, kCmdPrintSetup}) file->addAction(actions_[command]);
  file->addSeparator();
  recentMenu_ = file->addMenu(tr("Recent Files"));
  for (int i = 0; i < kRecentFileCount; ++i) recentMenu_->addAction(actions_[kCmdRecentFile1 + i]);
  file->addSeparator();
  file->addAction(actions_[kCmdExit]);

  QMenu* edit = menuBar()->addMenu(tr("Edit(&E)"));
  edit->addAction(actions_[kCmdUndo]);
  edit->addAction(actions_[kCmdRedo]);
  edit->addSeparator();
  for (int command : Commands{kCmdCutToClipboard, kCmdCopyToClipboard, kCmdPasteFromClipboard}) {
    edit->addAction(actions_[command]);
  }
  edit->addSeparator();
  edit->addAction(actions_[kCmdCopy]);
  edit->addAction(actions_[kCmdPaste]);
  edit->addSeparator();
  edit->addAction(actions_[kCmdSelectAll]);
  edit->addSeparator();
  for (int command : Commands{kCmdBringToFront, kCmdSendToBack, kCmdBringForward, kCmdSendBackward}) {
    edit->addAction(actions_[command]);
  }

  // The language popup stands at position 6 of the View menu.
  QMenu* view = menuBar()->addMenu(tr("View(&V)"));
  for (int command : Commands{kCmdPropertyBox, kCmdViewStatusBar, kCmdViewToolbar, kCmdDrawToolbar, kCmdScreenSize}) {
    view->addAction(actions_[command]);
  }
  view->addSeparator();
  languageMenu_ = view->addMenu(tr("Language"));
  auto* languages = new QActionGroup(this);
  for (int command : Commands{kCmdLanguageChinese, kCmdLanguageEnglish}) {
    languages->addAction(actions_[command]);
    languageMenu_->addAction(actions_[command]);
  }
  view->addSeparator();
  view->addAction(actions_[kCmdPlayAsPanel]);

  QMenu* window = menuBar()->addMenu(tr("Window(&W)"));
  connect(window, &QMenu::aboutToShow, this, [this, window] {
    // The open document windows are listed after the menu's own item.
    window->clear();
    window->addAction(actions_[kCmdWindowArrange]);
    const auto children = mdi_->subWindowList();
    if (!children.isEmpty()) window->addSeparator();
    int number = 1;
    for (QMdiSubWindow* sub : children) {
      auto* child = static_cast<CChildFrame*>(sub);
      QAction* item = window->addAction(QStringLiteral("&%1 %2").arg(number++).arg(child->Title()));
      item->setCheckable(true);
      item->setChecked(sub == mdi_->activeSubWindow());
      connect(item, &QAction::triggered, this, [this, sub] { mdi_->setActiveSubWindow(sub); });
    }
  });
  window->addAction(actions_[kCmdWindowArrange]);

  QMenu* help = menuBar()->addMenu(tr("Help(&H)"));
  help->addAction(actions_[kCmdAbout]);
  menus_ = {file, edit, view, window, help};
  for (QMenu* menu : menus_) connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
  UpdateRecentFiles();
}

void CMainFrame::CreateToolBars() {
  const auto fill = [this](QToolBar* bar, auto&& commands) {
    for (int command : commands) {
      if (command == 0) {
        bar->addSeparator();
      } else {
        bar->addAction(actions_[command]);
      }
    }
  };
  systemToolBar_ = new QToolBar(tr("System toolbar"), this);
  systemToolBar_->setObjectName(QStringLiteral("systemToolBar"));
  systemToolBar_->setIconSize(QSize(19, 18));
  fill(systemToolBar_, kSystemToolBar);
  addToolBar(Qt::TopToolBarArea, systemToolBar_);

  drawToolBar_ = new QToolBar(tr("Draw toolbar"), this);
  drawToolBar_->setObjectName(QStringLiteral("drawToolBar"));
  drawToolBar_->setIconSize(QSize(24, 24));
  fill(drawToolBar_, kDrawToolBar);
  addToolBar(Qt::LeftToolBarArea, drawToolBar_);

  // The View menu's checks follow the bars, however they were shown or hidden.
  connect(systemToolBar_, &QToolBar::visibilityChanged, actions_[kCmdViewToolbar], &QAction::setChecked);
  connect(drawToolBar_, &QToolBar::visibilityChanged, actions_[kCmdDrawToolbar], &QAction::setChecked);
}

void CMainFrame::CreateStatusBar() {
  // Panes: 0 message, 1 window point (59144), 2 LED point (59143), 3 separator, 4 CAP, 5 NUM, 6 SCRL.
  const QStringList texts = {tr("Ready"), tr("Mouse Caption"), tr("ID_MousPoint"), QString(),
                             tr("CAP"),   tr("NUM"),           tr("SCRL")};
  for (int i = 0; i < texts.size(); ++i) {
    auto* pane = new QLabel(texts[i], this);
    if (i == 0) {
      statusBar()->addWidget(pane, 1);
    } else {
      pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      statusBar()->addPermanentWidget(pane);
    }
    panes_.push_back(pane);
  }
  panes_[3]->setMinimumWidth(8);
}

void CMainFrame::CreatePropertyBox() {
  propertyBox_ = new CDLineProperty(panel_.colourSet, this);
  connect(&propertyBox_->StylePage(), &CDLineDlg1::styleChanged, this, [this] {
    if (CChildFrame* child = ActiveChild()) child->View().ApplyStyleToCurrentUnit();
  });
  // Closed by its own button: the View menu's check follows.
  connect(propertyBox_, &QDialog::finished, this, &CMainFrame::UpdateCommandStates);
  // Placed once the frame is on the screen (see showEvent).
  actions_[kCmdPropertyBox]->setChecked(true);
}

CChildFrame* CMainFrame::AddChild(std::unique_ptr<CTessaraDoc> document, const QString& title) {
  auto* child = new CChildFrame(std::move(document), title, &propertyBox_->StylePage().Values());
  child->SetSaveHandler([this](CChildFrame& frame) { return SaveDocument(frame, false); });
  mdi_->addSubWindow(child);
  CanvasWidget& canvas = child->Canvas();
  connect(&canvas, &CanvasWidget::mousePositionChanged, this, &CMainFrame::ShowMousePosition);
  connect(&canvas, &CanvasWidget::stylePageChanged, &propertyBox_->StylePage(), &CDLineDlg1::ShowValues);
  connect(&canvas, &CanvasWidget::viewStateChanged, this, &CMainFrame::UpdateCommandStates);
  connect(&canvas, &CanvasWidget::viewStateChanged, this, &CMainFrame::UpdateWindowTitle);
  // A step made, undone or redone changes the Undo and Redo items and the title's "*".
  connect(&canvas, &CanvasWidget::historyChanged, this, [this, child] {
    if (child != ActiveChild()) return;
    UpdateCommandStates();
    UpdateWindowTitle();
  });
  connect(&canvas, &CanvasWidget::statusMessage, this,
          [this](const QString& text) { statusBar()->showMessage(text, 5000); });
  connect(&canvas, &CanvasWidget::documentsDropped, this, &CMainFrame::OpenDocuments);
  connect(&canvas, &CanvasWidget::panelSettingsChanged, this, [this, child] { ApplyPanelSettingsOf(*child); });
  connect(&canvas, &CanvasWidget::applyPlayModesRequested, this,
          [this, child] { transfers_->ApplyPlayModes(child->Document(), child->View()); });
  connect(child, &CChildFrame::titleChanged, this, &CMainFrame::UpdateWindowTitle);
  child->show();
  child->FitToCanvas();
  mdi_->setActiveSubWindow(child);
  canvas.setFocus();
  return child;
}

CChildFrame* CMainFrame::NewDocument() {
  auto document = std::make_unique<CTessaraDoc>();
  document->OnNewDocument(panel_);
  return AddChild(std::move(document), kUntitledBase + QString::number(++untitledCount_));
}

CChildFrame* CMainFrame::OpenDocument(const std::filesystem::path& path) {
  // A document already open is brought to the front instead of being read twice.
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    auto* child = static_cast<CChildFrame*>(sub);
    std::error_code ignored;
    if (!child->Document().GetPathName().empty() &&
        std::filesystem::equivalent(child->Document().GetPathName(), path, ignored)) {
      mdi_->setActiveSubWindow(child);
      return child;
    }
  }
  auto document = std::make_unique<CTessaraDoc>();
  try {
    document->OnOpenDocument(path, panel_);
  } catch (const DocumentError& error) {
    QMessageBox::warning(this, QStringLiteral("Tessara"), FromUtf8(error.what()));
    recentFiles_->Remove(path.string());
    UpdateRecentFiles();
    return nullptr;
  }
  recentFiles_->Add(std::filesystem::absolute(path).string());
  UpdateRecentFiles();
  return AddChild(std::move(document), FromUtf8(path.filename().string()));
}

bool CMainFrame::OpenDocuments(const QStringList& paths) {
  bool opened = false;
  for (const QString& path : paths) opened = OpenDocument(std::filesystem::path(path.toStdString())) || opened;
  return opened;
}

void CMainFrame::BringToFront() {
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
  // Without a window manager the floating box would stay under the frame.
  if (propertyBox_->isVisible()) propertyBox_->raise();
}

bool CMainFrame::SaveDocument(CChildFrame& child, bool askForName) {
  std::filesystem::path path = child.Document().GetPathName();
  if (askForName || path.empty()) {
    const QString suggested = path.empty() ? child.Title() + QStringLiteral(".tz") : FromUtf8(path.string());
    const std::optional<QString> chosen =
        ChooseFileToSave(this, PlainText(kSaveAsTextKey), suggested, DocumentFileFilters(), QStringLiteral("tz"));
    if (!chosen) return false;
    path = std::filesystem::path(chosen->toStdString());
  }
  try {
    child.Document().OnSaveDocument(path);
  } catch (const DocumentError& error) {
    QMessageBox::warning(this, QStringLiteral("Tessara"), FromUtf8(error.what()));
    return false;
  }
  child.SetTitle(FromUtf8(path.filename().string()));
  recentFiles_->Add(std::filesystem::absolute(path).string());
  UpdateRecentFiles();
  return true;
}

CChildFrame* CMainFrame::ActiveChild() const { return static_cast<CChildFrame*>(mdi_->activeSubWindow()); }

QAction* CMainFrame::Action(int command) const {
  const auto found = actions_.find(command);
  return found == actions_.end() ? nullptr : found->second;
}

QMenu* CMainFrame::MainMenu(int position) const {
  return position >= 0 && std::size_t(position) < menus_.size() ? menus_[std::size_t(position)] : nullptr;
}

QLabel* CMainFrame::Pane(int index) const {
  return index >= 0 && std::size_t(index) < panes_.size() ? panes_[std::size_t(index)] : nullptr;
}

// A command runs in the frame or in the active view; the command states
// and the title follow at once, as the command may have changed them.
void CMainFrame::OnCommand(int command) {
  const ActionSpec* entry = FindAction(command);
  if (IsRecentFile(command)) {
    const std::size_t index = std::size_t(command - kCmdRecentFile1);
    if (index < recentFiles_->Files().size()) OpenDocument(recentFiles_->Files()[index]);
  } else if (entry && entry->run) {
    entry->run(*this);
  } else if (CChildFrame* child = ActiveChild()) {
    child->View().OnCommand(command);
    child->View().Repaint();
  }
  UpdateCommandStates();
  UpdateWindowTitle();
}

void CMainFrame::UpdateCommandStates() {
  CChildFrame* child = ActiveChild();
  for (const ActionSpec& entry : ActionTable()) {
    CommandState state;
    if (entry.state) {
      state = entry.state(*this);
    } else if (!entry.run) {
      state = child ? child->View().GetCommandState(entry.command) : CommandState{false, false};
    }
    QAction* action = actions_[entry.command];
    action->setEnabled(state.enabled);
    if (action->isCheckable()) action->setChecked(state.checked);
  }
  UpdateHistoryActions();
}

// Undo and Redo name the step they would take back or do again.
void CMainFrame::UpdateHistoryActions() {
  CChildFrame* child = ActiveChild();
  const EditHistory* history = child ? &child->Document().History() : nullptr;
  const auto label = [&](int command, std::optional<StepKind> step, int stepKey, int nothingKey) {
    const QString text =
        step ? FromUtf8(FormatText(stepKey, {LookupText(text_key::kStepNames[std::size_t(*step)])})) : Text(nothingKey);
    QAction* action = actions_[command];
    action->setText(text);
    const QString tip = FromUtf8(PlainMenuText(text.toStdString()));
    action->setToolTip(tip);
    action->setStatusTip(tip);
  };
  label(kCmdUndo, history ? history->UndoKind() : std::nullopt, text_key::kUndoStep, text_key::kUndoNothing);
  label(kCmdRedo, history ? history->RedoKind() : std::nullopt, text_key::kRedoStep, text_key::kRedoNothing);
}

void CMainFrame::ShowMousePosition(QPoint canvas, QPoint client) {
  panes_[2]->setText(Text(32004) + QStringLiteral(":(%1,%2)").arg(canvas.x()).arg(-canvas.y()));
  panes_[1]->setText(Text(32003) + QStringLiteral(":(%1,%2)").arg(client.x()).arg(client.y()));
  for (QLabel* pane : {panes_[1], panes_[2]}) {
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(pane->text()) + 2 * pane->frameWidth() + 4);
  }
}

void CMainFrame::ChooseLanguage(int command) {
  // The item's own text names the language unless it is one of the two known texts.
  const QString itemText = actions_[command]->text();
  QString name = itemText;
  if (itemText == Text(32802)) {
    name = QStringLiteral("English");
  } else if (itemText == Text(32801)) {
    name = QStringLiteral("Chinese");
  }
  languageName_ = name.toStdString();
  language_.SelectLanguage(languageName_);
  RetranslateShell();
}

void CMainFrame::RetranslateShell() {
  propertyBox_->Retranslate();
  TranslateMainMenu();
  for (const auto& [index, key] : kPaneKeys) panes_[std::size_t(index)]->setText(Text(key));
  for (PlayAsPanelWindow* player : findChildren<PlayAsPanelWindow*>()) player->Retranslate();
}

void CMainFrame::TranslateMainMenu() {
  for (std::size_t i = 0; i < menus_.size(); ++i) menus_[i]->setTitle(Text(kPopupKeys[i]));
  systemToolBar_->setWindowTitle(Text(text_key::kSystemToolBarTitle));
  drawToolBar_->setWindowTitle(Text(text_key::kDrawToolBarTitle));
  languageMenu_->setTitle(Text(kLanguagePopupKey));
  recentMenu_->setTitle(Text("57616"));
  // Tool tips and prompts of the tool-bar buttons are the texts of their
  // ids; an item without a menu text of its own shows its tip.
  for (const ActionSpec& entry : ActionTable()) {
    QAction* action = actions_[entry.command];
    const QString tip = PlainText(entry.command).left(80);
    action->setToolTip(tip);
    action->setStatusTip(tip);
    action->setText(entry.textKey != 0 ? Text(entry.textKey) : tip);
  }
  UpdateCommandStates();
  UpdateRecentFiles();
  menuBar()->update();
}

void CMainFrame::ExportAnimation() {
  CChildFrame* child = ActiveChild();
  if (!child) return;
  const auto fail = [this](const std::string& why) {
    QMessageBox::warning(this, QStringLiteral("Tessara"), FromUtf8(FormatText(text_key::kAnimationNotExported, {why})));
  };
  // A send refuses a clock beyond the frames a panel can show it in; so does the export.
  if (const std::optional<std::int64_t> frame = ClockFrameBeyondPanels(child->Document())) {
    return fail(FormatText(text_key::kClockBeyondPanelFrames, {std::to_string(*frame)}));
  }
  // The clock shows this computer's time from now on, as after a send.
  const std::optional<PanelState> show =
      PanelStateAfterSend(child->Document(), {GetLocalTime(), false, child->View().m_ptOrigin});
  if (!show) return fail(Text(text_key::kAnimationNoPicture).toStdString());
  ExportAnimationDialog options(*show, this);
  if (options.exec() != QDialog::Accepted) return;
  const QString suggested = QFileInfo(FromUtf8(child->Document().GetTitle())).completeBaseName() + ".gif";
  const std::optional<QString> path = ChooseFileToSave(this, Text(text_key::kExportAnimationTitle), suggested,
                                                       {Text(text_key::kAnimationGifFilter)}, QStringLiteral("gif"));
  if (!path) return;

  QProgressDialog progress(Text(text_key::kAnimationExporting), Text(text_key::kCancelButton), 0,
                           AnimationMoments(options.Options()), this);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(500);
  try {
    const bool finished = ExportGif(*show, options.Options(), path->toStdString(), [&progress](int done, int) {
      progress.setValue(done);
      return !progress.wasCanceled();
    });
    progress.reset();
    statusBar()->showMessage(
        FromUtf8(FormatText(finished ? text_key::kAnimationSaved : text_key::kAnimationStopped, {path->toStdString()})),
        8000);
  } catch (const std::exception& error) {
    progress.reset();
    fail(error.what());
  }
}

void CMainFrame::PlayAsPanel() {
  CChildFrame* child = ActiveChild();
  if (!child) return;
  auto* window = child->findChild<PlayAsPanelWindow*>(QString(), Qt::FindDirectChildrenOnly);
  if (!window) window = new PlayAsPanelWindow(*child);
  window->show();
  window->raise();
  window->activateWindow();
}

std::optional<QString> CMainFrame::MenuPrompt(const QAction* action) const {
  const int command = action ? action->data().toInt() : 0;
  if (command < kPromptIdsFirst || command > kPromptIdsLast) return std::nullopt;
  if (IsRecentFile(command)) return Text(kRecentFilePromptKey);
  const ActionSpec* entry = FindAction(command);
  return entry && entry->promptKey != 0 ? Text(entry->promptKey) : QString();
}

// A menu announces the hovered item's status tip, which is the tool-bar
// button's tip for items on a tool bar too; a menu item shows its own prompt.
bool CMainFrame::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    if (const auto* menu = qobject_cast<const QMenu*>(QApplication::activePopupWidget())) {
      if (const std::optional<QString> prompt = MenuPrompt(menu->activeAction())) {
        statusBar()->showMessage(*prompt);
        return true;
      }
    }
  }
  return QMainWindow::event(event);
}

void CMainFrame::UpdateWindowTitle() {
  CChildFrame* child = ActiveChild();
  if (!child) {
    setWindowTitle(kMainFrameTitle);
    return;
  }
  const QString modified = child->Document().IsModified() ? QStringLiteral("*") : QString();
  setWindowTitle(kMainFrameTitle + QStringLiteral(" - ") + child->Title() + modified);
}

void CMainFrame::UpdateRecentFiles() {
  const auto& files = recentFiles_->Files();
  for (int i = 0; i < kRecentFileCount; ++i) {
    QAction* action = actions_[kCmdRecentFile1 + i];
    const bool used = std::size_t(i) < files.size();
    action->setVisible(used || i == 0);
    action->setEnabled(used);
    action->setText(used ? QStringLiteral("&%1 %2").arg(i + 1).arg(FromUtf8(files[std::size_t(i)])) : Text("57616"));
  }
}

void CMainFrame::OpenWithDialog() {
  const QStringList chosen =
      QFileDialog::getOpenFileNames(this, PlainText(kOpenTextKey), QString(), DocumentFileFilters().join(";;"));
  OpenDocuments(chosen);
}

void CMainFrame::PrintActive(bool preview) {
  if (CChildFrame* child = ActiveChild()) PrintView(child->View(), this, preview);
}

void CMainFrame::ApplyPanelSettingsOf(CChildFrame& child) {
  try {
    child.Document().ApplyPanelSettings(panel_, store_);
  } catch (const std::exception& error) {
    QMessageBox::warning(this, QStringLiteral("Tessara"), FromUtf8(error.what()));
  }
  propertyBox_->StylePage().AdaptColours(panel_.colourSet);
}

bool CMainFrame::CloseAllDocuments() {
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    if (!sub->close()) return false;
  }
  return true;
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (propertyBoxPlaced_) return;
  propertyBoxPlaced_ = true;
  // Its right edge 2 pixels inside the frame's client area, its top on the
  // system tool bar's bottom edge.
  QTimer::singleShot(0, this, [this] {
    const QPoint topRight = mapToGlobal(QPoint(width(), systemToolBar_->geometry().bottom() + 1));
    propertyBox_->adjustSize();
    propertyBox_->move(topRight.x() - propertyBox_->frameGeometry().width() - 2, topRight.y());
    propertyBox_->show();
    UpdateCommandStates();
  });
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  // The document windows follow the workspace's size, as they follow the canvas'.
  if (watched == mdi_->viewport() && event->type() == QEvent::Resize) {
    for (QMdiSubWindow* sub : mdi_->subWindowList()) static_cast<CChildFrame*>(sub)->FitToCanvas();
  }
  return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!CloseAllDocuments()) {
    event->ignore();
    return;
  }
  propertyBox_->hide();
  QMainWindow::closeEvent(event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  OpenDocuments(paths);
  event->acceptProposedAction();
}

}  // namespace lumetra::gui
