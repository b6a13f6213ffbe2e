// A search over a library: journals in library order, read in the
// background when not in memory yet, missing ones reported while the
// search goes on, a run cancelled; and somnary-search as a process.
#include "search_library_fixture.h"

using namespace librarytest;

namespace {

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

TEST_F(LibrarySearch, ToolPrintsTheSignsAndTheMostFrequentWords) {
  const QString library = dir.filePath("library.xml"), plain = dir.filePath("plain.xml");
  std::string text = kLibrary;
  text.insert(text.rfind("</dreamlibrary>"),
              "  <dreamsigns>\n    <sign text=\"летал\" category=\"Осознание\"/>\n"
              "    <sign text=\"Полёт\"/>\n    <sign text=\"кот\" category=\"Мой\tзнак\"/>\n"
              "  </dreamsigns>\n");
  Write(library, Utf8ToCp1251(text));
  Write(plain, Utf8ToCp1251(kLibrary));

  // Signs in the library's order; the loose journal is not in the tree, the
  // missing one is told and does not change the status.
  TRun run = RunTool({"--signs", library});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Out, QStringLiteral("летал\tОсознание\t2\t0\t02.01.24\t04.01.24\n"
                                    "Полёт\t\t2\t0\t02.01.24\t04.01.24\n"
                                    "кот\tМой знак\t0\t0\t\t\n"));
  EXPECT_TRUE(run.Err.contains(QStringLiteral("Пропавший"))) << run.Err.toStdString();

  // By count, then alphabetically; numbers and "над", "снова" are no words to count.
  run = RunTool({"--frequent", "3", library});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Out, QStringLiteral("летал\t2\nполет\t2\nвдвоем\t1\n"));
  run = RunTool({"--frequent", "2", dir.filePath("loose.xml")});
  EXPECT_EQ(run.Out, QStringLiteral("каталога\t1\nполет\t1\n"));

  const struct {
    QStringList Arguments;
    int ExitCode;
  } cases[] = {
      {{"--signs", plain}, 1},
      {{"--frequent", "0", library}, 2},
      {{"--frequent", "x", library}, 2},
      {{"--frequent", library}, 2},
      {{"--signs", "--frequent", "3", library}, 2},
      {{"--signs", "--mark", "1", library}, 2},
      {{"--signs", library, "летал"}, 2},
  };
  for (const auto& c : cases) {
    run = RunTool(c.Arguments);
    EXPECT_EQ(run.ExitCode, c.ExitCode) << c.Arguments.join(' ').toStdString();
    EXPECT_TRUE(run.Out.isEmpty()) << c.Arguments.join(' ').toStdString();
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
    // Closing the tool's standard output takes a POSIX shell.
    if (c.Output == QLatin1String("-") && QDir::separator() == u'\\') continue;
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
