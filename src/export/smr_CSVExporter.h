#pragma once

#include <string>
#include <vector>

#include "export/smr_Exporter.h"

// Writes every experience of a journal, or of every journal of a library,
// as one row of a table for spreadsheets: comma-separated values (RFC
// 4180), UTF-8 with a byte order mark, a header row first. Columns: the
// journal, the night, its date, number, title, the description as text,
// the comment, the four marks (0/1, by caption), energy, read-only (0/1),
// then one per property name: PropertyNames first, then any other name the
// experiences hold, in the order they first appear.
//
// A journal of a library that cannot be read gives one row of its own:
// its name, and in the description column a note that it was not read.
class TCSVExporter : public TExporter {
 public:
  explicit TCSVExporter(TNumberFormat numberFormat = {});

  // The journal column of a journal exported alone (a library's rows take
  // each journal's name from the library); windows-1251.
  std::string JournalName;
  // The property names of the user's form (FormPropertyNames), for
  // columns in the form's order; windows-1251.
  std::vector<std::string> PropertyNames;
  // ',' as RFC 4180 has it; a spreadsheet of a decimal-comma locale may
  // want ';'.
  char Separator = ',';

  // A null element, or one that is neither a library nor a journal, gives
  // the header row alone.
  void Write(const TXMLNode* element, const TByteSink& sink) override;

 private:
  struct TColumns;
  void AddRows(const TXMLNode& journal, const std::string& journalName, const TColumns& columns,
               const TByteSink& sink) const;
  std::string Row(const std::vector<std::string>& cells) const;
};
