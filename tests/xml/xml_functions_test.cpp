// The two text helpers the reader and other modules share.

#include "xml/xml_functions.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  std::string in;
  std::string out;
};

class XmlNormalizeSpaces : public ::testing::TestWithParam<Case> {};

TEST_P(XmlNormalizeSpaces, TrimsControlCharactersAtTheEndsAndCollapsesBlankRuns) {
  EXPECT_EQ(NormalizeSpaces(GetParam().in), GetParam().out);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Cases, XmlNormalizeSpaces,
    ::testing::Values(Case{"", ""}, Case{"   ", ""}, Case{"\t\r\n \x01\x1f", ""},
                      Case{"  a   b  ", "a b"}, Case{"\x00\x01word\x1f\x20"s, "word"},
                      // Only code 32 collapses; tabs and line breaks inside stay.
                      Case{"a \t  b", "a \t b"}, Case{"a\r\n\r\nb", "a\r\n\r\nb"},
                      Case{"a\t\tb", "a\t\tb"},
                      // Bytes above 127 are text (windows-1251), not control characters.
                      Case{"\xa0\xd1\xee\xed\xa0", "\xa0\xd1\xee\xed\xa0"}, Case{"\x7f", "\x7f"},
                      Case{"x", "x"}));

class XmlUnquoteValue : public ::testing::TestWithParam<Case> {};

TEST_P(XmlUnquoteValue, DropsTheQuotesTheTagEndAndTheTrailingBlank) {
  EXPECT_EQ(UnquoteValue(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Cases, XmlUnquoteValue,
                         ::testing::Values(Case{">", ""}, Case{"/>", ""}, Case{"?>", ""},
                                           Case{"!>", ""}, Case{"\"sea.xml\" ", "sea.xml"},
                                           Case{"\"\" ", ""}, Case{"\"a b\" ", "a b"},
                                           Case{"\"yes\"?> ", "yes"}, Case{"\"1\"> ", "1"},
                                           Case{"\"1\"/> ", "1"}, Case{"\"C:\\d\\\" ", "C:\\d\\"},
                                           Case{"\"x=y\" ", "x=y"}));

}  // namespace
