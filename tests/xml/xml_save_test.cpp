// Saving: the target is replaced atomically or not at all, and a file that
// was not read cleanly is kept as a backup before it is first written over.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <tuple>

#include "xml/xml_mainUnit.h"
#include "xml_save_fixture.h"

using namespace xmltest;

namespace {

// ---- atomic replacement ----

TEST_F(XmlSaveTest, SaveWritesExactlyTheTextFormAndRemembersTheName) {
  const std::string path = Path("journal.xml");
  TXMLParser doc;
  FillJournal(doc);
  doc.Save(path);
  EXPECT_EQ(doc.FileName, path);
  EXPECT_EQ(ReadBytes(path), doc.SaveToText());
  EXPECT_EQ(Entries(), Names{"journal.xml"});
}

// ---- the file a save replaces, and who else may be saving it ----

TEST_F(XmlSaveTest, ANameNearTheFileSystemsLimitCanBeSaved) {
  const std::string name = std::string(246, 'j') + ".xml";
  const std::string path = Path(name.c_str());
  WriteBytes(path, kOldBytes);
  TXMLParser doc;
  FillJournal(doc, 5);
  doc.Save(path);
  EXPECT_EQ(ReadBytes(path), doc.SaveToText());
  EXPECT_EQ(Entries(), Names{name});
}

TEST_F(XmlSaveTest, MissingFolderRaisesTheSystemMessage) {
  const std::string path = Path("no-such-folder/journal.xml");
  TXMLParser doc;
  FillJournal(doc);
  try {
    doc.Save(path);
    FAIL() << "saving into a missing folder must raise";
  } catch (const TXMLWriteError& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find("No such file or directory"), std::string::npos) << message;
  }
  EXPECT_TRUE(Entries().empty());
}

TEST_F(XmlSaveTest, AFolderInTheWayRaisesAndStaysAFolder) {
  const std::string path = Path("taken");
  ASSERT_TRUE(QDir(dir.path()).mkdir("taken"));
  TXMLParser doc;
  FillJournal(doc);
  try {
    doc.Save(path);
    FAIL() << "a folder cannot be replaced by a file";
  } catch (const TXMLWriteError& e) {
    EXPECT_STRNE(e.what(), "");
  }
  EXPECT_TRUE(QFileInfo(QString::fromStdString(path)).isDir());
  EXPECT_EQ(Entries(), Names{"taken"});
}

// ---- backup of a file that was not read cleanly ----

// Cut off inside the root: the reader stops with what it had.
const std::string kTruncated = std::string(kDecl1251) +
                               "<somnary>\r\n"
                               "  <day date=\"1\">\r\n"
                               "    <experience number=\"1\" />\r\n";
// What that partial tree looks like when written.
const std::string kTruncatedTree = std::string(kDecl1251) +
                                   "\r\n"
                                   "\r\n"
                                   "<somnary>\r\n"
                                   "  <day date=\"1\">\r\n"
                                   "    <experience number=\"1\" />\r\n"
                                   "  </day>\r\n"
                                   "</somnary>\r\n";

TEST_F(XmlSaveTest, BadFileSavedOverItselfIsFirstKeptAsBak) {
  const std::string path = Path("journal.xml");
  WriteBytes(path, kTruncated);
  TXMLParser doc;
  doc.Load(path);
  ASSERT_EQ(doc.Status, xsUnexpectedEnd);
  EXPECT_EQ(doc.PendingBackupName(), path + ".bak");
  EXPECT_EQ(Entries(), Names{"journal.xml"});  // nothing is written by loading

  doc.Save(path);
  EXPECT_EQ(ReadBytes(path + ".bak"), kTruncated);
  EXPECT_EQ(ReadBytes(path), kTruncatedTree);
  EXPECT_TRUE(doc.PendingBackupName().empty());

  // Later saves replace only the file itself.
  doc.Root->SetAttribute("title", "T");
  doc.Save(path);
  EXPECT_EQ(Entries(), (Names{"journal.xml", "journal.xml.bak"}));
  EXPECT_EQ(ReadBytes(path + ".bak"), kTruncated);
}

