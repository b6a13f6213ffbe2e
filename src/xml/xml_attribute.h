#pragma once

#include "xml/xml_list.h"
#include "xml/xml_text.h"

// One attribute of an element; owned by the attribute list of exactly one node.
struct TXMLAttribute {
  TXMLString Name;
  TXMLString Value;
};

// A loaded attribute is two slices.
template <>
inline constexpr bool XMLReadAsSlices<TXMLAttribute> = true;

inline void XMLRelocate(TXMLAttribute* to, TXMLAttribute& from) noexcept {
  ::new (to) TXMLAttribute();
  TXMLString::Relocate(to->Name, from.Name);
  TXMLString::Relocate(to->Value, from.Value);
  from.~TXMLAttribute();
}
