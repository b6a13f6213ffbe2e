// Whole exports of a library and a journal compared byte for byte with files
// written by hand (see tests/data/export/make_golden.sh).

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "export/smr_HTMLExporter.h"
#include "export/smr_TXTExporter.h"
#include "export_test_util.h"
#include "xml/xml_functions.h"

namespace {

std::string DataFile(const std::string& name) {
  return std::string(SOMNARY_EXPORT_DATA) + "/" + name;
}

std::unique_ptr<TExporter> MakeExporter(bool text) {
  const TNumberFormat comma{',', ' '};
  std::unique_ptr<TExporter> exporter;
  if (text) {
    exporter = std::make_unique<TTXTExporter>(comma);
  } else {
    exporter = std::make_unique<THTMLExporter>(comma);
  }
  SetCaptions(*exporter, "Осознанный сон", "Астральная проекция", "Выход из тела", "Другой опыт");
  return exporter;
}

struct TGoldenCase {
  const char* folder;
  bool text;
};

class Golden : public ::testing::TestWithParam<TGoldenCase> {};

TEST_P(Golden, WholeFileMatchesAndDocumentStaysAsItWas) {
  const TGoldenCase c = GetParam();
  TXMLParser document;
  document.Load(DataFile(std::string(c.folder) + "/input.xml"));
  ASSERT_EQ(document.Status, 0);
  const std::string before = document.SaveToText();

  const QString folder = QString::fromStdString(DataFile(c.folder));
  const std::string expected =
      test_files::Read(folder + (c.text ? "/expected.txt" : "/expected.html")).toStdString();
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(MakeExporter(c.text)->ExportToText(document.Root.get()), expected);
  EXPECT_EQ(document.SaveToText(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Export, Golden,
    ::testing::Values(TGoldenCase{"library", false}, TGoldenCase{"library", true},
                      TGoldenCase{"journal", false}, TGoldenCase{"journal", true}),
    [](const auto& test) {
      return std::string(test.param.folder) + (test.param.text ? "Text" : "Html");
    });

TEST(ExportToFile, WritesTheTextAndReportsFailures) {
  TXMLParser document;
  document.Load(DataFile("journal/input.xml"));
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string target = dir.filePath("journal.txt").toStdString();
  auto exporter = MakeExporter(true);
  exporter->ExportToFile(document.Root.get(), target);
  EXPECT_EQ(test_files::Read(QString::fromStdString(target)),
            test_files::Read(SOMNARY_EXPORT_DATA "/journal/expected.txt"));

  const std::string missing = dir.filePath("no-such-folder/journal.txt").toStdString();
  try {
    exporter->ExportToFile(document.Root.get(), missing);
    FAIL() << "writing into a missing folder succeeded";
  } catch (const TXMLWriteError& error) {
    EXPECT_STRNE(error.what(), "");
  }
}

}  // namespace
