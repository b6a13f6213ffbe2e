// HTML experiences through the real window: what selecting one shows, what
// leaving it writes (and where), and viewing documents in the web browser.
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QDir>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "editor/smr_HTMLEditor.h"
#include "editor/smr_HTMLViewer.h"
#include "main_form_fixture.h"

namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

class Html : public TMainFormFixture {
 protected:
  // Library "Lib" / catalogue "Cat" / journal "J" (journal.xml) with one night "01.01.24"
  // holding `experiences`.
  void StartWith(const std::string& experiences) {
    WriteFile("journal.xml", kJournalProlog + "<somnary>\n  <day name=\"01.01.24\">\n" +
                                 experiences + "  </day>\n</somnary>\n");
    WriteFile("library.xml", kLibraryProlog +
                                 "<dreamlibrary name=\"Lib\">\n  <directory name=\"Cat\">\n"
                                 "    <file name=\"J\" path=\"" +
                                 NativePath("journal.xml") +
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
    e->setCursorPosition(e->lines() - 1, e->text(e->lines() - 1).size());
    for (QChar ch : text)
      QTest::sendKeyEvent(QTest::Click, e, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }
  QString Viewed() const { return Editor()->web_HTMLViewer->toPlainText().trimmed(); }
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
  EXPECT_TRUE(Prompts->Messages("Error")[0].startsWith(Path("gone/a.html") + ": "));
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

}  // namespace
