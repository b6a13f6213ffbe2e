// CSV tables: reading, the column mapping and the journal a table gives.
#include <gtest/gtest.h>

#include "common/test_files.h"
#include "import/smr_TableImport.h"
#include "xml/xml_mainUnit.h"

namespace {

using test_files::FileText;
using test_files::U;

const std::array<QString, 4> kCaptions = {U("Осознанный сон"), U("Астрал"), U("Выход из тела"),
                                          U("Другое")};

QStringList Cells(const char* utf8, QChar separator = u'|') { return U(utf8).split(separator); }

TEST(CsvRead, QuotedFieldsSeparatorsAndLineEnds) {
  const struct {
    const char* bytes;
    const char* header;
    std::vector<const char*> rows;
    std::vector<int> lines;
    char separator;
  } cases[] = {
      {"a,b\n1,2\n", "a|b", {"1|2"}, {2}, ','},
      {"\xEF\xBB\xBF"
       "a;b\r\n\"x;y\";\"say \"\"hi\"\"\"\r\n",
       "a|b",
       {"x;y|say \"hi\""},
       {2},
       ';'},
      // A line break inside quotes, kept as '\n'; the next row's line follows it.
      {"a,b\n\"one\r\ntwo\",2\n3,\"\"\n", "a|b", {"one\ntwo|2", "3|"}, {2, 4}, ','},
      {"a\tb,c\td\n1\t2,3\t4\n\n\n", "a|b,c|d", {"1|2,3|4"}, {2}, '\t'},
      {"\"a,b\";c;d\n1;2;3", "a,b|c|d", {"1|2|3"}, {2}, ';'},
      {"title\n\nx\r", "title", {"x"}, {3}, ','},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    const TCsvTable table = ReadCsv(c.bytes);
    EXPECT_EQ(table.Header, Cells(c.header));
    EXPECT_EQ(table.Separator, QLatin1Char(c.separator));
    ASSERT_EQ(table.Rows.size(), c.rows.size());
    for (std::size_t i = 0; i < c.rows.size(); ++i) EXPECT_EQ(table.Rows[i], Cells(c.rows[i]));
    EXPECT_EQ(table.RowLines, c.lines);
  }
}

TEST(CsvRead, ErrorsNameTheLine) {
  const struct {
    const char* bytes;
    int line;
    const char* message;
  } cases[] = {
      {"a;b;c\n1;2;3\n\"x\ny\";2\n", 3, "Строка 3: полей 2, а в строке заголовка 3."},
      {"a,b\n1,2\n3,\xFF\n", 3, "Строка 3: текст не в кодировке UTF-8."},
      {"a,b\n1,\"open\n\n2,3\n", 2, "Строка 2: поле в кавычках открыто здесь"},
      {"\xEF\xBB\xBF", 0, "В файле нет строки заголовка."},
  };
  for (const auto& c : cases) {
    try {
      ReadCsv(c.bytes);
      ADD_FAILURE() << "no error for " << c.bytes;
    } catch (const TImportError& error) {
      EXPECT_EQ(error.Line, c.line);
      EXPECT_TRUE(QString::fromUtf8(error.what()).startsWith(U(c.message))) << error.what();
    }
  }
}

TEST(CsvMapping, GuessesTheExportsNamesAndCommonOnes) {
  const QStringList header = Cells(
      "Ночь|Номер|TITLE|Сон|Примечание|осознанный сон|Выход из тела|Energy|Только чтение|Место|"
      "Дата| |ОТМЕТКА 2|Название");
  // The export names a mark without a caption by its place.
  const TCsvMapping mapping =
      GuessCsvMapping(header, {kCaptions[0], QString(), kCaptions[2], kCaptions[3]});
  const TCsvField expected[] = {TCsvField::Night,       TCsvField::Number,  TCsvField::Title,
                                TCsvField::Description, TCsvField::Comment, TCsvField::Mark1,
                                TCsvField::Mark3,       TCsvField::Energy,  TCsvField::ReadOnly,
                                TCsvField::Property,    TCsvField::Date,    TCsvField::Ignore,
                                TCsvField::Mark2,       TCsvField::Ignore};
  ASSERT_EQ(mapping.size(), std::size(expected));
  for (std::size_t i = 0; i < mapping.size(); ++i) EXPECT_EQ(mapping[i].Field, expected[i]) << i;
  EXPECT_EQ(mapping[9].PropertyName, U("Место"));
}

TEST(CsvMapping, RememberedByNameFitsReorderedColumns) {
  const QStringList first = Cells("Дата|Сон; \"ночной\"|Место=где");
  TCsvMapping mapping = GuessCsvMapping(first, kCaptions);
  mapping[1] = {TCsvField::Title, {}};
  mapping[2] = {TCsvField::Property, U("place:1 €😀")};
  const QString saved = SaveCsvMapping(first, mapping);
  // One line, safe in a settings attribute of the code page.
  for (const QChar ch : saved) EXPECT_TRUE(ch.unicode() > u' ' && !QString("\"<>").contains(ch));

  const QStringList second = Cells("Описание|Место=где|Новая|Дата|Сон; \"ночной\"");
  const TCsvMapping loaded =
      LoadCsvMapping(second, saved + U(";Лишняя=title;Описание=unknown;=;xyz"), kCaptions);
  ASSERT_EQ(loaded.size(), 5u);
  EXPECT_EQ(loaded[0].Field, TCsvField::Description);  // unknown field: the guess
  EXPECT_EQ(loaded[1].Field, TCsvField::Property);
  EXPECT_EQ(loaded[1].PropertyName, U("place:1 €😀"));
  EXPECT_EQ(loaded[2].Field, TCsvField::Property);
  EXPECT_EQ(loaded[2].PropertyName, U("Новая"));
  EXPECT_EQ(loaded[3].Field, TCsvField::Date);
  EXPECT_EQ(loaded[4].Field, TCsvField::Title);
}

const char* kTable =
    "Дата;Название;Описание;Комментарий;Осознанный сон;Астрал;Энергия;Только чтение;Место;Номер\n"
    "12.03.2024;Полёт;\"Над морем,\nвысоко\";\"раз\nдва\";да;;0,5;;Крым 😀;\n"
    "13 марта 2024 г.;Дом;;;нет;;-1;x;;\n"
    "12.03.24 23:40;Снова;€ и «<>»;;;+;;;\"в \"\"доме\"\"\nвнутри\";7\n"
    ";Без даты;;;;;;;;\n"
    ";;;;;;;;;\n";

TEST(CsvJournal, RowsBecomeExperiencesAsTypedIn) {
  const TCsvTable table = ReadCsv(kTable);
  const TImportedJournal journal =
      BuildCsvJournal(table, GuessCsvMapping(table.Header, kCaptions), U("Без даты"));
  EXPECT_EQ(journal.Replaced, 1);  // the emoji; the euro sign is in the code page
  const std::string text = journal.Document->SaveToText();
  EXPECT_EQ(FileText(text),
            "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n"
            "<?xml-stylesheet href=\"../journal.xsl\" type=\"text/xsl\"?>\n"
            "<!DOCTYPE somnary SYSTEM \"../somnary.dtd\">\n\n"
            "<somnary>\n"
            "  <day name=\"12.03.24\">\n"
            "    <experience number=\"001\" title=\"Полёт\">\n"
            "      <description>Над морем,\n"
            "высоко</description>\n"
            "      <comment>раз два</comment>\n"
            "      <properties label1=\"true\" label2=\"false\" label3=\"false\" "
            "label4=\"false\">\n"
            "        <parameter control=\"Место\" value=\"Крым ?\" />\n"
            "      </properties>\n"
            "      <energy level=\"50\" />\n"
            "    </experience>\n"
            "    <experience number=\"7\" title=\"Снова\">\n"
            "      <description>€ и «‹>»</description>\n"
            "      <properties label1=\"false\" label2=\"true\" label3=\"false\" "
            "label4=\"false\">\n"
            "        <parameter control=\"Место\" value=\"в ”доме”\n"
            "внутри\" />\n"
            "      </properties>\n"
            "    </experience>\n"
            "  </day>\n"
            "  <day name=\"13.03.24\">\n"
            "    <experience number=\"003\" title=\"Дом\" readonly=\"true\">\n"
            "      <energy level=\"200\" />\n"
            "    </experience>\n"
            "  </day>\n"
            "  <day name=\"Без даты\">\n"
            "    <experience number=\"004\" title=\"Без даты\">\n"
            "    </experience>\n"
            "  </day>\n"
            "</somnary>\n");
  TXMLParser read;
  read.LoadFromText(text);
  EXPECT_EQ(read.Status, xsLoaded);
}

TEST(CsvJournal, UnreadableValuesNameTheirLine) {
  const struct {
    const char* bytes;
    const char* message;
  } cases[] = {
      {"Название,Энергия\nа,0.5\nб,много\n", "Строка 3: энергия «много»"},
      {"Название,Энергия\n\"а\nб\",1.5\n", "Строка 2: энергия «1.5»"},
      {"Дата,Название\n31.02.2024,а\n", "Строка 2: дата «31.02.2024» не распознана."},
  };
  for (const auto& c : cases) {
    const TCsvTable table = ReadCsv(c.bytes);
    try {
      BuildCsvJournal(table, GuessCsvMapping(table.Header, kCaptions), U("Без даты"));
      ADD_FAILURE() << "no error for " << c.bytes;
    } catch (const TImportError& error) {
      EXPECT_TRUE(QString::fromUtf8(error.what()).startsWith(U(c.message))) << error.what();
    }
  }
}

}  // namespace
