#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <memory>
#include <string>

#include "storage/smr_Cp1251.h"
#include "xml/xml_mainUnit.h"

// A journal or library written by hand, UTF-8 here, windows-1251 in the file.
inline std::string JournalText(const std::string& daysUtf8) {
  return "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n<somnary>\r\n" +
         Utf8ToCp1251(daysUtf8) + "</somnary>\r\n";
}

inline void WriteFile(const QString& name, const std::string& bytes) {
  QFile file(name);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

inline std::unique_ptr<TXMLParser> Parsed(const std::string& text) {
  auto document = std::make_unique<TXMLParser>();
  document->LoadFromText(text);
  return document;
}
