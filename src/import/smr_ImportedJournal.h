#pragma once

#include <QString>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "storage/smr_TextEdge.h"

class TXMLNode;
class TXMLParser;

// Input an import cannot use, with the line it stopped at (1 for the first,
// 0 when no line applies). what() is the Russian text to show, UTF-8.
class TImportError : public std::runtime_error {
 public:
  TImportError(const std::string& message, int line) : std::runtime_error(message), Line(line) {}
  int Line;
};

// Text from outside the program as a document keeps it: through the text
// edge, counting the characters the code page lacks (they become '?').
class TImportText {
 public:
  std::string Attribute(const QString& text) { return Convert(text, TTextPlace::Attribute); }
  std::string Element(const QString& text) { return Convert(text, TTextPlace::ElementText); }
  std::string Attribute(std::string_view utf8) { return Attribute(QString::fromUtf8(utf8)); }
  std::string Element(std::string_view utf8) { return Element(QString::fromUtf8(utf8)); }
  // Characters replaced so far.
  int Replaced = 0;

 private:
  std::string Convert(const QString& text, TTextPlace where);
};

// A description file the new journal names, to be written beside it.
struct TImportedFile {
  TXMLNode* Owner = nullptr;  // the element whose `file` attribute names it
  std::string Bytes;          // the file's content as the program writes it
};

// A journal an import built and has not yet written.
struct TImportedJournal {
  TImportedJournal();
  ~TImportedJournal();
  TImportedJournal(TImportedJournal&&) noexcept;
  TImportedJournal& operator=(TImportedJournal&&) noexcept;

  std::unique_ptr<TXMLParser> Document;  // set up as a new journal
  std::vector<TImportedFile> Files;
  int Replaced = 0;  // characters the code page lacks, replaced visibly
};

// Writes the journal as the program writes journals, to a file that must not
// exist yet, and its description files into the folder storedBase stands
// for (stored relative paths are read against it). A description file whose
// name is taken gets a free name and its element follows it; one that names
// a place outside that folder is written under its own bare name. Throws
// TXMLWriteError with the text to show; nothing is replaced either way.
void WriteImportedJournal(TImportedJournal& journal, const std::string& fileName,
                          const QString& storedBase);
