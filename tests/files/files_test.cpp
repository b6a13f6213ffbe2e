// Files survive failing system calls, a full disk and the end of a session:
// for every fault the old file stays byte for byte and the failure is
// reported (standard error and a non-zero exit status).
#include <sys/mount.h>
#include <unistd.h>

#include "files_fixture.h"

namespace {

QString SystemMessage(int error) { return QString::fromUtf8(std::strerror(error)); }

// The size of a file written below or above 16 KiB (where buffered writers
// start writing before the end).
struct TSize {
  const char* Name;
  int Days;
};
constexpr TSize kSizes[] = {{"small", 3}, {"large", 400}};

void ExpectReported(const TRun& run, const QString& file, int error) {
  EXPECT_EQ(run.ExitCode, 1) << run.Stderr.toStdString();
  const QString text = QString::fromUtf8(run.Stderr);
  EXPECT_TRUE(text.contains(file)) << text.toStdString();
  EXPECT_TRUE(text.contains(SystemMessage(error))) << text.toStdString();
}

class Files : public TFilesFixture {};

TEST_F(Files, ExportToolKeepsTheOldOutputOnEveryFault) {
  // `open` of the output fails creating its next version; of the input, reading it.
  const TFault faults[] = {
      {"write", "out.html.somnary-tmp", 1, ENOSPC},
      {"write", "out.html.somnary-tmp", 2, EIO},
      {"fsync", "out.html.somnary-tmp", 1, EIO},
      {"close", "out.html.somnary-tmp", 1, EIO},
      {"rename", "out.html.somnary-tmp", 1, EIO},
      {"open", "out.html", 1, EROFS},
      {"open", "in.xml", 1, EIO},
  };
  const QByteArray old = "an export made before\r\n";
  for (const TSize& size : kSizes) {
    ASSERT_TRUE(Write(Path("in.xml"), JournalText(size.Days)));
    const TRun clean = Run(SOMNARY_EXPORT_TOOL, {Path("in.xml"), Path("clean.html")});
    ASSERT_EQ(clean.ExitCode, 0) << clean.Stderr.toStdString();
    ASSERT_EQ(Read(Path("clean.html")).size() > 16384, size.Days > 3);
    for (const TFault& fault : faults) {
      SCOPED_TRACE((fault.Call + " of " + fault.Path + ", " + size.Name).toStdString());
      ASSERT_TRUE(Write(Path("out.html"), old));
      const TRun run = Run(SOMNARY_EXPORT_TOOL, {Path("in.xml"), Path("out.html")}, fault);
      ExpectReported(run, fault.Path.startsWith("in") ? "in.xml" : "out.html", fault.Error);
      EXPECT_EQ(run.Stderr.count('\n'), 1);
      EXPECT_EQ(Read(Path("out.html")), old);
      EXPECT_EQ(Leftovers(), QStringList());
    }
  }
}

TEST_F(Files, ExportToolRefusesInputReadOnlyInPart) {
  const QByteArray journal = JournalText(400);
  struct TCase {
    const char* Name;
    QByteArray Input;
    const char* Says;
  };
  const TCase cases[] = {
      {"cut in half", journal.left(journal.size() / 2), "прочитан лишь частично"},
      {"nested 100000 deep",
       JournalText(0).replace("</somnary>", QByteArray("<a>").repeated(100000) + "</somnary>"),
       "вложены глубже"},
      {"text after the root", journal + "<somnary></somnary>\r\n", "прочитан лишь частично"},
      {"a UTF-8 byte order mark", "\xEF\xBB\xBF" + journal, "метки порядка байтов"},
      {"a folder", {}, "не удалось прочитать"},
  };
  const QByteArray old = "an export made before\r\n";
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    QFile::remove(Path("in.xml"));
    QDir(Dir.path()).rmdir("in.xml");
    if (c.Input.isEmpty())
      ASSERT_TRUE(QDir(Dir.path()).mkdir("in.xml"));
    else
      ASSERT_TRUE(Write(Path("in.xml"), c.Input));
    ASSERT_TRUE(Write(Path("out.txt"), old));
    const TRun run = Run(SOMNARY_EXPORT_TOOL, {Path("in.xml"), Path("out.txt")});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Stderr.startsWith("somnary-export: ")) << run.Stderr.toStdString();
    EXPECT_TRUE(run.Stderr.contains("in.xml")) << run.Stderr.toStdString();
    EXPECT_TRUE(run.Stderr.contains(c.Says)) << run.Stderr.toStdString();
    EXPECT_EQ(run.Stderr.count('\n'), 1);
    EXPECT_EQ(Read(Path("out.txt")), old);
  }
}

// Two exports to one output at once, again and again: each ends well and
// the output is always one of them whole.
TEST_F(Files, TwoExportsToOneOutputAtOnceNeverMix) {
  ASSERT_TRUE(Write(Path("a.xml"), JournalText(400)));
  ASSERT_TRUE(Write(Path("b.xml"), JournalText(300)));
  ASSERT_EQ(Run(SOMNARY_EXPORT_TOOL, {Path("a.xml"), Path("a.html")}).ExitCode, 0);
  ASSERT_EQ(Run(SOMNARY_EXPORT_TOOL, {Path("b.xml"), Path("b.html")}).ExitCode, 0);
  const QByteArray versions[] = {Read(Path("a.html")), Read(Path("b.html"))};
  for (int round = 0; round < 10; ++round) {
    SCOPED_TRACE(round);
    QProcess exports[2];
    for (int i = 0; i < 2; ++i)
      exports[i].start(SOMNARY_EXPORT_TOOL, {Path(i ? "b.xml" : "a.xml"), Path("out.html")});
    for (QProcess& process : exports) {
      ASSERT_TRUE(process.waitForFinished(60000));
      EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }
    const QByteArray found = Read(Path("out.html"));
    EXPECT_TRUE(found == versions[0] || found == versions[1]) << found.size() << " bytes";
    EXPECT_EQ(Leftovers(), QStringList());
  }
}

