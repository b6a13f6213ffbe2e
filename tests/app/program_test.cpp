// The built program as a user's session meets it: started on its shipped
// files and ended by the system, it still writes its documents.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <map>

#include "common/test_files.h"

namespace {

using test_files::CopyTree;
using test_files::Read;

TEST(Program, EndedBySigtermItWritesSettingsAndOpenedJournals) {
  QTemporaryDir dir;
  ASSERT_TRUE(CopyTree(qEnvironmentVariable("SOMNARY_RESOURCES"), dir.path()));
  const QString program = dir.filePath("somnary");
  ASSERT_TRUE(QFile::copy(SOMNARY_PROGRAM, program));
  QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  // Without `form` in the settings, only the exit can have written it.
  QByteArray settings = Read(dir.filePath("dreams.ini"));
  const qsizetype form = settings.indexOf("  <form ");
  ASSERT_GE(form, 0);
  settings.remove(form, settings.indexOf('\n', form) + 1 - form);
  ASSERT_TRUE(test_files::Write(dir.filePath("dreams.ini"), settings));
  const QByteArray journal = Read(dir.filePath("sample/autumn2026.xml"));

  QProcess process;
  process.setWorkingDirectory(dir.path());
  process.start(program, {});
  ASSERT_TRUE(process.waitForStarted(10000));
  // Give it time to open the sample library and show the window.
  QThread::msleep(1500);
  ASSERT_EQ(process.state(), QProcess::Running) << process.readAllStandardError().toStdString();
  process.terminate();
  ASSERT_TRUE(process.waitForFinished(10000));
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 0);

  const QByteArray written = Read(dir.filePath("dreams.ini"));
  EXPECT_TRUE(written.contains("\r\n  <form left=\"")) << written.toStdString();
  EXPECT_TRUE(written.endsWith("\" />\r\n</settings>\r\n")) << written.toStdString();
  // The default journal was opened at start-up and written back as read.
  EXPECT_EQ(Read(dir.filePath("sample/autumn2026.xml")), journal);
}

TEST(Program, VersionAndHelpPrintOneLineAndStartNothing) {
  QTemporaryDir dir;
  const QString program = dir.filePath("somnary");
  ASSERT_TRUE(QFile::copy(SOMNARY_PROGRAM, program));
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("HOME", dir.filePath("home"));
  env.insert("XDG_CONFIG_HOME", dir.filePath("home/.config"));
  env.remove("QT_QPA_PLATFORM");  // no display either
  env.remove("DISPLAY");
  for (const char* argument : {"--version", "--help"}) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(dir.path());
    process.start(program, {argument});
    ASSERT_TRUE(process.waitForFinished(10000)) << argument;
    EXPECT_EQ(process.exitCode(), 0) << argument;
    const QByteArray out = process.readAllStandardOutput();
    EXPECT_EQ(out.count('\n'), 1) << out.toStdString();
    EXPECT_TRUE(out.endsWith('\n'));
    // The same version as the about box shows.
    if (argument == std::string("--version"))
      EXPECT_EQ(out, "Somnary 2.0.9.1067\n");
    else
      EXPECT_TRUE(out.contains("--version")) << out.toStdString();
  }
  // Neither settings beside the program nor the user's folders.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{"somnary"});
}

// The shipped files beside a copy of the program, started there.
class Started : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CopyTree(qEnvironmentVariable("SOMNARY_RESOURCES"), Dir.path()));
    Program = Dir.filePath("somnary");
    ASSERT_TRUE(QFile::copy(SOMNARY_PROGRAM, Program));
    QFile::setPermissions(Program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  void Start() {
    Process.setWorkingDirectory(Dir.path());
    Process.start(Program, {});
    ASSERT_TRUE(Process.waitForStarted(10000));
    QThread::msleep(1500);
    ASSERT_EQ(Process.state(), QProcess::Running) << Process.readAllStandardError().toStdString();
  }
  // Every file of the folder but the program, with its bytes.
  std::map<QString, QByteArray> Files() const {
    std::map<QString, QByteArray> files;
    QDirIterator it(Dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString path = it.next();
      if (path != Program) files[path] = Read(path);
    }
    return files;
  }

  QTemporaryDir Dir;
  QString Program;
  QProcess Process;
};