TEST_F(XmlSaveTest, ExistingBackupsAreNeverOverwritten) {
  const std::string path = Path("journal.xml");
  WriteBytes(path, kTruncated);
  WriteBytes(path + ".bak", "older backup");
  WriteBytes(path + ".bak2", "even older");
  TXMLParser doc;
  doc.Load(path);
  EXPECT_EQ(doc.PendingBackupName(), path + ".bak3");
  doc.Save(path);
  EXPECT_EQ(ReadBytes(path + ".bak"), "older backup");
  EXPECT_EQ(ReadBytes(path + ".bak2"), "even older");
  EXPECT_EQ(ReadBytes(path + ".bak3"), kTruncated);
  EXPECT_EQ(ReadBytes(path), kTruncatedTree);
}

TEST_F(XmlSaveTest, BackupNameTakenBetweenLoadAndSaveMovesOnToTheNext) {
  const std::string path = Path("journal.xml");
  WriteBytes(path, kTruncated);
  TXMLParser doc;
  doc.Load(path);
  ASSERT_EQ(doc.PendingBackupName(), path + ".bak");
  WriteBytes(path + ".bak", "made meanwhile");
  doc.Save(path);
  EXPECT_EQ(ReadBytes(path + ".bak"), "made meanwhile");
  EXPECT_EQ(ReadBytes(path + ".bak2"), kTruncated);
}

TEST_F(XmlSaveTest, CleanlyLoadedFileMakesNoBackup) {
  const std::string path = Path("journal.xml");
  WriteBytes(path, kOldBytes);
  TXMLParser doc;
  doc.Load(path);
  ASSERT_EQ(doc.Status, xsLoaded);
  EXPECT_TRUE(doc.PendingBackupName().empty());
  doc.Save(path);
  EXPECT_EQ(Entries(), Names{"journal.xml"});
  EXPECT_EQ(ReadBytes(path), kOldBytes);
}

TEST_F(XmlSaveTest, SavingUnderAnotherPathMakesNoBackupAndLeavesTheBadFile) {
  const std::string path = Path("journal.xml");
  const std::string other = Path("copy.xml");
  WriteBytes(path, kTruncated);
  TXMLParser doc;
  doc.Load(path);
  doc.Save(other);
  EXPECT_EQ(Entries(), (Names{"copy.xml", "journal.xml"}));
  EXPECT_EQ(ReadBytes(path), kTruncated);
  EXPECT_EQ(ReadBytes(other), kTruncatedTree);

  // The backup still waits for the first save over the bad file itself.
  doc.Save(path);
  EXPECT_EQ(ReadBytes(path + ".bak"), kTruncated);
  EXPECT_EQ(ReadBytes(path), kTruncatedTree);
}

TEST_F(XmlSaveTest, TheSamePathSpelledDifferentlyStillGetsTheBackup) {
  ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
  const std::string path = Path("journal.xml");
  WriteBytes(path, kTruncated);
  TXMLParser doc;
  doc.Load(path);
  doc.Save(dir.path().toStdString() + "/sub/.././journal.xml");
  EXPECT_EQ(ReadBytes(path + ".bak"), kTruncated);
  EXPECT_EQ(ReadBytes(path), kTruncatedTree);
}

TEST_F(XmlSaveTest, AMissingFileHasNothingToBackUp) {
  const std::string path = Path("journal.xml");
  TXMLParser doc;
  doc.Load(path);
  ASSERT_EQ(doc.Status, xsCannotOpen);
  EXPECT_TRUE(doc.PendingBackupName().empty());
  doc.Root->Name = "somnary";
  doc.Save(path);
  EXPECT_EQ(Entries(), Names{"journal.xml"});
}

TEST_F(XmlSaveTest, ReloadingCleanlyDropsAPendingBackup) {
  const std::string path = Path("journal.xml");
  WriteBytes(path, kTruncated);
  TXMLParser doc;
  doc.Load(path);
  ASSERT_FALSE(doc.PendingBackupName().empty());
  WriteBytes(path, kOldBytes);
  doc.Root = std::make_unique<TXMLNode>();
  doc.Load(path);
  ASSERT_EQ(doc.Status, xsLoaded);
  EXPECT_TRUE(doc.PendingBackupName().empty());
  doc.Save(path);
  EXPECT_EQ(Entries(), Names{"journal.xml"});
}

