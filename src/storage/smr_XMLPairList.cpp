#include "storage/smr_XMLPairList.h"

#include <algorithm>
#include <unordered_set>

void TXMLPairList::Add(TXMLNode* first, TXMLNode* second) { FPairs.push_back({first, second}); }

void TXMLPairList::AddUnique(TXMLNode* first, TXMLNode* second) {
  for (const auto& pair : FPairs)
    if (pair.first == first && pair.second == second) return;
  Add(first, second);
}

TXMLNode* TXMLPairList::FindFirst(const TXMLNode* second) const {
  for (const auto& pair : FPairs)
    if (pair.second == second) return pair.first;
  return nullptr;
}

TXMLNode* TXMLPairList::FindSecond(const TXMLNode* first) const {
  for (const auto& pair : FPairs)
    if (pair.first == first) return pair.second;
  return nullptr;
}

namespace {
void Collect(const TXMLNode* node, std::unordered_set<const TXMLNode*>& nodes) {
  nodes.insert(node);
  for (const auto& child : node->Children) Collect(child.get(), nodes);
}
}  // namespace

void TXMLPairList::RemoveHolding(const TXMLNode* subtree) {
  if (FPairs.empty() || !subtree) return;
  std::unordered_set<const TXMLNode*> nodes;
  Collect(subtree, nodes);
  std::erase_if(FPairs, [&](const TPair& pair) {
    return nodes.count(pair.first) != 0 || nodes.count(pair.second) != 0;
  });
}
