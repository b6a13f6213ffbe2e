// The built program as a user's session meets it: started on its shipped
// files and ended by the system, it still writes its documents.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

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
  QFile out(dir.filePath("dreams.ini"));
  ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
  out.write(settings);
  out.close();
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
    if (argument == std::string("--version")) EXPECT_EQ(out, "Somnary 2.0.9.1067\n");
    else EXPECT_TRUE(out.contains("--version")) << out.toStdString();
  }
  // Neither settings beside the program nor the user's folders.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{"somnary"});
}

}  // namespace
