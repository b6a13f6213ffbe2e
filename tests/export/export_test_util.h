#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "export/smr_Exporter.h"
#include "storage/smr_Cp1251.h"
#include "xml/xml_mainUnit.h"

// Windows-1251 bytes of a UTF-8 literal.
inline std::string W(std::string_view utf8) { return Utf8ToCp1251(utf8); }

// Each line ended with CR LF, then converted to windows-1251.
inline std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    text += line;
    text += "\r\n";
  }
  return W(text);
}

// A document read from XML written in UTF-8 with LF line ends.
inline std::unique_ptr<TXMLParser> Parse(std::string_view xml) {
  std::string text = "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n";
  text += xml;
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  auto document = std::make_unique<TXMLParser>();
  document->LoadFromText(W(crlf));
  EXPECT_EQ(document->Status, 0) << xml;
  return document;
}

inline void SetCaptions(TExporter& exporter, const char* a, const char* b, const char* c,
                        const char* d) {
  exporter.Label1Caption = W(a);
  exporter.Label2Caption = W(b);
  exporter.Label3Caption = W(c);
  exporter.Label4Caption = W(d);
}
