#include <gtest/gtest.h>

#include "export/smr_TXTExporter.h"
#include "export_test_util.h"

namespace {

const std::string Frame =
    "+------------------------------------------------------------------------------+";

std::string Blanks(std::size_t n) { return std::string(n, ' '); }

class TXTExport : public ::testing::Test {
 protected:
  TXTExport() { SetCaptions(exporter, "A", "B", "C", "D"); }

  std::string Body(std::string_view xml) {
    auto document = Parse(xml);
    return exporter.ExportBody(document->Root.get());
  }

  TTXTExporter exporter;
};

TEST_F(TXTExport, TitleLinePadding) {
  const std::string t17 = Cp1251("ЖУРНАЛ СНОВИДЕНИЙ");
  ASSERT_EQ(t17.size(), 17u);
  EXPECT_EQ(exporter.TitleLine(t17), "|" + Blanks(30) + t17 + Blanks(31) + "|");
  const std::string t18(18, 'x');
  EXPECT_EQ(exporter.TitleLine(t18), "|" + Blanks(30) + t18 + Blanks(30) + "|");
  const std::string t77(77, 'x'), t78(78, 'x'), t79(79, 'x'), t81(81, 'x');
  EXPECT_EQ(exporter.TitleLine(t77), "|" + t77 + " |");
  EXPECT_EQ(exporter.TitleLine(t78), "|" + t78 + "|");
  EXPECT_EQ(exporter.TitleLine(t79), "|" + t79 + "|");
  EXPECT_EQ(exporter.TitleLine(t81), "|" + t81 + "|");
}

TEST_F(TXTExport, LibraryHeaders) {
  auto plain = Parse("<dreamlibrary>\n</dreamlibrary>\n");
  EXPECT_EQ(
      exporter.ExportHeader(plain->Root.get()),
      Lines({Frame, "|" + Blanks(28) + "БИБЛИОТЕКА СНОВИДЕНИЙ" + Blanks(29) + "|", Frame, ""}));

  // 25 characters around a name of 60: longer than 78, so no padding.
  const std::string name(60, 'n');
  auto named = Parse("<dreamlibrary name=\"" + name + "\">\n</dreamlibrary>\n");
  EXPECT_EQ(exporter.ExportHeader(named->Root.get()),
            Lines({Frame, "|БИБЛИОТЕКА СНОВИДЕНИЙ: [" + name + "]|", Frame, ""}));
}

TEST_F(TXTExport, LibraryUserLines) {
  EXPECT_EQ(Body("<dreamlibrary name=\"x\">\n</dreamlibrary>\n"),
            Lines({"", "СПИСОК ФАЙЛОВ В БИБЛИОТЕКЕ: "}));
  // Unknown sex gives no line at all; the page would show it unchanged.
  EXPECT_EQ(Body("<dreamlibrary>\n  <user name=\"Иван\" sex=\"neutrum\" />\n</dreamlibrary>\n"),
            Lines({"ПОЛЬЗОВАТЕЛЬ:", "  ИМЯ: Иван", "", "СПИСОК ФАЙЛОВ В БИБЛИОТЕКЕ: "}));
  EXPECT_EQ(Body("<dreamlibrary>\n  <user sex=\":)\" />\n</dreamlibrary>\n"),
            Lines({"ПОЛЬЗОВАТЕЛЬ:", "  ПОЛ: :)", "", "СПИСОК ФАЙЛОВ В БИБЛИОТЕКЕ: "}));
  EXPECT_EQ(Body("<dreamlibrary>\n  <user sex=\"masculinum\" />\n</dreamlibrary>\n"),
            Lines({"ПОЛЬЗОВАТЕЛЬ:", "  ПОЛ: мужской", "", "СПИСОК ФАЙЛОВ В БИБЛИОТЕКЕ: "}));
}

TEST_F(TXTExport, DayBoxAroundLongNames) {
  const std::string n69(69, 'd'), n70(70, 'd');
  const std::string body69 =
      Body("<somnary>\n  <day name=\"" + n69 + "\">\n  </day>\n</somnary>\n");
  const std::string border69 = Blanks(4) + "+" + std::string(73, '-') + "+";
  EXPECT_EQ(body69, Lines({border69, "+---|  " + n69 + "  |+", border69, ""}));
  EXPECT_EQ(body69.find("\r\n", border69.size() + 2), border69.size() + 2 + 80);

  const std::string body70 =
      Body("<somnary>\n  <day name=\"" + n70 + "\">\n  </day>\n</somnary>\n");
  const std::string border70 = Blanks(4) + "+" + std::string(74, '-') + "+";
  EXPECT_EQ(body70, Lines({border70, "+---|  " + n70 + "  |+", border70, ""}));
}

TEST_F(TXTExport, ExperienceWithNothingButAnImageElement) {
  EXPECT_EQ(Body("<somnary>\n  <day>\n    <experience>\n      <image />\n"
                 "    </experience>\n  </day>\n</somnary>\n"),
            Lines({"", "undefined. undefined", "ЭНЕРГЕТИЧЕСКИЙ УРОВЕНЬ: 0",
                   "ИЗОБРАЖЕНИЕ: ", "СВОЙСТВА:", "    A: нет", "    B: нет", "    C: нет",
                   "    D: нет", "ДОПОЛНИТЕЛЬНЫЕ СВОЙСТВА: ", "    не определены", ""}));
}

TEST_F(TXTExport, OnlyTheDaysOwnCommentCounts) {
  const std::string body = Body(
      "<somnary>\n  <day>\n    <experience number=\"1\" title=\"t\">\n"
      "      <comment>dream</comment>\n"
      "    </experience>\n  </day>\n</somnary>\n");
  EXPECT_EQ(body.find(Cp1251("КОММЕНТАРИЙ ДНЯ")), std::string::npos);
  EXPECT_NE(body.find(Lines({"КОММЕНТАРИЙ СНОВИДЕНИЯ: dream"})), std::string::npos);

  // Without text the day comment is one line; of two, the last one is written.
  const std::string empty =
      Body("<somnary>\n  <day>\n    <comment></comment>\n  </day>\n</somnary>\n");
  EXPECT_EQ(empty, Lines({"", "КОММЕНТАРИЙ ДНЯ: "}));
  const std::string two = Body(
      "<somnary>\n  <day>\n    <comment>a</comment>\n"
      "    <comment>b</comment>\n  </day>\n</somnary>\n");
  EXPECT_EQ(two, Lines({"", "КОММЕНТАРИЙ ДНЯ: b", ""}));
}

TEST_F(TXTExport, PropertiesWithEmptyElementAndGroups) {
  const std::string body = Body(
      "<somnary>\n  <day>\n    <experience number=\"1\" title=\"t\">\n"
      "      <properties label2=\"true\" label3=\"TRUE\">\n"
      "        <parameter control=\"G\">\n"
      "          <parameter control=\"a\" value=\"1\" />\n"
      "          <parameter control=\"b\" />\n"
      "        </parameter>\n"
      "      </properties>\n"
      "    </experience>\n  </day>\n</somnary>\n");
  EXPECT_NE(body.find(Lines({"СВОЙСТВА:", "    A: нет", "    B: да", "    C: нет", "    D: нет",
                             "ДОПОЛНИТЕЛЬНЫЕ СВОЙСТВА: ", "    a: 1", "    b: undefined", ""})),
            std::string::npos);
  EXPECT_EQ(body.find(Cp1251("не определены")), std::string::npos);
}

TEST_F(TXTExport, EnergyUnderBothSeparators) {
  const char* xml =
      "<somnary>\n  <day>\n    <experience>\n      <energy level=\"150\" />\n"
      "    </experience>\n  </day>\n</somnary>\n";
  auto document = Parse(xml);
  TTXTExporter comma(TNumberFormat{',', ' '});
  EXPECT_NE(comma.ExportBody(document->Root.get()).find(Lines({"ЭНЕРГЕТИЧЕСКИЙ УРОВЕНЬ: -0,5"})),
            std::string::npos);
  TTXTExporter point(TNumberFormat{'.', ','});
  EXPECT_NE(point.ExportBody(document->Root.get()).find(Lines({"ЭНЕРГЕТИЧЕСКИЙ УРОВЕНЬ: -0.5"})),
            std::string::npos);
}

TEST_F(TXTExport, NoElementAndForeignRoot) {
  EXPECT_EQ(exporter.ExportToText(nullptr), "\r\n\r\n\r\n");
  auto document = Parse("<directory name=\"x\">\n</directory>\n");
  EXPECT_EQ(exporter.ExportToText(document->Root.get()), "\r\n\r\n" + Frame + "\r\n");
}

TEST_F(TXTExport, RepeatersGiveNothingForZeroOrLess) {
  EXPECT_EQ(exporter.Indent(3), "   ");
  EXPECT_EQ(exporter.Dashes(3), "---");
  EXPECT_EQ(exporter.Indent(0) + exporter.Indent(-1) + exporter.Dashes(0) + exporter.Dashes(-2),
            "");
}

}  // namespace
