#include "xml/xml_node.h"

#include <algorithm>
#include <vector>

#include "xml/xml_store.h"

namespace {
const TXMLString kEmpty;

// Hands a node's children over to a stack of nodes being freed, the last
// first: taken from the back, they come in the order they were read, which
// is their order in the arena.
void ReleaseChildren(TXMLNode& node, std::vector<TXMLNode*>& pending) {
  for (std::size_t i = node.Children.size(); i > 0; --i)
    pending.push_back(node.Children[i - 1].release());
  node.Children.clear();
}
}  // namespace

TXMLNode::~TXMLNode() {
  // Destroy deep trees without deep recursion: every descendant goes to a
  // stack and is destroyed from there once its own children are on it, so
  // each node is visited once. A loaded journal is hundreds of thousands of
  // nodes spread over the arena: the next few on the stack are fetched
  // ahead, or freeing waits on memory at every node. Arena nodes give back
  // their holds on the arena in one go for each run of the same arena.
  if (Children.empty()) return;
  std::vector<TXMLNode*> pending;
  pending.reserve(Children.size());
  ReleaseChildren(*this, pending);
  TXMLStore* store = nullptr;
  std::size_t holds = 0;
  constexpr std::size_t kAhead = 16;
  while (!pending.empty()) {
#if defined(__GNUC__)
    if (pending.size() > kAhead) __builtin_prefetch(pending[pending.size() - 1 - kAhead]);
#endif
    TXMLNode* node = pending.back();
    pending.pop_back();
    if (!node) continue;
    ReleaseChildren(*node, pending);
    TXMLStore* own = node->FStore;
    if (!own) {
      delete node;
      continue;
    }
    node->~TXMLNode();
    // Its children hold the arena too, so no hold given back here is its last
    // while a node of it is still on the stack.
    if (own != store) {
      TXMLStore::Release(store, holds);
      store = own;
      holds = 0;
    }
    ++holds;
  }
  TXMLStore::Release(store, holds);
}

void TXMLNode::operator delete(TXMLNode* node, std::destroying_delete_t) {
  TXMLStore* store = node->FStore;
  node->~TXMLNode();
  if (store)
    TXMLStore::Release(store);
  else
    ::operator delete(node);
}

TXMLNode* TXMLNode::AddChild(std::unique_ptr<TXMLNode> node) {
  TXMLNode* raw = node.get();
  if (raw) Children.push_back(std::move(node));
  return raw;
}

const TXMLNode* TXMLNode::Child(int index) const {
  if (index < 0 || index >= ChildCount()) return nullptr;
  return Children[static_cast<std::size_t>(index)].get();
}

int TXMLNode::IndexOfChild(const TXMLNode* node) const {
  for (std::size_t i = 0; i < Children.size(); ++i)
    if (Children[i].get() == node) return static_cast<int>(i);
  return -1;
}

const TXMLNode* TXMLNode::FindNode(std::string_view name) const {
  const TXMLNode* found = nullptr;
  for (const auto& child : Children)
    if (child->Name == name) found = child.get();
  if (found) return found;
  for (const auto& child : Children)
    if (const TXMLNode* deeper = std::as_const(*child).FindNode(name)) found = deeper;
  return found;
}

std::string TXMLNode::GetAttribute(std::string_view name) const {
  for (const auto& attribute : Attributes)
    if (attribute.Name == name) return attribute.Value.str();
  return std::string(XMLUndefined);
}

bool TXMLNode::HasAttribute(std::string_view name) const {
  for (const auto& attribute : Attributes)
    if (attribute.Name == name) return attribute.Value != XMLUndefined;
  return false;
}

void TXMLNode::SetAttribute(std::string_view name, std::string_view value) {
  for (auto& attribute : Attributes)
    if (attribute.Name == name) {
      attribute.Value = value;
      return;
    }
  Attributes.push_back({TXMLString(name), TXMLString(value)});
}

void TXMLNode::DeleteAttribute(std::string_view name) {
  auto it = std::find_if(Attributes.begin(), Attributes.end(),
                         [&](const TXMLAttribute& a) { return a.Name == name; });
  if (it != Attributes.end()) Attributes.erase(it);
}

void TXMLNode::DeleteChild(int index) {
  if (index < 0 || index >= ChildCount()) return;
  Children.erase(Children.begin() + index);
}

void TXMLNode::ClearChildren() { Children.clear(); }

std::unique_ptr<TXMLNode> TXMLNode::TakeChild(int index) {
  if (index < 0 || index >= ChildCount()) return nullptr;
  std::unique_ptr<TXMLNode> node = std::move(Children[static_cast<std::size_t>(index)]);
  Children.erase(Children.begin() + index);
  return node;
}

TXMLNode* TXMLNode::InsertChild(int index, std::unique_ptr<TXMLNode> node) {
  TXMLNode* raw = node.get();
  if (!raw) return nullptr;
  index = std::clamp(index, 0, ChildCount());
  Children.insert(Children.begin() + index, std::move(node));
  return raw;
}

void TXMLNode::SetLevel(std::int32_t level) {
  Level = level;
  for (auto& child : Children) child->SetLevel(level + 1);
}

const TXMLString& TXMLNode::FirstText() const {
  if (!Children.empty() && Children.front()->Kind == nkText) return Children.front()->Value;
  return kEmpty;
}
