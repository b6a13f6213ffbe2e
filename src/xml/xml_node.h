#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_attribute.h"
#include "xml/xml_types.h"

// The literal every reader compares with to tell a missing attribute.
inline constexpr std::string_view XMLUndefined = "undefined";

// An element or text node. Children are owned; a node sits in at most one
// Children list. All strings are windows-1251 bytes, compared exactly.
class TXMLNode {
 public:
  TXMLNode() = default;
  explicit TXMLNode(std::string name, std::uint8_t kind = nkElement)
      : Name(std::move(name)), Kind(kind) {}
  TXMLNode(const TXMLNode&) = delete;
  TXMLNode& operator=(const TXMLNode&) = delete;
  ~TXMLNode();

  std::string Name;   // empty for a text node
  std::string Value;  // text of a text node
  std::int32_t Level = 0;  // depth, used only to indent the written text
  std::uint8_t Kind = nkElement;
  std::vector<std::unique_ptr<TXMLNode>> Children;
  std::vector<TXMLAttribute> Attributes;

  // Appends and takes ownership; does not touch Level. Returns the node.
  TXMLNode* AddChild(std::unique_ptr<TXMLNode> node);
  TXMLNode* AddChild(TXMLNode* node) { return AddChild(std::unique_ptr<TXMLNode>(node)); }
  int ChildCount() const { return static_cast<int>(Children.size()); }
  // Null when the index is outside the list.
  TXMLNode* Child(int index) const;
  // Position of that very node among the children, or -1.
  int IndexOfChild(const TXMLNode* node) const;
  // Last matching direct child; otherwise the match from the last child
  // whose subtree holds one. The node itself is never compared. Null if none.
  TXMLNode* FindNode(std::string_view name) const;

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
  const std::string& FirstText() const;
};