TEST_F(XmlSaveTest, FailedBackupLeavesTheBadFileAndIsTriedAgain) {
  const std::string path = Path("journal.xml");
  WriteBytes(path, kTruncated);
  TXMLParser doc;
  doc.Load(path);
  {
    xmltest::TInjectedFault injected("write", "journal.xml.bak", 1, ENOSPC);
    EXPECT_THROW(doc.Save(path), TXMLWriteError);
  }
  EXPECT_EQ(ReadBytes(path), kTruncated);
  EXPECT_EQ(Entries(), Names{"journal.xml"});
  EXPECT_EQ(doc.PendingBackupName(), path + ".bak");

  doc.Save(path);
  EXPECT_EQ(ReadBytes(path + ".bak"), kTruncated);
  EXPECT_EQ(ReadBytes(path), kTruncatedTree);
}

// ---- a file that is there but cannot be read ----

TEST_F(XmlSaveTest, AFolderWhereTheFileShouldBeIsAReadErrorAMissingFileIsNot) {
  ASSERT_TRUE(QDir(dir.path()).mkdir("taken"));
  TXMLParser folder, missing;
  folder.Load(Path("taken"));
  missing.Load(Path("missing.xml"));
  EXPECT_FALSE(folder.ReadError().empty());
  EXPECT_TRUE(missing.ReadError().empty());
  EXPECT_EQ(missing.Status, xsCannotOpen);
  missing.Root->Name = "somnary";
  missing.Save(Path("missing.xml"));
  EXPECT_THROW(folder.Save(Path("taken")), TXMLWriteError);
  EXPECT_TRUE(QFileInfo(dir.filePath("taken")).isDir());
}

// Someone else wrote the file after this document read it.
TEST_F(XmlSaveTest, AnotherProgramsVersionIsNeverWrittenOver) {
  const std::string path = Path("journal.xml");
  TXMLParser written;
  FillJournal(written, 5);
  written.Save(path);
  const std::string theirs = std::string(kOldBytes);
  struct TCase {
    const char* Name;
    bool Edit;       // this document changed too
    bool SameBytes;  // the other program wrote back what was there
    TXMLParser::TSaveOutcome Outcome;
  } cases[] = {
      {"only the other changed", false, false, TXMLParser::TSaveOutcome::KeptTheOther},
      {"both changed", true, false, TXMLParser::TSaveOutcome::WroteConflictCopy},
      {"rewritten with the same bytes", true, true, TXMLParser::TSaveOutcome::Written},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    for (const std::string& name : Entries())
      if (name != "journal.xml") QFile::remove(QString::fromStdString(Path(name.c_str())));
    WriteBytes(path, written.SaveToText());
    TXMLParser doc;
    doc.Load(path);
    ASSERT_EQ(doc.Status, xsLoaded);
    const std::string read = doc.SaveToText();
    // A new file, not the old one written over, as sync clients do.
    unlink(path.c_str());
    WriteBytes(path, c.SameBytes ? read : theirs);
    if (c.Edit) doc.Root->SetAttribute("edited", "yes");
    EXPECT_EQ(doc.Save(path), c.Outcome);
    EXPECT_EQ(ReadBytes(path),
              c.Outcome == TXMLParser::TSaveOutcome::Written ? doc.SaveToText() : theirs);
    if (c.Outcome == TXMLParser::TSaveOutcome::WroteConflictCopy) {
      EXPECT_NE(doc.ConflictCopy().find("journal (конфликт "), std::string::npos)
          << doc.ConflictCopy();
      EXPECT_TRUE(doc.ConflictCopy().ends_with(").xml"));
      EXPECT_EQ(ReadBytes(doc.ConflictCopy()), doc.SaveToText());
      EXPECT_EQ(Entries().size(), 2u);
    } else {
      EXPECT_EQ(Entries(), Names{"journal.xml"});
    }
  }
}

}  // namespace
