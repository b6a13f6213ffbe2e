// The table export read back as a spreadsheet program would: by Python's
// csv module, so the quoting is checked by a reader we did not write.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include "export/smr_CSVExporter.h"
#include "export/smr_MarkdownExporter.h"
#include "export_test_util.h"
#include "xml/xml_node.h"

namespace {

using TRow = std::vector<std::string>;
using TRows = std::vector<TRow>;

const char* const kReader =
    "import csv, json, sys\n"
    "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
    "    print(json.dumps(list(csv.reader(f, delimiter=sys.argv[2]))))\n";

class CSVExport : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // QProcess wants an application object.
    if (!QCoreApplication::instance()) {
      static int argc = 1;
      static char name[] = "test_export";
      static char* argv[] = {name, nullptr};
      static QCoreApplication application(argc, argv);
    }
  }

  CSVExport() {
    SetCaptions(exporter, "Осознанный", "Астрал", "Вне тела", "  ");
    sources.Attach(exporter);
  }

  // The rows of the exported file as Python reads them.
  TRows Export(const TXMLNode* root) {
    const QString file = dir.filePath("out.csv");
    exporter.ExportToFile(root, file.toStdString());
    Bytes = test_files::Read(file);
    QProcess python;
    // Python is not ours: the test's preloaded fault library and the
    // sanitizers' leak report stay out of it.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("LD_PRELOAD");
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    python.setProcessEnvironment(env);
    python.start("python3", {"-c", kReader, file, QString(QChar(exporter.Separator))});
    EXPECT_TRUE(python.waitForFinished(30000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    TRows rows;
    for (const QJsonValue& row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
      rows.emplace_back();
      for (const QJsonValue& cell : row.toArray())
        rows.back().push_back(cell.toString().toStdString());
    }
    return rows;
  }

  TCSVExporter exporter;
  TTestSources sources;
  QTemporaryDir dir;
  QByteArray Bytes;
};

TEST_F(CSVExport, CellsReadBackAsTheJournalHasThemUnderEitherSeparator) {
  auto journal = Parse(
      "<somnary>\n"
      "  <day name=\"05.03.24\">\n"
      "    <experience number=\"001\" title=\"Дом, сад; окно\">\n"
      "      <description>Он сказал: \"да, нет; может\"</description>\n"
      "      <comment>первая</comment>\n"
      "      <properties luciddream=\"true\" label2=\"true\" label3=\"false\" "
      "outofbody=\"true\">\n"
      "        <parameter control=\"Настроение\" value=\"тревожное\" />\n"
      "        <parameter control=\"Найдено\" value=\"ключ, дверь\" />\n"
      "      </properties>\n"
      "      <energy level=\"50\" />\n"
      "    </experience>\n"
      "    <experience number=\"002\" title=\"Страница\" type=\"html\" file=\"j_002.html\" "
      "readonly=\"true\">\n"
      "      <properties>\n"
      "        <parameter control=\"Группа\">\n"
      "          <parameter control=\"Место\" value=\"берег\" />\n"
      "        </parameter>\n"
      "      </properties>\n"
      "      <energy level=\"150\" />\n"
      "    </experience>\n"
      "  </day>\n"
      "  <day name=\"Без даты\">\n"
      "    <experience number=\"003\" title=\"Пусто\" readonly=\"false\" type=\"html\" "
      "file=\"нет.html\" />\n"
      "  </day>\n"
      "</somnary>\n");
  // A comment as the window holds it before a save: its line break kept.
  journal->Root->FindNode("comment")->Child(0)->Value = Cp1251("первая\r\nвторая \"строка\"");
  sources.Files["j_002.html"] = Cp1251(
      "<html><head><title>Заголовок</title><style>p {}</style></head><body>"
      "<p>Первый &quot;абзац&quot;, ещё;</p><p>Второй<br>строка &amp; &#8470;&nbsp;5</p>"
      "</body></html>");
  exporter.JournalName = Cp1251("Осень");
  exporter.PropertyNames = {Cp1251("Место"), Cp1251("Настроение"), Cp1251("Пусто")};

  const TRows expected = {
      {"Журнал", "Ночь", "Дата", "Номер", "Название", "Описание", "Комментарий", "Осознанный",
       "Астрал", "Вне тела", "Отметка 4", "Энергия", "Только чтение", "Место", "Настроение",
       "Пусто", "Найдено"},
      // The older mark names win over the new ones, as the window converts them.
      {"Осень", "05.03.24", "2024-03-05", "001", "Дом, сад; окно", "Он сказал: \"да, нет; может\"",
       "первая\nвторая \"строка\"", "1", "1", "1", "0", "0.5", "0", "", "тревожное", "",
       "ключ, дверь"},
      {"Осень", "05.03.24", "2024-03-05", "002", "Страница",
       "Первый \"абзац\", ещё;\n\nВторой\nстрока & № 5", "", "0", "0", "0", "0", "-0.5", "1",
       "берег", "", "", ""},
      // A page that cannot be read is said, not left as an empty description.
      {"Осень", "Без даты", "", "003", "Пусто", "Описание не прочитано: нет.html", "", "0", "0",
       "0", "0", "", "0", "", "", "", ""},
  };
  for (char separator : {',', ';'}) {
    SCOPED_TRACE(separator);
    exporter.Separator = separator;
    EXPECT_EQ(Export(journal->Root.get()), expected);
    EXPECT_TRUE(Bytes.startsWith("\xEF\xBB\xBF" + QByteArray::fromStdString(expected[0][0])));
    EXPECT_TRUE(Bytes.endsWith(",,\r\n") || Bytes.endsWith(";;\r\n"));
    EXPECT_EQ(Bytes.count("\r\n"), 4);  // the line break inside a cell is LF alone
    EXPECT_TRUE(Bytes.contains("\"первая\nвторая \"\"строка\"\"\""));
  }
}

TEST_F(CSVExport, DateOnlyForADayTheCalendarHas) {
  const std::pair<const char*, const char*> cases[] = {
      {"05.03.24", "2024-03-05"},
      {"31.12.68", "2068-12-31"},
      {"01.01.69", "1969-01-01"},
      {"29.02.2000", "2000-02-29"},
      {"29.02.1900", ""},
      {"29.02.23", ""},
      {"31.04.24", ""},
      {"00.01.24", ""},
      {"5.3.24", ""},
      {"05-03-24", ""},
      {"05.03.+4", ""},
      {"05.03.024", ""},
  };
  std::string days;
  for (const auto& [night, date] : cases)
    days += "<day name=\"" + std::string(night) + "\"><experience /></day>\n";
  auto journal = Parse("<somnary>\n" + days + "</somnary>\n");
  const TRows rows = Export(journal->Root.get());
  ASSERT_EQ(rows.size(), std::size(cases) + 1);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(rows[i + 1][1], cases[i].first);
    EXPECT_EQ(rows[i + 1][2], cases[i].second) << cases[i].first;
  }
}

