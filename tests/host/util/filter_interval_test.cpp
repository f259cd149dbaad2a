#include <gtest/gtest.h>

#include "nrw/core.h"
#include "nrw/util.h"
#include "util/selection.h"

namespace nrw {
namespace {

TEST(FilterInterval, BuildsPredicates) {
  struct Case {
    const char* name;
    std::vector<std::string> columns;
    std::string selection;
    std::vector<int> kinds;
    bool lead_and;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"single code", {"C"}, "5", {1}, true, " and (C = 5)"},
      {"single code bare", {"C"}, "5", {1}, false, "(C = 5)"},
      {"list", {"C"}, "1;2, 3", {1}, false, "(C in (1, 2, 3))"},
      {"range", {"C"}, "1..99999", {1}, true, " and (C between 1 and 99999)"},
      {"backwards range", {"C"}, "9..5", {1}, false, "(C between 5 and 9)"},
      {"mixed", {"C"}, " 7 ; 1 .. 5 ", {1}, false, "(C = 7 or C between 1 and 5)"},
      {"empty elements", {"C"}, ";;4;", {1}, false, "(C = 4)"},
      {"signed code", {"C"}, "+007", {1}, false, "(C = 7)"},
      {"text quoted", {"T"}, "O'Neil", {2}, false, "(T = 'O''Neil')"},
      {"text range", {"T"}, "b..a", {2}, false, "(T between 'a' and 'b')"},
      {"text with SQL", {"T"}, "x') or ('1'='1", {2}, false, "(T = 'x'') or (''1''=''1')"},
      {"dates",
       {"D"},
       "01/01/2024..2024-01-31",
       {3},
       false,
       "(D between '2024-01-01' and '2024-01-31')"},
      {"two columns",
       {"A", "B"},
       "1;3..4",
       {1},
       true,
       " and (A = 1 or A between 3 and 4 or B = 1 or B between 3 and 4)"},
      {"kind per column", {"A", "B"}, "1", {1, 2}, false, "(A = 1 or B = '1')"},
      {"empty selection", {"C"}, "", {1}, true, ""},
      {"blank selection bare", {"C"}, "  ", {1}, false, ""},
      {"only separators", {"C"}, " ; , ", {1}, true, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FilterInterval(c.columns, c.selection, c.kinds, 0, c.lead_and, 0), c.expected)
        << c.name;
  }
}

TEST(FilterInterval, RejectsWhatDoesNotParse) {
  struct Case {
    std::string selection;
    int kind;
  };
  const Case cases[] = {
      {"1; drop table x", 1},
      {"1) or (1=1", 1},
      {"'", 1},
      {"1..", 1},
      {"..5", 1},
      {"a..b", 1},
      {"1..2..3", 1},
      {"1 2", 1},
      {"1..", 2},
      {"31/02/2024", 3},
      {"2024-01-01..", 3},
      {"ontem", 3},
  };
  for (const Case& c : cases) {
    for (const bool lead_and : {true, false}) {
      EXPECT_THROW(FilterInterval({"C"}, c.selection, {c.kind}, 0, lead_and, 0), Exception)
          << c.selection << " kind " << c.kind << " lead " << lead_and;
    }
  }
}

TEST(FilterInterval, MessageNamesTheBadElement) {
  try {
    FilterInterval({"C"}, "1;a", {1});
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Seleção inválida: 'a' não é um código.");
  }
}

TEST(FilterInterval, QuotedElementsAreOneExactValue) {
  struct Case {
    std::string selection;
    int kind;
    std::string expected;
  };
  const Case cases[] = {
      {R"(" ")", 2, "(T = ' ')"},
      {R"("A,B")", 2, "(T = 'A,B')"},
      {R"("000..999")", 2, "(T = '000..999')"},
      {R"("..")", 2, "(T = '..')"},
      {R"("")", 2, "(T = '')"},
      {R"(  "say ""hi"""  )", 2, R"((T = 'say "hi"'))"},
      {R"("O'Neil";B)", 2, "(T in ('O''Neil', 'B'))"},
      {R"("12")", 1, "(T = 12)"},
      {R"("01/02/2024")", 3, "(T = '2024-02-01')"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FilterInterval({"T"}, c.selection, {c.kind}, 0, false), c.expected) << c.selection;
  }
  for (const char* broken : {R"("open)", R"("a" b)", R"("a"..b)"}) {
    EXPECT_THROW(FilterInterval({"T"}, broken, {2}), Exception) << broken;
  }
}

TEST(FilterInterval, TheSelectionOfAValueSelectsExactlyThatValue) {
  // Values a database may hold, hostile ones first: each must come back as itself, alone.
  const std::string values[] = {
      " ", "000..999", "A,B", "..", "", "\"", "  x", "a;b..c,d", "\"q\"", "x\"", "123.456.789-09"};
  for (const std::string& value : values) {
    std::string literal = "'";
    for (const char c : value) literal += c == '\'' ? std::string("''") : std::string(1, c);
    EXPECT_EQ(FilterInterval({"T"}, SelectionOfValue(value), {2}, 0, false),
              "(T = " + literal + "')")
        << "[" << value << "]";
  }
  EXPECT_EQ(SelectionOfValue("123.456.789-09"), "123.456.789-09") << "plain values stay plain";
  EXPECT_EQ(SelectionOfValue("A,B"), R"("A,B")");
}

}  // namespace
}  // namespace nrw
