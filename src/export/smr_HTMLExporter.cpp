#include "export/smr_HTMLExporter.h"

#include <array>

#include "storage/smr_Types.h"
#include "xml/xml_node.h"

namespace {

// GetAttribute without the copy.
std::string_view AttributeOf(const TXMLNode& node, std::string_view name) {
  for (const auto& attribute : node.Attributes)
    if (attribute.Name == name) return attribute.Value.View();
  return XMLUndefined;
}

// FindNode for several names in one walk, with the same answers: the last
// direct child of a name, else the match from the last child holding one.
// `wanted` has a bit for each name still to look for.
template <std::size_t N>
void FindNodes(const TXMLNode& node, const std::array<std::string_view, N>& names,
               std::array<const TXMLNode*, N>& found, unsigned wanted) {
  for (const auto& child : node.Children)
    for (std::size_t i = 0; i < N; ++i)
      if ((wanted >> i & 1) && child->Name == names[i]) found[i] = child.get();
  unsigned missing = 0;
  for (std::size_t i = 0; i < N; ++i)
    if ((wanted >> i & 1) && !found[i]) missing |= 1u << i;
  if (!missing) return;
  for (const auto& child : node.Children) {
    if (child->Children.empty()) continue;
    std::array<const TXMLNode*, N> deeper{};
    FindNodes(*child, names, deeper, missing);
    for (std::size_t i = 0; i < N; ++i)
      if (deeper[i]) found[i] = deeper[i];
  }
}

}  // namespace

THTMLExporter::THTMLExporter(TNumberFormat numberFormat) : TExporter(numberFormat) {
  Spacer = "&nbsp;";
}

std::string_view THTMLExporter::StyleSheet(const TXMLNode* element) const {
  if (!element) return {};
  if (element->Name == smr::elLibrary) return smr::LibraryStyleSheet;
  if (element->Name == smr::elJournal) return smr::JournalStyleSheet;
  return {};
}

std::string THTMLExporter::ExportHeader(const TXMLNode* element) {
  if (!element) return {};
  std::string out;
  AddLine(out, {"<html>"});
  AddLine(out, {"<head>"});
  // Without this a browser guesses the code page of the Cyrillic texts.
  AddLine(out, {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=",
                smr::Encoding1251, "\">"});
  if (element->Name == smr::elLibrary) {
    if (element->HasAttribute(smr::atName)) {
      AddLine(out, {"<title>", Texts.LibraryTitle, ": [", element->GetAttribute(smr::atName),
                    "]</title>"});
    } else {
      AddLine(out, {"<title>", Texts.LibraryTitle, "</title>"});
    }
    AddLine(out,
            {"<link rel=\"STYLESHEET\" type=\"text/css\" href=\"", StyleSheet(element), "\">"});
  } else if (element->Name == smr::elJournal) {
    AddLine(out, {"<title>", Texts.JournalTitle, "</title>"});
    AddLine(out,
            {"<link rel=\"STYLESHEET\" type=\"text/css\" href=\"", StyleSheet(element), "\">"});
  }
  AddLine(out, {"</head>"});
  return out;
}

std::string THTMLExporter::ExportBody(const TXMLNode* element) {
  if (!element) return {};
  std::string out;
  Body(*element, out, nullptr);
  return out;
}

void THTMLExporter::Write(const TXMLNode* element, const TByteSink& sink) {
  sink(ExportHeader(element));
  sink(LineBreak);
  std::string out;
  if (element) Body(*element, out, &sink);
  sink(out);
  sink(LineBreak);
  sink(ExportFooter(element));
  sink(LineBreak);
}

