// Start-up, settings, the library file commands and closing, checked
// through the real window and the files it leaves on disk.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <cerrno>
#include <cstring>

#include "common/test_files.h"
#include "main_form_fixture.h"
#include "storage/smr_Codec.h"
#include "storage/smr_Types.h"

namespace {

class Lifecycle : public TMainFormFixture {
 protected:
  void WriteLibrary(const QString& name, const std::string& title, const std::string& body = {}) {
    WriteFile(name, std::string(kLibraryProlog) + "<dreamlibrary name=\"" + title + "\">\n" + body +
                        "</dreamlibrary>\n");
  }
  std::string Settings() const { return ReadText("dreams.ini"); }
};

TEST_F(Lifecycle, StartsWithoutSettingsAndWritesThemAtExit) {
  Start();
  EXPECT_EQ(Tree()->topLevelItemCount(), 0);
  EXPECT_TRUE(Form->ConfirmDelete());
  EXPECT_EQ(Form->ExperienceView(), 0);
  // Nothing to act on but New and Open; the pop-up follows the Edit menu.
  EXPECT_TRUE(Form->mnu_New->isEnabled());
  EXPECT_TRUE(Form->mnu_Open->isEnabled());
  for (QAction* off :
       {Form->mnu_SaveAs, Form->mnu_Delete, Form->mnu_Export, Form->mnu_Authorization,
        Form->mnu_CreateDirectory, Form->pmn_CreateDirectory, Form->pmn_CreateFile,
        Form->pmn_CreateDay, Form->pmn_CreateExperience})
    EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
  EXPECT_FALSE(Form->btn_Create->isEnabled());
  // The title has nowhere to go.
  EXPECT_FALSE(EditPanel()->edt_Name->isEnabled());
  // Even reached past the disabled item, Save As writes no nameless library.
  Prompts->SaveFiles.push_back(Path("nameless.xml"));
  Form->mnu_SaveAsClick();
  EXPECT_EQ(Prompts->Asked.size(), 0u);
  Form->setGeometry(30, 40, 700, 520);
  const int tree = 240;  // the first width of the tree; the user never dragged it
  Stop();
  EXPECT_EQ(ReadBytes("dreams.ini"),
            "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n\r\n\r\n"
            "<settings>\r\n"
            "  <form left=\"30\" top=\"40\" width=\"700\" height=\"520\" treewidth=\"" +
                std::to_string(tree) + "\" />\r\n</settings>\r\n");
  // No library was ever opened: nothing else was written.
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList{"dreams.ini"});
}

TEST_F(Lifecycle, BoundsWrittenAtExitAreRestoredAtNextStart) {
  WriteSettings("");
  Start();
  Form->setGeometry(50, 60, 820, 610);
  Stop();
  EXPECT_NE(
      Settings().find("  <form left=\"50\" top=\"60\" width=\"820\" height=\"610\" treewidth=\""),
      std::string::npos);
  Start();
  EXPECT_EQ(Form->geometry(), QRect(50, 60, 820, 610));
}

// The tree's width is the user's: a dock or a smaller window leaves the
// stored width alone, a dragged splitter changes it.
TEST_F(Lifecycle, OnlyDraggingTheSplitterChangesTheStoredTreeWidth) {
  WriteSettings(
      "", "  <form left=\"10\" top=\"10\" width=\"900\" height=\"640\" treewidth=\"260\" />\n");
  Start();
  Form->show();
  Form->mnu_Find->trigger();
  Form->resize(640, 480);
  QApplication::processEvents();
  Stop();
  EXPECT_NE(Settings().find("treewidth=\"260\""), std::string::npos) << Settings();

  Start();
  Form->show();
  QApplication::processEvents();
  QSplitterHandle* handle = Form->spl_Main->handle(1);
  const QPoint grip(handle->width() / 2, handle->height() / 2);
  QTest::mousePress(handle, Qt::LeftButton, {}, grip);
  QTest::mouseMove(handle, grip + QPoint(40, 0));
  QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(40, 0));
  const int dragged = Form->tre_Directory->width();
  EXPECT_NE(dragged, 260);
  Form->mnu_Find->trigger();
  QApplication::processEvents();
  Stop();
  EXPECT_NE(Settings().find("treewidth=\"" + std::to_string(dragged) + "\""), std::string::npos)
      << Settings();
}

