#include <gtest/gtest.h>

#include <QImage>
#include <QLocale>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <map>

#include "graphs/smr_GraphSetup.h"
#include "graphs/smr_Statistics.h"
#include "graphs_test_util.h"

namespace {

using graphtest::Parse;
using test_files::Cp1251;

const TGraphLocale Locale = graphtest::CommaLocale();

using test_files::U;

std::vector<std::pair<double, double>> Points(const TSMGraph& graph) {
  std::vector<std::pair<double, double>> points;
  for (const auto& value : graph.Values) points.push_back({value.X, value.Y});
  return points;
}

// Night 1: three experiences, one with mark 1, one with marks 2 and 3, one
// with the older lucid dream attribute only. Night 2: one with mark 2. A
// third night is empty.
constexpr const char* Journal = R"(<somnary>
<day name="1">
<experience number="1"><properties label1="true" label2="false" /></experience>
<experience number="2"><properties label2="true" label3="true" /></experience>
<experience number="3"><properties luciddream="true" /></experience>
<comment>not an experience</comment>
</day>
<day name="2"><experience number="4"><properties label2="true" /></experience></day>
<day name="3" />
</somnary>)";

TEST(JournalStatistics, PerNightAndPerMark) {
  const auto journal = Parse(Journal);
  const TJournalStatistics statistics = ComputeJournalStatistics(*journal->Root);
  EXPECT_EQ(statistics.PerNight, (std::vector<int>{3, 1, 0}));
  EXPECT_EQ(statistics.PerMark, (std::array<int, 4>{1, 2, 1, 0}));
  EXPECT_EQ(statistics.Total, 4);

  TGraphs graphs;
  graphs[1].XMax = 42;
  FillJournalGraphs(graphs, statistics, {U("Осознанный"), U("Астрал"), U("Выход"), QString()});
  const TSMGraph& nights = graphs[0];
  EXPECT_EQ(Points(nights), (std::vector<std::pair<double, double>>{{1, 3}, {2, 1}, {3, 0}}));
  EXPECT_EQ(nights.XMin, 0);
  EXPECT_EQ(nights.XMax, 4);
  EXPECT_EQ(nights.YMax, 3);
  EXPECT_EQ(nights.XLabelCount, 3);
  EXPECT_EQ(nights.YLabelCount, -1);
  EXPECT_EQ(nights.GraphKind, gkLineRoundPoints);
  EXPECT_EQ(nights.Header.Text, U("Количество опытов по дням"));
  EXPECT_TRUE(nights.Footer.Text.isEmpty());

  const TSMGraph& marks = graphs[1];
  EXPECT_EQ(Points(marks), (std::vector<std::pair<double, double>>{{1, 1}, {2, 2}, {3, 1}}));
  EXPECT_EQ(marks.Values[1].Caption, U("Астрал"));
  EXPECT_EQ(marks.XMin, 1);
  EXPECT_EQ(marks.XMax, 3);
  EXPECT_EQ(marks.YMax, 2);
  EXPECT_EQ(marks.GraphKind, gkHorizontalBars);
  EXPECT_EQ(marks.Header.Text, U("Качество опытов"));
  EXPECT_EQ(marks.Footer.Text, U("Всего опытов: 4"));

  // With no named mark the X range keeps what the painter held.
  FillJournalGraphs(graphs, statistics, {});
  EXPECT_EQ(marks.XMax, 3);
  EXPECT_TRUE(marks.Values.empty());
}

TEST(JournalStatistics, NoNightsGiveAFrameAndNoBars) {
  const auto journal = Parse("<somnary />");
  TGraphs graphs;
  FillJournalGraphs(graphs, ComputeJournalStatistics(*journal->Root), {U("Один"), {}, {}, {}});
  EXPECT_EQ(graphs[0].XMax, 1);
  EXPECT_EQ(graphs[0].YMax, 1);
  EXPECT_TRUE(graphs[0].Values.empty());
  EXPECT_EQ(graphs[1].YMax, 0);
  EXPECT_EQ(graphs[1].Footer.Text, U("Всего опытов: 0"));
}

