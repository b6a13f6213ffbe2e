#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class TXMLNode;
class TXMLParser;

// The captions of the four marks: `caption` of the first four `label`
// children of the settings root, in order. A missing label or caption (read
// as "undefined") gives an empty text: that mark has no caption. The window
// and the export tool both take their captions from here.
std::array<std::string, 4> ReadMarkCaptions(const TXMLNode& settingsRoot);

// A new child of that kind appended as the last one, one level below.
TXMLNode* AppendElement(TXMLNode& parent, std::string_view name, std::uint8_t kind);
// The ensure-element rule of the settings and the library: the element
// FindNode finds in the document, or a new one appended to the root.
TXMLNode* EnsureElement(TXMLParser& document, std::string_view name, std::uint8_t kind);
