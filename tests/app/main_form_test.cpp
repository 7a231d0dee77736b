// The main window and the program's start-up and exit, on real files in a temporary
// program directory, offscreen.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include <QStandardPaths>

#include "app/application.h"
#include "app/main_form.h"
#include "app/termination_signals.h"
#include "app_test_support.h"
#include "session/directory_lock.h"
#include "session/ini_file.h"
#include "session/line_file.h"
#include "session/qt_store_files.h"
#include "support/child_process.h"
#include "support/scripted_server.h"

using namespace quillmark;
using testing::ReadAll;

namespace {

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray BuiltIn(const char* name) {
  return ReadAll(QStringLiteral(QUILLMARK_SOURCE_DIR "/resources/") + name);
}

// What the program writes for the built-in sites with a given first list.
QByteArray ExpectedHosts(const QByteArray& firstList) {
  SiteList sites;
  for (const auto& line : ReadLineFile(firstList.toStdString())) sites.Add(line);
  for (const char* site : kFurtherBuiltInSites) sites.Add(site);
  return QByteArray::fromStdString(WriteLineFile(sites.Addresses()));
}

enum class Screen { kOffscreen, kXvfbWithoutWindowManager };

// Copies the program into `directory` and runs it there with `arguments`: offscreen, or on a
// virtual X display with no window manager, as README offers to run it without a display.
// Every fetch goes through `proxy`, a server of the test, so no run reaches the internet
// (the two further built-in sites are always on the list).
int RunProgramIn(const QString& directory, const QStringList& arguments, const std::string& proxy,
                 Screen display = Screen::kOffscreen) {
  const QString program = directory + "/quillmark";
  QFile::remove(program);
  if (!QFile::copy(QStringLiteral(QUILLMARK_EXECUTABLE), program)) return -1;
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("http_proxy", QString::fromStdString(proxy));
  if (display == Screen::kXvfbWithoutWindowManager) environment.remove("QT_QPA_PLATFORM");
  process.setProcessEnvironment(environment);
  process.setWorkingDirectory(directory);
  if (display == Screen::kXvfbWithoutWindowManager) {
    process.start(QStringLiteral("xvfb-run"), QStringList{"-a", program} + arguments);
  } else {
    process.start(program, arguments);
  }
  if (!process.waitForFinished(30000)) return -2;
  QFile::remove(program);
  return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -3;
}

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
  }
  void cleanup() {
    session_.reset();
    files_.reset();
    dir_.reset();
  }

  void hasTheFixedControlsAndMenus() {
    TMainForm form(LoadedSession(), {});

    QCOMPARE(form.windowTitle(), QStringLiteral("Quillmark"));
    QCOMPARE(form.minimumSize(), QSize(600, 300));
    auto* button = form.findChild<QPushButton*>("ExecuteButton");
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("Webより単語を集計"));
    QCOMPARE(button->size(), QSize(125, 25));
    QCOMPARE(form.findChild<QLabel*>("TitleLabel")->text(), QStringLiteral("Quillmark"));
    QCOMPARE(form.findChild<QLabel*>("DescLabel")->text(),
             QStringLiteral("このソフトはWeb上の主要サイトから旬な単語を探し出します。\n"
                            "旬な英語の勉強に役立つと良いと思います。\n"
                            "さあ、左の「Webより単語を集計」ボタンを押してはじめましょう!\n"));
    QVERIFY(form.findChild<QScrollArea*>("ScrollBox"));
    QVERIFY(!form.findChild<QFileDialog*>());  // built at the first save, not at start-up
    for (int i = 0; i < 4; ++i) {
      auto* panel = form.findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(i));
      QVERIFY(panel->text().isEmpty());
      QCOMPARE(panel->frameShape(), QFrame::Panel);  // a visible edge, sunken
      QCOMPARE(panel->frameShadow(), QFrame::Sunken);
    }
    const QList<QPair<const char*, QString>> items = {
        {"MnuSaveToHTML", "HTMLに出力(&H)"},
        {"MnuExportWordCards", "単語帳に書き出す(&E)..."},
        {"MnuFileExit", "終了(&X)"},
        {"MnuConfigOption", "オプション(&O)"},
        {"MnuConfigSelectDic", "使用するweb辞書の選択(&D)"}};
    for (const auto& [name, text] : items) {
      auto* action = form.findChild<QAction*>(name);
      QVERIFY2(action, name);
      QCOMPARE(action->text(), text);
    }
    QStringList fileMenu;
    for (const QAction* action : form.menuBar()->actions().first()->menu()->actions())
      fileMenu << action->objectName();
    QCOMPARE(fileMenu, (QStringList{"MnuSaveToHTML", "MnuExportWordCards", "MnuFileExit"}));

    form.CreateStudyWindows();
    QVERIFY(form.SentenceDialog());
    QVERIFY(!form.SentenceDialog()->isVisible());

    form.show();
    form.resize(800, 300);
    QCOMPARE(button->x(), 800 - 140);
  }

  void theKeyboardAloneStartsARun() {
    TMainForm form(LoadedSession(), {});
    form.SetGatheringIntervals(kQuickGathering);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto* button = form.findChild<QPushButton*>("ExecuteButton");
    QCOMPARE(QApplication::focusWidget(), button);
    QSignalSpy clicked(button, &QPushButton::clicked);
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Space);
    QCOMPARE(clicked.count(), 2);
  }

  void loadsTheBuiltInListsFromTheResources() {
    Session& session = LoadedSession();
    const auto& stores = session.Stores();
    QCOMPARE(stores.ngWords.size(), ReadLineFile(BuiltIn("NGWORDS").toStdString()).size());
    QVERIFY(stores.ngWords.count(""));
    QVERIFY(stores.dictionary.empty());  // read at its first use
    QCOMPARE(session.Dictionary().begin()->first, std::string("ABACUSES"));
  }

  void autoSwitchRunsClosesAndWritesEveryFile() {
    QCOMPARE(RunProgramIn(dir_->path(), {"/auto"}, web_.Url("/")), 0);

    QCOMPARE(ReadAll(File("hosts.dat")), ExpectedHosts(BuiltIn("HOSTS")));
    QCOMPARE(
        ReadAll(File("ngwords.dat")),
        QByteArray::fromStdString(WriteLineFile(ReadLineFile(BuiltIn("NGWORDS").toStdString()))));
    QVERIFY(ReadAll(File("ngwords.dat")).startsWith("\r\n"));
    std::set<std::string> mapped;
    for (const auto& word : ReadLineFile(BuiltIn("MAPPEDWORDS").toStdString())) mapped.insert(word);
    QCOMPARE(ReadAll(File("mappedwords.dat")),
             QByteArray::fromStdString(WriteLineFile(LineList(mapped.begin(), mapped.end()))));
    QCOMPARE(ReadAll(File("quillmark.ini")),
             QByteArray("[config]\nItemViewCount=30\n\n[link]\nAllowedLevel=1\nIsLevel=0\n"));
    QVERIFY(!QFile::exists(File("sum.dat")));
  }

  void dataFilesOverrideAndExtendTheBuiltInLists() {
    WriteAll(File("hosts.dat"), "http://only.example/\r\n");
    WriteAll(File("ngwords.dat"), "zzzmyword\r\n");
    WriteAll(File("quillmark.ini"), "[config]\nItemViewCount=500\n");
    WriteAll(File("sum.dat"), "");

    QCOMPARE(RunProgramIn(dir_->path(), {"/AUTO", "/auto"}, web_.Url("/")), 0);

    QCOMPARE(ReadAll(File("hosts.dat")), ExpectedHosts("http://only.example/\r\n"));
    QVERIFY(ReadAll(File("ngwords.dat")).endsWith("\r\nZZZMYWORD\r\n"));
    QCOMPARE(ReadAll(File("quillmark.ini")),
             QByteArray("[config]\nItemViewCount=500\n\n[link]\nAllowedLevel=1\nIsLevel=0\n"));
    // One gathering: sum.dat holds its distinct sentences, and the base form the run learned
    // (ZORBS -> ZORB by the plural rule) is in mappedwords.dat.
    QCOMPARE(ReadAll(File("sum.dat")), QByteArray("The zorb rolled.\r\nTwo zorbs rolled.\r\n"));
    QVERIFY(ReadAll(File("mappedwords.dat")).contains("\r\nZORB\r\n"));
  }

  void anUnreadableDataFileIsShownAndNothingIsWritten() {
    QVERIFY(QDir(dir_->path()).mkdir("mappedwords.dat"));  // exists, cannot be read as a file
    WriteAll(File("hosts.dat"), "http://only.example/\n");
    QStringList shown;
    const int result =
        RunQuillmark(*qApp, {"quillmark", "/AUTO"}, ProgramDirectory(),
                     [&shown](QWidget*, const QString& message) { shown << message; });
    QCOMPARE(result, 1);
    QCOMPARE(shown,
             QStringList{QStringLiteral("ファイル %1 は開けません").arg(File("mappedwords.dat"))});
    QCOMPARE(ReadAll(File("hosts.dat")), QByteArray("http://only.example/\n"));
    QVERIFY(!QFile::exists(File("ngwords.dat")));
    QVERIFY(!QFile::exists(File("quillmark.ini")));
  }

  // Another program (here the test) holds the directory: the window says so, starts nothing,
  // and neither cleans up nor writes a file.
  void aSecondProgramOnTheDirectoryIsShownAndTouchesNothing() {
    DirectoryLock other;
    QVERIFY(other.Take(ProgramDirectory().toStdString()));
    WriteAll(File("hosts.dat.Live01"), "a save in progress");
    QStringList shown;
    const int result =
        RunQuillmark(*qApp, {"quillmark", "/AUTO"}, ProgramDirectory(),
                     [&shown](QWidget*, const QString& message) { shown << message; });
    QCOMPARE(result, 1);
    QCOMPARE(shown, QStringList{QStringLiteral("データフォルダ %1 は別の Quillmark が使用中です")
                                    .arg(ProgramDirectory())});
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files),
             (QStringList{"hosts.dat.Live01", "quillmark.lock"}));
  }

  void autoSwitchEndsByItselfOnAVirtualDisplayWithoutAWindowManager() {
    if (QStandardPaths::findExecutable("xvfb-run").isEmpty()) QSKIP("xvfb-run is not installed");
    QCOMPARE(
        RunProgramIn(dir_->path(), {"/AUTO"}, web_.Url("/"), Screen::kXvfbWithoutWindowManager), 0);
    QCOMPARE(ReadAll(File("hosts.dat")), ExpectedHosts(BuiltIn("HOSTS")));
    QVERIFY(QFile::exists(File("quillmark.ini")));
  }

  void autoSwitchActsOnTheFirstActivationOnly() {
    Session& session = LoadedSession();
    TMainForm form(session, {"/Auto"});
    form.SetGatheringIntervals(kQuickGathering);
    QSignalSpy closed(&form, &TMainForm::Closed);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTRY_COMPARE(closed.count(), 1);

    TMainForm plain(session, {"AUTO", "-auto"});
    QSignalSpy plainClosed(&plain, &TMainForm::Closed);
    plain.show();
    QVERIFY(QTest::qWaitForWindowActive(&plain));
    // The automatic run is started by queued calls: once they are all handled, nothing ran.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents();
    QCOMPARE(plainClosed.count(), 0);
  }

  // Two data files are named pipes, so the test knows when the program reads them: hosts.dat
  // while it loads (after its first reading of quillmark.ini), quillmark.ini once more when it
  // saves at exit. SIGHUP comes while it loads, SIGTERM while it saves.
  void terminationSignalsSaveAndQuitAsTheMenusExitDoes() {
    const QString program = dir_->path() + "/quillmark";
    QVERIFY(QFile::copy(QStringLiteral(QUILLMARK_EXECUTABLE), program));
    const std::string configuration = File("quillmark.ini").toStdString();
    const std::string hosts = File("hosts.dat").toStdString();
    for (const std::string& pipe : {configuration, hosts})
      QCOMPARE(::mkfifo(pipe.c_str(), 0600), 0);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::ChildProcess child({program.toStdString()});

    // Opening the writing end waits until the program opens the reading end; closing it ends
    // the file, and the program goes on.
    const auto whileTheProgramReads = [&](const std::string& pipe, int signal) {
      const int fd = ::open(pipe.c_str(), O_WRONLY | O_CLOEXEC);
      QVERIFY(fd >= 0);
      if (signal != 0) child.Signal(signal);
      ::close(fd);
    };
    whileTheProgramReads(configuration, 0);
    whileTheProgramReads(hosts, SIGHUP);           // before the window: it waits for the loop
    whileTheProgramReads(configuration, SIGTERM);  // during the save: noted, changes nothing

    QCOMPARE(child.Finish(), 0);
    QCOMPARE(ReadAll(File("hosts.dat")), ExpectedHosts(""));
    QCOMPARE(ReadAll(File("quillmark.ini")),
             QByteArray("[config]\nItemViewCount=30\n\n[link]\nAllowedLevel=1\nIsLevel=0\n"));
  }

  // A call a signal interrupts goes on: the configuration (a named pipe) is being opened, which
  // waits for a writer, when SIGTERM comes; the opening is not retried by the reader itself.
  void aTerminationSignalDuringABlockingOpenDoesNotFailIt() {
    const std::string configuration = File("quillmark.ini").toStdString();
    QCOMPARE(::mkfifo(configuration.c_str(), 0600), 0);
    TerminationSignals termination;
    QSignalSpy received(&termination, &TerminationSignals::Received);
    std::atomic<pid_t> reader{0};
    std::atomic<bool> done{false};
    std::unique_ptr<IniSettingsFile> settings;
    std::thread thread([&] {
      reader = static_cast<pid_t>(::syscall(SYS_gettid));
      settings = std::make_unique<IniSettingsFile>(configuration);
      done = true;
    });
    // However the test ends, the reader is let go: a writer that comes and goes ends its file.
    const auto letGo = qScopeGuard([&] {
      if (!thread.joinable()) return;
      const int fd = ::open(configuration.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd >= 0) ::close(fd);
      thread.join();
    });
    const auto inOpen = [&reader] {
      return reader != 0 && ReadAll(QStringLiteral("/proc/self/task/%1/syscall").arg(reader.load()))
                                .startsWith(QByteArray::number(SYS_openat) + ' ');
    };
    while (!done && !inOpen()) std::this_thread::yield();
    QVERIFY2(!done, "the named pipe was opened without waiting for a writer");
    ::syscall(SYS_tgkill, ::getpid(), reader.load(), SIGTERM);
    QTRY_COMPARE(received.count(), 1);  // the handler ran: the opening was cut, then restarted
    while (!done && !inOpen()) std::this_thread::yield();
    if (!done) {
      const int fd = ::open(configuration.c_str(), O_WRONLY | O_CLOEXEC);
      QVERIFY(fd >= 0);
      QCOMPARE(::write(fd, "[config]\nItemViewCount=40\n", 26), ssize_t{26});
      ::close(fd);
    }
    thread.join();
    QCOMPARE(settings->Read("config", "ItemViewCount"), std::optional<std::string>("40"));
  }

  // The same request during a run (the server asks for it as the first page is fetched): the
  // run is cancelled as its Cancel button does, nothing more is fetched, then the window closes.
  void anExitRequestDuringAGatheringCancelsItThenCloses() {
    Session& session = LoadedSession();
    TMainForm form(session, {});
    form.SetGatheringIntervals(kQuickGathering);
    testing::ScriptedServer site([&form](int, const std::string&) {
      QMetaObject::invokeMethod(&form, &TMainForm::ExitOnRequest, Qt::QueuedConnection);
      return testing::Page("<p>The zorb rolled.</p>");
    });
    session.Stores().sites.Add(site.Url("/one.html"));
    session.Stores().sites.Add(site.Url("/two.html"));
    QSignalSpy closed(&form, &TMainForm::Closed);
    form.show();
    form.ExecuteButtonClick();
    QCOMPARE(site.Requests().size(), std::size_t{1});
    QCOMPARE(closed.count(), 1);
  }

  void colorsIsTheFourthArgumentExactly() {
    QVERIFY(HasColorsArgument({"quillmark", "a", "b", "c", "COLORS"}));
    QVERIFY(!HasColorsArgument({"quillmark", "a", "b", "COLORS"}));
    QVERIFY(!HasColorsArgument({"quillmark", "a", "b", "c", "colors"}));
  }

 private:
  QString ProgramDirectory() const { return dir_->path() + "/"; }
  QString File(const char* name) const { return dir_->path() + "/" + name; }

  // A session loaded from the temporary program directory, living until the next test. Its
  // site list is empty: a run these tests start reaches no network.
  Session& LoadedSession() {
    files_ = std::make_unique<QtStoreFiles>(ProgramDirectory());
    session_ = std::make_unique<Session>(*files_);
    IniSettingsFile settings(ConfigurationPath(files_->ProgramDirectory()));
    session_->Load(settings);
    session_->Stores().sites.Clear();
    return *session_;
  }

  static constexpr TWordGetDialog::Intervals kQuickGathering{.tickMs = 1};

  std::unique_ptr<QTemporaryDir> dir_;
  testing::ScriptedServer web_{testing::ServePages(
      {{"http://only.example/", testing::Page("<p>The zorb rolled. Two zorbs rolled.</p>")}})};
  std::unique_ptr<QtStoreFiles> files_;
  std::unique_ptr<Session> session_;
};

extern const QMetaObject* const kMainFormTestMeta = &MainFormTest::staticMetaObject;

int RunMainFormTests(int argc, char** argv) {
  MainFormTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_form_test.moc"
