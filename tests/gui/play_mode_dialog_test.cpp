#include "support/control_lookup.h"
#include "gui/dialogs/play_mode_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "gui/dialogs/dialog_translation.h"
#include "lang/language.h"
#include "platform/archive/archive.h"

using namespace lumetra;
using namespace lumetra::gui;

namespace {

// Control ids of row r are these bases plus r.
constexpr int kEnable = 1134, kStart = 4000, kEnd = 4100, kDelay = 4200, kMode = 4300, kSpeed = 4400;
constexpr int kOk = 1, kCancel = 2, kApply = 1141;

// The row count as a saved document holds it: the first value of the record.
std::int32_t SavedRowCount(CPlayModeSet& modes) {
  ClassRegistry registry;
  CArchive ar(registry);
  modes.Serialize(ar);
  const std::vector<std::uint8_t>& bytes = ar.Output().Bytes();
  return std::int32_t(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24);
}

}  // namespace

class PlayModeDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<Language> language_;
  CPlayModeSet modes_;
  std::unique_ptr<CPlayModeDlg> dialog_;
  QStringList warnings_;
  int applied_ = 0;

  void Open(int frames) {
    dialog_ = std::make_unique<CPlayModeDlg>(modes_, frames, nullptr);
    dialog_->SetMessageHandler([this](const QString& text) { warnings_ << text; });
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
  }
  void ConnectApply() {
    dialog_->SetApplyHandler([this](CPlayModeSet& modes) {
      QCOMPARE(&modes, &modes_);
      ++applied_;
    });
  }

  template <class T>
  T* Find(int id) {
    return test::FindControl<T>(dialog_.get(), id);
  }
  QCheckBox* Box(int r) { return Find<QCheckBox>(kEnable + r); }
  QLineEdit* Edit(int base, int r) { return Find<QLineEdit>(base + r); }
  void Type(int base, int r, const QString& text) {
    QLineEdit* edit = Edit(base, r);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QCOMPARE(edit->text(), text);
  }
  void Click(int id) { QTest::mouseClick(Find<QAbstractButton>(id), Qt::LeftButton); }
  bool RowEditable(int r) {
    return Edit(kStart, r)->isEnabled() && Edit(kEnd, r)->isEnabled() && Edit(kDelay, r)->isEnabled() &&
           Find<QComboBox>(kMode + r)->isEnabled() && Find<QComboBox>(kSpeed + r)->isEnabled();
  }
  bool RowLocked(int r) {
    return !Edit(kStart, r)->isEnabled() && !Edit(kEnd, r)->isEnabled() && !Edit(kDelay, r)->isEnabled() &&
           !Find<QComboBox>(kMode + r)->isEnabled() && !Find<QComboBox>(kSpeed + r)->isEnabled();
  }
  void SetRange(int r, int start, int end) {
    Type(kStart, r, QString::number(start));
    Type(kEnd, r, QString::number(end));
  }

 private slots:
  void initTestCase() {
    language_ = std::make_unique<Language>(LUMETRA_BIN_DIR, nullptr);
    SetCurrentLanguage(language_.get());
  }
  void init() {
    QVERIFY(language_->SelectLanguage("English"));
    modes_ = CPlayModeSet();
    warnings_.clear();
    applied_ = 0;
  }
  void cleanup() { dialog_.reset(); }

  // Opening

  void showsTheDocumentsRowsInTheCurrentLanguage() {
    modes_.m_anStart[1] = 20;
    modes_.m_anMode[0] = 3;
    modes_.m_anSpeed[0] = 5;
    Open(4);
    QCOMPARE(dialog_->windowTitle(), Text(178));
    QCOMPARE(Find<QAbstractButton>(kApply)->text(), Text("178_1141"));
    QCOMPARE(Box(1)->text(), Text("178_1135"));
    QCOMPARE(Find<QLabel>(4601)->text(), Text("178_4601"));
    QCOMPARE(Find<QLabel>(4503)->text(), Text("178_4503"));
    QComboBox* modeList = Find<QComboBox>(kMode + 2);
    QComboBox* speedList = Find<QComboBox>(kSpeed + 3);
    QCOMPARE(modeList->count(), 4);
    QCOMPARE(speedList->count(), 6);
    for (int i = 0; i < 4; ++i) QCOMPARE(modeList->itemText(i), Text(30000 + i));
    for (int i = 0; i < 6; ++i) QCOMPARE(speedList->itemText(i), Text(30004 + i));

    QCOMPARE(Edit(kStart, 1)->text(), QStringLiteral("1"));
    QCOMPARE(Edit(kEnd, 3)->text(), QStringLiteral("9"));
    QCOMPARE(Edit(kDelay, 2)->text(), QStringLiteral("3"));
    QCOMPARE(Edit(kStart, 2)->text(), QStringLiteral("20"));
    QCOMPARE(Find<QComboBox>(kMode + 1)->currentIndex(), 3);
    QCOMPARE(Find<QComboBox>(kSpeed + 1)->currentIndex(), 5);
    QCOMPARE(Find<QComboBox>(kMode + 2)->currentIndex(), 1);
    QCOMPARE(Find<QComboBox>(kSpeed + 2)->currentIndex(), 2);
  }

  void speaksChineseWhenChineseIsCurrent() {
    QVERIFY(language_->SelectLanguage("Chinese"));
    Open(4);
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("显示模式设置"));
    QCOMPARE(Find<QComboBox>(kSpeed + 1)->itemText(0), Text(30004));
    QCOMPARE(Find<QAbstractButton>(kOk)->text(), QStringLiteral("确定"));
  }

  // The row rule

  void boxOneCannotBeUnticked() {
    Open(4);
    QVERIFY(Box(1)->isChecked());
    QVERIFY(RowLocked(2) && RowLocked(3));
    Click(kEnable + 1);
    QVERIFY(Box(1)->isChecked());
    QVERIFY(RowEditable(1));
    Click(kOk);
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QCOMPARE(modes_.m_abEnable[0], 1);
    QCOMPARE(modes_.m_nRowCount, 1);
  }

  void tickingBoxThreeTicksAndEnablesRowsOneToThree() {
    Open(4);
    Click(kEnable + 3);
    for (int r = 1; r <= 3; ++r) {
      QVERIFY(Box(r)->isChecked());
      QVERIFY(RowEditable(r));
    }
    QCOMPARE(modes_.m_nRowCount, 1);  // not before Ok
    Click(kOk);
    QCOMPARE(modes_.m_nRowCount, 3);
    QCOMPARE(modes_.m_abEnable, (std::array<std::int32_t, 6>{1, 1, 1, 0, 0, 0}));
    QCOMPARE(SavedRowCount(modes_), 3);
  }

  void untickingBoxTwoLocksRowsTwoAndThree() {
    Open(4);
    Click(kEnable + 3);
    Click(kEnable + 2);
    QVERIFY(Box(1)->isChecked() && !Box(2)->isChecked() && !Box(3)->isChecked());
    QVERIFY(RowEditable(1) && RowLocked(2) && RowLocked(3));
    Click(kOk);
    QCOMPARE(modes_.m_nRowCount, 1);
    QCOMPARE(SavedRowCount(modes_), 1);
  }

  void theSavedRowCountTicksRowsAlsoBeyondTheVisibleOnes() {
    modes_.m_nRowCount = 5;
    modes_.m_abEnable = {1, 0, 0, 0, 0, 0};
    Open(4);
    QVERIFY(Box(1)->isChecked() && Box(2)->isChecked() && Box(3)->isChecked());
    QVERIFY(RowEditable(3));
    Click(kOk);
    QCOMPARE(modes_.m_abEnable, (std::array<std::int32_t, 6>{1, 1, 1, 1, 1, 0}));
    QCOMPARE(modes_.m_nRowCount, 5);

    Open(4);
    Click(kEnable + 3);
    Click(kOk);
    QCOMPARE(modes_.m_abEnable, (std::array<std::int32_t, 6>{1, 1, 0, 0, 0, 0}));
    QCOMPARE(modes_.m_nRowCount, 2);
  }

  // Ok, Cancel, Apply

  void okTakesEveryValueAndCancelNone() {
    Open(64);
    SetRange(1, 1, 64);
    Type(kDelay, 1, QStringLiteral("0"));
    Find<QComboBox>(kMode + 1)->setCurrentIndex(0);
    Find<QComboBox>(kSpeed + 1)->setCurrentIndex(5);
    Click(kCancel);
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QCOMPARE(modes_.m_anEnd[0], 3);

    Open(64);
    SetRange(1, 1, 64);
    Type(kDelay, 1, QStringLiteral("100"));
    Find<QComboBox>(kMode + 1)->setCurrentIndex(0);
    Find<QComboBox>(kSpeed + 1)->setCurrentIndex(5);
    Click(kOk);
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QVERIFY(warnings_.isEmpty());
    QCOMPARE(modes_.m_anStart[0], 1);
    QCOMPARE(modes_.m_anEnd[0], 64);  // Ok does not correct the ranges
    QCOMPARE(modes_.m_anDelay[0], 100);
    QCOMPARE(modes_.m_anMode[0], 0);
    QCOMPARE(modes_.m_anSpeed[0], 5);
    QCOMPARE(modes_.m_anStart[4], 13);  // rows without controls keep their values
  }

  void applyCorrectsTheRangesShowsThemAndRunsTheHandler() {
    Open(4);
    ConnectApply();
    Click(kEnable + 3);
    SetRange(1, 3, 9);
    SetRange(2, 6, 2);
    SetRange(3, 1, 2);
    Click(kApply);
    QCOMPARE(applied_, 1);
    QVERIFY(dialog_->isVisible());
    QCOMPARE(modes_.m_nMaxFrame, 4);
    QCOMPARE(modes_.m_nRowCount, 3);
    QCOMPARE(modes_.m_anStart[0], 3);
    QCOMPARE(modes_.m_anEnd[0], 4);
    QCOMPARE(modes_.m_anStart[1], 2);
    QCOMPARE(modes_.m_anEnd[1], 4);
    QCOMPARE(modes_.m_anStart[2], 1);
    QCOMPARE(modes_.m_anEnd[2], 2);
    QCOMPARE(Edit(kEnd, 1)->text(), QStringLiteral("4"));
    QCOMPARE(Edit(kStart, 2)->text(), QStringLiteral("2"));
    QCOMPARE(Edit(kEnd, 2)->text(), QStringLiteral("4"));
  }

  void cancelAfterApplyKeepsTheCorrectedValues() {
    Open(4);
    ConnectApply();
    SetRange(1, 3, 9);
    Click(kApply);
    SetRange(1, 1, 1);
    Click(kCancel);
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QCOMPARE(modes_.m_anStart[0], 3);
    QCOMPARE(modes_.m_anEnd[0], 4);
  }

  void applyWithoutAHandlerStopsAfterCorrecting() {
    Open(4);
    SetRange(1, 3, 9);
    Click(kApply);
    QVERIFY(dialog_->isVisible());
    QCOMPARE(modes_.m_anEnd[0], 4);
    QCOMPARE(Edit(kEnd, 1)->text(), QStringLiteral("4"));
  }

  // Range checks

  void numbersOutOfRangeAreRefused_data() {
    QTest::addColumn<int>("base");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("warning");
    const QString frames = QStringLiteral("Please enter an integer between 1 and 64.");
    const QString delays = QStringLiteral("Please enter an integer between 0 and 100.");
    QTest::newRow("start 0") << kStart << 1 << "0" << frames;
    QTest::newRow("start 65") << kStart << 1 << "65" << frames;
    QTest::newRow("end 65 in row 3") << kEnd << 3 << "65" << frames;
    QTest::newRow("end not a number") << kEnd << 2 << "x" << frames;
    QTest::newRow("delay -1") << kDelay << 1 << "-1" << delays;
    QTest::newRow("delay 101") << kDelay << 2 << "101" << delays;
  }
  void numbersOutOfRangeAreRefused() {
    QFETCH(int, base);
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(QString, warning);
    Open(4);
    ConnectApply();
    Click(kEnable + 3);
    SetRange(1, 3, 9);
    Edit(base, row)->setText(text);
    const CPlayModeSet before = modes_;

    Click(kOk);
    QCOMPARE(warnings_, QStringList{warning});
    QVERIFY(dialog_->isVisible());
    Click(kApply);
    QCOMPARE(warnings_.size(), 2);
    QCOMPARE(applied_, 0);
    QVERIFY(dialog_->isVisible());
    // Nothing is taken, not even the values before the refused one or the ticks.
    QCOMPARE(modes_.m_anEnd, before.m_anEnd);
    QCOMPARE(modes_.m_nRowCount, 1);
    QCOMPARE(Edit(kEnd, 1)->text(), QStringLiteral("9"));
  }
};

QTEST_MAIN(PlayModeDialogTest)
#include "play_mode_dialog_test.moc"
