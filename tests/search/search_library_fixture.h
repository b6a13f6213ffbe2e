#pragma once
// The library, its journals and the search host the library search tests share.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <map>

#include "search/smr_LibrarySearch.h"
#include "search_test_util.h"
#include "storage/smr_Types.h"
#include "xml/xml_node.h"

namespace librarytest {

inline const char* const kLibrary =
    R"(<?xml version="1.0" encoding="windows-1251" standalone="yes"?>
<dreamlibrary name="Сны">
  <file name="Вне каталогов" path="loose.xml"/>
  <directory name="Дом">
    <file name="Первый" path="first.xml"/>
    <directory name="Пусто">
      <file name="Пропавший" path="missing.xml"/>
    </directory>
    <file name="Второй" path="second.xml"/>
  </directory>
</dreamlibrary>
)";

inline std::string Day(const char* name, const char* number, const char* title, const char* text) {
  return std::string("<day name=\"") + name + "\"><experience number=\"" + number + "\" title=\"" +
         title + "\"><description>" + text + "</description></experience></day>\r\n";
}

// The window's part, played by a map of documents read so far.
class THost : public TSearchHost {
 public:
  explicit THost(const QDir& dir) : Dir(dir) { Library = Parsed(Utf8ToCp1251(kLibrary)); }
  const TXMLNode* LibraryRoot() override { return Library->Root.get(); }
  const TXMLNode* Journal(const TXMLNode& file, std::string& fileToRead) override {
    if (auto found = Adopted.find(&file); found != Adopted.end()) return found->second->Root.get();
    fileToRead = Path(file.GetAttribute(smr::atPath));
    return nullptr;
  }
  const TXMLNode* Adopt(const TXMLNode& file, std::unique_ptr<TXMLParser> document) override {
    return (Adopted[&file] = std::move(document))->Root.get();
  }
  std::string DescriptionFile(const std::string& stored) override { return Path(stored); }
  std::string Path(const std::string& stored) const {
    return Dir.filePath(QString::fromStdString(stored)).toStdString();
  }

  QDir Dir;
  std::unique_ptr<TXMLParser> Library;
  std::map<const TXMLNode*, std::unique_ptr<TXMLParser>> Adopted;
};

class LibrarySearch : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!QCoreApplication::instance()) {
      static int argc = 1;
      static char name[] = "test_search";
      static char* argv[] = {name, nullptr};
      static QCoreApplication application(argc, argv);
    }
  }

  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    Write(dir.filePath("loose.xml"),
          JournalText(Day("01.01.24", "001", "Полёт", "полёт вне каталога")));
    Write(dir.filePath("first.xml"),
          JournalText(Day("02.01.24", "001", "Первый полёт", "летал над морем") +
                      Day("03.01.24", "002", "Дом", "тихо")));
    Write(dir.filePath("second.xml"),
          JournalText(Day("04.01.24", "007", "Снова полёты", "летали вдвоём")));
  }

  TSearchQuery Query(const char* utf8) {
    return TSearchQuery(Utf8ToCp1251(utf8), search.Index().Stemmer());
  }

  // Runs the event loop until the search ends; false on a time-out.
  bool WaitFinished() {
    if (!search.Running()) return true;
    QEventLoop loop;
    QObject::connect(&search, &TLibrarySearch::Finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    return !search.Running();
  }

  std::string Titles() const {
    std::string titles;
    for (const TSearchHit& hit : search.Hits())
      titles += Cp1251ToUtf8(hit.Experience->GetAttribute(smr::atTitle)) + ";";
    return titles;
  }

  QTemporaryDir dir;
  THost host{QDir(dir.path())};
  TLibrarySearch search{host};
};

// ---------------------------------------------------------------- somnary-search

struct TRun {
  int ExitCode = -1;
  QString Out, Err;
};

// outputFile: where standard output goes instead of being read; "-" closes it.
inline TRun RunTool(const QStringList& arguments, const QString& outputFile = {}) {
  QProcess process;
  if (outputFile == QLatin1String("-")) {
    process.start(QStringLiteral("/bin/sh"),
                  QStringList{"-c", "exec \"$0\" \"$@\" >&-", QStringLiteral(SOMNARY_SEARCH_TOOL)} +
                      arguments);
  } else {
    if (!outputFile.isEmpty()) process.setStandardOutputFile(outputFile);
    process.start(QStringLiteral(SOMNARY_SEARCH_TOOL), arguments);
  }
  EXPECT_TRUE(process.waitForFinished(30000));
  TRun run;
  run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.Out = QString::fromUtf8(process.readAllStandardOutput());
  // Windows' text-mode output ends each line with CR LF.
  if (QDir::separator() == u'\\') run.Out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  run.Err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

}  // namespace librarytest
