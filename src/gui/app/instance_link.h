#pragma once
// One editor per user session and display. The first editor listens on a
// local socket; an editor started later hands it the files of its command
// line and ends, and the first opens them and comes to the front. A lock file
// beside the socket makes start-ups take turns, so two editors started at once
// never both listen, and a socket left behind by a crashed editor is replaced.

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalSocket;

namespace lumetra::gui {

class InstanceLink : public QObject {
  Q_OBJECT

 public:
  enum class Role {
    kHandedOver,  // the running editor took the files; this one ends
    kListening,   // this is the session's editor now
    kAlone,       // runs on its own: see Problem()
  };

  // `answerTimeoutMs`: how long a running editor has to confirm a hand-over.
  explicit InstanceLink(QString socketPath, int answerTimeoutMs = 10000);

  // Hands `files` (absolute paths) to the editor listening on the socket, or,
  // when none is, listens there. kAlone when an editor took the connection but
  // did not answer, or the socket could not be made.
  Role Claim(const QStringList& files);
  const QString& Problem() const { return problem_; }

 signals:
  // A later editor asks for these files; none: just come to the front.
  void OpenRequested(const QStringList& files);

 private:
  bool HandOver(QLocalSocket& socket, const QStringList& files);
  void Accept();

  QString socketPath_;
  int answerTimeoutMs_;
  QLocalServer server_;
  QString problem_;
};

// Where this user's editor on this display listens: in XDG_RUNTIME_DIR,
// else in the temporary folder.
QString SessionSocketPath();

}  // namespace lumetra::gui
