#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

// The one edge between the windows-1251 bytes of the documents and the
// Unicode text of the widgets. FromUi is the only way user input reaches a
// document, and what it returns can always be stored and read back.

enum class TTextPlace {
  Attribute,    // attribute value: no '"', '<' or '>' may remain
  ElementText,  // text of an element: no '<' may remain
  Plain,        // anything else (file names for the file system, captions)
};

QString ToUi(std::string_view bytes);

// Characters the code page lacks become '?'. In an attribute '"' becomes
// U+201D, '<' U+2039 and '>' U+203A, line breaks become blanks; in element
// text '<' becomes U+2039 and line breaks become CR LF. Either way no '<'
// remains, so typed text can never open a comment, which the reader strips
// from the whole file before it parses.
std::string FromUi(const QString& text, TTextPlace where);

// Stored element text as a memo holds it: lines separated by '\n' only.
QString MemoText(std::string_view bytes);

// An attribute value as a file written with it gives it back: the reader
// collapses runs of blanks. Empty when the value cannot be stored at all.
std::optional<std::string> AttributeAsRead(std::string_view value);

// A UTF-8 literal of the program's own texts as windows-1251 bytes.
std::string Cp(std::string_view utf8);

// File names: documents keep paths as windows-1251 bytes; the file system
// takes native 8-bit names.
std::string NativeFileName(std::string_view documentPath);
std::string DocumentFileName(const QString& path);
QString UiFileName(std::string_view nativeName);
