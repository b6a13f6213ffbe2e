#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <cstdlib>
#include <memory>

#include "backupview/smr_RestoreBackupForm.h"
#include "common/test_files.h"

namespace {

using test_files::U;

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n";

// Two copies as the dated backups leave them, newest first: a copy made
// before a restore, whose winter journal is cut off, and a daily one with a
// journal from outside the library's folder and one the library does not name.
class RestoreBackup : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Dir.isValid());
    const QString library =
        "<dreamlibrary name=\"%1\">\n"
        " <directory name=\"Сны\">\n"
        "  <file name=\"Осень\" path=\"journals\\осень.xml\"/>\n"
        "  <directory name=\"Старое\">\n"
        "   <file name=\"Зима\" path=\"zima.xml\"/>\n"
        "   <file name=\"Далёкий\" path=\"C:\\Сны\\далёкий.xml\"/>\n"
        "  </directory>\n"
        " </directory>\n"
        "</dreamlibrary>\n";
    Copies = {Copy("2024-05-12 10-30-00 перед восстановлением"), Copy("2024-05-11")};
    Put(0, "Дневник.xml", library.arg(U("Мои сны")));
    Put(0, "journals/осень.xml",
        "<somnary>\n"
        " <day name=\"01.09.23\">\n"
        "  <experience number=\"001\" title=\"Полёт\"><comment>к</comment></experience>\n"
        "  <experience number=\"002\" title=\"Море\"/>\n"
        " </day>\n"
        " <day name=\"02.09.23\"><experience number=\"003\" title=\"Лес\"/></day>\n"
        "</somnary>\n");
    Put(0, "zima.xml", "<somnary>\n <day name=\"01.01.24\">\n");
    Put(1, "Дневник.xml", library.arg(U("Мои сны вчера")));
    Put(1, "zima.xml",
        "<somnary><day name=\"01.01.24\"><experience number=\"1\"/></day></somnary>\n");
    Put(1, "Вне папки библиотеки/C/Сны/далёкий.xml",
        "<somnary><day name=\"5\"><experience/><experience/></day></somnary>\n");
    Put(1, "lost.xml", "<somnary/>\n");
    for (TDatedBackups::TCopy& copy : Copies) copy.Files.sort();

    Form = std::make_unique<Tfrm_RestoreBackupForm>();
    Form->Fill(Copies);
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    Copied = Form->findChild<QTreeWidget*>("tre_Copies");
    Preview = Form->findChild<QTreeWidget*>("tre_Preview");
    ASSERT_NE(Copied, nullptr);
    ASSERT_NE(Preview, nullptr);
    Copied->expandAll();
  }

  TDatedBackups::TCopy Copy(const char* caption) {
    return {Dir.path() + '/' + U(caption) + '/', U(caption), {}, {}};
  }

  void Put(std::size_t copy, const char* relative, const QString& text) {
    Copies[copy].Files << U(relative);
    test_files::Write(Copies[copy].Folder + U(relative),
                      test_files::FileBytes((kDeclaration + text).toStdString()));
  }

  // Clicks a row as the user would.
  void Click(QTreeWidgetItem* item) {
    ASSERT_NE(item, nullptr);
    Copied->scrollToItem(item);
    QTest::mouseClick(Copied->viewport(), Qt::LeftButton, {},
                      Copied->visualItemRect(item).center());
  }

  // "caption|count" of a copy's row and then its files'.
  static QStringList Rows(const QTreeWidgetItem* copy) {
    QStringList rows{copy->text(0) + '|' + copy->text(1)};
    for (int i = 0; i < copy->childCount(); ++i)
      rows << copy->child(i)->text(0) + '|' + copy->child(i)->text(1);
    return rows;
  }

  // The preview's rows, children indented by a blank.
  QStringList Shown() const {
    QStringList rows;
    for (QTreeWidgetItemIterator it(Preview); *it; ++it) {
      QString indent;
      for (const QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent()) indent += ' ';
      rows << indent + (*it)->text(0);
    }
    return rows;
  }

  QTemporaryDir Dir;
  std::vector<TDatedBackups::TCopy> Copies;
  std::unique_ptr<Tfrm_RestoreBackupForm> Form;
  QTreeWidget* Copied = nullptr;
  QTreeWidget* Preview = nullptr;
};

TEST_F(RestoreBackup, ListsEachCopyWithItsLibraryAndJournalsByName) {
  EXPECT_EQ(Form->windowTitle(), U("Восстановление из резервной копии"));
  ASSERT_EQ(Copied->topLevelItemCount(), 2);
  EXPECT_EQ(Rows(Copied->topLevelItem(0)),
            QStringList({U("2024-05-12 10-30-00 перед восстановлением|3"), U("Осень|3"),
                         U("zima.xml|(не прочитан)"), U("Библиотека «Мои сны»|")}));
  // A journal the library does not name keeps its file name.
  EXPECT_EQ(Rows(Copied->topLevelItem(1)),
            QStringList({U("2024-05-11|3"), U("lost.xml|0"), U("Зима|1"), U("Далёкий|2"),
                         U("Библиотека «Мои сны вчера»|")}));
  EXPECT_FALSE(Form->findChild<QPushButton*>("btn_Restore")->isEnabled());
  EXPECT_EQ(Form->ChosenCopy(), -1);
}

TEST_F(RestoreBackup, AJournalShowsItsNightsAndIsRestoredAlone) {
  Click(Copied->topLevelItem(0)->child(0));
  EXPECT_EQ(Shown(), QStringList({U("01.09.23"), U(" 001. Полёт"), U(" 002. Море"), U("02.09.23"),
                                  U(" 003. Лес")}));
  EXPECT_TRUE(Form->findChild<QLabel*>("lbl_Preview")->text().contains(U("«Осень»")));
  EXPECT_EQ(Form->ChosenCopy(), 0);
  EXPECT_EQ(Form->ChosenFiles(), QStringList{U("journals/осень.xml")});
  if (const char* shot = std::getenv("SOMNARY_RESTORE_SCREENSHOT"))
    Form->grab().save(QString::fromUtf8(shot));

  // A copy's row stands for the whole copy and shows its library's catalogues.
  Click(Copied->topLevelItem(1));
  EXPECT_EQ(Shown(),
            QStringList({U("Сны"), U(" Осень"), U(" Старое"), U("  Зима"), U("  Далёкий")}));
  EXPECT_EQ(Form->ChosenCopy(), 1);
  EXPECT_TRUE(Form->ChosenFiles().isEmpty());
  QTest::mouseClick(Form->findChild<QPushButton*>("btn_Restore"), Qt::LeftButton);
  EXPECT_EQ(Form->result(), QDialog::Accepted);
}

TEST_F(RestoreBackup, AFileThatDoesNotReadCannotBeChosen) {
  Click(Copied->topLevelItem(0)->child(1));
  EXPECT_EQ(Form->ChosenCopy(), -1);
  EXPECT_FALSE(Form->findChild<QPushButton*>("btn_Restore")->isEnabled());
  EXPECT_TRUE(Shown().isEmpty());
}

}  // namespace
