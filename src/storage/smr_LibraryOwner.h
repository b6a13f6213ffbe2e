#pragma once

#include <optional>
#include <string>
#include <string_view>

class TXMLParser;

// The library's owner (its `user` element) and additional files, as the
// options dialog shows and edits them. Texts are stored windows-1251 bytes.

enum class TSex { Masculinum, Femininum, Smile, Unknown };

// As stored; nullopt for what the library does not say.
struct TStoredOwner {
  std::optional<std::string> Name, Nick, Email;
  std::optional<TSex> Sex;           // Unknown: a value none of the three
  std::optional<int> Age;            // also nullopt when it is no number
  std::optional<std::string> Notes;  // the first child's text
};
std::optional<TStoredOwner> ReadOwner(const TXMLParser& library);

struct TOwner {
  std::string Name, Nick, Email;
  int Age = 0;
  TSex Sex = TSex::Smile;            // Unknown is written as Smile
  std::optional<std::string> Notes;  // nullopt removes them
};
// Into the `user` element, made at the end of the root when missing; other
// attributes keep their places.
void WriteOwner(TXMLParser& library, const TOwner& owner);

struct TStoredAdditionalFiles {
  std::optional<std::string> Dictionary, Vocabulary;
};
std::optional<TStoredAdditionalFiles> ReadAdditionalFiles(const TXMLParser& library);
void WriteAdditionalFiles(TXMLParser& library, std::string_view dictionary,
                          std::string_view vocabulary);
