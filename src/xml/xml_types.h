#pragma once

#include <cstdint>

// Node kinds; the values are stored in TXMLNode::Kind and set directly by callers.
enum : std::uint8_t {
  nkText = 0,          // text node; Value holds the text
  nkElement = 1,       // element with content (start tag, children, end tag)
  nkEmptyElement = 2,  // self-closing element
};

// Results of TXMLParser::Load. Nothing in the program shows them; a status
// other than 0 only means the document may hold less than its file.
enum TXMLStatus : std::uint8_t {
  xsLoaded = 0,
  xsCannotOpen = 1,
  xsNoFileName = 2,
  xsNoDeclaration = 3,        // text does not begin with "<?xml " or "<? xml "
  xsDuplicateOrTrailing = 4,  // pseudo-attribute given twice, or text after the root
  // 5 is not used.
  xsEmptyElementName = 6,
  xsUnterminatedDeclaration = 7,  // XML declaration, instruction or document type without its end
  xsUnterminatedComment = 8,      // "<!--" without "-->"
  xsUnterminatedTag = 9,          // start tag without ">"
  xsAttributeWithoutValue = 10,   // attribute token without "="
  xsUnexpectedEnd = 11,           // input ends inside an element, or holds no root element
  xsTooDeep = 12,                 // elements nested deeper than TXMLParser::MaxDepth
};
