// The search engine on a hand-written journal: stems and "ё", phrases and
// several words, each filter and their combination, HTML text, property
// values, snippets, and edits reaching later searches.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>
#include <set>

#include "search/smr_SearchIndex.h"
#include "search_test_util.h"
#include "storage/smr_Types.h"
#include "xml/xml_node.h"

namespace {

const char* const kDays = R"(  <day name="01.03.24">
    <comment>Ночь у моря</comment>
    <experience number="001" title="Полёты над морем">
      <description>Я летала над городом, было легко.</description>
      <comment>Очень ярко</comment>
      <properties label1="true" label2="true"/>
      <energy level="40"/>
    </experience>
    <experience number="002" title="Лестница">
      <description>Снилось, что я учусь летать на метле.</description>
      <properties label1="false" label2="true">
        <parameter control="edt_Place" value="в поезде"/>
        <parameter control="grp_Who">
          <parameter control="box_Friend" value="true"/>
        </parameter>
      </properties>
      <energy level="150"/>
    </experience>
  </day>
  <day name="15.06.24">
    <experience number="003" title="Школа">
      <description>Экзамен и летний лагерь. ЁЖИК в тумане</description>
    </experience>
    <experience number="004" title="Сад" type="html" file="html/004.html">
      <properties luciddream="true"/>
    </experience>
  </day>
  <day name="Новый год">
    <experience number="005" title="Ёлка">
      <description>Огромная елка у дома</description>
      <properties label1="true"/>
      <energy level="100"/>
    </experience>
  </day>
)";

const char* const kPage =
    "<html><head><title>полёт</title></head><body>\r\n<p>Мы <b>лет</b>али &laquo;высоко&raquo; "
    "&#1085;ад "
    "садом</p>\r\n<!-- комментарий море --><script>var море = 1;</script></body></html>";

class Search : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("html"));
    Write(dir.filePath("html/004.html"), Utf8ToCp1251(kPage));
    journal = Parsed(JournalText(kDays));
    ASSERT_EQ(journal->Status, xsLoaded);
  }

  // Numbers of the experiences found, in order, joined by blanks.
  std::string Find(const std::string& textUtf8, TSearchFilter filter = {}) {
    query = TSearchQuery(Utf8ToCp1251(textUtf8), index.Stemmer(), filter);
    std::vector<TSearchHit> hits;
    index.Search(nullptr, *journal->Root, query, hits);
    std::string numbers;
    for (const TSearchHit& hit : hits) {
      if (!numbers.empty()) numbers += ' ';
      numbers += hit.Experience->GetAttribute(smr::atNumber);
    }
    return numbers;
  }

  TXMLNode* Experience(int day, int at) const { return journal->Root->Child(day)->Child(at); }

  QTemporaryDir dir;
  std::unique_ptr<TXMLParser> journal;
  TSearchIndex index{[this](const std::string& stored) {
    return dir.filePath(QString::fromStdString(stored)).toStdString();
  }};
  TSearchQuery query;
};

TEST_F(Search, WordsMatchByStemWhateverTheCaseAndYo) {
  const struct {
    const char* Query;
    const char* Found;
  } cases[] = {
      {"летал", "001 002 004"},  // летала, летать, летали (split by <b> in the page)
      {"ЛЕТАТЬ", "001 002 004"},
      {"летний", "003"},  // a different stem: not летать
      {"полёт", "001"},   // Полёты; the page's <title> is not its text
      {"полеты", "001"},
      {"ёлка", "005"},  // Ёлка, елка
      {"елки", "005"},
      {"ежик", "003"},   // ЁЖИК
      {"туман", "003"},  // тумане, whose stem is the query itself
      {"море", "001 002"},  // морем; the night's comment "у моря"; not the page's comment or script
      {"поезд", "002"},  // a stored property value
      {"true", ""},      // a check box's value is no text
      {"laquo", ""},
      {"b", ""},
      {"002", "002"},  // the number
      {"2", ""},
      {"ярко", "001"},     // the experience's comment
      {"над", "001 004"},  // &#1085;ад in the page
  };
  for (const auto& c : cases) EXPECT_EQ(Find(c.Query), c.Found) << c.Query;
}

