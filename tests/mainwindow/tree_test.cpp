// Building the library tree and what selecting its nodes does.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QTreeWidget>
#include <utility>

#include "main_form_fixture.h"
#include "mainwindow/smr_ClickLabel.h"
#include "storage/smr_Types.h"

namespace {

std::string Journal(int nights, int perNight) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n\n\n<somnary>\n";
  int number = 1;
  for (int n = 0; n < nights; ++n) {
    text += "  <day name=\"0" + std::to_string(n + 1) + ".01.26\">\n";
    for (int e = 0; e < perNight; ++e, ++number)
      text += "    <experience number=\"" + std::to_string(number) + "\" title=\"Сон " +
              std::to_string(number) + "\">\n    </experience>\n";
    text += "  </day>\n";
  }
  return text + "</somnary>\n";
}

class LibraryTree : public TMainFormFixture {
 protected:
  // Three journals in one catalogue; `defaults` gives their default attributes.
  void Build(const std::string& aDefault = {}, const std::string& bDefault = {}) {
    WriteFile("a.xml", Journal(2, 3));  // 6 experiences
    WriteFile("b.xml", Journal(1, 7));
    auto attr = [](const std::string& v) {
      return v.empty() ? std::string() : " default=\"" + v + "\"";
    };
    WriteFile(
        "lib.xml",
        "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n\n\n"
        "<dreamlibrary name=\"Л\">\n  <directory name=\"К\">\n"
        "    <file name=\"A\" path=\"" +
            NativePath("a.xml") + "\"" + attr(aDefault) +
            " />\n"
            "    <file name=\"B\" path=\"" +
            NativePath("b.xml") + "\"" + attr(bDefault) +
            " />\n"
            "    <file name=\"Без пути\" />\n"
            "  </directory>\n  <directory name=\"Один\">\n    <directory name=\"Единственный\">\n"
            "    </directory>\n  </directory>\n</dreamlibrary>\n");
    WriteSettings(NativePath("lib.xml"));
    Start();
  }
  QTreeWidgetItem* File(const char* name) const {
    return Node({U("Л"), U("К"), QString::fromUtf8(name)});
  }
  TXMLNode* FileElement(int index) const { return Form->Library().Root->Child(0)->Child(index); }
};

TEST_F(LibraryTree, AJournalIsReadOnceAndItsNightsAreAddedOnce) {
  Build();
  ASSERT_EQ(File("A")->childCount(), 0);
  Select(File("A"));
  ASSERT_EQ(File("A")->childCount(), 2);
  EXPECT_EQ(File("A")->child(1)->child(2)->text(0), U("6. Сон 6"));
  EXPECT_EQ(Form->Journals().Count(), 1);
  EXPECT_EQ(Form->ElementOf(File("A"))->Name, smr::elJournal);
  EXPECT_EQ(Form->Pairs().FindFirst(Form->ElementOf(File("A"))), FileElement(0));
  Select(File("B"));
  Select(File("A"));
  EXPECT_EQ(File("A")->childCount(), 2);
  EXPECT_EQ(Form->Journals().Count(), 2);
  EXPECT_EQ(EditPanel()->edt_Name->text(), "A");
}

TEST_F(LibraryTree, TheDefaultMovesToTheJournalSelectedLast) {
  Build();
  Select(File("A"));
  EXPECT_EQ(FileElement(0)->GetAttribute(smr::atDefault), "yes");
  Select(File("B"));
  Stop();
  const std::string library = ReadText("lib.xml");
  EXPECT_NE(library.find("a.xml\" default=\"no\" />"), std::string::npos) << library;
  EXPECT_NE(library.find("b.xml\" default=\"yes\" />"), std::string::npos) << library;
}

