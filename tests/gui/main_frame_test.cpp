// The editor's main window, offscreen: documents, drawing through the canvas
// with the style box's style, language switching and the shell's bars.

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QFileDialog>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QWheelEvent>
#include <QMessageBox>
#include <QTimer>
#include <QMenuBar>
#include <QStatusBar>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "support/editor_session.h"
#include "support/collect_messages.h"
#include "support/control_lookup.h"
#include "document/document.h"
#include "document/panel_settings.h"
#include "gui/app/child_frame.h"
#include "gui/app/main_frame.h"
#include "gui/app/shell_commands.h"
#include "gui/canvas/canvas_widget.h"
#include "gui/dialogs/dialog_translation.h"
#include "gui/dialogs/style_property_box.h"
#include "lang/language.h"
#include "platform/app_paths.h"
#include "platform/profile/settings_store.h"
#include "units/rectangle.h"
#include "units/timer.h"
#include "view/view_commands.h"

using namespace lumetra;
using namespace lumetra::gui;

namespace {

// Mouse events straight to the canvas, with the button held while dragging.
void Drag(CanvasWidget& canvas, QPoint from, QPoint to) {
  QWidget* target = canvas.viewport();
  const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
  };
  send(QEvent::MouseButtonPress, from, Qt::LeftButton);
  send(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
  send(QEvent::MouseMove, to, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, to, Qt::NoButton);
}

}  // namespace

class MainFrameTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { session_ = std::make_unique<test::EditorSession>("lumetra-gui"); }

  void cleanup() { session_.reset(); }


  void anEmptySettingsStoreGivesAnEightByOneWordPanelOfTenFrames() {
    CChildFrame* child = session_->frame->NewDocument();
    QVERIFY(child);
    const CTessaraDoc& doc = child->Document();
    QCOMPARE(doc.m_nWidthWords, 8);
    QCOMPARE(doc.m_nHeightWords, 1);
    QCOMPARE(doc.m_nFrames, 10);
    QCOMPARE(doc.m_nColourSet, 0);
    QCOMPARE(child->Title(), QStringLiteral("Lumet1"));
    QVERIFY(session_->frame->windowTitle().startsWith(QStringLiteral("Lumetra - Lumet1")));
  }

  void aRectangleDrawnWithTheMouseTakesTheStyleBoxsStyle() {
    CChildFrame* child = session_->frame->NewDocument();
    CDLineDlg1& page = session_->frame->PropertyBox()->StylePage();
    test::FindControl<QAbstractButton>(&page, 1007)->click();  // DASH
    test::FindControl<QAbstractButton>(&page, 1029)->click();  // green pen
    session_->frame->Action(kCmdToolRectangle)->trigger();
    Drag(child->Canvas(), QPoint(10, 5), QPoint(40, 12));

    const auto& units = child->Document().m_units;
    QCOMPARE(int(units.size()), 1);
    auto* rectangle = dynamic_cast<CRectangle*>(units[0].get());
    QVERIFY(rectangle);
    QCOMPARE(rectangle->m_nPenStyle, PS_DASH);
    QCOMPARE(rectangle->m_crPen, COLORREF(0x0000FF00));
    QCOMPARE(rectangle->m_ptFirst.x, 10);
    QCOMPARE(rectangle->m_ptSecond.y, 12);
    QVERIFY(child->Document().IsModified());
    QVERIFY(session_->frame->windowTitle().endsWith(QStringLiteral("*")));
  }

  void thePenColourRestylesTheCurrentUnitButNeverAClock() {
    CChildFrame* child = session_->frame->NewDocument();
    CDLineDlg1& page = session_->frame->PropertyBox()->StylePage();
    session_->frame->Action(kCmdToolRectangle)->trigger();
    Drag(child->Canvas(), QPoint(4, 4), QPoint(30, 14));
    test::FindControl<QAbstractButton>(&page, 1024)->click();  // yellow pen
    QCOMPARE(child->Document().m_units[0]->m_crPen, COLORREF(0x0000FFFF));

    session_->frame->Action(kCmdToolClock)->trigger();
    Drag(child->Canvas(), QPoint(2, 20), QPoint(60, 30));
    QCOMPARE(int(child->Document().m_units.size()), 2);
    CUnit* clock = child->Document().m_units[1].get();
    QVERIFY(dynamic_cast<CTimer*>(clock));
    const COLORREF before = clock->m_crPen;
    test::FindControl<QAbstractButton>(&page, 1029)->click();  // green pen
    QCOMPARE(clock->m_crPen, before);
    QVERIFY(!session_->frame->Action(kCmdToolClock)->isEnabled());  // one clock per document
  }

  void chineseRelabelsMenuToolTipsPanesAndTheStyleBox() {
    session_->frame->NewDocument();
    session_->frame->Action(kCmdLanguageChinese)->trigger();
    QCOMPARE(session_->frame->MainMenu(0)->title(), Text("57600P"));
    QVERIFY(session_->frame->MainMenu(0)->title() != QStringLiteral("File(&F)"));
    QCOMPARE(session_->frame->Action(kCmdToolLine)->toolTip(), Text(kCmdToolLine));
    QCOMPARE(session_->frame->Pane(0)->text(), Text(32000));
    QVERIFY(session_->frame->Action(kCmdLanguageChinese)->isChecked());
    auto* tabs = session_->frame->PropertyBox()->findChild<QTabWidget*>();
    QCOMPARE(tabs->tabText(0), Text(34000));
    QCOMPARE(session_->store->GetProfileString(SettingsStore::kSection, "KELLanguageSetting", ""), std::string("Chinese"));

    session_->frame->Action(kCmdLanguageEnglish)->trigger();
    QCOMPARE(session_->frame->MainMenu(0)->title(), QStringLiteral("File(&F)"));
    QCOMPARE(tabs->tabText(0), QStringLiteral("Style"));
  }

  void aKeyMissingFromTheLanguageShowsNotFound() {
    // A language that knows only its own name.
    const std::filesystem::path appFolder = session_->folder / "app";
    std::filesystem::create_directories(appFolder / "Language");
    std::ofstream(appFolder / "Language" / "Sparse.ini") << "[Setting]\nLanguage=English\n[String]\n57600P=File\n";
    Language sparse(appFolder, nullptr);
    SetCurrentLanguage(&sparse);
    CMainFrame frame(*session_->store, sparse);
    QCOMPARE(frame.MainMenu(0)->title(), QStringLiteral("File"));
    QCOMPARE(frame.Action(kCmdToolRectangle)->toolTip(), QStringLiteral("Not found"));
    QCOMPARE(frame.MainMenu(1)->title(), QStringLiteral("Not found"));
    SetCurrentLanguage(session_->language.get());
  }

  void theDrawToolBarsMenuCheckFollowsTheBar() {
    QAction* toggle = session_->frame->Action(kCmdDrawToolbar);
    QVERIFY(toggle->isChecked());
    toggle->trigger();
    QVERIFY(!session_->frame->DrawToolBar()->isVisible());
    QVERIFY(!toggle->isChecked());
    toggle->trigger();
    QVERIFY(session_->frame->DrawToolBar()->isVisible());
    QVERIFY(toggle->isChecked());
  }

  void atZoomThreeEveryLedIsAThreeByThreeBlock() {
    CChildFrame* child = session_->frame->NewDocument();
    session_->frame->Action(kCmdToolLine)->trigger();
    Drag(child->Canvas(), QPoint(2, 4), QPoint(20, 4));  // a red row of LEDs at y = 4
    child->View().OnZoom(3);
    QCOMPARE(child->Canvas().CanvasFrameSize().width(), 128 * 3 + 2 * child->Canvas().frameWidth());
    child->resize(child->Canvas().CanvasFrameSize());
    const QImage shown = child->Canvas().viewport()->grab().toImage();
    for (int y = 12; y < 15; ++y) {
      for (int x = 15; x < 18; ++x) QCOMPARE(shown.pixel(x, y) & 0xFFFFFF, 0xFF0000u);  // LED (5, 4)
    }
    QCOMPARE(shown.pixel(15, 15) & 0xFFFFFF, 0x000000u);  // LED (5, 5) is dark
  }

  // Hovers items of the real menus, opened from the menu bar, in both languages.
  void hoveringAMenuItemShowsItsPromptInTheStatusLine() {
    struct Case {
      int menu;
      int command;
      int promptKey;  // 0: an empty prompt
    };
    const Case cases[] = {
        {0, kCmdFileNew, 60000}, {0, kCmdFileSave, 0},         {0, kCmdExit, 60004},
        {2, kCmdPropertyBox, 0}, {2, kCmdViewStatusBar, 60005}, {4, kCmdAbout, 60008},
    };
    QVERIFY(QTest::qWaitForWindowExposed(session_->frame.get()));
    for (int language : {kCmdLanguageEnglish, kCmdLanguageChinese}) {
      session_->frame->Action(language)->trigger();
      for (const Case& c : cases) {
        QMenu* menu = session_->frame->MainMenu(c.menu);
        QMenuBar* bar = session_->frame->menuBar();
        bar->setActiveAction(menu->menuAction());
        QTRY_VERIFY2(menu->isVisible(), qPrintable(QString::number(c.command)));
        QTest::mouseMove(menu, menu->actionGeometry(session_->frame->Action(c.command)).center());
        const QString expected = c.promptKey ? Text(c.promptKey) : QString();
        QTRY_COMPARE(session_->frame->statusBar()->currentMessage(), expected);
        menu->hide();
      }
    }
  }

  void tipsPromptsAndPanesSpeakTheLanguageFromStartUp() {
    QCOMPARE(session_->frame->Pane(1)->text(), QStringLiteral("Window"));
    QCOMPARE(session_->frame->Pane(2)->text(), QStringLiteral("LED"));
    QAction* newFile = session_->frame->Action(kCmdFileNew);
    QCOMPARE(newFile->toolTip(), QStringLiteral("New"));
    QCOMPARE(newFile->statusTip(), QStringLiteral("New"));
    session_->frame->Action(kCmdLanguageChinese)->trigger();
    QCOMPARE(newFile->toolTip(), QStringLiteral("新建"));
    QCOMPARE(session_->frame->Action(kCmdPrint)->text(), Text(36050));
  }

  // Settings under a plain file: nothing can be stored, the session goes on.
  void settingsThatCannotBeWrittenCostOneWarningNeverTheSession() {
    std::ofstream(session_->folder / "blocker") << "a file, not a folder";
    SettingsStore blocked(session_->folder / "blocker" / "Tessara.ini");
    test::CollectMessages messages;
    CMainFrame frame(blocked, *session_->language);
    const std::filesystem::path path = session_->folder / "kept.tz";
    CTessaraDoc saved;
    saved.OnNewDocument(PanelSettings{});
    saved.OnSaveDocument(path);

    CChildFrame* child = frame.OpenDocument(path);  // the recent-file list cannot be stored
    QVERIFY(child);
    frame.Action(kCmdToolRectangle)->trigger();
    Drag(child->Canvas(), QPoint(4, 4), QPoint(30, 14));
    QVERIFY(frame.SaveDocument(*child, false));
    child->Canvas().PanelSettingsChanged(child->Document());  // Screen Set stores the panel
    frame.Action(kCmdLanguageChinese)->trigger();             // and the language

    CTessaraDoc reopened;
    reopened.OnOpenDocument(path, PanelSettings{});
    QCOMPARE(int(reopened.m_units.size()), 1);
    QCOMPARE(int(messages.messages.size()), 1);
    QVERIFY(QString::fromStdString(messages.messages[0]).contains(QStringLiteral("blocker")));
    QVERIFY(frame.Action(kCmdRecentFile1)->text().endsWith(QStringLiteral("kept.tz")));
  }

  // The title's "*" follows a command at once, not the next mouse event.
  void commandsThatChangeTheDocumentMarkTheTitleAtOnce() {
    CDLineDlg1& page = session_->frame->PropertyBox()->StylePage();
    const std::function<void()> commands[] = {
        [&] { session_->frame->Action(kCmdCentreHorizontally)->trigger(); },
        [&] { session_->frame->Action(kCmdCentreVertically)->trigger(); },
        [&] {
          session_->frame->Action(kCmdCopy)->trigger();
          session_->frame->Action(kCmdPaste)->trigger();
        },
        [&] { test::FindControl<QAbstractButton>(&page, 1029)->click(); },  // green pen
    };
    for (const auto& command : commands) {
      CChildFrame* child = session_->frame->NewDocument();
      session_->frame->Action(kCmdToolRectangle)->trigger();
      Drag(child->Canvas(), QPoint(4, 4), QPoint(30, 14));
      child->Document().History().MarkClean();
      child->SetTitle(child->Title());
      QVERIFY(!session_->frame->windowTitle().endsWith(QStringLiteral("*")));
      command();
      QVERIFY(child->Document().IsModified());
      QVERIFY(session_->frame->windowTitle().endsWith(QStringLiteral("*")));
    }
  }

  // Undo and Redo name their step in either language, are enabled only when
  // there is a step, answer their keys, and follow every change at once:
  // no timer drives the command states.
  void undoAndRedoFollowEveryStepByNameKeyAndButton() {
    QVERIFY(session_->frame->findChildren<QTimer*>().isEmpty());
    CChildFrame* child = session_->frame->NewDocument();
    CanvasWidget& canvas = child->Canvas();
    CDLineDlg1& page = session_->frame->PropertyBox()->StylePage();
    QAction* undo = session_->frame->Action(kCmdUndo);
    QAction* redo = session_->frame->Action(kCmdRedo);
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
    QVERIFY(session_->frame->DrawToolBar() != nullptr);
    struct Step {
      std::function<void()> act;
      const char* name;
    };
    const Step steps[] = {
        {[&] {
           session_->frame->Action(kCmdToolRectangle)->trigger();
           Drag(canvas, QPoint(10, 5), QPoint(60, 30));
         },
         "Draw"},
        {[&] {
           session_->frame->Action(kCmdSelect)->trigger();
           Drag(canvas, QPoint(35, 17), QPoint(45, 20));
         },
         "Move"},
        {[&] { test::FindControl<QAbstractButton>(&page, 1029)->click(); }, "Style"},  // green pen
        {[&] { session_->frame->Action(kCmdCentreHorizontally)->trigger(); }, "Centre"},
        {[&] { QTest::keyClick(&canvas, Qt::Key_Delete); }, "Delete"},
    };
    for (const Step& step : steps) {
      step.act();
      QCOMPARE(undo->text(), QStringLiteral("Undo %1(&U)\tCtrl+Z").arg(QLatin1String(step.name)));
      QCOMPARE(undo->toolTip(), QStringLiteral("Undo %1").arg(QLatin1String(step.name)));
      QVERIFY(undo->isEnabled());
      QVERIFY(!redo->isEnabled());
      QVERIFY(session_->frame->windowTitle().endsWith(QStringLiteral("*")));
    }
    QVERIFY(child->Document().m_units.empty());

    session_->frame->Action(kCmdLanguageChinese)->trigger();
    QCOMPARE(undo->text(), QStringLiteral("撤销删除(&U)\tCtrl+Z"));
    session_->frame->Action(kCmdLanguageEnglish)->trigger();

    session_->frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(session_->frame.get()));
    canvas.setFocus();
    for (std::size_t i = 0; i < std::size(steps); ++i) QTest::keyClick(&canvas, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!undo->isEnabled());
    QCOMPARE(redo->text(), QStringLiteral("Redo Draw(&R)\tCtrl+Y"));
    QVERIFY(!child->Document().IsModified());
    QVERIFY(!session_->frame->windowTitle().endsWith(QStringLiteral("*")));
    QTest::keyClick(&canvas, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(&canvas, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(undo->text(), QStringLiteral("Undo Move(&U)\tCtrl+Z"));
    QCOMPARE(int(child->Document().m_units.size()), 1);
  }

  // The chooser adds ".bmp" itself, so replacing "picture.bmp" is asked
  // about although only "picture" was typed.
  void aTypedNameGetsItsSuffixBeforeTheReplaceQuestion() {
    CChildFrame* child = session_->frame->NewDocument();
    std::ofstream(session_->folder / "picture.bmp") << "kept";
    QStringList filters;
    bool asked = false;
    QTimer::singleShot(0, this, [&] {
      auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(chooser);
      filters = chooser->nameFilters();
      chooser->setDirectory(QString::fromStdString(session_->folder.string()));
      chooser->selectFile(QStringLiteral("picture"));
      QTimer::singleShot(0, this, [&] {
        auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        asked = question != nullptr;
        if (question) question->button(QMessageBox::No)->click();
      });
      QMetaObject::invokeMethod(chooser, "accept");  // asks; "No" keeps the chooser open
      chooser->reject();
    });
    QVERIFY(!child->Canvas().ChooseBmpToSave());
    QVERIFY(asked);
    QCOMPARE(filters, QStringList({QStringLiteral("BMP File(*.bmp)"), QStringLiteral("All File(*.*)")}));
  }

  // The document window fits its zoomed canvas: no scroll bars while the
  // workspace has room, and the last LED row shows.
  void atThreeXTheWindowFitsTheCanvasWithoutScrollBars() {
    session_->frame->resize(1600, 1000);
    CChildFrame* child = session_->frame->NewDocument();  // 8 x 1 words, 10 frames: 128 x 160 LEDs
    session_->frame->Action(kCmdToolLine)->trigger();
    Drag(child->Canvas(), QPoint(0, 159), QPoint(127, 159));
    child->View().OnZoom(3);
    CanvasWidget& canvas = child->Canvas();
    QCoreApplication::processEvents();  // the bars show and hide on a posted event
    QVERIFY(!canvas.horizontalScrollBar()->isVisible());
    QVERIFY(!canvas.verticalScrollBar()->isVisible());
    QCOMPARE(canvas.viewport()->size(), QSize(384, 480));
    const QImage shown = canvas.viewport()->grab().toImage();
    QCOMPARE(shown.pixel(380, 479) & 0xFFFFFF, 0xFF0000u);  // LED (126, 159), the line's last
  }

  // Ctrl+wheel and the zoom keys step the zoom about a point that stays on
  // its LED; the zoom list follows; the document stays unmodified.
  void ctrlWheelZoomsAboutTheLedUnderTheMouse() {
    session_->frame->resize(1600, 1000);
    const std::filesystem::path path = session_->folder / "wide.tz";
    CTessaraDoc wide;
    wide.OnNewDocument(PanelSettings{64, 4, 8, 0});  // 1024 x 512 LEDs: scrolls from 2X on
    wide.OnSaveDocument(path);
    CChildFrame* child = session_->frame->OpenDocument(path);
    child->View().OnCommand(kCmdZoomList);
    CanvasWidget& canvas = child->Canvas();
    auto* list = test::FindControl<QListWidget>(canvas.window(), 1154);
    const QPoint at(100, 90);
    for (const auto& [delta, zoom] : {std::pair{120, 2}, {120, 3}, {-120, 2}, {120, 3}, {120, 4}}) {
      QWheelEvent wheel(at, canvas.viewport()->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::ControlModifier,
                        Qt::NoScrollPhase, false);
      QApplication::sendEvent(canvas.viewport(), &wheel);
      QCOMPARE(int(child->View().m_fZoom), zoom);
      QCOMPARE(child->View().ToCanvas({at.x(), at.y()}), (CPoint{100, 90}));
      QCOMPARE(list->currentRow(), zoom - 1);
    }
    QCoreApplication::processEvents();  // the property box shows itself once the frame is up
    QApplication::setActiveWindow(session_->frame.get());
    canvas.setFocus();
    QTest::keyClick(&canvas, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(int(child->View().m_fZoom), 3);
    QVERIFY(!child->Document().IsModified());
    QVERIFY(!session_->frame->windowTitle().endsWith(QStringLiteral("*")));
  }

  void theMousePanesShowTheLedPointWithYTurnedAndTheWindowPoint() {
    session_->frame->ShowMousePosition(QPoint(10, -5), QPoint(40, 20));
    QCOMPARE(session_->frame->Pane(2)->text(), QStringLiteral("LED:(10,5)"));
    QCOMPARE(session_->frame->Pane(1)->text(), QStringLiteral("Window:(40,20)"));
  }

 private:
  std::unique_ptr<test::EditorSession> session_;
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