TEST_F(Lifecycle, LabelsIconsOptionsAndUnknownElementsKeepTheirPlaces) {
  WriteFile(
      "dreams.ini",
      "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n\n\n<settings>\n"
      "  <icon name=\"Opened Node\" />\n"
      "  <icon name=\"Dream Library\" path=\"missing.bmp\" />\n"
      "  <label caption=\"Один\" />\n"
      "  <mystery kept=\"да\">\n    <inner />\n  </mystery>\n"
      "  <label caption=\"Два\" />\n  <label caption=\"Три\" />\n  <label caption=\"Четыре\" />\n"
      "  <label caption=\"Пять\" />\n"
      "  <options confirmdelete=\"no\" experienceview=\"html\" />\n"
      "</settings>\n");
  const std::string before = Settings();
  Start();
  EXPECT_FALSE(Form->ConfirmDelete());
  EXPECT_EQ(Form->ExperienceView(), 1);
  EXPECT_EQ(EditPanel()->box_Label1->text(), U("Один"));
  EXPECT_EQ(EditPanel()->box_Label4->text(), U("Четыре"));
  Stop();
  // Everything read stays as it was; only `form` is appended at the end.
  const std::string after = Settings();
  const std::string end = "</settings>\n";
  ASSERT_EQ(after.compare(0, before.size() - end.size(), before, 0, before.size() - end.size()), 0)
      << after;
  EXPECT_EQ(after.find("  <form "), before.size() - end.size());
}

TEST_F(Lifecycle, OpensTheLibraryNamedInTheSettings) {
  WriteLibrary(
      "lib.xml", "Мои сны",
      "  <directory name=\"Первый\">\n    <directory name=\"Вложенный\">\n    </directory>\n"
      "    <file name=\"Журнал\" path=\"nowhere.xml\" />\n  </directory>\n"
      "  <user name=\"Я\" />\n  <file name=\"Скрытый\" path=\"x.xml\" />\n"
      "  <directory name=\"Второй\">\n  </directory>\n");
  WriteSettings(NativePath("lib.xml"));
  Start();
  ASSERT_EQ(Tree()->topLevelItemCount(), 1);
  QTreeWidgetItem* root = Tree()->topLevelItem(0);
  EXPECT_EQ(root->text(0), U("Мои сны"));
  ASSERT_EQ(root->childCount(), 2);  // the user and the loose file are not shown
  EXPECT_EQ(root->child(1)->text(0), U("Второй"));
  ASSERT_NE(Node({U("Мои сны"), U("Первый"), U("Журнал")}), nullptr);
  // Opening selects nothing.
  EXPECT_EQ(Tree()->currentItem(), nullptr);
}