TEST_F(LibraryTree, ALibraryOpensWithItsDefaultJournalSelectedLoadedAndExpanded) {
  Build("yes", "yes");
  // Both were selected in turn while the tree was built; the last one stays.
  EXPECT_EQ(Tree()->currentItem(), File("B"));
  EXPECT_TRUE(File("B")->isExpanded());
  EXPECT_EQ(File("B")->child(0)->childCount(), 7);
  EXPECT_EQ(FileElement(0)->GetAttribute(smr::atDefault), "no");
  EXPECT_EQ(FileElement(1)->GetAttribute(smr::atDefault), "yes");
}

TEST_F(LibraryTree, MoveCommandsFollowThePlaceAmongSiblings) {
  Build();
  auto moves = [&] {
    EXPECT_EQ(Form->btn_MoveUp->isEnabled(), Form->mnu_MoveUp->isEnabled());
    return std::pair(Form->mnu_MoveUp->isEnabled(), Form->mnu_MoveDown->isEnabled());
  };
  Select(File("A"));
  EXPECT_EQ(moves(), std::pair(false, true));
  Select(File("B"));
  EXPECT_EQ(moves(), std::pair(true, true));
  Select(File("Без пути"));
  EXPECT_EQ(moves(), std::pair(true, false));
  Select(Node({U("Л"), U("Один"), U("Единственный")}));
  EXPECT_EQ(moves(), std::pair(false, false));
  EXPECT_TRUE(Form->mnu_Delete->isEnabled());
  Select(Tree()->topLevelItem(0));
  EXPECT_EQ(moves(), std::pair(false, false));
  EXPECT_FALSE(Form->mnu_Delete->isEnabled());
}

TEST_F(LibraryTree, SelectingANightProposesTheNextNumberOfTheWholeJournal) {
  Build();
  Select(File("B"));
  Select(File("B")->child(0));
  EXPECT_EQ(Form->NextExperienceNumber(), 8);
  EXPECT_TRUE(Form->mnu_CreateExperience->isEnabled());
  Select(File("A"));
  Select(File("A")->child(0));  // a night with 3 of the journal's 6
  EXPECT_EQ(Form->NextExperienceNumber(), 7);
}

TEST_F(LibraryTree, CommandsFollowTheSelectedKind) {
  Build();
  struct Row {
    QTreeWidgetItem* node;
    bool catalogue, journal, night, experience, exportOn;
  };
  Select(File("A"));
  QTreeWidgetItem* night = File("A")->child(0);
  const Row rows[] = {
      {Tree()->topLevelItem(0), true, false, false, false, true},
      {Node({U("Л"), U("К")}), true, true, false, false, false},
      {File("A"), false, false, true, false, true},
      {night, false, false, false, true, false},
      {night->child(0), false, false, false, false, false},
  };
  for (const Row& row : rows) {
    Select(row.node);
    SCOPED_TRACE(row.node->text(0).toStdString());
    EXPECT_EQ(Form->mnu_CreateDirectory->isEnabled(), row.catalogue);
    EXPECT_EQ(Form->pmn_CreateDirectory->isEnabled(), row.catalogue);
    EXPECT_EQ(Form->mnu_CreateFile->isEnabled(), row.journal);
    EXPECT_EQ(Form->mnu_CreateDay->isEnabled(), row.night);
    EXPECT_EQ(Form->pmn_CreateExperience->isEnabled(), row.experience);
    EXPECT_EQ(Form->mnu_Export->isEnabled(), row.exportOn);
  }
}

TEST_F(LibraryTree, AJournalWithoutPathIsShownButNotOpened) {
  Build();
  Select(File("Без пути"));
  EXPECT_EQ(EditPanel()->edt_Name->text(), U("Без пути"));
  EXPECT_EQ(Form->Journals().Count(), 0);
  EXPECT_EQ(Form->ElementOf(File("Без пути"))->Name, smr::elFile);
  EXPECT_FALSE(Form->mnu_CreateDay->isEnabled());
  EXPECT_FALSE(Form->btn_Create->isEnabled());
}

