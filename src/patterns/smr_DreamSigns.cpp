#include "patterns/smr_DreamSigns.h"

#include <optional>

#include "search/smr_SearchIndex.h"
#include "search/smr_SearchText.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "xml/xml_node.h"

namespace {

TXMLNode* SignsElement(TXMLNode& root) {
  return const_cast<TXMLNode*>(FirstChild(root, smr::elDreamSigns));
}

// The `sign` children in order; a stray child of another name is kept but
// is no sign.
std::vector<TXMLNode*> SignNodes(const TXMLNode& root) {
  std::vector<TXMLNode*> signs;
  if (const TXMLNode* element = FirstChild(root, smr::elDreamSigns))
    for (const auto& child : element->Children)
      if (child->Name == smr::elSign) signs.push_back(child.get());
  return signs;
}

std::string Stored(const TXMLNode& sign, std::string_view name) {
  return sign.HasAttribute(name) ? sign.GetAttribute(name) : std::string();
}

// The value as a file written with it gives it back: what the user sees
// after the next load is what the list shows now.
std::optional<std::string> AsStored(const QString& text) {
  return AttributeAsRead(FromUi(text.simplified(), TTextPlace::Attribute));
}

// The stored text of a sign to be, or nullopt when it may not be one.
std::optional<std::string> SignText(const TXMLNode& root, const QString& text, int except) {
  const std::optional<std::string> stored = AsStored(text);
  if (!stored) return std::nullopt;
  const std::string words = FoldedWords(*stored);
  if (words.empty()) return std::nullopt;
  const std::vector<TXMLNode*> signs = SignNodes(root);
  for (std::size_t i = 0; i < signs.size(); ++i)
    if (static_cast<int>(i) != except && FoldedWords(Stored(*signs[i], smr::atText)) == words)
      return std::nullopt;
  return stored;
}

void Write(TXMLNode& sign, const std::string& text, const std::string& category) {
  sign.SetAttribute(smr::atText, text);
  sign.SetAttribute(smr::atCategory, category);
}

bool Valid(const std::vector<TXMLNode*>& signs, int index) {
  return index >= 0 && index < static_cast<int>(signs.size());
}

}  // namespace

std::vector<TDreamSign> ReadDreamSigns(const TXMLNode& libraryRoot) {
  std::vector<TDreamSign> signs;
  for (const TXMLNode* sign : SignNodes(libraryRoot))
    signs.push_back({Stored(*sign, smr::atText), Stored(*sign, smr::atCategory)});
  return signs;
}

bool CanBeDreamSign(const TXMLNode& libraryRoot, const QString& text, int except) {
  return SignText(libraryRoot, text, except).has_value();
}

bool AddDreamSign(TXMLNode& libraryRoot, const QString& text, const QString& category) {
  const std::optional<std::string> stored = SignText(libraryRoot, text, -1);
  const std::optional<std::string> storedCategory = AsStored(category);
  if (!stored || !storedCategory) return false;
  TXMLNode* element = SignsElement(libraryRoot);
  if (!element) {
    element = libraryRoot.AddChild(std::make_unique<TXMLNode>(smr::elDreamSigns, nkElement));
    element->SetLevel(libraryRoot.Level + 1);
  }
  TXMLNode* sign = element->AddChild(std::make_unique<TXMLNode>(smr::elSign, nkEmptyElement));
  sign->SetLevel(element->Level + 1);
  Write(*sign, *stored, *storedCategory);
  return true;
}

bool ChangeDreamSign(TXMLNode& libraryRoot, int index, const QString& text,
                     const QString& category) {
  const std::vector<TXMLNode*> signs = SignNodes(libraryRoot);
  if (!Valid(signs, index)) return false;
  const std::optional<std::string> stored = SignText(libraryRoot, text, index);
  const std::optional<std::string> storedCategory = AsStored(category);
  if (!stored || !storedCategory) return false;
  TXMLNode& sign = *signs[static_cast<std::size_t>(index)];
  if (Stored(sign, smr::atText) == *stored && Stored(sign, smr::atCategory) == *storedCategory &&
      sign.HasAttribute(smr::atText) && sign.HasAttribute(smr::atCategory))
    return false;
  Write(sign, *stored, *storedCategory);
  return true;
}

bool RemoveDreamSign(TXMLNode& libraryRoot, int index) {
  const std::vector<TXMLNode*> signs = SignNodes(libraryRoot);
  if (!Valid(signs, index)) return false;
  TXMLNode* element = SignsElement(libraryRoot);
  element->DeleteChild(element->IndexOfChild(signs[static_cast<std::size_t>(index)]));
  if (element->Children.empty()) libraryRoot.DeleteChild(libraryRoot.IndexOfChild(element));
  return true;
}

bool MoveDreamSign(TXMLNode& libraryRoot, int from, int to) {
  const std::vector<TXMLNode*> signs = SignNodes(libraryRoot);
  if (!Valid(signs, from) || !Valid(signs, to) || from == to) return false;
  TXMLNode* element = SignsElement(libraryRoot);
  std::unique_ptr<TXMLNode> moved =
      element->TakeChild(element->IndexOfChild(signs[static_cast<std::size_t>(from)]));
  // Taking it out shifts the later signs: the one at `to` now stands where
  // the moved sign goes before it, or after it when moving down.
  const TXMLNode* anchor = signs[static_cast<std::size_t>(to)];
  const int at = element->IndexOfChild(anchor) + (to > from ? 1 : 0);
  element->InsertChild(at, std::move(moved));
  return true;
}
