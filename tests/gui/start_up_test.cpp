// The editor's start-up: its command line, one editor per session through
// the instance link (both ends in this process, the later editor on a thread
// of its own), and opening the files it is handed.

#include <QLocalServer>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <future>

#include "document/document.h"
#include "document/panel_settings.h"
#include "gui/app/child_frame.h"
#include "gui/app/command_line.h"
#include "gui/app/instance_link.h"
#include "gui/app/main_frame.h"
#include "lang/language.h"
#include "platform/profile/settings_store.h"
#include "support/temp_folder.h"

using namespace lumetra;
using namespace lumetra::gui;
using Action = EditorCommandLine::Action;

Q_DECLARE_METATYPE(Action)

class StartUpTest : public QObject {
  Q_OBJECT

 private slots:
  void theCommandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<bool>("newInstance");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("error");
    const QStringList none;
    QTest::newRow("nothing") << none << Action::kEdit << false << none << "";
    QTest::newRow("files") << QStringList{"a.tz", "b c.tz"} << Action::kEdit << false << QStringList{"a.tz", "b c.tz"}
                           << "";
    QTest::newRow("help") << QStringList{"a.tz", "--help", "--bogus"} << Action::kHelp << false << QStringList{"a.tz"}
                          << "";
    QTest::newRow("short help") << QStringList{"-h"} << Action::kHelp << false << none << "";
    QTest::newRow("version") << QStringList{"--version", "--help"} << Action::kVersion << false << none << "";
    QTest::newRow("new instance") << QStringList{"--new-instance", "a.tz"} << Action::kEdit << true
                                  << QStringList{"a.tz"} << "";
    QTest::newRow("files after --") << QStringList{"--", "--help", "-x.tz"} << Action::kEdit << false
                                    << QStringList{"--help", "-x.tz"} << "";
    QTest::newRow("unknown option") << QStringList{"a.tz", "--bogus", "--help"} << Action::kUsageError << false
                                    << QStringList{"a.tz"} << "unknown option '--bogus'";
    QTest::newRow("Qt's own option") << QStringList{"-platform", "offscreen"} << Action::kUsageError << false << none
                                     << "unknown option '-platform'";
    QTest::newRow("a lone dash") << QStringList{"-"} << Action::kUsageError << false << none << "unknown option '-'";
  }

  void theCommandLine() {
    QFETCH(QStringList, arguments);
    std::vector<std::string> texts;
    for (const QString& argument : arguments) texts.push_back(argument.toStdString());
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    const EditorCommandLine line = ParseEditorCommandLine(views);
    QTEST(line.action, "action");
    QTEST(line.newInstance, "newInstance");
    QStringList files;
    for (const std::string& file : line.files) files << QString::fromStdString(file);
    QTEST(files, "files");
    QTEST(QString::fromStdString(line.error), "error");
  }

  // The first editor listens; each later one hands over its files (none:
  // just come to the front) and is told they arrived.
  void laterEditorsHandTheirFilesToTheFirst() {
    test::TempFolder folder("link");
    const QString socket = QString::fromStdString((folder.path() / "editor.socket").string());
    InstanceLink first(socket);
    QSignalSpy requests(&first, &InstanceLink::OpenRequested);
    QCOMPARE(first.Claim({}), InstanceLink::Role::kListening);
    for (const QStringList& files : {QStringList{"/a/one.tz", "/b/two words.tz"}, QStringList{}}) {
      auto later = std::async(std::launch::async, [&] { return InstanceLink(socket, 60000).Claim(files); });
      QVERIFY(requests.wait(60000));
      QCOMPARE(later.get(), InstanceLink::Role::kHandedOver);
      QCOMPARE(requests.takeFirst().at(0).toStringList(), files);
    }
  }

  // A socket file left behind by an editor that crashed is taken over.
  void aSocketLeftBehindIsReplaced() {
    test::TempFolder folder("link");
    const std::filesystem::path path = folder.path() / "editor.socket";
    std::ofstream(path) << "left behind";
    InstanceLink link(QString::fromStdString(path.string()));
    QCOMPARE(link.Claim({}), InstanceLink::Role::kListening);
  }

  // An editor that takes the connection but never answers keeps its socket;
  // the later editor runs on its own and says why.
  void anEditorThatDoesNotAnswerLeavesTheLaterOneAlone() {
    test::TempFolder folder("link");
    const QString socket = QString::fromStdString((folder.path() / "editor.socket").string());
    QLocalServer deaf;
    QVERIFY(deaf.listen(socket));
    InstanceLink later(socket, 100);
    QCOMPARE(later.Claim({"/a/one.tz"}), InstanceLink::Role::kAlone);
    QVERIFY(later.Problem().contains(QStringLiteral("did not answer")));
    QVERIFY(deaf.isListening());
  }

  // Of the files handed over, one that cannot be opened is reported and the
  // others open; the window comes back from the task bar.
  void anUnreadableFileAmongSeveralIsReportedAndTheOthersOpen() {
    test::TempFolder folder("start-up");
    SettingsStore store(folder.path() / "Tessara.ini");
    Language language(LUMETRA_BIN_DIR, &store);
    SetCurrentLanguage(&language);
    {
      CMainFrame frame(store, language);
      frame.showMaximized();
      QStringList paths;
      for (const char* name : {"one.tz", "missing.tz", "two.tz"}) {
        paths << QString::fromStdString((folder.path() / name).string());
        if (std::string_view(name) == "missing.tz") continue;
        CTessaraDoc document;
        document.OnNewDocument(PanelSettings{});
        document.OnSaveDocument(folder.path() / name);
      }
      QStringList reported;
      QTimer closer;
      connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
          reported << box->text();
          box->accept();
        }
      });
      closer.start(0);
      QVERIFY(frame.OpenDocuments(paths));
      QCOMPARE(reported.size(), 1);
      QVERIFY(reported[0].contains(QStringLiteral("missing.tz")));
      QCOMPARE(frame.findChildren<CChildFrame*>().size(), 2);
      QVERIFY(!frame.OpenDocuments({paths[1]}));

      frame.showMinimized();
      frame.BringToFront();
      QVERIFY(!frame.isMinimized());
      QVERIFY(frame.isMaximized());
    }
    SetCurrentLanguage(nullptr);
  }
};

QTEST_MAIN(StartUpTest)
#include "start_up_test.moc"
