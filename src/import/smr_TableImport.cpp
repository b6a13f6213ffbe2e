#include "import/smr_TableImport.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "import/smr_ImportBuilder.h"
#include "import/smr_ImportTexts.h"
#include "import/smr_ImportUtf8.h"
#include "import/smr_TextImport.h"
#include "storage/smr_Cp1251.h"
#include "storage/smr_Resources.h"
#include "storage/smr_Types.h"
#include "xml/xml_node.h"

namespace {

QString Utf8(const std::string& bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The separator the header line uses most, outside quotes; ',' when it
// holds none (a table of one column).
char DetectSeparator(std::string_view text) {
  std::map<char, int> counts{{',', 0}, {';', 0}, {'\t', 0}};
  bool quoted = false;
  for (char ch : text) {
    if (ch == '"') quoted = !quoted;
    if (!quoted && (ch == '\n' || ch == '\r')) break;
    if (!quoted && counts.count(ch)) ++counts[ch];
  }
  char best = ',';
  for (char candidate : {';', '\t'})
    if (counts[candidate] > counts[best]) best = candidate;
  return best;
}

}  // namespace

TCsvTable ReadCsv(std::string_view bytes) {
  const std::string_view text = CheckedUtf8(bytes);
  TCsvTable table;
  const char separator = DetectSeparator(text);
  table.Separator = QLatin1Char(separator);

  QStringList record;
  std::string field;
  int line = 1;        // the line the parser stands on
  int recordLine = 1;  // the line the current record began on
  bool empty = true;   // nothing of the record read yet
  const auto endRecord = [&] {
    record.push_back(Utf8(field));
    field.clear();
    // Lines with nothing at all on them hold no row.
    if (!(record.size() == 1 && empty)) {
      if (table.Header.isEmpty() && table.Rows.empty()) {
        table.Header = record;
      } else if (record.size() != table.Header.size()) {
        FailAtLine(res::ImportCsvFieldCount, recordLine, QString::number(record.size()),
                   QString::number(table.Header.size()));
      } else {
        table.Rows.push_back(record);
        table.RowLines.push_back(recordLine);
      }
    }
    record.clear();
    empty = true;
  };

  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    const char ch = text[i];
    if (ch == '"' && field.empty()) {
      // A quoted field: separators, quotes doubled and line breaks inside.
      const int opened = line;
      empty = false;
      ++i;
      for (;;) {
        if (i >= n) FailAtLine(res::ImportCsvOpenQuote, opened);
        const char c = text[i];
        if (c == '"') {
          if (i + 1 < n && text[i + 1] == '"') {
            field.push_back('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        if (c == '\n') ++line;
        // Line ends inside a value are kept as '\n' alone.
        if (!(c == '\r' && i + 1 < n && text[i + 1] == '\n')) field.push_back(c);
        ++i;
      }
      continue;
    }
    if (ch == separator) {
      record.push_back(Utf8(field));
      field.clear();
      empty = false;
      ++i;
    } else if (ch == '\n' || (ch == '\r' && (i + 1 == n || text[i + 1] == '\n'))) {
      endRecord();
      i += ch == '\r' ? 2 : 1;
      ++line;
      recordLine = line;
    } else {
      field.push_back(ch);
      empty = false;
      ++i;
    }
  }
  if (!empty || !record.isEmpty()) endRecord();
  if (table.Header.isEmpty()) throw TImportError(res::ImportCsvEmpty, 0);
  return table;
}

namespace {

// Field names of a remembered mapping, in TCsvField order.
constexpr std::array<const char*, 15> kFieldKeys = {
    "ignore", "journal", "night", "date",  "number", "title",    "description", "comment",
    "mark1",  "mark2",   "mark3", "mark4", "energy", "readonly", "property"};

QString Folded(const QString& name) {
  return name.simplified().toCaseFolded().replace(QChar(0x0451), QChar(0x0435));  // ё as е
}

// Header names other programs and people use, folded.
const QHash<QString, TCsvField>& Synonyms() {
  static const QHash<QString, TCsvField> table = [] {
    QHash<QString, TCsvField> names;
    const auto add = [&](TCsvField field, const char* utf8) {
      for (const QString& name : QString::fromUtf8(utf8).split(u'|'))
        names.insert(Folded(name), field);
    };
    // The program's own export first.
    add(TCsvField::Journal, "Журнал|journal");
    add(TCsvField::Night, "Ночь|night");
    add(TCsvField::Date, "Дата|date|день|day");
    add(TCsvField::Number, "Номер|number|no|no.|№|#|nr");
    add(TCsvField::Title, "Название|title|заголовок|тема|subject|заглавие");
    add(TCsvField::Description,
        "Описание|description|text|текст|dream|сон|сновидение|content|содержание|запись|entry");
    add(TCsvField::Comment,
        "Комментарий|comment|comments|notes|note|примечание|примечания|заметки|комментарии");
    add(TCsvField::Mark1, "lucid|lucid dream|осознанный|осознанный сон|осознанное сновидение|осс");
    add(TCsvField::Energy, "Энергия|energy|энергетика|энергетический уровень");
    add(TCsvField::ReadOnly, "Только чтение|read only|readonly|read-only|locked");
    return names;
  }();
  return table;
}

TCsvColumn Guess(const QString& name, const std::array<QString, 4>& markCaptions) {
  const QString folded = Folded(name);
  if (folded.isEmpty()) return {};
  // A mark without a caption is exported as "Отметка N".
  static const QString unnamed = QString::fromUtf8(res::UnnamedMark);
  for (std::size_t k = 0; k < markCaptions.size(); ++k) {
    const QString caption =
        markCaptions[k].trimmed().isEmpty() ? unnamed.arg(k + 1) : markCaptions[k];
    if (Folded(caption) == folded)
      return {static_cast<TCsvField>(static_cast<int>(TCsvField::Mark1) + static_cast<int>(k)), {}};
  }
  const auto found = Synonyms().constFind(folded);
  if (found != Synonyms().constEnd()) return {*found, {}};
  return {TCsvField::Property, name.trimmed()};
}

// Percent escapes for what would break the line or its place in the
// settings: the separators, blanks, markup and what the code page lacks.
QString Escaped(const QString& text) {
  QString out;
  for (const char32_t u : text.toUcs4()) {
    const bool plain = u > U' ' && u != U'%' && u != U';' && u != U'=' && u != U':' && u != U'"' &&
                       u != U'<' && u != U'>' && u != U'&' && u != 0x7F && UnicodeToCp1251(u) >= 0;
    if (plain) {
      out += QString::fromUcs4(&u, 1);
      continue;
    }
    for (const char byte : QString::fromUcs4(&u, 1).toUtf8())
      out +=
          QLatin1Char('%') +
          QString::number(static_cast<unsigned char>(byte), 16).rightJustified(2, u'0').toUpper();
  }
  return out;
}

QString Unescaped(const QString& text) {
  return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toUtf8()));
}

}  // namespace

TCsvMapping GuessCsvMapping(const QStringList& header, const std::array<QString, 4>& markCaptions) {
  TCsvMapping mapping;
  std::vector<bool> taken(kFieldKeys.size(), false);
  for (const QString& name : header) {
    TCsvColumn column = Guess(name, markCaptions);
    const auto index = static_cast<std::size_t>(column.Field);
    // A second column for a value already filled is left out.
    if (column.Field != TCsvField::Property && column.Field != TCsvField::Ignore) {
      if (taken[index]) column = {};
      taken[index] = true;
    }
    mapping.push_back(column);
  }
  return mapping;
}

QString SaveCsvMapping(const QStringList& header, const TCsvMapping& mapping) {
  QStringList entries;
  for (qsizetype i = 0; i < header.size() && i < static_cast<qsizetype>(mapping.size()); ++i) {
    const TCsvColumn& column = mapping[static_cast<std::size_t>(i)];
    QString entry = Escaped(header[i]) + QLatin1Char('=') +
                    QLatin1String(kFieldKeys[static_cast<std::size_t>(column.Field)]);
    if (column.Field == TCsvField::Property)
      entry += QLatin1Char(':') + Escaped(column.PropertyName);
    entries.push_back(entry);
  }
  return entries.join(u';');
}

TCsvMapping LoadCsvMapping(const QStringList& header, const QString& saved,
                           const std::array<QString, 4>& markCaptions) {
  // Entries by header name, in order, so repeated names keep their own.
  QHash<QString, std::vector<TCsvColumn>> remembered;
  for (const QString& entry : saved.split(u';', Qt::SkipEmptyParts)) {
    const qsizetype equals = entry.indexOf(u'=');
    if (equals < 0) continue;
    const QString value = entry.mid(equals + 1);
    const qsizetype colon = value.indexOf(u':');
    const QString key = colon < 0 ? value : value.left(colon);
    const auto known = std::find_if(kFieldKeys.begin(), kFieldKeys.end(),
                                    [&](const char* k) { return key == QLatin1String(k); });
    if (known == kFieldKeys.end()) continue;
    TCsvColumn column{static_cast<TCsvField>(known - kFieldKeys.begin()), {}};
    if (column.Field == TCsvField::Property) {
      column.PropertyName = colon < 0 ? QString() : Unescaped(value.mid(colon + 1));
      if (column.PropertyName.isEmpty()) continue;
    }
    remembered[Unescaped(entry.left(equals))].push_back(column);
  }
  TCsvMapping mapping = GuessCsvMapping(header, markCaptions);
  QHash<QString, std::size_t> used;
  for (qsizetype i = 0; i < header.size(); ++i) {
    const auto found = remembered.constFind(header[i]);
    if (found == remembered.constEnd()) continue;
    std::size_t& k = used[header[i]];
    if (k < found->size()) mapping[static_cast<std::size_t>(i)] = (*found)[k++];
  }
  return mapping;
}

namespace {

// A mark or lock cell: empty and the usual words for no are false.
std::optional<bool> ReadFlag(const QString& cell) {
  static const QStringList yes =
      QString::fromUtf8("1|true|да|yes|x|х|+|истина|y|д|on|v|✓|✔").split(u'|');
  static const QStringList no = QString::fromUtf8("|0|false|нет|no|-|ложь|n|н|off").split(u'|');
  const QString folded = cell.trimmed().toCaseFolded();
  if (yes.contains(folded)) return true;
  if (no.contains(folded)) return false;
  return std::nullopt;
}

// The stored level of an energy figure as the exporters write it, +1 at the
// top of the scale and -1 at the bottom; either decimal separator.
std::optional<int> EnergyLevel(const QString& cell) {
  bool ok = false;
  const double figure = QString(cell.trimmed()).replace(u',', u'.').toDouble(&ok);
  if (!ok || figure < -1.0 || figure > 1.0) return std::nullopt;
  return static_cast<int>(std::lround(100.0 - figure * 100.0));
}

// The night a date cell gives; a date followed by a time counts too.
std::optional<QString> NightOfDate(const QString& cell) {
  const QString value = cell.trimmed();
  std::optional<QDate> date = ParseDiaryDate(value);
  if (!date) {
    const qsizetype cut = value.indexOf(QRegularExpression(QStringLiteral("[\\sT]")));
    if (cut > 0) date = ParseDiaryDate(value.left(cut));
  }
  if (!date) return std::nullopt;
  return NightName(*date);
}

// A multi-line value as the properties dialog stores it: CR LF between
// lines, each line through the text edge on its own.
std::string PropertyValue(TImportText& text, const QString& value) {
  std::string out;
  const QStringList lines = QString(value).remove(u'\r').split(u'\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (i > 0) out += "\r\n";
    out += text.Attribute(lines[i]);
  }
  return out;
}

}  // namespace

TImportedJournal BuildCsvJournal(const TCsvTable& table, const TCsvMapping& mapping,
                                 const QString& undatedNight) {
  TImportBuilder builder;
  // The column of each single value, -1 when none.
  std::array<int, kFieldKeys.size()> column{};
  column.fill(-1);
  std::vector<int> properties;
  for (std::size_t i = 0; i < mapping.size() && i < static_cast<std::size_t>(table.Header.size());
       ++i) {
    const TCsvField field = mapping[i].Field;
    if (field == TCsvField::Property && !mapping[i].PropertyName.trimmed().isEmpty())
      properties.push_back(static_cast<int>(i));
    else if (column[static_cast<std::size_t>(field)] < 0)
      column[static_cast<std::size_t>(field)] = static_cast<int>(i);
  }
  const auto cell = [&](const QStringList& row, TCsvField field) {
    const int at = column[static_cast<std::size_t>(field)];
    return at < 0 ? QString() : row[at];
  };

  // Nights in the order first met; the rows of each in table order.
  std::vector<std::pair<QString, std::vector<std::size_t>>> nights;
  std::map<QString, std::size_t> nightIndex;
  for (std::size_t r = 0; r < table.Rows.size(); ++r) {
    const QStringList& row = table.Rows[r];
    if (std::all_of(row.begin(), row.end(), [](const QString& c) { return c.trimmed().isEmpty(); }))
      continue;
    QString night = cell(row, TCsvField::Night).trimmed();
    if (night.isEmpty() && !cell(row, TCsvField::Date).trimmed().isEmpty()) {
      const std::optional<QString> dated = NightOfDate(cell(row, TCsvField::Date));
      if (!dated) FailAtLine(res::ImportCsvBadDate, table.RowLines[r], cell(row, TCsvField::Date));
      night = *dated;
    }
    if (night.isEmpty()) night = undatedNight;
    const auto [it, added] = nightIndex.emplace(night, nights.size());
    if (added) nights.push_back({night, {}});
    nights[it->second].second.push_back(r);
  }

  for (const auto& [name, rows] : nights) {
    TXMLNode* day = builder.AddNight(name);
    for (const std::size_t r : rows) {
      const QStringList& row = table.Rows[r];
      const int line = table.RowLines[r];
      const QString number = cell(row, TCsvField::Number).trimmed();
      const QString title = cell(row, TCsvField::Title).trimmed();
      TXMLNode* experience = number.isEmpty() ? builder.AddExperience(day, title)
                                              : builder.AddExperience(day, number, title);
      if (ReadFlag(cell(row, TCsvField::ReadOnly)).value_or(true))
        experience->SetAttribute(smr::atReadOnly, smr::True);
      builder.SetDescription(experience, cell(row, TCsvField::Description));
      builder.SetComment(experience, cell(row, TCsvField::Comment));

      std::array<bool, 4> marks{};
      bool marked = false;
      for (std::size_t k = 0; k < marks.size(); ++k) {
        const auto field =
            static_cast<TCsvField>(static_cast<int>(TCsvField::Mark1) + static_cast<int>(k));
        marks[k] = ReadFlag(cell(row, field)).value_or(true);
        if (column[static_cast<std::size_t>(field)] < 0) marks[k] = false;
        marked = marked || marks[k];
      }
      std::vector<int> filled;
      for (const int p : properties)
        if (!row[p].trimmed().isEmpty()) filled.push_back(p);
      if (marked || !filled.empty()) {
        TXMLNode* props = builder.Child(experience, smr::elProperties,
                                        filled.empty() ? nkEmptyElement : nkElement);
        if (marked)
          for (std::size_t k = 0; k < marks.size(); ++k)
            props->SetAttribute(smr::atLabel[k], marks[k] ? smr::True : smr::False);
        for (const int p : filled) {
          auto parameter = std::make_unique<TXMLNode>(smr::elParameter, nkEmptyElement);
          parameter->SetAttribute(
              smr::atControl,
              builder.Text.Attribute(mapping[static_cast<std::size_t>(p)].PropertyName.trimmed()));
          parameter->SetAttribute(smr::atValue, PropertyValue(builder.Text, row[p]));
          props->AddChild(std::move(parameter));
        }
      }

      const QString energy = cell(row, TCsvField::Energy);
      if (!energy.trimmed().isEmpty()) {
        const std::optional<int> level = EnergyLevel(energy);
        if (!level) FailAtLine(res::ImportCsvBadEnergy, line, energy.trimmed());
        builder.Child(experience, smr::elEnergy, nkEmptyElement)
            ->SetAttribute(smr::atLevel, std::to_string(*level));
      }
    }
  }
  return builder.Finish();
}
