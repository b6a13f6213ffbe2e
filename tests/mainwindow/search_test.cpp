// The search panel through the window: Ctrl+F, typing, the hits of every
// journal (read when first needed, missing ones reported), a hit shown in
// the tree and the description, edits found, Escape; the patterns dock.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <utility>

#include "main_form_fixture.h"
#include "patternsview/smr_CalendarGrid.h"
#include "patternsview/smr_PatternsView.h"
#include "searchpanel/smr_SearchPanel.h"
#include "searchpanel/smr_SearchResults.h"

namespace {

// A library of one catalogue holding `files`, shown active at 1100x700.
class TShownLibrary : public TMainFormFixture {
 protected:
  void StartShown(const std::string& files) {
    WriteFile("lib.xml", kLibraryProlog + "<dreamlibrary name=\"Л\">\n  <directory name=\"К\">\n" +
                             files + "  </directory>\n</dreamlibrary>\n");
    WriteSettings(NativePath("lib.xml"));
    Start();
    Form->resize(1100, 700);
    Form->show();
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
  }
  std::string File(const std::string& name, const QString& journal) const {
    return "    <file name=\"" + name + "\" path=\"" + NativePath(journal) + "\" />\n";
  }
};

class SearchPanel : public TShownLibrary {
 protected:
  void SetUp() override {
    WriteFile("a.xml",
              kJournalProlog +
                  "<somnary>\n  <day name=\"01.01.26\">\n"
                  "    <experience number=\"1\" title=\"Полёт над морем\">\n"
                  "      <description>Сначала был дом. Потом я летала над морем.</description>\n"
                  "      <properties label1=\"true\" />\n"
                  "    </experience>\n"
                  "    <experience number=\"2\" title=\"Лестница\">\n"
                  "      <description>Тихо.</description>\n"
                  "    </experience>\n  </day>\n</somnary>\n");
    WriteFile("b.xml", kJournalProlog +
                           "<somnary>\n  <day name=\"Без даты\">\n"
                           "    <experience number=\"7\" title=\"Снова\">\n"
                           "      <comment>Летали вдвоём</comment>\n"
                           "    </experience>\n  </day>\n</somnary>\n");
    StartShown(File("A", "a.xml") + File("M", "m.xml") + File("B", "b.xml"));
  }