TEST_F(Search, PhrasesMatchWordForWordAndEveryTermMustMatch) {
  const struct {
    const char* Query;
    const char* Found;
  } cases[] = {
      {"\"над морем\"", "001"},
      {"«Над Морем»", "001"},
      {"\"над море\"", ""},       // a phrase is not stemmed
      {"\"высоко над\"", "004"},  // the quotes of the page separate words only
      {"\"летала над", "001"},    // a phrase still being typed
      {"\"морем летала\"", ""},   // title and description are separate fields
      {"летала городом", "001"},
      {"летала школа", ""},   // the words are in two experiences
      {"моря метле", "002"},  // the night's comment counts for each of its experiences
      {"летать \"на метле\"", "002"},
      {"", ""},
      {"  \"\" ,. ", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Find(c.Query), c.Found) << c.Query;
}

TEST_F(Search, FiltersAloneAndCombined) {
  auto marks = [](std::array<bool, 4> m) {
    TSearchFilter f;
    f.Marks = m;
    return f;
  };
  auto levels = [](int low, int high) {
    TSearchFilter f;
    f.LowestLevel = low;
    f.HighestLevel = high;
    return f;
  };
  auto dates = [](const char* from, const char* to) {
    TSearchFilter f;
    f.DateFrom = FilterDate(from);
    f.DateTo = FilterDate(to);
    return f;
  };
  auto kind = [](TDescriptionKind k) {
    TSearchFilter f;
    f.Kind = k;
    return f;
  };
  TSearchFilter all = dates("01.06.24", "");
  all.Marks[0] = true;
  const struct {
    const char* Query;
    TSearchFilter Filter;
    const char* Found;
  } cases[] = {
      {"", marks({true, false, false, false}), "001 004 005"},  // 004 in the older attribute
      {"", marks({true, true, false, false}), "001"},
      {"", marks({false, false, false, true}), ""},
      {"", levels(0, 50), "001"},
      {"", levels(100, 200), "002 003 004 005"},  // no energy counts as the middle
      {"", levels(100, 100), "003 004 005"},
      {"", dates("01.06.24", ""), "003 004 005"},  // "Новый год" is no date: never left out
      {"", dates("", "31.03.2024"), "001 002 005"},
      {"", dates("02.03.24", "14.06.24"), "005"},
      {"", kind(TDescriptionKind::HTML), "004"},
      {"", kind(TDescriptionKind::Plain), "001 002 003 005"},
      {"летал", all, "004"},
      {"летал", levels(100, 200), "002 004"},
      {"елка", dates("", "01.01.20"), "005"},
      {"полёт", kind(TDescriptionKind::HTML), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Find(c.Query, c.Filter), c.Found) << c.Query;
}

TEST(SearchQueryTerms, RepeatsAreOneTermAndTooManyAreRefused) {
  TStemmer stemmer;
  auto repeated = [](const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) all += text;
    return all;
  };
  auto distinct = [](std::size_t count) {
    std::string words;
    for (std::size_t i = 0; i < count; ++i) words += "w" + std::to_string(i) + " ";
    return words;
  };
  const struct {
    std::string Query;
    std::size_t Terms;
    bool Refused;
  } cases[] = {
      {repeated(Utf8ToCp1251("сон туман «над морем» "), 1000), 3, false},
      {Utf8ToCp1251("Туман ТУМАН туман \"туман\""), 2, false},  // a phrase is not a word
      {Utf8ToCp1251("туман тумане"), 2, false},                 // other words, though one stem
      {distinct(TSearchQuery::MaxTerms) + repeated("w0 ", 500), TSearchQuery::MaxTerms, false},
      {distinct(TSearchQuery::MaxTerms + 1), 0, true},
      {repeated(distinct(40), 3) + "\"" + distinct(30) + "\" " + distinct(30), 41, false},
  };
  for (const auto& c : cases) {
    const TSearchQuery query(c.Query, stemmer);
    EXPECT_EQ(query.Terms.size(), c.Terms) << c.Query.substr(0, 60);
    EXPECT_EQ(query.TooManyTerms(), c.Refused) << c.Query.substr(0, 60);
    EXPECT_EQ(query.Empty(), c.Refused);
  }
  // A refused query finds nothing, filters or not.
  TSearchFilter filter;
  filter.Marks[0] = true;
  EXPECT_TRUE(TSearchQuery(distinct(TSearchQuery::MaxTerms + 1), stemmer, filter).Empty());
}

TEST(SearchDates, OnlyTheShortFormatIsADate) {
  EXPECT_EQ(NightDate("01.03.24"), 20240301);
  EXPECT_EQ(NightDate("31.12.69"), 19691231);
  EXPECT_EQ(NightDate("29.02.23"), 0);
  EXPECT_EQ(NightDate("29.02.24"), 20240229);
  EXPECT_EQ(NightDate("1.3.24"), 0);
  EXPECT_EQ(NightDate("01.03.2024"), 0);
  EXPECT_EQ(NightDate("32.01.24"), 0);
  EXPECT_EQ(NightDate("Новый год"), 0);
  EXPECT_EQ(FilterDate("01.03.2024"), 20240301);
  EXPECT_EQ(FilterDate("01.03.-024"), 0);
  EXPECT_EQ(FilterDate("01.01.0000"), 0);  // there is no year 0
  EXPECT_EQ(FilterDate("01.01.0001"), 10101);
}

TEST_F(Search, SnippetMarksTheWordsWhereTheyFirstMatch) {
  Find("летал");
  TSnippet snippet =
      MakeSnippet({nullptr, journal->Root->Child(0), Experience(0, 1)}, query, index);
  EXPECT_EQ(snippet.Field, TSearchField::Description);
  EXPECT_EQ(Cp1251ToUtf8(snippet.Text), "Я летала над городом, было легко.");
  EXPECT_EQ(snippet.Marks, (std::vector<std::pair<int, int>>{{2, 6}}));
  EXPECT_EQ(snippet.FieldOffset, 2);

  snippet = MakeSnippet({nullptr, journal->Root->Child(1), Experience(1, 1)}, query, index);
  EXPECT_EQ(snippet.Field, TSearchField::HTML);
  EXPECT_EQ(Cp1251ToUtf8(snippet.Text), "Мы летали «высоко» над садом");
  EXPECT_EQ(snippet.Marks, (std::vector<std::pair<int, int>>{{3, 6}}));

  // A window over a long text starts on a word, with ellipses, and keeps its marks.
  Find("\"у дома\" огромная");
  snippet = MakeSnippet({nullptr, journal->Root->Child(2), Experience(2, 0)}, query, index, 12);
  EXPECT_EQ(Cp1251ToUtf8(snippet.Text), "Огромная…");
  EXPECT_EQ(snippet.Marks, (std::vector<std::pair<int, int>>{{0, 8}}));

  Find("моря");
  snippet = MakeSnippet({nullptr, journal->Root->Child(0), Experience(0, 2)}, query, index);
  EXPECT_EQ(snippet.Field, TSearchField::NightComment);
  EXPECT_EQ(Cp1251ToUtf8(snippet.Text), "Ночь у моря");
}

TEST(SearchSnippets, TheMatchIsInTheMiddleAndEmptyValuesAreLeftOut) {
  std::string longLine;
  for (int i = 0; i < 60; ++i) longLine += "слово ";
  const struct {
    std::string Experience;  // inside <experience>
    const char* Query;
    int Width;
    TSearchField Field;
    const char* Text;
    std::vector<std::pair<int, int>> Marks;
  } cases[] = {
      {"<description>" + longLine + "туман " + longLine + "</description>",
       "туман",
       60,
       TSearchField::Description,
       "…слово слово слово слово туман слово слово слово слово слово…",
       {{25, 5}}},
      {"<description>" + longLine + "конец</description>",
       "конец",
       40,
       TSearchField::Description,
       "…слово слово слово слово слово конец",
       {{31, 5}}},
      {"<properties><parameter control=\"a\" value=\"\"/><parameter control=\"b\" value=\"поезд\"/>"
       "<parameter control=\"c\" value=\"\"/><parameter control=\"d\" value=\"дом\"/></properties>",
       "поезд",
       150,
       TSearchField::Property,
       "поезд; дом",
       {{0, 5}}},
  };
  for (const auto& c : cases) {
    const auto journal = Parsed(JournalText("<day name=\"01.01.24\"><experience number=\"1\">" +
                                            c.Experience + "</experience></day>"));
    TSearchIndex index([](const std::string&) { return std::string(); });
    const TSearchQuery query(Utf8ToCp1251(c.Query), index.Stemmer());
    const TXMLNode* night = journal->Root->Child(0);
    const TSnippet snippet = MakeSnippet({nullptr, night, night->Child(0)}, query, index, c.Width);
    EXPECT_EQ(snippet.Field, c.Field) << c.Query;
    EXPECT_EQ(Cp1251ToUtf8(snippet.Text), c.Text) << c.Query;
    EXPECT_EQ(snippet.Marks, c.Marks) << c.Query;
  }
}

TEST_F(Search, EditsAndRewrittenPagesAreFoundOnceInvalidated) {
  ASSERT_EQ(Find("туман"), "003");
  Experience(1, 0)->FindNode(smr::elDescription)->Child(0)->Value = Utf8ToCp1251("Туман над рекой");
  Experience(2, 0)->SetAttribute(smr::atTitle, Utf8ToCp1251("Туманная ёлка"));
  Write(dir.filePath("html/004.html"), Utf8ToCp1251("<p>Густой туман</p>"));
  index.Invalidate();
  EXPECT_EQ(Find("туман"), "003 004 005");
  EXPECT_EQ(Find("лагерь"), "");
}

}  // namespace