TEST(NightStatistics, EnergiesAndAverage) {
  const auto night = Parse(R"(<day name="1">
<experience number="1"><energy level="0" /></experience>
<comment>x</comment>
<experience number="2"><energy level=" 100 " /></experience>
<experience number="3" />
</day>)");
  TNightStatistics statistics;
  ASSERT_FALSE(ComputeNightStatistics(*night->Root, statistics));
  EXPECT_EQ(statistics.Energies, (std::vector<double>{1, 0, 0}));
  TSMGraph graph;
  FillNightGraph(graph, statistics, Locale);
  EXPECT_EQ(Points(graph), (std::vector<std::pair<double, double>>{{1, 1}, {2, 0}, {3, 0}}));
  EXPECT_EQ(graph.XMin, 0);
  EXPECT_EQ(graph.XMax, 4);
  EXPECT_EQ(graph.YMin, -1);
  EXPECT_EQ(graph.YMax, 1);
  EXPECT_EQ(graph.YLabelStart, -1);
  EXPECT_EQ(graph.YLabelStep, 0.25);
  EXPECT_EQ(graph.YLabelFormat, "%.2n");
  EXPECT_EQ(LabelValues(graph.YLabelStart, graph.YLabelStep, graph.YLabelCount, -1, 1).size(), 9u);
  EXPECT_EQ(graph.Header.Text, U("Энергетический уровень"));
  EXPECT_EQ(graph.Footer.Text, U("Средний энергетический уровень сновидений: 0,333333333333333"));

  const auto empty = Parse(R"(<day name="2" />)");
  ASSERT_FALSE(ComputeNightStatistics(*empty->Root, statistics));
  FillNightGraph(graph, statistics, Locale);
  EXPECT_TRUE(graph.Values.empty());
  EXPECT_EQ(graph.XMax, 1);
  EXPECT_EQ(graph.Footer.Text, U("Средний энергетический уровень сновидений: 0"));
}

TEST(NightStatistics, LevelThatIsNotANumberIsAnError) {
  for (const char* level : {"abc", "12,5", "1e2", ""}) {
    const auto night = Parse(std::string(R"(<day><experience><energy level=")") + level +
                             R"(" /></experience></day>)");
    TNightStatistics statistics{{0.5}, 0.5};
    const auto error = ComputeNightStatistics(*night->Root, statistics);
    ASSERT_TRUE(error) << level;
    EXPECT_EQ(error->Text, level);
    EXPECT_EQ(statistics.Energies, std::vector<double>{0.5});  // untouched
  }
  const auto missing = Parse(R"(<day><experience><energy /></experience></day>)");
  TNightStatistics statistics;
  const auto error = ComputeNightStatistics(*missing->Root, statistics);
  ASSERT_TRUE(error);
  EXPECT_EQ(StatisticsErrorMessage(*error, Locale),
            U("В элементе «energy» атрибут «level» содержит «undefined», а не число. "
              "Статистика не показана."));
}

TEST(CachedReals, EitherSeparatorReads) {
  const struct {
    const char* text;
    bool ok;
    double value;
  } cases[] = {{"1,5", true, 1.5},   {"2.25", true, 2.25},     {" 7 ", true, 7},
               {"-0,5", true, -0.5}, {"1,5E-6", true, 1.5e-6}, {"1E15", true, 1e15},
               {"1,2,3", false, 0},  {"1 000", false, 0},      {"abc", false, 0},
               {"", false, 0},       {"inf", false, 0},        {"undefined", false, 0},
               {"1E", false, 0}};
  for (const auto& c : cases) {
    double value = -99;
    EXPECT_EQ(ParseCachedReal(c.text, value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
  }
}

// A catalogue with a sub-catalogue that has its own cache, then two
// journals and a journal whose file cannot be had.
constexpr const char* Library = R"(<dreamlibrary name="L">
  <directory name="Кат">
    <directory name="Sub">
      <statistic>
        <graph header="Чужой" footer="f">
          <point name="x" left="1" top="9" />
        </graph>
      </statistic>
    </directory>
    <file name="Весна" path="a.xml" />
    <file name="B" path="b.xml" />
    <file name="C" path="undefined" />
  </directory>
</dreamlibrary>)";

constexpr const char* JournalB = R"(<somnary>
<day><experience><properties label1="false" luciddream="true" /></experience></day>
<day /><day />
</somnary>)";

