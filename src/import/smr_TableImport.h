#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <string_view>
#include <vector>

#include "import/smr_ImportedJournal.h"

// A table read from a CSV file (RFC 4180; UTF-8 with or without a byte
// order mark; the separator found among ',', ';' and tab). The first row
// is the header.
struct TCsvTable {
  QStringList Header;
  std::vector<QStringList> Rows;  // each with as many cells as the header
  std::vector<int> RowLines;      // the line each row starts on, 1-based
  QChar Separator = QLatin1Char(',');
};

// Reads the whole table. Throws TImportError naming the line for invalid
// UTF-8, an unterminated quoted field or a row whose field count differs
// from the header's.
TCsvTable ReadCsv(std::string_view bytes);

// What a column of the table fills in each experience.
enum class TCsvField {
  Ignore,
  Journal,  // ignored on import into one journal; the export writes it
  Night,    // the night's name as written
  Date,     // a date in any form ParseDiaryDate reads; gives the night
  Number,
  Title,
  Description,
  Comment,
  Mark1,
  Mark2,
  Mark3,
  Mark4,
  Energy,
  ReadOnly,
  Property,  // a property of the dream form; PropertyName names it
};

struct TCsvColumn {
  TCsvField Field = TCsvField::Ignore;
  QString PropertyName;  // for TCsvField::Property
};
using TCsvMapping = std::vector<TCsvColumn>;  // one per header column

// The mapping a header suggests: the names the program's own CSV export
// writes (the mark captions given), then common English and Russian names
// (title, date, ...); anything else is a property of that name.
TCsvMapping GuessCsvMapping(const QStringList& header, const std::array<QString, 4>& markCaptions);

// A mapping as one line for the settings, and back (columns named by the
// header, so a remembered mapping fits a file with the columns reordered).
QString SaveCsvMapping(const QStringList& header, const TCsvMapping& mapping);
TCsvMapping LoadCsvMapping(const QStringList& header, const QString& saved,
                           const std::array<QString, 4>& markCaptions);

// The journal the table gives under the mapping: a night per distinct
// night (date or name, in the order first met; rows with neither go to one
// night named by `undatedNight`), an experience per row numbered from 1
// unless a number column gives numbers. Values go through the text edge and
// Replaced counts what the code page lacks. Throws TImportError naming the
// row's line for a value that cannot be read (an energy that is no number).
TImportedJournal BuildCsvJournal(const TCsvTable& table, const TCsvMapping& mapping,
                                 const QString& undatedNight);
