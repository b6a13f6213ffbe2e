#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "xml/xml_attribute.h"
#include "xml/xml_list.h"
#include "xml/xml_text.h"
#include "xml/xml_types.h"

class TXMLStore;

// The literal every reader compares with to tell a missing attribute.
inline constexpr std::string_view XMLUndefined = "undefined";

// An element or text node. Children are owned; a node sits in at most one
// Children list. All strings are windows-1251 bytes, compared exactly.
//
// A node the program makes with new (or make_unique) lives on the heap. The
// nodes a document reads live in that load's arena, with their lists and
// strings; each of them keeps the arena alive, so a node taken from one
// document and put into another, or a Root moved away, stays valid after
// its document is gone. Deleting a node (through unique_ptr as anywhere)
// does the right thing for either kind.
class TXMLNode {
 public:
  TXMLNode() = default;
  explicit TXMLNode(std::string_view name, std::uint8_t kind = nkElement)
      : Name(name), Kind(kind) {}
  TXMLNode(const TXMLNode&) = delete;
  TXMLNode& operator=(const TXMLNode&) = delete;
  ~TXMLNode();

  static void* operator new(std::size_t size) { return ::operator new(size); }
  // Heap nodes are freed, arena nodes give their arena back.
  static void operator delete(TXMLNode* node, std::destroying_delete_t);
  // Only for a constructor that throws inside new.
  static void operator delete(void* memory) { ::operator delete(memory); }

  TXMLString Name;         // empty for a text node
  TXMLString Value;        // text of a text node
  std::int32_t Level = 0;  // depth, used only to indent the written text
  std::uint8_t Kind = nkElement;
  TXMLList<std::unique_ptr<TXMLNode>> Children;
  TXMLList<TXMLAttribute> Attributes;

  // Appends and takes ownership; does not touch Level. Returns the node.
  TXMLNode* AddChild(std::unique_ptr<TXMLNode> node);
  TXMLNode* AddChild(TXMLNode* node) { return AddChild(std::unique_ptr<TXMLNode>(node)); }
  int ChildCount() const { return static_cast<int>(Children.size()); }
  // Null when the index is outside the list.
  TXMLNode* Child(int index) { return const_cast<TXMLNode*>(std::as_const(*this).Child(index)); }
  const TXMLNode* Child(int index) const;
  // Position of that very node among the children, or -1.
  int IndexOfChild(const TXMLNode* node) const;
  // Last matching direct child; otherwise the match from the last child
  // whose subtree holds one. The node itself is never compared. Null if none.
  TXMLNode* FindNode(std::string_view name) {
    return const_cast<TXMLNode*>(std::as_const(*this).FindNode(name));
  }
  const TXMLNode* FindNode(std::string_view name) const;

  // Value of the first attribute of that name, or "undefined".
  std::string GetAttribute(std::string_view name) const;
  // True when GetAttribute would give something other than "undefined".
  bool HasAttribute(std::string_view name) const;
  // Sets the first attribute of that name, or appends a new one.
  void SetAttribute(std::string_view name, std::string_view value);
  void DeleteAttribute(std::string_view name);

  // Destroys the child at that index; an index outside the list does nothing.
  void DeleteChild(int index);
  void ClearChildren();
  // Releases the child at that index without destroying it (for moving).
  std::unique_ptr<TXMLNode> TakeChild(int index);
  // Inserts at a position, clamped to the list; takes ownership.
  TXMLNode* InsertChild(int index, std::unique_ptr<TXMLNode> node);

  // This node gets the level, each child its parent's level plus one.
  void SetLevel(std::int32_t level);

  // Text of the first child when it is a text node, empty otherwise.
  const TXMLString& FirstText() const;

  // The arena the node was read into; null for a node made by the program.
  const TXMLStore* Store() const { return FStore; }

 private:
  friend class TXMLStore;
  TXMLStore* FStore = nullptr;
};
