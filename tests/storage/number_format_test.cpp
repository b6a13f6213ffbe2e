#include <gtest/gtest.h>

#include "storage/smr_NumberFormat.h"

namespace {

const TNumberFormat Comma{',', ' '};
const TNumberFormat Point{'.', ','};

TEST(EnergyFigure, WholeLevelsUnderBothSeparators) {
  const struct {
    const char* level;
    const char* comma;
    const char* point;
  } cases[] = {
      {"30", "0,7", "0.7"},   {"150", "-0,5", "-0.5"},    {"0", "1", "1"},
      {"100", "0", "0"},      {"200", "-1", "-1"},        {"1", "0,99", "0.99"},
      {"7", "0,93", "0.93"},  {"199", "-0,99", "-0.99"},  {"+30", "0,7", "0.7"},
      {" 30 ", "0,7", "0.7"}, {"12.5", "0,875", "0.875"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EnergyFigure(c.level, Comma), c.comma) << c.level;
    EXPECT_EQ(EnergyFigure(c.level, Point), c.point) << c.level;
  }
}

TEST(EnergyFigure, AbsentOrNonNumericLevelIsTheMiddle) {
  for (const char* level :
       {"undefined", "", "abc", "30a", "3 0", "1e3", "-", ".", "0x10", "30,5"}) {
    EXPECT_EQ(EnergyFigure(level, Comma), "0") << level;
  }
}

TEST(FormatFixed, DecimalsAndThousands) {
  const struct {
    double value;
    int decimals;
    const char* comma;
    const char* point;
  } cases[] = {
      {1234567.891, 2, "1 234 567,89", "1,234,567.89"},
      {999, 0, "999", "999"},
      {1000, 0, "1 000", "1,000"},
      {-1, 2, "-1,00", "-1.00"},
      {-0.25, 2, "-0,25", "-0.25"},
      {-0.001, 2, "0,00", "0.00"},
      {0, 0, "0", "0"},
      {-123456, 0, "-123 456", "-123,456"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFixed(c.value, c.decimals, Comma), c.comma) << c.value;
    EXPECT_EQ(FormatFixed(c.value, c.decimals, Point), c.point) << c.value;
  }
}

TEST(FormatGeneral, FifteenDigitsThenScientific) {
  EXPECT_EQ(FormatGeneral(1.0 / 3, Comma), "0,333333333333333");
  EXPECT_EQ(FormatGeneral(-2.0 / 3, Point), "-0.666666666666667");
  EXPECT_EQ(FormatGeneral(1e14, Point), "100000000000000");
  EXPECT_EQ(FormatGeneral(1e15, Point), "1E15");
  EXPECT_EQ(FormatGeneral(-1.5e20, Comma), "-1,5E20");
  EXPECT_EQ(FormatGeneral(0.00001, Comma), "0,00001");
  EXPECT_EQ(FormatGeneral(0.0000015, Comma), "1,5E-6");
  // A huge level still gives a figure, not garbage.
  EXPECT_EQ(EnergyFigure("123456789012345678900", Point), "-1.23456789012346E18");
}

}  // namespace
