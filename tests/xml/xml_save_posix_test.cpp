// Saving under the faults, processes, links and permissions of POSIX
// systems: failing system calls (through the preloaded shim), other
// processes saving at once, links, read-only files, pipes and devices.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <tuple>

#include "xml/xml_mainUnit.h"
#include "xml_save_fixture.h"

using namespace xmltest;

namespace {

// One system call fails (through the preloaded fault shim) while a file of
// either side of 16 KiB is saved over an old one: the save raises the
// system's message and leaves the old bytes and nothing else.
struct TFault {
  const char* Call;
  int Nth;
  int Error;
};
constexpr TFault kFaults[] = {
    {"write", 1, ENOSPC}, {"write", 1, EIO},   {"fsync", 1, EIO},  {"close", 1, EIO},
    {"rename", 1, EIO},   {"open", 1, EACCES}, {"open", 1, EROFS},
};

TEST_F(XmlSaveTest, EachFailingCallLeavesTheOldFileByteForByte) {
  const std::string path = Path("journal.xml");
  for (const int days : {5, 2000}) {
    TXMLParser doc;
    FillJournal(doc, days);
    ASSERT_EQ(doc.SaveToText().size() > 16384, days > 5);
    for (const TFault& fault : kFaults) {
      SCOPED_TRACE(std::string(fault.Call) + " #" + std::to_string(fault.Nth) + ", " +
                   std::to_string(days) + " days");
      WriteBytes(path, kOldBytes);
      {
        xmltest::TInjectedFault injected(fault.Call, "journal.xml", fault.Nth, fault.Error);
        try {
          doc.Save(path);
          ADD_FAILURE() << "the failure went unnoticed";
        } catch (const TXMLWriteError& e) {
          EXPECT_STREQ(e.what(), std::strerror(fault.Error));
        }
      }
      EXPECT_EQ(ReadBytes(path), kOldBytes);
      EXPECT_EQ(Entries(), Names{"journal.xml"});
    }
    // Writes that take a few bytes at a time are carried on to the end.
    {
      xmltest::TInjectedFault injected("shortwrite", "journal.xml", 0, 0);
      doc.Save(path);
    }
    EXPECT_EQ(ReadBytes(path), doc.SaveToText());
  }
}

// The rename is done: a folder that cannot be synced is a warning with the
// system's reason, not a failed save.
TEST_F(XmlSaveTest, FailingFolderSyncIsAWarningAfterTheRename) {
  const std::string path = Path("journal.xml");
  TXMLParser doc;
  FillJournal(doc, 5);
  {
    // The folder's name is part of both paths: the file is synced first, the folder second.
    xmltest::TInjectedFault injected("fsync", dir.path().toStdString(), 2, EIO);
    EXPECT_EQ(doc.Save(path), TXMLParser::TSaveOutcome::Written);
  }
  EXPECT_EQ(doc.SyncWarning(), std::strerror(EIO));
  EXPECT_EQ(ReadBytes(path), doc.SaveToText());
  doc.Save(path);
  EXPECT_EQ(doc.SyncWarning(), "");
}

pid_t EndedProcess() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

TEST_F(XmlSaveTest, OnlyTemporariesOfEndedProcessesAreRemoved) {
  const std::string path = Path("journal.xml");
  WriteBytes(path, kOldBytes);
  const std::string gone = std::to_string(EndedProcess());
  const std::string stale = "journal.xml.somnary-tmp." + gone + ".abc123";
  const std::string running = "journal.xml.somnary-tmp." + std::to_string(getppid()) + ".def456";
  const std::string anotherFile = "notes.xml.somnary-tmp." + gone + ".ghi789";
  for (const std::string& name : {stale, running, anotherFile}) WriteBytes(Path(name.c_str()), "x");
  TXMLParser doc;
  FillJournal(doc, 5);
  doc.Save(path);
  EXPECT_EQ(ReadBytes(path), doc.SaveToText());
  Names expected{"journal.xml", running, anotherFile};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Entries(), expected);
}