class CatalogueTest : public testing::Test {
 protected:
  void SetUp() override {
    journals["a.xml"] = Parse(Journal);   // 3 nights, 4 experiences, 1 + 1 marked
    journals["b.xml"] = Parse(JournalB);  // 3 nights, 1 experience, marked the old way
    source.Journal = [this](TXMLNode& file) -> TXMLNode* {
      ++opened;
      const auto it = journals.find(file.GetAttribute("path"));
      return it == journals.end() ? nullptr : it->second->Root.get();
    };
    source.Mark1Caption = Cp1251("Осознанный сон");
  }
  TXMLNode& Catalogue() { return *library->Root->Child(0); }

  std::unique_ptr<TXMLParser> library = Parse(Library);
  std::map<std::string, std::unique_ptr<TXMLParser>> journals;
  TCatalogueSource source;
  int opened = 0;
  TGraphs graphs;
};

TEST_F(CatalogueTest, FirstShowWritesTheCacheInTheLibrary) {
  library->Parameters.DocType.Text = "<!DOCTYPE dreamlibrary SYSTEM \"dream_library.dtd\">";
  const std::string before = library->SaveToText();
  ASSERT_FALSE(LoadCatalogueGraphs(Catalogue(), graphs, source, Locale));
  const std::string cache = Cp1251(
      "    <statistic>\r\n"
      "      <graph header=\"Общее количество опытов в журналах\" footer=\"Всего опытов: 5\">\r\n"
      "        <point name=\"Весна\" left=\"1\" top=\"4\" />\r\n"
      "        <point name=\"B\" left=\"2\" top=\"1\" />\r\n"
      "        <point name=\"C\" left=\"3\" top=\"0\" />\r\n"
      "      </graph>\r\n"
      "      <graph header=\"Среднее количество опытов за день\" "
      "footer=\"Среднее количество опытов за весь период: 0,833333333333333\">\r\n"
      "        <point name=\"Весна\" left=\"1\" top=\"1,33333333333333\" />\r\n"
      "        <point name=\"B\" left=\"2\" top=\"0,333333333333333\" />\r\n"
      "        <point name=\"C\" left=\"3\" top=\"0\" />\r\n"
      "      </graph>\r\n"
      "      <graph header=\"Число опытов с пометкой: [Осознанный сон]\" "
      "footer=\"Общее количество подобных опытов: 3\">\r\n"
      "        <point name=\"Весна\" left=\"1\" top=\"2\" />\r\n"
      "        <point name=\"B\" left=\"2\" top=\"1\" />\r\n"
      "        <point name=\"C\" left=\"3\" top=\"0\" />\r\n"
      "      </graph>\r\n"
      "    </statistic>\r\n");
  std::string expected = before;
  const std::size_t end = expected.rfind("  </directory>");
  ASSERT_NE(end, std::string::npos);
  expected.insert(end, cache);
  EXPECT_EQ(library->SaveToText(), expected);

  // The painters show the new cache, not the sub-catalogue's.
  EXPECT_EQ(graphs[0].Header.Text, U("Общее количество опытов в журналах"));
  EXPECT_EQ(Points(graphs[0]), (std::vector<std::pair<double, double>>{{1, 4}, {2, 1}, {3, 0}}));
  EXPECT_EQ(graphs[0].XMax, 4);
  EXPECT_EQ(graphs[0].YMax, 4);
  EXPECT_EQ(graphs[0].YLabelStep, 10);
  EXPECT_EQ(graphs[0].Values[0].Caption, U("Весна"));
  EXPECT_EQ(graphs[1].YMax, 1.33333333333333);  // as cached, 15 digits
  EXPECT_EQ(graphs[1].YLabelStep, 1);
  EXPECT_EQ(graphs[2].Footer.Text, U("Общее количество подобных опытов: 3"));
  EXPECT_EQ(graphs[2].GraphKind, gkLineRoundPoints);

  // Shown again: the cache is read, no journal is asked for.
  opened = 0;
  ASSERT_FALSE(LoadCatalogueGraphs(Catalogue(), graphs, source, Locale));
  EXPECT_EQ(opened, 0);
}

