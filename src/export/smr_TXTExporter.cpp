#include "export/smr_TXTExporter.h"

#include "storage/smr_Types.h"
#include "xml/xml_node.h"

namespace {

// Widths count bytes: every character is one windows-1251 byte.
int Length(std::string_view text) { return static_cast<int>(text.size()); }

}  // namespace

TTXTExporter::TTXTExporter(TNumberFormat numberFormat) : TExporter(numberFormat), Dash("-") {
  FrameLine = "+" + std::string(78, '-') + "+";
  Spacer = " ";
}

std::string TTXTExporter::Dashes(int count) const {
  std::string text;
  for (int i = 0; i < count; ++i) text += Dash;
  return text;
}

std::string TTXTExporter::TitleLine(std::string_view title) const {
  // Truncated toward zero, so a title over 78 characters gets no padding.
  const int k = (78 - Length(title)) / 2;
  std::string line = "|" + Indent(k);
  line += title;
  line += Indent(k);
  if (Length(title) + 2 * k + 2 < 80) line += " ";
  return line + "|";
}

std::string TTXTExporter::ExportHeader(const TXMLNode* element) {
  if (!element) return {};
  std::string title;
  if (element->Name == smr::elLibrary) {
    title = Texts.LibraryTitle;
    if (element->HasAttribute(smr::atName)) {
      title += ": [" + element->GetAttribute(smr::atName) + "]";
    }
  } else if (element->Name == smr::elJournal) {
    title = Texts.JournalTitle;
  } else {
    return {};
  }
  std::string out;
  AddLine(out, {FrameLine});
  AddLine(out, {TitleLine(title)});
  AddLine(out, {FrameLine});
  AddLine(out, {});
  return out;
}

std::string TTXTExporter::ExportBody(const TXMLNode* element) {
  if (!element) return {};
  std::string out;
  if (element->Name == smr::elLibrary) {
    LibraryText(*element, out);
  } else if (element->Name == smr::elJournal) {
    for (const auto& child : element->Children) {
      if (child->Name == smr::elDay) DayText(*child, out);
    }
  }
  return out;
}

std::string TTXTExporter::ExportFooter(const TXMLNode* element) { return element ? FrameLine : ""; }

void TTXTExporter::LibraryText(const TXMLNode& root, std::string& out) const {
  if (const TXMLNode* user = root.FindNode(smr::elUser)) {
    AddLine(out, {Texts.User});
    const std::string indent = Indent(2);
    if (user->HasAttribute(smr::atName)) {
      AddLine(out, {indent, Texts.UserName, user->GetAttribute(smr::atName)});
    }
    if (user->HasAttribute(smr::atNick)) {
      AddLine(out, {indent, Texts.UserNick, user->GetAttribute(smr::atNick)});
    }
    if (user->HasAttribute(smr::atEmail)) {
      AddLine(out, {indent, Texts.UserEmail, user->GetAttribute(smr::atEmail)});
    }
    if (user->HasAttribute(smr::atAge)) {
      AddLine(out, {indent, Texts.UserAge, user->GetAttribute(smr::atAge)});
    }
    // Unlike the page, the text names only the three known values.
    const std::string sex = user->GetAttribute(smr::atSex);
    if (sex == smr::Masculinum || sex == smr::Femininum || sex == smr::SexSmile) {
      AddLine(out, {indent, Texts.UserSex, SexText(sex)});
    }
    if (HasFirstChild(user)) AddLine(out, {indent, Texts.UserInfo, TextOf(user)});
  }
  AddLine(out, {});
  AddLine(out, {Texts.FileList});
  for (const auto& child : root.Children) {
    if (child->Name == smr::elDirectory) FileLines(*child, out);
  }
}

void TTXTExporter::FileLines(const TXMLNode& directory, std::string& out) const {
  for (const auto& child : directory.Children) {
    if (child->Name == smr::elDirectory) {
      FileLines(*child, out);
    } else if (child->Name == smr::elFile) {
      AddLine(out, {Indent(2), child->GetAttribute(smr::atName), ": [",
                    child->GetAttribute(smr::atPath), "]"});
    }
  }
}

void TTXTExporter::DayText(const TXMLNode& day, std::string& out) const {
  if (day.HasAttribute(smr::atName)) {
    const std::string name = day.GetAttribute(smr::atName);
    const int length = Length(name);
    const std::string border = Indent(4) + "+" + Dashes(length + 4) + "+";
    AddLine(out, {border});
    AddLine(out, {"+", Dashes(3), "|  ", name, "  |", Dashes(69 - length), "+"});
    AddLine(out, {border});
  }
  AddLine(out, {});
  for (const auto& child : day.Children) {
    if (child->Name == smr::elExperience) ExperienceText(*child, out);
  }
  // The search also reaches the experiences' comments; only the day's own counts.
  const TXMLNode* comment = day.FindNode(smr::elComment);
  if (comment && day.IndexOfChild(comment) != -1) {
    out += Texts.DayComment;
    if (HasFirstChild(comment)) {
      out += TextOf(comment);
      out += LineBreak;
    }
    out += LineBreak;
  }
}

void TTXTExporter::ExperienceText(const TXMLNode& experience, std::string& out) const {
  AddLine(out,
          {experience.GetAttribute(smr::atNumber), ". ", experience.GetAttribute(smr::atTitle)});
  const TXMLNode* description = experience.FindNode(smr::elDescription);
  if (HasFirstChild(description)) AddLine(out, {TextOf(description)});
  if (const TXMLNode* comment = experience.FindNode(smr::elComment)) {
    AddLine(out, {Texts.DreamComment, TextOf(comment)});
  }
  AddLine(out, {Texts.Energy, EnergyText(experience.FindNode(smr::elEnergy))});
  if (const TXMLNode* image = experience.FindNode(smr::elImage)) {
    const std::string path =
        image->HasAttribute(smr::atPath) ? image->GetAttribute(smr::atPath) : "";
    AddLine(out, {Texts.Image, path});
  }
  const TXMLNode* properties = experience.FindNode(smr::elProperties);
  AddLine(out, {Texts.Marks});
  for (int i = 0; i < 4; ++i) {
    AddLine(out, {Indent(4), LabelCaption(i), ": ", MarkText(properties, i)});
  }
  AddLine(out, {Texts.AdditionalProperties});
  if (properties) PropertyLines(*properties, out);
  if (!HasFirstChild(properties)) AddLine(out, {Indent(4), Texts.NotDefined});
  AddLine(out, {});
}

void TTXTExporter::PropertyLines(const TXMLNode& element, std::string& out) const {
  for (const auto& child : element.Children) {
    if (child->ChildCount() > 0) {
      PropertyLines(*child, out);
    } else {
      AddLine(out, {Indent(4), child->GetAttribute(smr::atControl), ": ",
                    child->GetAttribute(smr::atValue)});
    }
  }
}
