// somnary-export --format json and somnary-import as processes: a journal
// goes out and comes back byte for byte, and bad input is told in one line
// with nothing written.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "../../bench/smr_BenchData.h"
#include "common/test_files.h"
#include "xml/xml_mainUnit.h"

namespace {

struct TRun {
  int ExitCode = -1;
  QByteArray Stderr;
};

class ImportTool : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // QProcess wants an application object.
    if (!QCoreApplication::instance()) {
      static int argc = 1;
      static char name[] = "test_import_tool";
      static char* argv[] = {name, nullptr};
      static QCoreApplication application(argc, argv);
    }
  }
  void SetUp() override { ASSERT_TRUE(Dir.isValid()); }

  TRun Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", Dir.filePath("config"));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(120000)) << program.toStdString();
    TRun run;
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Stderr = process.readAllStandardError();
    return run;
  }
  // Exports the journal to JSON and imports that into a new file.
  void RoundTrip(const QString& journal) {
    SCOPED_TRACE(journal.toStdString());
    const QString json = Dir.filePath("out.json"), back = Dir.filePath("back/journal.xml");
    QFile::remove(json);
    QDir(Dir.filePath("back")).removeRecursively();
    QDir().mkpath(Dir.filePath("back"));
    const TRun out = Run(SOMNARY_EXPORT_TOOL, {"--format", "json", journal, json});
    ASSERT_EQ(out.ExitCode, 0) << out.Stderr.toStdString();
    const TRun in = Run(SOMNARY_IMPORT_TOOL, {json, back});
    ASSERT_EQ(in.ExitCode, 0) << in.Stderr.toStdString();
    EXPECT_TRUE(in.Stderr.isEmpty()) << in.Stderr.toStdString();
    // The program's own text of the journal: the file itself for a journal
    // the program wrote (the samples); a hand-written `<comment></comment>`
    // is read as an element the program writes on two lines, and lines of a
    // text the reader joins stay joined.
    TXMLParser document;
    document.Load(journal.toStdString());
    ASSERT_EQ(document.Status, xsLoaded);
    EXPECT_EQ(test_files::Read(back).toStdString(), document.SaveToText());
  }

  QTemporaryDir Dir;
};

TEST_F(ImportTool, EveryJournalComesBackByteForByte) {
  const QString resources = qEnvironmentVariable("SOMNARY_RESOURCES");
  for (const QString& journal :
       {QStringLiteral(SOMNARY_EXPORT_DATA "/journal/input.xml"),
        resources + "/sample/autumn2026.xml", resources + "/sample/practice.xml"})
    RoundTrip(journal);
  // A prolog of its own and parts the program does not know.
  test_files::Write(
      Dir.filePath("odd.xml"),
      test_files::FileBytes("<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"no\"?>\n"
                            "<?xml-stylesheet href=\"my.xsl\" type=\"text/xsl\"?>\n\n\n"
                            "<somnary owner=\"я\">\n  <day name=\"01.02.03\">\n"
                            "    <mood value=\"ясно\" />\n  </day>\n</somnary>\n"));
  RoundTrip(Dir.filePath("odd.xml"));
  const std::string big = Dir.filePath("big.xml").toStdString();
  WriteJournal(big, 10000, 7);
  RoundTrip(QString::fromStdString(big));
}

TEST_F(ImportTool, BadInputIsToldInOneLineAndNothingIsWritten) {
  test_files::Write(Dir.filePath("bad.json"), "{\n  \"format\": \"somnary\",\n  oops\n}\n");
  test_files::Write(Dir.filePath("rows.csv"), "Дата,Название\n12.03.2024,Полёт,лишнее\n");
  test_files::Write(Dir.filePath("taken.xml"), "keep");
  test_files::Write(Dir.filePath("notes.doc"), "text");
  struct TCase {
    QStringList Arguments;
    const char* Says;  // a piece of the message
  } cases[] = {
      {{Dir.filePath("bad.json"), Dir.filePath("a.xml")}, "3"},
      {{Dir.filePath("rows.csv"), Dir.filePath("a.xml")}, "Строка 2"},
      {{Dir.filePath("bad.json"), Dir.filePath("taken.xml")}, "уже существует"},
      {{Dir.filePath("notes.doc"), Dir.filePath("a.xml")}, "--format"},
      {{Dir.filePath("missing.json"), Dir.filePath("a.xml")}, "missing.json"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Arguments.join(' ').toStdString());
    const TRun run = Run(SOMNARY_IMPORT_TOOL, c.Arguments);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Stderr.startsWith("somnary-import: ")) << run.Stderr.toStdString();
    EXPECT_EQ(run.Stderr.count('\n'), 1) << run.Stderr.toStdString();
    EXPECT_TRUE(QString::fromUtf8(run.Stderr).contains(QString::fromUtf8(c.Says)))
        << run.Stderr.toStdString();
    EXPECT_FALSE(QFile::exists(Dir.filePath("a.xml")));
  }
  EXPECT_EQ(test_files::Read(Dir.filePath("taken.xml")), "keep");
}

}  // namespace
