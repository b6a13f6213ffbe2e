#pragma once

// The built programs run as processes over the files of a temporary folder,
// with the fault shim preloaded to fail one chosen system call.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstring>

#include "common/test_files.h"

// Which call fails (see tests/common/fault_shim.cpp); an empty Call fails none.
struct TFault {
  QString Call;
  QString Path;  // part of the path
  int Nth = 1;
  int Error = 0;
};

struct TRun {
  int ExitCode = -1;  // -1 when ended by a signal
  QByteArray Stderr;
  qint64 Millis = 0;  // from the end request (or the start) to the end
};

using test_files::Read;
using test_files::Write;

// A journal of `days` nights, one experience each, in the program's layout;
// about 260 bytes a night.
inline QByteArray JournalText(int days, const QByteArray& word = "dream") {
  QByteArray text =
      "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n"
      "<?xml-stylesheet href=\"../journal.xsl\" type=\"text/xsl\"?>\r\n"
      "<!DOCTYPE somnary SYSTEM \"../somnary.dtd\">\r\n\r\n<somnary>\r\n";
  for (int i = 1; i <= days; ++i) {
    const QByteArray n = QByteArray::number(i);
    text += "  <day name=\"01.11.26\">\r\n    <experience number=\"" + n + "\" title=\"" + word +
            " " + n + "\">\r\n      <description>A " + word + " by the sea, the " + n +
            "th of its kind, long enough to fill the page.</description>\r\n"
            "      <energy level=\"10\" />\r\n    </experience>\r\n  </day>\r\n";
  }
  return text + "</somnary>\r\n";
}

class TFilesFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!QCoreApplication::instance()) {  // QProcess wants one
      static int argc = 1;
      static char name[] = "test_files";
      static char* argv[] = {name, nullptr};
      static QCoreApplication application(argc, argv);
    }
  }
  void SetUp() override { ASSERT_TRUE(Dir.isValid()); }

  QString Path(const QString& name) const { return Dir.filePath(name); }

  static QProcessEnvironment Environment(const TFault& fault) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LD_PRELOAD", SOMNARY_PRELOAD);
    if (!fault.Call.isEmpty()) {
      environment.insert("SOMNARY_FAULT", fault.Call);
      environment.insert("SOMNARY_FAULT_PATH", fault.Path);
      environment.insert("SOMNARY_FAULT_NTH", QString::number(fault.Nth));
      environment.insert("SOMNARY_FAULT_ERRNO", QString::number(fault.Error));
    }
    return environment;
  }

  // Runs a program to its end.
  TRun Run(const QString& program, const QStringList& arguments, const TFault& fault = {}) {
    QProcess process;
    process.setProcessEnvironment(Environment(fault));
    process.setWorkingDirectory(Dir.path());
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    return Finished(process, clock);
  }

  // The window program beside its shipped files in the folder (or in
  // `folder`), with the sample journal replaced by `journal`.
  QString InstallProgram(const QByteArray& journal, const QString& folder = {}) {
    const QString root = folder.isEmpty() ? Dir.path() : folder;
    EXPECT_TRUE(test_files::CopyTree(qEnvironmentVariable("SOMNARY_RESOURCES"), root));
    EXPECT_TRUE(Write(root + "/sample/autumn2026.xml", journal));
    const QString program = root + "/somnary";
    EXPECT_TRUE(QFile::copy(SOMNARY_PROGRAM, program));
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return program;
  }

  // Starts the window program, lets it show its window (or a start-up
  // message), runs `meanwhile`, then ends the session with SIGTERM.
  template <typename Meanwhile>
  TRun RunUntilTerminated(const QString& program, const TFault& fault, Meanwhile meanwhile) {
    QProcess process;
    process.setProcessEnvironment(Environment(fault));
    process.setWorkingDirectory(QFileInfo(program).path());
    process.start(program, {});
    EXPECT_TRUE(process.waitForStarted(10000));
    QThread::msleep(kStartMillis);
    EXPECT_EQ(process.state(), QProcess::Running) << process.readAllStandardError().toStdString();
    meanwhile();
    QElapsedTimer clock;
    clock.start();
    process.terminate();
    if (!process.waitForFinished(30000)) process.kill(), process.waitForFinished();
    return Finished(process, clock);
  }
  TRun RunUntilTerminated(const QString& program, const TFault& fault) {
    return RunUntilTerminated(program, fault, [] {});
  }

  // Temporary files of the writer left anywhere in the folder.
  QStringList Leftovers() const {
    QStringList found;
    QDirIterator it(Dir.path(), {"*.somnary-tmp.*"}, QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) found << it.next();
    return found;
  }

#ifdef SOMNARY_SANITIZED
  static constexpr unsigned long kStartMillis = 2500;
#else
  static constexpr unsigned long kStartMillis = 1000;
#endif

  QTemporaryDir Dir;

 private:
  static TRun Finished(QProcess& process, const QElapsedTimer& clock) {
    TRun run;
    run.Millis = clock.elapsed();
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Stderr = process.readAllStandardError();
    return run;
  }
};
