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

// Reads the whole table; the separator is the one of ',', ';' and tab the
// header line holds most often outside quotes. Lines with nothing on them
// hold no row. Throws TImportError naming the line for invalid UTF-8, an
// unterminated quoted field (the line it opened on) or a row whose field
// count differs from the header's.
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

// The mapping a header suggests, case and blanks aside: the names the
// program's own CSV export writes (the mark captions given), then common
// English and Russian names (title, date, text, notes, lucid, ...); any other
// name is a property of that name, a blank one is ignored. A second column
// for a value already taken is ignored too.
TCsvMapping GuessCsvMapping(const QStringList& header, const std::array<QString, 4>& markCaptions);

// A mapping as one line for the settings, and back (columns named by the
// header, so a remembered mapping fits a file with the columns reordered).
// The line keeps only characters of the code page and no markup (others are
// percent escapes), so it survives an attribute of the settings. Columns of
// a repeated name take that name's entries in order; a column the line does
// not name gets the guess; entries naming no column or an unknown field are
// ignored.
QString SaveCsvMapping(const QStringList& header, const TCsvMapping& mapping);
TCsvMapping LoadCsvMapping(const QStringList& header, const QString& saved,
                           const std::array<QString, 4>& markCaptions);

// The journal the table gives under the mapping: a night per distinct
// night (the night column as written, else the date column read by
// ParseDiaryDate, a time after the date allowed; rows with neither go to one
// night named by `undatedNight`), in the order first met; an experience per
// row, in table order within its night, numbered as the new-experience
// dialog would (001, 002, ... through the journal) unless a number column
// gives numbers. Rows with only empty cells are left out.
//
// Cells as the program's own commands store them: the description with its
// line breaks, the comment on one line, the four marks and the lock read from
// 1/0, true/false, да/нет, yes/no, x, + (empty is no, other text yes), the
// energy as the figure the exporters show (+1 top .. -1 bottom, '.' or ','),
// each non-empty property as a `parameter` of `properties` (marks, when any
// is set, as its label1..label4). Values go through the text edge and
// Replaced counts what the code page lacks. Throws TImportError naming the
// row's line for a date or an energy that cannot be read.
TImportedJournal BuildCsvJournal(const TCsvTable& table, const TCsvMapping& mapping,
                                 const QString& undatedNight);
