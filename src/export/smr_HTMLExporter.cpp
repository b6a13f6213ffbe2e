#include "export/smr_HTMLExporter.h"

#include "storage/smr_Types.h"
#include "xml/xml_node.h"

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
  const std::string number =
      experience.HasAttribute(smr::atNumber) ? experience.GetAttribute(smr::atNumber) : "";
  const std::string title =
      experience.HasAttribute(smr::atTitle) ? experience.GetAttribute(smr::atTitle) : "";
  AddLine(out, {"<h2>", number, ". ", title, "</h2>"});

  const TXMLNode* description = experience.FindNode(smr::elDescription);
  if (HasFirstChild(description)) {
    AddLine(out, {"<span class=\"dreamDescription\">", TextOf(description), "</span>"});
  }
  const TXMLNode* comment = experience.FindNode(smr::elComment);
  if (HasFirstChild(comment)) {
    AddLine(out, {"<h3>", Texts.DreamComment, "</h3>"});
    AddLine(out, {"<span class=\"dreamCommentBody\">", TextOf(comment), "</span>"});
  }
  if (const TXMLNode* energy = experience.FindNode(smr::elEnergy)) {
    AddLine(out, {"<h4>", Texts.Energy, EnergyText(energy), "</h4>"});
  }
  const TXMLNode* image = experience.FindNode(smr::elImage);
  if (image && image->HasAttribute(smr::atPath)) {
    AddLine(out, {"<table class=\"imageTable\">"});
    AddLine(out, {"<tr>"});
    AddLine(out, {"<td class=\"imageTitle\">"});
    AddLine(out, {"<h4>", Texts.Image, "</h4>"});
    AddLine(out, {"</td>"});
    AddLine(out, {"<td class=\"imageImage\">"});
    AddLine(out, {"<img src=\"", LinkTo(image->GetAttribute(smr::atPath)), "\">"});
    AddLine(out, {"</td>"});
    AddLine(out, {"</tr>"});
    AddLine(out, {"</table>"});
  }
  const TXMLNode* properties = experience.FindNode(smr::elProperties);
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
  AddLine(out, {"<h4>", Texts.Marks, "</h4>"});
  TableHeader(out);
  for (int i = 0; i < 4; ++i) {
    AddLine(out, {"<tr>"});
    AddLine(out, {"<td class=\"propertiesTableValueName\">", LabelCaption(i), ":", "</td>"});
    AddLine(out, {"<td class=\"propertiesTableValue\">", MarkText(properties, i), "</td>"});
    AddLine(out, {"</tr>"});
  }
  AddLine(out, {"</table>"});
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
    AddLine(out, {"<tr>"});
    AddLine(out, {"<td class=\"propertiesTableValueName\">", child->GetAttribute(smr::atControl),
                  ": </td><td class=\"propertiesTableValue\">", child->GetAttribute(smr::atValue),
                  "</td>"});
    AddLine(out, {"</tr>"});
  }
}
