// The JSON export and its import: a journal comes back byte for byte, with
// its description pages; input that is not a journal's JSON is refused with
// the line and nothing is written.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <string>

#include "common/test_files.h"
#include "export/smr_DiskSources.h"
#include "export/smr_JSONExporter.h"
#include "import/smr_ImportFile.h"
#include "import/smr_JSONImport.h"
#include "storage/smr_StoredPath.h"
#include "xml/xml_functions.h"
#include "xml/xml_mainUnit.h"

using test_files::Cp1251;
using test_files::FileBytes;

namespace {

std::string Env(const char* name) { return qEnvironmentVariable(name).toStdString(); }

std::string Json(const TXMLParser& document, const std::map<std::string, std::string>& pages = {}) {
  TJSONExporter exporter;
  exporter.Label1Caption = Cp1251("Осознанный сон");
  exporter.Label2Caption = Cp1251("Астральная проекция");
  exporter.Label3Caption = Cp1251("Выход из тела");
  exporter.Label4Caption = Cp1251("Осознанный сон");  // repeated: keyed by its attribute
  exporter.Prolog = &document.Parameters;
  exporter.StoredFile = [&pages](const std::string& stored) -> std::optional<std::string> {
    const auto found = pages.find(stored);
    if (found == pages.end()) return std::nullopt;
    return found->second;
  };
  return exporter.ExportToText(document.Root.get());
}

class JsonImport : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Dir.isValid()); }
  std::string Path(const char* name) const { return Dir.filePath(name).toStdString(); }
  // The journal file an import of the JSON writes into the folder.
  std::string ImportAndWrite(const std::string& json, int* replaced = nullptr) {
    TImportedJournal journal = ImportJSON(json);
    if (replaced) *replaced = journal.Replaced;
    WriteImportedJournal(journal, Path("imported.xml"), Dir.path());
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(Path("imported.xml"), bytes));
    return bytes;
  }
  QTemporaryDir Dir;
};

struct TShipped {
  const char* Folder;  // the variable that names it
  const char* File;
};

class JsonRoundTrip : public JsonImport, public ::testing::WithParamInterface<TShipped> {};

