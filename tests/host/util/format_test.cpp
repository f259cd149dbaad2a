#include "nrw/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "nrw/core.h"

namespace nrw {
namespace {

TEST(FormatFloat, MasksRoundingAndSigns) {
  struct Case {
    const char* name;
    const char* mask;
    double value;
    const char* expected;
  };
  const Case cases[] = {
      {"money", "#,##0.00", 1234567.891, "1.234.567,89"},
      {"money zero", "#,##0.00", 0.0, "0,00"},
      {"money below one", "#,##0.00", 0.5, "0,50"},
      {"money negative", "#,##0.00", -1234.5, "-1.234,50"},
      {"half cent up", "#,##0.00", 0.005, "0,01"},
      {"1.005 as decimal", "#,##0.00", 1.005, "1,01"},
      {"2.675 as decimal", "#,##0.00", 2.675, "2,68"},
      {"negative half cent away from zero", "#,##0.00", -0.005, "-0,01"},
      {"no negative zero", "#,##0.00", -0.001, "0,00"},
      {"0.125 two places", "#0.00", 0.125, "0,13"},
      {"carry into thousands", "#,##0.00", 999.999, "1.000,00"},
      {"large", "##,###,##0.00", 1234567890.12, "1.234.567.890,12"},
      {"trillion without exponent", "#,##0.00", 1e12, "1.000.000.000.000,00"},
      {"wide mask", "###,###,##0.00", -0.5, "-0,50"},
      {"currency prefix", "R$ ###,##0.00", 1234.5, "R$ 1.234,50"},
      {"currency negative", "R$ ###,##0.00", -1.0, "-R$ 1,00"},
      {"four digits", "0000", 12.0, "0012"},
      {"four digits overflow", "0000", 123456.0, "123456"},
      {"fourteen digits", "00000000000000", 99999999999999.0, "99999999999999"},
      {"fourteen digits padded", "00000000000000", 1234567000195.0, "01234567000195"},
      {"one decimal", "#0.0", 2.25, "2,3"},
      {"one decimal whole", "#0.0", 3.0, "3,0"},
      {"whole count", "0", 2.5, "3"},
      {"whole count negative", "0", -2.5, "-3"},
      {"optional decimals", "#,##0.##", 5.1, "5,1"},
      {"interior literal", "000-000", 12345.0, "012-345"},
      {"negative section", "#,##0.00;(#,##0.00)", -5.0, "(5,00)"},
      {"zero section", "#,##0.00;(#,##0.00);zero", 0.001, "zero"},
      {"second point ignored", "0.00.0", 1.2345, "1,235"},
      {"comma after the point groups", "0.00,", 1234.5, "1.234,50"},
      {"literal without digits on its left", "###-###", 12.0, "-12"},
      {"digits beyond the placeholders", "###-###", 1234567.0, "1234-567"},
      {"empty positive section", ";(0)", 5.0, "5"},
      {"empty positive section, negative", ";(0)", -5.0, "(5)"},
      {"empty negative section", "0.0;", -2.5, "-2,5"},
      {"scientific", "0.00E+00", 12345.0, "1,23E+04"},
      {"scientific carry", "0.00E+00", 99999.0, "1,00E+05"},
      {"scientific small", "0.0E-0", 0.00123, "1,2E-3"},
      {"scientific minus form", "0.0E-00", 123.0, "1,2E02"},
      {"quoted literal", "0 'kg'", 3.0, "3 kg"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFloat(c.mask, c.value), c.expected) << c.name;
}

// Masks of placeholders only take a shorter road; an empty negative section (";") sends the same
// mask down the general one, and both must agree on every value.
TEST(FormatFloat, PlainMasksFormatAsTheGeneralRoad) {
  const char* const masks[] = {"#,##0.00", "0000", "#0.0",     "##0",       "#,##0",
                               "0.000",    "0",    "#,##0.##", "00,000.0#", "###,###,##0.00"};
  std::vector<double> values = {0.0,     -0.0, 0.5,   -0.5,   0.005, -0.005, 1.005, 2.675,
                                999.995, 1e12, -1e12, 123.45, 1e-7,  0.045,  -0.001};
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> digits(-12, 12);
  for (int i = 0; i < 2000; ++i) {
    const double magnitude = std::pow(10.0, digits(random));
    values.push_back((i % 2 == 0 ? 1 : -1) * std::round(magnitude * 1000) / 1000);
    values.push_back((i % 3 == 0 ? -1 : 1) * magnitude);
  }
  for (const char* mask : masks) {
    for (const double value : values) {
      ASSERT_EQ(FormatFloat(mask, value), FormatFloat(std::string(mask) + ";", value))
          << mask << " " << value;
    }
    EXPECT_EQ(FormatInteger(mask, -1234567), FormatInteger(std::string(mask) + ";", -1234567));
  }
}

TEST(FormatFloat, IntegersKeepEveryDigit) {
  EXPECT_EQ(FormatInteger("00000000000000", 12345678901234LL), "12345678901234");
  EXPECT_EQ(FormatInteger("#,##0", INT64_MIN), "-9.223.372.036.854.775.808");
  EXPECT_EQ(FormatInteger("0000", -7), "-0007");
}

TEST(NumberText, FloatToStrIsShortestWithComma) {
  EXPECT_EQ(FloatToStr(1234.5), "1234,5");
  EXPECT_EQ(FloatToStr(0.1), "0,1");
  EXPECT_EQ(FloatToStr(100.0), "100");
  EXPECT_EQ(FloatToStr(-0.0), "0");
  EXPECT_EQ(FloatToStr(123456789012.34), "123456789012,34");
}

TEST(NumberText, ParsesLocaleAndPointForms) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {"1.234,56", true, 1234.56},
      {"1234,56", true, 1234.56},
      {"1234.56", true, 1234.56},
      {" -12,5 ", true, -12.5},
      {",5", true, 0.5},
      {"1.234.567,8", true, 1234567.8},
      {"1.2,5", false, 0},
      {"1,234.5", false, 0},
      {"1.234.567", false, 0},
      {"abc", false, 0},
      {"", false, 0},
      {"12a", false, 0},
  };
  for (const Case& c : cases) {
    double value = 0;
    EXPECT_EQ(TryStrToFloat(c.text, value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
  }
  int64_t integer = 0;
  EXPECT_TRUE(TryStrToInt(" +42 ", integer));
  EXPECT_EQ(integer, 42);
  EXPECT_FALSE(TryStrToInt("+-4", integer));
  EXPECT_FALSE(TryStrToInt("99999999999999999999", integer));
  EXPECT_EQ(StrToIntDef("x", -1), -1);
  EXPECT_THROW(StrToInt("abc"), Exception);
  EXPECT_THROW(StrToFloat("x"), Exception);
}

TEST(Format, Markers) {
  struct Case {
    const char* name;
    const char* pattern;
    std::vector<Variant> args;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"sequential", "a %s b %s", {"x", 2}, "a x b 2"},
      {"numbered", "%1:s-%0:s", {"a", "b"}, "b-a"},
      {"upper case type", "%0:S", {"a"}, "a"},
      {"sequence follows numbered", "%1:s %s", {"a", "b", "c"}, "b c"},
      {"integer", "%d", {42}, "42"},
      {"float as text", "%s", {2.5}, "2,5"},
      {"percent", "100%%", {}, "100%"},
      {"width", "[%5s|%-3s]", {"ab", "c"}, "[   ab|c  ]"},
      {"repeated index", "%0:s%0:s", {"x"}, "xx"},
  };
  for (const Case& c : cases) EXPECT_EQ(Format(c.pattern, c.args), c.expected) << c.name;
}

TEST(Format, BadPatternsRaise) {
  EXPECT_THROW(Format("%s %s", {1}), Exception) << "missing argument";
  EXPECT_THROW(Format("%3:s", {1}), Exception) << "index out of range";
  EXPECT_THROW(Format("%q", {1}), Exception) << "unknown type";
  EXPECT_THROW(Format("50%", {}), Exception) << "marker without type";
  EXPECT_THROW(Format("%d", {"abc"}), Exception) << "text for %d";
}

}  // namespace
}  // namespace nrw