void THTMLExporter::Body(const TXMLNode& element, std::string& out, const TByteSink* sink) {
  // The page of a big journal goes out a night at a time through a buffer
  // that stays small: growing one string of the whole page costs more than
  // writing it.
  constexpr std::size_t kFlushAt = 1 << 17;
  PrepareBlocks();
  AddLine(out, {"<body>"});
  if (element.Name == smr::elLibrary) {
    LibraryContent(element, out);
  } else if (element.Name == smr::elJournal) {
    if (sink) out.reserve(2 * kFlushAt);
    for (const auto& child : element.Children) {
      if (child->Name != smr::elDay) continue;
      DayBlock(*child, out);
      if (sink && out.size() >= kFlushAt) {
        (*sink)(out);
        out.clear();
      }
    }
  }
  AddLine(out, {"</body>"});
}

std::string THTMLExporter::ExportFooter(const TXMLNode* element) {
  return element ? "</html>" : "";
}

void THTMLExporter::LibraryContent(const TXMLNode& root, std::string& out) {
  if (root.HasAttribute(smr::atName)) {
    AddLine(out, {"<h1>", Texts.LibraryTitle, ": [", root.GetAttribute(smr::atName), "]</h1>"});
  } else {
    AddLine(out, {"<h1>", Texts.LibraryTitle, "</h1>"});
  }
  if (const TXMLNode* user = root.FindNode(smr::elUser)) UserTable(*user, out);
  AddLine(out, {"<h2>", Texts.Structure, "</h2>"});
  for (const auto& child : root.Children) {
    if (child->Name == smr::elDirectory) CatalogueBlock(*child, out);
  }
  AddLine(out, {"<br>"});
  if (const TXMLNode* additional = root.FindNode(smr::elAdditional)) {
    AdditionalFiles(*additional, out);
  }
}

void THTMLExporter::UserTable(const TXMLNode& user, std::string& out) {
  AddLine(out,
          {"<h4>", Texts.Table, " ", std::to_string(TableNumber), ". ", Texts.UserData, "</h4>"});
  ++TableNumber;
  AddLine(out, {"<table class=\"userTable\">"});
  if (user.HasAttribute(smr::atName)) UserRow(Texts.UserName, user.GetAttribute(smr::atName), out);
  if (user.HasAttribute(smr::atNick)) UserRow(Texts.UserNick, user.GetAttribute(smr::atNick), out);
  if (user.HasAttribute(smr::atEmail)) {
    const std::string email = user.GetAttribute(smr::atEmail);
    UserRow(Texts.UserEmail, "<a href=\"mailto:" + email + "\">" + email + "</a>", out);
  }
  if (user.HasAttribute(smr::atAge)) UserRow(Texts.UserAge, user.GetAttribute(smr::atAge), out);
  if (user.HasAttribute(smr::atSex)) {
    UserRow(Texts.UserSex, SexText(user.GetAttribute(smr::atSex)), out);
  }
  if (HasFirstChild(&user)) UserRow(Texts.UserInfo, TextOf(&user), out);
  AddLine(out, {"</table>"});
  AddLine(out, {"<br>"});
}

void THTMLExporter::UserRow(std::string_view caption, std::string_view value,
                            std::string& out) const {
  AddLine(out, {"<tr>"});
  AddLine(out, {"<td class=\"userTableItem\">"});
  AddLine(out, {caption});
  AddLine(out, {"</td>"});
  AddLine(out, {"<td class=\"userTableValue\">"});
  AddLine(out, {value});
  AddLine(out, {"</td>"});
  AddLine(out, {"</tr>"});
}

void THTMLExporter::CatalogueBlock(const TXMLNode& directory, std::string& out) const {
  AddLine(out, {"<table class=\"structureTable\">"});
  AddLine(out, {"<tr>"});
  AddLine(out, {"<td colspan=\"2\" class=\"structureDirectoryName\">"});
  AddLine(out, {directory.GetAttribute(smr::atName)});
  AddLine(out, {"</td>"});
  AddLine(out, {"</tr>"});
  AddLine(out, {"<tr>"});
  AddLine(out, {"<td class=\"structureChilds\">", Spacer, "<br></td>"});
  AddLine(out, {"<td class=\"structureChilds\">"});
  for (const auto& child : directory.Children) {
    if (child->Name == smr::elDirectory) {
      CatalogueBlock(*child, out);
    } else if (child->Name == smr::elFile) {
      FileLine(*child, out);
    }
  }
  AddLine(out, {"</td>"});
  AddLine(out, {"</tr>"});
  AddLine(out, {"</table>"});
}

