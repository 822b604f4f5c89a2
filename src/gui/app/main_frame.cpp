#include "gui/app/main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
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
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "document/document.h"
#include "gui/app/about_box.h"
#include "gui/app/child_frame.h"
#include "gui/app/printing.h"
#include "gui/app/shell_commands.h"
#include "gui/app/transfer_runner.h"
#include "gui/canvas/canvas_widget.h"
#include "gui/dialogs/dialog_translation.h"
#include "gui/dialogs/file_choosers.h"
#include "gui/dialogs/style_property_box.h"
#include "lang/language.h"
#include "lang/message_text.h"
#include "platform/codepage/codepage.h"
#include "platform/profile/recent_file_list.h"
#include "platform/report.h"
#include "platform/profile/settings_store.h"
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

// The prompt keys of the menu items that have one; other ids in the prompt range show none.
std::optional<int> PromptKey(int command) {
  switch (command) {
    case kCmdFileNew:
      return 60000;
    case kCmdFileOpen:
      return 60001;
    case kCmdFileClose:
      return 60002;
    case kCmdRecentFile1:
      return 60003;
    case kCmdExit:
      return 60004;
    case kCmdViewStatusBar:
      return 60005;
    case kCmdViewToolbar:
      return 60006;
    case kCmdWindowArrange:
      return 60007;
    case kCmdAbout:
      return 60008;
    default:
      return std::nullopt;
  }
}

// Main-menu items and the keys of their texts.
struct MenuItemKey {
  int command;
  int key;
};
constexpr MenuItemKey kMenuItemKeys[] = {
    {kCmdFileNew, 57600},          {kCmdFileOpen, 57601},           {kCmdFileClose, 57602},
    {kCmdFileSave, 57603},         {kCmdFileSaveAs, 57604},         {kCmdSaveAsBmp, 32860},
    {kCmdImportBmp, 32821},        {kCmdPlayModes, 32880},          {kCmdSendPicture, 32881},
    {kCmdPrint, text_key::kPrint}, {kCmdPrintPreview, text_key::kPrintPreview},
    {kCmdPrintSetup, text_key::kPrintSetup},
    {kCmdExit, 57665},             {kCmdCopy, 57634},               {kCmdPaste, 57637},
    {kCmdPropertyBox, 32773},      {kCmdViewStatusBar, 32787},      {kCmdViewToolbar, 32797},
    {kCmdDrawToolbar, 32798},      {kCmdScreenSize, 32799},         {kCmdLanguageChinese, 32801},
    {kCmdLanguageEnglish, 32802},  {kCmdWindowArrange, 32780},      {kCmdAbout, 32848},
};
// Status-bar panes and the keys of their texts; the scroll-lock pane keeps its own.
constexpr std::pair<int, int> kPaneKeys[] = {{0, 32000}, {1, 32001}, {2, 32002}, {4, 32005}, {5, 32006}};
// Popups by position, and the language popup of the View menu.
constexpr const char* kPopupKeys[] = {"57600P", "57637P", "32772P", "32779P", "32848P"};
constexpr const char* kLanguagePopupKey = "32800";

// The tool bars' buttons in order; 0 is a separator.
constexpr int kSystemToolBar[] = {kCmdFileNew, kCmdFileOpen, kCmdFileSave, 0, kCmdCopy, kCmdPaste,
                                  kCmdCentreHorizontally, kCmdCentreVertically, 0, kCmdZoomList, kCmdPreview, 0,
                                  kCmdPlayModes, kCmdSendPicture, kCmdPropertyBox};
constexpr int kDrawToolBar[] = {kCmdSelect,   0,           kCmdToolLine, kCmdToolRectangle, kCmdToolRoundRectangle,
                                kCmdToolEllipse, kCmdToolCurve, 0,       kCmdToolText,      kCmdToolClock,
                                kCmdImportBmpButton, 0,    kCmdIdle};

