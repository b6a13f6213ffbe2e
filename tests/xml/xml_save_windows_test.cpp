// Saving under the faults and file attributes of Windows: a failing call
// (through the file layer's seam, set by the same variables as the POSIX
// shim), a file with a second name, a read-only file.
#include <gtest/gtest.h>
#include <windows.h>

#include <QFile>
#include <cerrno>
#include <set>

#include "xml/xml_mainUnit.h"
#include "xml_save_fixture.h"

using namespace xmltest;

namespace {

std::wstring Wide(const std::string& utf8) { return QString::fromStdString(utf8).toStdWString(); }

TEST_F(XmlSaveTest, EachFailingCallLeavesTheOldFileByteForByte) {
  struct TFault {
    const char* Call;
    int Error;
  };
  const TFault faults[] = {{"write", ENOSPC}, {"write", EIO},  {"fsync", EIO},
                           {"close", EIO},    {"rename", EIO}, {"open", EACCES}};
  const std::string path = Path("journal.xml");
  for (const int days : {5, 2000}) {
    TXMLParser doc;
    FillJournal(doc, days);
    std::set<std::string> messages;
    for (const TFault& fault : faults) {
      SCOPED_TRACE(std::string(fault.Call) + ", " + std::to_string(days) + " days");
      WriteBytes(path, kOldBytes);
      {
        TInjectedFault injected(fault.Call, "journal.xml", 1, fault.Error);
        try {
          doc.Save(path);
          ADD_FAILURE() << "the failure went unnoticed";
        } catch (const TXMLWriteError& e) {
          EXPECT_STRNE(e.what(), "");
          messages.insert(e.what());
        }
      }
      EXPECT_EQ(ReadBytes(path), kOldBytes);
      EXPECT_EQ(Entries(), Names{"journal.xml"});
    }
    // The system's reasons are passed on: a full disk is not an I/O error.
    EXPECT_GE(messages.size(), 3u);
    {
      TInjectedFault injected("shortwrite", "journal.xml", 0, 0);
      doc.Save(path);
    }
    EXPECT_EQ(ReadBytes(path), doc.SaveToText());
  }
}

TEST_F(XmlSaveTest, AFileWithASecondNameIsWrittenInPlaceAReadOnlyOneIsRefused) {
  const std::string path = Path("journal.xml"), second = Path("second.xml");
  WriteBytes(path, kOldBytes);
  ASSERT_TRUE(CreateHardLinkW(Wide(second).c_str(), Wide(path).c_str(), nullptr));
  TXMLParser doc;
  FillJournal(doc, 5);
  doc.Save(path);
  EXPECT_EQ(ReadBytes(second), doc.SaveToText());

  const std::string locked = Path("locked.xml");
  WriteBytes(locked, kOldBytes);
  ASSERT_TRUE(SetFileAttributesW(Wide(locked).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_THROW(doc.Save(locked), TXMLWriteError);
  EXPECT_EQ(ReadBytes(locked), kOldBytes);
  SetFileAttributesW(Wide(locked).c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
