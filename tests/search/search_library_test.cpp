// A search over a library: journals in library order, read in the
// background when not in memory yet, missing ones reported while the
// search goes on, a run cancelled; and somnary-search as a process.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
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

namespace {

const char* const kLibrary = R"(<?xml version="1.0" encoding="windows-1251" standalone="yes"?>
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

std::string Day(const char* name, const char* number, const char* title, const char* text) {
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

TEST_F(LibrarySearch, ReadsJournalsInLibraryOrderAndReportsMissingOnes) {
  search.Start(Query("полет"));
  ASSERT_TRUE(WaitFinished());
  EXPECT_EQ(Titles(), "Первый полёт;Снова полёты;");
  ASSERT_EQ(search.Problems().size(), 1);
  EXPECT_TRUE(search.Problems()[0].contains(QStringLiteral("Пропавший")))
      << search.Problems()[0].toStdString();
  EXPECT_EQ(host.Adopted.size(), 2u);  // the loose journal is never read

  // Everything is in memory now: the next query ends at once, missing file included.
  search.Start(Query("летать"));
  EXPECT_FALSE(search.Running());
  EXPECT_EQ(Titles(), "Первый полёт;Снова полёты;");
  EXPECT_EQ(search.Problems().size(), 1);
}

TEST_F(LibrarySearch, CancelKeepsWhatWasFoundAndTakesNothingHalfRead) {
  std::vector<bool> ends;
  QObject::connect(&search, &TLibrarySearch::Finished,
                   [&](bool cancelled) { ends.push_back(cancelled); });
  search.Start(Query("полет"));
  ASSERT_TRUE(search.Running());  // the first journal is being read
  search.Cancel();
  EXPECT_EQ(ends, std::vector<bool>{true});
  EXPECT_FALSE(search.Running());
  // The reading ends in the background and its document is dropped.
  QEventLoop loop;
  QTimer::singleShot(300, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_TRUE(host.Adopted.empty());

  search.Start(Query("полет"));
  ASSERT_TRUE(WaitFinished());
  EXPECT_EQ(Titles(), "Первый полёт;Снова полёты;");
  EXPECT_EQ(ends, (std::vector<bool>{true, false}));
}

// ---------------------------------------------------------------- somnary-search

struct TRun {
  int ExitCode = -1;
  QString Out, Err;
};

// outputFile: where standard output goes instead of being read; "-" closes it.
TRun RunTool(const QStringList& arguments, const QString& outputFile = {}) {
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
  run.Err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

TEST_F(LibrarySearch, ToolPrintsOneLinePerExperienceAndReportsMissingJournals) {
  const QString library = dir.filePath("library.xml");
  Write(library, Utf8ToCp1251(kLibrary));
  const QString first = dir.filePath("first.xml"), second = dir.filePath("second.xml");

  TRun run = RunTool({library, QStringLiteral("летал")});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Out,
            first + "\t02.01.24\t001\tПервый полёт\n" + second + "\t04.01.24\t007\tСнова полёты\n");
  EXPECT_TRUE(run.Err.startsWith("somnary-search: ") &&
              run.Err.contains(QStringLiteral("Пропавший")))
      << run.Err.toStdString();

  run = RunTool({"--from", "04.01.2024", "--energy-from", "0", library, ""});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Out, second + "\t04.01.24\t007\tСнова полёты\n");

  run = RunTool({library, QStringLiteral("\"летал над\"")});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Out, first + "\t02.01.24\t001\tПервый полёт\n");

  run = RunTool({"--mark", "1", library, QStringLiteral("полёт")});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_TRUE(run.Out.isEmpty());

  for (const QStringList& bad : {QStringList{library}, QStringList{"--mark", "5", library, "x"},
                                 QStringList{"--from", "31.02.24", library, "x"},
                                 QStringList{dir.filePath("none.xml"), "x"}}) {
    run = RunTool(bad);
    EXPECT_EQ(run.ExitCode, 2) << bad.join(' ').toStdString();
    EXPECT_TRUE(run.Out.isEmpty());
  }
}

TEST_F(LibrarySearch, ToolFailsOnAFileReadInPartAndOnOutputNotWritten) {
  const QString library = dir.filePath("library.xml");
  const std::string libraryText = Utf8ToCp1251(kLibrary);
  Write(library, libraryText);
  const QString first = dir.filePath("first.xml"), second = dir.filePath("second.xml");
  const QString firstHit = first + "\t02.01.24\t001\tПервый полёт\n";
  const std::string secondText = Read(second).toStdString();
  ASSERT_NE(secondText, "<missing>");
  std::string nested;
  for (int i = 0; i < 100000; ++i) nested += "<a>";

  const struct {
    const char* Name;
    QString File;  // written with Text before the run
    std::string Text;
    QString Output;  // standard output to a file, or "-" to close it
    QString Out;     // what is printed
    QString Named;   // the file the message names
  } cases[] = {
      {"library cut in half",
       library,
       libraryText.substr(0, libraryText.size() / 2),
       {},
       {},
       library},
      {"journal cut in half",
       second,
       secondText.substr(0, secondText.size() / 2),
       {},
       firstHit,
       second},
      {"journal nested too deep", second, JournalText(nested), {}, firstHit, second},
      {"output on a full disk", {}, {}, "/dev/full", {}, {}},
      {"output closed", {}, {}, "-", {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Write(library, libraryText);
    Write(second, secondText);
    if (!c.File.isEmpty()) Write(c.File, c.Text);
    const TRun run = RunTool({library, QStringLiteral("летал")}, c.Output);
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_EQ(run.Out, c.Out);
    EXPECT_TRUE(run.Err.startsWith("somnary-search: ") && run.Err.count('\n') >= 1)
        << run.Err.toStdString();
    if (!c.Named.isEmpty()) {
      EXPECT_TRUE(run.Err.contains(c.Named)) << run.Err.toStdString();
    }
  }
}

// A journal path naming a pipe nobody writes to, or an endless device, is
// refused at once and named; the other journals are still searched.
TEST_F(LibrarySearch, ToolRefusesAPipeOrADeviceAsAJournalAtOnce) {
  const QString library = dir.filePath("library.xml");
  Write(library, Utf8ToCp1251(kLibrary));
  const QString first = dir.filePath("first.xml"), second = dir.filePath("second.xml");
  for (const bool pipe : {true, false}) {
    SCOPED_TRACE(pipe ? "pipe" : "/dev/zero");
    QFile::remove(second);
    ASSERT_EQ(pipe ? ::mkfifo(second.toUtf8().constData(), 0600)
                   : ::symlink("/dev/zero", second.toUtf8().constData()),
              0);
    const TRun run = RunTool({library, QStringLiteral("летал")});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out, first + "\t02.01.24\t001\tПервый полёт\n");
    EXPECT_TRUE(run.Err.contains(second)) << run.Err.toStdString();
  }
}

TEST_F(LibrarySearch, ToolRefusesBadArgumentsWithAMessage) {
  const QString library = dir.filePath("library.xml");
  Write(library, Utf8ToCp1251(kLibrary));
  QString manyWords;
  for (std::size_t i = 0; i <= TSearchQuery::MaxTerms; ++i)
    manyWords += QStringLiteral("слово%1 ").arg(i);
  const struct {
    QStringList Arguments;
    const char* Says;
  } cases[] = {
      {{"--energy-from", "nan", library, "x"}, "nan"},
      {{"--energy-to", "NaN", library, "x"}, "NaN"},
      {{"--energy-from", "inf", library, "x"}, "inf"},
      {{"--plain", "--html", library, "x"}, "--html"},
      {{"--html", "--plain", library, "x"}, "--plain"},
      {{"--from", "01.01.0000", library, "x"}, "01.01.0000"},
      {{"--to", "29.02.2023", library, "x"}, "29.02.2023"},
      {{library, manyWords}, "64"},
  };
  for (const auto& c : cases) {
    const TRun run = RunTool(c.Arguments);
    SCOPED_TRACE(c.Arguments.join(' ').left(80).toStdString());
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(run.Out.isEmpty());
    EXPECT_TRUE(run.Err.startsWith("somnary-search: ") &&
                run.Err.contains(QString::fromUtf8(c.Says)))
        << run.Err.toStdString();
  }
  // The same kind twice is no contradiction; a repeated word is one term.
  EXPECT_EQ(RunTool({"--plain", "--plain", library, "летали"}).ExitCode, 0);
  EXPECT_EQ(
      RunTool(
          {library, (QStringLiteral("летали ") + manyWords.section(' ', 0, 3) + ' ').repeated(500)})
          .ExitCode,
      1);
}

}  // namespace
