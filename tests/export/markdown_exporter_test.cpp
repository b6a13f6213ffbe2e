// The Markdown export: headings by depth, escaping, and the text it makes
// of HTML descriptions (shared with the table export).
#include <gtest/gtest.h>

#include "export/smr_HTMLText.h"
#include "export/smr_MarkdownExporter.h"
#include "export_test_util.h"

namespace {

// UTF-8 lines, each ended with CR LF.
std::string MarkdownLines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) (text += line) += "\r\n";
  return text;
}

class MarkdownExport : public ::testing::Test {
 protected:
  MarkdownExport() {
    SetCaptions(exporter, "Осознанный", "Астрал", "Вне тела", "");
    sources.Attach(exporter);
  }
  TMarkdownExporter exporter;
  TTestSources sources;
};

TEST_F(MarkdownExport, JournalWithEscapedTextAndAnHTMLDescription) {
  auto journal = Parse(
      "<somnary>\n"
      "  <day name=\"01.02.03\">\n"
      "    <experience number=\"001\" title=\"# Дом *и* [сад] #\">\n"
      "      <description>- не список, a_b `код` &amp; 1. нет</description>\n"
      "      <comment>цитата | ~</comment>\n"
      "      <image path=\"images\\сон 1.png\" />\n"
      "      <properties label1=\"true\" label4=\"true\" />\n"
      "      <energy level=\"50\" />\n"
      "    </experience>\n"
      "    <experience number=\"002\" title=\"Страница\" type=\"html\" file=\"p.html\" />\n"
      "    <comment>день</comment>\n"
      "  </day>\n"
      "  <day name=\"02.02.03\" />\n"
      "</somnary>\n");
  sources.Files["p.html"] = Cp1251("<p>1. первый</p><p># второй<br>третий</p>");
  exporter.JournalName = Cp1251("Осень");
  EXPECT_EQ(exporter.ExportToText(journal->Root.get()),
            MarkdownLines({"# Осень",
                           "",
                           "## 01.02.03",
                           "",
                           "### 001. \\# Дом \\*и\\* \\[сад\\] \\#",
                           "",
                           "*Отметки: Осознанный, Отметка 4; Энергия: 0.5*",
                           "",
                           "\\- не список, a\\_b \\`код\\` \\&amp; 1. нет",
                           "",
                           "> цитата \\| \\~",
                           "",
                           "![Изображение](<images/сон 1.png>)",
                           "",
                           "### 002. Страница",
                           "",
                           "1\\. первый",
                           "",
                           "\\# второй  ",
                           "третий",
                           "",
                           "> Комментарий дня: день",
                           "",
                           "## 02.02.03",
                           ""}));
}

TEST_F(MarkdownExport, LibraryLevelsStopAtSixAndAJournalNotReadIsSaid) {
  sources.Journals["d.xml"] = Parse(
      "<somnary><day name=\"01.01.24\"><experience number=\"1\" title=\"x\" /></day>"
      "</somnary>\n");
  auto library = Parse(
      "<dreamlibrary name=\"Сны\">\n"
      "  <directory name=\"A\"><directory name=\"B\"><directory name=\"C\">"
      "<directory name=\"D\"><file name=\"Глубокий\" path=\"d.xml\" /></directory>"
      "</directory></directory></directory>\n"
      "  <directory name=\"E\"><file name=\"Пропавший\" path=\"нет.xml\" /></directory>\n"
      "</dreamlibrary>\n");
  EXPECT_EQ(exporter.ExportToText(library->Root.get()),
            MarkdownLines({"# БИБЛИОТЕКА СНОВИДЕНИЙ: Сны",
                           "",
                           "## A",
                           "",
                           "### B",
                           "",
                           "#### C",
                           "",
                           "##### D",
                           "",
                           "###### Глубокий",
                           "",
                           "###### 01.01.24",
                           "",
                           "###### 1. x",
                           "",
                           "## E",
                           "",
                           "### Пропавший",
                           "",
                           "Журнал не прочитан: нет.xml",
                           ""}));
}

TEST(MarkdownEscape, MarksByPlace) {
  using TPlace = TMarkdownExporter::TPlace;
  const struct {
    const char* text;
    TPlace place;
    const char* escaped;
  } cases[] = {
      {"12) x", TPlace::Line, "12\\) x"},
      {"12) x", TPlace::Inline, "12) x"},
      {"+1 = 1+0", TPlace::Line, "\\+1 = 1+0"},
      {"===", TPlace::Line, "\\==="},
      {"> a > b", TPlace::Line, "\\> a > b"},
      {"> a # b", TPlace::Heading, "> a \\# b"},
      {"  a\r\nb  ", TPlace::Heading, "a  b"},
      {"a & b &c &#1;", TPlace::Inline, "a & b \\&c \\&#1;"},
      {"<b>\\", TPlace::Inline, "\\<b>\\\\"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TMarkdownExporter::Escape(c.text, c.place), c.escaped) << c.text;
}

TEST(HTMLText, BlocksBreakLinesAndReferencesAreDecoded) {
  const std::pair<const char*, const char*> cases[] = {
      {"<p>a</p><p>b</p>", "a\n\nb"},
      {"a<br>b<br><br><br><br>c", "a\nb\n\nc"},
      {"<div>a</div><div> b </div>", "a\nb"},
      {"<ul><li>x</li><li>y</li></ul>", "x\ny"},
      {"<H1>Т</H1>текст<BR/>", "Т\n\nтекст"},
      {"<table><tr><td>1</td><td>2</td></tr><tr><td>3</td></tr></table>", "1 2\n3"},
      {"<head><title>T</title><style>p {}</style><script>if (a<b) x();</script></head>"
       "<body>  a \n\t b  </body>",
       "a b"},
      {"&lt;&gt;&amp;&quot;&apos; &#1046;&#x416; &nbsp;x &laquo;y&raquo; &nope; &",
       "<>&\"' ЖЖ x «y» &nope; &"},
      {"a <!-- <p>скрыто</p> --> b", "a b"},
      {"1 < 2 и <b>жирный</b>", "1 < 2 и жирный"},
      {"мяг&shy;кий", "мягкий"},
      {"&#128512; 😀", "😀 😀"},
      {"текст <незакрытый", "текст"},
  };
  for (const auto& [html, text] : cases)
    EXPECT_EQ(HTMLText(QString::fromUtf8(html)).toStdString(), text) << html;
}

}  // namespace
