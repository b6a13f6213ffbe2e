// The statistics graphs of journals, nights and catalogues, through the
// window: what each selection shows, the cache written into the library,
// the copy and refresh buttons and the error message.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QLocale>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QWindow>
#include <cmath>

#include "main_form_fixture.h"
#include "mainwindow/smr_StatisticsView.h"

namespace {

std::string Experience(int number, const std::string& inside = {}) {
  return "    <experience number=\"" + std::to_string(number) + "\" title=\"С" +
         std::to_string(number) + "\">\n" + inside + "    </experience>\n";
}
std::string Night(const std::string& name, const std::string& experiences) {
  return "  <day name=\"" + name + "\">\n" + experiences + "  </day>\n";
}

class Statistics : public TMainFormFixture {
 protected:
  // Journal A: 2 nights of 3 experiences; mark 1 on one, the older lucid
  // flag on another, mark 2 on a third. Journal B: 1 night of 3, levels 0,
  // 100 and none, mark 1 on the first. A sub-catalogue stands before them.
  void Build(const std::string& catalogueCache = {}) {
    WriteJournal("a.xml",
                 Night("01.01.26", Experience(1, "      <properties label1=\"true\" />\n") +
                                       Experience(2, "      <properties luciddream=\"true\" />\n") +
                                       Experience(3, "      <properties label2=\"true\" />\n")) +
                     Night("02.01.26", Experience(4) + Experience(5) + Experience(6)));
    WriteJournal("b.xml", Night("03.01.26", Experience(7,
                                                       "      <properties label1=\"true\" />\n"
                                                       "      <energy level=\"0\" />\n") +
                                                Experience(8, "      <energy level=\"100\" />\n") +
                                                Experience(9)));
    LibraryBody = "  <directory name=\"К\">\n    <directory name=\"Под\">\n    </directory>\n" +
                  File("A", "a.xml") + File("B", "b.xml") + catalogueCache + "  </directory>\n";
    WriteFile("lib.xml",
              kLibraryProlog + "<dreamlibrary name=\"Л\">\n" + LibraryBody + "</dreamlibrary>\n");
    WriteSettings(NativePath("lib.xml"));
    Start();
    Form->resize(900, 700);
    Form->show();  // so the work area takes its size
    QApplication::processEvents();
  }
  void WriteJournal(const QString& name, const std::string& body) {
    WriteFile(name, kJournalProlog + "<somnary>\n" + body + "</somnary>\n");
  }
  std::string File(const std::string& name, const QString& journal) const {
    return "    <file name=\"" + name + "\" path=\"" + NativePath(journal) + "\" />\n";
  }

  TStatisticsView* View() const { return Form->pnl_Statistics; }
  // The graph image's own pixels under a rectangle of the view.
  QRect Device(const QRect& logical) const {
    return DeviceRect({logical.left(), logical.top(), logical.right() + 1, logical.bottom() + 1},
                      View()->devicePixelRatioF());
  }
  QTreeWidgetItem* Catalogue() const { return Node({U("Л"), U("К")}); }
  QTreeWidgetItem* Journal(const char* name) const { return Node({U("Л"), U("К"), U(name)}); }
  std::vector<std::pair<double, double>> Points(int graph) const {
    std::vector<std::pair<double, double>> out;
    for (const auto& v : View()->Graphs()[GraphSlot(graph)].Values) out.emplace_back(v.X, v.Y);
    return out;
  }
  // Which of the six buttons show, as "c1 r1 c2 ...".
  QString ShownButtons() const {
    QStringList shown;
    for (int i = 1; i <= 3; ++i)
      for (const char* kind : {"btn_Copy_", "btn_Refresh_"}) {
        auto* button = Form->findChild<QToolButton*>(kind + QString::number(i));
        if (button && button->isVisibleTo(Form.get())) shown << kind + QString::number(i);
      }
    return shown.join(' ');
  }
  [[nodiscard]] static bool Trigger(QAction* action) {
    if (!action->isEnabled()) return false;
    action->trigger();
    return true;
  }