// Two programs ending together save the same file again and again: each
// save is whole, none fails because of the other.
TEST_F(XmlSaveTest, SavesOfOneFileFromTwoProcessesAtOnceNeverMix) {
  const std::string path = Path("journal.xml");
  TXMLParser versions[2];
  FillJournal(versions[0], 2000);
  FillJournal(versions[1], 1000);
  pid_t children[2];
  for (int i = 0; i < 2; ++i) {
    children[i] = fork();
    if (children[i] == 0) {
      try {
        for (int round = 0; round < 100; ++round) versions[i].Save(path);
      } catch (const TXMLWriteError& e) {
        std::fprintf(stderr, "process %d: %s\n", i, e.what());
        _exit(1);
      }
      _exit(0);
    }
  }
  for (const pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const std::string found = ReadBytes(path);
  EXPECT_TRUE(found == versions[0].SaveToText() || found == versions[1].SaveToText());
  EXPECT_EQ(Entries(), Names{"journal.xml"});
}

TEST_F(XmlSaveTest, ALinkKeepsLeadingToTheSavedFile) {
  ASSERT_TRUE(QDir(dir.path()).mkdir("dotfiles"));
  const std::string real = Path("dotfiles/journal.xml");
  const std::string link = Path("journal.xml");
  // Absolute, relative, and one whose file is not there yet.
  const std::pair<std::string, bool> links[] = {
      {real, true}, {"dotfiles/journal.xml", true}, {real, false}};
  for (const auto& [target, there] : links) {
    SCOPED_TRACE(target);
    TXMLParser doc;
    FillJournal(doc, 5);
    if (there) WriteBytes(real, kOldBytes);
    unlink(link.c_str());
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    doc.Save(link);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(link)).isSymLink());
    EXPECT_EQ(ReadBytes(real), doc.SaveToText());
    EXPECT_EQ(QDir(dir.filePath("dotfiles")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"journal.xml"});
    unlink(real.c_str());
  }
}

// A file known by two names is overwritten where it stands, so both names
// keep showing one text; its old text is backed up while that happens.
TEST_F(XmlSaveTest, AFileWithASecondNameIsWrittenInPlace) {
  const std::string path = Path("journal.xml");
  const std::string second = Path("second.xml");
  TXMLParser doc;
  FillJournal(doc, 2000);
  WriteBytes(path, kOldBytes);
  ASSERT_EQ(link(path.c_str(), second.c_str()), 0);
  doc.Save(path);
  EXPECT_EQ(ReadBytes(second), doc.SaveToText());
  EXPECT_EQ(Entries(), (Names{"journal.xml", "second.xml"}));

  const std::string saved = doc.SaveToText();
  FillJournal(doc, 10);
  // The backup fails first; then the new text, in the middle or at its sync:
  // the old text is put back and the backup goes.
  const TFault faults[] = {{"write", 1, EIO}, {"write", 2, ENOSPC}, {"fsync", 2, EIO}};
  for (const TFault& fault : faults) {
    SCOPED_TRACE(std::string(fault.Call) + " #" + std::to_string(fault.Nth));
    {
      xmltest::TInjectedFault injected(fault.Call, "journal.xml", fault.Nth, fault.Error);
      EXPECT_THROW(doc.Save(path), TXMLWriteError);
    }
    EXPECT_EQ(Entries(), (Names{"journal.xml", "second.xml"}));
    EXPECT_EQ(ReadBytes(second), saved);
  }
}

