#pragma once

#include <memory>
#include <string>

#include "common/test_files.h"
#include "storage/smr_Cp1251.h"
#include "xml/xml_mainUnit.h"

// A journal or library written by hand, UTF-8 here, windows-1251 in the file.
inline std::string JournalText(const std::string& daysUtf8) {
  return "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n<somnary>\r\n" +
         test_files::Cp1251(daysUtf8) + "</somnary>\r\n";
}

using test_files::Read;
using test_files::Write;

inline std::unique_ptr<TXMLParser> Parsed(const std::string& text) {
  auto document = std::make_unique<TXMLParser>();
  document->LoadFromText(text);
  return document;
}