  TSearchPanel* Panel() const { return Form->pnl_Search; }
  QListView* List() const { return Panel()->lst_SearchResults; }
  QString Row(int row) const { return List()->model()->index(row, 0).data().toString(); }
  bool Finished() {
    for (int i = 0; i < 200 && Panel()->Search().Running(); ++i) QTest::qWait(25);
    return !Panel()->Search().Running();
  }
  void Find(const char* text) {
    QTest::keyClick(Form.get(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(Form->dck_Search->isVisible());
    ASSERT_EQ(QApplication::focusWidget(), Panel()->edt_SearchQuery);
    Type(Panel()->edt_SearchQuery, U(text));
  }
  void Click(int row) {
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                      List()->visualRect(List()->model()->index(row, 0)).center());
  }
};

TEST_F(SearchPanel, FindsInEveryJournalAndShowsAHitInTheTree) {
  EXPECT_EQ(Form->mnu_Find->shortcut(), QKeySequence(QKeySequence::Find));
  QTreeWidgetItem* before = Tree()->currentItem();
  Find("летал");
  ASSERT_TRUE(Finished());
  ASSERT_EQ(List()->model()->rowCount(), 2);
  EXPECT_EQ(Row(0), U("A · 01.01.26 · 1. Полёт над морем"));
  EXPECT_EQ(Row(1), U("B · Без даты · 7. Снова"));
  EXPECT_EQ(Panel()->lbl_SearchCount->text(), U("Найдено: 2"));
  EXPECT_TRUE(Panel()->lbl_SearchProblems->isVisible());
  EXPECT_TRUE(Panel()->lbl_SearchProblems->text().contains(U("Журнал «M»")))
      << Panel()->lbl_SearchProblems->text().toStdString();
  EXPECT_EQ(Form->Journals().Count(), 2);    // the missing journal is not made up
  EXPECT_EQ(Tree()->currentItem(), before);  // searching selects nothing

  if (const char* shot = std::getenv("SOMNARY_SEARCH_SCREENSHOT"))
    Form->grab().save(QString::fromUtf8(shot));

  Click(0);
  QTreeWidgetItem* experience =
      Node({U("Л"), U("К"), U("A"), U("01.01.26"), U("1. Полёт над морем")});
  ASSERT_NE(experience, nullptr);  // the journal's nodes were built
  EXPECT_EQ(Tree()->currentItem(), experience);
  EXPECT_TRUE(experience->parent()->isExpanded() && experience->parent()->parent()->isExpanded());
  const QTextCursor cursor = EditPanel()->mmo_Description->textCursor();
  EXPECT_EQ(cursor.selectedText(), U("летала"));
  EXPECT_EQ(cursor.selectionStart(), 25);

  // A hit in a comment selects the experience; the mark filter narrows.
  Click(1);
  EXPECT_EQ(Tree()->currentItem(), Node({U("Л"), U("К"), U("B"), U("Без даты"), U("7. Снова")}));
  // And by keyboard: Return in the query opens the first hit, Down walks
  // into the list.
  Panel()->edt_SearchQuery->setFocus();
  QTest::keyClick(Panel()->edt_SearchQuery, Qt::Key_Return);
  EXPECT_EQ(Tree()->currentItem(), experience);
  Panel()->edt_SearchQuery->setFocus();
  QTest::keyClick(Panel()->edt_SearchQuery, Qt::Key_Down);
  EXPECT_EQ(QApplication::focusWidget(), List());
  QTest::keyClick(List(), Qt::Key_Down);
  QTest::keyClick(List(), Qt::Key_Return);
  EXPECT_EQ(Tree()->currentItem(), Node({U("Л"), U("К"), U("B"), U("Без даты"), U("7. Снова")}));

  Panel()->box_SearchMark[0]->setChecked(true);
  EXPECT_EQ(List()->model()->rowCount(), 1);

  Stop();
  EXPECT_EQ(ReadBytes("m.xml"), "<missing>");
}

TEST_F(SearchPanel, EditsAreFoundWithoutRestarting) {
  Find("лестница");
  ASSERT_TRUE(Finished());
  ASSERT_EQ(List()->model()->rowCount(), 1);
  Click(0);
  QLineEdit* title = EditPanel()->edt_Name;
  title->selectAll();
  Type(title, U("Подвал"));
  Panel()->edt_SearchQuery->setFocus();
  Panel()->edt_SearchQuery->clear();
  Type(Panel()->edt_SearchQuery, U("подвалы"));
  ASSERT_TRUE(Finished());
  ASSERT_EQ(List()->model()->rowCount(), 1);
  EXPECT_EQ(Row(0), U("A · 01.01.26 · 2. Подвал"));
}

// A journal opened in the tree is indexed in the idle time after, and one
// read for the search by its reader: the first search finds both ready,
// and the input since (the click, Ctrl+F) costs a check, not a new build.
TEST_F(SearchPanel, JournalsAreIndexedAsTheyAreOpened) {
  struct TEveryJournal {
    int Old = std::exchange(IndexAheadNights, 1);
    ~TEveryJournal() { IndexAheadNights = Old; }
  } everyJournal;
  QTreeWidgetItem* journal = Node({U("Л"), U("К"), U("A")});
  ASSERT_NE(journal, nullptr);
  Tree()->scrollToItem(journal);
  QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {},
                    Tree()->visualItemRect(journal).center());
  ASSERT_EQ(Tree()->currentItem(), journal);
  TSearchIndex& index = Panel()->Search().Index();
  const TXMLNode& a = *Tfrm_MainForm::ElementOf(journal);
  EXPECT_FALSE(index.Has(a));  // not while the window shows it
  QTRY_VERIFY(index.Has(a));
  const auto built = index.Journal(a);
  Find("летал");
  ASSERT_TRUE(Finished());
  EXPECT_EQ(index.Journal(a), built);
  ASSERT_EQ(Form->Journals().Count(), 2);
  const TXMLNode& b = *Form->Journals().Document(1)->Root;
  const auto readB = index.Journal(b);

