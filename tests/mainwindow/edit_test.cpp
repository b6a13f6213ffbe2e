// Creating, moving and deleting elements through the real window: the
// documents in memory, the tree and the files left on disk.
#include "edit_fixture.h"

namespace {

TEST_F(Edit, CatalogueGoesUnderTheSelectedNodeWhichIsExpanded) {
  StartWith("");
  QTreeWidgetItem* root = Node({"Lib"});
  Select(root);
  EXPECT_FALSE(Form->mnu_CreateFile->isEnabled());

  Answer(U("Сны"));
  ASSERT_TRUE(Trigger(Form->mnu_CreateDirectory));
  ASSERT_EQ(Prompts->Count("NewElement"), 1);
  EXPECT_EQ(Prompts->Asked.back().Mode, 1);
  QTreeWidgetItem* dreams = Node({"Lib", U("Сны")});
  ASSERT_NE(dreams, nullptr);
  EXPECT_EQ(Current(), dreams);
  EXPECT_TRUE(root->isExpanded());
  ASSERT_EQ(Root()->ChildCount(), 1);
  EXPECT_EQ(Element(dreams), Root()->Child(0));
  // The selected catalogue takes catalogues and journals, nothing else.
  EXPECT_TRUE(Form->mnu_CreateFile->isEnabled());
  EXPECT_FALSE(Form->mnu_CreateDay->isEnabled());

  // The same through the pop-up of the create button.
  Form->btn_Create->click();
  EXPECT_TRUE(Form->mnu_Create->isVisible());
  Answer(U("Вложенный"));
  ASSERT_TRUE(Trigger(Form->pmn_CreateDirectory));
  Form->mnu_Create->hide();
  QTreeWidgetItem* inner = Node({"Lib", U("Сны"), U("Вложенный")});
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(Current(), inner);
  EXPECT_TRUE(dreams->isExpanded());

  // A cancelled dialog changes nothing.
  Prompts->NewElements.push_back({});
  ASSERT_TRUE(Trigger(Form->mnu_CreateDirectory));
  EXPECT_EQ(inner->childCount(), 0);
  EXPECT_EQ(Current(), inner);

  Stop();  // selecting each new catalogue cached its statistics; the cancel added nothing
  EXPECT_EQ(ReadText("lib.xml"), kLibraryProlog +
                                     "<dreamlibrary name=\"Lib\">\n"
                                     "  <directory name=\"Сны\">\n" +
                                     EmptyCatalogueCache("    ") +
                                     "    <directory name=\"Вложенный\">\n" +
                                     EmptyCatalogueCache("      ") +
                                     "    </directory>\n"
                                     "  </directory>\n"
                                     "</dreamlibrary>\n");
}

TEST_F(Edit, NewJournalIsWrittenAtOnceAndTakesNights) {
  StartWith("  <directory name=\"Кат\">\n  </directory>\n");
  QTreeWidgetItem* catalogue = Node({"Lib", U("Кат")});
  Select(catalogue);
  Answer(U("Журнал"), Path("new.xml"));
  ASSERT_TRUE(Trigger(Form->mnu_CreateFile));
  EXPECT_EQ(Prompts->Asked.back().Mode, 2);
  EXPECT_EQ(Prompts->Count("Choose") + Prompts->Count("Error"), 0);
  EXPECT_EQ(ReadBytes("new.xml"), kEmptyJournalBytes);

  QTreeWidgetItem* journal = Node({"Lib", U("Кат"), U("Журнал")});
  ASSERT_NE(journal, nullptr);
  EXPECT_EQ(Current(), journal);
  EXPECT_TRUE(catalogue->isExpanded());
  TXMLParser* document = Form->Journals().Find(NativePath("new.xml"));
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(Element(journal), document->Root.get());
  TXMLNode* directory = Element(catalogue);
  ASSERT_EQ(Children(directory),
            (std::vector<std::string>{"statistic:undefined", "file:" + Cp1251("Журнал")}));
  TXMLNode* file = directory->Child(1);
  EXPECT_EQ(file->Name, "file");
  EXPECT_EQ(file->Kind, nkEmptyElement);
  EXPECT_EQ(file->GetAttribute(smr::atName), Cp1251("Журнал"));
  EXPECT_EQ(file->GetAttribute(smr::atPath), NativePath("new.xml"));
  EXPECT_EQ(file->Level, 2);
  EXPECT_EQ(Form->Pairs().FindFirst(document->Root.get()), file);

  Answer("05.06.07");
  ASSERT_TRUE(Trigger(Form->mnu_CreateDay));
  EXPECT_EQ(Prompts->Asked.back().Mode, 3);
  QTreeWidgetItem* night = Node({"Lib", U("Кат"), U("Журнал"), "05.06.07"});
  ASSERT_NE(night, nullptr);
  EXPECT_EQ(Current(), night);
  EXPECT_TRUE(Form->mnu_CreateExperience->isEnabled());
  EXPECT_FALSE(Form->mnu_CreateDay->isEnabled());

  Stop();
  EXPECT_EQ(ReadBytes("new.xml"),
            "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n"
            "<?xml-stylesheet href=\"../journal.xsl\" type=\"text/xsl\"?>\r\n"
            "<!DOCTYPE somnary SYSTEM \"../somnary.dtd\">\r\n"
            "\r\n"
            "<somnary>\r\n"
            "  <day name=\"05.06.07\">\r\n"
            "  </day>\r\n"
            "</somnary>\r\n");
}

TEST_F(Edit, ProposedNumberCountsTheWholeJournalAndFollowsDeletes) {
  WriteJournal("j.xml",
               "  <day name=\"01.01.24\">\n"
               "    <experience number=\"001\" title=\"Первый\">\n      <comment>раз</comment>\n   "
               " </experience>\n"
               "    <experience number=\"002\" title=\"Второй\">\n      <comment>два</comment>\n   "
               " </experience>\n"
               "  </day>\n"
               "  <day name=\"02.01.24\">\n"
               "    <experience number=\"003\" title=\"Третий\">\n      <comment>три</comment>\n   "
               " </experience>\n"
               "  </day>\n");
  StartWith("  <directory name=\"Кат\">\n" + FileElement("Ж", "j.xml") + "  </directory>\n");
  Select(Node({"Lib", U("Кат"), U("Ж")}));
  QTreeWidgetItem* first = Node({"Lib", U("Кат"), U("Ж"), "01.01.24"});
  QTreeWidgetItem* second = Node({"Lib", U("Кат"), U("Ж"), "02.01.24"});
  ASSERT_TRUE(first && second);

  Select(second);
  EXPECT_EQ(Form->NextExperienceNumber(), 4);
  Select(first);
  EXPECT_EQ(Form->NextExperienceNumber(), 4);
  Prompts->NewElements.push_back({});  // cancelled: only the proposal is looked at
  ASSERT_TRUE(Trigger(Form->mnu_CreateExperience));
  EXPECT_EQ(Prompts->Asked.back().Mode, 4);
  EXPECT_EQ(Prompts->Asked.back().Number, 4);
  EXPECT_EQ(Prompts->Asked.back().RadioIndex, 0);

  Select(Node({"Lib", U("Кат"), U("Ж"), "01.01.24", U("002. Второй")}));
  Prompts->Confirmations.push_back({true, false});
  ASSERT_TRUE(Trigger(Form->mnu_Delete));
  EXPECT_EQ(Prompts->Messages("Confirmation"),
            QStringList{U("Вы действительно хотите удалить объект \"002. Второй\" ?")});
  EXPECT_EQ(Captions(first), QStringList{U("001. Первый")});
  EXPECT_EQ(Current(), first->child(0));

  // Two left, but 003 is taken: the proposal does not repeat it.
  Select(first);
  EXPECT_EQ(Form->NextExperienceNumber(), 4);
  Answer("004", U("Ещё"));
  ASSERT_TRUE(Trigger(Form->mnu_CreateExperience));
  EXPECT_EQ(Prompts->Asked.back().Number, 4);
  EXPECT_EQ(Captions(first), (QStringList{U("001. Первый"), U("004. Ещё")}));
  TXMLNode* created = Element(first)->Children.back().get();
  EXPECT_EQ(Element(Current()), created);
  EXPECT_EQ(AttributeNames(created), (std::vector<std::string>{"number", "title"}));
  EXPECT_EQ(created->GetAttribute(smr::atTitle), Cp1251("Ещё"));
  EXPECT_EQ(created->Level, 2);
  EXPECT_EQ(SettingsOption(smr::atExperienceView), "plaintext");
}

TEST_F(Edit, HtmlExperienceGetsAnEmptyFileNamedAfterItsJournal) {
  TCurrentDirGuard guard;
  const std::string night = "  <day name=\"01.01.24\">\n  </day>\n";
  WriteJournal("a/b.xml", night);
  WriteJournal("my.folder/j", night);
  WriteJournal("rel.xml", night);
  QDir().mkpath(Path("sub"));
  StartWith("  <directory name=\"Кат\">\n" + FileElement("B", "a/b.xml") +
            FileElement("J", "my.folder/j") +
            "    <file name=\"R\" path=\"../rel.xml\" />\n  </directory>\n");
  ASSERT_TRUE(QDir::setCurrent(Path("sub")));

  struct TCase {
    const char* journal;
    std::string expected;  // the `file` attribute
    QString created;       // where it must be on disk, in the test folder
  } cases[] = {
      {"B", NativePath("a/b_012.html"), "a/b_012.html"},
      {"J", NativePath("my.folder/j_012.html"), "my.folder/j_012.html"},
      {"R", "../rel_012.html", "rel_012.html"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.journal);
    Select(Node({"Lib", U("Кат"), c.journal}));
    QTreeWidgetItem* nightNode = Node({"Lib", U("Кат"), c.journal, "01.01.24"});
    ASSERT_NE(nightNode, nullptr);
    Select(nightNode);
    Answer("012", U("Сон"), 1);
    ASSERT_TRUE(Trigger(Form->mnu_CreateExperience));
    ASSERT_EQ(Element(nightNode)->ChildCount(), 1);
    TXMLNode* experience = Element(nightNode)->Child(0);
    EXPECT_EQ(AttributeNames(experience),
              (std::vector<std::string>{"number", "title", "type", "file"}));
    EXPECT_EQ(experience->GetAttribute(smr::atType), "html");
    EXPECT_EQ(experience->GetAttribute(smr::atFile), c.expected);
    EXPECT_EQ(ReadBytes(c.created), "");
    EXPECT_EQ(Captions(nightNode), QStringList{U("012. Сон")});
  }
  EXPECT_EQ(Form->ExperienceView(), 1);
  EXPECT_EQ(SettingsOption(smr::atExperienceView), "html");
  EXPECT_EQ(Prompts->Count("Error"), 0);
  // The next dialog proposes HTML again.
  Select(Node({"Lib", U("Кат"), "B", "01.01.24"}));
  Prompts->NewElements.push_back({});
  ASSERT_TRUE(Trigger(Form->mnu_CreateExperience));
  EXPECT_EQ(Prompts->Asked.back().RadioIndex, 1);
  Stop();  // the relative journal is written before the current folder is restored
  EXPECT_EQ(
      ReadText("rel.xml"),
      kJournalProlog +
          "<somnary>\n"
          "  <day name=\"01.01.24\">\n"
          "    <experience number=\"012\" title=\"Сон\" type=\"html\" file=\"../rel_012.html\">\n"
          "    </experience>\n"
          "  </day>\n"
          "</somnary>\n");
}

TEST_F(Edit, ExistingDescriptionIsKeptAndAnUncreatableOneAddsNothing) {
  WriteJournal("a/b.xml", "  <day name=\"01.01.24\">\n  </day>\n");
  WriteFile("a/b_012.html", "<p>Мой сон</p>\n");
  const std::string description = ReadBytes("a/b_012.html");
  StartWith("  <directory name=\"Кат\">\n" + FileElement("B", "a/b.xml") + "  </directory>\n");
  Select(Node({"Lib", U("Кат"), "B"}));
  QTreeWidgetItem* night = Node({"Lib", U("Кат"), "B", "01.01.24"});
  Select(night);

  // "x/7" names a file in a folder that does not exist.
  Answer("x/7", U("Ошибка"), 1);
  ASSERT_TRUE(Trigger(Form->mnu_CreateExperience));
  ASSERT_EQ(Prompts->Count("Error"), 1);
  EXPECT_TRUE(Prompts->Messages("Error")[0].startsWith(U("Не удалось записать файл «") +
                                                       Path("a/b_x/7.html") + U("»: ")));
  EXPECT_EQ(Element(night)->ChildCount(), 0);
  EXPECT_EQ(night->childCount(), 0);
  EXPECT_EQ(Current(), night);
  EXPECT_EQ(SettingsOption(smr::atExperienceView), "html");  // the choice is stored all the same

  // The file there is left alone: the new experience gets a name of its own.
  Answer("012", U("Повтор"), 1);
  ASSERT_TRUE(Trigger(Form->mnu_CreateExperience));
  ASSERT_EQ(Element(night)->ChildCount(), 1);
  EXPECT_EQ(Element(night)->Child(0)->GetAttribute(smr::atFile), NativePath("a/b_012_2.html"));
  EXPECT_EQ(ReadBytes("a/b_012.html"), description);
  EXPECT_EQ(ReadBytes("a/b_012_2.html"), "");
  EXPECT_EQ(Prompts->Count("Error"), 1);
}

TEST_F(Edit, MovingACatalogueMovesItInTreeAndFileAndSetsTheButtons) {
  StartWith(
      "  <directory name=\"A\">\n  </directory>\n"
      "  <user nick=\"n\" />\n"
      "  <directory name=\"B\">\n    <directory name=\"B1\">\n    </directory>\n  </directory>\n"
      "  <directory name=\"C\">\n  </directory>\n");
  QTreeWidgetItem* root = Node({"Lib"});
  QTreeWidgetItem* b = Node({"Lib", "B"});
  TXMLNode* bElement = Element(b);
  Select(b);
  b->setExpanded(true);
  EXPECT_TRUE(Form->btn_MoveUp->isEnabled());
  EXPECT_TRUE(Form->btn_MoveDown->isEnabled());

  ASSERT_TRUE(Click(Form->btn_MoveUp));
  EXPECT_EQ(Captions(root), (QStringList{"B", "A", "C"}));
  EXPECT_EQ(Current(), b);
  EXPECT_EQ(Element(b), bElement);
  EXPECT_TRUE(b->isExpanded());
  EXPECT_FALSE(Form->btn_MoveUp->isEnabled());
  EXPECT_FALSE(Form->mnu_MoveUp->isEnabled());
  EXPECT_TRUE(Form->btn_MoveDown->isEnabled());
  EXPECT_TRUE(Form->mnu_MoveDown->isEnabled());
  ASSERT_TRUE(Trigger(Form->mnu_Save));
  EXPECT_EQ(ReadText("lib.xml"), kLibraryProlog +
                                     "<dreamlibrary name=\"Lib\">\n"
                                     "  <directory name=\"B\">\n    <directory name=\"B1\">\n    "
                                     "</directory>\n" +
                                     EmptyCatalogueCache("    ") +
                                     "  </directory>\n"
                                     "  <directory name=\"A\">\n  </directory>\n"
                                     "  <user nick=\"n\" />\n"
                                     "  <directory name=\"C\">\n  </directory>\n"
                                     "</dreamlibrary>\n");

  // Down past A, then past C: the hidden `user` keeps its place between them.
  ASSERT_TRUE(Click(Form->btn_MoveDown));
  EXPECT_EQ(Children(Root()), (std::vector<std::string>{"directory:A", "directory:B",
                                                        "user:undefined", "directory:C"}));
  EXPECT_TRUE(Form->btn_MoveUp->isEnabled());
  EXPECT_TRUE(Form->btn_MoveDown->isEnabled());
  ASSERT_TRUE(Click(Form->btn_MoveDown));
  EXPECT_EQ(Captions(root), (QStringList{"A", "C", "B"}));
  EXPECT_EQ(Children(Root()), (std::vector<std::string>{"directory:A", "user:undefined",
                                                        "directory:C", "directory:B"}));
  EXPECT_TRUE(Form->btn_MoveUp->isEnabled());
  EXPECT_FALSE(Form->btn_MoveDown->isEnabled());
  EXPECT_FALSE(Form->mnu_MoveDown->isEnabled());
  EXPECT_EQ(Captions(b), QStringList{"B1"});
}

TEST_F(Edit, MovingAJournalMovesItsFileElementOnly) {
  WriteJournal("j1.xml",
               "  <day name=\"01.01.24\">\n"
               "    <experience number=\"001\" title=\"Сон\">\n      <comment>текст</comment>\n    "
               "</experience>\n"
               "  </day>\n");
  WriteJournal("j2.xml", "  <day name=\"02.01.24\">\n  </day>\n");
  const std::string j1 = ReadBytes("j1.xml"), j2 = ReadBytes("j2.xml");
  StartWith("  <directory name=\"Кат\">\n" + FileElement("J1", "j1.xml") +
            FileElement("J2", "j2.xml") + "    <statistic count=\"1\" />\n  </directory>\n");
  QTreeWidgetItem* journal = Node({"Lib", U("Кат"), "J1"});
  TXMLNode* file = Element(journal);
  Select(journal);
  TXMLNode* journalRoot = Element(journal);
  ASSERT_NE(journalRoot, file);
  QTreeWidgetItem* night = Node({"Lib", U("Кат"), "J1", "01.01.24"});
  ASSERT_NE(night, nullptr);
  journal->setExpanded(true);
  night->setExpanded(true);
  EXPECT_FALSE(Form->btn_MoveUp->isEnabled());

  ASSERT_TRUE(Click(Form->btn_MoveDown));
  EXPECT_EQ(Captions(Node({"Lib", U("Кат")})), (QStringList{"J2", "J1"}));
  EXPECT_EQ(Element(Node({"Lib", U("Кат")}))->Child(1), file);
  EXPECT_EQ(Element(journal), journalRoot);
  EXPECT_EQ(Form->Pairs().FindFirst(journalRoot), file);
  EXPECT_TRUE(journal->isExpanded());
  EXPECT_TRUE(night->isExpanded());
  EXPECT_EQ(Captions(night), QStringList{U("001. Сон")});
  EXPECT_FALSE(Form->btn_MoveDown->isEnabled());
  EXPECT_TRUE(Form->btn_MoveUp->isEnabled());

  Stop();
  EXPECT_EQ(ReadBytes("j1.xml"), j1);
  EXPECT_EQ(ReadBytes("j2.xml"), j2);
  EXPECT_EQ(ReadText("lib.xml"),
            kLibraryProlog + "<dreamlibrary name=\"Lib\">\n  <directory name=\"Кат\">\n" +
                FileElement("J2", "j2.xml") + FileElement("J1", "j1.xml", " default=\"yes\"") +
                "    <statistic count=\"1\" />\n  </directory>\n</dreamlibrary>\n");
}

TEST_F(Edit, DeleteAsksUntilTheBoxIsTicked) {
  StartWith(
      "  <directory name=\"A\">\n  </directory>\n  <directory name=\"B\">\n  </directory>\n"
      "  <directory name=\"C\">\n  </directory>\n  <directory name=\"D\">\n  </directory>\n");
  QTreeWidgetItem* root = Node({"Lib"});
  Select(Node({"Lib", "B"}));

  // "Нет" changes nothing, whatever the box says.
  Prompts->Confirmations.push_back({false, true});
  ASSERT_TRUE(Trigger(Form->mnu_Delete));
  EXPECT_EQ(Prompts->Messages("Confirmation"),
            QStringList{U("Вы действительно хотите удалить объект \"B\" ?")});
  EXPECT_EQ(Captions(root), (QStringList{"A", "B", "C", "D"}));
  EXPECT_EQ(Root()->ChildCount(), 4);
  EXPECT_EQ(Current(), Node({"Lib", "B"}));
  EXPECT_TRUE(Form->ConfirmDelete());
  EXPECT_EQ(Form->Settings().FindNode(smr::elOptions), nullptr);

  // "Да" with the box clear keeps asking.
  Prompts->Confirmations.push_back({true, false});
  ASSERT_TRUE(Trigger(Form->mnu_Delete));
  EXPECT_EQ(Captions(root), (QStringList{"A", "C", "D"}));
  EXPECT_EQ(Children(Root()),
            (std::vector<std::string>{"directory:A", "directory:C", "directory:D"}));
  EXPECT_EQ(Current(), Node({"Lib", "C"}));
  EXPECT_EQ(SettingsOption(smr::atConfirmDelete), "yes");
  EXPECT_TRUE(Form->ConfirmDelete());

  // The last child: its neighbour before it is selected.
  Select(Node({"Lib", "D"}));
  Prompts->Confirmations.push_back({true, true});
  ASSERT_TRUE(Click(Form->btn_Delete));
  EXPECT_EQ(Captions(root), (QStringList{"A", "C"}));
  EXPECT_EQ(Current(), Node({"Lib", "C"}));
  EXPECT_FALSE(Form->btn_MoveDown->isEnabled());
  EXPECT_EQ(SettingsOption(smr::atConfirmDelete), "no");
  EXPECT_FALSE(Form->ConfirmDelete());

  ASSERT_TRUE(Trigger(Form->mnu_Delete));
  EXPECT_EQ(Captions(root), QStringList{"A"});
  EXPECT_EQ(Prompts->Count("Confirmation"), 3);

  // The root itself cannot be deleted.
  Select(root);
  EXPECT_FALSE(Form->mnu_Delete->isEnabled());
  EXPECT_FALSE(Form->btn_Delete->isEnabled());

  Stop();
  const std::string settings = ReadText("dreams.ini");
  EXPECT_NE(settings.find("  <options confirmdelete=\"no\" />\n"), std::string::npos) << settings;
  Start();
  EXPECT_FALSE(Form->ConfirmDelete());
}

TEST_F(Edit, DeletingAnOpenedJournalKeepsItsDocumentAndSaves) {
  const std::string body =
      "  <day name=\"01.01.24\">\n"
      "    <experience number=\"001\" title=\"Сон\">\n      <comment>текст</comment>\n    "
      "</experience>\n"
      "  </day>\n";
  WriteJournal("j1.xml", body);
  WriteJournal("j2.xml", "  <day name=\"02.01.24\">\n  </day>\n");
  const std::string j1 = ReadBytes("j1.xml");
  StartWith("  <directory name=\"Кат\">\n" + FileElement("J1", "j1.xml") +
                FileElement("J2", "j2.xml") + "  </directory>\n",
            "  <options confirmdelete=\"no\" />\n");
  QTreeWidgetItem* catalogue = Node({"Lib", U("Кат")});
  QTreeWidgetItem* journal = Node({"Lib", U("Кат"), "J1"});
  Select(journal);  // opened, and now the default journal
  Select(Node({"Lib", U("Кат"), "J1", "01.01.24", U("001. Сон")}));
  Select(journal);
  TXMLNode* journalRoot = Element(journal);
  const int documents = Form->Journals().Count();

  ASSERT_TRUE(Trigger(Form->mnu_Delete));
  EXPECT_EQ(Prompts->Count("Confirmation"), 0);
  EXPECT_EQ(Captions(catalogue), QStringList{"J2"});
  EXPECT_EQ(Form->Pairs().FindFirst(journalRoot), nullptr);
  EXPECT_EQ(Form->Journals().Find(NativePath("j1.xml")), Form->Journals().Document(0));
  // The tree moved on to J2, which opened and became the default journal.
  QTreeWidgetItem* other = Node({"Lib", U("Кат"), "J2"});
  EXPECT_EQ(Current(), other);
  EXPECT_EQ(Element(other)->Name, "somnary");
  EXPECT_EQ(Form->Journals().Count(), documents + 1);

  ASSERT_TRUE(Trigger(Form->mnu_Save));
  EXPECT_EQ(Prompts->Count("Error"), 0);
  EXPECT_EQ(ReadBytes("j1.xml"), j1);
  EXPECT_EQ(ReadText("lib.xml"), kLibraryProlog +
                                     "<dreamlibrary name=\"Lib\">\n  <directory name=\"Кат\">\n" +
                                     FileElement("J2", "j2.xml", " default=\"yes\"") +
                                     "  </directory>\n</dreamlibrary>\n");

  // The whole catalogue goes, with the journal opened in it.
  Select(catalogue);
  ASSERT_TRUE(Trigger(Form->mnu_Delete));
  EXPECT_EQ(Node({"Lib"})->childCount(), 0);
  EXPECT_EQ(Root()->ChildCount(), 0);
  EXPECT_EQ(Form->Pairs().Count(), 0);
  EXPECT_EQ(Current(), Node({"Lib"}));
  // The default journal went with it: the next journal shown becomes the
  // default without touching the freed one.
  Answer("K2");
  ASSERT_TRUE(Trigger(Form->mnu_CreateDirectory));
  Answer("J3", Path("j3.xml"));
  ASSERT_TRUE(Trigger(Form->mnu_CreateFile));
  ASSERT_EQ(Root()->ChildCount(), 1);
  ASSERT_EQ(Root()->Child(0)->ChildCount(), 2);  // the cache of K2, then J3
  EXPECT_EQ(Root()->Child(0)->Child(1)->GetAttribute(smr::atDefault), "yes");
  Stop();
  EXPECT_EQ(ReadBytes("j1.xml"), j1);
}

}  // namespace
