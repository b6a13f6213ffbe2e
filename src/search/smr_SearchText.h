#pragma once

#include <QString>
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

// Text as the search compares it: windows-1251 bytes, one byte a letter.
// Letters and digits make words; everything else separates them.

// The byte a letter is compared as: lower case, "ё" as "е". 0 for a byte
// that is not part of a word.
extern const std::array<unsigned char, 256> kFoldTable;
inline unsigned char FoldByte(unsigned char byte) { return kFoldTable[byte]; }
inline bool IsWordByte(unsigned char byte) { return FoldByte(byte) != 0; }

// Appends the folded words of a text, each after one blank, so a word
// start is found by looking for a blank and its first letters.
void AppendFoldedWords(std::string_view text, std::string& out);
// The same into a buffer with room for text.size() + 2 bytes; returns the
// new end (the byte there may have been written).
char* FoldWordsInto(std::string_view text, char* to);
// The folded words joined by single blanks.
std::string FoldedWords(std::string_view text);

// Russian stems (Snowball) of folded words. Remembers what it has stemmed:
// a diary repeats its words.
class TStemmer {
 public:
  TStemmer();
  ~TStemmer();
  TStemmer(const TStemmer&) = delete;
  TStemmer& operator=(const TStemmer&) = delete;

  // The stem of a folded word; never empty for a non-empty word.
  const std::string& Stem(std::string_view foldedWord);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
  std::unordered_map<std::string, std::string> FStems;
};

// The text a reader sees of an HTML page, as windows-1251: tags, comments,
// scripts and styles dropped, character references decoded; characters the
// code page lacks become blanks.
std::string HTMLPlainText(const QString& html);
// The same of a description file on disk (its charset as the editor reads
// it); empty when the file cannot be read.
std::string HTMLFilePlainText(const std::string& nativeFileName);
