#include "export/smr_MarkdownExporter.h"

#include <QString>
#include <algorithm>
#include <vector>

#include "export/smr_HTMLText.h"
#include "storage/smr_Cp1251.h"
#include "storage/smr_Resources.h"
#include "storage/smr_Types.h"
#include "xml/xml_node.h"

namespace {

constexpr int kDeepestHeading = 6;

std::string Attribute(const TXMLNode& element, std::string_view name) {
  return element.HasAttribute(name) ? element.GetAttribute(name) : std::string();
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

TMarkdownExporter::TMarkdownExporter(TNumberFormat numberFormat) : TExporter(numberFormat) {}

std::string TMarkdownExporter::Escape(std::string_view text, TPlace place) {
  const bool heading = place == TPlace::Heading, lineStart = place == TPlace::Line;
  // Leading blanks would make an indented line code; trailing ones a break.
  text = Trimmed(text);
  std::string out;
  out.reserve(text.size() + 8);
  // "12." or "12)" at a line's start begins a numbered list.
  std::size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    bool escape = false;
    switch (c) {
      case '\\':
      case '`':
      case '*':
      case '_':
      case '[':
      case ']':
      case '<':
      case '|':
      case '~':
        escape = true;
        break;
      case '&':  // only where it could start a character reference
        escape = i + 1 < text.size() && (IsLetter(text[i + 1]) || text[i + 1] == '#');
        break;
      case '#':  // a heading's closing marks would be dropped
        escape = heading || (lineStart && i == 0);
        break;
      case '>':
      case '-':
      case '+':
      case '=':
        escape = lineStart && i == 0;
        break;
      case '.':
      case ')':
        escape = lineStart && digits > 0 && i == digits;
        break;
      case '\r':
      case '\n':
        out += ' ';
        continue;
      default:
        break;
    }
    if (escape) out += '\\';
    out += c;
  }
  return out;
}

void TMarkdownExporter::Heading(int level, std::string_view text, std::string& out) const {
  out.append(static_cast<std::size_t>(std::min(level, kDeepestHeading)), '#');
  const std::string escaped = Escape(text, TPlace::Heading);
  if (!escaped.empty()) out += ' ' + escaped;
  out += LineBreak;
  out += LineBreak;
}

void TMarkdownExporter::Block(std::string_view text, std::string_view prefix,
                              std::string& out) const {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(Trimmed(text.substr(start, end - start)));
    start = end + 1;
  }
  // An empty line apart paragraphs, one at most; none around the block.
  std::vector<std::string_view> kept;
  for (std::string_view line : lines)
    if (!line.empty() || (!kept.empty() && !kept.back().empty())) kept.push_back(line);
  while (!kept.empty() && kept.back().empty()) kept.pop_back();
  if (kept.empty()) return;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (kept[i].empty()) {
      out += Trimmed(prefix);
    } else {
      out += prefix;
      out += Escape(kept[i]);
      // Two blanks keep the line break of the text inside a paragraph.
      if (i + 1 < kept.size() && !kept[i + 1].empty()) out += "  ";
    }
    out += LineBreak;
  }
  out += LineBreak;
}

void TMarkdownExporter::Write(const TXMLNode* element, const TByteSink& sink) {
  if (!element) return;
  std::string out;
  if (element->Name == smr::elLibrary) {
    std::string title = Cp1251ToUtf8(Texts.LibraryTitle);
    if (element->HasAttribute(smr::atName))
      title += ": " + Cp1251ToUtf8(element->GetAttribute(smr::atName));
    Heading(1, title, out);
    sink(out);
    for (const auto& child : element->Children) {
      if (child->Name == smr::elDirectory)
        CatalogueText(*child, 2, sink);
      else if (child->Name == smr::elFile)
        JournalText(*child, 2, sink);
    }
  } else if (element->Name == smr::elJournal) {
    Heading(1, Cp1251ToUtf8(JournalName.empty() ? Texts.JournalTitle : JournalName), out);
    sink(out);
    NightsText(*element, 2, sink);
  }
}

