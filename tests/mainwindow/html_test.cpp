// HTML experiences through the real window: what selecting one shows, what
// leaving it writes (and where), and viewing documents in the web browser.
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "editor/smr_HTMLEditor.h"
#include "editor/smr_HTMLViewer.h"
#include "main_form_fixture.h"
#include "storage/smr_Types.h"

namespace {

class Html : public TMainFormFixture {
 protected:
  // Library "Lib" / catalogue "Cat" / journal "J" (journal.xml) with one night "01.01.24"
  // holding `experiences`.
  void StartWith(const std::string& experiences, const std::string& journalPath = {}) {
    StartWithNights("  <day name=\"01.01.24\">\n" + experiences + "  </day>\n", journalPath);
  }
  // journalPath as the library stores it; empty: the journal's absolute path.
  void StartWithNights(const std::string& nights, const std::string& journalPath = {}) {
    WriteFile("journal.xml", kJournalProlog + "<somnary>\n" + nights + "</somnary>\n");
    WriteFile("library.xml", kLibraryProlog +
                                 "<dreamlibrary name=\"Lib\">\n  <directory name=\"Cat\">\n"
                                 "    <file name=\"J\" path=\"" +
                                 (journalPath.empty() ? NativePath("journal.xml") : journalPath) +
                                 "\" />\n  </directory>\n</dreamlibrary>\n");
    WriteSettings(NativePath("library.xml"));
    Start();
    Form->show();
    Select(Node({"Lib", "Cat", "J"}));
  }
  THTMLEditor* Editor() const { return EditPanel()->pnl_HTMLEditor; }
  void Show(const char* experience) {
    QTreeWidgetItem* item = Node({"Lib", "Cat", "J", "01.01.24", U(experience)});
    ASSERT_NE(item, nullptr) << experience;
    Select(item);
  }
  void Type(const QString& text) {
    Editor()->pgc_HTMLEditor->setCurrentIndex(1);
    QsciScintilla* e = Editor()->syn_Editor;
    e->setCursorPosition(e->lines() - 1, static_cast<int>(e->text(e->lines() - 1).size()));
    for (QChar ch : text)
      QTest::sendKeyEvent(QTest::Click, e, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }
  QString Viewed() const { return Editor()->web_HTMLViewer->toPlainText().trimmed(); }
  // Selects a node as the user does, with the mouse.
  void Click(QTreeWidgetItem* item) {
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setExpanded(true);
    Tree()->scrollToItem(item);
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {},
                      Tree()->visualItemRect(item).center());
  }
  QTreeWidgetItem* Experience(const char* night, const char* caption) const {
    return Node({"Lib", "Cat", "J", U(night), U(caption)});
  }
  // Creates an HTML experience in the night; returns its `file`.
  std::string CreateHtml(const char* night, const char* number, const char* title) {
    Select(Node({"Lib", "Cat", "J", U(night)}));
    Prompts->NewElements.push_back({true, U(number), U(title), 1});
    Form->mnu_CreateExperience->trigger();
    const TXMLNode* shown = EditPanel()->Element();
    return shown ? shown->GetAttribute(smr::atFile) : std::string("<none>");
  }
  QStringList Files() const { return QDir(Dir.path()).entryList(QDir::Files, QDir::Name); }
};

const std::string kThree =
    "    <experience number=\"1\" title=\"A\" type=\"html\" file=\"a.html\" />\n"
    "    <experience number=\"2\" title=\"B\" type=\"html\" file=\"b.html\" />\n"
    "    <experience number=\"3\" title=\"C\" type=\"html\" />\n"
    "    <experience number=\"4\" title=\"D\" />\n";

TEST_F(Html, EachExperienceShowsItsOwnPageAndWritesOnlyItsOwnFile) {
  WriteFile("a.html", "<p>сон А</p>\n");
  WriteBytes("b.html", "<p>dream B</p>");  // another editor's bytes
  StartWith(kThree);
  Show("1. A");
  EXPECT_TRUE(Editor()->isVisible());
  EXPECT_FALSE(EditPanel()->mmo_Description->isVisible());
  EXPECT_EQ(Editor()->pgc_HTMLEditor->currentIndex(), 0);
  EXPECT_EQ(Viewed(), U("сон А"));
  EXPECT_EQ(Editor()->Text(), U("<p>сон А</p>"));

  // Leaving a changed page for another experience writes it, there only.
  Type(U("<p>ещё</p>"));
  Show("2. B");
  EXPECT_EQ(ReadText("a.html"), "<p>сон А</p><p>ещё</p>\n");
  EXPECT_EQ(Editor()->Text(), "<p>dream B</p>");
  EXPECT_EQ(Editor()->pgc_HTMLEditor->currentIndex(), 0);

  // Merely viewed: left byte for byte.
  Show("1. A");
  EXPECT_EQ(ReadBytes("b.html"), "<p>dream B</p>");

  // Without a file: an empty page, and nothing typed goes anywhere.
  const QStringList files = Files();
  Show("3. C");
  EXPECT_TRUE(Editor()->isVisible());
  EXPECT_EQ(Editor()->Text(), "");
  EXPECT_EQ(Viewed(), "");
  Type(QStringLiteral("<p>nowhere</p>"));
  QTest::mouseClick(Editor()->btn_HTML_Save, Qt::LeftButton);
  Editor()->pgc_HTMLEditor->setCurrentIndex(0);
  Show("2. B");
  EXPECT_EQ(Files(), files);
  EXPECT_EQ(ReadBytes("b.html"), "<p>dream B</p>");
  EXPECT_EQ(ReadText("a.html"), "<p>сон А</p><p>ещё</p>\n");
  EXPECT_EQ(Prompts->Count("Error"), 0);

  // A plain experience hides the editor.
  Show("4. D");
  EXPECT_FALSE(Editor()->isVisible());
  EXPECT_TRUE(EditPanel()->mmo_Description->isVisible());
}

TEST_F(Html, NewHtmlExperienceShowsAnEmptyPage) {
  WriteFile("a.html", "<p>сон А</p>\n");
  StartWith(kThree);
  Show("1. A");
  Select(Node({"Lib", "Cat", "J", "01.01.24"}));
  Prompts->NewElements.push_back({true, "5", U("Новый"), 1});
  ASSERT_TRUE(Form->mnu_CreateExperience->isEnabled());
  Form->mnu_CreateExperience->trigger();
  ASSERT_EQ(Tree()->currentItem()->text(0), U("5. Новый"));
  EXPECT_TRUE(Editor()->isVisible());
  EXPECT_EQ(Editor()->Text(), "");
  EXPECT_EQ(Viewed(), "");
  EXPECT_EQ(ReadBytes("journal_5.html"), "");
}

TEST_F(Html, WriteFailureIsShownAndTheTextKept) {
  StartWith("    <experience number=\"1\" title=\"A\" type=\"html\" file=\"gone/a.html\" />\n" +
            kThree);
  Show("1. A");
  Type(QStringLiteral("kept"));
  QTest::mouseClick(Editor()->btn_HTML_Save, Qt::LeftButton);
  ASSERT_EQ(Prompts->Count("Error"), 1);
  EXPECT_TRUE(Prompts->Messages("Error")[0].startsWith(U("Не удалось записать файл «") +
                                                       Path("gone/a.html") + U("»: ")));
  EXPECT_EQ(Editor()->Text(), "kept");
}

TEST_F(Html, ChangedTextIsWrittenWhenTheWindowClosesOrTheSessionEnds) {
  for (bool sessionEnd : {false, true}) {
    SCOPED_TRACE(sessionEnd ? "session end" : "close");
    WriteFile("a.html", "<p>a</p>\n");
    StartWith(kThree);
    Show("1. A");
    Type(QStringLiteral("<p>b</p>"));
    if (sessionEnd)
      EXPECT_EQ(Form->EndSession(), 0);
    else
      Form->close();
    EXPECT_EQ(ReadText("a.html"), "<p>a</p><p>b</p>\n");
    EXPECT_TRUE(Prompts->Asked.empty());
    Stop();
  }
}

TEST_F(Html, LibraryAndJournalsOpenInTheWebBrowser) {
  StartWith(kThree);
  EXPECT_EQ(Form->btn_ViewInBrowser->toolTip(), U("Просмотр в браузере"));
  EXPECT_EQ(Form->mnu_ViewAsHTML->text(), U("&Просмотр в виде HTML"));
  struct TCase {
    QTreeWidgetItem* node;
    QString opened;  // empty: the command is off
  } cases[] = {
      {Node({"Lib"}), Path("library.xml")},
      {Node({"Lib", "Cat", "J"}), Path("journal.xml")},
      {Node({"Lib", "Cat", "J", "01.01.24"}), {}},
      {Node({"Lib", "Cat", "J", "01.01.24", "1. A"}), {}},
  };
  for (const TCase& c : cases) {
    ASSERT_NE(c.node, nullptr);
    SCOPED_TRACE(c.node->text(0).toStdString());
    Select(c.node);
    Prompts->Asked.clear();
    EXPECT_EQ(Form->mnu_ViewAsHTML->isEnabled(), !c.opened.isEmpty());
    EXPECT_EQ(Form->btn_ViewInBrowser->isEnabled(), !c.opened.isEmpty());
    if (c.opened.isEmpty()) continue;
    QTest::mouseClick(Form->btn_ViewInBrowser, Qt::LeftButton);
    EXPECT_EQ(Prompts->Messages("Browser"), QStringList{c.opened});
  }
}

TEST_F(Html, RepeatedNumberGetsAFileOfItsOwnAndEditsOnlyIt) {
  StartWithNights("  <day name=\"02.11.26\">\n  </day>\n  <day name=\"05.11.26\">\n  </day>\n");
  EXPECT_EQ(CreateHtml("02.11.26", "005", "A"), NativePath("journal_005.html"));
  Type(QStringLiteral("<p>first</p>"));
  EXPECT_EQ(CreateHtml("05.11.26", "005", "B"), NativePath("journal_005_2.html"));
  EXPECT_EQ(Editor()->Text(), "");
  EXPECT_FALSE(Editor()->ReadOnly());
  Type(QStringLiteral("<p>second</p>"));
  Select(Node({"Lib", "Cat", "J", "05.11.26"}));
  EXPECT_EQ(ReadBytes("journal_005.html"), "<p>first</p>\r\n");
  EXPECT_EQ(ReadBytes("journal_005_2.html"), "<p>second</p>\r\n");
  // A file no experience names is not taken over either.
  WriteBytes("journal_006.html", "<p>stray</p>");
  EXPECT_EQ(CreateHtml("05.11.26", "006", "C"), NativePath("journal_006_2.html"));
  EXPECT_EQ(ReadBytes("journal_006.html"), "<p>stray</p>");
  EXPECT_EQ(Prompts->Count("Error"), 0);
}

TEST_F(Html, SecondExperienceOnASharedFileIsShownReadOnly) {
  WriteBytes("shared.html", "<p>one page</p>\r\n");
  StartWith(
      "    <experience number=\"1\" title=\"A\" type=\"html\" file=\"shared.html\" />\n"
      "    <experience number=\"2\" title=\"B\" type=\"html\" file=\"shared.html\" />\n"
      "    <experience number=\"3\" title=\"C\" type=\"html\" file=\"c.html\" />\n");
  Show("1. A");
  EXPECT_FALSE(Editor()->ReadOnly());
  Show("2. B");
  ASSERT_TRUE(Editor()->ReadOnly());
  EXPECT_TRUE(Editor()->lbl_HTMLNotice->isVisible());
  EXPECT_TRUE(Editor()->lbl_HTMLNotice->text().contains(U("«1. A» (ночь «01.01.24», журнал «J»)")))
      << Editor()->lbl_HTMLNotice->text().toStdString();
  Type(QStringLiteral("<p>lost</p>"));
  Show("3. C");
  EXPECT_EQ(ReadBytes("shared.html"), "<p>one page</p>\r\n");
  Show("1. A");  // the first one shown keeps it
  EXPECT_FALSE(Editor()->ReadOnly());
  EXPECT_FALSE(Editor()->lbl_HTMLNotice->isVisible());
}

TEST_F(Html, NewDescriptionIsCreatedBesideARelativeJournalFromAnotherFolder) {
  QTemporaryDir elsewhere;
  TCurrentDirGuard guard;
  ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
  StartWith({}, "journal.xml");
  EXPECT_EQ(CreateHtml("01.01.24", "007", "A"), "journal_007.html");
  EXPECT_EQ(ReadBytes("journal_007.html"), "");
  EXPECT_FALSE(QFileInfo::exists(QDir(elsewhere.path()).filePath("journal_007.html")));
  Type(QStringLiteral("<p>here</p>"));
  Select(Node({"Lib", "Cat", "J", "01.01.24"}));
  EXPECT_EQ(ReadBytes("journal_007.html"), "<p>here</p>\r\n");
  // A page exported elsewhere links to the journal where it is.
  Select(Node({"Lib"}));
  Prompts->SaveFiles.push_back(QDir(elsewhere.path()).filePath("out.html"));
  Prompts->SaveFilterIndexes.push_back(1);
  Form->mnu_Export->trigger();
  const QByteArray page = test_files::Read(QDir(elsewhere.path()).filePath("out.html"));
  const QString link = QDir(elsewhere.path()).relativeFilePath(Path("journal.xml"));
  EXPECT_TRUE(page.contains(("<a href=\"" + link + "\">journal.xml</a>").toUtf8()));
}

TEST_F(Html, FailedSaveOnLeavingKeepsTheTextUntilTheUserDecides) {
  StartWith(
      "    <experience number=\"1\" title=\"A\" type=\"html\" file=\"gone/a.html\" />\n"
      "    <experience number=\"2\" title=\"B\" type=\"html\" file=\"b.html\" />\n"
      "    <experience number=\"3\" title=\"C\" type=\"html\" file=\"gone/c.html\" />\n");
  QTreeWidgetItem* a = Experience("01.01.24", "1. A");
  QTreeWidgetItem* b = Experience("01.01.24", "2. B");
  Show("1. A");
  Type(QStringLiteral("kept"));
  const QString buttons = U("|Повторить|Сохранить как...|Отменить изменения");

  // The question closed, then a retry that fails again: the experience stays.
  Prompts->Choices = {-1, 0};
  for (int attempt = 0; attempt < 2; ++attempt) {
    Click(b);
    EXPECT_EQ(Tree()->currentItem(), a);
    EXPECT_EQ(EditPanel()->Element(), Form->ElementOf(a));
    EXPECT_EQ(Editor()->Text(), "kept");
  }
  ASSERT_EQ(Prompts->Count("Choose"), 2);
  EXPECT_TRUE(Prompts->Messages("Choose")[0].contains(Path("gone/a.html")));
  EXPECT_TRUE(Prompts->Messages("Choose")[0].endsWith(buttons));
  EXPECT_EQ(Prompts->Count("Error"), 1);  // the retry's failure

  // Saved elsewhere: that file becomes the experience's, and the tree moves on.
  Prompts->Choices = {1};
  Prompts->SaveFiles = {Path("saved.html")};
  Click(b);
  EXPECT_EQ(Tree()->currentItem(), b);
  EXPECT_EQ(ReadBytes("saved.html"), "kept\r\n");
  EXPECT_EQ(Form->ElementOf(a)->GetAttribute(smr::atFile), NativePath("saved.html"));
  Show("1. A");
  EXPECT_EQ(Editor()->Text(), "kept");

  // Throwing the changes away is the one way to leave them.
  Show("3. C");
  Type(QStringLiteral("gone"));
  Prompts->Choices = {2};
  Click(b);
  EXPECT_EQ(Tree()->currentItem(), b);
  Show("3. C");
  EXPECT_EQ(Editor()->Text(), "");

  // Closing the window asks the same; closing the question keeps the window.
  Type(QStringLiteral("late"));
  Prompts->Choices = {-1};
  EXPECT_FALSE(Form->close());
  EXPECT_EQ(Editor()->Text(), "late");

  // At the session's end nobody answers: the text goes to a recovery file.
  testing::internal::CaptureStderr();
  EXPECT_EQ(Form->EndSession(), 1);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(ReadBytes("c.recovered.html"), "late\r\n");
  EXPECT_NE(said.find(NativePath("c.recovered.html")), std::string::npos) << said;
  EXPECT_NE(said.find(NativePath("gone/c.html")), std::string::npos) << said;
}

}  // namespace

