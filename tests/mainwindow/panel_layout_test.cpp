// The editing panel at the smallest window and beside the search panel:
// every control whole, apart from the others, and reachable by scrolling.
#include <QAbstractButton>
#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTreeWidgetItemIterator>

#include "common/test_files.h"
#include "main_form_fixture.h"
#include "storage/smr_Types.h"

namespace {

// The shipped sample library, as a user first sees it.
class SamplePanel : public TMainFormFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test_files::CopyTree(qEnvironmentVariable("SOMNARY_RESOURCES"), Dir.path()));
    Start();
    Form->show();
  }
  QTreeWidgetItem* FirstExperience() const {
    Tree()->expandAll();
    for (QTreeWidgetItemIterator it(Tree()); *it; ++it) {
      const TXMLNode* element = Tfrm_MainForm::ElementOf(*it);
      if (element && element->Name == smr::elExperience) return *it;
    }
    return nullptr;
  }
  // Named controls the panel shows, apart from the graphs behind them.
  QList<QWidget*> Shown() const {
    QList<QWidget*> shown;
    for (QWidget* w : EditPanel()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
      if (w->isVisible() && !w->objectName().isEmpty() && w->objectName() != "pnl_Statistics")
        shown << w;
    return shown;
  }
};

TEST_F(SamplePanel, EveryControlIsWholeApartAndReachableInSmallWindowsAndBesideTheSearch) {
  // Only the sample's first journal is read at start; the tree fills as it opens.
  QTreeWidgetItem* experience = nullptr;
  for (int tries = 0; tries < 3 && !experience; ++tries) experience = FirstExperience();
  ASSERT_NE(experience, nullptr);
  Select(experience);
  const QString shots = qEnvironmentVariable("SOMNARY_SHOTS");
  if (!shots.isEmpty()) QDir().mkpath(shots);
  QScrollArea* scroll = EditPanel()->scr_WorkArea;
  ASSERT_NE(scroll, nullptr);
  for (QSize size : {QSize(640, 480), QSize(900, 640)}) {
    for (bool search : {false, true}) {
      const std::string where = std::to_string(size.width()) + "x" + std::to_string(size.height()) +
                                (search ? "_with-search-panel" : "_without-search-panel");
      SCOPED_TRACE(where);
      if (search)
        Form->mnu_Find->trigger();
      else
        Form->findChild<QDockWidget*>("dck_Search")->hide();
      Form->resize(size);
      QApplication::processEvents();
      ASSERT_EQ(Form->size(), size);
      if (!shots.isEmpty())
        Form->grab().save(shots + "/edit-panel_" + QString::fromStdString(where) + ".png");

      const QList<QWidget*> shown = Shown();
      ASSERT_GE(shown.size(), 18);
      for (int i = 0; i < shown.size(); ++i) {
        QWidget* w = shown[i];
        const std::string name = w->objectName().toStdString();
        EXPECT_TRUE(EditPanel()->rect().contains(w->geometry())) << name;
        // Captions are never cut.
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w)) {
          EXPECT_GE(w->width(), w->sizeHint().width()) << name;
        }
        EXPECT_GT(w->height(), 0) << name;
        for (int j = i + 1; j < shown.size(); ++j)
          EXPECT_FALSE(w->geometry().intersects(shown[j]->geometry()))
              << name << " overlaps " << shown[j]->objectName().toStdString();
        scroll->ensureWidgetVisible(w, 0, 0);
        const QRect inView(w->mapTo(scroll->viewport(), QPoint(0, 0)), w->size());
        EXPECT_TRUE(scroll->viewport()->rect().contains(inView)) << name << " out of reach";
      }
      scroll->verticalScrollBar()->setValue(0);
      scroll->horizontalScrollBar()->setValue(0);
      if (search && size.width() >= 900) {
        // The search's filters go one under another rather than past the dock's edge.
        auto* searchScroll = Form->findChild<QScrollArea*>("scr_Search");
        EXPECT_FALSE(searchScroll->horizontalScrollBar()->isVisible());
        for (QWidget* w : searchScroll->widget()->findChildren<QWidget*>()) {
          const QString name = w->objectName();
          if (!w->isVisible() ||
              !(name.startsWith(QLatin1String("box_")) || name.startsWith(QLatin1String("lbl_"))))
            continue;
          const QPoint right = w->mapTo(searchScroll->viewport(), QPoint(w->width(), 0));
          EXPECT_LE(right.x(), searchScroll->viewport()->width()) << w->objectName().toStdString();
          EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
        }
      }
    }
  }
}

}  // namespace
