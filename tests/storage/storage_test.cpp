// The journal table, the pair list and the text edge.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "common/test_files.h"
#include "storage/smr_Cp1251.h"
#include "storage/smr_JournalHash.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "storage/smr_XMLPairList.h"

namespace {

const char* kJournal =
    "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n"
    "<?xml-stylesheet href=\"../journal.xsl\" type=\"text/xsl\"?>\r\n"
    "<!DOCTYPE somnary SYSTEM \"../somnary.dtd\">\r\n\r\n"
    "<somnary>\r\n  <day name=\"01.02.03\">\r\n  </day>\r\n</somnary>\r\n";

using test_files::Read;
using test_files::Write;

std::string N(const QString& path) { return path.toUtf8().toStdString(); }

class JournalTable : public ::testing::Test {
 protected:
  QTemporaryDir Dir;
  QString Path(const QString& name) const { return Dir.filePath(name); }
};

TEST_F(JournalTable, ReadsAFileOnceAndKeysItByItsCanonicalPath) {
  QDir().mkpath(Path("sub"));
  Write(Path("j.xml"), kJournal);
  TJournalHash table;
  TXMLParser* first = table.Get(N(Path("j.xml")));
  ASSERT_EQ(first->Status, xsLoaded);
  first->Root->Child(0)->SetAttribute(smr::atName, "edited");
  // Changing the file now would show if it were read a second time.
  Write(Path("j.xml"), "garbage");
  EXPECT_EQ(table.Get(N(Path("j.xml"))), first);
  EXPECT_EQ(table.Get(N(Path("sub/../j.xml"))), first);
  EXPECT_EQ(table.Get(N(Path("./j.xml"))), first);
  EXPECT_EQ(table.Count(), 1);
  // A relative spelling resolves against the current folder.
  const QString previous = QDir::currentPath();
  QDir::setCurrent(Dir.path());
  EXPECT_EQ(table.Get("j.xml"), first);
  QDir::setCurrent(previous);
  EXPECT_EQ(table.Count(), 1);
}

TEST_F(JournalTable, MissingFileGivesAnEmptyJournalThatSavingCreates) {
  {
    TJournalHash table;
    TXMLParser* document = table.Get(N(Path("new.xml")));
    EXPECT_EQ(document->Status, xsCannotOpen);
    EXPECT_EQ(document->FileName, N(Path("new.xml")));
    EXPECT_EQ(table.Find(N(Path("other.xml"))), nullptr);
  }  // the table saves on destruction
  EXPECT_EQ(Read(Path("new.xml")),
            "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n"
            "<?xml-stylesheet href=\"../journal.xsl\" type=\"text/xsl\"?>\r\n"
            "<!DOCTYPE somnary SYSTEM \"../somnary.dtd\">\r\n\r\n<somnary>\r\n</somnary>\r\n");
}

TEST_F(JournalTable, SaveAllWritesEveryDocumentAndReportsEveryFailure) {
  Write(Path("a.xml"), kJournal);
  Write(Path("gone/b.xml"), kJournal);
  TJournalHash table;
  table.Get(N(Path("a.xml")))->Root->Child(0)->SetAttribute(smr::atName, "A");
  table.Get(N(Path("gone/b.xml")));
  auto added = std::make_unique<TXMLParser>();
  InitNewJournal(*added);
  added->FileName = N(Path("c.xml"));
  table.Add(std::move(added));
  QDir(Path("gone")).removeRecursively();
  try {
    table.SaveAll();
    ADD_FAILURE() << "a missing folder must fail";
  } catch (const TXMLWriteError& error) {
    EXPECT_NE(std::string(error.what()).find("b.xml"), std::string::npos) << error.what();
  }
  // The others were still written.
  EXPECT_TRUE(Read(Path("a.xml")).contains("<day name=\"A\">"));
  EXPECT_TRUE(Read(Path("c.xml")).contains("<somnary>"));
  table.SetSaveOnDestroy(false);
}

TEST(PairList, LooksUpByIdentityAndKeepsTheOlderPair) {
  TXMLNode file1("file"), file2("file"), root1("somnary"), root2("somnary");
  TXMLPairList pairs;
  EXPECT_EQ(pairs.FindFirst(&root1), nullptr);
  pairs.Add(&file1, &root1);
  pairs.AddUnique(&file1, &root1);
  EXPECT_EQ(pairs.Count(), 1);
  pairs.AddUnique(&file1, &root2);
  EXPECT_EQ(pairs.Count(), 2);
  EXPECT_EQ(pairs.FindSecond(&file1), &root1);
  EXPECT_EQ(pairs.FindFirst(&root2), &file1);
  EXPECT_EQ(pairs.FindSecond(&file2), nullptr);
}

TEST(PairList, RemovingASubtreeDropsEveryPairThatHoldsAnyOfItsNodes) {
  TXMLNode catalogue("directory");
  TXMLNode* inner = catalogue.AddChild(std::make_unique<TXMLNode>("directory"));
  TXMLNode* file = inner->AddChild(std::make_unique<TXMLNode>("file", nkEmptyElement));
  TXMLNode other("file"), root1("somnary"), root2("somnary");
  TXMLPairList pairs;
  pairs.Add(file, &root1);
  pairs.Add(&other, &root2);
  pairs.RemoveHolding(&catalogue);
  EXPECT_EQ(pairs.Count(), 1);
  EXPECT_EQ(pairs.FindFirst(&root1), nullptr);
  EXPECT_EQ(pairs.FindFirst(&root2), &other);
  pairs.RemoveHolding(&root2);  // the journal side counts too
  EXPECT_EQ(pairs.Count(), 0);
}

TEST(TextEdge, TypedTextAlwaysBecomesStorableBytes) {
  EXPECT_EQ(FromUi(QString::fromUtf8("Сон \"о\" > <x> <!--"), TTextPlace::Attribute),
            Utf8ToCp1251("Сон ”о” › ‹x› ‹!--"));
  EXPECT_EQ(FromUi(QString::fromUtf8("a<b\nc"), TTextPlace::ElementText),
            Utf8ToCp1251("a‹b") + "\r\nc");
  EXPECT_EQ(FromUi(QString::fromUtf8("line\r\nnext"), TTextPlace::ElementText), "line\r\nnext");
  // Characters windows-1251 lacks, also beyond the basic plane.
  EXPECT_EQ(FromUi(QString::fromUtf8("日本 😀 ё"), TTextPlace::Plain), "?? ? " + Utf8ToCp1251("ё"));
  EXPECT_EQ(FromUi(QString::fromUtf8("два\nстроки"), TTextPlace::Attribute),
            Utf8ToCp1251("два строки"));
}

TEST(TextEdge, EveryCodePageByteRoundTrips) {
  std::string all;
  for (int b = 1; b < 256; ++b)
    if (b != 0x98) all.push_back(static_cast<char>(b));
  EXPECT_EQ(FromUi(ToUi(all), TTextPlace::Plain), all);
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
  EXPECT_EQ(ToUi(Utf8ToCp1251("Ёжик №5 — «сон»")), QString::fromUtf8("Ёжик №5 — «сон»"));
  EXPECT_EQ(Utf8ToCp1251("\xC3"), "?");  // a cut multi-byte sequence
}

}  // namespace
