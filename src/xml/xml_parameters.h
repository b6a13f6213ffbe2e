#pragma once

#include <string>
#include <vector>

#include "xml/xml_attribute.h"
#include "xml/xml_docType.h"

// The prolog of one document: declaration values, one processing
// instruction and the document type line.
struct TXMLParameters {
  std::string Version = "1.0";
  std::string Encoding = "UTF-8";
  std::string Language = "EN";
  std::string Standalone = "yes";
  std::vector<TXMLAttribute> Attributes;  // further pseudo-attributes, in order
  std::string Instruction;                // e.g. a stylesheet instruction, whole text
  TXMLDocType DocType;
  // A language read from a file is not written back unless this is cleared.
  bool OmitLanguage = true;
};
