#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <string>
#include <vector>

#include "common/test_files.h"
#include "storage/smr_DatedBackups.h"

namespace {

using test_files::Read;
using test_files::U;
using TStrings = std::vector<std::string>;

std::string S(const QString& text) { return text.toStdString(); }

TStrings Strings(const QStringList& list) {
  TStrings out;
  for (const QString& item : list) out.push_back(S(item));
  return out;
}

QDate Day(const char* iso) { return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate); }

// `count` days from `newest` back, one every `step` days.
std::vector<QDate> Every(int step, int count, const char* newest) {
  std::vector<QDate> days(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    days[static_cast<std::size_t>(i)] = Day(newest).addDays(-i * qint64{step});
  return days;
}

std::vector<QDate> Days(std::initializer_list<const char*> isos) {
  std::vector<QDate> days;
  for (const char* iso : isos) days.push_back(Day(iso));
  return days;
}

TEST(DatedBackups, KeepsSevenDaysFourWeeksAndTwelveMonths) {
  struct TCase {
    const char* Name;
    std::vector<QDate> Days;
    TStrings Kept;
  };
  const TCase cases[] = {
      {"a copy every day for 400 days",
       Every(1, 400, "2026-12-09"),
       {"2026-01-31", "2026-02-28", "2026-03-31", "2026-04-30", "2026-05-31",
        "2026-06-30", "2026-07-31", "2026-08-31", "2026-09-30", "2026-10-31",
        "2026-11-22", "2026-11-29", "2026-11-30", "2026-12-03", "2026-12-04",
        "2026-12-05", "2026-12-06", "2026-12-07", "2026-12-08", "2026-12-09"}},
      {"a copy every third day",
       Every(3, 120, "2026-12-09"),
       {"2026-01-31", "2026-02-27", "2026-03-29", "2026-04-28", "2026-05-31", "2026-06-30",
        "2026-07-30", "2026-08-29", "2026-09-28", "2026-10-31", "2026-11-21", "2026-11-24",
        "2026-11-27", "2026-11-30", "2026-12-03", "2026-12-06", "2026-12-09"}},
      // Weeks and months count only those that have a copy, however long ago;
      // the order given and a repeated day do not matter.
      {"gaps of years",
       Days({"2026-03-08", "2023-05-10", "2026-03-01", "2024-02-29", "2026-03-02", "2026-03-03",
             "2023-05-20", "2026-03-04", "2026-03-05", "2024-02-10", "2026-03-06", "2026-03-07",
             "2026-03-07"}),
       {"2023-05-20", "2024-02-10", "2024-02-29", "2026-03-01", "2026-03-02", "2026-03-03",
        "2026-03-04", "2026-03-05", "2026-03-06", "2026-03-07", "2026-03-08"}},
      // 2026-12-28 to 2027-01-03 is one week, the 53rd of 2026: one newest
      // copy for it, and the 4th week back is still 2026-W49.
      {"ISO week 53 across the new year",
       Days({"2026-12-03", "2026-12-10", "2026-12-29", "2027-01-02", "2027-01-03", "2027-01-04",
             "2027-01-05", "2027-01-06", "2027-01-07", "2027-01-08", "2027-01-09", "2027-01-10"}),
       {"2026-12-03", "2026-12-10", "2026-12-29", "2027-01-03", "2027-01-04", "2027-01-05",
        "2027-01-06", "2027-01-07", "2027-01-08", "2027-01-09", "2027-01-10"}},
      {"a single day", Days({"2028-02-29"}), {"2028-02-29"}},
      {"no copies", {}, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TStrings kept;
    for (const QDate& day : TDatedBackups::KeptDays(c.Days))
      kept.push_back(S(day.toString(Qt::ISODate)));
    EXPECT_EQ(kept, c.Kept);
  }
}

// Fails one system call for as long as it lives (the preloaded shim reads these).
class TFault {
 public:
  TFault(const char* call, const char* pathPart) {
    qputenv("SOMNARY_FAULT", call);
    qputenv("SOMNARY_FAULT_PATH", pathPart);
    qputenv("SOMNARY_FAULT_NTH", "1");
  }
  ~TFault() {
    for (const char* name : {"SOMNARY_FAULT", "SOMNARY_FAULT_PATH", "SOMNARY_FAULT_NTH"})
      qunsetenv(name);
  }
  TFault(const TFault&) = delete;
  TFault& operator=(const TFault&) = delete;
};

// A library, a journal in a folder of its own and one outside the library's folder.
class DatedBackupsFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FTemp.isValid());
    WriteAll("1");
  }

  void WriteAll(const char* version) {
    for (const QString& file : Files()) test_files::Write(file, Version(version, file));
  }
  QByteArray Version(const char* version, const QString& file) const {
    return QByteArray(version) + ':' + QFileInfo(file).fileName().toUtf8();
  }
  QStringList Files() const { return {FLibrary, FJournal, FOutside}; }

  QTemporaryDir FTemp;
  const QString FLibraryFolder = FTemp.path() + U("/Дневник");
  const QString FLibrary = FLibraryFolder + U("/dreams.xml");
  const QString FJournal = FLibraryFolder + U("/журналы/a.xml");
  const QString FOutside = FTemp.path() + U("/Другая папка/c.xml");
  TDatedBackups FBackups{TDatedBackups::DefaultRoot(FLibrary), FLibraryFolder};
  const QDate FToday = Day("2026-12-09");
};

