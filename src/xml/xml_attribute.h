#pragma once

#include <string>

// One attribute of an element; owned by the attribute list of exactly one node.
struct TXMLAttribute {
  std::string Name;
  std::string Value;
};
