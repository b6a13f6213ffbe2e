// The export command of the main window: its dialog, the choice of
// exporter by filter, the mark captions and failures.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QTreeWidget>

#include "import/smr_TableImport.h"
#include "main_form_fixture.h"

namespace {

class ExportCommand : public TMainFormFixture {
 protected:
  void SetUp() override {
    WriteFile("lib.xml",
              "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n\n\n"
              "<dreamlibrary name=\"Сны\">\n  <directory name=\"Кат\">\n"
              "    <file name=\"Ж\" path=\"" +
                  NativePath("j.xml") + "\" />\n  </directory>\n</dreamlibrary>\n");
    WriteFile(
        "j.xml",
        "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n\n\n<somnary>\n"
        "  <day name=\"01.02.03\">\n    <experience number=\"001\" title=\"Полёт\">\n"
        "      <properties label1=\"true\" />\n      <energy level=\"30\" />\n"
        "    </experience>\n  </day>\n</somnary>\n");
    WriteSettings(NativePath("lib.xml"));
    Start();
  }
  QTreeWidgetItem* Journal() const {
    return Node({QString::fromUtf8("Сны"), QString::fromUtf8("Кат"), QString::fromUtf8("Ж")});
  }
};

TEST_F(ExportCommand, IsOnlyForTheLibraryAndJournals) {
  Select(Tree()->topLevelItem(0));
  EXPECT_TRUE(Form->mnu_Export->isEnabled());
  Select(Node({QString::fromUtf8("Сны"), QString::fromUtf8("Кат")}));
  EXPECT_FALSE(Form->mnu_Export->isEnabled());
  Select(Journal());
  EXPECT_TRUE(Form->mnu_Export->isEnabled());
  Select(Journal()->child(0));
  EXPECT_FALSE(Form->mnu_Export->isEnabled());
}

TEST_F(ExportCommand, TheFilterChoosesTheFormatAndTheMarkBoxesGiveTheCaptions) {
  Select(Journal());
  const std::string journalBefore = ReadBytes("j.xml");
  Prompts->SaveFiles.push_back(Path("out.html"));
  Prompts->SaveFilterIndexes.push_back(2);  // "Просто текст", whatever the name says
  Form->mnu_Export->trigger();
  ASSERT_EQ(Prompts->Count("Save"), 1);
  EXPECT_EQ(Prompts->Asked.back().Text, QString::fromUtf8("Экспортировать"));
  EXPECT_EQ(Prompts->Asked.back().Filter,
            QString::fromUtf8("Гипертекст (*.html)|*.html|Просто текст (*.txt)|*.txt|JSON "
                              "(*.json)|*.json|CSV (*.csv)|*.csv|Markdown (*.md)|*.md"));
  const std::string text = ReadText("out.html");
  EXPECT_EQ(text.rfind("+------", 0), 0u) << text;
  EXPECT_NE(text.find("001. Полёт\n"), std::string::npos) << text;
  EXPECT_NE(text.find("    Осознанный сон: да\n    Астральная проекция: нет\n"), std::string::npos)
      << text;
  EXPECT_EQ(ReadBytes("j.xml"), journalBefore);

  // The dialog remembers its filter; the first filter gives HTML.
  Prompts->SaveFiles.push_back(Path("out.txt"));
  Prompts->SaveFilterIndexes.push_back(1);
  Form->mnu_ExportClick();
  EXPECT_EQ(ReadText("out.txt").rfind("<html>\n<head>\n", 0), 0u);
}

TEST_F(ExportCommand, HtmlPageGetsTheProgramsStyleSheetBesideItWhenItHasNone) {
  const QString resources = qEnvironmentVariable("SOMNARY_RESOURCES");
  for (const char* css : {"library.css", "journal.css"})
    ASSERT_TRUE(QFile::copy(resources + "/" + css, Path(css)));
  struct TCase {
    bool library;
    const char* page;
    const char* css;
  } cases[] = {{true, "a/lib.html", "a/library.css"}, {false, "b/j.html", "b/journal.css"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.page);
    QDir().mkpath(QFileInfo(Path(c.page)).absolutePath());
    Select(c.library ? Tree()->topLevelItem(0) : Journal());
    Prompts->SaveFiles.push_back(Path(c.page));
    Prompts->SaveFilterIndexes.push_back(1);
    Form->mnu_ExportClick();
    EXPECT_EQ(ReadBytes(c.css), ReadBytes(QFileInfo(c.css).fileName()));
    EXPECT_NE(ReadBytes(c.css).find("body"), std::string::npos);
  }
  // A style sheet already there is the user's: kept; a text export gets none.
  WriteBytes("a/library.css", "mine");
  Select(Tree()->topLevelItem(0));
  Prompts->SaveFiles.push_back(Path("a/lib.html"));
  Prompts->SaveFilterIndexes.push_back(1);
  Form->mnu_ExportClick();
  EXPECT_EQ(ReadBytes("a/library.css"), "mine");
  Prompts->SaveFiles.push_back(Path("c/lib.txt"));
  Prompts->SaveFilterIndexes.push_back(2);
  QDir().mkpath(Path("c"));
  Form->mnu_ExportClick();
  EXPECT_EQ(ReadBytes("c/library.css"), "<missing>");
  EXPECT_EQ(Prompts->Count("Error"), 0);
}

TEST_F(ExportCommand, CancelWritesNothingAndAFailedWriteShowsTheMessage) {
  Select(Tree()->topLevelItem(0));
  Prompts->SaveFiles.push_back(QString());
  Form->mnu_ExportClick();
  EXPECT_FALSE(QFile::exists(Path("out.html")));
  Prompts->SaveFiles.push_back(Path("missing/out.html"));
  Form->mnu_ExportClick();
  ASSERT_EQ(Prompts->Count("Error"), 1);
  EXPECT_TRUE(Prompts->Messages("Error").front().contains("missing/out.html"));
}

// Import into the selected catalogue: a new journal beside the library,
// never a change to an existing one.
class ImportCommand : public ExportCommand {
 protected:
  QTreeWidgetItem* Catalogue() const {
    return Node({QString::fromUtf8("Сны"), QString::fromUtf8("Кат")});
  }
  void Import(const QString& name) {
    Select(Catalogue());
    Prompts->OpenFiles.push_back(Path(name));
    Form->mnu_Import->trigger();
  }
};

TEST_F(ImportCommand, AJournalExportedAsJSONComesBackByteForByteAsANewJournal) {
  Select(Journal());
  EXPECT_FALSE(Form->mnu_Import->isEnabled());
  Prompts->SaveFiles.push_back(Path("ж.json"));
  Prompts->SaveFilterIndexes.push_back(3);
  Form->mnu_ExportClick();
  Import("ж.json");
  ASSERT_EQ(Prompts->Count("Error"), 0) << Prompts->Messages("Error").join("\n").toStdString();
  QTreeWidgetItem* imported =
      Node({QString::fromUtf8("Сны"), QString::fromUtf8("Кат"), QString::fromUtf8("ж")});
  ASSERT_TRUE(imported);
  EXPECT_EQ(Tree()->currentItem(), imported);
  EXPECT_EQ(imported->childCount(), 1);
  EXPECT_EQ(ReadBytes("ж.xml"), ReadBytes("j.xml"));
  // The same input again gets a file of its own.
  Import("ж.json");
  EXPECT_EQ(ReadBytes("ж_2.xml"), ReadBytes("j.xml"));
  Stop();
  const std::string library = ReadText("lib.xml");
  EXPECT_NE(library.find("<file name=\"ж\" path=\"ж.xml\""), std::string::npos) << library;
  EXPECT_NE(library.find("<file name=\"ж\" path=\"ж_2.xml\""), std::string::npos) << library;
}

TEST_F(ImportCommand, ACsvGoesThroughThePreviewWhoseMappingIsRemembered) {
  WriteBytes("сны.csv", "Дата;Название;Место\r\n12.03.2024;Полёт;крыша\r\n");
  Prompts->ImportAnswer = [](const TPrompts::TImportRequest& request) {
    const TCsvTable table = ReadCsv(request.Bytes);
    const TCsvMapping mapping = GuessCsvMapping(table.Header, request.Captions);
    TPrompts::TImportAnswer answer;
    answer.Ok = true;
    answer.Journal = BuildCsvJournal(table, mapping, QStringLiteral("-"));
    answer.Mapping = SaveCsvMapping(table.Header, mapping);
    return answer;
  };
  Import("сны.csv");
  ASSERT_EQ(Prompts->Count("ImportPreview"), 1);
  EXPECT_EQ(Prompts->Asked.back().Mode, 1);  // a table
  QTreeWidgetItem* imported =
      Node({QString::fromUtf8("Сны"), QString::fromUtf8("Кат"), QString::fromUtf8("сны")});
  ASSERT_TRUE(imported);
  ASSERT_EQ(imported->childCount(), 1);
  EXPECT_EQ(imported->child(0)->text(0), QStringLiteral("12.03.24"));
  const QString remembered = Prompts->Asked.back().Filter;
  EXPECT_TRUE(remembered.isEmpty());
  Import("сны.csv");
  EXPECT_FALSE(Prompts->Asked.back().Filter.isEmpty());
  EXPECT_NE(ReadText("сны.xml").find("Полёт"), std::string::npos);
  // Cancelled: nothing more is written.
  Prompts->ImportAnswer = nullptr;
  Import("сны.csv");
  EXPECT_FALSE(QFile::exists(Path("сны_3.xml")));
  Stop();
  EXPECT_NE(ReadText("dreams.ini").find("<csvimport>"), std::string::npos);
}

TEST_F(ImportCommand, ABadInputIsToldWithItsLineAndWritesNothing) {
  WriteBytes("bad.json", "{\n  \"format\": \"somnary\",\n  oops\n}\n");
  const QStringList before = QDir(Dir.path()).entryList(QDir::Files);
  Import("bad.json");
  ASSERT_EQ(Prompts->Count("Error"), 1);
  const QString message = Prompts->Messages("Error").front();
  EXPECT_TRUE(message.contains("bad.json") && message.contains('3')) << message.toStdString();
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), before);
  EXPECT_EQ(Catalogue()->childCount(), 1);
}

}  // namespace