TEST_F(DatedBackupsFiles, FirstSaveOfTheDayCopiesAndARestoreCanBeUndone) {
  const QString root = FBackups.Root();
  EXPECT_EQ(S(root), S(FLibraryFolder + U("/Резервные копии/")));
  // Days the rule thins out, a copy made before a restore, other folders
  // and a part left by a copy cut off.
  for (const char* name :
       {"2026-10-05", "2026-10-06", "2026-12-01", "2026-12-02", "2026-12-03", "2026-12-04",
        "2026-12-05", "2026-12-06", "2026-12-07", "2026-12-08",
        "2026-12-01 10-00-00 перед восстановлением", "2026-12-1", "заметки", ".2026-12-09.part"})
    ASSERT_TRUE(test_files::Write(root + U(name) + U("/x.txt"), "old"));

  // Missing files and files inside the backup folder are left out.
  ASSERT_EQ(S(FBackups.CopyBeforeFirstSave(
                Files() << FLibraryFolder + U("/нет.xml") << root + U("заметки/x.txt"), FToday)),
            "");
  TStrings folders =
      Strings(QDir(root).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot));
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(folders, (TStrings{"2026-10-06", "2026-12-01 10-00-00 перед восстановлением",
                               "2026-12-03", "2026-12-04", "2026-12-05", "2026-12-06", "2026-12-07",
                               "2026-12-08", "2026-12-09", "2026-12-1", "заметки"}));

  std::vector<TDatedBackups::TCopy> copies = FBackups.Copies();
  TStrings captions;
  for (const auto& copy : copies) captions.push_back(S(copy.Caption));
  EXPECT_EQ(captions, (TStrings{"2026-12-09", "2026-12-08", "2026-12-07", "2026-12-06",
                                "2026-12-05", "2026-12-04", "2026-12-03",
                                "2026-12-01 10-00-00 перед восстановлением", "2026-10-06"}));
  EXPECT_EQ(copies[7].Made, QDateTime(Day("2026-12-01"), QTime(10, 0)));
  const TDatedBackups::TCopy day = copies.front();
  EXPECT_EQ(day.Made, QDateTime(FToday, QTime(0, 0)));
  QString outside = FOutside;  // "/tmp/..." → "tmp/...", "C:/..." → "C/..."
  outside.remove(':');
  while (outside.startsWith('/')) outside.remove(0, 1);
  const QString outsideRelative = U("Вне папки библиотеки/") + outside;
  EXPECT_EQ(Strings(day.Files), (TStrings{"dreams.xml", S(outsideRelative), "журналы/a.xml"}));
  EXPECT_EQ(S(FBackups.RelativeInCopy(FOutside)), S(outsideRelative));
  EXPECT_EQ(S(FBackups.OriginalOf(day, outsideRelative)), S(FOutside));
  EXPECT_EQ(S(FBackups.OriginalOf(day, U("журналы/a.xml"))), S(FJournal));
  for (const QString& file : Files())
    EXPECT_EQ(Read(day.Folder + FBackups.RelativeInCopy(file)), Version("1", file));

  // Later saves that day copy nothing.
  WriteAll("2");
  EXPECT_EQ(S(FBackups.CopyBeforeFirstSave(Files(), FToday)), "");
  EXPECT_EQ(Read(day.Folder + U("журналы/a.xml")), Version("1", FJournal));

  // One journal back: the others stay, its current version goes aside first.
  const QDateTime now(FToday, QTime(15, 30, 0));
  QString undo;
  ASSERT_EQ(S(FBackups.Restore(day, {U("журналы/a.xml")}, now, &undo)), "");
  EXPECT_EQ(S(undo), S(root + U("2026-12-09 15-30-00 перед восстановлением/")));
  EXPECT_EQ(Read(FJournal), Version("1", FJournal));
  EXPECT_EQ(Read(FLibrary), Version("2", FLibrary));
  EXPECT_EQ(Read(FOutside), Version("2", FOutside));
  const TDatedBackups::TCopy before = FBackups.Copies().front();
  EXPECT_EQ(S(before.Folder), S(undo));
  EXPECT_EQ(before.Made, now);
  EXPECT_EQ(Strings(before.Files), TStrings{"журналы/a.xml"});

  // Undoing is a restore like any other; the same second gets " (2)".
  ASSERT_EQ(S(FBackups.Restore(before, {}, now, &undo)), "");
  EXPECT_EQ(S(undo), S(root + U("2026-12-09 15-30-00 перед восстановлением (2)/")));
  EXPECT_EQ(Read(FJournal), Version("2", FJournal));

  // A file whose folder is gone comes back with it; only files that are
  // there have a current version to put aside.
  ASSERT_TRUE(QDir(QFileInfo(FOutside).absolutePath()).removeRecursively());
  ASSERT_EQ(S(FBackups.Restore(day, {}, now.addSecs(1), &undo)), "");
  for (const QString& file : Files()) EXPECT_EQ(Read(file), Version("1", file));
  EXPECT_EQ(Strings(FBackups.Copies().front().Files), (TStrings{"dreams.xml", "журналы/a.xml"}));
}

TEST_F(DatedBackupsFiles, DiskFullWhileCopyingLeavesNoDayAndTheFilesAsTheyWere) {
  QString failure;
  {
    // The journal is copied after the library, so a part is there to clean up.
    const TFault diskFull("write", ".part/журналы/");
    failure = FBackups.CopyBeforeFirstSave(Files(), FToday);
  }
  EXPECT_TRUE(failure.startsWith(U("Не удалось записать файл «"))) << S(failure);
  EXPECT_TRUE(failure.contains(U("журналы/a.xml"))) << S(failure);
  EXPECT_EQ(QDir(FBackups.Root()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());
  for (const QString& file : Files()) EXPECT_EQ(Read(file), Version("1", file));

  // With room again the same day's next save makes the copy.
  EXPECT_EQ(S(FBackups.CopyBeforeFirstSave(Files(), FToday)), "");
  ASSERT_EQ(FBackups.Copies().size(), 1u);
  EXPECT_EQ(FBackups.Copies().front().Files.size(), 3);
}

}  // namespace
