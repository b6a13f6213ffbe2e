#pragma once

// A stand-in for the program's number formatting and text edge: the graph
// tests link only the graphs library. Comma as decimal separator.

#include <QString>
#include <cstdio>
#include <memory>
#include <string>

#include "common/test_files.h"
#include "graphs/smr_GraphLocale.h"
#include "xml/xml_mainUnit.h"

namespace graphtest {

using test_files::Cp1251;

inline QString Ui(std::string_view bytes) {
  return QString::fromStdString(test_files::Utf8(bytes));
}

inline TGraphLocale CommaLocale() {
  TGraphLocale locale;
  locale.Fixed = [](double value, int decimals) {
    return QString::number(value, 'f', decimals).replace('.', ',');
  };
  locale.General = [](double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text = buffer;
    for (char& c : text)
      if (c == '.') c = ',';
    return text;
  };
  locale.ToUi = Ui;
  locale.ToBytes = Cp1251;
  return locale;
}

// A document parsed from UTF-8 text written in the test.
inline std::unique_ptr<TXMLParser> Parse(std::string_view utf8Body) {
  auto document = std::make_unique<TXMLParser>();
  document->LoadFromText(
      "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n" +
      Cp1251(utf8Body));
  return document;
}

}  // namespace graphtest
