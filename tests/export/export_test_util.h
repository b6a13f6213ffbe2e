#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "common/test_files.h"
#include "export/smr_Exporter.h"
#include "xml/xml_mainUnit.h"

using test_files::Cp1251;

// Each line ended with CR LF, in windows-1251.
inline std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) (text += line) += '\n';
  return test_files::FileBytes(text);
}

// A document read from XML written in UTF-8 with LF line ends.
inline std::unique_ptr<TXMLParser> Parse(std::string_view xml) {
  auto document = std::make_unique<TXMLParser>();
  document->LoadFromText(test_files::FileBytes(
      "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n" + std::string(xml)));
  EXPECT_EQ(document->Status, 0) << xml;
  return document;
}

inline void SetCaptions(TExporter& exporter, const char* a, const char* b, const char* c,
                        const char* d) {
  exporter.Label1Caption = Cp1251(a);
  exporter.Label2Caption = Cp1251(b);
  exporter.Label3Caption = Cp1251(c);
  exporter.Label4Caption = Cp1251(d);
}

// Journals and description files a library export reads, kept in memory by
// stored path; a path not given reads as missing.
struct TTestSources {
  std::map<std::string, std::unique_ptr<TXMLParser>> Journals;
  std::map<std::string, std::string> Files;  // the bytes of each
  void Attach(TExporter& exporter) {
    exporter.Journal = [this](const std::string& stored) -> const TXMLNode* {
      const auto found = Journals.find(stored);
      return found == Journals.end() ? nullptr : found->second->Root.get();
    };
    exporter.StoredFile = [this](const std::string& stored) -> std::optional<std::string> {
      const auto found = Files.find(stored);
      if (found == Files.end()) return std::nullopt;
      return found->second;
    };
  }
};
