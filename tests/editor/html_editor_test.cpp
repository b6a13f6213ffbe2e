// The HTML description editor on its own: tag buttons, the page template,
// saving, and how description files are read and written back.
#include <Qsci/qsciscintilla.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QStringDecoder>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "common/test_files.h"
#include "editor/smr_HTMLEditor.h"
#include "editor/smr_HTMLViewer.h"

namespace {

using test_files::U;

// UTF-16 with its byte order mark.
QByteArray Utf16(const char* utf8, bool bigEndian) {
  QByteArray out = bigEndian ? QByteArray("\xfe\xff") : QByteArray("\xff\xfe");
  for (QChar ch : U(utf8)) {
    const char high = static_cast<char>(ch.unicode() >> 8),
               low = static_cast<char>(ch.unicode() & 0xff);
    out += bigEndian ? QByteArray{&high, 1} + QByteArray{&low, 1}
                     : QByteArray{&low, 1} + QByteArray{&high, 1};
  }
  return out;
}

class HTMLEditor : public ::testing::Test {
 protected:
  QTemporaryDir Dir;
  THTMLEditor Editor;

  QString Path(const char* name) const { return Dir.filePath(QString::fromLatin1(name)); }
  void WriteBytes(const char* name, const QByteArray& bytes) const {
    test_files::Write(Path(name), bytes);
  }
  QByteArray ReadBytes(const char* name) const { return test_files::Read(Path(name)); }
  // Shows a file holding `bytes` and turns to the editor page.
  void Edit(const char* name, const QByteArray& bytes) {
    WriteBytes(name, bytes);
    Editor.ShowFile(Path(name));
    Editor.pgc_HTMLEditor->setCurrentIndex(1);
  }
  // Typing at the end of the text, as keys.
  void TypeAtEnd(const QString& text) {
    QsciScintilla* e = Editor.syn_Editor;
    const int last = e->lines() - 1;
    e->setCursorPosition(last, static_cast<int>(e->text(last).size()));
    for (QChar ch : text)
      QTest::sendKeyEvent(QTest::Click, e, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }
  QString Viewed() const { return Editor.web_HTMLViewer->toPlainText().trimmed(); }
};

TEST_F(HTMLEditor, TagButtonsWrapTheSelectionOrGoInAtTheCaret) {
  struct TCase {
    const char* button;
    int from, to;  // selection in the line "один два"; from == to: the caret there
    const char* expected;
    int caret;  // index after the inserted text
  } cases[] = {
      {"btn_HTML_Bold", 5, 8, "один <b>два</b>", 15},
      {"btn_HTML_Bold", 4, 4, "один<b></b> два", 11},
      {"btn_HTML_BR", 5, 8, "один <br>два", 12},
      {"btn_HTML_Italic", 0, 4, "<i>один</i> два", 11},
      {"btn_HTML_Underlined", 0, 4, "<u>один</u> два", 11},
      {"btn_HTML_P", 0, 8, "<p>один два</p>", 15},
      {"btn_HTML_A", 5, 8, "один <a href=\"\">два</a>", 23},
      {"btn_HTML_IMG", 8, 8, "один два<img src=\"\">", 20},
  };
  Edit("a.html", "x");
  QsciScintilla* e = Editor.syn_Editor;
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.button) + " " + c.expected);
    e->setText(U("один два"));
    if (c.from == c.to)
      e->setCursorPosition(0, c.from);
    else
      e->setSelection(0, c.from, 0, c.to);
    auto* button = Editor.findChild<QToolButton*>(QString::fromLatin1(c.button));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(e->text(), U(c.expected));
    int line = -1, index = -1;
    e->getCursorPosition(&line, &index);
    EXPECT_EQ(index, c.caret);
  }
}

TEST_F(HTMLEditor, NewPageIsOneChangeThatUndoTakesBack) {
  Edit("a.html", U("<p>мой сон</p>\r\nвторая строка\r\n").toUtf8());
  const QString loaded = Editor.Text();
  QTest::mouseClick(Editor.btn_HTML_New, Qt::LeftButton);
  EXPECT_EQ(
      Editor.Text(),
      "<html>\r\n<head>\r\n    <title></title>\r\n</head>\r\n<body>\r\n\r\n\r\n\r\n</body>\r\n"
      "</html>");
  EXPECT_EQ(ReadBytes("a.html"),
            U("<p>мой сон</p>\r\nвторая строка\r\n").toUtf8());  // not saved
  QTest::mouseClick(Editor.btn_HTML_Undo, Qt::LeftButton);
  EXPECT_EQ(Editor.Text(), loaded);
  // Loading is no change: a second undo leaves the text.
  QTest::mouseClick(Editor.btn_HTML_Undo, Qt::LeftButton);
  EXPECT_EQ(Editor.Text(), loaded);
}

