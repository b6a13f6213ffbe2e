#pragma once
// The folder and journal the saving tests share.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "xml/xml_mainUnit.h"
#include "xml_test_util.h"

namespace xmltest {

class XmlSaveTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir.isValid()); }

  std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }

  // Every entry of the folder, hidden ones and leftovers of a save included.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const QString& n :
         QDir(dir.path())
             .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
      names.push_back(n.toStdString());
    std::sort(names.begin(), names.end());
    return names;
  }

  QTemporaryDir dir;
};

using Names = std::vector<std::string>;

// A small tree whose text is much longer than the failing writers' limits.
inline void FillJournal(TXMLParser& doc, int days = 50) {
  doc.Parameters.Encoding = "windows-1251";
  doc.Root->Name = "somnary";
  for (int i = 0; i < days; ++i) {
    auto day = std::make_unique<TXMLNode>("day");
    day->SetAttribute("date", std::to_string(i));
    doc.Root->AddChild(std::move(day))->SetLevel(1);
  }
}

inline const std::string kOldBytes =
    std::string(kDecl1251) + "\r\n\r\n<somnary>\r\n  <day date=\"old\" />\r\n</somnary>\r\n";

}  // namespace xmltest
