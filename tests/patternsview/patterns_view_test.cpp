// The patterns view driven through its widgets: a calendar day clicked,
// the years stepped through, signs added, renamed, removed and adopted in
// the library document, and the signs marked in typed and shown text.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolButton>

#include "common/test_files.h"
#include "patternsview/smr_CalendarGrid.h"
#include "patternsview/smr_DreamSignHighlighter.h"
#include "patternsview/smr_PatternsView.h"
#include "patternsview/smr_SignDialog.h"
#include "search/smr_SearchIndex.h"
#include "storage/smr_Types.h"
#include "xml/xml_mainUnit.h"
#include "xml/xml_node.h"

namespace {

using test_files::U;

std::unique_ptr<TXMLParser> Parsed(const std::string& utf8) {
  auto document = std::make_unique<TXMLParser>();
  document->LoadFromText(test_files::Cp1251(
      "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n" + utf8));
  return document;
}

// Two dated nights in 2024, one on the last night of 2023, one undated.
const char* const kJournal = R"(<somnary>
  <day name="31.12.23">
    <experience number="1" title="Ёлка"><description>Полёты над ёлкой</description>
      <properties label1="true"/></experience>
  </day>
  <day name="01.03.24">
    <experience number="2" title="Море"><description>Я летала над морем</description></experience>
    <experience number="3" title="Школа"><description>Экзамен в школе, море</description></experience>
  </day>
  <day name="01.03.24">
    <experience number="4" title="Снова"><description>Вторая ночь того же дня</description></experience>
  </day>
  <day name="15.06.24">
    <experience number="5" title="Лагерь"><description>Школа и море</description></experience>
  </day>
  <day name="Новый год">
    <experience number="6" title="Дом"><description>Огромный дом</description></experience>
  </day>
</somnary>
)";

class PatternsView : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(journal->Status, xsLoaded);
    ASSERT_EQ(library->Status, xsLoaded);
    view.resize(900, 500);
    view.SetToday(20240616);
    view.Show(library->Root.get(), index, {{nullptr, journal->Root.get()}});
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  }

  const TXMLNode* Night(int at) const { return journal->Root->Child(at); }

  // The signs as the library holds them: "text|category" each.
  std::vector<std::string> Signs() const {
    std::vector<std::string> signs;
    if (const TXMLNode* element = library->Root->FindNode(smr::elDreamSigns))
      for (const auto& sign : element->Children)
        signs.push_back(test_files::Utf8(sign->GetAttribute(smr::atText)) + "|" +
                        test_files::Utf8(sign->GetAttribute(smr::atCategory)));
    return signs;
  }

  // The next sign dialog gets that text and category and is accepted (or
  // cancelled); what it showed first is kept.
  void Answer(const char* text, const char* category, bool accept = true) {
    view.RunSignDialog = [=, this](TSignDialog& dialog) {
      shownText = dialog.edt_SignText->text();
      shownCategories.clear();
      for (int i = 0; i < dialog.cmb_SignCategory->count(); ++i)
        shownCategories << dialog.cmb_SignCategory->itemText(i);
      dialog.edt_SignText->setText(U(text));
      dialog.cmb_SignCategory->setEditText(U(category));
      okEnabled = dialog.btn_SignButtons->button(QDialogButtonBox::Ok)->isEnabled();
      return accept && okEnabled;
    };
  }

  void SelectSign(int row) { view.grd_Signs->selectRow(row); }
  void ShowSignsPage() {
    view.tab_Patterns->setCurrentWidget(view.pg_Signs);
    ASSERT_TRUE(view.grd_Signs->isVisible());
  }

  std::unique_ptr<TXMLParser> journal = Parsed(kJournal);
  std::unique_ptr<TXMLParser> library = Parsed("<dreamlibrary>\r\n</dreamlibrary>\r\n");
  TSearchIndex index{[](const std::string& stored) { return stored; }};
  TPatternsView view;
  QString shownText;
  QStringList shownCategories;
  bool okEnabled = false;
};

