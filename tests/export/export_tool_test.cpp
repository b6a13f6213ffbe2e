// Runs somnary-export as a separate process and checks its exit codes,
// messages and output bytes.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "common/test_files.h"
#include "crypto/smr_Seal.h"
#include "storage/smr_Cp1251.h"
#include "xml/xml_functions.h"

namespace {

const QString Data = QStringLiteral(SOMNARY_EXPORT_DATA);

struct TRun {
  int ExitCode = -1;
  QByteArray Stderr;
};

using test_files::Read;

class ExportTool : public ::testing::Test {
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

  void SetUp() override { ASSERT_TRUE(dir.isValid()); }

  TRun Run(const QStringList& arguments, const QString& program = SOMNARY_EXPORT_TOOL,
           const QString& locale = {}, const QByteArray& input = {}) {
    QProcess process;
    // A user's settings folder of the test's own, empty unless a test fills it.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    if (!locale.isEmpty()) {
      env.insert("LANG", locale);
      env.insert("LC_ALL", locale);
    }
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(30000)) << program.toStdString();
    TRun run;
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Stderr = process.readAllStandardError();
    return run;
  }

  // Captions from the test settings, energy with a decimal comma.
  QStringList Options() const {
    return {"--settings", Data + "/settings/dreams.ini", "--decimal-separator", ","};
  }

  static void ExpectOneLineMessage(const TRun& run) {
    EXPECT_TRUE(run.Stderr.startsWith("somnary-export: ")) << run.Stderr.toStdString();
    EXPECT_TRUE(run.Stderr.endsWith('\n'));
    EXPECT_EQ(run.Stderr.count('\n'), 1) << run.Stderr.toStdString();
  }

  QTemporaryDir dir;
};

TEST_F(ExportTool, FormatFollowsTheExtensionUnlessGiven) {
  const QString html = dir.filePath("library.html");
  TRun run = Run(Options() << Data + "/library/input.xml" << html);
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_TRUE(run.Stderr.isEmpty()) << run.Stderr.toStdString();
  EXPECT_EQ(Read(html), Read(Data + "/library/expected.html"));

  const QString text = dir.filePath("JOURNAL.TXT");
  run = Run(Options() << Data + "/journal/input.xml" << text);
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(Read(text), Read(Data + "/journal/expected.txt"));

  const QString named = dir.filePath("journal.txt");
  run = Run(Options() << "--format=html" << Data + "/journal/input.xml" << named);
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(Read(named), Read(Data + "/journal/expected.html"));

  const QString noExtension = dir.filePath("library");
  run = Run(Options() << "--format"
                      << "txt" << Data + "/library/input.xml" << noExtension);
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(Read(noExtension), Read(Data + "/library/expected.txt"));
}

TEST_F(ExportTool, DefaultSettingsAreBesideTheProgramElseTheUsers) {
  // A copy of the tool in a folder of its own, first without dreams.ini.
  const QString tool = dir.filePath("somnary-export");
  ASSERT_TRUE(QFile::copy(SOMNARY_EXPORT_TOOL, tool));
  const QStringList files = {"--decimal-separator", ",", Data + "/journal/input.xml",
                             dir.filePath("out.html")};
  TRun run = Run(files, tool);
  EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
  const QByteArray bare = Read(dir.filePath("out.html"));
  EXPECT_TRUE(bare.contains("<td class=\"propertiesTableValueName\">:</td>\r\n"));
  EXPECT_NE(bare, Read(Data + "/journal/expected.html"));

  // Installed, without settings beside it: the user's.
  const QString user = dir.filePath("config/Somnary/dreams.ini");
  ASSERT_TRUE(QDir().mkpath(dir.filePath("config/Somnary")));
  ASSERT_TRUE(QFile::copy(Data + "/settings/dreams.ini", user));
  run = Run(files, tool);
  EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
  EXPECT_EQ(Read(dir.filePath("out.html")), Read(Data + "/journal/expected.html"));

  // Settings beside the tool win over the user's.
  ASSERT_TRUE(QFile::remove(user));
  QFile captionless(user);
  ASSERT_TRUE(captionless.open(QIODevice::WriteOnly));
  captionless.write(
      "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n<settings />\r\n");
  captionless.close();
  ASSERT_TRUE(QFile::copy(Data + "/settings/dreams.ini", dir.filePath("dreams.ini")));
  run = Run(files, tool);
  EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
  EXPECT_EQ(Read(dir.filePath("out.html")), Read(Data + "/journal/expected.html"));
}

