#pragma once

#include <QString>
#include <string_view>

// The text of a UTF-8 input without its byte order mark. Throws TImportError
// naming the line of the first byte that is not valid UTF-8.
std::string_view CheckedUtf8(std::string_view bytes);

// A TImportError whose text is the message with the line as %1 and the
// further values as %2, %3.
[[noreturn]] void FailAtLine(const char* message, int line, const QString& second = {},
                             const QString& third = {});
