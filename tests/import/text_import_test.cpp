// Date lines and the splitting of a text diary into nights and dreams.
#include <gtest/gtest.h>

#include "common/test_files.h"
#include "import/smr_TextImport.h"
#include "xml/xml_mainUnit.h"

namespace {

using test_files::FileText;
using test_files::U;

TEST(DiaryDate, ReadsTheFormsPeopleWrite) {
  const struct {
    const char* line;
    QDate date;
  } cases[] = {
      {"12.03.24", {2024, 3, 12}},
      {"12.03.2024", {2024, 3, 12}},
      {"1.3.2024", {2024, 3, 1}},
      {"01/03/1998", {1998, 3, 1}},
      {"12.03.69", {1969, 3, 12}},
      {"12.03.68", {2068, 3, 12}},
      {"2024-03-12", {2024, 3, 12}},
      {"12 марта 2024", {2024, 3, 12}},
      {"12 МАРТ 2024", {2024, 3, 12}},
      {"1 января 2024 г.", {2024, 1, 1}},
      {"29 февраля 2024 года", {2024, 2, 29}},
      {"## 12.03.2024:", {2024, 3, 12}},
      {"# **12 сентября 2023**", {2023, 9, 12}},
      {"12.03.2024, вторник", {2024, 3, 12}},
      {"12.03.2024 (Вт)", {2024, 3, 12}},
      {"Вторник, 12.03.2024 г.", {2024, 3, 12}},
      {"  12.03.2024.  ", {2024, 3, 12}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseDiaryDate(U(c.line)), c.date) << c.line;
}

TEST(DiaryDate, RefusesImpossibleDatesAndOtherText) {
  const char* cases[] = {"31.02.2024",
                         "29.02.2023",
                         "32 марта 2024",
                         "12.13.2024",
                         "12 мартобря 2024",
                         "12 марта",
                         "12.03.2024 снился дом",
                         "Снилось 12.03.2024",
                         "Снилось, 12.03.2024",
                         "1. Первый сон",
                         "12.03.20245",
                         "12.03-2024",
                         "",
                         "# Полёт",
                         "2024-02-30",
                         "12.03.2024 — полёт над морем"};
  for (const char* line : cases) EXPECT_EQ(ParseDiaryDate(U(line)), std::nullopt) << line;
}

TEST(DiaryDate, NightNameIsTheProgramsShortDate) {
  EXPECT_EQ(NightName(QDate(2024, 3, 1)), U("01.03.24"));
  EXPECT_EQ(NightName(QDate(1998, 12, 31)), U("31.12.98"));
}

// A diary kept over years: a note before the first date, mixed date forms,
// Markdown headings for several dreams of a night, a rule between two, an
// underlined heading.
const char* kDiary =
    "\xEF\xBB\xBF"
    "Мой дневник снов.\r\n"
    "\r\n"
    "12.03.2024\r\n"
    "Летал над городом.\r\n"
    "\r\n"
    "Потом упал в море.\r\n"
    "\r\n"
    "## 13 марта 2024, среда\r\n"
    "# Дом\r\n"
    "Старый дом бабушки.\r\n"
    "# Поезд\r\n"
    "\r\n"
    "Ехал в поезде.\r\n"
    "2024-03-14\r\n"
    "Первый сон.\r\n"
    "---\r\n"
    "Второй сон.\r\n"
    "Сон у моря\r\n"
    "===\r\n"
    "Волны.\r\n"
    "15.03.24\r\n";

TEST(TextDiary, SplitsAtDateLinesAndHeadings) {
  const std::vector<TTextNight> nights = SplitTextDiary(kDiary, U("Без даты"));
  struct Dream {
    const char* title;
    const char* text;
    int line;
  };
  const struct {
    const char* name;
    int line;
    std::vector<Dream> dreams;
  } expected[] = {
      {"Без даты", 1, {{"", "Мой дневник снов.", 1}}},
      {"12.03.24", 3, {{"", "Летал над городом.\n\nПотом упал в море.", 4}}},
      {"13.03.24", 8, {{"Дом", "Старый дом бабушки.", 9}, {"Поезд", "Ехал в поезде.", 11}}},
      {"14.03.24",
       14,
       {{"", "Первый сон.", 15}, {"", "Второй сон.", 17}, {"Сон у моря", "Волны.", 18}}},
      {"15.03.24", 21, {}},
  };
  ASSERT_EQ(nights.size(), std::size(expected));
  for (std::size_t n = 0; n < nights.size(); ++n) {
    SCOPED_TRACE(expected[n].name);
    EXPECT_EQ(nights[n].Name, U(expected[n].name));
    EXPECT_EQ(nights[n].Line, expected[n].line);
    ASSERT_EQ(nights[n].Dreams.size(), expected[n].dreams.size());
    for (std::size_t d = 0; d < nights[n].Dreams.size(); ++d) {
      EXPECT_EQ(nights[n].Dreams[d].Title, U(expected[n].dreams[d].title));
      EXPECT_EQ(nights[n].Dreams[d].Text, U(expected[n].dreams[d].text));
      EXPECT_EQ(nights[n].Dreams[d].Line, expected[n].dreams[d].line);
    }
  }
}

TEST(TextDiary, InvalidUtf8NamesItsLine) {
  try {
    SplitTextDiary("12.03.2024\nСон\n\xC3\x28\n", U("Без даты"));
    FAIL() << "no error";
  } catch (const TImportError& error) {
    EXPECT_EQ(error.Line, 3);
    EXPECT_EQ(QString::fromUtf8(error.what()).left(9), U("Строка 3:"));
  }
}

TEST(TextDiary, JournalHoldsDreamsAsTypedInAndLoadsAgain) {
  std::vector<TTextNight> nights = SplitTextDiary(
      "12.03.2024\n# Сон <1> \xF0\x9F\x98\x80\nЦена €5,\nвторая строка.\n# Второй\n", {});
  TImportedJournal journal = BuildTextJournal(nights);
  // The emoji is replaced; the euro sign is in the code page.
  EXPECT_EQ(journal.Replaced, 1);
  const std::string text = journal.Document->SaveToText();
  EXPECT_EQ(FileText(text),
            "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n"
            "<?xml-stylesheet href=\"../journal.xsl\" type=\"text/xsl\"?>\n"
            "<!DOCTYPE somnary SYSTEM \"../somnary.dtd\">\n\n"
            "<somnary>\n"
            "  <day name=\"12.03.24\">\n"
            "    <experience number=\"001\" title=\"Сон ‹1› ?\">\n"
            "      <description>Цена €5,\n"
            "вторая строка.</description>\n"
            "    </experience>\n"
            "    <experience number=\"002\" title=\"Второй\">\n"
            "    </experience>\n"
            "  </day>\n"
            "</somnary>\n");
  // The reader joins a description's lines with a blank, as for a typed one.
  TXMLParser read;
  read.LoadFromText(text);
  ASSERT_EQ(read.Status, xsLoaded);
  EXPECT_EQ(test_files::Utf8(read.FindNode("description")->FirstText().View()),
            "Цена €5, вторая строка.");
}

}  // namespace
