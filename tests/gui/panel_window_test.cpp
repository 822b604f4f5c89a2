// The panel window: LEDs as round dots in the panel's colours, the show
// played from its start, and the title.

#include "panel/panel_window.h"

#include <QtTest>
#include <string>
#include <vector>

#include "render/playback.h"

using namespace lumetra;
using namespace lumetra::panel;

namespace {

constexpr QRgb kUnlit = 0x303030;

// Rows of LED digits, all frames side by side.
PanelPicture Picture(const std::vector<std::string>& rows, std::uint8_t colourFlags = 0) {
  PanelPicture picture{int(rows[0].size()), int(rows.size()), colourFlags, {}};
  for (const std::string& row : rows) {
    for (const char led : row) picture.leds.push_back(LedColour(led - '0'));
  }
  return picture;
}

// A width × height panel playing frame 1 with a move-left entrance of
// 10 ms a column.
ParameterBlock MoveLeftParameters(int width, int height) {
  ParameterBlock block{};
  block[1] = std::uint8_t(height);
  block[3] = std::uint8_t(width);
  block[4] = 1;  // one play-mode row
  block[10] = kMoveLeft;
  block[12] = 1;  // frames 1..1
  block[13] = 2;  // speed code: 10 ms a column
  block[14] = 9;  // held for 9 s
  return block;
}

QRgb Rgb(const QImage& shot, int x, int y) { return shot.pixel(x, y) & 0xFFFFFF; }

QRgb Rgb(COLORREF colour) { return PixelFromColor(colour); }

// The colour at the centre of LED (x, y).
QRgb Centre(const QImage& shot, int ledSize, int x, int y) {
  return Rgb(shot, x * ledSize + ledSize / 2, y * ledSize + ledSize / 2);
}

}  // namespace

class PanelWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void drawsEachLedAsADotInItsColour_data() {
    QTest::addColumn<int>("ledSize");
    QTest::addColumn<int>("colourFlags");
    QTest::addRow("red and green, 6 px") << 6 << 0;
    QTest::addRow("yellow and blue, 9 px") << 9 << int(kFlagYellowAndBlue);
    QTest::addRow("smallest, 3 px") << 3 << 0;
  }
  void drawsEachLedAsADotInItsColour() {
    QFETCH(int, ledSize);
    QFETCH(int, colourFlags);
    const std::vector<std::string> rows = {"1230", "0321"};
    PanelWindow window(ledSize);
    window.ShowState(PanelState{{}, Picture(rows, std::uint8_t(colourFlags)), {}});
    QCOMPARE(window.size(), QSize(4 * ledSize, 2 * ledSize));

    const QImage shot = window.grab().toImage();
    const auto& colours = PanelColours(std::uint8_t(colourFlags));
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 4; ++x) {
        const int led = rows[std::size_t(y)][std::size_t(x)] - '0';
        QCOMPARE(Centre(shot, ledSize, x, y), led ? Rgb(colours[std::size_t(led)]) : kUnlit);
      }
    }
  }

  void theDotIsRoundWithDarkCorners() {
    PanelWindow window(8);
    window.ShowState(PanelState{{}, Picture({"11"}), {}});
    const QImage shot = window.grab().toImage();
    for (const QPoint edge : {QPoint(4, 0), QPoint(0, 4), QPoint(4, 7), QPoint(7, 4), QPoint(12, 7)}) {
      QVERIFY2(Rgb(shot, edge.x(), edge.y()) != 0, qPrintable(QString("edge %1, %2").arg(edge.x()).arg(edge.y())));
    }
    for (const QPoint corner : {QPoint(0, 0), QPoint(7, 0), QPoint(0, 7), QPoint(7, 7), QPoint(8, 0), QPoint(15, 7)}) {
      QCOMPARE(Rgb(shot, corner.x(), corner.y()), QRgb(0));
    }
  }

  void tooSmallADotIsEnlarged() { QCOMPARE(PanelWindow(1).LedSize(), PanelWindow::kMinLedSize); }

  // The show's time is the test's own, so nothing depends on how busy the machine is.
  void playsTheShowFromItsStart() {
    PanelWindow window;
    std::int64_t nowMs = 1000;
    window.SetClock([&nowMs] { return nowMs; });
    const PanelState state{MoveLeftParameters(2, 1), Picture({"11"}), {}};
    window.ShowState(state);
    const int size = window.LedSize();
    QCOMPARE(window.size(), QSize(2 * size, size));
    QCOMPARE(Centre(window.grab().toImage(), size, 1, 0), kUnlit);  // nothing has come in yet

    nowMs += 100;  // both columns are in after 20 ms
    auto* frameTimer = window.findChild<QTimer*>();
    QVERIFY(QMetaObject::invokeMethod(frameTimer, "timeout", Qt::DirectConnection));
    const QRgb lit = Rgb(PanelColours(0)[1]);
    QCOMPARE(Centre(window.grab().toImage(), size, 0, 0), lit);
    QCOMPARE(Centre(window.grab().toImage(), size, 1, 0), lit);

    window.ShowState(state);
    QCOMPARE(Centre(window.grab().toImage(), size, 1, 0), kUnlit);
  }

  void theTitleNamesTheAddresses() {
    PanelWindow window;
    QCOMPARE(window.windowTitle(), QString("Lumetra panel"));
    window.SetAddresses({1, 12});
    QCOMPARE(window.windowTitle(), QString("Lumetra panel 1, 12"));
    window.SetAddresses({});
    QCOMPARE(window.windowTitle(), QString("Lumetra panel"));
  }
};

QTEST_MAIN(PanelWindowTest)
#include "panel_window_test.moc"