  std::string LibraryBody;
};

TEST_F(Statistics, EachKindOfElementShowsItsGraphsAndButtons) {
  Build();
  auto* image = Form->findChild<QWidget*>("img_Graphs");
  ASSERT_NE(image, nullptr);

  Select(Journal("A"));
  EXPECT_TRUE(image->isVisibleTo(Form.get()));
  EXPECT_EQ(ShownButtons(), "btn_Copy_1 btn_Refresh_1 btn_Copy_2 btn_Refresh_2");
  EXPECT_EQ(Points(0), (std::vector<std::pair<double, double>>{{1, 3}, {2, 3}}));
  // Marks 1 and 2 once each; the older lucid flag does not count here.
  EXPECT_EQ(Points(1), (std::vector<std::pair<double, double>>{{1, 1}, {2, 1}, {3, 0}, {4, 0}}));
  EXPECT_EQ(View()->Graphs()[1].Footer.Text, U("Всего опытов: 6"));
  EXPECT_TRUE(Form->mnu_RefreshAll->isEnabled());

  // The buttons sit at the upper right of graph 1's panel, below the separator.
  auto* copy = Form->findChild<QToolButton*>("btn_Copy_1");
  auto* refresh = Form->findChild<QToolButton*>("btn_Refresh_1");
  const int top = EditPanel()->bvl_Border->y();
  EXPECT_EQ(copy->geometry(), QRect(View()->width() - 10 - 15 - 5, top + 15 + 5, 15, 15));
  EXPECT_EQ(refresh->geometry(), QRect(copy->x(), copy->y() + 16, 15, 15));
  EXPECT_EQ(copy->toolTip(), U("Скопировать график в буфер обмена"));
  EXPECT_EQ(refresh->toolTip(), U("Обновить график"));

  Select(Journal("B"));
  Select(Journal("B")->child(0));
  EXPECT_EQ(ShownButtons(), "btn_Copy_1 btn_Refresh_1");
  EXPECT_EQ(Points(0), (std::vector<std::pair<double, double>>{{1, 1}, {2, 0}, {3, 0}}));
  EXPECT_TRUE(Form->mnu_RefreshAll->isEnabled());
  // The average of 1, 0 and 0 in the user's own locale, whichever the suite runs under.
  EXPECT_TRUE(View()->Graphs()[0].Footer.Text.endsWith(": 0" + QLocale::system().decimalPoint() +
                                                       "333333333333333"))
      << View()->Graphs()[0].Footer.Text.toStdString();

  Select(Journal("B")->child(0)->child(0));
  EXPECT_FALSE(image->isVisibleTo(Form.get()));
  EXPECT_EQ(ShownButtons(), "");
  EXPECT_FALSE(Form->mnu_RefreshAll->isEnabled());

  Select(Catalogue());
  EXPECT_TRUE(image->isVisibleTo(Form.get()));
  EXPECT_EQ(ShownButtons(),
            "btn_Copy_1 btn_Refresh_1 btn_Copy_2 btn_Refresh_2 btn_Copy_3 btn_Refresh_3");
  EXPECT_EQ(Points(0), (std::vector<std::pair<double, double>>{{1, 6}, {2, 3}}));
  EXPECT_EQ(Points(2), (std::vector<std::pair<double, double>>{{1, 2}, {2, 1}}));
  // A wider window draws the graphs again and moves their buttons along.
  const int before = View()->width();
  Form->resize(1100, 700);
  QApplication::processEvents();
  ASSERT_GT(View()->width(), before);
  EXPECT_EQ(copy->x(), View()->width() - 30);
  EXPECT_EQ(View()->img_Graphs->Picture.width(),
            std::ceil(View()->width() * View()->devicePixelRatioF()));

  Select(Node({U("Л")}));
  EXPECT_FALSE(image->isVisibleTo(Form.get()));
  EXPECT_FALSE(Form->mnu_RefreshAll->isEnabled());
  EXPECT_EQ(Prompts->Count("Error"), 0);
}

TEST_F(Statistics, AtTheSmallestSizeNoButtonCoversAHeading) {
  Build();
  Form->resize(Form->minimumSize());
  Form->SetTreeWidth(Form->width());  // the work area at its narrowest
  QApplication::processEvents();
  const auto bare = [&](const QToolButton* button) {
    // Nothing but the panel's face where the button sits: no heading text under it.
    const QImage& picture = View()->img_Graphs->Picture;
    const QRect under = Device(button->geometry()) & picture.rect();
    if (under.isEmpty()) return false;
    for (int y = under.top(); y <= under.bottom(); ++y)
      for (int x = under.left(); x <= under.right(); ++x)
        if (picture.pixel(x, y) != picture.pixel(under.topLeft())) return false;
    return true;
  };
  for (QTreeWidgetItem* item : {Journal("A"), Journal("A")->child(0), Catalogue()}) {
    Select(item);
    QApplication::processEvents();
    for (int i = 1; i <= 3; ++i) {
      auto* copy = Form->findChild<QToolButton*>("btn_Copy_" + QString::number(i));
      if (copy->isVisibleTo(Form.get())) {
        EXPECT_TRUE(bare(copy)) << item->text(0).toStdString() << " " << i;
      }
    }
  }
}

TEST_F(Statistics, ACatalogueCachesItsGraphsInTheLibraryAndOpensItsJournals) {
  Build();
  Select(Catalogue());
  // Opened as a selection opens them, with their nights in the tree, but
  // neither becomes the default journal.
  EXPECT_EQ(Journal("A")->childCount(), 2);
  EXPECT_EQ(Journal("B")->childCount(), 1);
  EXPECT_EQ(Tfrm_MainForm::ElementOf(Journal("A"))->Name, "somnary");
  EXPECT_EQ(Form->Pairs().Count(), 2);
  EXPECT_EQ(Tree()->currentItem(), Catalogue());

  Stop();
  EXPECT_EQ(
      ReadText("lib.xml"),
      kLibraryProlog + "<dreamlibrary name=\"Л\">\n" +
          "  <directory name=\"К\">\n    <directory name=\"Под\">\n    </directory>\n" +
          File("A", "a.xml") + File("B", "b.xml") +
          "    <statistic>\n"
          "      <graph header=\"Общее количество опытов в журналах\" footer=\"Всего опытов: 9\">\n"
          "        <point name=\"A\" left=\"1\" top=\"6\" />\n"
          "        <point name=\"B\" left=\"2\" top=\"3\" />\n"
          "      </graph>\n"
          "      <graph header=\"Среднее количество опытов за день\" "
          "footer=\"Среднее количество опытов за весь период: 3\">\n"
          "        <point name=\"A\" left=\"1\" top=\"3\" />\n"
          "        <point name=\"B\" left=\"2\" top=\"3\" />\n"
          "      </graph>\n"
          "      <graph header=\"Число опытов с пометкой: [Осознанный сон]\" "
          "footer=\"Общее количество подобных опытов: 3\">\n"
          "        <point name=\"A\" left=\"1\" top=\"2\" />\n"
          "        <point name=\"B\" left=\"2\" top=\"1\" />\n"
          "      </graph>\n"
          "    </statistic>\n"
          "  </directory>\n</dreamlibrary>\n");
}

TEST_F(Statistics, ACachedGraphIsShownAsItIsUntilRefreshAllComputesAllThree) {
  Build(
      "    <statistic>\n      <graph header=\"Старое\" footer=\"\">\n"
      "        <point name=\"A\" left=\"1\" top=\"99\" />\n      </graph>\n    </statistic>\n");
  Select(Catalogue());
  EXPECT_EQ(Points(0), (std::vector<std::pair<double, double>>{{1, 99}}));
  EXPECT_EQ(View()->Graphs()[0].Header.Text, U("Старое"));
  // Only the cached graph is drawn; no journal was read for it.
  EXPECT_EQ(ShownButtons(), "btn_Copy_1 btn_Refresh_1");
  EXPECT_EQ(Form->Journals().Count(), 0);

  ASSERT_TRUE(Trigger(Form->mnu_RefreshAll));
  TXMLNode* catalogue = Tfrm_MainForm::ElementOf(Catalogue());
  const TXMLNode* statistic = catalogue->Child(3);
  ASSERT_EQ(statistic->Name, "statistic");
  ASSERT_EQ(statistic->ChildCount(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(statistic->Child(i)->Name, "graph");
  EXPECT_EQ(catalogue->ChildCount(), 4);
  EXPECT_EQ(Points(0), (std::vector<std::pair<double, double>>{{1, 6}, {2, 3}}));
  EXPECT_EQ(Points(1), (std::vector<std::pair<double, double>>{{1, 3}, {2, 3}}));
  EXPECT_EQ(View()->Graphs()[0].Header.Text, U("Общее количество опытов в журналах"));
  EXPECT_EQ(ShownButtons(),
            "btn_Copy_1 btn_Refresh_1 btn_Copy_2 btn_Refresh_2 btn_Copy_3 btn_Refresh_3");
}

TEST_F(Statistics, ACopyButtonPutsItsGraphPanelOnTheClipboard) {
  Build();
  Select(Journal("A"));
  QApplication::clipboard()->clear();
  auto* copy = Form->findChild<QToolButton*>("btn_Copy_2");
  ASSERT_TRUE(copy->isVisibleTo(Form.get()));
  QTest::mouseClick(copy, Qt::LeftButton);

  const QImage copied = QApplication::clipboard()->image();
  const int w = View()->width(), h = View()->height();
  const QRect border = EditPanel()->bvl_Border->geometry();
  const int s = border.top() + border.height();
  // Graph 2 of a journal: the lower left panel.
  const QRect panel(10, (h - s) / 2 + 35, w / 2 - 20 - 10, h - 10 - ((h - s) / 2 + 35));
  // All the device pixels of the panel, more than its logical ones on a scaled screen.
  const QSize size = Device(panel).size();
  ASSERT_EQ(copied.size(), size);
  EXPECT_EQ(copied.pixelColor(0, 0), QColor(Qt::black));  // the panel's frame
  EXPECT_EQ(copied.pixelColor(size.width() - 1, size.height() - 1), QColor(Qt::black));
  const QImage& picture = View()->img_Graphs->Picture;
  EXPECT_EQ(copied.convertToFormat(picture.format()), picture.copy(Device(panel)));
}

TEST_F(Statistics, OnAScreenOfAnotherScaleTheGraphsAreDrawnAgainForIt) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (screens.size() < 2) GTEST_SKIP() << "needs a second screen";
  Build();
  Select(Journal("A"));
  const QImage& picture = View()->img_Graphs->Picture;
  const qreal before = picture.devicePixelRatio();
  ASSERT_EQ(before, View()->devicePixelRatioF());
  const QSize logical = picture.deviceIndependentSize().toSize();

  Form->windowHandle()->setScreen(screens[1]);
  QApplication::processEvents();
  ASSERT_NE(View()->devicePixelRatioF(), before);
  EXPECT_EQ(picture.devicePixelRatio(), View()->devicePixelRatioF());
  EXPECT_EQ(picture.deviceIndependentSize().toSize(), logical);
}

TEST_F(Statistics, ALevelThatIsNotANumberGivesOneMessageAndNoGraph) {
  const std::string journal =
      kJournalProlog + "<somnary>\n" +
      Night("04.01.26", Experience(1, "      <energy level=\"высоко\" />\n")) + "</somnary>\n";
  WriteFile("c.xml", journal);
  WriteFile("lib.xml", kLibraryProlog + "<dreamlibrary name=\"Л\">\n  <directory name=\"К\">\n" +
                           "    <file name=\"C\" path=\"" + NativePath("c.xml") + "\" />\n" +
                           "  </directory>\n</dreamlibrary>\n");
  WriteSettings(NativePath("lib.xml"));
  Start();
  Select(Journal("C"));
  ASSERT_EQ(Prompts->Count("Error"), 0);
  Select(Journal("C")->child(0));
  ASSERT_EQ(Prompts->Count("Error"), 1);
  EXPECT_EQ(Prompts->Messages("Error")[0],
            U("В элементе «energy» атрибут «level» содержит «высоко», а не число. "
              "Статистика не показана."));
  EXPECT_EQ(ShownButtons(), "");
  // Refresh has nothing to draw again and asks nothing more.
  ASSERT_TRUE(Trigger(Form->mnu_RefreshAll));
  EXPECT_EQ(ShownButtons(), "");
  EXPECT_EQ(Prompts->Count("Error"), 1);
  Stop();
  EXPECT_EQ(ReadText("c.xml"), journal);
}

}  // namespace
