// The send dialog's rules and a whole transfer from the editor, offscreen, to
// a virtual panel on a pseudo-terminal.

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "support/control_lookup.h"
#include "comm/address_list.h"
#include "document/document.h"
#include "document/panel_settings.h"
#include "gui/app/child_frame.h"
#include "gui/app/main_frame.h"
#include "gui/app/transfer_runner.h"
#include "gui/dialogs/dialog_translation.h"
#include "gui/dialogs/send_dialog.h"
#include "lang/language.h"
#include "platform/app_paths.h"
#include "platform/gdi/bmp_file.h"
#include "platform/profile/settings_store.h"
#include "protocol/messages.h"
#include "support/virtual_panel.h"
#include "render/picture.h"
#include "view/tessara_view.h"
#include "view/view_commands.h"

using namespace lumetra;
using namespace lumetra::gui;

namespace {

const std::filesystem::path kSample = LUMETRA_SOURCE_DIR "/resources/samples/welcome.tz";

}  // namespace

class SendFromEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    InitAppPaths();  // the display libraries sit beside this test
    language_ = std::make_unique<Language>(LUMETRA_BIN_DIR, nullptr);
    language_->SelectLanguage("English");
    SetCurrentLanguage(language_.get());
  }

  void movaOutUnticksTheClockAndBroadcastLocksTheAddresses() {
    CSendDlg dialog(false);
    auto* movaOut = test::FindControl<QRadioButton>(&dialog, 1142);
    auto* mova = test::FindControl<QRadioButton>(&dialog, 1006);
    auto* refresh = test::FindControl<QCheckBox>(&dialog, 1139);
    auto* broadcast = test::FindControl<QCheckBox>(&dialog, 1146);
    auto* address = test::FindControl<QLineEdit>(&dialog, 1035);
    QVERIFY(refresh->isChecked() && refresh->isEnabled());
    movaOut->click();
    QVERIFY(!refresh->isChecked() && !refresh->isEnabled());
    mova->click();
    QVERIFY(refresh->isEnabled());
    QVERIFY(!refresh->isChecked());
    broadcast->click();
    QVERIFY(!address->isEnabled());
    broadcast->click();
    QVERIFY(address->isEnabled());

    CSendDlg clockMode(true);
    QVERIFY(test::FindControl<QCheckBox>(&clockMode, 1139)->isChecked());
    QVERIFY(!test::FindControl<QCheckBox>(&clockMode, 1139)->isEnabled());
    QVERIFY(!test::FindControl<QCheckBox>(&clockMode, 1138)->isEnabled());
  }

  void anAddressTextThatIsNotValidIsRefusedWithTheDialogLeftOpen() {
    CSendDlg dialog(false);
    QString shown;
    dialog.SetMessageHandler([&](const QString& text) { shown = text; });
    dialog.show();
    test::FindControl<QLineEdit>(&dialog, 1035)->setText(QStringLiteral("1,,2"));
    // Broadcast does not spare the text its check.
    test::FindControl<QCheckBox>(&dialog, 1146)->click();
    dialog.accept();
    QCOMPARE(shown, Text(2004));
    QVERIFY(dialog.isVisible());
    QVERIFY(!dialog.Choice());

    test::FindControl<QCheckBox>(&dialog, 1146)->click();
    test::FindControl<QLineEdit>(&dialog, 1035)->setText(QStringLiteral("1 , 2,3-5"));
    dialog.accept();
    QVERIFY(dialog.Choice());
    QCOMPARE(int(dialog.Choice()->addressMode), int(kAddressModeList));
    QCOMPARE(int(dialog.Choice()->addressTable[4]), 5);
  }

  void aDocumentSentFromTheEditorArrivesAsItsExportedPicture() {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("lumetra-gui-send-" + std::to_string(QCoreApplication::applicationPid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    test::VirtualPanel panel(folder / "panel", {});
    QVERIFY(!panel.Path().empty());
    ::setenv("LUMETRA_COM1", panel.Path().c_str(), 1);

    SettingsStore store(folder / "Tessara.ini");
    CMainFrame frame(store, *language_);
    CChildFrame* child = frame.OpenDocument(kSample);
    QVERIFY(child);
    TransferRunner& transfers = frame.Transfers();
    transfers.SetChooser([](bool) {
      SendChoice choice;
      choice.addressTable = ParseAddressTable("1");
      return std::optional<SendChoice>(choice);
    });
    transfers.SetPauseScale(0);
    QStringList steps;
    QString result;
    connect(&transfers, &TransferRunner::stepShown, this, [&](const QString& step) { steps << step; });
    transfers.SetMessageHandler([&](const QString& text) { result = text; });

    frame.OnCommand(kCmdSendPicture);
    panel.Stop();
    ::unsetenv("LUMETRA_COM1");

    QCOMPARE(result, Text(2002));
    QVERIFY(steps.contains(QStringLiteral("Sending the picture")));
    QVERIFY(steps.contains(QStringLiteral("Waiting 5000 ms")));
    QVERIFY(steps.contains(QStringLiteral("Sending the clock")));

    const std::optional<PackedDib> exported = RenderPictureDIB(child->Document(), child->View().m_ptOrigin);
    QVERIFY(exported);
    const std::optional<std::vector<std::uint8_t>> bmp = WriteDIB(*exported);
    const std::optional<Bitmap32> expected = DecodeBmp(*bmp);
    const std::optional<Bitmap32> received = ReadBmpPicture(folder / "panel" / "picture.bmp");
    QVERIFY(expected && received);
    QCOMPARE(received->Width(), expected->Width());
    QCOMPARE(received->Height(), expected->Height());
    const auto& colours = ColoursOf(kRedAndGreen).colours;
    for (int y = 0; y < expected->Height(); ++y) {
      for (int x = 0; x < expected->Width(); ++x) {
        const protocol::LedColour led = protocol::LedColourOf(expected->At(x, y), 0);
        if (received->At(x, y) != PixelFromColor(colours[led])) QFAIL(qPrintable(QStringLiteral("LED %1,%2").arg(x).arg(y)));
      }
    }
    std::filesystem::remove_all(folder);
  }

  void theResultNamesThePanelsOfAListThatFailed() {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("lumetra-gui-list-" + std::to_string(QCoreApplication::applicationPid()));
    std::filesystem::remove_all(folder);
    test::VirtualPanel panel(folder / "panel", {"--address", "1", "--address", "2", "--fault", "silent:2"});
    ::setenv("LUMETRA_COM1", panel.Path().c_str(), 1);
    SettingsStore store(folder / "Tessara.ini");
    CMainFrame frame(store, *language_);
    QVERIFY(frame.OpenDocument(kSample));
    TransferRunner& transfers = frame.Transfers();
    transfers.SetChooser([](bool) {
      SendChoice choice;
      choice.controllerType = kControllerMovaOut;
      choice.refreshTimer = false;
      choice.addressMode = kAddressModeList;
      choice.addressTable = ParseAddressTable("1-2");
      return std::optional<SendChoice>(choice);
    });
    transfers.SetPauseScale(0);
    QString result;
    transfers.SetMessageHandler([&](const QString& text) { result = text; });
    frame.OnCommand(kCmdSendPicture);
    panel.Stop();
    ::unsetenv("LUMETRA_COM1");
    QVERIFY2(result.endsWith(QStringLiteral("\nPanel 2 did not answer.")), qPrintable(result));
    QVERIFY(std::filesystem::exists(folder / "panel" / "1" / "picture.bmp"));
    std::filesystem::remove_all(folder);
  }

  void cleanupTestCase() { SetCurrentLanguage(nullptr); }

 private:
  std::unique_ptr<Language> language_;
};

QTEST_MAIN(SendFromEditorTest)
#include "send_from_editor_test.moc"
