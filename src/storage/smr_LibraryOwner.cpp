#include "storage/smr_LibraryOwner.h"

#include <QString>

#include "storage/smr_SettingsFile.h"
#include "storage/smr_Types.h"
#include "xml/xml_mainUnit.h"
#include "xml/xml_node.h"

namespace {

std::optional<std::string> Attribute(const TXMLNode& element, std::string_view name) {
  if (!element.HasAttribute(name)) return std::nullopt;
  return element.GetAttribute(name);
}

TSex SexNamed(std::string_view name) {
  if (name == smr::Masculinum) return TSex::Masculinum;
  if (name == smr::Femininum) return TSex::Femininum;
  if (name == smr::SexSmile) return TSex::Smile;
  return TSex::Unknown;
}

}  // namespace

std::optional<TStoredOwner> ReadOwner(const TXMLParser& library) {
  const TXMLNode* user = library.FindNode(smr::elUser);
  if (!user) return std::nullopt;
  TStoredOwner owner;
  owner.Name = Attribute(*user, smr::atName);
  owner.Nick = Attribute(*user, smr::atNick);
  owner.Email = Attribute(*user, smr::atEmail);
  if (const auto sex = Attribute(*user, smr::atSex)) owner.Sex = SexNamed(*sex);
  bool ok = false;
  const int age = QString::fromStdString(user->GetAttribute(smr::atAge)).toInt(&ok);
  if (ok) owner.Age = age;
  if (const TXMLNode* notes = user->Child(0)) owner.Notes = notes->Value;
  return owner;
}

void WriteOwner(TXMLParser& library, const TOwner& owner) {
  TXMLNode* user = EnsureElement(library, smr::elUser, nkElement);
  user->SetAttribute(smr::atName, owner.Name);
  user->SetAttribute(smr::atNick, owner.Nick);
  user->SetAttribute(smr::atEmail, owner.Email);
  user->SetAttribute(smr::atAge, std::to_string(owner.Age));
  user->SetAttribute(smr::atSex, owner.Sex == TSex::Masculinum  ? smr::Masculinum
                                 : owner.Sex == TSex::Femininum ? smr::Femininum
                                                                : smr::SexSmile);
  if (!owner.Notes) {
    user->DeleteChild(0);
    return;
  }
  TXMLNode* text = user->Child(0);
  if (!text) {
    text = user->AddChild(std::make_unique<TXMLNode>(std::string(), nkText));
    // A text child needs a start and an end tag.
    user->Kind = nkElement;
  }
  text->Value = *owner.Notes;
}

std::optional<TStoredAdditionalFiles> ReadAdditionalFiles(const TXMLParser& library) {
  const TXMLNode* additional = library.FindNode(smr::elAdditional);
  if (!additional) return std::nullopt;
  return TStoredAdditionalFiles{Attribute(*additional, smr::atDictionary),
                                Attribute(*additional, smr::atVocabulary)};
}

void WriteAdditionalFiles(TXMLParser& library, std::string_view dictionary,
                          std::string_view vocabulary) {
  TXMLNode* additional = EnsureElement(library, smr::elAdditional, nkEmptyElement);
  additional->SetAttribute(smr::atDictionary, dictionary);
  additional->SetAttribute(smr::atVocabulary, vocabulary);
}
