#pragma once

#include <string>

// The document type declaration kept as one line, "<!DOCTYPE ...>" included.
struct TXMLDocType {
  std::string Text;
};