void THTMLExporter::FileLine(const TXMLNode& file, std::string& out) const {
  const std::string path = file.GetAttribute(smr::atPath);
  AddLine(out, {"<span class=\"fileName\">", file.GetAttribute(smr::atName), ": [", Spacer,
                "</span>", "<a href=\"", LinkTo(path), "\">", path, "</a>",
                "<span class=\"fileName\">", Spacer, "]", "</span>", "<br>"});
}

void THTMLExporter::AdditionalFiles(const TXMLNode& additional, std::string& out) const {
  AddLine(out, {"<h2>", Texts.AdditionalFiles, "</h2>"});
  if (additional.HasAttribute(smr::atDictionary)) {
    AdditionalFileLine(Texts.Dictionary, additional.GetAttribute(smr::atDictionary), out);
  }
  if (additional.HasAttribute(smr::atVocabulary)) {
    AdditionalFileLine(Texts.Vocabulary, additional.GetAttribute(smr::atVocabulary), out);
  }
}

void THTMLExporter::AdditionalFileLine(std::string_view caption, const std::string& path,
                                       std::string& out) const {
  AddLine(out, {"<span class=\"additionalFileName\">", caption, ": [", Spacer, "</span>",
                "<a href=\"", LinkTo(path), "\" class=\"additionalFilePath\">", path, "</a>",
                "<span class=\"additionalFileName\">", Spacer, "]</span>", "<br>"});
}

void THTMLExporter::DayBlock(const TXMLNode& day, std::string& out) const {
  if (day.HasAttribute(smr::atName)) AddLine(out, {"<h1>", day.GetAttribute(smr::atName), "</h1>"});
  for (const auto& child : day.Children) {
    if (child->Name == smr::elExperience) {
      ExperienceBlock(*child, out);
    } else if (child->Name == smr::elComment && HasFirstChild(child.get())) {
      AddLine(out, {"<h3>", Texts.DayComment, "</h3>"});
      AddLine(out, {"<span class=\"dayCommentBody\">", TextOf(child.get()), "</span>"});
    }
  }
}

void THTMLExporter::ExperienceBlock(const TXMLNode& experience, std::string& out) const {
  std::string_view number = AttributeOf(experience, smr::atNumber);
  std::string_view title = AttributeOf(experience, smr::atTitle);
  if (number == XMLUndefined) number = {};
  if (title == XMLUndefined) title = {};
  AddLine(out, {"<h2>", number, ". ", title, "</h2>"});

  enum { kDescription, kComment, kEnergy, kImage, kProperties };
  std::array<const TXMLNode*, 5> found{};
  FindNodes(experience,
            {smr::elDescription, smr::elComment, smr::elEnergy, smr::elImage, smr::elProperties},
            found, 0x1F);
  const TXMLNode* description = found[kDescription];
  if (HasFirstChild(description)) {
    AddLine(out, {"<span class=\"dreamDescription\">", TextOf(description), "</span>"});
  }
  const TXMLNode* comment = found[kComment];
  if (HasFirstChild(comment)) {
    AddLine(out, {"<h3>", Texts.DreamComment, "</h3>"});
    AddLine(out, {"<span class=\"dreamCommentBody\">", TextOf(comment), "</span>"});
  }
  if (const TXMLNode* energy = found[kEnergy]) {
    AddLine(out, {"<h4>", Texts.Energy, EnergyOf(*energy), "</h4>"});
  }
  const TXMLNode* image = found[kImage];
  if (image && image->HasAttribute(smr::atPath)) {
    out += FBlocks.ImageStart;
    AddLine(out, {"<img src=\"", LinkTo(image->GetAttribute(smr::atPath)), "\">"});
    out += FBlocks.ImageEnd;
  }
  const TXMLNode* properties = found[kProperties];
  MarksTable(properties, out);
  PropertiesTable(properties, out);
}

