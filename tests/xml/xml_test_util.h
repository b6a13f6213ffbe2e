#pragma once

// Small helpers shared by the XML tests: files as raw bytes, trees built in
// a line, and a tree comparison that names the first node that differs.

#include <gtest/gtest.h>

#include <QtGlobal>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/test_files.h"
#include "xml/xml_mainUnit.h"

namespace xmltest {

// The program names files by std::string; the shared helpers take QString.
inline void WriteBytes(const std::string& path, const std::string& bytes) {
  test_files::Write(QString::fromStdString(path), bytes);
}
inline std::string ReadBytes(const std::string& path) {
  return test_files::Read(QString::fromStdString(path)).toStdString();
}

// Makes the preloaded fault shim fail the nth call (0: every call) of
// `call` on paths containing `part`, until it goes out of scope.
class TInjectedFault {
 public:
  TInjectedFault(const std::string& call, const std::string& part, int nth, int error) {
    qputenv("SOMNARY_FAULT", call.c_str());
    qputenv("SOMNARY_FAULT_PATH", part.c_str());
    qputenv("SOMNARY_FAULT_NTH", std::to_string(nth).c_str());
    qputenv("SOMNARY_FAULT_ERRNO", std::to_string(error).c_str());
  }
  ~TInjectedFault() {
    for (const char* name :
         {"SOMNARY_FAULT", "SOMNARY_FAULT_PATH", "SOMNARY_FAULT_NTH", "SOMNARY_FAULT_ERRNO"})
      qunsetenv(name);
  }
  TInjectedFault(const TInjectedFault&) = delete;
  TInjectedFault& operator=(const TInjectedFault&) = delete;
};

// Declaration line every file the program creates starts with.
inline constexpr const char* kDecl1251 =
    "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n";
// Declaration line of a fresh document that nobody configured.
inline constexpr const char* kDeclUtf8 =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";

// Element with attributes given as name/value pairs.
inline std::unique_ptr<TXMLNode> Element(
    std::string name, std::vector<std::pair<std::string, std::string>> attributes = {},
    std::uint8_t kind = nkElement) {
  auto node = std::make_unique<TXMLNode>();
  node->Name = std::move(name);
  node->Kind = kind;
  for (auto& [n, v] : attributes) node->SetAttribute(n, v);
  return node;
}

inline std::unique_ptr<TXMLNode> Text(std::string value) {
  auto node = std::make_unique<TXMLNode>();
  node->Kind = nkText;
  node->Value = std::move(value);
  return node;
}

// Adds a child the way callers do: append, then level it under the parent.
inline TXMLNode* Add(TXMLNode& parent, std::unique_ptr<TXMLNode> child) {
  TXMLNode* added = parent.AddChild(std::move(child));
  added->SetLevel(parent.Level + 1);
  return added;
}

inline std::string Describe(const TXMLNode& node) {
  std::ostringstream s;
  s << "kind=" << int(node.Kind) << " level=" << node.Level << " name='" << node.Name << "' value='"
    << node.Value << "' attrs=[";
  for (const auto& a : node.Attributes) s << a.Name << "='" << a.Value << "' ";
  s << "] children=" << node.ChildCount();
  return s.str();
}

// Same names, values, kinds, levels, attributes (in order) and children.
inline ::testing::AssertionResult SameTree(const TXMLNode& expected, const TXMLNode& actual,
                                           const std::string& path = "root") {
  bool same = expected.Name == actual.Name && expected.Value == actual.Value &&
              expected.Kind == actual.Kind && expected.Level == actual.Level &&
              expected.ChildCount() == actual.ChildCount() &&
              expected.Attributes.size() == actual.Attributes.size();
  for (std::size_t i = 0; same && i < expected.Attributes.size(); ++i)
    same = expected.Attributes[i].Name == actual.Attributes[i].Name &&
           expected.Attributes[i].Value == actual.Attributes[i].Value;
  if (!same)
    return ::testing::AssertionFailure() << "at " << path << "\n  expected " << Describe(expected)
                                         << "\n  actual   " << Describe(actual);
  for (int i = 0; i < expected.ChildCount(); ++i) {
    auto r = SameTree(*expected.Child(i), *actual.Child(i), path + "/" + std::to_string(i));
    if (!r) return r;
  }
  return ::testing::AssertionSuccess();
}

inline std::unique_ptr<TXMLParser> Parse(const std::string& text) {
  auto doc = std::make_unique<TXMLParser>();
  doc->LoadFromText(text);
  return doc;
}

}  // namespace xmltest
