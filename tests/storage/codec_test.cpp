#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/test_files.h"
#include "storage/smr_Codec.h"

namespace {

using test_files::Cp1251;

TEST(CodecAlphabet, HoldsTheGroupsInOrder) {
  const std::string plain(TCodec::PlainAlphabet);
  ASSERT_EQ(plain.size(), 130u);
  EXPECT_EQ(plain.substr(0, 26), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  EXPECT_EQ(plain.substr(26, 26), "abcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(plain.substr(52, 12), " 0123456789_");
  EXPECT_EQ(plain.substr(64, 33), Cp1251("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"));
  EXPECT_EQ(plain.substr(97, 33), Cp1251("абвгдеёжзийклмнопрстуфхцчшщъыьэюя"));
}

TEST(CodecAlphabet, EverySubstitutionTableIsAPermutationOfThePlainOne) {
  std::string plain(TCodec::PlainAlphabet);
  std::sort(plain.begin(), plain.end());
  ASSERT_EQ(std::adjacent_find(plain.begin(), plain.end()), plain.end()) << "duplicate character";
  for (std::size_t t = 0; t < TCodec::SubstitutionAlphabets.size(); ++t) {
    std::string table(TCodec::SubstitutionAlphabets[t]);
    std::sort(table.begin(), table.end());
    EXPECT_EQ(table, plain) << "table " << t + 1;
  }
  // Distinct tables, or the position would not matter.
  for (std::size_t a = 0; a < 5; ++a)
    for (std::size_t b = a + 1; b < 5; ++b)
      EXPECT_NE(TCodec::SubstitutionAlphabets[a], TCodec::SubstitutionAlphabets[b]);
}

TEST(CodecRoundTrip, EmptyTextStaysEmpty) {
  TCodec codec;
  EXPECT_EQ(codec.Encode(""), "");
  EXPECT_EQ(codec.Decode(""), "");
}

TEST(CodecRoundTrip, EveryAlphabetCharacterAtEveryTablePosition) {
  TCodec codec;
  for (char c : TCodec::PlainAlphabet) {
    const std::string text(7, c);  // positions 1..7 touch all five tables
    const std::string encoded = codec.Encode(text);
    ASSERT_EQ(encoded.size(), text.size());
    for (char e : encoded)
      EXPECT_NE(TCodec::PlainAlphabet.find(e), std::string_view::npos)
          << "encoded character outside the alphabet";
    EXPECT_EQ(codec.Decode(encoded), text)
        << "character code " << int(static_cast<unsigned char>(c));
  }
  const std::string whole(TCodec::PlainAlphabet);
  EXPECT_EQ(codec.Decode(codec.Encode(whole)), whole);
  const std::string mixed = Cp1251("Сон_в руку 2024 Ёлка ёж");
  EXPECT_EQ(codec.Decode(codec.Encode(mixed)), mixed);
}

TEST(CodecRoundTrip, EncodedFormIsFrozen) {
  // Worked out by hand from the tables: libraries already written depend on it.
  TCodec codec;
  EXPECT_EQ(codec.Encode(Cp1251("Quillon Ёж_7")),
            "\x55\xF8\xC3\x4A\xFB\x42\xCD\x79\xD7\x46\xF4\xEC");
  EXPECT_EQ(codec.Encode(Cp1251("ёлка")), "\x32\x57\xCD\xD3");
  EXPECT_EQ(codec.Decode("\x32\x57\xCD\xD3"), Cp1251("ёлка"));
}

TEST(CodecPositions, TableCyclesEveryFiveCharacters) {
  TCodec codec;
  const std::string_view plain = TCodec::PlainAlphabet;
  int firstTwoDiffer = 0;
  for (std::size_t p = 0; p < plain.size(); ++p) {
    const std::string encoded = codec.Encode(std::string(10, plain[p]));
    for (std::size_t i = 0; i < 5; ++i)
      EXPECT_EQ(encoded[i], encoded[i + 5]) << "position " << i + 1;
    if (encoded[0] != encoded[1]) ++firstTwoDiffer;
    // Position 1 uses table 2, position 5 table 1.
    EXPECT_EQ(encoded[0], TCodec::SubstitutionAlphabets[1][p]);
    EXPECT_EQ(encoded[4], TCodec::SubstitutionAlphabets[0][p]);
  }
  // Two shuffles agree on a character now and then, but not as a rule.
  EXPECT_GE(firstTwoDiffer, 120);
}

TEST(CodecOutsideAlphabet, BecomesZeroBothWays) {
  TCodec codec;
  const std::string plain = "ab-c" + Cp1251("№");
  const std::string encoded = codec.Encode(plain);
  ASSERT_EQ(encoded.size(), plain.size());
  EXPECT_EQ(encoded[2], '\0');
  EXPECT_EQ(encoded[4], '\0');
  EXPECT_NE(encoded[0], '\0');

  const std::string decoded = codec.Decode(encoded);
  ASSERT_EQ(decoded.size(), plain.size());
  EXPECT_EQ(decoded, std::string("ab\0c\0", 5));
  EXPECT_NE(decoded, plain);  // such a password never matches what is typed

  // Text that no Encode produced.
  EXPECT_EQ(codec.Decode(std::string("!.\0", 3)), std::string(3, '\0'));
}

TEST(CodecCanCarry, AcceptsExactlyTheAlphabet) {
  EXPECT_TRUE(TCodec::CanCarry(""));
  EXPECT_TRUE(TCodec::CanCarry(TCodec::PlainAlphabet));
  EXPECT_TRUE(TCodec::CanCarry(Cp1251("Ёжик в тумане_01")));
  EXPECT_FALSE(TCodec::CanCarry("pass-word"));
  EXPECT_FALSE(TCodec::CanCarry("tab\there"));
  EXPECT_FALSE(TCodec::CanCarry(std::string("a\0b", 3)));
  EXPECT_FALSE(TCodec::CanCarry(Cp1251("№1")));
  EXPECT_FALSE(TCodec::CanCarry("?"));  // what an unrepresentable character turns into
  int carried = 0;
  for (int b = 0; b < 256; ++b) carried += TCodec::CanCarry(std::string(1, static_cast<char>(b)));
  EXPECT_EQ(carried, 130);
}

}  // namespace