TEST_F(Lifecycle, OpeningAnotherLibraryRewritesTheFirstAndRecordsThePath) {
  WriteLibrary("one.xml", "Один");
  WriteLibrary("two.xml", "Два");
  WriteSettings(NativePath("one.xml"));
  Start();
  Select(Tree()->topLevelItem(0));
  EditPanel()->edt_Name->setText(U("Первая"));
  Prompts->OpenFiles.push_back(Path("two.xml"));
  Form->mnu_Open->trigger();
  // The image dialog was borrowed for the question and given back.
  ASSERT_EQ(Prompts->Count("Open"), 1);
  EXPECT_EQ(Prompts->Asked.back().Text, U("Открыть библиотеку"));
  EXPECT_EQ(Prompts->Asked.back().Filter,
            U("Библиотека сновидений (*.xml)|*.xml|Любое расширение (*.*)|*.*"));
  EXPECT_EQ(Form->dlg_OpenImage.Title, U("Открыть изображение"));
  EXPECT_TRUE(
      Form->dlg_OpenImage.Filter.startsWith(U("Windows BMP (*.bmp)|*.bmp|Все файлы (*.*)|*.*")));
  EXPECT_EQ(ReadText("one.xml"),
            std::string(kLibraryProlog) + "<dreamlibrary name=\"Первая\">\n</dreamlibrary>\n");
  ASSERT_EQ(Tree()->topLevelItemCount(), 1);
  EXPECT_EQ(Tree()->topLevelItem(0)->text(0), U("Два"));
  EXPECT_EQ(Tree()->currentItem(), nullptr);
  Stop();
  EXPECT_NE(Settings().find("<library path=\"" + Path("two.xml").toStdString() + "\" />"),
            std::string::npos);
}

// Another program (a sync client) writes the library while the window has
// it open: an unchanged window leaves that version be; when both changed,
// the window's goes beside it and the user is told which file holds which.
TEST_F(Lifecycle, AnotherProgramsVersionOfTheLibraryIsNeverWrittenOver) {
  for (const bool edited : {false, true}) {
    SCOPED_TRACE(edited ? "both changed" : "only the other changed");
    WriteLibrary("one.xml", "Один");
    WriteSettings(NativePath("one.xml"));
    Start();
    if (edited) {
      Select(Tree()->topLevelItem(0));
      EditPanel()->edt_Name->setText(U("Моя"));
    }
    QFile::remove(Path("one.xml"));
    WriteLibrary("one.xml", "Чужая");
    const std::string theirs = ReadText("one.xml");
    Form->mnu_Save->trigger();
    EXPECT_EQ(ReadText("one.xml"), theirs);
    const QStringList copies = QDir(Dir.path()).entryList({U("one (конфликт *).xml")});
    EXPECT_EQ(copies.size(), edited ? 1 : 0);
    EXPECT_EQ(Prompts->Messages("Information").size(), edited ? 1 : 0);
    if (edited) {
      EXPECT_EQ(ReadText(copies.front()),
                std::string(kLibraryProlog) + "<dreamlibrary name=\"Моя\">\n</dreamlibrary>\n");
      const QString told = Prompts->Messages("Information").front();
      EXPECT_TRUE(told.contains(Path("one.xml")) && told.contains(copies.front()))
          << told.toStdString();
      QFile::remove(Dir.filePath(copies.front()));
    }
    Stop();
  }
}

TEST_F(Lifecycle, CancelledOpenChangesNothing) {
  WriteLibrary("one.xml", "Один");
  WriteSettings(NativePath("one.xml"));
  Start();
  Prompts->OpenFiles.push_back(QString());
  Form->btn_OpenClick();
  EXPECT_EQ(Tree()->topLevelItem(0)->text(0), U("Один"));
  EXPECT_EQ(Form->dlg_OpenImage.Title, U("Открыть изображение"));
}

TEST_F(Lifecycle, SaveAsThenSaveWritesToTheNewPath) {
  WriteLibrary("one.xml", "Один");
  WriteSettings(NativePath("one.xml"));
  Start();
  Prompts->SaveFiles.push_back(Path("copy.xml"));
  Form->mnu_SaveAs->trigger();
  EXPECT_EQ(Prompts->Asked.back().Text, U("Сохранить библиотеку как"));
  Select(Tree()->topLevelItem(0));
  EditPanel()->edt_Name->setText(U("Копия"));
  Form->mnu_Save->trigger();
  EXPECT_EQ(ReadText("copy.xml"),
            std::string(kLibraryProlog) + "<dreamlibrary name=\"Копия\">\n</dreamlibrary>\n");
  EXPECT_EQ(ReadText("one.xml"),
            std::string(kLibraryProlog) + "<dreamlibrary name=\"Один\">\n</dreamlibrary>\n");
  EXPECT_NE(Settings().find("<library path=\"" + Path("copy.xml").toStdString() + "\" />"),
            std::string::npos);
}

