// The installed program as a user meets it: `cmake --install` into a
// temporary root made read-only, started from there with a home folder of
// its own, ended by the session twice.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QDirIterator>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "common/test_files.h"

namespace {

using test_files::Read;

// Every entry under root: its permissions, and a file's bytes and time.
QMap<QString, QByteArray> Snapshot(const QString& root) {
  QMap<QString, QByteArray> entries;
  QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info(it.next());
    QByteArray entry = QByteArray::number(int(info.permissions()), 16);
    if (info.isFile() && !info.isSymLink())
      entry += ' ' +
               QCryptographicHash::hash(Read(info.filePath()), QCryptographicHash::Sha256).toHex() +
               ' ' + QByteArray::number(info.lastModified().toMSecsSinceEpoch());
    entries.insert(QDir(root).relativeFilePath(info.filePath()), entry);
  }
  return entries;
}

void SetWritable(const QString& root, bool writable) {
  QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                  QDirIterator::Subdirectories);
  QStringList paths{root};
  while (it.hasNext()) paths << it.next();
  const auto write = QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;
  for (const QString& path : paths) {
    const QFileInfo info(path);
    if (info.isSymLink()) continue;
    QFile::setPermissions(path, writable ? info.permissions() | QFile::WriteOwner | QFile::WriteUser
                                         : info.permissions() & ~write);
  }
}

qint64 ModifiedAt(const QString& path) {
  return QFileInfo(path).lastModified().toMSecsSinceEpoch();
}

class InstalledProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Root.isValid());
    QProcess install;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DESTDIR", Dest);
    install.setProcessEnvironment(env);
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(SOMNARY_CMAKE, {"--install", SOMNARY_BUILD_DIR, "--prefix", "/usr"});
    ASSERT_TRUE(install.waitForFinished(120000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();
    ASSERT_TRUE(QFileInfo::exists(Dest + "/usr/bin/somnary"));
    ASSERT_TRUE(QDir().mkpath(Home));
    ASSERT_TRUE(QDir().mkpath(Runtime));
    QFile::setPermissions(Runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    SetWritable(Dest, false);
  }
  void TearDown() override { SetWritable(Dest, true); }

  // Starts the installed program, ends it as the session ends once `ready`
  // has been seen, and returns the moment it was told to end.
  qint64 RunUntilEnded(const QString& ready) {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", Home);
    env.insert("XDG_CONFIG_HOME", Home + "/.config");
    env.insert("XDG_DATA_HOME", Home + "/.local/share");
    env.insert("XDG_STATE_HOME", Home + "/.local/state");
    env.insert("XDG_CACHE_HOME", Home + "/.cache");
    env.insert("XDG_DATA_DIRS", Dest + "/usr/share");
    env.insert("XDG_RUNTIME_DIR", Runtime);
    program.setProcessEnvironment(env);
    // Launchers may start it anywhere; here inside the installation.
    program.setWorkingDirectory(Dest);
    program.start(Dest + "/usr/bin/somnary", {});
    EXPECT_TRUE(program.waitForStarted(10000));
    for (int waited = 0; waited < 60000 && !QFileInfo::exists(ready); waited += 50)
      QThread::msleep(50);
    EXPECT_TRUE(QFileInfo::exists(ready)) << ready.toStdString();
    // Time to build the window and open the library.
    QThread::msleep(1000);
    EXPECT_EQ(program.state(), QProcess::Running) << program.readAllStandardError().toStdString();
    const qint64 ended = QDateTime::currentMSecsSinceEpoch();
    program.terminate();
    EXPECT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    return ended;
  }

  QTemporaryDir Root;
  const QString Dest = Root.filePath("dest");
  const QString Home = Root.filePath("home");
  const QString Runtime = Root.filePath("runtime");
};

TEST_F(InstalledProgram, FirstRunSetsUpTheUsersFoldersAndLaterRunsReuseThem) {
  const QString data = Dest + "/usr/share/somnary/";
  const QString settings = Home + "/.config/Somnary/dreams.ini";
  const QString sample = Home + "/Documents/Somnary/sample/";
  const auto installed = Snapshot(Dest);
  ASSERT_TRUE(installed.contains("usr/share/somnary/dreams.ini"));

  qint64 ended = RunUntilEnded(settings);
  EXPECT_EQ(Snapshot(Dest), installed);
  const QByteArray written = Read(settings);
  EXPECT_TRUE(written.contains("<icon name=\"Opened Node\" path=\"" + data.toUtf8() +
                               "icons/opened.bmp\" />"))
      << written.toStdString();
  EXPECT_TRUE(written.contains("<library path=\"" + sample.toUtf8() + "library.xml\" />"));
  EXPECT_TRUE(written.contains("<form left=\""));  // written at exit
  // The library opened with its default journal, which the exit wrote back
  // as read; the other journal was only copied, before the window was built.
  EXPECT_EQ(Read(sample + "autumn2026.xml"), Read(data + "sample/autumn2026.xml"));
  EXPECT_GE(ModifiedAt(sample + "autumn2026.xml"), ended - 100);
  EXPECT_LT(ModifiedAt(sample + "practice.xml"), ended - 500);

  // The second start reads the user's settings as left (an element the
  // program does not know survives) and copies nothing again.
  QByteArray kept = written;
  kept.replace("</settings>", "  <kept-by-user />\r\n</settings>");
  ASSERT_TRUE(test_files::Write(settings, kept));
  ASSERT_TRUE(QFile::remove(sample + "practice.xml"));
  ended = RunUntilEnded(settings);
  EXPECT_EQ(Snapshot(Dest), installed);
  EXPECT_TRUE(Read(settings).contains("\r\n  <kept-by-user />\r\n</settings>"));
  EXPECT_FALSE(QFileInfo::exists(sample + "practice.xml"));
  EXPECT_GE(ModifiedAt(sample + "autumn2026.xml"), ended - 100);
}

}  // namespace
