// New journals over existing files, journals the library names twice, and
// new libraries over files in use, through the real window.
#include <QApplication>
#include <QFileInfo>
#include <filesystem>

#include "edit_fixture.h"

namespace {

TEST_F(Edit, NewJournalOverAnExistingFileIsReplacedAttachedOrLeftAlone) {
  WriteFile("note.txt", "просто текст\n");
  const std::string note = ReadBytes("note.txt");
  WriteJournal("old.xml", "  <day name=\"03.03.03\">\n  </day>\n");
  const std::string old = ReadBytes("old.xml");
  StartWith("  <directory name=\"Кат\">\n  </directory>\n");
  QTreeWidgetItem* catalogue = Node({"Lib", U("Кат")});
  Select(catalogue);

  // Not a journal: replace or cancel only.
  Answer("N", Path("note.txt"));
  Prompts->Choices.push_back(1);
  ASSERT_TRUE(Trigger(Form->mnu_CreateFile));
  ASSERT_EQ(Prompts->Count("Choose"), 1);
  EXPECT_TRUE(Prompts->Messages("Choose")[0].endsWith(U("|Заменить|Отмена")));
  EXPECT_TRUE(Prompts->Messages("Choose")[0].contains(Path("note.txt")));
  EXPECT_EQ(ReadBytes("note.txt"), note);
  EXPECT_EQ(catalogue->childCount(), 0);
  EXPECT_EQ(Children(Element(catalogue)), std::vector<std::string>{"statistic:undefined"});
  EXPECT_EQ(Current(), catalogue);

  // A journal: attach it as it is.
  Answer("Old", Path("old.xml"));
  Prompts->Choices.push_back(0);
  ASSERT_TRUE(Trigger(Form->mnu_CreateFile));
  EXPECT_TRUE(Prompts->Messages("Choose")[1].endsWith(U("|Подключить|Заменить|Отмена")));
  QTreeWidgetItem* attached = Node({"Lib", U("Кат"), "Old"});
  ASSERT_NE(attached, nullptr);
  EXPECT_EQ(Current(), attached);
  EXPECT_EQ(Captions(attached), QStringList{"03.03.03"});
  TXMLParser* document = Form->Journals().Find(NativePath("old.xml"));
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(Element(attached), document->Root.get());
  EXPECT_EQ(Form->Pairs().FindFirst(document->Root.get()), Element(catalogue)->Child(1));
  EXPECT_EQ(ReadBytes("old.xml"), old);

  // The same file again is refused: it is in the library already.
  Select(catalogue);
  Answer("Again", Path("old.xml"));
  ASSERT_TRUE(Trigger(Form->mnu_CreateFile));
  EXPECT_EQ(Prompts->Count("Choose"), 2);
  EXPECT_EQ(Prompts->Count("Error"), 1);
  EXPECT_EQ(Captions(catalogue), QStringList{"Old"});

  // Replace, after a cancel.
  Answer("N", Path("note.txt"));
  Prompts->Choices.push_back(-1);  // window closed
  ASSERT_TRUE(Trigger(Form->mnu_CreateFile));
  EXPECT_EQ(ReadBytes("note.txt"), note);
  EXPECT_EQ(Captions(catalogue), QStringList{"Old"});
  Answer("N", Path("note.txt"));
  Prompts->Choices.push_back(0);
  ASSERT_TRUE(Trigger(Form->mnu_CreateFile));
  EXPECT_EQ(ReadBytes("note.txt"), kEmptyJournalBytes);
  EXPECT_EQ(Captions(catalogue), (QStringList{"Old", "N"}));
  EXPECT_EQ(Element(Current()), Form->Journals().Find(NativePath("note.txt"))->Root.get());
}

TEST_F(Edit, DeletedJournalRecreatedAtItsPathReusesItsDocument) {
  WriteJournal("j.xml", "  <day name=\"01.01.24\">\n  </day>\n");
  StartWith("  <directory name=\"Кат\">\n" + FileElement("J", "j.xml") + "  </directory>\n",
            "  <options confirmdelete=\"no\" />\n");
  QTreeWidgetItem* catalogue = Node({"Lib", U("Кат")});
  Select(Node({"Lib", U("Кат"), "J"}));
  ASSERT_TRUE(Trigger(Form->mnu_Delete));
  EXPECT_EQ(Current(), catalogue);
  const int documents = Form->Journals().Count();

  // Still held by the table though gone from the library: replacing it must
  // not leave two documents writing one file.
  Answer("New", Path("j.xml"));
  Prompts->Choices.push_back(1);
  ASSERT_TRUE(Trigger(Form->mnu_CreateFile));
  EXPECT_TRUE(Prompts->Messages("Choose")[0].endsWith(U("|Подключить|Заменить|Отмена")));
  EXPECT_EQ(ReadBytes("j.xml"), kEmptyJournalBytes);
  EXPECT_EQ(Form->Journals().Count(), documents);
  QTreeWidgetItem* journal = Node({"Lib", U("Кат"), "New"});
  ASSERT_NE(journal, nullptr);
  EXPECT_EQ(journal->childCount(), 0);
  EXPECT_EQ(Element(journal), Form->Journals().Find(NativePath("j.xml"))->Root.get());
  ASSERT_TRUE(Trigger(Form->mnu_Save));
  EXPECT_EQ(ReadBytes("j.xml"), kEmptyJournalBytes);
}

TEST_F(Edit, JournalThatCannotBeWrittenOrIsTakenAddsNothing) {
  StartWith("  <directory name=\"Кат\">\n  </directory>\n");
  const std::string library = ReadBytes("lib.xml");
  QTreeWidgetItem* catalogue = Node({"Lib", U("Кат")});
  Select(catalogue);
  const int documents = Form->Journals().Count();

  // The library's own file would be fought over by two documents.
  Answer("J", Path("lib.xml"));
  ASSERT_TRUE(Trigger(Form->mnu_CreateFile));
  ASSERT_EQ(Prompts->Count("Error"), 1);
  EXPECT_TRUE(Prompts->Messages("Error")[0].contains(Path("lib.xml")));
  EXPECT_EQ(ReadBytes("lib.xml"), library);
  EXPECT_EQ(catalogue->childCount(), 0);

  Answer("J", Path("missing/j.xml"));
  ASSERT_TRUE(Trigger(Form->mnu_CreateFile));
  ASSERT_EQ(Prompts->Count("Error"), 2);
  EXPECT_TRUE(Prompts->Messages("Error")[1].startsWith(U("Не удалось записать файл «") +
                                                       Path("missing/j.xml") + U("»: ")));
  EXPECT_EQ(Prompts->Count("Choose"), 0);
  EXPECT_EQ(catalogue->childCount(), 0);
  EXPECT_EQ(Children(Element(catalogue)), std::vector<std::string>{"statistic:undefined"});
  EXPECT_EQ(Form->Journals().Count(), documents);
  EXPECT_EQ(Form->Pairs().Count(), 0);
  EXPECT_EQ(Current(), catalogue);
  EXPECT_FALSE(QFileInfo::exists(Path("missing")));
}

// A picked file name goes into the library as it is or not at all: '<', '>'
// and '"' would be replaced there, and characters beyond windows-1251 lost.
TEST_F(Edit, JournalPathTheLibraryCannotHoldIsRefused) {
  StartWith("  <directory name=\"Кат\">\n  </directory>\n");
  QTreeWidgetItem* catalogue = Node({"Lib", U("Кат")});
  Select(catalogue);
  const QString names[] = {"a<!--b.xml", "a>b.xml", "a\"b.xml", U("сон夢.xml")};
  for (const QString& name : names) {
    Answer("J", Path(name));
    ASSERT_TRUE(Trigger(Form->mnu_CreateFile));
    EXPECT_TRUE(Prompts->Messages("Error").last().contains(Path(name))) << name.toStdString();
  }
  EXPECT_EQ(Prompts->Count("Error"), 4);
  EXPECT_EQ(catalogue->childCount(), 0);
  EXPECT_EQ(QDir(Dir.path()).entryList({"*.xml"}), QStringList{"lib.xml"});
}

// One journal under two nodes shares one document: a night deleted under one
// would stay in the other, pointing at freed memory. Whatever else comes in,
// every node left is shown once after the delete.
class OneJournalOneElement : public Edit {
 protected:
  void SetUp() override {
    WriteJournal("j.xml",
                 "  <day name=\"01.01.24\">\n    <experience number=\"001\" title=\"Сон\">\n"
                 "    </experience>\n  </day>\n");
    QDir().mkpath(Path("sub"));
  }
  QTreeWidgetItem* Catalogue() const { return Node({"Lib", U("Кат")}); }
  void DeleteANightAndShowEverything() {
    QTreeWidgetItem* catalogue = Catalogue();
    for (int i = 0; i < catalogue->childCount(); ++i) Select(catalogue->child(i));
    QTreeWidgetItem* first = catalogue->child(0);
    ASSERT_EQ(Captions(first), QStringList{"01.01.24"});
    Select(first->child(0));
    ASSERT_TRUE(Trigger(Form->mnu_Delete));
    for (int i = 0; i < catalogue->childCount(); ++i)
      for (int j = 0; j < catalogue->child(i)->childCount(); ++j)
        Select(catalogue->child(i)->child(j));
    Stop();
    EXPECT_EQ(ReadText("j.xml"), kJournalProlog + "<somnary>\n</somnary>\n");
  }
  static bool IsAlreadyInLibrary(const QString& message) {
    return message.startsWith(U("Журнал «")) && message.contains(U("» уже есть в библиотеке"));
  }
};

TEST_F(OneJournalOneElement, ALibraryListingItTwiceOpensItUnderTheFirstOnly) {
  StartWith("  <directory name=\"Кат\">\n" + FileElement("A", "j.xml") +
                FileElement("B", "sub/../j.xml") + "  </directory>\n",
            "  <options confirmdelete=\"no\" />\n");
  QTreeWidgetItem* b = Node({"Lib", U("Кат"), "B"});
  Select(Node({"Lib", U("Кат"), "A"}));
  for (int i = 0; i < 2; ++i) {
    Select(b);
    EXPECT_EQ(b->childCount(), 0);
    EXPECT_EQ(Element(b)->Name, smr::elFile);
    EXPECT_FALSE(Form->mnu_CreateDay->isEnabled());
    EXPECT_FALSE(Form->pmn_CreateDay->isEnabled());
    Select(Catalogue());
  }
  EXPECT_EQ(Prompts->Count("Error"), 1);  // told once
  const QString message = Prompts->Messages("Error").value(0);
  EXPECT_TRUE(IsAlreadyInLibrary(message)) << message.toStdString();
  EXPECT_TRUE(message.contains(Path("sub/../j.xml"))) << message.toStdString();
  EXPECT_EQ(Root()->Child(0)->Child(0)->GetAttribute(smr::atDefault), "yes");
  EXPECT_EQ(Root()->Child(0)->Child(1)->GetAttribute(smr::atDefault), "undefined");
  DeleteANightAndShowEverything();
}

TEST_F(OneJournalOneElement, AJournalTheLibraryNamesIsNotAttachedAgain) {
  TCurrentDirGuard guard;
  QDir::setCurrent(Path("sub"));
  const std::string journal = ReadBytes("j.xml");
  StartWith("  <directory name=\"Кат\">\n" + FileElement("A", "j.xml") + "  </directory>\n",
            "  <options confirmdelete=\"no\" />\n");
  const struct {
    const char* why;
    QString path;
    bool openFirst;
  } cases[] = {
      {"not opened, another spelling", Path("sub/../j.xml"), false},
      {"not opened, relative to the library", "j.xml", false},
      {"opened", Path("j.xml"), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    if (c.openFirst) Select(Node({"Lib", U("Кат"), "A"}));
    Select(Catalogue());
    const int errors = Prompts->Count("Error");
    Answer("C", c.path);
    Prompts->Choices.push_back(0);  // "Подключить", were it offered
    ASSERT_TRUE(Trigger(Form->mnu_CreateFile));
    EXPECT_EQ(Prompts->Count("Error"), errors + 1);
    EXPECT_TRUE(IsAlreadyInLibrary(Prompts->Messages("Error").value(errors)));
    EXPECT_EQ(Prompts->Count("Choose"), 0);
    Prompts->Choices.clear();
    EXPECT_EQ(Captions(Catalogue()), QStringList{"A"});
    // One `file` beside the statistics the catalogue caches when selected.
    const auto& children = Element(Catalogue())->Children;
    EXPECT_EQ(std::count_if(children.begin(), children.end(),
                            [](const auto& child) { return child->Name == smr::elFile; }),
              1);
    EXPECT_EQ(ReadBytes("j.xml"), journal);
  }
  DeleteANightAndShowEverything();
}

class NewLibrary : public Edit {};

TEST_F(NewLibrary, RefusesFilesInUseAndAsksBeforeReplacingAnother) {
  WriteJournal("j.xml", "  <day name=\"01.01.24\">\n  </day>\n");
  WriteFile("other.xml", "чужой файл\n");
  QDir().mkpath(Path("sub"));
  StartWith("  <directory name=\"Кат\">\n" + FileElement("J", "j.xml") + "  </directory>\n");
  Select(Node({"Lib", U("Кат"), "J"}));  // opened: the library now marks it default
  ASSERT_TRUE(Trigger(Form->mnu_Save));
  const QStringList names = {"lib.xml", "dreams.ini", "j.xml", "other.xml"};
  std::map<QString, std::string> before;
  for (const QString& name : names) before[name] = ReadBytes(name);
  auto unchanged = [&] {
    for (const QString& name : names)
      EXPECT_EQ(ReadBytes(name), before[name]) << name.toStdString();
    EXPECT_EQ(Tree()->topLevelItem(0)->text(0), "Lib");
  };

  for (const QString& taken : {Path("lib.xml"), Path("sub/../dreams.ini"), Path("sub/../j.xml")}) {
    SCOPED_TRACE(taken.toStdString());
    const int errors = Prompts->Count("Error");
    Answer(U("Новая"), taken);
    ASSERT_TRUE(Trigger(Form->mnu_New));
    ASSERT_EQ(Prompts->Count("Error"), errors + 1);
    EXPECT_TRUE(Prompts->Messages("Error").back().contains(taken));
    EXPECT_EQ(Prompts->Count("Choose"), 0);
    unchanged();
  }

  // Another file: one question; "Отмена" and a closed window keep it.
  for (int answer : {1, -1}) {
    Answer(U("Новая"), Path("other.xml"));
    Prompts->Choices.push_back(answer);
    ASSERT_TRUE(Trigger(Form->mnu_New));
    unchanged();
  }
  ASSERT_EQ(Prompts->Count("Choose"), 2);
  EXPECT_EQ(Prompts->Messages("Choose")[0],
            U("Файл «%1» уже существует. Заменить его новой пустой библиотекой?|Заменить|Отмена")
                .arg(Path("other.xml")));

  // "Заменить": the old library is saved with its edit, then the new one takes the file.
  Select(Node({"Lib", U("Кат")}));
  EditPanel()->edt_Name->setText(U("Кат2"));
  Answer(U("Новая"), Path("other.xml"));
  Prompts->Choices.push_back(0);
  ASSERT_TRUE(Trigger(Form->mnu_New));
  EXPECT_EQ(Prompts->Count("Error"), 3);
  EXPECT_EQ(ReadText("other.xml"),
            kLibraryProlog + "<dreamlibrary name=\"Новая\">\n</dreamlibrary>\n");
  EXPECT_NE(ReadText("lib.xml").find("<directory name=\"Кат2\">"), std::string::npos);
  EXPECT_EQ(Tree()->topLevelItem(0)->text(0), U("Новая"));
}

}  // namespace

// Another program (a sync client) writes a file the window has open. The
// window notices it while running: a document unchanged here shows the new
// version at the next selection; one changed here too is told about once,
// and at the save both versions are kept.
TEST_F(Edit, AFileAnotherProgramWroteIsShownAnewUnlessChangedHereToo) {
  struct Row {
    const char* trace;
    bool library;  // else the journal
    bool editedHere;
  };
  for (const Row& row : {Row{"journal", false, false}, Row{"journal, edited here", false, true},
                         Row{"library, replaced by a rename", true, false}}) {
    SCOPED_TRACE(row.trace);
    WriteJournal("j.xml", "  <day name=\"01.01.01\">\n  </day>\n");
    const std::string catalogue =
        "  <directory name=\"Кат\">\n" + FileElement("J", "j.xml") + "  </directory>\n";
    StartWith(catalogue);
    // Selecting a journal marks it the default: a change of the library.
    const auto target = [&] { return row.library ? Node({"Lib"}) : Node({"Lib", U("Кат"), "J"}); };
    Select(target());
    if (row.editedHere) {
      Select(Node({"Lib", U("Кат"), "J", "01.01.01"}));
      EditPanel()->edt_Name->setText("09.09.09");
    }
    Select(nullptr);

    // Theirs, in the program's own text form.
    const QString changed = row.library ? "lib.xml" : "j.xml";
    if (row.library) {
      WriteFile("theirs.tmp",
                kLibraryProlog + "<dreamlibrary name=\"Lib\">\n" + catalogue +
                    "  <directory name=\"Новый\">\n  </directory>\n</dreamlibrary>\n");
      // Replaces the file on Windows too, where std::rename would not.
      std::error_code error;
      std::filesystem::rename(NativePath("theirs.tmp"), NativePath("lib.xml"), error);
      ASSERT_FALSE(error) << error.message();
    } else {
      WriteJournal("j.xml",
                   "  <day name=\"01.01.01\">\n  </day>\n  <day name=\"02.02.02\">\n  </day>\n");
    }
    const std::string theirs = ReadBytes(changed);

    // Each selection looks again until the watcher has told the window.
    const auto shownAnew = [&] {
      return row.library ? Node({"Lib", U("Новый")}) != nullptr
                         : Captions(Node({"Lib", U("Кат"), "J"})).contains("02.02.02");
    };
    for (int i = 0; i < 100 && !shownAnew() && Prompts->Count("Information") == 0; ++i) {
      Select(nullptr);
      Select(target());
      QTest::qWait(20);
    }
    ASSERT_EQ(Prompts->Count("Information"), 1);
    const QString told = Prompts->Messages("Information").front();
    EXPECT_TRUE(told.contains(Path(changed))) << told.toStdString();
    EXPECT_EQ(shownAnew(), !row.editedHere);
    EXPECT_EQ(told.contains(U("Показана его новая версия")), !row.editedHere) << told.toStdString();
    if (!row.library && !row.editedHere) {
      EXPECT_EQ(Current(), Node({"Lib", U("Кат"), "J"}));  // the journal, shown anew
    }

    // Told once, however often it is selected.
    Select(nullptr);
    Select(target());
    QApplication::processEvents();
    EXPECT_EQ(Prompts->Count("Information"), 1);

    Stop();
    EXPECT_EQ(ReadBytes(changed), theirs);
    const QStringList copies = QDir(Dir.path()).entryList({U("j (конфликт *).xml")});
    ASSERT_EQ(copies.size(), row.editedHere ? 1 : 0);
    if (row.editedHere) {
      EXPECT_NE(ReadText(copies.front()).find("09.09.09"), std::string::npos);
      QFile::remove(Dir.filePath(copies.front()));
    }
  }
}