namespace {

TEST_F(Html, APageTypedBeforeACrashIsCopiedAndComesBackAsAnUnsavedEdit) {
  WriteFile("a.html", "<p>сон А</p>\n");
  StartWith(kThree);
  Form->SetRecoveryDelays(50, 200);
  Show("1. A");
  Type(U("<p>ещё</p>"));
  QTRY_VERIFY(test_files::Read(
                  Path("recovery/") +
                  QDir(Path("recovery")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0) +
                  "/copies.lst")
                  .contains("\ndescription\t"));
  Stop();
  // As if the window had been killed: the page as it was, written long ago.
  WriteFile("a.html", "<p>сон А</p>\n");
  QFile page(Path("a.html"));
  ASSERT_TRUE(page.open(QIODevice::ReadWrite));
  ASSERT_TRUE(page.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                               QFileDevice::FileModificationTime));
  page.close();

  Start([](TScriptedPrompts& prompts) { prompts.Choices.push_back(0); });
  EXPECT_TRUE(Prompts->Messages("Choose").value(0).contains(U("описание «") + Path("a.html")));
  Form->show();
  Select(Node({"Lib", "Cat", "J"}));
  Show("1. A");
  EXPECT_EQ(Editor()->Text(), U("<p>сон А</p><p>ещё</p>"));
  EXPECT_TRUE(Editor()->Changed());
  EXPECT_EQ(ReadText("a.html"), "<p>сон А</p>\n");
  Show("2. B");
  EXPECT_EQ(ReadText("a.html"), "<p>сон А</p><p>ещё</p>\n");
}

}  // namespace