TEST_P(JsonRoundTrip, ShippedJournalComesBackByteForByte) {
  const std::string file = Env(GetParam().Folder) + GetParam().File;
  TXMLParser document;
  document.Load(file);
  ASSERT_EQ(document.Status, xsLoaded) << file;
  int replaced = -1;
  EXPECT_EQ(ImportAndWrite(Json(document), &replaced), document.SaveToText()) << file;
  EXPECT_EQ(replaced, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, JsonRoundTrip,
                         ::testing::Values(TShipped{"SOMNARY_TEST_DATA",
                                                    "/export/journal/input.xml"},
                                           TShipped{"SOMNARY_RESOURCES", "/sample/autumn2026.xml"},
                                           TShipped{"SOMNARY_RESOURCES", "/sample/practice.xml"}));

TEST_F(JsonImport, EveryByteAndUnknownPartComesBackWithTheDescriptionPages) {
  // Unknown elements and attributes, an empty element, an element with no
  // content, a repeated attribute, the unassigned byte 0x98 (#), a tab and a
  // lone CR in a text, a mark under its older name, and three HTML pages:
  // windows-1251, UTF-8 with a byte order mark, bytes no charset reads.
  std::string xml = FileBytes(
      "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\" x-extra=\"1\"?>\n"
      "<?xml-stylesheet href=\"my.xsl\" type=\"text/xsl\"?>\n"
      "<!DOCTYPE somnary SYSTEM \"../somnary.dtd\">\n"
      "<somnary version=\"2\">\n"
      "  <note kind=\"x\">заметка &amp; > ключ</note>\n"
      "  <day name=\"01.02.03\">\n"
      "    <experience number=\"001\" title=\"Сон #\" mood=\"ok\" readonly=\"true\">\n"
      "      <description>Текст\tс табом\r и CR #</description>\n"
      "      <comment></comment>\n"
      "      <properties luciddream=\"true\" label1=\"false\" label2=\"true\" label2=\"x\">\n"
      "        <parameter control=\"GROUP\">\n"
      "          <parameter control=\"mood\" value=\"радость\" />\n"
      "        </parameter>\n"
      "      </properties>\n"
      "      <energy level=\"30\" />\n"
      "      <future />\n"
      "    </experience>\n"
      "    <experience number=\"002\" type=\"html\" file=\"j_002.html\" />\n"
      "    <experience number=\"003\" type=\"html\" file=\"sub/j_003.html\" />\n"
      "    <experience number=\"004\" type=\"html\" file=\"j_004.html\" />\n"
      "    <experience number=\"005\" type=\"html\" file=\"gone.html\" />\n"
      "  </day>\n"
      "</somnary>\n");
  for (char& c : xml)
    if (c == '#') c = '\x98';
  const std::map<std::string, std::string> pages = {
      {"j_002.html", Cp1251("<p>Страница ") + std::string("\x98\0!", 3) + "</p>"},
      {"sub/j_003.html", "\xEF\xBB\xBF<p>\xE4\xB8\xAD \xD0\xAF</p>"},
      {"j_004.html", "<meta charset=\"utf-8\"><p>\xFF</p>"}};
  TXMLParser document;
  document.LoadFromText(xml);
  ASSERT_EQ(document.Status, xsLoaded);
  const std::string json = Json(document, pages);

  // The readable extras, as the program reads the experience.
  EXPECT_NE(json.find("\"marks\": {\"Осознанный сон\": true, \"Астральная проекция\": true, "
                      "\"Выход из тела\": false, \"label4\": false}, \"energy\": 0.7, "
                      "\"readOnly\": true, \"properties\": [{\"name\": \"mood\", "
                      "\"value\": \"радость\"}]"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"attributes\": [[\"luciddream\", \"true\"], [\"label1\", \"false\"], "
                      "[\"label2\", \"true\"], [\"label2\", \"x\"]]"),
            std::string::npos);
  EXPECT_NE(json.find("\"descriptionFile\": {\"name\": \"gone.html\", \"missing\": true}"),
            std::string::npos);
  EXPECT_NE(json.find("\"encoding\": \"UTF-8\", \"bom\": true"), std::string::npos);
  EXPECT_NE(json.find("\"base64\": \""), std::string::npos);
  EXPECT_NE(json.find("{\"text\": \"Текст\\tс табом\\r и CR \\u0098\"}"), std::string::npos);

  int replaced = -1;
  EXPECT_EQ(ImportAndWrite(json, &replaced), document.SaveToText());
  EXPECT_EQ(replaced, 0);
  for (const auto& [name, bytes] : pages)
    EXPECT_EQ(test_files::Read(Dir.filePath(QString::fromStdString(name))).toStdString(), bytes)
        << name;
  EXPECT_FALSE(QFile::exists(Dir.filePath("gone.html")));
}

TEST_F(JsonImport, LibraryCarriesItsJournalsAndIsRefusedWithTheirNames) {
  const QString resources = qEnvironmentVariable("SOMNARY_RESOURCES");
  TXMLParser library;
  library.Load((resources + "/sample/library.xml").toStdString());
  ASSERT_EQ(library.Status, xsLoaded);
  TXMLNode* lost = library.Root->Child(0)->AddChild(new TXMLNode("file", nkEmptyElement));
  lost->SetAttribute("name", "lost");
  lost->SetAttribute("path", "sample/lost.xml");
  TJSONExporter exporter;
  TDiskSources sources(TStoredPaths(resources + "/sample", resources));
  sources.Attach(exporter);
  const std::string json = exporter.ExportToText(library.Root.get());
  EXPECT_NE(json.find("\"kind\": \"library\""), std::string::npos);
  EXPECT_NE(json.find("\"name\": \"lost\", \"path\": \"sample/lost.xml\"}, \"journal\": "
                      "{\"missing\": true}}"),
            std::string::npos)
      << json;
  std::size_t embedded = 0;
  for (std::size_t at = 0; (at = json.find("\"journal\": {\"root\": {\"element\": \"somnary\"",
                                           at)) != std::string::npos;
       ++at)
    ++embedded;
  EXPECT_EQ(embedded, 2u);
  try {
    ImportJSON(json);
    FAIL() << "a library was imported";
  } catch (const TImportError& error) {
    EXPECT_EQ(error.Line, 4);
    EXPECT_NE(std::string(error.what()).find("«Осень 2026»"), std::string::npos) << error.what();
  }
}

TEST_F(JsonImport, HandEditedValuesAreMadeStorable) {
  const std::string json = R"({"format": "somnary", "version": 1, "kind": "journal",
  "root": {"element": "somnary", "children": [
    {"element": "day", "attributes": {"name": "a\"b<c>d\r\ne\nf"}, "children": [
      {"element": "comment", "children": [{"text": "x < y\nz \ud83d\ude00 中"}]},
      {"element": "energy", "empty": true, "children": [{"text": "kept"}]},
      {"children": [{"text": "names last"}], "attributes": {"a": "1"}, "element": "note"}]}]}})";
  int replaced = -1;
  const std::string bytes = ImportAndWrite(json, &replaced);
  EXPECT_EQ(replaced, 2);
  TXMLParser written;
  written.LoadFromText(bytes);
  ASSERT_EQ(written.Status, xsLoaded) << bytes;
  const TXMLNode* day = written.Root->Child(0);
  EXPECT_EQ(day->GetAttribute("name"), Cp1251("a”b‹c›d e f"));
  EXPECT_EQ(day->Child(0)->FirstText().str(), Cp1251("x ‹ y z ? ?"));
  EXPECT_EQ(day->Child(1)->Kind, nkElement);
  EXPECT_EQ(day->Child(1)->FirstText().str(), "kept");
  EXPECT_EQ(day->Child(2)->Name.str(), "note");
  EXPECT_EQ(day->Child(2)->GetAttribute("a"), "1");
  EXPECT_EQ(day->Child(2)->FirstText().str(), "names last");
}