TEST_F(Lifecycle, NewLibraryIsWrittenAtOnceAndSelected) {
  WriteLibrary("old.xml", "Старая");
  WriteSettings(NativePath("old.xml"));
  Start();
  Prompts->NewElements.push_back({true, U("Новая \"книга\""), Path("new.xml"), 0});
  Form->mnu_New->trigger();
  ASSERT_EQ(Prompts->Count("NewElement"), 1);
  EXPECT_EQ(Prompts->Asked.front().Mode, 0);
  // A quote typed in the title cannot break the file.
  EXPECT_EQ(ReadText("new.xml"), std::string(kLibraryProlog) +
                                     "<dreamlibrary name=\"Новая ”книга”\">\n</dreamlibrary>\n");
  ASSERT_EQ(Tree()->topLevelItemCount(), 1);
  EXPECT_EQ(Tree()->currentItem(), Tree()->topLevelItem(0));
  EXPECT_EQ(EditPanel()->edt_Name->text(), U("Новая ”книга”"));
  EXPECT_TRUE(EditPanel()->edt_Name->isEnabled());
  EXPECT_TRUE(Form->mnu_CreateDirectory->isEnabled());
}

TEST_F(Lifecycle, NewKeepsTheOpenLibraryWhenItCannotBeSaved) {
  WriteLibrary("dir/old.xml", "Старая", "  <directory name=\"К\">\n  </directory>\n");
  WriteSettings(NativePath("dir/old.xml"));
  Start();
  QDir(Path("dir")).removeRecursively();
  Prompts->NewElements.push_back({true, "T", Path("new.xml"), 0});
  Form->btn_NewClick();
  ASSERT_EQ(Prompts->Count("Error"), 1);
  // The unsaved library is still there to be saved elsewhere.
  ASSERT_EQ(Tree()->topLevelItemCount(), 1);
  EXPECT_EQ(Tree()->topLevelItem(0)->text(0), U("Старая"));
  EXPECT_EQ(Tree()->topLevelItem(0)->childCount(), 1);
  EXPECT_EQ(Form->Library().Root->GetAttribute("name"), Cp1251("Старая"));
  Prompts->OpenFiles.push_back(Path("new.xml"));
  Form->btn_OpenClick();
  EXPECT_EQ(Prompts->Count("Error"), 2);
  EXPECT_EQ(Tree()->topLevelItem(0)->text(0), U("Старая"));
}

TEST_F(Lifecycle, NewOpenAndSaveWriteNothingForAnUnnamedLibrary) {
  WriteSettings("");
  Start();
  Form->mnu_Save->trigger();
  Prompts->NewElements.push_back({true, "T", Path("n.xml"), 0});
  Form->btn_NewClick();
  EXPECT_EQ(Prompts->Count("Error"), 0);
  QStringList files = QDir(Dir.path()).entryList(QDir::Files);
  files.sort();
  EXPECT_EQ(files, (QStringList{"dreams.ini", "n.xml"}));
}

TEST_F(Lifecycle, BadlyReadLibraryIsReportedOnceAndBackedUpBeforeItIsReplaced) {
  const std::string broken =
      std::string(kLibraryProlog) + "<dreamlibrary name=\"Либ\">\n  <directory name=\"A\">\n";
  WriteFile("lib.xml", broken);
  WriteFile("lib.xml.bak", "older backup");
  WriteSettings(NativePath("lib.xml"));
  const std::string original = ReadBytes("lib.xml");
  Start();
  ASSERT_EQ(Prompts->Count("Information"), 1);
  const QString message = Prompts->Messages("Information").front();
  EXPECT_TRUE(message.contains(Path("lib.xml"))) << message.toStdString();
  EXPECT_TRUE(message.contains(Path("lib.xml.bak2"))) << message.toStdString();
  Form->mnu_Save->trigger();
  Form->mnu_Save->trigger();
  EXPECT_EQ(ReadBytes("lib.xml.bak2"), original);
  EXPECT_EQ(ReadText("lib.xml.bak"), "older backup");
  EXPECT_FALSE(QFile::exists(Path("lib.xml.bak3")));
  EXPECT_EQ(Prompts->Count("Information"), 1);
}

