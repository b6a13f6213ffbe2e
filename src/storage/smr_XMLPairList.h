#pragma once

#include <vector>

#include "xml/xml_node.h"

// Pairs of a library `file` element (first) and the root of its journal
// document (second). The nodes are not owned.
class TXMLPairList {
 public:
  void Add(TXMLNode* first, TXMLNode* second);
  // Adds unless the very same pair is there already.
  void AddUnique(TXMLNode* first, TXMLNode* second);
  // The first node of the first pair whose second is that node, or null.
  TXMLNode* FindFirst(const TXMLNode* second) const;
  // The second node of the first pair whose first is that node, or null.
  TXMLNode* FindSecond(const TXMLNode* first) const;
  // Drops every pair holding the node or any node of its subtree; called
  // before the subtree is destroyed so no look-up reaches a freed node.
  void RemoveHolding(const TXMLNode* subtree);
  int Count() const { return static_cast<int>(FPairs.size()); }

 private:
  struct TPair {
    TXMLNode* first;
    TXMLNode* second;
  };
  std::vector<TPair> FPairs;
};