// Run as an ordinary user (the test drops to "nobody" when it runs as root):
// a read-only file is refused with the system's reason; a file of another
// user that this one may write is written in place and keeps its owner.
// As root, a replaced file keeps its owner, group and mode.
TEST_F(XmlSaveTest, ReadOnlyFilesAreRefusedAndOwnersKept) {
  constexpr uid_t kNobody = 65534;
  const bool root = geteuid() == 0;
  ASSERT_EQ(chmod(dir.path().toUtf8().constData(), 0777), 0);
  const std::string readOnly = Path("read-only.xml");
  const std::string others = Path("others.xml");
  WriteBytes(readOnly, kOldBytes);
  WriteBytes(others, kOldBytes);
  ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
  ASSERT_EQ(chmod(others.c_str(), 0666), 0);
  if (root) {
    ASSERT_EQ(chown(readOnly.c_str(), kNobody, kNobody), 0);
  }
  TXMLParser doc;
  FillJournal(doc, 5);
  const pid_t child = fork();
  if (child == 0) {
    if (root && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(3);
    try {
      doc.Save(readOnly);
      _exit(1);
    } catch (const TXMLWriteError& e) {
      if (std::strcmp(e.what(), std::strerror(EACCES)) != 0) _exit(2);
    }
    try {
      if (root) doc.Save(others);
    } catch (const TXMLWriteError&) {
      _exit(4);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << WEXITSTATUS(status);
  EXPECT_EQ(ReadBytes(readOnly), kOldBytes);
  if (!root) return;
  struct stat info;
  ASSERT_EQ(stat(others.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 0u);
  EXPECT_EQ(ReadBytes(others), doc.SaveToText());

  // Root saving another user's private file.
  ASSERT_EQ(chmod(readOnly.c_str(), 0640), 0);
  doc.Save(readOnly);
  ASSERT_EQ(stat(readOnly.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, kNobody);
  EXPECT_EQ(info.st_gid, kNobody);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(ReadBytes(readOnly), doc.SaveToText());
}

TEST_F(XmlSaveTest, AFileThatCannotBeReadIsNeverWrittenOver) {
  const std::string path = Path("journal.xml");
  WriteBytes(path, kOldBytes);
  TXMLParser doc;
  {
    xmltest::TInjectedFault injected("open", "journal.xml", 1, EIO);
    doc.Load(path);
  }
  EXPECT_EQ(doc.Status, xsCannotOpen);
  EXPECT_EQ(doc.ReadError(), std::strerror(EIO));
  doc.Root->Name = "somnary";
  EXPECT_THROW(doc.Save(path), TXMLWriteError);
  EXPECT_THROW(doc.Save(dir.path().toStdString() + "/./journal.xml"), TXMLWriteError);
  EXPECT_EQ(ReadBytes(path), kOldBytes);
  // Another name is fine; the unread file still stays as it is.
  doc.Save(Path("copy.xml"));
  EXPECT_THROW(doc.Save(path), TXMLWriteError);
  EXPECT_EQ(Entries(), (Names{"copy.xml", "journal.xml"}));
  // Once it is read, it is the document's file like any other.
  doc.Load(path);
  EXPECT_TRUE(doc.ReadError().empty());
  doc.Save(path);
  EXPECT_EQ(ReadBytes(path), doc.SaveToText());
}

// A pipe nobody writes to, an endless device and a file larger than a
// read may take are refused at once, each with the system's reason; the
// file is never written over.
TEST_F(XmlSaveTest, WhatIsNotAFileOrTooLargeIsRefusedAtOnce) {
  const std::string pipe = Path("pipe.xml");
  const std::string huge = Path("huge.xml");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  WriteBytes(huge, "");
  ASSERT_EQ(truncate(huge.c_str(), static_cast<off_t>((std::uint64_t(2) << 30) + 1)), 0);
  const std::pair<std::string, int> cases[] = {
      {pipe, EINVAL}, {"/dev/zero", EINVAL}, {huge, EFBIG}};
  for (const auto& [path, error] : cases) {
    SCOPED_TRACE(path);
    auto load = std::async(std::launch::async, [&] {
      TXMLParser doc;
      doc.Load(path);
      std::string bytes, message;
      const bool read = ReadWholeFile(path, bytes, &message);
      return std::make_tuple(doc.Status, doc.ReadError(), read, message);
    });
    if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      // Let a reader stuck on the pipe go before failing.
      close(open(pipe.c_str(), O_WRONLY | O_NONBLOCK));
      FAIL() << "the read waited";
    }
    const auto [status, readError, read, message] = load.get();
    EXPECT_EQ(status, xsCannotOpen);
    EXPECT_EQ(readError, std::strerror(error));
    EXPECT_FALSE(read);
    EXPECT_EQ(message, std::strerror(error));
  }
}

// A read that fails part way, as on a failing disk (reading this process's
// own memory at address 0 fails the same way): the file is unread, with
// the system's reason, not a shorter or an empty document.
TEST_F(XmlSaveTest, AReadErrorIsNotTheEndOfTheFile) {
  const std::string path = "/proc/self/mem";
  std::string bytes = "stale", message;
  EXPECT_FALSE(ReadWholeFile(path, bytes, &message));
  EXPECT_EQ(message, std::strerror(EIO));
  EXPECT_TRUE(bytes.empty());
  TXMLParser doc;
  doc.Load(path);
  EXPECT_EQ(doc.Status, xsCannotOpen);
  EXPECT_EQ(doc.ReadError(), std::strerror(EIO));
  EXPECT_TRUE(doc.IsUnreadFile(path));
}
}  // namespace