// A folder stands where settings, library or the opened journal should be:
// the user hears once which file and why, every save of it is refused with
// a message, and it is never written over; the other files are saved.
TEST_F(Lifecycle, AFileThatCannotBeReadIsReportedOnceAndNeverWrittenOver) {
  for (const QString unreadable : {"dreams.ini", "lib.xml", "j.xml"}) {
    SCOPED_TRACE(unreadable.toStdString());
    for (const QString name : {"dreams.ini", "lib.xml", "j.xml"})
      QDir(Path(name)).removeRecursively();
    WriteFile("j.xml", kJournalProlog + "<somnary>\n  <day name=\"01.01.26\" />\n</somnary>\n");
    WriteLibrary("lib.xml", "Л",
                 "  <directory name=\"D\">\n    <file name=\"J\" path=\"" + NativePath("j.xml") +
                     "\" default=\"yes\" />\n  </directory>\n");
    WriteSettings(NativePath("lib.xml"));
    QFile::remove(Path(unreadable));
    ASSERT_TRUE(QDir(Dir.path()).mkdir(unreadable));
    Start();
    ASSERT_EQ(Prompts->Count("Error"), 1);
    EXPECT_TRUE(Prompts->Messages("Error")[0].contains(Path(unreadable)))
        << Prompts->Messages("Error")[0].toStdString();
    Form->mnu_Save->trigger();
    ASSERT_EQ(Prompts->Count("Error"), 2);
    const QString refusal = Prompts->Messages("Error")[1];
    EXPECT_TRUE(refusal.contains(Path(unreadable)) && refusal.contains(U("не сохранён")))
        << refusal.toStdString();
    for (const QString name : {"dreams.ini", "lib.xml", "j.xml"})
      if (name != unreadable) {
        EXPECT_TRUE(QFileInfo(Path(name)).isFile()) << name.toStdString();
      }
    Stop();
    EXPECT_TRUE(QFileInfo(Path(unreadable)).isDir());
  }
}

TEST_F(Lifecycle, AnUnreadableLibrarySavedUnderAnotherNameIsSavedThereFromThenOn) {
  ASSERT_TRUE(QDir(Dir.path()).mkdir("lib.xml"));
  WriteSettings(NativePath("lib.xml"));
  Start();
  ASSERT_EQ(Prompts->Count("Error"), 1);
  Prompts->SaveFiles.push_back(Path("other.xml"));
  Form->mnu_SaveAs->trigger();
  Form->mnu_Save->trigger();
  EXPECT_EQ(Prompts->Count("Error"), 1);
  EXPECT_TRUE(QFileInfo(Path("other.xml")).isFile());
  EXPECT_TRUE(QFileInfo(Path("lib.xml")).isDir());
}

TEST_F(Lifecycle, FailedSaveAtExitLetsTheUserKeepTheWindowOpen) {
  // Named by a path relative to the current folder; told by its full path.
  TCurrentDirGuard guard;
  QDir::setCurrent(Dir.path());
  WriteLibrary("dir/lib.xml", "Либ");
  WriteSettings("dir/lib.xml");
  Start();
  // The library's folder vanishes: the save must fail and say so.
  QDir(Path("dir")).removeRecursively();
  Prompts->Choices.push_back(1);  // "Отмена"
  QCloseEvent keep;
  QApplication::sendEvent(Form.get(), &keep);
  EXPECT_FALSE(keep.isAccepted());
  ASSERT_EQ(Prompts->Count("Error"), 1);
  const QString told = Prompts->Messages("Error").front();
  EXPECT_TRUE(told.startsWith(U("Не удалось записать файл «") + Path("dir/lib.xml") + U("»: ")))
      << told.toStdString();
  Prompts->Choices.push_back(0);  // "Закрыть"
  QCloseEvent close;
  QApplication::sendEvent(Form.get(), &close);
  EXPECT_TRUE(close.isAccepted());
}