// An index marked stale is checked against its tree: kept while the tree
// reads the same, built again after any edit the index would show, also
// a text set twice to the same length.
TEST_F(Search, AStaleIndexIsKeptUntilItsTreeReadsOtherwise) {
  const TXMLNode& root = *journal->Root;
  const auto description = [&](const char* text) {
    return [=, this] {
      Experience(1, 0)->FindNode(smr::elDescription)->Child(0)->Value = Utf8ToCp1251(text);
    };
  };
  const auto attribute = [&](TXMLNode* element, std::string_view name, const char* value) {
    return [=] { element->SetAttribute(name, Utf8ToCp1251(value)); };
  };
  const std::function<void()> edits[] = {
      description("Туман над рекой"),
      description("Туман над рикой"),
      attribute(Experience(0, 1), smr::atTitle, "Сад"),
      attribute(Experience(0, 1), smr::atTitle, "Сон"),
      attribute(Experience(0, 2)->FindNode(smr::elParameter), smr::atValue, "в вагоне"),
      attribute(Experience(0, 1)->FindNode(smr::elProperties), smr::atLabel[1], "false"),
      attribute(Experience(0, 1)->FindNode(smr::elEnergy), smr::atLevel, "41"),
      [&] { journal->Root->Child(0)->Child(0)->Child(0)->Value = "x"; },  // the night's comment
      [&] { Write(dir.filePath("html/004.html"), Utf8ToCp1251("<p>Густой туман</p>")); },
      [&] { journal->Root->Child(2)->DeleteChild(0); },
  };
  for (std::size_t i = 0; i < std::size(edits); ++i) {
    const auto built = index.Journal(root);
    index.MarkStale();
    ASSERT_EQ(index.Journal(root), built) << i;
    edits[i]();
    index.MarkStale();
    EXPECT_NE(index.Journal(root), built) << i;
  }
  EXPECT_EQ(Find("туман"), "003 004");
}

// Built a night at a time, with an edit between two steps to a night
// already read: the index is checked when first searched and shows the edit.
TEST_F(Search, AnIndexBuiltInStepsShowsAnEditMadeBetweenThem) {
  index.Prepare(*journal->Root);
  ASSERT_FALSE(index.PrepareStep(TSearchDeadline::min()));  // the first night
  Experience(0, 1)->FindNode(smr::elDescription)->Child(0)->Value = Utf8ToCp1251("Туман");
  int steps = 1;
  for (bool done = false; !done; ++steps) done = index.PrepareStep(TSearchDeadline::min());
  EXPECT_EQ(steps, 3);  // a step for each night
  ASSERT_TRUE(index.Has(*journal->Root));
  EXPECT_EQ(Find("туман"), "001 003");
  // Untouched since, it is kept.
  const auto built = index.Journal(*journal->Root);
  index.MarkStale();
  EXPECT_EQ(index.Journal(*journal->Root), built);
}
