// The Zoom In list offscreen: where it opens, what it offers, how each
// command toggles it, and the factor a choice hands on.

#include "gui/dialogs/zoom_list_dialog.h"

#include <QListWidget>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "gui/dialogs/dialog_translation.h"
#include "lang/language.h"

using namespace lumetra;
using namespace lumetra::gui;

class ZoomListDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<Language> language_;
  std::unique_ptr<QWidget> view_;
  std::unique_ptr<CZoomListDlg> zoom_;

  QListWidget* List() { return zoom_->findChild<QListWidget*>(); }

 private slots:
  void initTestCase() {
    language_ = std::make_unique<Language>(LUMETRA_BIN_DIR, nullptr);
    QVERIFY(language_->SelectLanguage("English"));
    SetCurrentLanguage(language_.get());
  }
  void init() {
    view_ = std::make_unique<QWidget>();
    zoom_ = std::make_unique<CZoomListDlg>(view_.get());
  }
  void cleanup() {
    zoom_.reset();
    view_.reset();
  }

  void opensAsAToolWindowOfTheViewWithOneX() {
    QVERIFY(!zoom_->isVisible());
    QCOMPARE(zoom_->parentWidget(), view_.get());
    QVERIFY(zoom_->windowFlags().testFlag(Qt::Tool));
    QCOMPARE(zoom_->pos(), QPoint(300, 200));
    QCOMPARE(zoom_->size(), QSize(80, 150));
    QCOMPARE(ControlId(List()), 1154);
    QStringList entries;
    for (int i = 0; i < List()->count(); ++i) entries << List()->item(i)->text();
    QCOMPARE(entries, (QStringList{"1X", "2X", "3X", "4X", "5X", "6X"}));
    QCOMPARE(List()->currentRow(), 0);
    QCOMPARE(zoom_->windowTitle(), Text(198));
  }

  void eachToggleShowsOrHidesIt() {
    zoom_->Toggle();
    QVERIFY(zoom_->isVisible());
    zoom_->Toggle();
    QVERIFY(!zoom_->isVisible());
    zoom_->Toggle();
    QVERIFY(zoom_->isVisible());
    zoom_->close();
    zoom_->Toggle();
    QVERIFY(zoom_->isVisible());
  }

  void aChoiceHandsOnItsRowPlusOne() {
    QSignalSpy chosen(zoom_.get(), &CZoomListDlg::zoomChosen);
    zoom_->Toggle();
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, List()->visualItemRect(List()->item(2)).center());
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.takeFirst().at(0).toInt(), 3);
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Down);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.takeFirst().at(0).toInt(), 4);
    // The selection stays while the list is hidden.
    zoom_->Toggle();
    zoom_->Toggle();
    QCOMPARE(List()->currentRow(), 3);
    QCOMPARE(chosen.count(), 0);
  }
};

QTEST_MAIN(ZoomListDialogTest)
#include "zoom_list_dialog_test.moc"
