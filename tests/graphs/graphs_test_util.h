#pragma once

// A stand-in for the program's number formatting and text edge: the graph
// tests link only the graphs library. Comma as decimal separator, Cyrillic
// and ASCII in windows-1251.

#include <QString>
#include <cstdio>
#include <memory>
#include <string>

#include "graphs/smr_GraphLocale.h"
#include "xml/xml_mainUnit.h"

namespace graphtest {

inline std::string Bytes(std::string_view utf8) {
  std::string out;
  for (QChar c : QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))) {
    const char16_t u = c.unicode();
    if (u < 0x80)
      out += char(u);
    else if (u >= 0x410 && u <= 0x44F)
      out += char(0xC0 + (u - 0x410));
    else if (u == 0x401)
      out += char(0xA8);
    else if (u == 0x451)
      out += char(0xB8);
    else
      out += '?';
  }
  return out;
}

inline QString Ui(std::string_view bytes) {
  QString out;
  for (unsigned char b : bytes) {
    if (b < 0x80)
      out += QChar(b);
    else if (b >= 0xC0)
      out += QChar(char16_t(0x410 + (b - 0xC0)));
    else if (b == 0xA8)
      out += QChar(char16_t(0x401));
    else if (b == 0xB8)
      out += QChar(char16_t(0x451));
    else
      out += QChar(char16_t(0xFFFD));
  }
  return out;
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
  locale.ToBytes = Bytes;
  return locale;
}

// A document parsed from UTF-8 text written in the test.
inline std::unique_ptr<TXMLParser> Parse(std::string_view utf8Body) {
  auto document = std::make_unique<TXMLParser>();
  document->LoadFromText(
      "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n" + Bytes(utf8Body));
  return document;
}

}  // namespace graphtest
