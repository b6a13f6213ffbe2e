#pragma once

#include <array>
#include <string>

class TXMLNode;

// The captions of the four marks: `caption` of the first four `label`
// children of the settings root, in order. A missing label or caption (read
// as "undefined") gives an empty text: that mark has no caption. The window
// and the export tool both take their captions from here.
std::array<std::string, 4> ReadMarkCaptions(const TXMLNode& settingsRoot);