  TSearchIndex fresh([](const std::string& stored) { return stored; });
  std::vector<TSearchHit> expected;
  for (const TXMLNode* root : {&a, &b})
    fresh.Search(nullptr, *root, Panel()->Search().Query(), expected);
  const auto& hits = Panel()->Search().Hits();
  ASSERT_EQ(hits.size(), expected.size());
  for (std::size_t i = 0; i < hits.size(); ++i) {
    EXPECT_EQ(hits[i].Night, expected[i].Night);
    EXPECT_EQ(hits[i].Experience, expected[i].Experience);
  }
  EXPECT_EQ(index.Journal(b), readB);  // nothing was built twice
}

// The indexes hold the text of every journal searched: a closed panel lets
// them go, and the next search builds them again.
TEST_F(SearchPanel, AClosedPanelLetsItsIndexesGo) {
  Find("лестница");
  ASSERT_TRUE(Finished());
  EXPECT_FALSE(Panel()->Search().Index().Empty());
  Form->dck_Search->close();
  EXPECT_TRUE(Panel()->Search().Index().Empty());
  EXPECT_EQ(List()->model()->rowCount(), 1);
  Find("");
  Panel()->RunSearch();
  ASSERT_TRUE(Finished());
  EXPECT_FALSE(Panel()->Search().Index().Empty());
  EXPECT_EQ(List()->model()->rowCount(), 1);
}

TEST_F(SearchPanel, ADeletedExperienceLeavesTheHitsAndIsNotFoundAgain) {
  Find("летал");
  ASSERT_TRUE(Finished());
  Click(0);
  Prompts->Confirmations.push_back({true, false});
  Form->mnu_Delete->trigger();
  QTest::qWait(50);  // searched again once the delete is complete; painted
  ASSERT_TRUE(Finished());
  ASSERT_EQ(List()->model()->rowCount(), 1);
  EXPECT_EQ(Row(0), U("B · Без даты · 7. Снова"));
  EXPECT_EQ(Panel()->lbl_SearchCount->text(), U("Найдено: 1"));
}

TEST_F(SearchPanel, EscapeStopsReadingAndKeepsWhatWasFound) {
  Select(Node({U("Л"), U("К"), U("A")}));  // A in memory, B still to be read
  Find("летал");
  ASSERT_TRUE(Panel()->Search().Running());
  EXPECT_EQ(List()->model()->rowCount(), 1);
  QTest::keyClick(Panel()->edt_SearchQuery, Qt::Key_Escape);
  EXPECT_FALSE(Panel()->Search().Running());
  EXPECT_EQ(Panel()->lbl_SearchCount->text(), U("Поиск прерван. Найдено: 1"));
  QTest::qWait(300);  // the reading ends and is dropped
  EXPECT_EQ(Form->Journals().Count(), 1);
  EXPECT_EQ(Panel()->edt_SearchQuery->text(), U("летал"));
  EXPECT_EQ(List()->model()->rowCount(), 1);

  Type(Panel()->edt_SearchQuery, U("а"));
  ASSERT_TRUE(Finished());
  EXPECT_EQ(List()->model()->rowCount(), 2);
  EXPECT_EQ(Form->Journals().Count(), 2);
}

TEST(SearchSnippetRow, AMatchFarIntoTheLineIsBroughtIntoView) {
  const QFontMetrics metrics(QApplication::font());
  const QString words = U("слово ").repeated(30);
  const int width = metrics.horizontalAdvance(U("слово ").repeated(8));
  const struct {
    QString Text;
    int Start, End;
  } cases[] = {
      {words + U("туман слово"), int(words.size()), int(words.size()) + 5},
      {U("…") + words + U("туман"), int(words.size()) + 1, int(words.size()) + 6},
      {U("туман ") + words, 0, 5},
      {U("слово туман слово"), 6, 11},
  };
  for (const auto& c : cases) {
    const int from = SnippetShownFrom(c.Text, c.Start, c.End, metrics, width);
    SCOPED_TRACE(c.Text.toStdString());
    EXPECT_TRUE(from >= 0 && from <= c.Start);
    EXPECT_LE(metrics.horizontalAdvance(U("…") + c.Text.mid(from, c.End - from)), width);
    EXPECT_TRUE(from == 0 || !c.Text[from - 1].isLetterOrNumber());  // on a word start
    // Text that fits is shown from its start.
    if (metrics.horizontalAdvance(c.Text.left(c.End)) <= width) {
      EXPECT_EQ(from, 0);
    }
  }
}

// A library of several large journals, all open after a first search.
class LargeLibrarySearch : public TShownLibrary {
 protected:
  static constexpr int kJournals = 4, kExperiences = 8000;