void THTMLExporter::TableHeader(std::string& out) const {
  AddLine(out, {"<table class=\"propertiesTable\">"});
  AddLine(out, {"<tr class=\"propertiesTableHeader\">"});
  AddLine(out, {"<td>", Texts.PropertyColumn, "</td>"});
  AddLine(out, {"<td>", Texts.ValueColumn, "</td>"});
  AddLine(out, {"</tr>"});
}

void THTMLExporter::MarksTable(const TXMLNode* properties, std::string& out) const {
  unsigned set = 0;
  for (int i = 0; properties && i < 4; ++i)
    if (AttributeOf(*properties, smr::atLabel[i]) == smr::True) set |= 1u << i;
  out += FBlocks.Marks[set];
}

void THTMLExporter::PrepareBlocks() {
  // The blocks every experience repeats, made once per page: the marks
  // table for each of the 16 combinations of marks, the picture's frame.
  for (unsigned set = 0; set < FBlocks.Marks.size(); ++set) {
    std::string& out = FBlocks.Marks[set];
    out.clear();
    AddLine(out, {"<h4>", Texts.Marks, "</h4>"});
    TableHeader(out);
    for (int i = 0; i < 4; ++i) {
      AddLine(out, {"<tr>"});
      AddLine(out, {"<td class=\"propertiesTableValueName\">", LabelCaption(i), ":", "</td>"});
      AddLine(out, {"<td class=\"propertiesTableValue\">", (set >> i) & 1 ? Texts.Yes : Texts.No,
                    "</td>"});
      AddLine(out, {"</tr>"});
    }
    AddLine(out, {"</table>"});
  }
  FBlocks.ImageStart.clear();
  AddLine(FBlocks.ImageStart, {"<table class=\"imageTable\">"});
  AddLine(FBlocks.ImageStart, {"<tr>"});
  AddLine(FBlocks.ImageStart, {"<td class=\"imageTitle\">"});
  AddLine(FBlocks.ImageStart, {"<h4>", Texts.Image, "</h4>"});
  AddLine(FBlocks.ImageStart, {"</td>"});
  AddLine(FBlocks.ImageStart, {"<td class=\"imageImage\">"});
  FBlocks.ImageEnd.clear();
  AddLine(FBlocks.ImageEnd, {"</td>"});
  AddLine(FBlocks.ImageEnd, {"</tr>"});
  AddLine(FBlocks.ImageEnd, {"</table>"});
  FBlocks.Energy.clear();
}

const std::string& THTMLExporter::EnergyOf(const TXMLNode& energy) const {
  // Levels repeat: a few hundred figures serve a whole journal.
  const std::string_view level = AttributeOf(energy, smr::atLevel);
  auto found = FBlocks.Energy.find(level);
  if (found == FBlocks.Energy.end())
    found = FBlocks.Energy.emplace(std::string(level), EnergyText(&energy)).first;
  return found->second;
}

void THTMLExporter::PropertiesTable(const TXMLNode* properties, std::string& out) const {
  if (HasFirstChild(properties)) {
    AddLine(out, {"<h4>", Texts.AdditionalProperties, "</h4>"});
    TableHeader(out);
    PropertyRows(*properties, out);
    AddLine(out, {"</table>"});
  } else {
    AddLine(out, {"<h4>", Texts.AdditionalProperties, Texts.NotDefined, "</h4>"});
  }
}

void THTMLExporter::PropertyRows(const TXMLNode& element, std::string& out) const {
  for (const auto& child : element.Children) {
    if (child->ChildCount() > 0) {
      PropertyRows(*child, out);
      continue;
    }
    AddLine(out, {"<tr>", LineBreak, "<td class=\"propertiesTableValueName\">",
                  AttributeOf(*child, smr::atControl), ": </td><td class=\"propertiesTableValue\">",
                  AttributeOf(*child, smr::atValue), "</td>", LineBreak, "</tr>"});
  }
}
