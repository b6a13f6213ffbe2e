// Recovery copies of unsaved documents: what is offered back at the next
// start, what is left out, and that a failed write loses nothing.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

#include "common/test_files.h"
#include "storage/smr_RecoveryStore.h"
#include "xml/xml_test_util.h"

namespace {

using test_files::Read;
using test_files::U;
using TKind = TRecoveryStore::TKind;

QDateTime At(int hour, int minute, int second, int ms = 0) {
  return QDateTime(QDate(2031, 5, 6), QTime(hour, minute, second, ms), Qt::LocalTime);
}

void Touch(const QString& path, const QDateTime& modified) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

std::string CopyBytes(const TRecoveryStore::TEntry& entry) {
  std::string bytes;
  QString error;
  EXPECT_TRUE(TRecoveryStore::ReadCopy(entry, bytes, error)) << error.toStdString();
  return bytes;
}

// A library with its journal in a temporary folder, and the recovery folder.
class RecoveryStore : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Root.isValid());
    Recovery = Root.filePath("recovery");
    Diary = Root.filePath(U("дневник")) + '/';
    Library = Diary + "library.xml";
    Journal = Diary + U("осень 2031.xml");
    ASSERT_TRUE(test_files::Write(Library, "library") && test_files::Write(Journal, "journal"));
  }

  static QStringList Files(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  }
  static std::string Listing(const QString& folder) {
    return Files(folder).join('|').toStdString();
  }
  // The listing of a folder with one copy.
  static std::string CopyWithList(const QString& copy) {
    QStringList names{QFileInfo(copy).fileName(), "copies.lst"};
    names.sort();
    return names.join('|').toStdString();
  }

  QTemporaryDir Root;
  QString Recovery, Diary, Library, Journal;
};

TEST_F(RecoveryStore, EachKindComesBackWithItsBytesAndTime) {
  TRecoveryStore store(Recovery, Library);
  ASSERT_TRUE(store.Folder().startsWith(Recovery + '/'));
  EXPECT_EQ(QFileInfo(store.Folder().chopped(1)).fileName().size(), 16);
  const struct {
    TKind Kind;
    QString Original;
    std::string Bytes;
    QDateTime Written;
  } cases[] = {
      {TKind::Settings, Root.filePath("dreams.ini"), "[icons]\r\n", At(8, 0, 0, 1)},
      {TKind::Library, Library, "<library/>", At(8, 0, 1)},
      {TKind::Journal, Journal, std::string("\xC0\0\r\n", 4), At(8, 0, 3, 999)},
      {TKind::Description, Diary + U("сон 1.html"), "<p>", At(8, 0, 2)},
  };
  for (const auto& c : cases)
    ASSERT_EQ(store.Write(c.Kind, c.Original, c.Bytes, c.Written), QString());
  // The list has no room for a tab in a name.
  EXPECT_NE(store.Write(TKind::Description, Diary + U("сон\t2.html"), "<p>", At(8, 0, 2)),
            QString());
  // The next start names the library another way.
  const TRecoveryStore next(Recovery, Diary + "../" + U("дневник") + "/./library.xml");
  ASSERT_EQ(next.Folder(), store.Folder());
  const std::vector<TRecoveryStore::TEntry> offered = next.Offered();
  ASSERT_EQ(offered.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(offered[i].Kind, cases[i].Kind);
    EXPECT_EQ(offered[i].Original, cases[i].Original);
    EXPECT_EQ(offered[i].Written, cases[i].Written);
    EXPECT_EQ(CopyBytes(offered[i]), cases[i].Bytes);
  }
  EXPECT_EQ(TRecoveryStore::Newest(offered), At(8, 0, 3, 999));

  // A second write replaces the copy and keeps one entry per document.
  ASSERT_EQ(store.Write(TKind::Journal, Journal, "later", At(8, 0, 5)), QString());
  const auto again = next.Offered();
  ASSERT_EQ(again.size(), 4u);
  EXPECT_EQ(CopyBytes(again[2]), "later");
  EXPECT_EQ(again[2].Written, At(8, 0, 5));
  EXPECT_EQ(Files(store.Folder()).size(), 5);

  // Without a library the copies have a folder of their own.
  TRecoveryStore none(Recovery, QString());
  EXPECT_EQ(none.Folder(), Recovery + '/' + U("без библиотеки/"));
  ASSERT_EQ(none.Write(TKind::Settings, cases[0].Original, "x", At(9, 0, 0)), QString());
  ASSERT_EQ(none.Offered().size(), 1u);
  EXPECT_EQ(next.Offered().size(), 4u);
}

TEST_F(RecoveryStore, OnlyCopiesNewerThanTheirFilesAreOffered) {
  const struct {
    const char* Name;
    int FileSecond;  // -1: the file is gone
    bool Offered;
  } cases[] = {{"older file", 9, true},
               {"same time", 10, false},
               {"saved since", 11, false},
               {"file gone", -1, true}};
  TRecoveryStore store(Recovery, Library);
  QStringList expected;
  for (const auto& c : cases) {
    if (c.Offered) expected << c.Name;
    const QString original = Diary + c.Name;
    ASSERT_TRUE(test_files::Write(original, "saved"));
    ASSERT_EQ(store.Write(TKind::Journal, original, "copy", At(8, 0, 10)), QString());
    if (c.FileSecond < 0)
      ASSERT_TRUE(QFile::remove(original));
    else
      Touch(original, At(8, 0, c.FileSecond));
  }
  QStringList offered;
  for (const auto& e : store.Offered()) offered << QFileInfo(e.Original).fileName();
  EXPECT_EQ(offered.join('|').toStdString(), expected.join('|').toStdString());
}