// The cache and the labels under the C library's locale of each kind of
// user: one separator, the locale's, and the cache reads back everywhere
// ("1,,33333333333333" was written under ru_RU and then refused).
TEST_F(CatalogueTest, NumbersUnderEachLocale) {
  const struct {
    const char* locale;
    const char* top;
    const char* footer;
    const char* fixed;
  } cases[] = {
      {"C.UTF-8", "1.33333333333333", "0.833333333333333", "1,234.50"},
      {"ru_RU.UTF-8", "1,33333333333333", "0,833333333333333", "1\u00a0234,50"},
      {"de_DE.UTF-8", "1,33333333333333", "0,833333333333333", "1.234,50"},
      {"en_US.UTF-8", "1.33333333333333", "0.833333333333333", "1,234.50"},
  };
  std::vector<std::string> written;
  for (const auto& c : cases) {
    ASSERT_TRUE(std::setlocale(LC_ALL, c.locale))
        << c.locale << ": LOCPATH=" << qgetenv("LOCPATH").data();
    const TGraphLocale locale =
        GraphLocaleOf(NumberFormatOf(QLocale(QString(c.locale).section('.', 0, 0))));
    EXPECT_EQ(locale.Fixed(1234.5, 2), U(c.fixed)) << c.locale;

    TXMLNode& statistic = RefreshCatalogueGraph(1, Catalogue(), source, locale);
    const TXMLNode& graph = *statistic.Child(1);
    EXPECT_EQ(graph.Child(0)->GetAttribute("top"), c.top) << c.locale;
    const std::string footer = graph.GetAttribute("footer");
    EXPECT_EQ(footer.substr(footer.rfind(' ') + 1), c.footer) << c.locale;
    written.push_back(c.top);
  }
  // What any of them wrote reads back under any of them.
  for (const auto& c : cases) {
    ASSERT_TRUE(std::setlocale(LC_ALL, c.locale));
    for (const std::string& top : written) {
      Catalogue().FindNode("statistic")->Child(1)->Child(0)->SetAttribute("top", top);
      bool loaded = false;
      ASSERT_FALSE(LoadCatalogueGraph(1, Catalogue(), graphs[1], Locale, loaded))
          << c.locale << top;
      EXPECT_TRUE(loaded);
      EXPECT_EQ(graphs[1].YMax, 1.33333333333333) << c.locale << top;
    }
  }
  std::setlocale(LC_ALL, "");
}

TEST_F(CatalogueTest, RefreshOfALaterGraphComputesTheEarlierOnes) {
  TXMLNode& statistic = RefreshCatalogueGraph(2, Catalogue(), source, Locale);
  EXPECT_EQ(&statistic, OwnStatistic(Catalogue()));
  EXPECT_EQ(Catalogue().Children.back().get(), &statistic);
  ASSERT_EQ(statistic.ChildCount(), 3);
  EXPECT_EQ(statistic.Level, Catalogue().Level + 1);
  EXPECT_EQ(statistic.Child(1)->GetAttribute("header"),
            Cp1251("Среднее количество опытов за день"));
  bool loaded = false;
  ASSERT_FALSE(LoadCatalogueGraph(2, Catalogue(), graphs[2], Locale, loaded));
  EXPECT_TRUE(loaded);
  EXPECT_EQ(graphs[2].Header.Text, U("Число опытов с пометкой: [Осознанный сон]"));

  // Refresh all keeps exactly three graphs; a refresh replaces the points.
  for (int index = 0; index < 3; ++index) RefreshCatalogueGraph(index, Catalogue(), source, Locale);
  EXPECT_EQ(statistic.ChildCount(), 3);
  EXPECT_EQ(statistic.Child(0)->ChildCount(), 3);
}