// The window program ended by the session while one of its files fails:
// settings (small), the opened journal small and large.
TEST_F(Files, ProgramEndedBySessionKeepsEachFileOnEveryFault) {
  struct TFile {
    const char* Name;
    int Days;
  };
  const TFile files[] = {{"dreams.ini", 3}, {"autumn2026.xml", 3}, {"autumn2026.xml", 400}};
  for (const TFile& file : files) {
    const QString folder = Path(QString::number(&file - files));
    const QString program = InstallProgram(JournalText(file.Days), folder);
    const QString path =
        folder + (file.Name == QString("dreams.ini") ? "/dreams.ini" : "/sample/autumn2026.xml");
    const QByteArray old = Read(path);
    const QString temporary = QString(file.Name) + ".somnary-tmp";
    // `open` fails the reading at start: that file must then never be written.
    const TFault faults[] = {
        {"write", temporary, 1, ENOSPC}, {"fsync", temporary, 1, EIO}, {"close", temporary, 1, EIO},
        {"rename", temporary, 1, EIO},   {"open", file.Name, 1, EIO},
    };
    for (const TFault& fault : faults) {
      SCOPED_TRACE((fault.Call + " of " + file.Name + ", " + QString::number(old.size()) + " bytes")
                       .toStdString());
      const TRun run = RunUntilTerminated(program, fault);
      ExpectReported(run, file.Name, fault.Error);
      EXPECT_EQ(Read(path), old);
      EXPECT_EQ(Leftovers(), QStringList());
    }
  }
}

TEST_F(Files, SessionEndWhileEverySaveFailsEndsWithinFiveSeconds) {
  const QString program = InstallProgram(JournalText(400));
  const QByteArray settings = Read(Path("dreams.ini"));
  // Every write in the folder fails; then every open, so that the start-up
  // message about the unreadable settings is still open at the end.
  for (const QString call : {"write", "open"}) {
    SCOPED_TRACE(call.toStdString());
    const TRun run = RunUntilTerminated(program, {call, Dir.path(), 0, EIO});
    EXPECT_LT(run.Millis, 5000);
    ExpectReported(run, "dreams.ini", EIO);
    if (call == "write") {
      EXPECT_TRUE(run.Stderr.contains("library.xml")) << run.Stderr.toStdString();
      EXPECT_TRUE(run.Stderr.contains("autumn2026.xml")) << run.Stderr.toStdString();
    }
    EXPECT_EQ(Read(Path("dreams.ini")), settings);
  }
}

// A real full disk: a small file system mounted for the test.
class FullDisk : public TFilesFixture {
 protected:
  void SetUp() override {
    TFilesFixture::SetUp();
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root; full-disk test skipped";
    Disk = Path("disk");
    ASSERT_TRUE(QDir().mkpath(Disk));
    if (::mount("tmpfs", Disk.toUtf8().constData(), "tmpfs", 0, "size=256m") != 0)
      GTEST_SKIP() << "cannot mount a tmpfs (" << std::strerror(errno)
                   << "); full-disk test skipped";
    Mounted = true;
  }
  void TearDown() override {
    if (Mounted) ::umount2(Disk.toUtf8().constData(), MNT_DETACH);
  }
  // Takes every free byte of the disk.
  void Fill() const {
    QFile filler(Disk + "/filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(65536, 'x');
    for (qint64 n = block.size(); n > 0;)
      n = filler.write(block.constData(), n == block.size() ? n : 1);
    filler.close();
  }
  QString Disk;
  bool Mounted = false;
};

TEST_F(FullDisk, ExportAndTheProgramKeepTheirFiles) {
  const QString program = InstallProgram(JournalText(400), Disk + "/somnary");
  const QString journal = Disk + "/somnary/sample/autumn2026.xml";
  const QString settings = Disk + "/somnary/dreams.ini";
  ASSERT_TRUE(Write(Disk + "/small.txt", "an export made before\r\n"));
  ASSERT_TRUE(Write(Disk + "/large.html", QByteArray(40000, 'o')));
  const QByteArray before[] = {Read(journal), Read(settings), Read(Disk + "/small.txt"),
                               Read(Disk + "/large.html")};

  const TRun run = RunUntilTerminated(program, {}, [&] { Fill(); });
  ExpectReported(run, "dreams.ini", ENOSPC);
  EXPECT_TRUE(run.Stderr.contains("autumn2026.xml")) << run.Stderr.toStdString();
  for (const QString output : {"small.txt", "large.html"}) {
    const TRun exported = Run(SOMNARY_EXPORT_TOOL, {journal, Disk + '/' + output});
    ExpectReported(exported, output, ENOSPC);
  }
  const QString files[] = {journal, settings, Disk + "/small.txt", Disk + "/large.html"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Read(files[i]), before[i]) << files[i].toStdString();
  EXPECT_EQ(QDir(Disk).entryList({"*.somnary-tmp.*"}, QDir::Files), QStringList());
  EXPECT_EQ(QDir(Disk + "/somnary/sample").entryList({"*.somnary-tmp.*"}, QDir::Files),
            QStringList());
}

}  // namespace
