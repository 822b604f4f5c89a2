// The Screen Size Set dialog offscreen: the values it shows, what its edits
// let through, and that OK closes it only with values the panel can take.

#include "support/control_lookup.h"
#include "gui/dialogs/screen_size_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "gui/dialogs/dialog_translation.h"
#include "lang/language.h"

using namespace lumetra;
using namespace lumetra::gui;

namespace {

constexpr int kLengthEdit = 1038, kHeightEdit = 1035, kFramesEdit = 1040;

struct Message {
  QMessageBox::Icon icon;
  QString caption;
  QString text;
};

// Records its message boxes instead of showing them.
class RecordingDlg : public CScreenSizeDlg {
 public:
  using CScreenSizeDlg::CScreenSizeDlg;
  QList<Message> messages;

 protected:
  void Inform(QMessageBox::Icon icon, const QString& caption, const QString& text) override {
    messages.push_back({icon, caption, text});
  }
};

}  // namespace

class ScreenSizeDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<Language> language_;
  std::unique_ptr<RecordingDlg> dialog_;

  template <class T = QLineEdit>
  T* Find(int id) {
    return test::FindControl<T>(dialog_.get(), id);
  }
  void Open(ScreenSizeValues values) {
    dialog_ = std::make_unique<RecordingDlg>(values, nullptr);
    dialog_->show();
  }
  void Type(int id, const QString& text) {
    Find(id)->clear();
    QTest::keyClicks(Find(id), text);
  }
  // Fills the three edits and presses OK.
  void PressOk(const QString& length, const QString& height, const QString& frames) {
    Type(kLengthEdit, length);
    Type(kHeightEdit, height);
    Type(kFramesEdit, frames);
    QTest::mouseClick(Find<QPushButton>(1), Qt::LeftButton);
  }
  void VerifyRefused(QMessageBox::Icon icon, const QString& caption, const QString& text, int focusedEdit) {
    QCOMPARE(dialog_->messages.size(), 1);
    QCOMPARE(dialog_->messages[0].icon, icon);
    QCOMPARE(dialog_->messages[0].caption, caption);
    QCOMPARE(dialog_->messages[0].text, text);
    QVERIFY(dialog_->isVisible());
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QCOMPARE(dialog_->focusWidget(), Find(focusedEdit));
  }

 private slots:
  void initTestCase() {
    language_ = std::make_unique<Language>(LUMETRA_BIN_DIR, nullptr);
    QVERIFY(language_->SelectLanguage("English"));
    SetCurrentLanguage(language_.get());
  }
  void cleanup() { dialog_.reset(); }

  void showsTheValuesInTheLanguage() {
    Open({12, 3, 40, kMono, true});
    QCOMPARE(Find(kLengthEdit)->text(), QStringLiteral("12"));
    QCOMPARE(Find(kHeightEdit)->text(), QStringLiteral("3"));
    QCOMPARE(Find(kFramesEdit)->text(), QStringLiteral("40"));
    QVERIFY(Find<QRadioButton>(1006)->isChecked());
    QVERIFY(!Find<QRadioButton>(1158)->isChecked());
    QCOMPARE(dialog_->windowTitle(), Text(157));
    QCOMPARE(Find<QRadioButton>(1159)->text(), Text("157_1159"));
    QCOMPARE(Find<QGroupBox>(1164)->title(), Text("157_1164"));
    QCOMPARE(Find<QLabel>(1192)->text(), Text("157_1192"));
    QCOMPARE(Find<QPushButton>(2)->text(), Text("157_2"));
  }

  void sizeEditsTakeDigitsOnlyButTheNumberEditTakesAnyText() {
    Open({8, 1, 10, 0, true});
    Type(kLengthEdit, "1a2");
    Type(kHeightEdit, "-4");
    Type(kFramesEdit, "ten");
    QCOMPARE(Find(kLengthEdit)->text(), QStringLiteral("12"));
    QCOMPARE(Find(kHeightEdit)->text(), QStringLiteral("4"));
    QCOMPARE(Find(kFramesEdit)->text(), QStringLiteral("ten"));
  }

  void okTakesValidValuesAndTheChosenColourSet() {
    Open({8, 1, 10, kRedAndGreen, false});
    QTest::mouseClick(Find<QRadioButton>(1159), Qt::LeftButton);
    PressOk("8", "2", "64");
    QVERIFY(dialog_->messages.isEmpty());
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    const ScreenSizeValues values = dialog_->Values();
    QCOMPARE(values.widthWords, 8);
    QCOMPARE(values.heightWords, 2);
    QCOMPARE(values.frames, 64);
    QCOMPARE(values.colourSet, int(kYellowAndBlue));
    QVERIFY(!values.fromDocument);
  }

  void tooManyFramesInformsAndKeepsTheDialogOpen() {
    Open({8, 1, 10, kRedAndGreen, true});
    PressOk("8", "1", "65");
    VerifyRefused(QMessageBox::Information, "Info", "The maximum number of screen is 64 !", kFramesEdit);
    QCOMPARE(dialog_->Values().widthWords, 8);
    QCOMPARE(dialog_->Values().frames, 10);
  }

  void aValueOutOfRangeWarnsAtItsEdit() {
    Open({8, 1, 10, kRedAndGreen, true});
    PressOk("8", "17", "2");
    VerifyRefused(QMessageBox::Warning, Text(157), "Please enter an integer between 1 and 16.", kHeightEdit);
    QCOMPARE(Find(kHeightEdit)->selectedText(), QStringLiteral("17"));
    QCOMPARE(dialog_->Values().heightWords, 1);
  }

  void aRefusalCanBeCorrected() {
    Open({8, 1, 10, kRedAndGreen, true});
    PressOk("3", "1", "171");
    Type(kFramesEdit, "170");
    QTest::mouseClick(Find<QPushButton>(1), Qt::LeftButton);
    QCOMPARE(dialog_->messages.size(), 1);
    QCOMPARE(dialog_->messages[0].text, QStringLiteral("The maximum number of screen is 170 !"));
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QCOMPARE(dialog_->Values().frames, 170);
  }

  void anUnknownColourSetStaysUnlessOneIsPicked() {
    Open({8, 1, 10, 7, true});
    QCOMPARE(dialog_->findChild<QButtonGroup*>()->checkedId(), -1);
    PressOk("8", "1", "10");
    QCOMPARE(dialog_->Values().colourSet, 7);
  }

  void cancelKeepsTheValues() {
    Open({8, 1, 10, kRedAndGreen, true});
    Type(kLengthEdit, "16");
    QTest::mouseClick(Find<QPushButton>(2), Qt::LeftButton);
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QCOMPARE(dialog_->Values().widthWords, 8);
  }
};

QTEST_MAIN(ScreenSizeDialogTest)
#include "screen_size_dialog_test.moc"