  void SetUp() override {
    std::string files;
    for (int j = 0; j < kJournals; ++j) {
      std::string days = kJournalProlog + "<somnary>\n  <day name=\"01.01.26\">\n";
      for (int i = 0; i < kExperiences; ++i) {
        days += "    <experience number=\"" + std::to_string(i) +
                "\" title=\"Сон\">\n      <description>";
        days += "Ночью снился дом, лестница и сад. ";
        if (i % 3 == 0) days += "Над морем летали чайки. ";
        if (i % 5 == 0) days += "Потом всё ушло в туман. ";
        days += "</description>\n    </experience>\n";
      }
      days += "  </day>\n</somnary>\n";
      const QString name = QStringLiteral("j%1.xml").arg(j);
      WriteFile(name, days);
      files += File("J" + std::to_string(j), name);
    }
    StartShown(files);
  }
  TSearchPanel* Panel() const { return Form->pnl_Search; }
  // Runs the event loop until the search ends, one turn at a time, and
  // returns the longest turn in milliseconds, or -1 on a time-out.
  qint64 LongestTurnUntilFinished() {
    qint64 longest = 0;
    QElapsedTimer all;
    all.start();
    while (Panel()->Search().Running()) {
      if (all.elapsed() > 120000) return -1;
      QElapsedTimer turn;
      turn.start();
      QCoreApplication::processEvents(QEventLoop::AllEvents);
      longest = std::max(longest, turn.elapsed());
    }
    return longest;
  }
};

TEST_F(LargeLibrarySearch, ALongPastedQueryNeverHoldsUpTyping) {
  // Generous for the sanitizer build; a whole search used to be one turn.
  constexpr qint64 kLimitMs = 250;
  QTest::keyClick(Form.get(), Qt::Key_F, Qt::ControlModifier);
  QLineEdit* query = Panel()->edt_SearchQuery;
  ASSERT_EQ(QApplication::focusWidget(), query);
  Type(query, U("сад"));  // reads every journal in and indexes it
  ASSERT_GE(LongestTurnUntilFinished(), 0);
  ASSERT_EQ(Panel()->Search().Hits().size(), std::size_t(kJournals * kExperiences));

  QString pasted;
  while (pasted.size() < 30000) pasted += U("море туман «снился дом» лестница море сад ночью ");
  query->selectAll();
  QElapsedTimer turn;
  turn.start();
  query->insert(pasted);  // as a paste: one change of the text
  EXPECT_LE(turn.elapsed(), kLimitMs);
  // Typing on while it searches restarts the search, each key promptly.
  for (const char* key : {"с", "о", "н"}) {
    turn.restart();
    QTest::sendKeyEvent(QTest::Click, query, Qt::Key_unknown, U(key), Qt::NoModifier);
    EXPECT_LE(turn.elapsed(), kLimitMs) << key;
  }
  const qint64 longest = LongestTurnUntilFinished();
  ASSERT_GE(longest, 0);
  EXPECT_LE(longest, kLimitMs);
  // Every 15th experience has both the sea and the fog.
  const std::size_t expected = kJournals * ((kExperiences + 14) / 15);
  EXPECT_EQ(Panel()->Search().Hits().size(), expected);
  EXPECT_EQ(Panel()->lst_SearchResults->model()->rowCount(), int(expected));
  EXPECT_FALSE(Panel()->lbl_SearchQueryNote->isVisible());

  // One word too many: refused with a note, nothing searched.
  QString many;
  for (std::size_t i = 0; i <= TSearchQuery::MaxTerms; ++i) many += QStringLiteral("сад%1 ").arg(i);
  query->setText(U("сад ") + many);
  EXPECT_FALSE(Panel()->Search().Running());
  EXPECT_TRUE(Panel()->lbl_SearchQueryNote->isVisible());
  EXPECT_TRUE(Panel()->lbl_SearchQueryNote->text().contains(QLatin1String("64")));
  EXPECT_EQ(Panel()->lst_SearchResults->model()->rowCount(), 0);
  query->setText(U("сад"));
  EXPECT_FALSE(Panel()->lbl_SearchQueryNote->isVisible());
}

}  // namespace