TEST_F(ExportTool, ALabelWithoutCaptionGivesAnEmptyCaptionAsInTheWindow) {
  const QString settings = dir.filePath("dreams.ini");
  QFile file(settings);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(
      "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n\r\n\r\n"
      "<settings>\r\n  <label caption=\"Lucid\" />\r\n  <label />\r\n"
      "  <label caption=\"undefined\" />\r\n  <label caption=\"Other\" />\r\n</settings>\r\n");
  file.close();
  const QString out = dir.filePath("out.txt");
  const TRun run = Run({"--settings", settings, Data + "/journal/input.xml", out});
  EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
  // The first experience has marks 1 and 3.
  const QByteArray text = Read(out);
  EXPECT_TRUE(text.contains(QByteArray::fromStdString(
      Utf8ToCp1251("    Lucid: да\r\n    : нет\r\n    : да\r\n    Other: нет\r\n"))))
      << text.toStdString();
  EXPECT_FALSE(text.contains("    undefined: "));
}

TEST_F(ExportTool, UnusableInputOrOutputFails) {
  const QString out = dir.filePath("out.html");
  // The settings file is XML, but neither a library nor a journal.
  TRun run = Run(Options() << Data + "/settings/dreams.ini" << out);
  EXPECT_EQ(run.ExitCode, 1);
  ExpectOneLineMessage(run);
  EXPECT_FALSE(QFile::exists(out));

  run = Run(Options() << dir.filePath("missing.xml") << out);
  EXPECT_EQ(run.ExitCode, 1);
  ExpectOneLineMessage(run);
  EXPECT_FALSE(QFile::exists(out));

  run = Run(Options() << Data + "/library/input.xml" << dir.filePath("no-such-folder/out.html"));
  EXPECT_EQ(run.ExitCode, 1);
  ExpectOneLineMessage(run);

  run = Run({"--settings", dir.filePath("missing.ini"), Data + "/library/input.xml", out});
  EXPECT_EQ(run.ExitCode, 1);
  ExpectOneLineMessage(run);
  EXPECT_FALSE(QFile::exists(out));
}

// The energy figure follows the user's locale: one separator, never the C
// library's beside the program's own ("0,7," was seen under ru_RU).
TEST_F(ExportTool, EnergyFigureUnderEachLocale) {
  const struct {
    const char* locale;
    const char* figure;
  } cases[] = {
      {"C.UTF-8", "0.7"}, {"ru_RU.UTF-8", "0,7"}, {"de_DE.UTF-8", "0,7"}, {"en_US.UTF-8", "0.7"}};
  for (const auto& c : cases) {
    const QString out = dir.filePath(QString("energy-%1.txt").arg(c.locale));
    const TRun run =
        Run({"--settings", Data + "/settings/dreams.ini", Data + "/journal/input.xml", out},
            SOMNARY_EXPORT_TOOL, c.locale);
    ASSERT_EQ(run.ExitCode, 0) << c.locale << run.Stderr.toStdString();
    const QByteArray text = Read(out);
    const QByteArray line = Utf8ToCp1251("ЭНЕРГЕТИЧЕСКИЙ УРОВЕНЬ: ").c_str();
    EXPECT_TRUE(text.contains(line + c.figure + "\r\n")) << c.locale;
    EXPECT_TRUE(text.contains(line + "-" + QByteArray(c.figure).replace('7', '5') + "\r\n"))
        << c.locale;
  }
}

TEST_F(ExportTool, BadArgumentsAreRefused) {
  const QString in = Data + "/library/input.xml";
  const QString out = dir.filePath("out.html");
  const QList<QStringList> cases = {
      {},
      {in},
      {in, out, out},
      {"--format", "pdf", in, out},
      {"--bogus", in, out},
      {"--decimal-separator", ",,", in, out},
      {in, "--format"},
  };
  for (const QStringList& arguments : cases) {
    const TRun run = Run(arguments);
    EXPECT_EQ(run.ExitCode, 2) << arguments.join(' ').toStdString();
    ExpectOneLineMessage(run);
    EXPECT_FALSE(QFile::exists(out)) << arguments.join(' ').toStdString();
  }

  // Exporting over the input would destroy it.
  const QString copy = dir.filePath("library.xml");
  ASSERT_TRUE(QFile::copy(in, copy));
  const TRun run = Run(Options() << copy << copy);
  EXPECT_EQ(run.ExitCode, 2);
  ExpectOneLineMessage(run);
  EXPECT_EQ(Read(copy), Read(in));
}

}  // namespace