TEST_F(PatternsView, ClickingADayChoosesItsFirstNightAndTheYearsStep) {
  QSignalSpy chosen(&view, &TPatternsView::NightChosen);
  EXPECT_EQ(view.lbl_Year->text(), "2024");
  EXPECT_TRUE(view.btn_PrevYear->isEnabled());
  EXPECT_FALSE(view.btn_NextYear->isEnabled());

  TCalendarGrid& grid = view.CalendarGrid();
  // 1 March has two nights: the first one is chosen.
  QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.DayRect(3, 1).center());
  ASSERT_EQ(chosen.size(), 1);
  EXPECT_EQ(chosen[0][1].value<const TXMLNode*>(), Night(1));
  // A day without a night chooses nothing.
  QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.DayRect(3, 2).center());
  EXPECT_EQ(chosen.size(), 1);

  QTest::mouseClick(view.btn_PrevYear, Qt::LeftButton);
  EXPECT_EQ(view.lbl_Year->text(), "2023");
  EXPECT_FALSE(view.btn_PrevYear->isEnabled());
  EXPECT_TRUE(view.btn_NextYear->isEnabled());
  QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.DayRect(12, 31).center());
  ASSERT_EQ(chosen.size(), 2);
  EXPECT_EQ(chosen[1][1].value<const TXMLNode*>(), Night(0));
  // The same place in 2024 is an empty day.
  QTest::mouseClick(view.btn_NextYear, Qt::LeftButton);
  EXPECT_EQ(view.lbl_Year->text(), "2024");
  QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.DayRect(12, 31).center());
  EXPECT_EQ(chosen.size(), 2);
  // A month's missing days have no cell.
  EXPECT_TRUE(grid.DayRect(2, 30).isEmpty());

  ASSERT_EQ(view.lst_Undated->count(), 1);
  EXPECT_EQ(view.lst_Undated->item(0)->text(), U("Новый год"));
}

TEST_F(PatternsView, SignsAreAddedRenamedAndRemovedInTheLibrary) {
  QSignalSpy changed(&view, &TPatternsView::LibraryChanged);
  ShowSignsPage();
  Answer("  летать ", "Действие");
  QTest::mouseClick(view.btn_AddSign, Qt::LeftButton);
  EXPECT_EQ(Signs(), std::vector<std::string>{"летать|Действие"});
  EXPECT_EQ(changed.size(), 1);
  ASSERT_EQ(view.grd_Signs->rowCount(), 1);
  // "Полёты" is not "летать"; "летала" is.
  EXPECT_EQ(view.grd_Signs->item(0, 2)->text(), "1");

  Answer("море", "Своя категория");
  QTest::mouseClick(view.btn_AddSign, Qt::LeftButton);
  EXPECT_EQ(Signs(), (std::vector<std::string>{"летать|Действие", "море|Своя категория"}));

  // Another sign's words cannot be taken again, whatever their case; the
  // categories offered are the four, then the user's own.
  Answer("МОРЕ", "Контекст");
  QTest::mouseClick(view.btn_AddSign, Qt::LeftButton);
  EXPECT_FALSE(okEnabled);
  EXPECT_EQ(Signs().size(), 2u);
  EXPECT_EQ(shownCategories, QStringList({U("Осознание"), U("Контекст"), U("Форма"), U("Действие"),
                                          U("Своя категория")}));

  SelectSign(0);
  Answer("полёт", "Форма");
  QTest::mouseClick(view.btn_EditSign, Qt::LeftButton);
  EXPECT_EQ(shownText, U("летать"));
  EXPECT_EQ(Signs(), (std::vector<std::string>{"полёт|Форма", "море|Своя категория"}));
  EXPECT_EQ(view.grd_Signs->item(0, 2)->text(), "1");
  EXPECT_EQ(view.grd_Signs->item(0, 3)->text(), "100 %");
  EXPECT_EQ(changed.size(), 3);

  // A cancelled dialog changes nothing.
  SelectSign(1);
  Answer("лес", "Контекст", false);
  QTest::mouseClick(view.btn_EditSign, Qt::LeftButton);
  EXPECT_EQ(Signs().size(), 2u);
  EXPECT_EQ(changed.size(), 3);

  QTest::mouseClick(view.btn_RemoveSign, Qt::LeftButton);
  EXPECT_EQ(Signs(), std::vector<std::string>{"полёт|Форма"});
  SelectSign(0);
  QTest::mouseClick(view.btn_RemoveSign, Qt::LeftButton);
  EXPECT_EQ(library->Root->FindNode(smr::elDreamSigns), nullptr);
  EXPECT_EQ(changed.size(), 5);
}

