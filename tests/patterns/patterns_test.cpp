// Dream signs in the library file and the patterns of hand-written
// journals: runs of nights, the signs' figures against the search's own
// count, frequent words, trends, energy and the highlighter's matcher.
#include <gtest/gtest.h>

#include <QString>

#include "patterns/smr_DreamSigns.h"
#include "patterns/smr_Patterns.h"
#include "patterns/smr_SignMatcher.h"
#include "search/search_test_util.h"
#include "search/smr_SearchIndex.h"
#include "storage/smr_Cp1251.h"
#include "storage/smr_Types.h"
#include "xml/xml_node.h"

namespace {

using test_files::U;

// An experience: its description, then what goes into `properties` and the
// energy level when given.
std::string Experience(const char* text, const char* marks = "", int level = -1) {
  std::string xml =
      std::string("<experience number=\"001\"><description>") + text + "</description>";
  if (*marks) xml += std::string("<properties ") + marks + "/>";
  if (level >= 0) xml += "<energy level=\"" + std::to_string(level) + "\"/>";
  return xml + "</experience>";
}

std::string Night(const char* name, const std::string& experiences) {
  return std::string("<day name=\"") + name + "\">" + experiences + "</day>\r\n";
}

std::string Text(const std::string& cp1251) { return Cp1251ToUtf8(cp1251); }
std::string Name(const TNightRef& night) {
  return night.Night ? Text(night.Night->GetAttribute(smr::atName)) : std::string();
}

// Journals parsed from text, indexed, and the model of them all.
class Patterns : public ::testing::Test {
 protected:
  void Add(const std::string& days) { Documents.push_back(Parsed(JournalText(days))); }
  const TPatternModel& Model() {
    std::vector<TPatternJournal> journals;
    for (const auto& document : Documents) journals.push_back({nullptr, document->Root.get()});
    Built = std::make_unique<TPatternModel>(Index, journals);
    return *Built;
  }
  static std::vector<TDreamSign> Signs(std::initializer_list<const char*> texts) {
    std::vector<TDreamSign> signs;
    for (const char* text : texts) signs.push_back({Utf8ToCp1251(text), {}});
    return signs;
  }