namespace {

TEST_F(ExportTool, APageGetsTheShippedStyleSheetBesideItUnlessOneIsThere) {
  // A portable copy of the tool ships its style sheet beside itself.
  ASSERT_TRUE(QDir().mkpath(dir.filePath("program")));
  ASSERT_TRUE(QDir().mkpath(dir.filePath("text")));
  const QString tool = dir.filePath("program/somnary-export");
  ASSERT_TRUE(QFile::copy(SOMNARY_EXPORT_TOOL, tool));
  ASSERT_TRUE(QFile::copy(Data + "/settings/dreams.ini", dir.filePath("program/dreams.ini")));
  const auto write = [](const QString& fileName, const QByteArray& bytes) {
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  };
  write(dir.filePath("program/library.css"), "shipped");
  const QStringList page = {Data + "/library/input.xml", dir.filePath("library.html")};
  TRun run = Run(page, tool);
  EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
  EXPECT_EQ(Read(dir.filePath("library.css")), "shipped");

  // One already beside the page is the user's; a text export names none.
  write(dir.filePath("library.css"), "mine");
  run = Run(page, tool);
  EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
  EXPECT_EQ(Read(dir.filePath("library.css")), "mine");
  run = Run({Data + "/library/input.xml", dir.filePath("text/library.txt")}, tool);
  EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
  EXPECT_FALSE(QFile::exists(dir.filePath("text/library.css")));
}

// An encrypted library is read with its passphrase from a file or the
// first line of standard input, never from the command line.
TEST_F(ExportTool, SealedInputIsReadWithThePassphraseFromAFileOrStandardInput) {
  const std::string plain = Read(Data + "/library/input.xml").toStdString();
  const auto key = TSealKey::Derive("пароль", TSealKey::NewSalt(), {1, 8});
  ASSERT_TRUE(test_files::Write(dir.filePath("plain.xml"), plain));
  ASSERT_TRUE(test_files::Write(dir.filePath("sealed.xml"), SealText(*key, plain)));
  ASSERT_TRUE(test_files::Write(dir.filePath("right"), QByteArray("пароль\n")));
  ASSERT_TRUE(test_files::Write(dir.filePath("wrong"), QByteArray("другой\n")));
  ASSERT_EQ(Run(Options() << dir.filePath("plain.xml") << dir.filePath("plain.html")).ExitCode, 0);
  const QByteArray expected = Read(dir.filePath("plain.html"));

  struct TCase {
    QStringList Passphrase;
    QByteArray Input;
    int ExitCode;
  } const cases[] = {
      {{"--passphrase-file", dir.filePath("right")}, {}, 0},
      {{}, QByteArray("пароль\r\n"), 0},
      {{"--passphrase-file", dir.filePath("wrong")}, {}, 1},
      {{}, {}, 1},
      {{"--passphrase-file", dir.filePath("missing")}, QByteArray("пароль\n"), 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Passphrase.join(' ').toStdString() + c.Input.toStdString());
    QFile::remove(dir.filePath("sealed.html"));
    const TRun run =
        Run(Options() << c.Passphrase << dir.filePath("sealed.xml") << dir.filePath("sealed.html"),
            SOMNARY_EXPORT_TOOL, {}, c.Input);
    EXPECT_EQ(run.ExitCode, c.ExitCode) << run.Stderr.toStdString();
    if (c.ExitCode == 0) {
      EXPECT_EQ(Read(dir.filePath("sealed.html")), expected);
    } else {
      ExpectOneLineMessage(run);
      EXPECT_FALSE(QFile::exists(dir.filePath("sealed.html")));
    }
  }
  const TRun wrong =
      Run({"--passphrase-file", dir.filePath("wrong"), dir.filePath("sealed.xml"), "сон"},
          SOMNARY_SEARCH_TOOL);
  EXPECT_EQ(wrong.ExitCode, 2);
  EXPECT_TRUE(QString::fromUtf8(wrong.Stderr).contains(QString::fromUtf8("неверный пароль")));
  EXPECT_NE(Run({"--passphrase-file", dir.filePath("right"), dir.filePath("sealed.xml"), "сон"},
                SOMNARY_SEARCH_TOOL)
                .ExitCode,
            2);
}

}  // namespace
