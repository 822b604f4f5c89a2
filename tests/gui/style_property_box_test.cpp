#include "support/control_lookup.h"
#include "gui/dialogs/style_property_box.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>

#include "gui/dialogs/dialog_translation.h"
#include "lang/language.h"

using namespace lumetra;
using namespace lumetra::gui;

namespace {

constexpr COLORREF kGreen = 0x0000FF00, kYellow = 0x0000FFFF, kBlue = 0x00FF0000, kWhite = 0x00FFFFFF;
const int kHatchIds[] = {1062, 1063, 1064, 1065, 1066, 1067};
// A colour's swatches in the pen, brush and background rows.
const std::pair<COLORREF, QList<int>> kSwatches[] = {
    {kBlack, {1019, 1020, 1021}}, {kGreen, {1029, 1031, 1033}}, {kYellow, {1024, 1025, 1026}},
    {kRed, {1028, 1030, 1032}},   {kBlue, {1027, 1035, 1037}},  {kWhite, {1034, 1036, 1038}},
};

// Runs `action`, closing each warning box it opens; returns how many there were.
int CountWarnings(const std::function<void()>& action) {
  int warnings = 0;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&warnings] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      ++warnings;
      box->accept();
    }
  });
  closer.start(5);
  action();
  return warnings;
}

}  // namespace

class StylePropertyBoxTest : public QObject {
  Q_OBJECT

  std::unique_ptr<Language> language_;
  std::unique_ptr<CDLineProperty> box_;

  CDLineDlg1& Page() { return box_->StylePage(); }
  StylePageValues& Values() { return Page().Values(); }
  template <class T = QRadioButton>
  T* Find(int id) {
    return test::FindControl<T>(box_.get(), id);
  }
  void TypeWidth(const QString& text) {
    Find<QLineEdit>(1013)->selectAll();
    QTest::keyClicks(Find<QLineEdit>(1013), text);
  }
  QColor Preview(int id) { return Find<QFrame>(id)->palette().color(QPalette::Window); }

 private slots:
  void initTestCase() {
    language_ = std::make_unique<Language>(LUMETRA_BIN_DIR, nullptr);
    SetCurrentLanguage(language_.get());
  }
  void init() {
    QVERIFY(language_->SelectLanguage("English"));
    box_ = std::make_unique<CDLineProperty>(0, nullptr);
    box_->show();
    QVERIFY(QTest::qWaitForWindowExposed(box_.get()));
  }
  void cleanup() { box_.reset(); }

  void showsTheValuesTranslatedAndSilently() {
    QCOMPARE(Find(1006)->text(), QString("Solid"));
    QVERIFY(Find(1006)->isChecked() && Find(1059)->isChecked());
    QCOMPARE(Values().hatchStyle, HS_BDIAGONAL);

    QSignalSpy changed(&Page(), &CDLineDlg1::styleChanged);
    Values() = {
        .penWidth = 5, .penStyle = PS_DASHDOT, .brushStyle = BS_HATCHED, .hatchStyle = HS_CROSS, .crBrush = kYellow};
    Page().ShowValues();
    QVERIFY(Find(1009)->isChecked() && !Find(1006)->isChecked());
    QCOMPARE(Find<QLineEdit>(1013)->text(), QString("5"));
    QVERIFY(Find(1061)->isChecked() && Find(1063)->isChecked() && Find(1063)->isEnabled());
    QCOMPARE(Preview(1057), QColor(Qt::yellow));
    QCOMPARE(changed.count(), 0);
  }

  void hatchButtonsFollowTheBrush() {
    for (int id : kHatchIds) QVERIFY(!Find(id)->isEnabled());
    Find(1061)->click();
    for (int id : kHatchIds) QVERIFY(Find(id)->isEnabled());
    QVERIFY(Find(1062)->isChecked());
    Find(1060)->click();
    for (int id : kHatchIds) QVERIFY(!Find(id)->isEnabled() && !Find(id)->isChecked());
    Find(1061)->click();
    Find(1059)->click();
    QVERIFY(!Find(1062)->isEnabled());
  }