QString IconOf(int command) {
  switch (command) {
    case kCmdFileNew: return QStringLiteral("file-new");
    case kCmdFileOpen: return QStringLiteral("file-open");
    case kCmdFileSave: return QStringLiteral("file-save");
    case kCmdCopy: return QStringLiteral("edit-copy");
    case kCmdPaste: return QStringLiteral("edit-paste");
    case kCmdCentreHorizontally: return QStringLiteral("align-centre-horizontal");
    case kCmdCentreVertically: return QStringLiteral("align-centre-vertical");
    case kCmdZoomList: return QStringLiteral("zoom");
    case kCmdPreview: return QStringLiteral("preview");
    case kCmdPlayModes: return QStringLiteral("parameters");
    case kCmdSendPicture: return QStringLiteral("send");
    case kCmdPropertyBox: return QStringLiteral("property-box");
    case kCmdSelect: return QStringLiteral("tool-select");
    case kCmdToolLine: return QStringLiteral("tool-line");
    case kCmdToolRectangle: return QStringLiteral("tool-rectangle");
    case kCmdToolRoundRectangle: return QStringLiteral("tool-round-rectangle");
    case kCmdToolEllipse: return QStringLiteral("tool-ellipse");
    case kCmdToolCurve: return QStringLiteral("tool-curve");
    case kCmdToolText: return QStringLiteral("tool-text");
    case kCmdToolClock: return QStringLiteral("tool-clock");
    case kCmdImportBmpButton: return QStringLiteral("tool-bitmap");
    case kCmdIdle: return QStringLiteral("tool-release");
    default: return {};
  }
}

bool IsFrameCommand(int command) {
  switch (command) {
    case kCmdFileNew: case kCmdFileOpen: case kCmdFileClose: case kCmdFileSave: case kCmdFileSaveAs:
    case kCmdPrintSetup: case kCmdPrint: case kCmdPrintPreview: case kCmdWindowArrange: case kCmdAbout:
    case kCmdExit: case kCmdViewToolbar: case kCmdViewStatusBar: case kCmdPropertyBox: case kCmdDrawToolbar:
    case kCmdLanguageChinese: case kCmdLanguageEnglish: case kCmdSendPicture: case kCmdSendClock:
      return true;
    default:
      return command >= kCmdRecentFile1 && command < kCmdRecentFile1 + kRecentFileCount;
  }
}

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

  // Commands' states follow the views as the framework's idle update would.
  auto* idle = new QTimer(this);
  connect(idle, &QTimer::timeout, this, &CMainFrame::UpdateCommandStates);
  idle->start(250);
  UpdateWindowTitle();
}

// The workspace announces activations while it takes its windows down; by
// then the frame's own parts are going, so nothing may answer.
CMainFrame::~CMainFrame() {
  mdi_->disconnect(this);
  store_.SetWriteFailureHandler(nullptr);
}

QAction* CMainFrame::AddAction(int command, const QString& text, const QString& icon) {
  auto* action = new QAction(text, this);
  if (!icon.isEmpty()) action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(icon)));
  action->setData(command);
  connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
  actions_[command] = action;
  return action;
}

