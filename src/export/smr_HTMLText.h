#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class TXMLNode;

// The text a reader sees of an HTML page, for the formats that carry
// descriptions as text: tags, comments, scripts, styles and the title
// dropped, character references decoded. Block elements (p, div, li, h1-h6,
// tr, ...) and br start a new line, a paragraph or heading is set apart by
// an empty line; runs of blanks become one blank and runs of empty lines
// one empty line. Lines end with '\n'; none at the start or the end.
QString HTMLText(const QString& html);

// An experience's description as text, UTF-8 with '\n' line ends: for an
// HTML description the file it names, read through storedFile and
// converted; otherwise the description element's text. Empty when there is
// none; a line naming the file when it cannot be read.
std::string DescriptionText(
    const TXMLNode& experience,
    const std::function<std::optional<std::string>(const std::string& stored)>& storedFile);

// Text of the documents (windows-1251) as UTF-8 with '\n' line ends.
std::string TextLinesUtf8(std::string_view bytes);