struct TBadCase {
  const char* Name;
  std::string Json;
  int Line;
};

TEST_F(JsonImport, BadInputIsRefusedWithItsLineAndNothingIsWritten) {
  const std::string head = "{\n\"format\": \"somnary\",\n\"version\": 1,\n\"kind\": \"journal\",\n";
  const std::vector<TBadCase> cases = {
      {"missing comma", "{\n\"format\": \"somnary\"\n\"version\": 1}", 3},
      {"cut short", head + "\"root\": {\"element\": \"somnary\",\n\"children\": [", 6},
      {"another schema", "{\"type\": \"FeatureCollection\",\n\"features\": []}", 1},
      {"another format", "{\n\"format\": \"geojson\"}", 2},
      {"newer version", "{\"format\": \"somnary\",\n\"kind\": \"journal\",\n\"version\": 2}", 3},
      {"invalid UTF-8", head + "\"root\": {\"element\":\n\"som\xC3\x28nary\"}}", 6},
      {"lone surrogate", head + "\n\"root\": {\"element\": \"\\ud800\"}}", 6},
      {"not a journal", head + "\"marks\": [],\n\"root\": {\"element\": \"dreamlibrary\"}}", 6},
      {"unstorable name",
       head + "\"root\": {\"element\": \"somnary\", \"children\": [\n"
              "{\"element\": \"a b\"}]}}",
       6},
      {"text and element", head + "\"root\":\n{\"element\": \"somnary\", \"text\": \"\"}}", 6},
      {"text after the end", head + "\"root\": {\"element\": \"somnary\"}}\n\n[]", 7},
  };
  ASSERT_TRUE(QDir(Dir.path()).mkdir("out"));
  const auto importInto = [&](const std::string& input) {
    TImportedJournal journal = ImportJSON(ReadImportFile(input));
    WriteImportedJournal(journal, Path("out/journal.xml"), Dir.filePath("out"));
  };
  for (const TBadCase& c : cases) {
    WriteFileAtomically(Path("input.json"), c.Json);
    try {
      importInto(Path("input.json"));
      ADD_FAILURE() << c.Name << ": imported";
    } catch (const TImportError& error) {
      EXPECT_EQ(error.Line, c.Line) << c.Name << ": " << error.what();
      EXPECT_TRUE(std::string(error.what()).starts_with("Строка " + std::to_string(c.Line) + ":"))
          << c.Name << ": " << error.what();
    }
  }
  QFile sparse(Dir.filePath("huge.json"));
  ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.resize(200LL * 1024 * 1024));
  sparse.close();
  try {
    importInto(Path("huge.json"));
    ADD_FAILURE() << "200 MB imported";
  } catch (const TImportError& error) {
    EXPECT_EQ(error.Line, 0);
  }
  EXPECT_TRUE(QDir(Dir.filePath("out")).isEmpty());
}

}  // namespace