  TSearchIndex Index{[](const std::string& stored) { return stored; }};
  std::vector<std::unique_ptr<TXMLParser>> Documents;
  std::unique_ptr<TPatternModel> Built;
};

// ---------------------------------------------------------------- signs in the file

TEST(DreamSigns, TheElementIsWrittenThroughTheTextEdgeAndGoesWithTheLastSign) {
  const std::string prolog =
      "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n"
      "<?xml-stylesheet href=\"library.xsl\" type=\"text/xsl\"?>\r\n"
      "<!DOCTYPE dreamlibrary SYSTEM \"dream_library.dtd\">\r\n\r\n"
      "<dreamlibrary name=\"Сны\">\r\n  <directory name=\"Дом\" />\r\n";
  auto library = Parsed(test_files::Cp1251(prolog + "</dreamlibrary>\r\n"));
  const std::string original = library->SaveToText();
  EXPECT_EQ(Text(original), prolog + "</dreamlibrary>\r\n");
  TXMLNode& root = *library->Root;
  const std::string head = prolog + "  <dreamsigns>\r\n";
  const std::string tail = "  </dreamsigns>\r\n</dreamlibrary>\r\n";

  EXPECT_TRUE(AddDreamSign(root, U("  Летал\nнад  «морем» \"x\" "), U("Осознание")));
  EXPECT_TRUE(AddDreamSign(root, U("зеркало"), U("Форма")));
  EXPECT_TRUE(AddDreamSign(root, U("лестница"), U("")));
  EXPECT_EQ(Text(library->SaveToText()),
            head +
                "    <sign text=\"Летал над «морем» ”x”\" category=\"Осознание\" />\r\n"
                "    <sign text=\"зеркало\" category=\"Форма\" />\r\n"
                "    <sign text=\"лестница\" category=\"\" />\r\n" +
                tail);
  // The same words again, or none, are no new sign; nor is a rename onto another.
  EXPECT_FALSE(AddDreamSign(root, U("ЗЕРКАЛО"), U("Форма")));
  EXPECT_FALSE(AddDreamSign(root, U(" .,; "), U("Форма")));
  EXPECT_FALSE(ChangeDreamSign(root, 2, U("Зеркало!"), U("Форма")));
  EXPECT_TRUE(ChangeDreamSign(root, 1, U("Зеркало!"), U("Моя")));
  EXPECT_TRUE(MoveDreamSign(root, 2, 0));
  EXPECT_TRUE(RemoveDreamSign(root, 1));
  EXPECT_FALSE(RemoveDreamSign(root, 2));
  EXPECT_EQ(Text(library->SaveToText()), head +
                                             "    <sign text=\"лестница\" category=\"\" />\r\n"
                                             "    <sign text=\"Зеркало!\" category=\"Моя\" />\r\n" +
                                             tail);
  // What is written reads back as the list shows it.
  const auto read = Parsed(library->SaveToText());
  const std::vector<TDreamSign> signs = ReadDreamSigns(*read->Root);
  ASSERT_EQ(signs.size(), 2u);
  EXPECT_EQ(Text(signs[1].Text), "Зеркало!");
  EXPECT_EQ(Text(signs[1].Category), "Моя");

  EXPECT_TRUE(RemoveDreamSign(root, 0));
  EXPECT_TRUE(RemoveDreamSign(root, 0));
  EXPECT_EQ(library->SaveToText(), original);
}

// ---------------------------------------------------------------- calendar

TEST_F(Patterns, RunsCrossTheYearAndSkipUndatedNights) {
  // 30.12.23 - 01.01.24 is the longest run, across the year; 03.01 - 04.01
  // the last; the undated night and the night without experiences break nothing.
  Add(Night("30.12.23", Experience("а", "label1=\"true\"") + Experience("б", "label3=\"true\"")) +
      Night("31.12.23", Experience("в")) + Night("Без даты", Experience("г")) +
      Night("01.01.24", Experience("д", "luciddream=\"true\"")) + Night("02.01.24", "") +
      Night("03.01.24", Experience("е")));
  Add(Night("04.01.24", Experience("ж", "label1=\"true\"")) + Night("лето", Experience("з")) +
      Night("10.02.24", Experience("и")) + Night("04.01.24", Experience("к")));
  const TPatternModel& model = Model();

  const TCalendar calendar = MakeCalendar(model, 20240105);
  std::string days;
  for (const TCalendarDay& day : calendar.Days)
    days += std::to_string(day.Date) + ":" + std::to_string(day.Experiences) + ":" +
            std::to_string(day.Marks) + " ";
  EXPECT_EQ(days, "20231230:2:5 20231231:1:0 20240101:1:1 20240103:1:0 20240104:2:1 20240210:1:0 ");
  // A date named twice is shown by its first night.
  EXPECT_EQ(calendar.Days[4].Night.Night, Documents[1]->Root->Child(0));
  EXPECT_EQ(calendar.Longest.Nights, 3);
  EXPECT_EQ(calendar.Longest.First, 20231230);
  EXPECT_EQ(calendar.Longest.Last, 20240101);
  ASSERT_EQ(calendar.Months.size(), 3u);
  EXPECT_EQ(calendar.Months[0].Month, 202312);
  EXPECT_EQ(calendar.Months[0].Experiences, 3);
  EXPECT_EQ(calendar.Months[0].Marks, (std::array<int, 4>{1, 0, 1, 0}));
  EXPECT_EQ(calendar.Months[1].Experiences, 4);
  EXPECT_EQ(calendar.Months[1].Marks[0], 2);
  EXPECT_EQ(calendar.Months[2].Month, 202402);
  ASSERT_EQ(calendar.Undated.size(), 2u);
  EXPECT_EQ(Name(calendar.Undated[1]), "лето");
  EXPECT_EQ(calendar.UndatedExperiences, 2);

  // The current run ends at the last night up to today, if that was today or yesterday.
  const struct {
    int Today, Nights, First;
  } cases[] = {
      {20240104, 2, 20240103}, {20240105, 2, 20240103}, {20240106, 0, 0}, {20240101, 3, 20231230},
      {20240102, 3, 20231230}, {20240211, 1, 20240210}, {20231229, 0, 0},
  };
  for (const auto& c : cases) {
    const TRun current = MakeCalendar(model, c.Today).Current;
    EXPECT_EQ(current.Nights, c.Nights) << c.Today;
    EXPECT_EQ(current.First, c.First) << c.Today;
  }
}

// ---------------------------------------------------------------- signs' figures

TEST_F(Patterns, SignsAreCountedByStemAsTheSearchFindsThem) {
  // Snowball gives "летал", "летали", "летать" the stem "лета", and
  // "полёт", "полёты", "полеты" the stem "полет": those are the pairs.
  Add(Night("Без даты", Experience("Полеты во сне", "label1=\"true\"")) +
      Night("02.03.24", Experience("Я летал над морем", "label1=\"true\"")) +
      Night("05.03.24", Experience("Мы летали. Полёты!") + Experience("лестница, зеркало")) +
      Night("01.04.24", Experience("Учусь летать над морем", "label1=\"true\"")));
  // Words over 16 letters alike at both ends are still two words.
  Add(Night("20.01.24", Experience("Зеркало и лестница над лесом, под морем")) +
      Night("21.01.24", Experience("ааааааааввбббббббб") + Experience("ааааааааггбббббббб")));
  const TPatternModel& model = Model();
  const std::vector<TDreamSign> signs =
      Signs({"летал", "полёт", "\"над морем\"", "зеркало лестница", "летали море", "кот",
             "ааааааааггбббббббб"});
  const std::vector<TSignFigures> table = SignTable(model, signs, Index.Stemmer());

  const struct {
    int Experiences, Lucid;
    const char *First, *Last;
    std::vector<TMonthCount> Months;
  } expected[] = {
      {3, 2, "02.03.24", "01.04.24", {{202403, 2}, {202404, 1}}},
      {2, 1, "05.03.24", "05.03.24", {{202403, 1}}},
      {2, 2, "02.03.24", "01.04.24", {{202403, 1}, {202404, 1}}},
      {2, 0, "20.01.24", "05.03.24", {{202401, 1}, {202403, 1}}},
      {2, 2, "02.03.24", "01.04.24", {{202403, 1}, {202404, 1}}},
      {0, 0, "", "", {}},
      {1, 0, "21.01.24", "21.01.24", {{202401, 1}}},
  };
  ASSERT_EQ(table.size(), signs.size());
  for (std::size_t i = 0; i < signs.size(); ++i) {
    const TSignFigures& f = table[i];
    EXPECT_EQ(f.Experiences, expected[i].Experiences) << i;
    EXPECT_EQ(f.Lucid, expected[i].Lucid) << i;
    EXPECT_EQ(Name(f.First), expected[i].First) << i;
    EXPECT_EQ(Name(f.Last), expected[i].Last) << i;
    ASSERT_EQ(f.Months.size(), expected[i].Months.size()) << i;
    for (std::size_t m = 0; m < f.Months.size(); ++m) {
      EXPECT_EQ(f.Months[m].Month, expected[i].Months[m].Month) << i;
      EXPECT_EQ(f.Months[m].Count, expected[i].Months[m].Count) << i;
    }
    // The search panel finds the same experiences for the sign's text.
    std::size_t searched = 0;
    for (const auto& document : Documents) {
      std::vector<TSearchHit> hits;
      Index.Search(nullptr, *document->Root, TSearchQuery(signs[i].Text, Index.Stemmer()), hits);
      searched += hits.size();
    }
    EXPECT_EQ(searched, static_cast<std::size_t>(f.Experiences)) << i;
  }
  // Undated nights give first and last only when no dated night holds the sign.
  const TSignFigures undated = SignTable(model, Signs({"сне"}), Index.Stemmer())[0];
  EXPECT_EQ(Name(undated.First), "Без даты");
  EXPECT_TRUE(undated.Months.empty());
}

// ---------------------------------------------------------------- suggestions

TEST_F(Patterns, FrequentWordsLeaveOutStopWordsShortWordsAndSigns) {
  Add(Night("01.05.24", Experience("Я снова был в доме, и там кот. Кот!")) +
      Night("02.05.24", Experience("В доме кошка и кот; ещё дом у моря.")) +
      Night("03.05.24", Experience("Дома море, кот, кошки. Он был рядом 2024") +
                            Experience("Море было тёплым, ёж")));
  const TPatternModel& model = Model();
  const auto words = [&](const std::vector<TDreamSign>& signs) {
    std::string out;
    for (const TFrequentWord& w : FrequentWords(model, 4, signs, Index.Stemmer()))
      out += Text(w.Word) + ":" + std::to_string(w.Experiences) + " ";
    return out;
  };
  // "дом", "доме", "дома" are one stem, shown as the form in most
  // experiences; "кот" and "кошка" are not (Snowball: "кот", "кошк").
  EXPECT_EQ(words({}), "доме:3 кот:3 море:3 кошка:2 ");
  EXPECT_EQ(words(Signs({"дом", "моря"})), "кот:3 кошка:2 рядом:1 теплым:1 ");
  for (const char* word : {"было", "снилось", "приснились", "снится", "сне", "сон"})
    EXPECT_TRUE(IsStopWord(Utf8ToCp1251(word))) << word;
  EXPECT_FALSE(IsStopWord(Utf8ToCp1251("кот")));
}

// ---------------------------------------------------------------- trends and energy

TEST_F(Patterns, TrendsCountPerMonthBesideAllAndEnergyGoesWithMarks) {
  Add(Night("30.11.23", Experience("кот", "label1=\"true\"", 0)) +
      Night("02.01.24", Experience("кот и пёс", "label1=\"true\" label2=\"true\"", 50) +
                            Experience("пёс", "", 150)) +
      Night("Без даты", Experience("котик", "label2=\"true\"")));
  const TPatternModel& model = Model();
  const TTrend trend = MakeTrend(model, Utf8ToCp1251("кот"), Index.Stemmer());
  std::string months;
  for (const TTrendPoint& p : trend.Months)
    months += std::to_string(p.Period) + ":" + std::to_string(p.Count) + "/" +
              std::to_string(p.Total) + " ";
  EXPECT_EQ(months, "202311:1/1 202312:0/0 202401:1/2 ");
  ASSERT_EQ(trend.Years.size(), 2u);
  EXPECT_EQ(trend.Years[1].Total, 2);
  EXPECT_EQ(trend.Count, 2);  // "котик" is another stem
  EXPECT_EQ(trend.UndatedTotal, 1);

  const std::array<TMarkEnergy, 4> energy = EnergyByMarks(model);
  EXPECT_EQ(energy[0].With, 2);
  EXPECT_DOUBLE_EQ(energy[0].EnergyWith, 0.75);      // levels 0 and 50
  EXPECT_DOUBLE_EQ(energy[0].EnergyWithout, -0.25);  // 150 and none
  EXPECT_DOUBLE_EQ(energy[1].EnergyWith, 0.25);
  EXPECT_EQ(energy[3].With, 0);
  EXPECT_DOUBLE_EQ(energy[3].EnergyWith, 0);
}

// ---------------------------------------------------------------- the highlighter's matcher

TEST(SignMatcher, FindsSignsByStemAndPhrasesWordByWord) {
  TStemmer stemmer;
  const TSignMatcher matcher({{Utf8ToCp1251("летал"), {}},
                              {Utf8ToCp1251("тёмный лес"), {}},
                              {Utf8ToCp1251("\"на метле\""), {}},
                              {Utf8ToCp1251("лес"), {}}},
                             stemmer);
  const QString text = U("Мы ЛЕТАЛИ 🌙 над тёмным лесом, в лесу — на метле, не на метлах; летать");
  std::string spans;
  for (const TSignMatcher::TSpan& span : matcher.Find(text))
    spans +=
        text.mid(span.Start, span.Length).toStdString() + ":" + std::to_string(span.Sign) + " ";
  EXPECT_EQ(spans, "ЛЕТАЛИ:0 тёмным лесом:1 лесу:3 на метле:2 летать:0 ");
}

}  // namespace