namespace {

// The patterns dock: a day of the calendar selects its night in the tree
// (the journal read for it), a sign's double-click runs the search, and the
// signs are marked in the description.
class PatternsDock : public TShownLibrary {
 protected:
  void SetUp() override {
    WriteFile("a.xml", kJournalProlog +
                           "<somnary>\n  <day name=\"01.01.26\">\n"
                           "    <experience number=\"1\" title=\"Полёт\">\n"
                           "      <description>Я летала над морем.</description>\n"
                           "    </experience>\n  </day>\n  <day name=\"03.01.26\">\n"
                           "    <experience number=\"2\" title=\"Дом\">\n"
                           "      <description>Тихо.</description>\n"
                           "    </experience>\n  </day>\n</somnary>\n");
    WriteFile("b.xml", kJournalProlog +
                           "<somnary>\n  <day name=\"05.01.26\">\n"
                           "    <experience number=\"1\" title=\"Лес\" />\n  </day>\n</somnary>\n");
    WriteFile("lib.xml", kLibraryProlog + "<dreamlibrary name=\"Л\">\n  <directory name=\"К\">\n" +
                             File("A", "a.xml") + File("B", "b.xml") +
                             "  </directory>\n  <dreamsigns>\n"
                             "    <sign text=\"море\" category=\"Контекст\" />\n"
                             "  </dreamsigns>\n</dreamlibrary>\n");
    WriteSettings(NativePath("lib.xml"));
    Start();
    Form->resize(1100, 700);
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
  }
};

TEST_F(PatternsDock, ADaySelectsItsNightASignRunsTheSearchAndSignsAreMarked) {
  Select(Node({U("Л")}));
  Form->mnu_Patterns->trigger();
  TPatternsView* view = Form->pnl_Patterns;
  ASSERT_TRUE(Form->dck_Patterns->isVisible());
  ASSERT_EQ(view->lbl_Year->text(), "2026");
  TCalendarGrid& grid = view->CalendarGrid();
  QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.DayRect(1, 3).center());
  QTreeWidgetItem* night = Node({U("Л"), U("К"), U("A"), U("03.01.26")});
  ASSERT_TRUE(night);
  EXPECT_EQ(Tree()->currentItem(), night);
  // The calendar still shows the nights of both journals.
  EXPECT_EQ(view->Calendar().Days.size(), 3u);

  view->tab_Patterns->setCurrentWidget(view->pg_Signs);
  QTableWidget* signs = view->grd_Signs;
  ASSERT_EQ(signs->rowCount(), 1);
  EXPECT_EQ(signs->item(0, 2)->text(), "1");  // "морем" by its stem
  ASSERT_TRUE(QTest::qWaitFor([&] { return signs->isVisible(); }));
  QApplication::processEvents();
  const QPoint cell = signs->visualItemRect(signs->item(0, 0)).center();
  QTest::mouseClick(signs->viewport(), Qt::LeftButton, {}, cell);
  QTest::mouseDClick(signs->viewport(), Qt::LeftButton, {}, cell);
  EXPECT_TRUE(Form->dck_Search->isVisible());
  EXPECT_EQ(Form->pnl_Search->edt_SearchQuery->text(), U("море"));

  Select(Node({U("Л"), U("К"), U("A"), U("01.01.26")})->child(0));
  QPlainTextEdit* description = EditPanel()->mmo_Description;
  ASSERT_EQ(description->toPlainText(), U("Я летала над морем."));
  const QList<QTextLayout::FormatRange> marked =
      description->document()->firstBlock().layout()->formats();
  ASSERT_EQ(marked.size(), 1);
  EXPECT_EQ(marked.front().start, description->toPlainText().indexOf(U("морем")));
  EXPECT_EQ(marked.front().length, 5);
}

}  // namespace