TEST_F(RecoveryStore, AListOfAnotherLibraryOrUnreadableIsNeverOfferedNorOverwritten) {
  TRecoveryStore store(Recovery, Library);
  ASSERT_EQ(store.Write(TKind::Journal, Journal, "copy", At(8, 0, 0)), QString());
  const QString list = store.Folder() + "copies.lst";
  const QByteArray ours = Read(list);
  const QByteArray entry = ours.mid(ours.indexOf('\n') + 1);
  const QList<QByteArray> fields = entry.split('\t');
  const QByteArray header = "somnary-recovery 1\t" + Library.toUtf8() + '\n';
  ASSERT_TRUE(ours.startsWith(header)) << ours.toStdString();
  const QByteArray foreign[] = {
      "somnary-recovery 1\t" + Root.filePath("other/library.xml").toUtf8() + '\n' + entry,
      "somnary-recovery 1\t\n" + entry,  // copies made without a library
      "",
      "somnary-recovery 2\t" + Library.toUtf8() + '\n' + entry,
      header + entry.chopped(1),
      header + QByteArray(entry).replace("journal\t", "diary\t"),
      header + QByteArray(entry).replace("2031-", "31-"),
      header + fields[0] + '\t' + fields[1] + "\t../x.xml\t" + fields[3],
  };
  for (const QByteArray& text : foreign) {
    SCOPED_TRACE(text.toStdString());
    ASSERT_TRUE(test_files::Write(list, text));
    EXPECT_TRUE(store.Offered().empty());
    // Nothing of it is removed; a new copy puts it aside first.
    EXPECT_EQ(store.RemoveAll(), QString());
    EXPECT_EQ(store.Remove(Journal), QString());
    EXPECT_EQ(Read(list), text);
    ASSERT_EQ(store.Write(TKind::Journal, Journal, "new", At(8, 0, 1)), QString());
    EXPECT_EQ(store.Offered().size(), 1u);
    const QStringList aside = Files(Recovery + U("/Отложено"));
    ASSERT_FALSE(aside.isEmpty());
    EXPECT_EQ(Read(Recovery + U("/Отложено/") + aside.last() + "/copies.lst"), text);
    ASSERT_TRUE(QDir(Recovery + U("/Отложено")).removeRecursively());
  }
}

TEST_F(RecoveryStore, RemovedCopiesAreGoneAndAnEmptyFolderWithThem) {
  TRecoveryStore store(Recovery, Library);
  ASSERT_EQ(store.Write(TKind::Library, Library, "l", At(8, 0, 0)), QString());
  ASSERT_EQ(store.Write(TKind::Journal, Journal, "j", At(8, 0, 0)), QString());
  EXPECT_EQ(store.Remove(Diary + "unknown.xml"), QString());
  EXPECT_EQ(store.Remove(Diary + "./library.xml"), QString());
  const auto left = store.Offered();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].Original, Journal);
  EXPECT_EQ(Listing(store.Folder()), CopyWithList(left[0].Copy));
  EXPECT_EQ(store.Remove(Journal), QString());
  EXPECT_FALSE(QFileInfo::exists(store.Folder()));

  ASSERT_EQ(store.Write(TKind::Library, Library, "l", At(8, 0, 0)), QString());
  EXPECT_EQ(store.RemoveAll(), QString());
  EXPECT_FALSE(QFileInfo::exists(store.Folder()));
  EXPECT_EQ(store.RemoveAll(), QString());
  EXPECT_EQ(Read(Library), "library");
}

TEST_F(RecoveryStore, KeptAsideCopiesMoveWholeIntoAFolderOfTheirOwn) {
  TRecoveryStore store(Recovery, Library);
  QString error;
  EXPECT_EQ(store.KeepAside(At(8, 0, 0), error), QString());
  EXPECT_EQ(error, QString());

  QStringList moved;
  for (const char* bytes : {"first", "second"}) {
    ASSERT_EQ(store.Write(TKind::Journal, Journal, bytes, At(8, 0, 0)), QString());
    const QString copy = store.Offered().at(0).Copy;
    moved << store.KeepAside(At(9, 10, 11), error);
    EXPECT_EQ(error, QString());
    EXPECT_FALSE(QFileInfo::exists(store.Folder()));
    EXPECT_EQ(Read(moved.last() + QFileInfo(copy).fileName()), bytes);
  }
  const QString aside = Recovery + U("/Отложено/2031-05-06 09-10-11");
  EXPECT_EQ(moved, QStringList({aside + '/', aside + " (2)/"}));
  EXPECT_TRUE(store.Offered().empty());
}

TEST_F(RecoveryStore, AFullDiskKeepsThePreviousCopyListAndFile) {
  TRecoveryStore store(Recovery, Library);
  ASSERT_EQ(store.Write(TKind::Journal, Journal, "first copy", At(8, 0, 0)), QString());
  const QString copy = store.Offered().at(0).Copy;
  const QByteArray list = Read(store.Folder() + "copies.lst");
  QString error;
  {
    const xmltest::TInjectedFault fault("write", QFileInfo(copy).fileName().toStdString(), 0,
                                        ENOSPC);
    error = store.Write(TKind::Journal, Journal, "second copy", At(8, 0, 5));
  }
  EXPECT_TRUE(error.contains(Journal)) << error.toStdString();
  EXPECT_TRUE(error.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << error.toStdString();
  EXPECT_EQ(Read(copy), "first copy");
  EXPECT_EQ(Read(store.Folder() + "copies.lst"), list);
  EXPECT_EQ(Listing(store.Folder()), CopyWithList(copy));
  EXPECT_EQ(Read(Journal), "journal");
}

}  // namespace
