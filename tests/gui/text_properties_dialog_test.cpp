#include "support/control_lookup.h"
#include "gui/dialogs/text_properties_dialog.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "gui/dialogs/dialog_translation.h"
#include "lang/language.h"
#include "units/text.h"

using namespace lumetra;
using namespace lumetra::gui;

namespace {

constexpr int kFontButton = 1147, kRowSpacing = 1040, kSpin = 1041, kOk = 1151, kCancel = 1152, kApply = 1153,
              kWordBreak = 1156, kAutoAlign = 1157, kTextBox = 1035;
constexpr const char* kGbk = "GBK";
// "中文" CR LF "第二行" in GBK.
const std::string kTwoRowsGbk = "\xD6\xD0\xCE\xC4\r\n\xB5\xDA\xB6\xFE\xD0\xD0";

LOGFONT TimesAt20() {
  LOGFONT lf;
  lf.SetFaceName("Times New Roman");
  lf.lfHeight = -20;
  lf.lfWeight = 400;
  return lf;
}

// What the chooser writes for Arial, 12 points, bold italic, underlined and struck out.
LOGFONT ArialChosen() {
  LOGFONT lf;
  lf.SetFaceName("Arial");
  lf.lfHeight = -16;
  lf.lfWeight = 700;
  lf.lfItalic = lf.lfUnderline = lf.lfStrikeOut = 1;
  lf.lfCharSet = kAnsiCharset;
  lf.lfOutPrecision = kOutStrokePrecis;
  lf.lfClipPrecision = kClipStrokePrecis;
  lf.lfQuality = kDraftQuality;
  lf.lfPitchAndFamily = kVariablePitch;
  return lf;
}

QFont ArialFont() {
  QFont font(QStringLiteral("Arial"));
  font.setPointSize(12);
  font.setWeight(QFont::Bold);
  font.setItalic(true);
  font.setUnderline(true);
  font.setStrikeOut(true);
  return font;
}

}  // namespace

class TextPropertiesDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<Language> language_;
  std::unique_ptr<CText> unit_;
  std::unique_ptr<CTextPropertiesDlg> dialog_;
  QStringList warnings_;
  int changes_ = 0;

  void Open(bool newUnit) {
    dialog_ = std::make_unique<CTextPropertiesDlg>(
        *unit_, newUnit, [this] { ++changes_; }, kGbk);
    dialog_->SetMessageHandler([this](const QString& text) { warnings_ << text; });
    dialog_->SetFontChooser(
        [](const QFont&, QWidget*) -> std::optional<QFont> { qFatal("the font chooser opened unasked"); });
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
  }

  template <class T>
  T* Find(int id) {
    return test::FindControl<T>(dialog_.get(), id);
  }
  QPlainTextEdit* TextBox() { return Find<QPlainTextEdit>(kTextBox); }
  QLineEdit* RowSpacing() { return Find<QLineEdit>(kRowSpacing); }
  void Click(int id) { QTest::mouseClick(Find<QAbstractButton>(id), Qt::LeftButton); }
  void TypeRowSpacing(const QString& text) {
    RowSpacing()->selectAll();
    QTest::keyClicks(RowSpacing(), text);
  }
  // Chinese text arrives as an input method commits it.
  void Commit(const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(TextBox(), &event);
  }
  // The spin's arrows: 0 up, 1 down.
  void Step(int arrow) {
    const QList<QToolButton*> arrows = Find<QWidget>(kSpin)->findChildren<QToolButton*>();
    QCOMPARE(arrows.size(), 2);
    QTest::mouseClick(arrows[arrow], Qt::LeftButton);
  }

 private slots:
  void initTestCase() {
    language_ = std::make_unique<Language>(LUMETRA_BIN_DIR, nullptr);
    SetCurrentLanguage(language_.get());
  }
  void init() {
    QVERIFY(language_->SelectLanguage("English"));
    unit_ = std::make_unique<CText>();
    unit_->m_strText = kTwoRowsGbk;
    unit_->m_nRowSpacing = 5;
    unit_->m_bWordBreak = 1;
    unit_->m_bAutoAlign = 0;
    unit_->SetFontIndirect(TimesAt20());
    warnings_.clear();
    changes_ = 0;
  }
  void cleanup() { dialog_.reset(); }

  // Opening

  void showsTheEditedUnitInTheCurrentLanguage() {
    Open(false);
    QCOMPARE(dialog_->windowTitle(), Text(195));
    QCOMPARE(Find<QAbstractButton>(kFontButton)->text(), Text("195_1147"));
    QCOMPARE(Find<QAbstractButton>(kWordBreak)->text(), Text("195_1156"));
    QCOMPARE(TextBox()->toPlainText(), QStringLiteral("中文\n第二行"));
    QCOMPARE(RowSpacing()->text(), QStringLiteral("5"));
    QVERIFY(RowSpacing()->isEnabled());
    QVERIFY(Find<QCheckBox>(kWordBreak)->isChecked());
    QVERIFY(!Find<QCheckBox>(kAutoAlign)->isChecked());
    QCOMPARE(dialog_->WorkingFont(), TimesAt20());
    QCOMPARE(TextBox()->font().family(), QStringLiteral("Times New Roman"));
    QCOMPARE(TextBox()->font().pointSizeF(), 15.0);
    QCOMPARE(dialog_->focusWidget(), static_cast<QWidget*>(TextBox()));
  }

  void newUnitOkGivesTheFixedPitchSystemFontAtNormalWeight() {
    unit_ = std::make_unique<CText>();
    Open(true);
    QCOMPARE(TextBox()->toPlainText(), QString());
    Click(kOk);
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QCOMPARE(changes_, 1);
    const LOGFONT& lf = unit_->Font().GetLogFont();
    QCOMPARE(lf, NewUnitFont());
    QCOMPARE(lf.FaceName(), std::string_view("Fixedsys"));
    QCOMPARE(lf.lfWeight, 400);
    QCOMPARE(lf.lfItalic, std::uint8_t(0));
  }

  // Apply, OK, Cancel

  void cancelAfterApplyKeepsTheAppliedValues() {
    Open(false);
    TextBox()->setPlainText(QStringLiteral("Hello"));
    TypeRowSpacing(QStringLiteral("-7"));
    Click(kWordBreak);
    Click(kApply);
    QCOMPARE(changes_, 1);
    QCOMPARE(unit_->m_strText, std::string("Hello"));
    QCOMPARE(unit_->m_nRowSpacing, -7);
    QCOMPARE(unit_->m_bWordBreak, 0);

    TextBox()->setPlainText(QStringLiteral("Goodbye"));
    TypeRowSpacing(QStringLiteral("9"));
    Click(kCancel);
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QCOMPARE(changes_, 1);
    QCOMPARE(unit_->m_strText, std::string("Hello"));
    QCOMPARE(unit_->m_nRowSpacing, -7);
  }

  void refusedRowSpacingChangesNothingAndKeepsTheDialogOpen() {
    Open(false);
    TextBox()->setPlainText(QStringLiteral("Hello"));
    for (const QString& typed : {QStringLiteral("101"), QStringLiteral("-101"), QStringLiteral("1x")}) {
      TypeRowSpacing(typed);
      Click(kOk);
    }
    QCOMPARE(warnings_.size(), 3);
    QCOMPARE(warnings_[0], QStringLiteral("Please enter an integer between -100 and 100."));
    QVERIFY(dialog_->isVisible());
    QCOMPARE(changes_, 0);
    QCOMPARE(unit_->m_strText, kTwoRowsGbk);
    QCOMPARE(unit_->m_nRowSpacing, 5);
    QCOMPARE(unit_->Font().GetLogFont(), TimesAt20());
  }

  // Row spacing and auto align

  void spinStepsApplyAtOnce() {
    Open(false);
    TypeRowSpacing(QStringLiteral("0"));
    Step(1);
    QCOMPARE(RowSpacing()->text(), QStringLiteral("-1"));
    QCOMPARE(unit_->m_nRowSpacing, -1);
    QCOMPARE(changes_, 1);
    QTest::keyClick(RowSpacing(), Qt::Key_Down);
    QCOMPARE(RowSpacing()->text(), QStringLiteral("-2"));
    QCOMPARE(unit_->m_nRowSpacing, -2);
    QTest::keyClick(RowSpacing(), Qt::Key_Up);
    Step(0);
    QCOMPARE(unit_->m_nRowSpacing, 0);
    QCOMPARE(changes_, 4);

    TypeRowSpacing(QStringLiteral("100"));
    Step(0);
    QCOMPARE(RowSpacing()->text(), QStringLiteral("100"));
    QCOMPARE(unit_->m_nRowSpacing, 100);
  }

  void autoAlignLocksTheRowSpacing() {
    unit_->m_bAutoAlign = 1;
    Open(false);
    QVERIFY(!RowSpacing()->isEnabled());
    QVERIFY(!Find<QWidget>(kSpin)->isEnabled());
    Click(kAutoAlign);
    QVERIFY(RowSpacing()->isEnabled());
    QVERIFY(Find<QWidget>(kSpin)->isEnabled());
    Click(kAutoAlign);
    QVERIFY(!RowSpacing()->isEnabled());
    QCOMPARE(changes_, 0);
    QCOMPARE(unit_->m_bAutoAlign, 1);
  }

  // The text in the code page

  void chineseTextRoundTripsThroughGbk() {
    Open(false);
    TextBox()->clear();
    Commit(QStringLiteral("第二行"));
    QTest::keyClick(TextBox(), Qt::Key_Return);
    Commit(QStringLiteral("中文"));
    Click(kOk);
    QCOMPARE(unit_->m_strText, std::string("\xB5\xDA\xB6\xFE\xD0\xD0\r\n\xD6\xD0\xCE\xC4"));

    Open(false);
    QCOMPARE(TextBox()->toPlainText(), QStringLiteral("第二行\n中文"));
  }

  void charactersTheCodePageCannotHoldAreReported() {
    Open(false);
    TextBox()->setPlainText(QStringLiteral("中한文😀"));
    Click(kApply);
    QCOMPARE(warnings_.size(), 1);
    QVERIFY(warnings_[0].contains(QStringLiteral("한 😀")));
    QVERIFY(warnings_[0].contains(QStringLiteral("GBK")));
    QCOMPARE(changes_, 0);
    QCOMPARE(unit_->m_strText, kTwoRowsGbk);
  }

  // Fonts

  void chosenFontReachesTheUnitOnlyOnApply() {
    Open(false);
    QFont offered;
    dialog_->SetFontChooser([&offered](const QFont& initial, QWidget*) -> std::optional<QFont> {
      offered = initial;
      return ArialFont();
    });
    Click(kFontButton);
    QCOMPARE(offered.family(), QFontInfo(QFont(QStringLiteral("Times New Roman"))).family());  // installed stand-in
    QCOMPARE(offered.pointSizeF(), 15.0);
    QCOMPARE(dialog_->WorkingFont(), ArialChosen());
    QCOMPARE(TextBox()->font().family(), QStringLiteral("Arial"));
    QCOMPARE(unit_->Font().GetLogFont(), TimesAt20());
    QCOMPARE(changes_, 0);

    dialog_->SetFontChooser([](const QFont&, QWidget*) -> std::optional<QFont> { return std::nullopt; });
    Click(kFontButton);
    QCOMPARE(dialog_->WorkingFont(), ArialChosen());

    Click(kApply);
    QCOMPARE(unit_->Font().GetLogFont(), ArialChosen());
  }

  // The chooser lists installed faces only: it opens on the unit's size,
  // weight and slant, and a face it could not list stays the unit's unless
  // the user picks another.
  void theChooserKeepsTheUnitsFontExceptWhatTheUserChanged() {
    LOGFONT boldItalicTimes = TimesAt20();
    boldItalicTimes.lfWeight = 700;
    boldItalicTimes.lfItalic = 1;
    struct Case {
      const char* name;
      bool newUnit;
      int pointSize;             // 0: as offered
      const char* otherFamily;   // nullptr: the offered one
      std::string face;          // expected
      std::int32_t height;       // expected; 0: not checked
    };
    const Case cases[] = {
        {"confirmed", false, 0, nullptr, "Times New Roman", -20},
        {"only the size", false, 18, nullptr, "Times New Roman", -24},
        {"another face", false, 0, "DejaVu Sans", "DejaVu Sans", -20},
        {"a new unit's system font", true, 0, nullptr, std::string(NewUnitFont().FaceName()), 0},
    };
    for (const Case& c : cases) {
      unit_->SetFontIndirect(boldItalicTimes);
      Open(c.newUnit);
      QFont offered;
      dialog_->SetFontChooser([&](const QFont& initial, QWidget*) -> std::optional<QFont> {
        offered = initial;
        QFont chosen = initial;
        if (c.pointSize) chosen.setPointSize(c.pointSize);
        if (c.otherFamily) chosen.setFamily(QString::fromLatin1(c.otherFamily));
        return chosen;
      });
      Click(kFontButton);
      QVERIFY2(QFontDatabase::hasFamily(offered.family()), c.name);
      QCOMPARE(offered.italic(), !c.newUnit);
      QCOMPARE(offered.weight(), c.newUnit ? QFont::Normal : QFont::Bold);
      const LOGFONT& working = dialog_->WorkingFont();
      QCOMPARE(std::string(working.FaceName()), c.face);
      QCOMPARE(working.lfWeight, c.newUnit ? 400 : 700);
      if (c.height) QCOMPARE(working.lfHeight, c.height);
      QVERIFY2(dialog_->findChild<QLabel*>(QStringLiteral("fontName"))->text().startsWith(FromUtf8(c.face)), c.name);
    }
  }

  void qfontBecomesTheRecordTheChooserWrites() {
    QCOMPARE(LogFontFromQFont(ArialFont(), kGbk), ArialChosen());
    QCOMPARE(LogFontFromQFont(QFontFromLogFont(ArialChosen(), kGbk), kGbk), ArialChosen());

    QFont pixels(QStringLiteral("Arial"));
    pixels.setPixelSize(20);
    QCOMPARE(LogFontFromQFont(pixels, kGbk).lfHeight, -20);
    QFont normal(QStringLiteral("Arial"), 10);
    QCOMPARE(LogFontFromQFont(normal, kGbk).lfHeight, -13);
    QCOMPARE(LogFontFromQFont(normal, kGbk).lfWeight, 400);
  }

  void fontDatabaseGivesPitchAndChineseCharset() {
    int checked = 0;
    for (const QString& family : QFontDatabase::families()) {
      const LOGFONT lf = LogFontFromQFont(QFont(family, 10), kGbk);
      if (QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese)) {
        QCOMPARE(lf.lfCharSet, kGb2312Charset);
        ++checked;
      }
      if (QFontDatabase::isFixedPitch(family)) {
        QCOMPARE(lf.lfPitchAndFamily, kFixedPitch);
        ++checked;
      }
    }
    if (checked == 0) QSKIP("no Chinese or fixed-pitch face on this machine");
  }
};

QTEST_MAIN(TextPropertiesDialogTest)
#include "text_properties_dialog_test.moc"