  void eachStyleButtonSetsItsValue_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QList<int>>("penBrushHatch");
    const int pens[][2] = {{1006, 0}, {1007, 1}, {1008, 2}, {1009, 3}, {1010, 4}, {1068, 5}, {1069, 6}};
    for (auto [id, pen] : pens) QTest::addRow("pen %d", id) << id << QList<int>{pen, BS_HATCHED, HS_BDIAGONAL};
    const int brushes[][2] = {{1059, BS_HOLLOW}, {1060, BS_SOLID}, {1061, BS_HATCHED}};
    for (auto [id, brush] : brushes) QTest::addRow("brush %d", id) << id << QList<int>{PS_SOLID, brush, HS_BDIAGONAL};
    const int hatches[][2] = {{1062, 3}, {1064, 5}, {1066, 2}, {1063, 4}, {1067, 0}, {1065, 1}};
    for (auto [id, hatch] : hatches) QTest::addRow("hatch %d", id) << id << QList<int>{PS_SOLID, BS_HATCHED, hatch};
  }
  void eachStyleButtonSetsItsValue() {
    QFETCH(int, id);
    QFETCH(QList<int>, penBrushHatch);
    Values().brushStyle = BS_HATCHED;  // so that the hatch buttons take clicks
    Page().ShowValues();
    QSignalSpy changed(&Page(), &CDLineDlg1::styleChanged);
    Find(id)->click();
    QCOMPARE((QList<int>{Values().penStyle, Values().brushStyle, Values().hatchStyle}), penBrushHatch);
    QVERIFY(Find(id)->isChecked());
    QCOMPARE(changed.count(), 1);
  }

  void widthIsAWholeNumberFromOneToTen() {
    QSignalSpy changed(&Page(), &CDLineDlg1::styleChanged);
    QCOMPARE(CountWarnings([this] { TypeWidth("7"); }), 0);
    QCOMPARE(CountWarnings([this] { TypeWidth("0"); }), 1);
    QCOMPARE(CountWarnings([this] { TypeWidth("abc"); }), 3);
    QCOMPARE(Values().penWidth, 7);
    QCOMPARE(changed.count(), 1);

    QList<QToolButton*> arrows = Find<QWidget>(1014)->findChildren<QToolButton*>();
    std::ranges::sort(arrows, {}, &QToolButton::arrowType);  // up before down
    for (int i = 0; i < 5; ++i) arrows[0]->click();
    QCOMPARE(Find<QLineEdit>(1013)->text(), QString("10"));
    QCOMPARE(changed.count(), 4);
    arrows[1]->click();
    QCOMPARE(Values().penWidth, 9);
  }

  void colourSetsOfferTheirSwatches_data() {
    QTest::addColumn<int>("colourSet");
    QTest::addColumn<QList<COLORREF>>("offered");
    QTest::addColumn<COLORREF>("penAndBrush");
    QTest::addColumn<QColor>("preview");
    QTest::newRow("0") << 0 << QList<COLORREF>{kBlack, kGreen, kYellow, kRed} << kRed << QColor(Qt::red);
    QTest::newRow("1") << 1 << QList<COLORREF>{kBlack, kYellow, kBlue, kWhite} << kYellow << QColor(Qt::yellow);
    QTest::newRow("2") << 2 << QList<COLORREF>{kBlack, kRed} << kRed << QColor(Qt::red);
  }
  void colourSetsOfferTheirSwatches() {
    QFETCH(int, colourSet);
    QFETCH(QList<COLORREF>, offered);
    QFETCH(COLORREF, penAndBrush);
    QFETCH(QColor, preview);
    // Another set and other colours first, so that everything has to change.
    Page().AdaptColours(colourSet == 1 ? 2 : 1);
    Values().crPen = Values().crBrush = Values().crBk = kWhite;
    QSignalSpy changed(&Page(), &CDLineDlg1::styleChanged);
    Page().AdaptColours(colourSet);
    for (const auto& [colour, ids] : kSwatches) {
      for (int id : ids) QCOMPARE(Find<QToolButton>(id)->isEnabled(), offered.contains(colour));
    }
    QCOMPARE((QList<COLORREF>{Values().crPen, Values().crBrush, Values().crBk}),
             (QList{penAndBrush, penAndBrush, kBlack}));
    QCOMPARE(Preview(1056), preview);
    QCOMPARE(changed.count(), 0);
  }

  void swatchesSetTheirRowsColour() {
    QSignalSpy changed(&Page(), &CDLineDlg1::styleChanged);
    QTest::mouseClick(Find<QToolButton>(1033), Qt::LeftButton);
    QCOMPARE(Values().crBk, kGreen);
    QCOMPARE(Values().crPen, kRed);
    QCOMPARE(Preview(1058), QColor(Qt::green));
    QTest::mouseClick(Find<QToolButton>(1037), Qt::LeftButton);  // blue is not in set 0
    Page().AdaptColours(7);
    QCOMPARE(Values().crBk, kGreen);
    QVERIFY(!Find<QToolButton>(1037)->isEnabled());
    QCOMPARE(changed.count(), 1);
  }

  void modeListKeepsTheModeAcrossLanguages() {
    auto* modes = Find<QComboBox>(1077);
    QSignalSpy changed(&Page(), &CDLineDlg1::styleChanged);
    Values().bkMode = TRANSPARENT;
    Page().ShowValues();
    QCOMPARE(modes->currentIndex(), 0);
    Values().bkMode = OPAQUE;
    Page().ShowValues();
    QCOMPARE(modes->currentIndex(), 1);

    QVERIFY(language_->SelectLanguage("Chinese"));
    box_->Retranslate();
    QCOMPARE(modes->currentText(), QString::fromUtf8("不透明"));
    QCOMPARE(Values().bkMode, OPAQUE);
    QCOMPARE(box_->findChild<QTabWidget*>()->tabText(0), QString::fromUtf8("样式"));
    QCOMPARE(Find(1006)->text(), QString::fromUtf8("实线"));
    QCOMPARE(changed.count(), 0);

    QTest::keyClick(modes, Qt::Key_Up);
    QCOMPARE(Values().bkMode, TRANSPARENT);
    QCOMPARE(changed.count(), 1);
  }

  void closingOnlyHides() {
    QVERIFY(box_->windowFlags().testFlag(Qt::Tool));
    QPointer<CDLineProperty> box = box_.get();
    box_->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(box && !box->isVisible());
  }
};

QTEST_MAIN(StylePropertyBoxTest)
#include "style_property_box_test.moc"
