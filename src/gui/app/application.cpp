#include "gui/app/application.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <QThread>

#include <iostream>

#include "platform/codepage/codepage.h"
#include "gui/app/instance_link.h"
#include "gui/app/main_frame.h"
#include "gui/dialogs/dialog_translation.h"
#include "platform/app_paths.h"
#include "platform/report.h"
#include "platform/version.h"

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

CTessaraApp::CTessaraApp(char* programName, EditorCommandLine commandLine)
    : qtArgv_{programName, nullptr},
      application_(qtArgc_, qtArgv_),
      commandLine_(std::move(commandLine)),
      store_((InitAppPaths(), SettingsStore::DefaultPath())),
      language_(g_strAppFolder, &store_),
      messages_(std::make_unique<MessageBoxSink>()) {
  QApplication::setApplicationName(QStringLiteral("Tessara"));
  QApplication::setApplicationVersion(QString::fromLatin1(kVersion));
  QApplication::setDesktopFileName(QStringLiteral("lumetra"));
  SetCurrentLanguage(&language_);
  SetMessageSink(messages_.get());
}

CTessaraApp::~CTessaraApp() {
  link_.reset();
  frame_.reset();
  SetMessageSink(nullptr);
  SetCurrentLanguage(nullptr);
}

bool CTessaraApp::HandToRunningEditor() {
  if (commandLine_.newInstance) return false;
  // The running editor has a working folder of its own.
  QStringList files;
  for (const std::string& file : commandLine_.files) files << QFileInfo(FromUtf8(file)).absoluteFilePath();
  link_ = std::make_unique<InstanceLink>(SessionSocketPath());
  const InstanceLink::Role role = link_->Claim(files);
  if (role == InstanceLink::Role::kAlone) {
    std::cerr << "lumetra: running as an editor of its own: " << link_->Problem().toStdString() << '\n';
  }
  return role == InstanceLink::Role::kHandedOver;
}

bool CTessaraApp::InitInstance() {
  SetTextCodePage(DocumentCodePage(store_));
  frame_ = std::make_unique<CMainFrame>(store_, language_);
  // Without a window manager "maximized" means nothing; the frame then covers the screen itself.
  if (QScreen* screen = QGuiApplication::primaryScreen()) frame_->setGeometry(screen->availableGeometry());
  frame_->showMaximized();
  if (link_) {
    QObject::connect(link_.get(), &InstanceLink::OpenRequested, frame_.get(), [this](const QStringList& files) {
      frame_->BringToFront();  // first, so that a file that cannot be opened is reported on top
      frame_->OpenDocuments(files);
    });
  }
  if (commandLine_.files.empty()) {
    frame_->NewDocument();
    return true;
  }
  QStringList files;
  for (const std::string& file : commandLine_.files) files << FromUtf8(file);
  return frame_->OpenDocuments(files);
}

int CTessaraApp::Run() { return QApplication::exec(); }

}  // namespace lumetra::gui
