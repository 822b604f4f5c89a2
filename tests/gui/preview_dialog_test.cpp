// The Preview window: its layout at 1:1 and zoomed, the effect list, the
// picture it paints and the timers that drive it.

#include "gui/dialogs/preview_dialog.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "gui/dialogs/dialog_translation.h"
#include "lang/language.h"

using namespace lumetra;
using namespace lumetra::gui;

namespace {

constexpr int kW = 16;
constexpr int kH = 8;
constexpr int kFrames = 2;

// Every pixel its own colour: red from the column, green from the row.
std::uint32_t StripPixel(int x, int y) { return std::uint32_t(x * 7) << 16 | std::uint32_t(y * 30) << 8 | 0x40; }

Bitmap32 Strip() {
  Bitmap32 strip(kW * kFrames, kH);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < strip.Width(); ++x) strip.At(x, y) = StripPixel(x, y);
  }
  return strip;
}

QComboBox* EffectList(const CPreviewDlg& dialog) {
  for (QComboBox* list : dialog.findChildren<QComboBox*>()) {
    if (ControlId(list) == 1121) return list;
  }
  qFatal("no effect list");
}

QTimer* TimerOf(const CPreviewDlg& dialog, int intervalMs) {
  for (QTimer* timer : dialog.findChildren<QTimer*>()) {
    if (timer->interval() == intervalMs) return timer;
  }
  qFatal("no %d ms timer", intervalMs);
}

// Whether the picture in `shot` shows frame `frame` of the strip, each LED
// as zoom × zoom pixels.
bool ShowsFrame(const QImage& shot, int frame, int zoom) {
  for (int y = 0; y < kH * zoom; ++y) {
    for (int x = 0; x < kW * zoom; ++x) {
      if ((shot.pixel(x, y) & 0xFFFFFF) != StripPixel(frame * kW + x / zoom, y / zoom)) {
        qWarning("pixel (%d, %d) differs", x, y);
        return false;
      }
    }
  }
  return true;
}

}  // namespace

class PreviewDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<Language> language_;
  const Bitmap32 strip_ = Strip();

 private slots:
  void initTestCase() {
    language_ = std::make_unique<Language>(LUMETRA_BIN_DIR, nullptr);
    QVERIFY(language_->SelectLanguage("English"));
    SetCurrentLanguage(language_.get());
  }

  void opensAtOneToOneMovingLeft() {
    CPreviewDlg dialog(strip_, kW, kH, kFrames);
    QVERIFY(dialog.isModal());
    QCOMPARE(dialog.windowTitle(), QString("Preview"));
    QCOMPARE(dialog.pos(), QPoint(200, 200));
    QCOMPARE(dialog.size(), QSize(kW + 10, kH + 100));

    QComboBox* list = EffectList(dialog);
    QCOMPARE(list->pos(), QPoint(0, kH + 20));
    const QStringList effects = {"Move left", "Move right", "Page turning", "Stretch"};
    QCOMPARE(list->count(), effects.size());
    for (int i = 0; i < list->count(); ++i) QCOMPARE(list->itemText(i), effects[i]);
    QCOMPARE(list->currentIndex(), 0);

    QCOMPARE(dialog.Animation().m_nEffect, kPreviewMoveLeft);
    QVERIFY(dialog.Animation().m_bRunning);
    QVERIFY(TimerOf(dialog, 50)->isActive());
    QVERIFY(!TimerOf(dialog, 2000)->isActive());
    QVERIFY(ShowsFrame(dialog.grab().toImage(), 0, 1));
  }

  void zoomScalesTheWindowAndEveryLed() {
    CPreviewDlg dialog(strip_, kW, kH, kFrames, 3);
    QCOMPARE(dialog.size(), QSize(3 * kW + 10, 3 * kH + 100));
    QCOMPARE(EffectList(dialog)->pos(), QPoint(0, 3 * kH + 20));
    QVERIFY(ShowsFrame(dialog.grab().toImage(), 0, 3));
  }

  // A zoom that would make the window larger than the screen falls to the
  // largest one that fits; the window stays on the screen.
  void aZoomTooLargeForTheScreenFallsToOneThatFits() {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const int wide = screen.width() / 3;  // fits at 2X, not at 3X
    const Bitmap32 strip(wide, kH);
    CPreviewDlg dialog(strip, wide, kH, 1, 6);
    QCOMPARE(dialog.size(), QSize(2 * wide + 10, 2 * kH + 100));
    QVERIFY(screen.contains(dialog.frameGeometry().topLeft()));
    QVERIFY(dialog.pos().x() + dialog.width() <= screen.right() + 1);
  }

  void choosingAnEffectStartsIt() {
    CPreviewDlg dialog(strip_, kW, kH, kFrames, 2);
    EffectList(dialog)->setCurrentIndex(1);
    QCOMPARE(dialog.Animation().m_nEffect, kPreviewMoveRight);
    QCOMPARE(dialog.Animation().m_nOffset, -kW);
    QVERIFY(ShowsFrame(dialog.grab().toImage(), 1, 2));
  }

  // The timers are stopped and fired by hand, so the test sees the order of
  // events and never how long a busy machine takes.
  void pageTurningHoldsEachFrameForTwoSeconds() {
    CPreviewDlg dialog(strip_, kW, kH, kFrames);
    EffectList(dialog)->setCurrentIndex(2);
    QTimer* tick = TimerOf(dialog, 50);
    QTimer* pause = TimerOf(dialog, 2000);
    tick->stop();
    QVERIFY(TickUntilPaused(tick, pause));
    QVERIFY(pause->isSingleShot());
    QVERIFY(!dialog.Animation().m_bRunning);
    QVERIFY(ShowsFrame(dialog.grab().toImage(), 1, 1));

    for (int i = 0; i < 100; ++i) Fire(tick);  // the hold outlasts any number of ticks
    QVERIFY(ShowsFrame(dialog.grab().toImage(), 1, 1));

    pause->stop();
    Fire(pause);
    QVERIFY(dialog.Animation().m_bRunning);
    QVERIFY(TickUntilPaused(tick, pause));
    QCOMPARE(dialog.Animation().m_nOffset, 0);
    QVERIFY(ShowsFrame(dialog.grab().toImage(), 0, 1));
  }

  void escapeAndTheCloseBoxStopTheTimers() {
    for (const bool escape : {true, false}) {
      CPreviewDlg dialog(strip_, kW, kH, kFrames);
      dialog.show();
      EffectList(dialog)->setCurrentIndex(2);
      QVERIFY(TickUntilPaused(TimerOf(dialog, 50), TimerOf(dialog, 2000)));
      if (escape) {
        QTest::keyClick(&dialog, Qt::Key_Escape);
      } else {
        dialog.close();
      }
      QVERIFY(!dialog.isVisible());
      QVERIFY(!TimerOf(dialog, 50)->isActive());
      QVERIFY(!TimerOf(dialog, 2000)->isActive());
    }
  }

 private:
  static void Fire(QTimer* timer) { QVERIFY(QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection)); }

  // Ticks until the animation pauses on a frame; false if it never does.
  static bool TickUntilPaused(QTimer* tick, QTimer* pause) {
    for (int i = 0; i < 1000 && !pause->isActive(); ++i) Fire(tick);
    return pause->isActive();
  }
};

QTEST_MAIN(PreviewDialogTest)
#include "preview_dialog_test.moc"
