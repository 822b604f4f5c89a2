// The Timer Option dialog offscreen: its lists by colour set, the selections
// it starts with and hands back, and the clock options the view stores after it.

#include "support/control_lookup.h"
#include "gui/dialogs/timer_option_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "document/document.h"
#include "gui/dialogs/dialog_translation.h"
#include "lang/language.h"
#include "view/tessara_view.h"

using namespace lumetra;
using namespace lumetra::gui;

namespace {

constexpr int kStyleList = 1121, kColourList = 1123, kAlignList = 1124;

template <class T = QComboBox>
T* Find(QWidget* dialog, int id) {
  return test::FindControl<T>(dialog, id);
}

QStringList Entries(QWidget* dialog, int id) {
  QStringList entries;
  QComboBox* list = Find(dialog, id);
  for (int i = 0; i < list->count(); ++i) entries << list->itemText(i);
  return entries;
}

QStringList Texts(std::initializer_list<int> keys) {
  QStringList texts;
  for (const int key : keys) texts << Text(key);
  return texts;
}

// Runs the clock dialog as the canvas does; `script` works the open dialog and
// closes it (it must close it whatever it finds, or exec() never returns).
struct DialogHost : ViewHost {
  std::function<void(CTimerOptionDlg&)> script;
  QList<bool> invalidations;

  void ShowPopupMenu(const PopupMenuRequest&) override {}
  void Invalidate(bool erase) override { invalidations.push_back(erase); }
  bool EditClockOptions(ClockOptions& options) override {
    CTimerOptionDlg dialog(options);
    QTimer::singleShot(0, &dialog, [&] { script(dialog); });
    if (dialog.exec() != QDialog::Accepted) return false;
    options = dialog.Values();
    return true;
  }
};

void PressButton(QWidget* dialog, int id) { QTest::mouseClick(Find<QPushButton>(dialog, id), Qt::LeftButton); }

}  // namespace

class TimerOptionDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<Language> language_;

 private slots:
  void initTestCase() {
    language_ = std::make_unique<Language>(LUMETRA_BIN_DIR, nullptr);
    QVERIFY(language_->SelectLanguage("English"));
    SetCurrentLanguage(language_.get());
  }

  void listsAndTextsComeFromTheLanguage() {
    CTimerOptionDlg dialog({2, 1, 0, kRedAndGreen});
    QCOMPARE(Entries(&dialog, kStyleList), Texts({31000, 31001, 31002, 31003, 31004}));
    QCOMPARE(Entries(&dialog, kAlignList), Texts({31011, 31012, 31013}));
    QCOMPARE(dialog.windowTitle(), Text(192));
    QCOMPARE(Find<QLabel>(&dialog, 1172)->text(), Text("192_1172"));
    QCOMPARE(Find<QLabel>(&dialog, 1173)->text(), Text("192_1173"));
    QCOMPARE(Find<QPushButton>(&dialog, 1)->text(), Text("192_1"));
  }

  void theColourListFollowsTheColourSet_data() {
    QTest::addColumn<int>("colourSet");
    QTest::addColumn<QStringList>("colours");
    QTest::addColumn<int>("shownSet");
    QTest::newRow("red and green") << 0 << Texts({31005, 31006, 31007, 31008}) << 0;
    QTest::newRow("yellow and blue") << 1 << Texts({31005, 31008, 31009, 31010}) << 1;
    QTest::newRow("mono") << 2 << Texts({31005, 31006}) << 2;
    QTest::newRow("unknown") << 5 << Texts({31005, 31006, 31007, 31008}) << 0;
    QTest::newRow("negative") << -1 << Texts({31005, 31006, 31007, 31008}) << 0;
  }
  void theColourListFollowsTheColourSet() {
    QFETCH(int, colourSet);
    QFETCH(QStringList, colours);
    QFETCH(int, shownSet);
    CTimerOptionDlg dialog({0, 0, 0, colourSet});
    QCOMPARE(Entries(&dialog, kColourList), colours);
    QCOMPARE(dialog.Values().colourSet, shownSet);
  }

  void selectsTheStoredOptionsAndNothingOutsideAList() {
    CTimerOptionDlg stored({4, 3, 2, kRedAndGreen});
    QCOMPARE(Find(&stored, kStyleList)->currentIndex(), 4);
    QCOMPARE(Find(&stored, kColourList)->currentIndex(), 3);
    QCOMPARE(Find(&stored, kAlignList)->currentIndex(), 2);
    CTimerOptionDlg outside({5, 4, 255, kRedAndGreen});
    QCOMPARE(Find(&outside, kStyleList)->currentIndex(), -1);
    QCOMPARE(Find(&outside, kColourList)->currentIndex(), -1);
    QCOMPARE(Find(&outside, kAlignList)->currentIndex(), -1);
  }

  void okHandsBackTheSelectionsAndCancelTheStart() {
    CTimerOptionDlg dialog({1, 0, 0, kYellowAndBlue});
    Find(&dialog, kStyleList)->setCurrentIndex(3);
    Find(&dialog, kColourList)->setCurrentIndex(1);
    Find(&dialog, kAlignList)->setCurrentIndex(2);
    PressButton(&dialog, 2);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.Values().style, 1);
    QCOMPARE(dialog.Values().colour, 0);
    PressButton(&dialog, 1);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Values().style, 3);
    QCOMPARE(dialog.Values().colour, 1);
    QCOMPARE(Find(&dialog, kColourList)->currentText(), Text(31008));
    QCOMPARE(dialog.Values().align, 2);
  }

  // Mono panel, stored colour 3: two colours and none chosen; OK stores red.
  void theViewStoresRedForAnyLitColourOnAMonoPanel() {
    CTessaraDoc doc;
    doc.m_nColourSet = kMono;
    doc.m_nClockStyle = 2;
    doc.m_nClockColour = 3;
    doc.m_nClockAlign = 1;
    DialogHost host;
    CTessaraView view;
    view.SetDocument(&doc);
    view.SetHost(&host);
    QStringList colours;
    int colourShown = 0, styleShown = 0;
    host.script = [&](CTimerOptionDlg& dialog) {
      colours = Entries(&dialog, kColourList);
      colourShown = Find(&dialog, kColourList)->currentIndex();
      styleShown = Find(&dialog, kStyleList)->currentIndex();
      PressButton(&dialog, 1);
    };
    view.OnCommand(kCmdTimerSet);
    QCOMPARE(colours, Texts({31005, 31006}));
    QCOMPARE(colourShown, -1);
    QCOMPARE(styleShown, 2);
    QCOMPARE(int(doc.m_nClockColour), 1);
    QCOMPARE(int(doc.m_nClockStyle), 2);
    QCOMPARE(int(doc.m_nClockAlign), 1);
    QVERIFY(doc.IsModified());
    QCOMPARE(host.invalidations, QList<bool>{false});
  }

  void cancelLeavesTheDocumentButRepaints() {
    CTessaraDoc doc;
    doc.m_nClockColour = 2;
    DialogHost host;
    CTessaraView view;
    view.SetDocument(&doc);
    view.SetHost(&host);
    host.script = [](CTimerOptionDlg& dialog) {
      Find(&dialog, kColourList)->setCurrentIndex(3);
      PressButton(&dialog, 2);
    };
    view.OnCommand(kCmdTimerSet);
    QCOMPARE(int(doc.m_nClockColour), 2);
    QVERIFY(!doc.IsModified());
    QCOMPARE(host.invalidations, QList<bool>{false});
  }
};

QTEST_MAIN(TimerOptionDialogTest)
#include "timer_option_dialog_test.moc"
