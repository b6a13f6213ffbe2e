// Description pages read and written back byte for byte, and where stored
// paths lead.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "common/test_files.h"
#include "storage/smr_HTMLFile.h"
#include "storage/smr_StoredPath.h"

namespace {

using test_files::U;

TEST(DescriptionFile, PagesComeBackAsTheyWereOrSayWhyNot) {
  struct TCase {
    const char* name;
    QByteArray bytes;
    const char* text;  // as decoded
    THTMLFault fault;
  } cases[] = {
      {"windows-1251", "<p>\xf1\xee\xed</p>", "<p>сон</p>", THTMLFault::None},
      // Unassigned in the code page: read as U+0098 and written as the byte.
      {"0x98", "a\x98z", "a\xc2\x98z", THTMLFault::None},
      {"UTF-16LE", QByteArray("\xff\xfe<\0p\0>\0\x24\x04", 10), "<p>Ф", THTMLFault::None},
      {"UTF-16BE", QByteArray("\xfe\xff\0<\0p\0>\x04\x24", 10), "<p>Ф", THTMLFault::None},
      {"UTF-8 mark", "\xef\xbb\xbf\xd1\x84", "ф", THTMLFault::None},
      {"NUL", QByteArray("a\0b", 3), nullptr, THTMLFault::Nul},
      {"UTF-16 without its mark", QByteArray("<\0p\0", 4), nullptr, THTMLFault::Nul},
      {"bad UTF-8", "<meta charset=\"utf-8\">\xd1", nullptr, THTMLFault::InvalidBytes},
      {"odd UTF-16", QByteArray("\xff\xfe<\0p", 5), nullptr, THTMLFault::InvalidBytes},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    const THTMLEncoding encoding = DetectEncoding(c.bytes);
    const QString text = DecodeHTML(c.bytes, encoding);
    if (c.text) {
      EXPECT_EQ(text, U(c.text));
    }
    EXPECT_EQ(ExactnessFault(c.bytes, encoding, text), c.fault);
    if (c.fault == THTMLFault::None) {
      EXPECT_EQ(EncodeHTML(text, EncodingForText(text, encoding)), c.bytes);
    }
  }
  // A UTF-16 page stays UTF-16 whatever its meta says.
  const THTMLEncoding utf16 = DetectEncoding(QByteArray("\xff\xfe<\0", 4));
  const QString page = U("<meta charset=\"windows-1251\">♥");
  EXPECT_EQ(EncodeHTML(page, EncodingForText(page, utf16)),
            QByteArray("\xff\xfe") +
                QByteArray(reinterpret_cast<const char*>(page.utf16()), page.size() * 2));
}

TEST(StoredPaths, RelativePathsLeadBesideTheLibraryFromAnyCurrentFolder) {
  QTemporaryDir library, elsewhere, documents;
  const QString saved = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
  for (const auto& [dir, name] : {std::pair(library.path(), "lib.html"),
                                  {elsewhere.path(), "cwd.html"},
                                  {documents.path(), "doc.html"},
                                  {library.path(), "both.html"},
                                  {elsewhere.path(), "both.html"},
                                  {library.path(), "sub/win.html"},
                                  {library.path(), "odd\\name.html"},
                                  {library.path(), "odd/name.html"}}) {
    ASSERT_TRUE(test_files::Write(QDir(dir).filePath(QString::fromLatin1(name)), ""));
  }
  const TStoredPaths paths(library.path(), documents.path());
  struct TCase {
    std::string stored;
    QString resolved;
    bool exists;
  } cases[] = {
      {"lib.html", library.filePath("lib.html"), true},
      {"both.html", library.filePath("both.html"), true},  // the library's folder first
      {"cwd.html", elsewhere.filePath("cwd.html"), true},
      {"doc.html", documents.filePath("doc.html"), true},
      {"new.html", library.filePath("new.html"), false},  // nowhere yet: beside the library
      {"/abs/x.html", "/abs/x.html", false},
      // Written on Windows: '\\' leads into the folder, unless a file has that very name
      // (where '\\' is no separator; on Windows it always leads into the folder).
      {"sub\\win.html", library.filePath("sub/win.html"), true},
      {"odd\\name.html", QDir::fromNativeSeparators(library.filePath("odd\\name.html")), true},
      {"sub\\none.html", QDir::fromNativeSeparators(library.filePath("sub\\none.html")), false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.stored);
    EXPECT_EQ(paths.ResolveUi(c.stored), c.resolved);
    EXPECT_EQ(paths.Exists(c.stored), c.exists);
  }
  // A page written elsewhere links to the files where they are.
  EXPECT_EQ(paths.LinkFrom(elsewhere.path(), "lib.html"),
            QDir(elsewhere.path()).relativeFilePath(library.filePath("lib.html")).toStdString());
  EXPECT_EQ(paths.LinkFrom(library.path(), "lib.html"), "lib.html");
  EXPECT_EQ(paths.LinkFrom(library.path(), "sub\\win.html"), "sub/win.html");
  for (const char* kept : {"/abs/x.html", "new.html", "undefined", "C:\\Dreams\\x.xml"})
    EXPECT_EQ(paths.LinkFrom(elsewhere.path(), kept), kept);
  QDir::setCurrent(saved);
}

}  // namespace