// Journals in tree order; one that cannot be read keeps its place as a row
// that says so, with nothing else in it.
TEST_F(CSVExport, LibraryRowsFollowTheTreeAndTellAJournalNotRead) {
  const auto journal = [](const char* number, const char* property) {
    return Parse(std::string("<somnary><day name=\"01.01.24\"><experience number=\"") + number +
                 "\"><properties>" + property + "</properties></experience></day></somnary>\n");
  };
  sources.Journals["a/1.xml"] = journal("1", "");
  sources.Journals["a/2.xml"] = journal("2", "");
  sources.Journals["b/3.xml"] = journal("3", "<parameter control=\"Поздний\" value=\"да\" />");
  auto library = Parse(
      "<dreamlibrary name=\"Библиотека\">\n"
      "  <directory name=\"A\">\n"
      "    <directory name=\"A1\"><file name=\"Первый\" path=\"a/1.xml\" /></directory>\n"
      "    <file name=\"Второй\" path=\"a/2.xml\" />\n"
      "  </directory>\n"
      "  <directory name=\"B\">\n"
      "    <file name=\"Пропавший\" path=\"b/нет.xml\" />\n"
      "    <file name=\"Третий\" path=\"b/3.xml\" />\n"
      "  </directory>\n"
      "</dreamlibrary>\n");
  exporter.JournalName = "unused";
  const TRows rows = Export(library->Root.get());
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].back(), "Поздний");
  const TRow blank(rows[0].size(), "");
  TRow notRead = blank;
  notRead[0] = "Пропавший";
  notRead[5] = "Журнал не прочитан: b/нет.xml";
  EXPECT_EQ(rows[3], notRead);
  const std::pair<const char*, const char*> read[] = {
      {"Первый", "1"}, {"Второй", "2"}, {"Третий", "3"}};
  for (std::size_t i : {0u, 1u, 2u}) {
    const TRow& row = rows[i < 2 ? i + 1 : 4];
    EXPECT_EQ(row[0], read[i].first);
    EXPECT_EQ(row[3], read[i].second);
    EXPECT_EQ(row.back(), i == 2 ? "да" : "");
  }
}

// Both new formats write through the one atomic writer: a missing folder is
// refused, and a disk that fills up midway leaves the old file as it was.
TEST(NewFormatsFiles, AFailedWriteLeavesTheOldOutput) {
  auto journal = Parse("<somnary><day name=\"01.01.24\"><experience /></day></somnary>\n");
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string out = dir.filePath("out.txt").toStdString();
  ASSERT_TRUE(test_files::Write(QString::fromStdString(out), "old bytes"));
  TCSVExporter csv;
  TMarkdownExporter markdown;
  for (TExporter* exporter : {static_cast<TExporter*>(&csv), static_cast<TExporter*>(&markdown)}) {
    EXPECT_THROW(
        exporter->ExportToFile(journal->Root.get(), dir.filePath("no/out.txt").toStdString()),
        TXMLWriteError);
    qputenv("SOMNARY_FAULT", "write");
    qputenv("SOMNARY_FAULT_PATH", dir.path().toUtf8());
    qputenv("SOMNARY_FAULT_NTH", "0");
    try {
      exporter->ExportToFiles(journal->Root.get(), out, dir.path().toStdString());
      ADD_FAILURE() << "the write did not fail";
    } catch (const TExportWriteError& error) {
      EXPECT_EQ(error.FileName, out);
    }
    for (const char* name : {"SOMNARY_FAULT", "SOMNARY_FAULT_PATH", "SOMNARY_FAULT_NTH"})
      qunsetenv(name);
    EXPECT_EQ(test_files::Read(QString::fromStdString(out)), "old bytes");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"out.txt"}));
  }
}

}  // namespace