TEST_F(LibraryTree, ABrokenJournalOpensWithWhatWasReadAndIsBackedUp) {
  Build();
  WriteFile("a.xml",
            "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n\n\n<somnary>\n"
            "  <day name=\"1\">\n  </day>\n  <day name=\"2\">\n");
  const std::string original = ReadBytes("a.xml");
  Select(File("A"));
  EXPECT_EQ(File("A")->childCount(), 2);
  ASSERT_EQ(Prompts->Count("Information"), 1);
  EXPECT_TRUE(Prompts->Messages("Information")[0].contains(Path("a.xml.bak")));
  Stop();
  EXPECT_EQ(ReadBytes("a.xml.bak"), original);
  EXPECT_NE(ReadText("a.xml").find("<day name=\"2\">\n  </day>\n</somnary>\n"), std::string::npos);
}

TEST_F(LibraryTree, RelativeJournalPathsAreFoundBesideTheLibraryWhateverTheCurrentFolder) {
  // Started from another folder, as any launcher may do.
  TCurrentDirGuard guard;
  QDir().mkpath(Path("elsewhere"));
  QDir::setCurrent(Path("elsewhere"));
  WriteFile("books/near.xml", Journal(1, 1));
  WriteFile("elsewhere/here.xml", Journal(2, 1));
  WriteFile("beside.xml", Journal(3, 1));
  const std::string library =
      "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n\n\n"
      "<dreamlibrary name=\"Л\">\n  <directory name=\"К\">\n"
      "    <file name=\"Near\" path=\"near.xml\" />\n"
      "    <file name=\"Here\" path=\"here.xml\" />\n"
      "    <file name=\"Beside\" path=\"beside.xml\" />\n"
      "  </directory>\n</dreamlibrary>\n";
  WriteFile("books/lib.xml", library);
  WriteSettings("books/lib.xml");
  Start();
  // Beside the library, then in the current folder, then beside the program.
  const std::pair<const char*, int> nights[] = {{"Near", 1}, {"Here", 2}, {"Beside", 3}};
  for (const auto& [name, count] : nights) {
    Select(File(name));
    EXPECT_EQ(File(name)->childCount(), count) << name;
  }
  Stop();
  EXPECT_FALSE(QFile::exists(Path("elsewhere/near.xml")));
  // The stored paths stay as they were written.
  const std::string text = ReadText("books/lib.xml");
  for (const char* stored : {"path=\"near.xml\"", "path=\"here.xml\"", "path=\"beside.xml\""})
    EXPECT_NE(text.find(stored), std::string::npos) << stored;
  EXPECT_NE(ReadText("books/near.xml").find("<experience number=\"1\""), std::string::npos);
}

// Tests and tools find the panel's controls by name from the window.
TEST_F(LibraryTree, PanelControlsAreFoundByNameFromTheWindow) {
  WriteSettings("");
  Start();
  TEditPanel* panel = EditPanel();
  ASSERT_NE(panel, nullptr);
  // In the work area's scroll area.
  EXPECT_TRUE(Form->pnl_WorkArea->isAncestorOf(panel));
  EXPECT_EQ(Form->findChild<QWidget*>("scr_WorkArea")->parentWidget(), Form->pnl_WorkArea);
  const std::pair<const char*, QWidget*> controls[] = {
      {"edt_Number", panel->edt_Number},
      {"edt_Name", panel->edt_Name},
      {"mmo_Description", panel->mmo_Description},
      {"mmo_Comment", panel->mmo_Comment},
      {"box_Label1", panel->box_Label1},
      {"box_Label4", panel->box_Label4},
      {"trb_Energy", panel->trb_Energy},
      {"lbl_ZeroEnergyLevel", panel->lbl_ZeroEnergyLevel},
      {"img_Image", panel->img_Image},
      {"btn_LoadImage", panel->btn_LoadImage},
      {"btn_ClearImage", panel->btn_ClearImage},
      {"btn_ReadOnly", panel->btn_ReadOnly}};
  for (const auto& [name, control] : controls) {
    ASSERT_NE(control, nullptr) << name;
    EXPECT_EQ(Form->findChild<QWidget*>(QString::fromLatin1(name)), control) << name;
  }
}

}  // namespace