void CMainFrame::CreateActions() {
  AddAction(kCmdFileNew, tr("New(&N)\tCtrl+N"), IconOf(kCmdFileNew))->setShortcut(QKeySequence(tr("Ctrl+N")));
  AddAction(kCmdFileOpen, tr("Open(&O)...\tCtrl+O"), IconOf(kCmdFileOpen))->setShortcut(QKeySequence(tr("Ctrl+O")));
  AddAction(kCmdFileClose, tr("Close(&C)"));
  AddAction(kCmdFileSave, tr("Save(&S)"), IconOf(kCmdFileSave))->setShortcut(QKeySequence(tr("Ctrl+S")));
  AddAction(kCmdFileSaveAs, tr("Save As(&A)..."));
  AddAction(kCmdSaveAsBmp, tr("Save as bmp file..(&B)\tCtrl+B"))->setShortcut(QKeySequence(tr("Ctrl+B")));
  AddAction(kCmdImportBmp, tr("Import bmp file(&I)..."));
  AddAction(kCmdPlayModes, tr("Parameters(&P)..."), IconOf(kCmdPlayModes));
  AddAction(kCmdSendPicture, tr("Send picture to device(&D)..."), IconOf(kCmdSendPicture));
  AddAction(kCmdPrint, tr("Print(&P)...\tCtrl+P"))->setShortcut(QKeySequence(tr("Ctrl+P")));
  AddAction(kCmdPrintPreview, tr("Print Preview(&V)"));
  AddAction(kCmdPrintSetup, tr("Print setting(&R)..."));
  AddAction(kCmdExit, tr("Exit(&X)"));
  AddAction(kCmdCopy, tr("Copy(&C)"), IconOf(kCmdCopy));
  AddAction(kCmdPaste, tr("Paste(&P)"), IconOf(kCmdPaste));
  for (int command : Commands{kCmdCentreHorizontally, kCmdCentreVertically, kCmdZoomList, kCmdPreview}) {
    AddAction(command, QString(), IconOf(command));
  }
  for (int command : Commands{kCmdPropertyBox, kCmdViewStatusBar, kCmdViewToolbar, kCmdDrawToolbar}) {
    QAction* toggle = AddAction(command, QString(), IconOf(command));
    toggle->setCheckable(true);
    // In the menu the check mark shows the state, not the tool-bar picture.
    toggle->setIconVisibleInMenu(false);
  }
  AddAction(kCmdScreenSize, tr("Screen Set(&R)..."));
  AddAction(kCmdLanguageChinese, tr("Chinese"))->setCheckable(true);
  AddAction(kCmdLanguageEnglish, tr("English"))->setCheckable(true);
  AddAction(kCmdWindowArrange, tr("Arrange Icons(&A)"));
  AddAction(kCmdAbout, tr("About(&A)..."));
  for (int command : kDrawToolBar) {
    if (command != 0) AddAction(command, QString(), IconOf(command))->setCheckable(command != kCmdIdle);
  }
  for (int i = 0; i < kRecentFileCount; ++i) AddAction(kCmdRecentFile1 + i, QString());
}