TEST_F(PatternsView, AdoptingASuggestionMakesItASignAndDropsIt) {
  QSignalSpy changed(&view, &TPatternsView::LibraryChanged);
  QSignalSpy search(&view, &TPatternsView::SearchRequested);
  ShowSignsPage();
  // "море" is in the most experiences; stop words like "над" and "в" are not offered.
  ASSERT_GT(view.lst_Suggestions->count(), 0);
  EXPECT_TRUE(view.lst_Suggestions->item(0)->text().startsWith(U("море")));
  for (int i = 0; i < view.lst_Suggestions->count(); ++i)
    EXPECT_FALSE(view.lst_Suggestions->item(i)->text().startsWith(U("над ")));

  view.lst_Suggestions->setCurrentRow(0);
  QTest::mouseClick(view.btn_AdoptSuggestion, Qt::LeftButton);
  EXPECT_EQ(Signs(), std::vector<std::string>{"море|Контекст"});
  EXPECT_EQ(changed.size(), 1);
  for (int i = 0; i < view.lst_Suggestions->count(); ++i)
    EXPECT_FALSE(view.lst_Suggestions->item(i)->text().startsWith(U("море")));
  EXPECT_EQ(view.grd_Signs->item(0, 2)->text(), "3");

  // Double-clicking the sign asks for its search.
  const QRect cell = view.grd_Signs->visualItemRect(view.grd_Signs->item(0, 0));
  QTest::mouseClick(view.grd_Signs->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(view.grd_Signs->viewport(), Qt::LeftButton, {}, cell.center());
  ASSERT_EQ(search.size(), 1);
  EXPECT_EQ(search[0][0].toString(), U("море"));
}

// The formats a document's first block got: "start+length" of each.
std::vector<std::string> Marked(const QTextDocument& document) {
  std::vector<std::string> marked;
  for (const QTextLayout::FormatRange& range : document.firstBlock().layout()->formats())
    if (range.format.background() == DreamSignFormat().background() &&
        range.format.underlineStyle() == QTextCharFormat::SingleUnderline)
      marked.push_back(std::to_string(range.start) + "+" + std::to_string(range.length));
  return marked;
}

TEST(DreamSignHighlighter, MarksSignsByStemInTypedAndShownText) {
  const std::vector<TDreamSign> signs = {{test_files::Cp1251("летать"), ""},
                                         {test_files::Cp1251("полёт"), ""}};
  QTextDocument typed;
  typed.setPlainText(U("Мы летали, полёты и море"));
  TDreamSignHighlighter highlighter(&typed);
  highlighter.SetSigns(signs);
  // "летали" at 3, "полёты" at 11; "море" is no sign.
  EXPECT_EQ(Marked(typed), (std::vector<std::string>{"3+6", "11+6"}));
  highlighter.SetSigns({});
  EXPECT_TRUE(Marked(typed).empty());

  QTextDocument shown;
  shown.setHtml(U("<p>Мы <b>летали</b> над морем</p>"));
  HighlightDreamSigns(shown, signs);
  const auto charAt = [&](int position) {
    QTextCursor cursor(&shown);
    cursor.setPosition(position + 1);
    return cursor.charFormat();
  };
  EXPECT_EQ(charAt(3).background(), DreamSignFormat().background());
  EXPECT_EQ(charAt(3).fontWeight(), QFont::Bold);  // the text's own format stays
  EXPECT_NE(charAt(14).background(), DreamSignFormat().background());
}

}  // namespace
