#pragma once

#include <array>
#include <string>
#include <string_view>

// Position-dependent substitution of short windows-1251 texts. It keeps the
// user name and password of a library from being readable at a glance in
// the library file; it has no key and is no protection against anyone who
// cares to look.
//
// The tables are part of the file format: libraries written with other
// tables cannot be read back, so they must never change.
class TCodec {
 public:
  static constexpr std::size_t AlphabetSize = 130;

  // Latin capitals, Latin small, blank, digits, underscore, Cyrillic capitals
  // (Ё in its place), Cyrillic small (ё in its place).
  static const std::string_view PlainAlphabet;
  // Five permutations of PlainAlphabet; the character at position i
  // (counting from 1) uses table (i mod 5), that is table number (i mod 5)+1.
  static const std::array<std::string_view, 5> SubstitutionAlphabets;

  // Same length as the input. A character outside the alphabet becomes the
  // byte 0, in both directions, and is lost.
  std::string Encode(std::string_view plain) const;
  std::string Decode(std::string_view encoded) const;

  // True when every byte of the text is in the alphabet, so that the text
  // survives Encode and Decode unchanged. The empty text can be carried.
  static bool CanCarry(std::string_view text);
};

// The alphabet holds a blank, and several characters encode to it at some
// positions; the reader collapses runs of blanks in attribute values. A
// stored user name or password must therefore read back as it was written.

// True when `plain` is carried by the codec and its encoded form reads back
// from the library file unchanged.
bool CredentialReadsBack(std::string_view plain);
// The log-in check of a typed value against the attribute read from the
// file. Both sides are compared as the reader leaves them, so a value stored
// before this check existed (its blanks collapsed) still matches.
bool CredentialMatches(std::string_view typed, std::string_view stored);