void CMainFrame::CreateMenus() {
  QMenu* file = menuBar()->addMenu(tr("File(&F)"));
  for (int command : Commands{kCmdFileNew, kCmdFileOpen, kCmdFileClose, kCmdFileSave, kCmdFileSaveAs}) {
    file->addAction(actions_[command]);
  }
  file->addSeparator();
  for (int command : Commands{kCmdSaveAsBmp, kCmdImportBmp}) file->addAction(actions_[command]);
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
  edit->addAction(actions_[kCmdCopy]);
  edit->addAction(actions_[kCmdPaste]);

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
    UpdateWindowTitle();
  });
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
  connect(&canvas, &CanvasWidget::panelSettingsChanged, this, [this, child] { ApplyPanelSettingsOf(*child); });
  connect(&canvas, &CanvasWidget::applyPlayModesRequested, this,
          [this, child] { transfers_->ApplyPlayModes(child->Document(), child->View()); });
  canvas.SetCodePage(DocumentCodePage(store_));
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
    if (!child->Document().GetPathName().empty() && std::filesystem::equivalent(child->Document().GetPathName(), path, ignored)) {
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

void CMainFrame::OnCommand(int command) {
  if (!IsFrameCommand(command)) {
    if (CChildFrame* child = ActiveChild()) {
      child->View().OnCommand(command);
      child->Canvas().viewport()->update();
    }
    UpdateCommandStates();
    UpdateWindowTitle();  // the command may have changed the document
    return;
  }
  CChildFrame* child = ActiveChild();
  switch (command) {
    case kCmdFileNew:
      NewDocument();
      break;
    case kCmdFileOpen:
      OpenWithDialog();
      break;
    case kCmdFileClose:
      if (child) child->close();
      break;
    case kCmdFileSave:
    case kCmdFileSaveAs:
      if (child) SaveDocument(*child, command == kCmdFileSaveAs);
      break;
    case kCmdPrint:
    case kCmdPrintPreview:
      PrintActive(command == kCmdPrintPreview);
      break;
    case kCmdPrintSetup:
      ShowPrintSetup(this);
      break;
    case kCmdWindowArrange:
      mdi_->tileSubWindows();
      break;
    case kCmdAbout:
      CAboutDlg(this).exec();
      break;
    case kCmdExit:
      close();
      break;
    case kCmdViewToolbar:
      systemToolBar_->setVisible(!systemToolBar_->isVisible());
      break;
    case kCmdViewStatusBar:
      statusBar()->setVisible(!statusBar()->isVisible());
      break;
    case kCmdDrawToolbar:
      drawToolBar_->setVisible(!drawToolBar_->isVisible());
      break;
    case kCmdPropertyBox:
      propertyBox_->setVisible(!propertyBox_->isVisible());
      break;
    case kCmdLanguageChinese:
    case kCmdLanguageEnglish:
      ChooseLanguage(command);
      break;
    case kCmdSendPicture:
      if (child) transfers_->SendPicture(child->Document(), child->View());
      break;
    case kCmdSendClock:
      transfers_->SendClock();
      break;
    default:
      if (command >= kCmdRecentFile1 && command < kCmdRecentFile1 + kRecentFileCount) {
        const std::size_t index = std::size_t(command - kCmdRecentFile1);
        if (index < recentFiles_->Files().size()) OpenDocument(recentFiles_->Files()[index]);
      }
      break;
  }
  UpdateCommandStates();
}

void CMainFrame::UpdateCommandStates() {
  CChildFrame* child = ActiveChild();
  for (const auto& [command, action] : actions_) {
    if (IsFrameCommand(command)) continue;
    const CommandState state = child ? child->View().GetCommandState(command) : CommandState{false, false};
    action->setEnabled(state.enabled);
    if (action->isCheckable()) action->setChecked(state.checked);
  }
  for (int command : Commands{kCmdFileClose, kCmdFileSave, kCmdFileSaveAs, kCmdPrint, kCmdPrintPreview, kCmdSendPicture}) {
    actions_[command]->setEnabled(child != nullptr);
  }
  actions_[kCmdViewToolbar]->setChecked(systemToolBar_->isVisible());
  actions_[kCmdViewStatusBar]->setChecked(statusBar()->isVisible());
  actions_[kCmdDrawToolbar]->setChecked(drawToolBar_->isVisible());
  actions_[kCmdPropertyBox]->setChecked(propertyBox_ && propertyBox_->isVisible());
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
}

void CMainFrame::TranslateMainMenu() {
  for (std::size_t i = 0; i < menus_.size(); ++i) menus_[i]->setTitle(Text(kPopupKeys[i]));
  for (const MenuItemKey& item : kMenuItemKeys) actions_[item.command]->setText(Text(item.key));
  systemToolBar_->setWindowTitle(Text(text_key::kSystemToolBarTitle));
  drawToolBar_->setWindowTitle(Text(text_key::kDrawToolBarTitle));
  languageMenu_->setTitle(Text(kLanguagePopupKey));
  recentMenu_->setTitle(Text("57616"));
  const bool chinese = languageName_ == "Chinese";
  actions_[kCmdLanguageChinese]->setChecked(chinese);
  actions_[kCmdLanguageEnglish]->setChecked(!chinese);
  // Tool tips and prompts of the tool-bar buttons are the texts of their ids.
  for (QToolBar* bar : {systemToolBar_, drawToolBar_}) {
    for (QAction* action : bar->actions()) {
      if (action->isSeparator()) continue;
      const QString tip = PlainText(action->data().toInt()).left(80);
      action->setToolTip(tip);
      action->setStatusTip(tip);
      if (action->text().isEmpty() || !Action(action->data().toInt())) action->setText(tip);
    }
  }
  for (int command : Commands{kCmdCentreHorizontally, kCmdCentreVertically, kCmdZoomList, kCmdPreview}) {
    actions_[command]->setText(actions_[command]->toolTip());
  }
  for (const int command : kDrawToolBar) {
    if (command != 0) actions_[command]->setText(actions_[command]->toolTip());
  }
  UpdateRecentFiles();
  menuBar()->update();
}

std::optional<QString> CMainFrame::MenuPrompt(const QAction* action) const {
  const int command = action ? action->data().toInt() : 0;
  if (command < kPromptIdsFirst || command > kPromptIdsLast) return std::nullopt;
  int promptCommand = command;
  if (command >= kCmdRecentFile1 && command < kCmdRecentFile1 + kRecentFileCount) promptCommand = kCmdRecentFile1;
  const std::optional<int> key = PromptKey(promptCommand);
  return key ? Text(*key) : QString();
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
    action->setText(used ? QStringLiteral("&%1 %2").arg(i + 1).arg(FromUtf8(files[std::size_t(i)]))
                         : Text("57616"));
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
