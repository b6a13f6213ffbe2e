#pragma once

#include <string>

// Inputs above this size are refused before they are read: a diary is far
// smaller, and a mistaken pick must not fill the memory.
inline constexpr long long MaxImportBytes = 128LL * 1024 * 1024;

// The whole input file. Throws TImportError with the text to show when it
// is missing, unreadable or larger than MaxImportBytes.
std::string ReadImportFile(const std::string& fileName);
