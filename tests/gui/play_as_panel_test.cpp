// "Play as Panel": the window's LEDs at a moment equal the playback engine's
// picture of the document at that moment, paused time stands still, and an
// edit while the window is open shows at once.

#include <QAction>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include "document/document.h"
#include "gui/app/child_frame.h"
#include "gui/app/play_as_panel_window.h"
#include "gui/app/shell_commands.h"
#include "panel/panel_window.h"
#include "platform/local_time.h"
#include "render/led_dots.h"
#include "render/panel_content.h"
#include "render/playback.h"
#include "support/editor_session.h"
#include "support/sample_show.h"
#include "units/rectangle.h"
#include "view/tessara_view.h"

using namespace lumetra;

namespace {

constexpr LocalTime kClock{2026, 12, 31, 4, 23, 59, 58};

// What the window must show `elapsedMs` into the show of `child`'s document.
QImage EnginePicture(gui::CChildFrame& child, int ledSize, std::int64_t elapsedMs) {
  const PanelState state = *PanelStateAfterSend(child.Document(), {kClock, false, child.View().m_ptOrigin});
  Bitmap32 dots = LedDots(ledSize, 0xFF).Paint(RenderPanelFrame(state, elapsedMs));
  return QImage(reinterpret_cast<const uchar*>(dots.Pixels().data()), dots.Width(), dots.Height(), QImage::Format_RGB32)
      .copy();
}

QImage Shown(panel::PanelWindow& leds) { return leds.grab().toImage().convertToFormat(QImage::Format_RGB32); }

}  // namespace

class PlayAsPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void playsTheEnginesPicturesPausesAndFollowsEdits() {
    const FixedLocalTime fixed(kClock);
    test::EditorSession session("play-as-panel");
    test::MakeShow(session.folder / "show.tz", {{test::kPageTurning, 1, 1, 1}, {test::kMoveLeft, 2, 3, 1}});
    gui::CChildFrame* child = session.frame->OpenDocument(session.folder / "show.tz");
    QVERIFY(child);
    for (QAction* action : session.frame->findChildren<QAction*>()) {
      if (action->data().toInt() == gui::kCmdPlayAsPanel) action->trigger();
    }
    auto* window = child->findChild<gui::PlayAsPanelWindow*>();
    QVERIFY(window);
    std::int64_t nowMs = 0;
    panel::PanelWindow& leds = window->Leds();
    leds.SetClock([&nowMs] { return nowMs; });
    window->Restart();
    const int ledSize = leds.LedSize();

    // The slider seeks within the round: the page turn, mid-entrance, the held clock frame.
    auto* slider = window->findChild<QSlider*>();
    QCOMPARE(slider->maximum(), int(1000 + 2 * (320 + 1000)));
    for (const int t : {0, 999, 1160, 1320, 2490, 3639}) {
      slider->setValue(t);
      QCOMPARE(Shown(leds), EnginePicture(*child, ledSize, t));
    }

    // Paused, the show's time stands still while the clock of the test runs on.
    auto* playPause = window->findChildren<QPushButton*>().at(0);
    playPause->click();
    QVERIFY(leds.Paused());
    nowMs += 5000;
    QCOMPARE(leds.ElapsedMs(), 3639);
    playPause->click();
    nowMs += 100;
    QCOMPARE(leds.ElapsedMs(), 3739);

    // An edit, and its undo, show at once, at the same moment of the round.
    slider->setValue(500);
    const QImage before = Shown(leds);
    auto block = std::make_unique<CRectangle>();
    block->m_crPen = block->m_crBrush = 0x00FF00;
    block->m_ptFirst = {20, 4};
    block->m_ptSecond = {30, 12};
    EditHistory& history = child->Document().History();
    history.Begin(StepKind::kCreate);
    history.Append(std::move(block));
    history.Commit();
    QCOMPARE(leds.ElapsedMs(), 3640 + 500);  // the second round goes on, so the clock keeps its time
    QCOMPARE(Shown(leds), EnginePicture(*child, ledSize, leds.ElapsedMs()));
    QVERIFY(Shown(leds) != before);
    history.Undo();
    QCOMPARE(Shown(leds), before);
  }
};

QTEST_MAIN(PlayAsPanelTest)
#include "play_as_panel_test.moc"
