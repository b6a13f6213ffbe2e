#include "storage/smr_SettingsFile.h"

#include "storage/smr_Types.h"
#include "xml/xml_mainUnit.h"
#include "xml/xml_node.h"

std::array<std::string, 4> ReadMarkCaptions(const TXMLNode& settingsRoot) {
  std::array<std::string, 4> captions;
  std::size_t n = 0;
  for (const auto& child : settingsRoot.Children) {
    if (n == captions.size()) break;
    if (child->Name != smr::elLabel) continue;
    const std::string caption = child->GetAttribute(smr::atCaption);
    if (caption != smr::Undefined) captions[n] = caption;
    ++n;
  }
  return captions;
}

TXMLNode* AppendElement(TXMLNode& parent, std::string_view name, std::uint8_t kind) {
  TXMLNode* element = parent.AddChild(std::make_unique<TXMLNode>(std::string(name), kind));
  element->SetLevel(parent.Level + 1);
  return element;
}

TXMLNode* EnsureElement(TXMLParser& document, std::string_view name, std::uint8_t kind) {
  if (TXMLNode* found = document.FindNode(name)) return found;
  return AppendElement(*document.Root, name, kind);
}
