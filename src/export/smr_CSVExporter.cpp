#include "export/smr_CSVExporter.h"

#include <QDate>
#include <QString>
#include <cstdio>
#include <unordered_map>

#include "export/smr_HTMLText.h"
#include "storage/smr_Cp1251.h"
#include "storage/smr_Resources.h"
#include "storage/smr_Types.h"
#include "xml/xml_node.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kRowEnd = "\r\n";

std::string Attribute(const TXMLNode& element, std::string_view name) {
  return element.HasAttribute(name) ? element.GetAttribute(name) : std::string();
}

// The files of a library in tree order, catalogues depth first.
template <typename F>
void ForEachFile(const TXMLNode& parent, const F& f) {
  for (const auto& child : parent.Children) {
    if (child->Name == smr::elDirectory)
      ForEachFile(*child, f);
    else if (child->Name == smr::elFile)
      f(*child);
  }
}

// Properties as the page and the text show them: a group's values stand
// for the group. A value without a control's name has no column.
template <typename F>
void ForEachProperty(const TXMLNode& element, const F& f) {
  for (const auto& child : element.Children) {
    if (child->Name != smr::elParameter) continue;
    if (child->ChildCount() > 0)
      ForEachProperty(*child, f);
    else if (child->HasAttribute(smr::atControl))
      f(child->GetAttribute(smr::atControl), Attribute(*child, smr::atValue));
  }
}

bool Digits(std::string_view text) {
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return !text.empty();
}

// A night's name dd.mm.yy or dd.mm.yyyy as yyyy-mm-dd; empty for any other
// name or a day the calendar lacks. Two-digit years 69-99 are 1969-1999 and
// 00-68 are 2000-2068, as the search's date filter reads them.
std::string IsoDate(std::string_view name) {
  if ((name.size() != 8 && name.size() != 10) || name[2] != '.' || name[5] != '.') return {};
  const std::string_view day = name.substr(0, 2), month = name.substr(3, 2), year = name.substr(6);
  if (!Digits(day) || !Digits(month) || !Digits(year)) return {};
  const auto number = [](std::string_view digits) { return std::stoi(std::string(digits)); };
  int y = number(year);
  if (year.size() == 2) y += y >= 69 ? 1900 : 2000;
  const QDate date(y, number(month), number(day));
  if (!date.isValid()) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year(), date.month(), date.day());
  return text;
}

std::string Flag(bool set) { return set ? "1" : "0"; }

}  // namespace

// The property columns, each name once, in the order they were added.
struct TCSVExporter::TColumns {
  std::vector<std::string> Names;  // windows-1251
  std::unordered_map<std::string, std::size_t> Index;
  void Add(const std::string& name) {
    if (Index.emplace(name, Names.size()).second) Names.push_back(name);
  }
};

TCSVExporter::TCSVExporter(TNumberFormat numberFormat) : TExporter(numberFormat) {}