TEST_F(Lifecycle, ProtectedLibraryOpensOnlyForExactCredentials) {
  TCodec codec;
  WriteLibrary("lib.xml",
               "Л\" username=\"" + test_files::Utf8(codec.Encode("Ivan")) + "\" userpassword=\"" +
                   test_files::Utf8(codec.Encode(Cp1251("Сон_1"))),
               "  <directory name=\"D\">\n  </directory>\n");
  WriteSettings(NativePath("lib.xml"));
  const std::string original = ReadBytes("lib.xml");
  Start([](TScriptedPrompts& p) { p.Authorizations.push_back({true, "Ivan", U("Сон_1")}); });
  EXPECT_FALSE(Form->Terminated());
  EXPECT_EQ(Prompts->Asked.front().Mode, 0);
  EXPECT_EQ(Tree()->topLevelItem(0)->childCount(), 1);
  Stop();

  // A wrong letter case ends the program; the library stays byte for byte.
  Start([](TScriptedPrompts& p) { p.Authorizations.push_back({true, "ivan", U("Сон_1")}); });
  EXPECT_TRUE(Form->Terminated());
  EXPECT_EQ(Tree()->topLevelItem(0)->childCount(), 0);
  Stop();
  EXPECT_EQ(ReadBytes("lib.xml"), original);
}

TEST_F(Lifecycle, FailedLogInWritesEveryDocumentBackAsItWasRead) {
  TCodec codec;
  WriteLibrary("lib.xml",
               "Л\" username=\"" + test_files::Utf8(codec.Encode("Ivan")) + "\" userpassword=\"" +
                   test_files::Utf8(codec.Encode("secret")),
               "  <directory name=\"D\">\n  </directory>\n");
  WriteSettings(
      NativePath("lib.xml"),
      "  <form left=\"120\" top=\"80\" width=\"900\" height=\"640\" treewidth=\"260\" />\n");
  const std::string library = ReadBytes("lib.xml"), settings = ReadBytes("dreams.ini");
  Start([](TScriptedPrompts& p) { p.Authorizations.push_back({true, "Ivan", "wrong"}); });
  ASSERT_TRUE(Form->Terminated());
  Stop();
  EXPECT_EQ(ReadBytes("dreams.ini"), settings);
  EXPECT_EQ(ReadBytes("lib.xml"), library);
}

TEST_F(Lifecycle, AnIconThatCannotBeLoadedKeepsItsSlot) {
  // A coloured square on a white ground: the ground becomes the mask.
  auto bitmap = [this](const QString& name, Qt::GlobalColor colour) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 4; y < 12; ++y)
      for (int x = 4; x < 12; ++x) image.setPixelColor(x, y, colour);
    ASSERT_TRUE(image.save(Path(name), "BMP"));
  };
  bitmap("opened.bmp", Qt::red);
  bitmap("directory.bmp", Qt::blue);
  WriteLibrary("lib.xml", "Л", "  <directory name=\"К\">\n  </directory>\n");
  WriteFile("dreams.ini",
            "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n\n\n<settings>\n"
            "  <icon name=\"Opened Node\" path=\"" +
                NativePath("opened.bmp") +
                "\" />\n"
                "  <icon name=\"Dream Library\" path=\"" +
                NativePath("missing.bmp") +
                "\" />\n"
                "  <icon name=\"Dream Directory\" path=\"" +
                NativePath("directory.bmp") +
                "\" />\n"
                "  <library path=\"" +
                NativePath("lib.xml") + "\" />\n</settings>\n");
  Start();
  QTreeWidgetItem* root = Tree()->topLevelItem(0);
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(root->childCount(), 1);
  // The library's slot is empty; the catalogue still shows its own picture.
  EXPECT_NE(root->icon(0).pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::blue));
  const QImage catalogue = root->child(0)->icon(0).pixmap(16, 16).toImage();
  ASSERT_FALSE(catalogue.isNull());
  EXPECT_EQ(catalogue.pixelColor(8, 8), QColor(Qt::blue));
  EXPECT_EQ(catalogue.pixelColor(1, 1).alpha(), 0);
  // On a scaled screen it is enlarged smoothly: the square's edge blends
  // into the ground instead of growing in whole blocks.
  for (qreal ratio : {1.5, 2.0}) {
    const QImage scaled = root->child(0)->icon(0).pixmap(QSize(16, 16), ratio).toImage();
    ASSERT_EQ(scaled.size(), QSize(16, 16) * ratio) << ratio;
    int blended = 0;
    for (int y = 0; y < scaled.height(); ++y)
      for (int x = 0; x < scaled.width(); ++x)
        blended += scaled.pixelColor(x, y).alpha() % 255 != 0;
    EXPECT_GT(blended, 0) << ratio;
  }
}