void TMarkdownExporter::CatalogueText(const TXMLNode& directory, int level,
                                      const TByteSink& sink) const {
  std::string out;
  Heading(level, Cp1251ToUtf8(Attribute(directory, smr::atName)), out);
  sink(out);
  for (const auto& child : directory.Children) {
    if (child->Name == smr::elDirectory)
      CatalogueText(*child, level + 1, sink);
    else if (child->Name == smr::elFile)
      JournalText(*child, level + 1, sink);
  }
}

void TMarkdownExporter::JournalText(const TXMLNode& file, int level, const TByteSink& sink) const {
  std::string out;
  Heading(level, Cp1251ToUtf8(Attribute(file, smr::atName)), out);
  const std::string stored = Attribute(file, smr::atPath);
  const TXMLNode* journal = Journal ? Journal(stored) : nullptr;
  if (!journal) {
    // Said where the journal's nights would stand, so the gap is seen.
    Block(QString::fromUtf8(res::JournalNotRead)
              .arg(QString::fromStdString(Cp1251ToUtf8(stored)))
              .toStdString(),
          "", out);
  }
  sink(out);
  if (journal) NightsText(*journal, level + 1, sink);
}

void TMarkdownExporter::NightsText(const TXMLNode& journal, int level,
                                   const TByteSink& sink) const {
  for (const auto& day : journal.Children) {
    if (day->Name != smr::elDay) continue;
    std::string out;
    Heading(level, Cp1251ToUtf8(Attribute(*day, smr::atName)), out);
    for (const auto& child : day->Children) {
      if (child->Name == smr::elExperience) {
        ExperienceText(*child, level + 1, out);
      } else if (child->Name == smr::elComment && HasFirstChild(child.get())) {
        Block(res::MarkdownNightComment + TextLinesUtf8(TextOf(child.get())), "> ", out);
      }
    }
    sink(out);
  }
}

void TMarkdownExporter::ExperienceText(const TXMLNode& experience, int level,
                                       std::string& out) const {
  Heading(level,
          Cp1251ToUtf8(Attribute(experience, smr::atNumber) + ". " +
                       Attribute(experience, smr::atTitle)),
          out);

  const TXMLNode* properties = experience.FindNode(smr::elProperties);
  std::string marks;
  for (int mark = 0; mark < 4; ++mark) {
    if (!MarkSet(properties, mark)) continue;
    const std::string_view caption = Trimmed(LabelCaption(mark));
    if (!marks.empty()) marks += ", ";
    marks += caption.empty() ? QString::fromUtf8(res::UnnamedMark).arg(mark + 1).toStdString()
                             : Escape(Cp1251ToUtf8(caption), TPlace::Inline);
  }
  std::string summary;
  if (!marks.empty()) summary = res::MarkdownMarks + marks;
  if (const TXMLNode* energy = experience.FindNode(smr::elEnergy)) {
    if (!summary.empty()) summary += "; ";
    summary += res::MarkdownEnergy + Cp1251ToUtf8(EnergyText(energy));
  }
  if (!summary.empty()) {
    out += '*' + summary + '*';
    out += LineBreak;
    out += LineBreak;
  }

  Block(DescriptionText(experience, StoredFile), "", out);
  if (const TXMLNode* comment = experience.FindNode(smr::elComment))
    Block(TextLinesUtf8(TextOf(comment)), "> ", out);
  const TXMLNode* image = experience.FindNode(smr::elImage);
  if (image && image->HasAttribute(smr::atPath)) {
    // A link wants '/' where Windows paths have '\'; the pointed brackets
    // let it hold blanks.
    std::string link;
    for (char c : Cp1251ToUtf8(LinkTo(image->GetAttribute(smr::atPath)))) {
      if (c == '\\')
        link += '/';
      else if (c == '<')
        link += "%3C";
      else if (c == '>')
        link += "%3E";
      else if (c == '\r' || c == '\n')
        link += "%20";
      else
        link += c;
    }
    out += std::string("![") + res::MarkdownImage + "](<" + link + ">)";
    out += LineBreak;
    out += LineBreak;
  }
}
