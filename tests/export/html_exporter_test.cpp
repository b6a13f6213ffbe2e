#include <gtest/gtest.h>

#include "export/smr_HTMLExporter.h"
#include "export_test_util.h"

namespace {

const char* const Meta =
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">";

std::string Body(THTMLExporter& exporter, std::string_view xml) {
  auto document = Parse(xml);
  return exporter.ExportBody(document->Root.get());
}

// The marks table of an experience whose marks are all off.
std::string MarksAllNo() {
  return Lines({"<h4>СВОЙСТВА:</h4>",
                "<table class=\"propertiesTable\">",
                "<tr class=\"propertiesTableHeader\">",
                "<td>Свойство</td>",
                "<td>Значение</td>",
                "</tr>",
                "<tr>",
                "<td class=\"propertiesTableValueName\">A:</td>",
                "<td class=\"propertiesTableValue\">нет</td>",
                "</tr>",
                "<tr>",
                "<td class=\"propertiesTableValueName\">B:</td>",
                "<td class=\"propertiesTableValue\">нет</td>",
                "</tr>",
                "<tr>",
                "<td class=\"propertiesTableValueName\">C:</td>",
                "<td class=\"propertiesTableValue\">нет</td>",
                "</tr>",
                "<tr>",
                "<td class=\"propertiesTableValueName\">D:</td>",
                "<td class=\"propertiesTableValue\">нет</td>",
                "</tr>",
                "</table>"});
}

class HTMLExport : public ::testing::Test {
 protected:
  HTMLExport() { SetCaptions(exporter, "A", "B", "C", "D"); }
  THTMLExporter exporter;
};

TEST_F(HTMLExport, LibraryWithoutNameHasBareTitleAndHeading) {
  auto document = Parse("<dreamlibrary>\n</dreamlibrary>\n");
  EXPECT_EQ(exporter.ExportHeader(document->Root.get()),
            Lines({"<html>", "<head>", Meta, "<title>БИБЛИОТЕКА СНОВИДЕНИЙ</title>",
                   "<link rel=\"STYLESHEET\" type=\"text/css\" href=\"library.css\">", "</head>"}));
  EXPECT_EQ(exporter.ExportBody(document->Root.get()),
            Lines({"<body>", "<h1>БИБЛИОТЕКА СНОВИДЕНИЙ</h1>",
                   "<h2>Структура библиотеки сновидений</h2>", "<br>", "</body>"}));
  EXPECT_EQ(exporter.TableNumber, 1);
}

TEST_F(HTMLExport, UserTableRowsAndSexValues) {
  exporter.TableNumber = 3;
  const std::string body = Body(exporter,
                                "<dreamlibrary name=\"X\">\n"
                                "  <user sex=\"masculinum\" />\n"
                                "</dreamlibrary>\n");
  EXPECT_EQ(body, Lines({"<body>", "<h1>БИБЛИОТЕКА СНОВИДЕНИЙ: [X]</h1>",
                         "<h4>Таблица 3. Данные пользователя</h4>", "<table class=\"userTable\">",
                         "<tr>", "<td class=\"userTableItem\">", "ПОЛ: ", "</td>",
                         "<td class=\"userTableValue\">", "мужской", "</td>", "</tr>", "</table>",
                         "<br>", "<h2>Структура библиотеки сновидений</h2>", "<br>", "</body>"}));
  EXPECT_EQ(exporter.TableNumber, 4);

  const auto sexRow = [](const char* value) {
    return Lines({"ПОЛ: ", "</td>", "<td class=\"userTableValue\">", value, "</td>"});
  };
  const std::pair<const char*, const char*> sexes[] = {
      {"femininum", "женский"}, {":)", ":)"}, {"neutrum", "neutrum"}, {"Masculinum", "Masculinum"}};
  for (const auto& [stored, shown] : sexes) {
    THTMLExporter other;
    const std::string xml =
        std::string("<dreamlibrary>\n  <user sex=\"") + stored + "\" />\n</dreamlibrary>\n";
    EXPECT_NE(Body(other, xml).find(sexRow(shown)), std::string::npos) << stored;
  }
}

TEST_F(HTMLExport, ExperienceWithoutAttributesOrProperties) {
  // An image without path gives no image table; no energy element, no energy line.
  const std::string body = Body(exporter,
                                "<somnary>\n  <day>\n"
                                "    <experience>\n      <image />\n    </experience>\n"
                                "  </day>\n</somnary>\n");
  EXPECT_EQ(body, Lines({"<body>", "<h2>. </h2>"}) + MarksAllNo() +
                      Lines({"<h4>ДОПОЛНИТЕЛЬНЫЕ СВОЙСТВА: не определены</h4>", "</body>"}));
}

TEST_F(HTMLExport, StoredUndefinedCountsAsAbsent) {
  const std::string body = Body(exporter,
                                "<somnary>\n  <day name=\"undefined\">\n"
                                "    <experience number=\"undefined\" title=\"T\">\n"
                                "      <energy level=\"undefined\" />\n"
                                "    </experience>\n  </day>\n</somnary>\n");
  EXPECT_EQ(body.find("<h1>"), std::string::npos);
  EXPECT_NE(body.find(Lines({"<body>", "<h2>. T</h2>", "<h4>ЭНЕРГЕТИЧЕСКИЙ УРОВЕНЬ: 0</h4>"})),
            std::string::npos);
}

TEST_F(HTMLExport, PropertyRowsFlattenGroupsAndShowUndefined) {
  const std::string body = Body(exporter,
                                "<somnary>\n  <day>\n    <experience>\n"
                                "      <properties label4=\"true\">\n"
                                "        <parameter value=\"v\" />\n"
                                "        <parameter control=\"G\">\n"
                                "          <parameter control=\"g1\" value=\"1\" />\n"
                                "        </parameter>\n"
                                "        <parameter control=\"E\">\n"
                                "        </parameter>\n"
                                "      </properties>\n"
                                "    </experience>\n  </day>\n</somnary>\n");
  EXPECT_NE(body.find(Lines({"<td class=\"propertiesTableValueName\">D:</td>",
                             "<td class=\"propertiesTableValue\">да</td>"})),
            std::string::npos);
  const auto row = [](const char* control, const char* value) {
    return std::string("<tr>\r\n<td class=\"propertiesTableValueName\">") + control +
           ": </td><td class=\"propertiesTableValue\">" + value + "</td>\r\n</tr>\r\n";
  };
  EXPECT_NE(
      body.find(Lines({"<h4>ДОПОЛНИТЕЛЬНЫЕ СВОЙСТВА: </h4>", "<table class=\"propertiesTable\">",
                       "<tr class=\"propertiesTableHeader\">", "<td>Свойство</td>",
                       "<td>Значение</td>", "</tr>"}) +
                row("undefined", "v") + row("g1", "1") + row("E", "undefined") +
                Lines({"</table>", "</body>"})),
      std::string::npos);
}

TEST_F(HTMLExport, DayCommentsStayInPlaceAndNeedText) {
  const std::string body = Body(exporter,
                                "<somnary>\n  <day name=\"d\">\n"
                                "    <comment>first</comment>\n"
                                "    <comment></comment>\n"
                                "    <experience number=\"1\">\n"
                                "      <comment>dream</comment>\n"
                                "    </experience>\n"
                                "    <comment>last</comment>\n"
                                "  </day>\n</somnary>\n");
  EXPECT_EQ(body.substr(0, body.find("<h4>")),
            Lines({"<body>", "<h1>d</h1>", "<h3>КОММЕНТАРИЙ ДНЯ: </h3>",
                   "<span class=\"dayCommentBody\">first</span>", "<h2>1. </h2>",
                   "<h3>КОММЕНТАРИЙ СНОВИДЕНИЯ: </h3>",
                   "<span class=\"dreamCommentBody\">dream</span>"}));
  const std::string tail =
      Lines({"<h4>ДОПОЛНИТЕЛЬНЫЕ СВОЙСТВА: не определены</h4>", "<h3>КОММЕНТАРИЙ ДНЯ: </h3>",
             "<span class=\"dayCommentBody\">last</span>", "</body>"});
  ASSERT_GE(body.size(), tail.size());
  EXPECT_EQ(body.substr(body.size() - tail.size()), tail);
}

TEST_F(HTMLExport, PartsAreTheLastOfTheirNameOrFoundDeeper) {
  // No description or energy of its own: the ones below other children
  // count, from the last child that holds one. Captions set between two
  // pages show on the second.
  const char* xml =
      "<somnary>\n  <day>\n    <experience number=\"1\">\n"
      "      <comment>first</comment>\n      <comment>second</comment>\n"
      "      <x>\n        <description>deep</description>\n"
      "        <energy level=\"10\" />\n      </x>\n"
      "      <y>\n        <energy level=\"50\" />\n      </y>\n"
      "      <properties label1=\"true\" />\n"
      "    </experience>\n  </day>\n</somnary>\n";
  const std::string body = Body(exporter, xml);
  EXPECT_EQ(
      body.substr(0, body.find("<table")),
      Lines({"<body>", "<h2>1. </h2>", "<span class=\"dreamDescription\">deep</span>",
             "<h3>КОММЕНТАРИЙ СНОВИДЕНИЯ: </h3>", "<span class=\"dreamCommentBody\">second</span>",
             "<h4>ЭНЕРГЕТИЧЕСКИЙ УРОВЕНЬ: 0.5</h4>", "<h4>СВОЙСТВА:</h4>"}));
  SetCaptions(exporter, "E", "B", "C", "D");
  EXPECT_NE(Body(exporter, xml)
                .find(Lines({"<td class=\"propertiesTableValueName\">E:</td>",
                             "<td class=\"propertiesTableValue\">да</td>"})),
            std::string::npos);
}

TEST_F(HTMLExport, EnergyUsesTheGivenDecimalSeparator) {
  const char* xml =
      "<somnary>\n  <day>\n    <experience>\n      <energy level=\"30\" />\n"
      "    </experience>\n  </day>\n</somnary>\n";
  THTMLExporter comma(TNumberFormat{',', ' '});
  EXPECT_NE(Body(comma, xml).find(Lines({"<h4>ЭНЕРГЕТИЧЕСКИЙ УРОВЕНЬ: 0,7</h4>"})),
            std::string::npos);
  THTMLExporter point(TNumberFormat{'.', ','});
  EXPECT_NE(Body(point, xml).find(Lines({"<h4>ЭНЕРГЕТИЧЕСКИЙ УРОВЕНЬ: 0.7</h4>"})),
            std::string::npos);
}

TEST_F(HTMLExport, NoElementAndForeignRoot) {
  EXPECT_EQ(exporter.ExportToText(nullptr), "\r\n\r\n\r\n");
  auto document = Parse("<directory name=\"x\">\n</directory>\n");
  EXPECT_EQ(exporter.ExportToText(document->Root.get()),
            Lines({"<html>", "<head>", Meta, "</head>", "", "<body>", "</body>", "", "</html>"}));
}

TEST_F(HTMLExport, IndentRepeatsTheSpacer) {
  EXPECT_EQ(exporter.Indent(2), "&nbsp;&nbsp;");
  EXPECT_EQ(exporter.Indent(0), "");
  EXPECT_EQ(exporter.Indent(-3), "");
}

}  // namespace