TEST_F(Lifecycle, AuthorizationCommandStoresEncodedValuesAndEmptyPasswordRemovesThem) {
  WriteLibrary("lib.xml", "Л");
  WriteSettings(NativePath("lib.xml"));
  Start();
  Prompts->Authorizations.push_back({true, "User", "Pass"});
  Form->mnu_Authorization->trigger();
  TCodec codec;
  TXMLNode* root = Form->Library().Root.get();
  EXPECT_EQ(root->GetAttribute(smr::atUserName), codec.Encode("User"));
  EXPECT_EQ(codec.Decode(root->GetAttribute(smr::atUserPassword)), "Pass");
  Prompts->Authorizations.push_back({false, "X", "Y"});  // cancel changes nothing
  Form->btn_AuthorizationClick();
  EXPECT_EQ(root->GetAttribute(smr::atUserName), codec.Encode("User"));
  Prompts->Authorizations.push_back({true, "User", ""});
  Form->btn_AuthorizationClick();
  EXPECT_EQ(root->Attributes.size(), 1u);
  Stop();
  // The library opens without asking again.
  Start();
  EXPECT_EQ(Prompts->Count("Authorization"), 0);
}

// "Aм" encodes to two blanks, "Aмyz" and "Соwх" hold two in a row: the
// reader collapses them, so libraries locked so by earlier versions read
// back altered. The log-in compares as the reader leaves the stored text.
TEST_F(Lifecycle, CredentialsWhoseBlanksCollapseStillOpenTheLibraryAfterARestart) {
  const QString values[] = {QStringLiteral("Aм"), QStringLiteral("Aмyz"), QStringLiteral("Соwх"),
                            QStringLiteral("Anna")};
  for (const QString& value : values) {
    SCOPED_TRACE(value.toStdString());
    WriteLibrary("lib.xml", "Л", "  <directory name=\"D\">\n  </directory>\n");
    WriteSettings(NativePath("lib.xml"));
    Start();
    Prompts->Authorizations.push_back({true, value, value});
    Form->btn_AuthorizationClick();
    Stop();
    ASSERT_TRUE(ReadText("lib.xml").find("username=") != std::string::npos);

    Start([&](TScriptedPrompts& p) { p.Authorizations.push_back({true, value, value}); });
    EXPECT_FALSE(Form->Terminated());
    EXPECT_EQ(Tree()->topLevelItem(0)->childCount(), 1);
    Stop();
    // Something else typed still ends the program.
    Start([&](TScriptedPrompts& p) { p.Authorizations.push_back({true, value, value + "x"}); });
    EXPECT_TRUE(Form->Terminated());
    Stop();
  }
}