TEST_F(HTMLEditor, LeavingTheEditorPageWritesTheFileAndShowsIt) {
  Edit("a.html", QByteArray("<p>one</p>\r\n"));
  TypeAtEnd(QStringLiteral("<p>two</p>"));
  Editor.pgc_HTMLEditor->setCurrentIndex(0);
  EXPECT_EQ(ReadBytes("a.html"), "<p>one</p><p>two</p>\r\n");
  EXPECT_EQ(Viewed(), "one\ntwo");
}

TEST_F(HTMLEditor, UnchangedTextIsNotWrittenButSaveAlwaysWrites) {
  // Written by another editor: LF line ends, no final line break.
  const QByteArray original("<p>a</p>\n<p>b</p>");
  Edit("a.html", original);
  Editor.pgc_HTMLEditor->setCurrentIndex(0);
  Editor.SaveIfChanged();
  EXPECT_EQ(ReadBytes("a.html"), original);
  QTest::mouseClick(Editor.btn_HTML_Save, Qt::LeftButton);
  EXPECT_EQ(ReadBytes("a.html"), "<p>a</p>\r\n<p>b</p>\r\n");
}

TEST_F(HTMLEditor, FilesKeepTheirCharsetAndLoseNoCharacter) {
  const QByteArray utf8Meta(
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n");
  const QByteArray koiMeta("<meta charset=\"koi8-r\">\r\n");
  struct TCase {
    const char* name;
    QByteArray bytes;  // as found
    const char* typed;
    QByteArray saved;   // as written back
    const char* shown;  // the viewer's text after the save
  } cases[] = {
      // windows-1251 by default; what it lacks becomes a character reference
      {"cp.html", "<p>\xf1\xee\xed</p>\r\n", "♥ё", "<p>\xf1\xee\xed</p>&#9829;\xb8\r\n", "сон\n♥ё"},
      {"utf8.html", utf8Meta + "<p>\xd1\x81\xd0\xbe\xd0\xbd</p>\r\n", "♥",
       utf8Meta + "<p>\xd1\x81\xd0\xbe\xd0\xbd</p>\xe2\x99\xa5\r\n", "сон\n♥"},
      {"bom.html", "\xef\xbb\xbf<p>\xd1\x81\xd0\xbe\xd0\xbd</p>\r\n", "ё",
       "\xef\xbb\xbf<p>\xd1\x81\xd0\xbe\xd0\xbd</p>\xd1\x91\r\n", "сон\nё"},
      {"koi.html", koiMeta + "<p>\xd3\xcf\xce</p>\r\n", "♥д",
       koiMeta + "<p>\xd3\xcf\xce</p>&#9829;\xc4\r\n", "сон\n♥д"},
      // A byte the code page lacks stays that byte.
      {"x98.html", "<p>\xf1\xee\xed</p>\x98\r\n", "ё", "<p>\xf1\xee\xed</p>\x98\xb8\r\n",
       "сон\n\xc2\x98ё"},
      {"utf16le.html", Utf16("<p>сон</p>\r\n", false), "♥", Utf16("<p>сон</p>♥\r\n", false),
       "сон\n♥"},
      {"utf16be.html", Utf16("<p>сон</p>\r\n", true), "ё", Utf16("<p>сон</p>ё\r\n", true),
       "сон\nё"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    // Qt without ICU (the Windows build) converts no KOI8-R: such a page is
    // read-only there, as "unknown.html" below.
    if (c.name == std::string("koi.html") && !QStringDecoder("koi8-r").isValid()) continue;
    Edit(c.name, c.bytes);
    EXPECT_TRUE(Editor.Text().contains(U("<p>сон</p>")));
    TypeAtEnd(U(c.typed));
    QTest::mouseClick(Editor.btn_HTML_Save, Qt::LeftButton);
    EXPECT_EQ(ReadBytes(c.name), c.saved);
    EXPECT_EQ(Viewed(), U(c.shown));
    Editor.ShowFile(Path(c.name));  // read again: the same text, nothing lost
    EXPECT_EQ(Viewed(), U(c.shown));
  }
}

TEST_F(HTMLEditor, UnreadableOrMissingFileClearsBothPages) {
  Edit("a.html", "<p>first</p>\r\n");
  // A folder where the file should be: there, but it cannot be read.
  ASSERT_TRUE(QDir(Dir.path()).mkdir("dir.html"));
  QSignalSpy failed(&Editor, &THTMLEditor::Failed);
  for (const char* name : {"dir.html", "missing.html"}) {
    SCOPED_TRACE(name);
    Editor.ShowFile(Path(name));
    EXPECT_EQ(Editor.Text(), "");
    EXPECT_EQ(Viewed(), "");
    EXPECT_EQ(Editor.pgc_HTMLEditor->currentIndex(), 0);
  }
  // What is typed for the unreadable file is refused, not written over it.
  Editor.ShowFile(Path("dir.html"));
  Editor.pgc_HTMLEditor->setCurrentIndex(1);
  TypeAtEnd(QStringLiteral("x"));
  Editor.pgc_HTMLEditor->setCurrentIndex(0);
  ASSERT_EQ(failed.count(), 1);
  EXPECT_TRUE(failed[0][0].toString().contains(Path("dir.html")));
  EXPECT_TRUE(QFileInfo(Path("dir.html")).isDir());
  EXPECT_EQ(Editor.Text(), "x");
  EXPECT_EQ(ReadBytes("a.html"), "<p>first</p>\r\n");
  // A missing file is simply created.
  Editor.ShowFile(Path("missing.html"));
  TypeAtEnd(QStringLiteral("y"));
  QTest::mouseClick(Editor.btn_HTML_Save, Qt::LeftButton);
  EXPECT_EQ(ReadBytes("missing.html"), "y\r\n");
}

TEST_F(HTMLEditor, PageTheEditorCannotHoldIsReadOnlyAndNeverWritten) {
  struct TCase {
    const char* name;
    QByteArray bytes;
    const char* why;  // in the notice
  } cases[] = {
      {"zero.html", QByteArray("<p>a</p>\r\n<p>b") + '\0' + "c</p>\r\n<p>d</p>\r\n",
       "нулевой байт"},
      {"utf16.html", QByteArray("<\0p\0>\0", 6), "нулевой байт"},  // UTF-16 without its mark
      {"bad.html", "<meta charset=\"utf-8\"><p>\xd1</p>", "(utf-8)"},
      // Read as windows-1251, but it is not: typing would mix two code pages.
      {"unknown.html", "<meta charset=\"x-no-such-set\"><p>\xf1\xee\xed</p>", "x-no-such-set"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    Edit(c.name, c.bytes);
    EXPECT_TRUE(Editor.ReadOnly());
    EXPECT_TRUE(Editor.lbl_HTMLNotice->isVisibleTo(&Editor));
    EXPECT_TRUE(Editor.lbl_HTMLNotice->text().contains(U(c.why)))
        << Editor.lbl_HTMLNotice->text().toStdString();
    EXPECT_TRUE(Editor.lbl_HTMLNotice->text().contains(Path(c.name)));
    EXPECT_FALSE(Editor.pnl_HTMLEditorTools->isEnabled());
    const QString shown = Editor.Text();
    TypeAtEnd(QStringLiteral("x"));
    EXPECT_EQ(Editor.Text(), shown);
    Editor.btn_HTML_SaveClick();
    Editor.pgc_HTMLEditor->setCurrentIndex(0);
    EXPECT_EQ(ReadBytes(c.name), c.bytes);
  }
  // The text after a NUL is shown, not cut off.
  Editor.ShowFile(Path("zero.html"));
  EXPECT_TRUE(Editor.Text().endsWith(QStringLiteral("<p>d</p>")));
  // The next page is writable again.
  Edit("ok.html", "<p>a</p>\r\n");
  EXPECT_FALSE(Editor.ReadOnly());
  EXPECT_FALSE(Editor.lbl_HTMLNotice->isVisibleTo(&Editor));
  TypeAtEnd(QStringLiteral("b"));
  Editor.btn_HTML_SaveClick();
  EXPECT_EQ(ReadBytes("ok.html"), "<p>a</p>b\r\n");
}

TEST_F(HTMLEditor, FailedWriteShowsTheSystemsWordsAndKeepsTheText) {
  const QString path = Dir.filePath("no/such/folder/a.html");
  Editor.ShowFile(path);
  TypeAtEnd(QStringLiteral("kept"));
  QSignalSpy failed(&Editor, &THTMLEditor::Failed);
  QTest::mouseClick(Editor.btn_HTML_Save, Qt::LeftButton);
  ASSERT_EQ(failed.count(), 1);
  EXPECT_TRUE(failed[0][0].toString().startsWith(QString::fromUtf8("Не удалось записать файл «") +
                                                 path + QString::fromUtf8("»: ")))
      << failed[0][0].toString().toStdString();
  EXPECT_GT(failed[0][0].toString().size(), path.size() + 2);
  EXPECT_EQ(Editor.Text(), "kept");
}

TEST_F(HTMLEditor, LockTakesAwayTheEditorPage) {
  Edit("a.html", "<p>a</p>\r\n");
  TypeAtEnd(QStringLiteral("b"));
  Editor.SetLocked(true);
  EXPECT_EQ(Editor.pgc_HTMLEditor->currentIndex(), 0);
  EXPECT_FALSE(Editor.pgc_HTMLEditor->isTabEnabled(1));
  EXPECT_EQ(ReadBytes("a.html"), "<p>a</p>b\r\n");  // left the editor page: saved
  Editor.SetLocked(false);
  EXPECT_TRUE(Editor.pgc_HTMLEditor->isTabEnabled(1));
}

}  // namespace
