#pragma once

#include <QString>
#include <string>

class TXMLParser;

// Why a document just loaded cannot be used whole, as one line naming the
// file (native 8-bit name), or empty when it was read whole. A file read
// only in part must never pass for the whole of it.
QString LoadProblem(const TXMLParser& document, const std::string& nativeFileName);
