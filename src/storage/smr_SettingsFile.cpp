#include "storage/smr_SettingsFile.h"

#include "storage/smr_Types.h"
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
