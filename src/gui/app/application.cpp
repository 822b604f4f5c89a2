#include "gui/app/application.h"

#include <QMessageBox>
#include <QScreen>
#include <QThread>

#include "gui/app/main_frame.h"
#include "gui/dialogs/dialog_translation.h"
#include "platform/app_paths.h"
#include "platform/report.h"

namespace lumetra::gui {

// Messages of the core (a file that cannot be written, a language not found)
// appear as message boxes with the application's title.
class MessageBoxSink final : public MessageSink {
 public:
  void ShowMessage(std::string_view text) override {
    const QString message = FromUtf8(std::string(text));
    const auto show = [message] {
      QMessageBox::information(QApplication::activeWindow(), QStringLiteral("Tessara"), message);
    };
    // A transfer's worker reports through the thread that owns the windows.
    if (QThread::currentThread() == qApp->thread()) {
      show();
    } else {
      QMetaObject::invokeMethod(qApp, show, Qt::BlockingQueuedConnection);
    }
  }
};

CTessaraApp::CTessaraApp(int& argc, char** argv)
    : application_(argc, argv),
      store_((InitAppPaths(), SettingsStore::DefaultPath())),
      language_(g_strAppFolder, &store_),
      messages_(std::make_unique<MessageBoxSink>()) {
  QApplication::setApplicationName(QStringLiteral("Tessara"));
  QApplication::setDesktopFileName(QStringLiteral("lumetra"));
  SetCurrentLanguage(&language_);
  SetMessageSink(messages_.get());
}

CTessaraApp::~CTessaraApp() {
  frame_.reset();
  SetMessageSink(nullptr);
  SetCurrentLanguage(nullptr);
}

bool CTessaraApp::InitInstance() {
  frame_ = std::make_unique<CMainFrame>(store_, language_);
  // Without a window manager "maximized" means nothing; the frame then covers the screen itself.
  if (QScreen* screen = QGuiApplication::primaryScreen()) frame_->setGeometry(screen->availableGeometry());
  frame_->showMaximized();
  const QStringList arguments = QApplication::arguments().mid(1);
  if (arguments.isEmpty()) {
    frame_->NewDocument();
    return true;
  }
  for (const QString& path : arguments) {
    if (!frame_->OpenDocument(std::filesystem::path(path.toStdString()))) return false;
  }
  return true;
}

int CTessaraApp::Run() { return QApplication::exec(); }

}  // namespace lumetra::gui