void TCSVExporter::Write(const TXMLNode* element, const TByteSink& sink) {
  // The journals with their names; a library's are each read once here,
  // and the roots stay valid while its sources live.
  struct TJournalRef {
    std::string Name, Stored;
    const TXMLNode* Root = nullptr;
  };
  std::vector<TJournalRef> journals;
  if (element && element->Name == smr::elLibrary) {
    ForEachFile(*element, [&](const TXMLNode& file) {
      const std::string stored = Attribute(file, smr::atPath);
      journals.push_back(
          {Attribute(file, smr::atName), stored, Journal ? Journal(stored) : nullptr});
    });
  } else if (element && element->Name == smr::elJournal) {
    journals.push_back({JournalName, {}, element});
  }

  // The header needs every property name, so the data is walked once for them first.
  TColumns columns;
  for (const std::string& name : PropertyNames) columns.Add(name);
  for (const TJournalRef& journal : journals) {
    if (!journal.Root) continue;
    for (const auto& day : journal.Root->Children) {
      if (day->Name != smr::elDay) continue;
      for (const auto& experience : day->Children) {
        if (experience->Name != smr::elExperience) continue;
        if (const TXMLNode* properties = experience->FindNode(smr::elProperties))
          ForEachProperty(*properties,
                          [&](const std::string& name, const std::string&) { columns.Add(name); });
      }
    }
  }

  std::vector<std::string> header = {res::TableJournal, res::TableNight, res::TableDate,
                                     res::TableNumber,  res::TableTitle, res::TableDescription,
                                     res::TableComment};
  for (int mark = 0; mark < 4; ++mark) {
    // A mark without a caption still needs a column name the import knows.
    const QString caption = QString::fromStdString(Cp1251ToUtf8(LabelCaption(mark))).trimmed();
    header.push_back(
        (caption.isEmpty() ? QString::fromUtf8(res::UnnamedMark).arg(mark + 1) : caption)
            .toStdString());
  }
  header.push_back(res::TableEnergy);
  header.push_back(res::TableReadOnly);
  for (const std::string& name : columns.Names) header.push_back(Cp1251ToUtf8(name));
  sink(kUtf8Bom);
  sink(Row(header));

  for (const TJournalRef& journal : journals) {
    if (journal.Root) {
      AddRows(*journal.Root, journal.Name, columns, sink);
      continue;
    }
    std::vector<std::string> cells(header.size());
    cells[0] = TextLinesUtf8(journal.Name);
    cells[5] = QString::fromUtf8(res::JournalNotRead)
                   .arg(QString::fromStdString(Cp1251ToUtf8(journal.Stored)))
                   .toStdString();
    sink(Row(cells));
  }
}

void TCSVExporter::AddRows(const TXMLNode& journal, const std::string& journalName,
                           const TColumns& columns, const TByteSink& sink) const {
  const std::size_t fixed = 13;
  for (const auto& day : journal.Children) {
    if (day->Name != smr::elDay) continue;
    const std::string night = Attribute(*day, smr::atName);
    const std::string date = IsoDate(night);
    for (const auto& child : day->Children) {
      if (child->Name != smr::elExperience) continue;
      const TXMLNode& experience = *child;
      std::vector<std::string> cells;
      cells.reserve(fixed + columns.Names.size());
      cells.push_back(TextLinesUtf8(journalName));
      cells.push_back(TextLinesUtf8(night));
      cells.push_back(date);
      cells.push_back(TextLinesUtf8(Attribute(experience, smr::atNumber)));
      cells.push_back(TextLinesUtf8(Attribute(experience, smr::atTitle)));
      cells.push_back(DescriptionText(experience, StoredFile));
      const TXMLNode* comment = experience.FindNode(smr::elComment);
      cells.push_back(TextLinesUtf8(TextOf(comment)));
      const TXMLNode* properties = experience.FindNode(smr::elProperties);
      for (int mark = 0; mark < 4; ++mark) cells.push_back(Flag(MarkSet(properties, mark)));
      const TXMLNode* energy = experience.FindNode(smr::elEnergy);
      // The figure a spreadsheet reads in any locale: a '.' and no grouping.
      cells.push_back(energy ? EnergyFigure(energy->GetAttribute(smr::atLevel), TNumberFormat{})
                             : std::string());
      cells.push_back(Flag(experience.GetAttribute(smr::atReadOnly) == smr::True));
      cells.resize(fixed + columns.Names.size());
      if (properties) {
        // A later value of a name wins, as the dialog loads them.
        ForEachProperty(*properties, [&](const std::string& name, const std::string& value) {
          cells[fixed + columns.Index.at(name)] = TextLinesUtf8(value);
        });
      }
      sink(Row(cells));
    }
  }
}

std::string TCSVExporter::Row(const std::vector<std::string>& cells) const {
  std::string row;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) row += Separator;
    const std::string& cell = cells[i];
    if (cell.find_first_of(std::string{'"', Separator, '\r', '\n'}) == std::string::npos) {
      row += cell;
      continue;
    }
    row += '"';
    for (char c : cell) {
      if (c == '"') row += '"';
      row += c;
    }
    row += '"';
  }
  row += kRowEnd;
  return row;
}