// Descriptors of the program's own a browser it starts must not inherit.
QStringList InheritableDescriptors(qint64 pid) {
  QStringList found;
  const QString folder = QString("/proc/%1/fdinfo").arg(pid);
  for (const QString& fd : QDir(folder).entryList(QDir::Files)) {
    if (fd.toInt() <= 2) continue;
    const QByteArray info = Read(folder + '/' + fd);
    const qsizetype at = info.indexOf("flags:");
    const qulonglong flags =
        info.mid(at + 6, info.indexOf('\n', at) - at - 6).trimmed().toULongLong(nullptr, 8);
    if (flags & O_CLOEXEC) continue;
    char target[256] = {};
    const QByteArray link = QString("/proc/%1/fd/%2").arg(pid).arg(fd).toUtf8();
    found << QString::fromUtf8(target, ::readlink(link.constData(), target, sizeof target - 1));
  }
  return found;
}

TEST_F(Started, ASignalFloodEndsItOnceWithItsFilesWritten) {
  Start();
  const auto pid = static_cast<pid_t>(Process.processId());
  // Only what it inherited itself, from this test.
  const QStringList inherited = InheritableDescriptors(QCoreApplication::applicationPid());
  for (const QString& target : InheritableDescriptors(pid))
    EXPECT_TRUE(inherited.contains(target)) << target.toStdString();
  // The first signal starts the saving; hundreds more arrive while it runs.
  for (int i = 0; i < 20000 && ::kill(pid, SIGTERM) == 0; ++i) {
  }
  ASSERT_TRUE(Process.waitForFinished(20000)) << "the program hung";
  EXPECT_EQ(Process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(Process.exitCode(), 0);
  EXPECT_FALSE(Process.readAllStandardError().contains("somnary:"));
  EXPECT_TRUE(Read(Dir.filePath("dreams.ini")).contains("\r\n  <form left=\""));
}

// The session ends while the start-up log-in asks for the library's user:
// the window never showed, so nothing the user did not change changes.
TEST_F(Started, SigtermDuringTheLogInChangesNoFile) {
  const QString library = Dir.filePath("sample/library.xml");
  QByteArray bytes = Read(library);
  const qsizetype root = bytes.indexOf("<dreamlibrary name=");
  ASSERT_GE(root, 0);
  bytes.insert(root + 14, "username=\"abc\" userpassword=\"def\" ");
  ASSERT_TRUE(test_files::Write(library, bytes));
  const auto before = Files();
  Start();
  Process.terminate();
  ASSERT_TRUE(Process.waitForFinished(10000));
  EXPECT_EQ(Process.exitCode(), 0) << Process.readAllStandardError().toStdString();
  const auto after = Files();
  for (const auto& [path, old] : before) EXPECT_EQ(after.at(path), old) << path.toStdString();
  EXPECT_EQ(after.size(), before.size());
}

// One copy per settings file: a second start shows the first and ends; a
// lock left by a copy that was killed does not keep the next one out.
TEST_F(Started, ASecondStartShowsTheFirstAndALockLeftByACrashIsTakenOver) {
  Start();
  QProcess second;
  second.setWorkingDirectory(Dir.path());
  second.start(Program, {});
  ASSERT_TRUE(second.waitForFinished(10000)) << "the second copy kept running";
  EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
  EXPECT_EQ(Process.state(), QProcess::Running);

  ::kill(static_cast<pid_t>(Process.processId()), SIGKILL);
  Process.waitForFinished();
  Start();
  Process.terminate();
  ASSERT_TRUE(Process.waitForFinished(10000));
  EXPECT_EQ(Process.exitCode(), 0);
  EXPECT_FALSE(QFile::exists(Dir.filePath("somnary.lock")));
}

}  // namespace
