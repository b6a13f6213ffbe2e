#pragma once

#include <QString>
#include <string>
#include <vector>

class TXMLNode;

// The user's dream signs, kept in the library file: a `dreamsigns` element
// at the end of the root holds one `<sign text="..." category="..."/>` per
// sign, in the user's order. Journals never hold signs.

struct TDreamSign {
  std::string Text;      // windows-1251, as stored; a word, or words the search runs as typed
  std::string Category;  // windows-1251; empty when the file gives none
};

// The signs of a library root, in its order; none without a `dreamsigns` element.
std::vector<TDreamSign> ReadDreamSigns(const TXMLNode& libraryRoot);

// The edits. Each writes the element through the text edge, as typed text
// is stored: leading and trailing blanks go, inner runs of blanks become one.
// The element is made at the end of the root with the first sign and taken
// away with the last, so a library without signs keeps its former bytes.
// Each returns whether the document changed. A text without a word, or one
// with the same folded words as another sign, is refused (false); indexes
// outside the list change nothing.
bool AddDreamSign(TXMLNode& libraryRoot, const QString& text, const QString& category);
bool ChangeDreamSign(TXMLNode& libraryRoot, int index, const QString& text,
                     const QString& category);
bool RemoveDreamSign(TXMLNode& libraryRoot, int index);
// Moves the sign at from so that it stands at index to afterwards.
bool MoveDreamSign(TXMLNode& libraryRoot, int from, int to);

// Whether a typed text could be a new sign (or the sign at index `except`
// renamed): it has a word and no other sign has the same folded words.
bool CanBeDreamSign(const TXMLNode& libraryRoot, const QString& text, int except = -1);