TEST_F(Lifecycle, HelpAndAboutGoThroughThePrompts) {
  WriteSettings("");
  Start();
  Form->mnu_ShowHelp->trigger();
  Form->mnu_Internet->trigger();
  Form->mnu_About->trigger();
  ASSERT_EQ(Prompts->Count("ShellOpen"), 2);
  EXPECT_TRUE(Prompts->Messages("ShellOpen")[0].endsWith("Help/index.html"));
  EXPECT_TRUE(Prompts->Messages("ShellOpen")[1].startsWith("http"));
  EXPECT_EQ(Prompts->Count("About"), 1);
}

// An installed program: the shipped files in share/somnary, the user's
// settings and documents folders still empty.
class InstalledLifecycle : public TMainFormFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test_files::CopyTree(qEnvironmentVariable("SOMNARY_RESOURCES"), Data));
  }
  void StartInstalled(const QString& home = QString()) {
    auto prompts = std::make_unique<TScriptedPrompts>();
    Prompts = prompts.get();
    Form = std::make_unique<Tfrm_MainForm>(
        TAppFolders(Path(home + "config"), Data, Path(home + "Documents/Somnary")),
        std::move(prompts));
  }
  const QString Data = Path("share/somnary");
};

TEST_F(InstalledLifecycle, FirstRunOpensTheCopiedSampleAndFindsTheShippedFiles) {
  StartInstalled();
  EXPECT_EQ(Prompts->Count("Error"), 0) << Prompts->Messages("Error").join('\n').toStdString();
  ASSERT_EQ(Tree()->topLevelItemCount(), 1);
  EXPECT_EQ(Tree()->topLevelItem(0)->text(0), U("Библиотека сновидений"));
  EXPECT_FALSE(Tree()->topLevelItem(0)->icon(0).isNull());
  Form->mnu_ShowHelp->trigger();
  EXPECT_EQ(Prompts->Messages("ShellOpen"),
            QStringList{QUrl::fromLocalFile(Data + "/Help/index.html").toString()});
  const QByteArray shipped = test_files::Read(Data + "/dreams.ini");
  Stop();
  EXPECT_EQ(test_files::Read(Data + "/dreams.ini"), shipped);
  EXPECT_TRUE(test_files::Read(Path("config/dreams.ini")).contains("\r\n  <form left=\""));
}

TEST_F(InstalledLifecycle, AFailedFirstRunIsToldAndStartsWithoutALibrary) {
  WriteBytes("Documents", "a file, not a folder");
  StartInstalled();
  ASSERT_EQ(Prompts->Count("Error"), 1);
  EXPECT_TRUE(Prompts->Messages("Error")[0].contains(Path("Documents/Somnary/sample")))
      << Prompts->Messages("Error")[0].toStdString();
  EXPECT_EQ(Tree()->topLevelItemCount(), 0);
}

TEST_F(InstalledLifecycle, AnUnwritableHomeIsToldWithTheFirstFailingStepsReason) {
  // Root may write anywhere: a home folder that is a dangling link fails
  // mkdir as a read-only one would, and writing the settings later must not
  // turn that into "no such file".
  ASSERT_TRUE(QFile::link(Path("gone/home"), Path("home")));
  StartInstalled("home/");
  const QString refused = QString::fromUtf8(std::strerror(EEXIST));
  const QString missing = QString::fromUtf8(std::strerror(ENOENT));
  ASSERT_EQ(Prompts->Count("Error"), 1);
  const QString started = Prompts->Messages("Error")[0];
  EXPECT_TRUE(started.contains(Path("home/config/") + ": ") && started.count(refused) == 2)
      << started.toStdString();
  Form->btn_SaveClick();
  ASSERT_EQ(Prompts->Count("Error"), 2);
  const QString saved = Prompts->Messages("Error")[1];
  EXPECT_TRUE(saved.contains(Path("home/config/dreams.ini")) && saved.contains(refused) &&
              !saved.contains(missing))
      << saved.toStdString();
}

}  // namespace
