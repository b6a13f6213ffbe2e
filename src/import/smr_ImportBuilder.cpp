#include "import/smr_ImportBuilder.h"

#include <QStringList>

#include "storage/smr_Types.h"
#include "xml/xml_functions.h"
#include "xml/xml_mainUnit.h"

TXMLNode* TImportBuilder::AddNight(const QString& name) {
  auto night = std::make_unique<TXMLNode>(smr::elDay, nkElement);
  night->SetAttribute(smr::atName, Text.Attribute(name));
  return FJournal.Document->Root->AddChild(std::move(night));
}

TXMLNode* TImportBuilder::AddExperience(TXMLNode* night, const QString& number,
                                        const QString& title) {
  ++FExperiences;
  auto experience = std::make_unique<TXMLNode>(smr::elExperience, nkElement);
  experience->SetAttribute(smr::atNumber, Text.Attribute(number));
  experience->SetAttribute(smr::atTitle, Text.Attribute(title));
  return night->AddChild(std::move(experience));
}

TXMLNode* TImportBuilder::AddExperience(TXMLNode* night, const QString& title) {
  return AddExperience(night, QString::number(FExperiences + 1).rightJustified(3, u'0'), title);
}

TXMLNode* TImportBuilder::Child(TXMLNode* parent, std::string_view name, std::uint8_t kind) {
  if (TXMLNode* found = parent->FindNode(name)) return found;
  return parent->AddChild(std::make_unique<TXMLNode>(name, kind));
}

void TImportBuilder::SetDescription(TXMLNode* experience, const QString& text) {
  if (text.trimmed().isEmpty()) return;
  TXMLNode* description = Child(experience, smr::elDescription, nkElement);
  auto node = std::make_unique<TXMLNode>(std::string_view(), nkText);
  node->Value = NormalizeSpaces(Text.Element(text));
  description->AddChild(std::move(node));
}

void TImportBuilder::SetComment(TXMLNode* experience, const QString& text) {
  if (text.trimmed().isEmpty()) return;
  // As the comment editor keeps it: each line followed by one blank.
  QString joined;
  for (const QString& line : QString(text).replace(u'\r', u'\n').split(u'\n'))
    joined += line + QLatin1Char(' ');
  TXMLNode* comment = Child(experience, smr::elComment, nkElement);
  auto node = std::make_unique<TXMLNode>(std::string_view(), nkText);
  node->Value = NormalizeSpaces(Text.Element(joined));
  comment->AddChild(std::move(node));
}

TImportedJournal TImportBuilder::Finish() {
  FJournal.Document->Root->SetLevel(FJournal.Document->Root->Level);
  FJournal.Replaced = Text.Replaced;
  return std::move(FJournal);
}