TEST_F(CatalogueTest, BadCachedValueLeavesThePaintersAlone) {
  TXMLNode& statistic = EnsureStatistic(Catalogue());
  ComputeCatalogueGraph(0, statistic, Catalogue(), source, Locale);
  statistic.Child(0)->Child(1)->SetAttribute("top", Cp1251("много"));
  graphs[0].Header.Text = "before";
  const auto error = LoadCatalogueGraphs(Catalogue(), graphs, source, Locale);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->Element, "point");
  EXPECT_EQ(error->Attribute, "top");
  EXPECT_EQ(error->Text, Cp1251("много"));
  EXPECT_EQ(graphs[0].Header.Text, "before");
  bool loaded = true;
  EXPECT_TRUE(LoadCatalogueGraph(0, Catalogue(), graphs[0], Locale, loaded));
  EXPECT_FALSE(loaded);
  ASSERT_FALSE(LoadCatalogueGraph(2, Catalogue(), graphs[2], Locale, loaded));
  EXPECT_FALSE(loaded);  // no third graph cached
}

TEST_F(CatalogueTest, CatalogueWithoutJournals) {
  TXMLNode& sub = *Catalogue().Child(0);
  sub.DeleteChild(0);
  ASSERT_FALSE(LoadCatalogueGraphs(sub, graphs, source, Locale));
  for (const TSMGraph& graph : graphs) {
    EXPECT_TRUE(graph.Values.empty());
    EXPECT_EQ(graph.XMax, 1);
    EXPECT_EQ(graph.YMax, 0);
  }
  EXPECT_EQ(graphs[1].Footer.Text, U("Среднее количество опытов за весь период: 0"));
  QImage image(200, 300, QImage::Format_RGB32);
  const TGraphArea area{200, 300, 10, 12};
  FillGraphArea(image, area, graphs[0].ButtonFace);
  const QImage filled = image.copy();
  PlaceCatalogueGraphs(image, graphs, area);
  // Only the panels: the graph inside each is not drawn.
  const TGraphRect panel = CataloguePanel(1, area);
  EXPECT_EQ(image.pixel(panel.Left, panel.Top) & 0xFFFFFF, 0u);
  EXPECT_EQ(image.pixel(panel.Left + 20, panel.Top + 20),
            filled.pixel(panel.Left + 20, panel.Top + 20));
}

TEST(GraphPlacement, PanelsAndButtons) {
  const TGraphArea area{600, 400, 100, 102};
  EXPECT_EQ(JournalPanel(1, area), (TGraphRect{10, 115, 590, 174}));
  EXPECT_EQ(JournalPanel(2, area), (TGraphRect{10, 184, 280, 390}));
  // U = (400 - 138) div 3 = 87
  EXPECT_EQ(CataloguePanel(1, area), (TGraphRect{10, 115, 590, 202}));
  EXPECT_EQ(CataloguePanel(2, area), (TGraphRect{10, 212, 590, 299}));
  EXPECT_EQ(CataloguePanel(3, area), (TGraphRect{10, 309, 590, 396}));
  EXPECT_EQ(GraphBounds(JournalPanel(1, area)), (TGraphRect{20, 120, 580, 169}));
  const TButtonPlace buttons = PanelButtons(JournalPanel(1, area));
  EXPECT_EQ(buttons.Left, 570);
  EXPECT_EQ(buttons.CopyTop, 120);
  EXPECT_EQ(buttons.RefreshTop, 136);
  EXPECT_DOUBLE_EQ(WideBarWidth(620), 0.0125);
  EXPECT_EQ(WideBarWidth(20), 0);
  // div truncates toward zero: (51 - 102) div 2 = -25.
  EXPECT_EQ(JournalPanel(1, {300, 51, 0, 102}).Bottom, 0);
}

