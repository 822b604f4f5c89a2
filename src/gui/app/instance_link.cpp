#include "gui/app/instance_link.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QRegularExpression>

#include <unistd.h>

namespace lumetra::gui {

namespace {

// The listening editor's reply once it has the whole request.
constexpr char kReceived = 'k';
constexpr auto kStreamVersion = QDataStream::Qt_6_0;

}  // namespace

InstanceLink::InstanceLink(QString socketPath, int answerTimeoutMs)
    : socketPath_(std::move(socketPath)), answerTimeoutMs_(answerTimeoutMs) {
  connect(&server_, &QLocalServer::newConnection, this, &InstanceLink::Accept);
}

InstanceLink::Role InstanceLink::Claim(const QStringList& files) {
  QLockFile lock(socketPath_ + QStringLiteral(".lock"));
  if (!lock.lock()) {
    problem_ = QStringLiteral("cannot lock %1.lock").arg(socketPath_);
    return Role::kAlone;
  }
  QLocalSocket socket;
  socket.connectToServer(socketPath_);
  if (socket.waitForConnected(answerTimeoutMs_)) {
    if (HandOver(socket, files)) return Role::kHandedOver;
    problem_ = QStringLiteral("the editor listening on %1 did not answer").arg(socketPath_);
    return Role::kAlone;
  }
  // Nobody answers, so a socket still there is left from an editor that crashed.
  QLocalServer::removeServer(socketPath_);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_.listen(socketPath_)) {
    problem_ = QStringLiteral("cannot listen on %1: %2").arg(socketPath_, server_.errorString());
    return Role::kAlone;
  }
  return Role::kListening;
}

bool InstanceLink::HandOver(QLocalSocket& socket, const QStringList& files) {
  QByteArray request;
  QDataStream out(&request, QIODevice::WriteOnly);
  out.setVersion(kStreamVersion);
  out << files;
  socket.write(request);
  if (!socket.waitForBytesWritten(answerTimeoutMs_)) return false;
  while (socket.bytesAvailable() == 0) {
    if (!socket.waitForReadyRead(answerTimeoutMs_)) return false;
  }
  char reply = 0;
  return socket.getChar(&reply) && reply == kReceived;
}

void InstanceLink::Accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      QDataStream in(socket);
      in.setVersion(kStreamVersion);
      in.startTransaction();
      QStringList files;
      in >> files;
      if (!in.commitTransaction()) return;  // the rest is still on its way
      // Answered before the files open: a file that cannot be opened shows a
      // message box, and the later editor must not wait for the user.
      socket->putChar(kReceived);
      socket->flush();
      socket->disconnectFromServer();
      emit OpenRequested(files);
    });
  }
}

QString SessionSocketPath() {
  QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::tempPath();
  QString display = qEnvironmentVariable("WAYLAND_DISPLAY", qEnvironmentVariable("DISPLAY"));
  display.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"));
  return QStringLiteral("%1/lumetra-%2-%3.socket").arg(folder).arg(getuid()).arg(display);
}

}  // namespace lumetra::gui
