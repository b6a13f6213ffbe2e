#pragma once

#include <string>
#include <string_view>

// The single-byte code page of every file the program reads or writes.
// Plain C++ so that the core and the exporters need no text codec library.

// Unicode code point of a windows-1251 byte; 0xFFFD for the one unassigned byte (0x98).
char32_t Cp1251ToUnicode(unsigned char byte);
// The windows-1251 byte for a code point, or -1 when the code page lacks it.
int UnicodeToCp1251(char32_t codePoint);

// Unrepresentable characters become '?'; malformed UTF-8 bytes too.
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view bytes);