// Colour changes along the most varied row of a box of an image.
int MostChangesInARow(const QImage& image, const QRect& box) {
  int most = 0;
  for (int y = box.top(); y <= box.bottom(); ++y) {
    int changes = 0;
    for (int x = box.left() + 1; x <= box.right(); ++x)
      changes += image.pixel(x, y) != image.pixel(x - 1, y);
    most = std::max(most, changes);
  }
  return most;
}

// On a scaled screen the image holds the device pixels: frames on the
// scaled edges of the panels, text drawn at that resolution rather than
// enlarged from one pixel per logical pixel.
TEST(GraphPlacement, AScaledScreenGetsItsDevicePixels) {
  TGraphs graphs;
  CreateGraphs(graphs, Locale);
  TJournalStatistics statistics;
  statistics.PerNight = {2, 0, 3};
  statistics.PerMark = {1, 2, 0, 1};
  statistics.Total = 5;
  FillJournalGraphs(graphs, statistics, {U("Один"), U("Два"), QString(), U("Четыре")});
  const TGraphArea plainArea{401, 321, 20, 22};
  QImage plain;
  FillGraphArea(plain, plainArea, graphs[0].ButtonFace);
  PlaceJournalGraphs(plain, graphs, plainArea);
  const TGraphRect title = graphs[0].HeaderBox(GraphBounds(JournalPanel(1, plainArea)));
  const int plainChanges = MostChangesInARow(plain, DeviceRect(title, 1));
  ASSERT_GT(plainChanges, 10);
  for (double ratio : {1.5, 2.0}) {
    TGraphArea area = plainArea;
    area.Ratio = ratio;
    QImage image;
    FillGraphArea(image, area, graphs[0].ButtonFace);
    PlaceJournalGraphs(image, graphs, area);
    EXPECT_EQ(image.size(), QSize(int(std::ceil(401 * ratio)), int(std::ceil(321 * ratio))));
    EXPECT_EQ(image.devicePixelRatio(), ratio);
    const QRect frame = DeviceRect(JournalPanel(2, area), ratio);
    EXPECT_EQ(image.pixel(frame.topLeft()) & 0xFFFFFF, 0u) << ratio;
    EXPECT_EQ(image.pixel(frame.bottomRight()) & 0xFFFFFF, 0u) << ratio;
    EXPECT_EQ(image.pixel(frame.topLeft() - QPoint(1, 1)), plain.pixel(0, 0)) << ratio;
    // An enlargement changes colour no more often along a row than the
    // picture it enlarges.
    EXPECT_GT(MostChangesInARow(image, DeviceRect(title, ratio)), plainChanges) << ratio;
  }
}

}  // namespace

// A journal of a single night: its average is that night's count, not 0.
TEST_F(CatalogueTest, OneNightJournalAveragesItsNight) {
  journals["b.xml"] = Parse("<somnary><day><experience /><experience /></day></somnary>");
  const TXMLNode& graph = *RefreshCatalogueGraph(1, Catalogue(), source, Locale).Child(1);
  EXPECT_EQ(graph.Child(1)->GetAttribute("top"), "2");
  EXPECT_EQ(graph.GetAttribute("footer"), Cp1251("Среднее количество опытов за весь период: 1,5"));
}

// A night of one experience: the average is its level, not 0.
TEST(NightStatistics, OneExperienceIsItsOwnAverage) {
  const auto night = Parse(R"(<day><experience><energy level="50" /></experience></day>)");
  TNightStatistics statistics;
  ASSERT_FALSE(ComputeNightStatistics(*night->Root, statistics));
  EXPECT_EQ(statistics.Average, 0.5);
}
