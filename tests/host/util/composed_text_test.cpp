// Texts reach the page composed: marks typed apart from their letters join them, whatever their
// order, and what is composed already or is not UTF-8 stays as it is.
#include "util/composed_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ComposedText, MarksJoinTheirLetters) {
  const struct {
    const char* name;
    std::string text;
    std::string composed;
  } cases[] = {
      {"acute apart",
       "Jose\xCC\x81 Conceic\xCC\xA7"
       "a\xCC\x83o",
       "José Conceição"},
      {"two marks in either order",
       "a\xCC\xA3\xCC\x82|"
       "a\xCC\x82\xCC\xA3",
       "ậ|ậ"},
      {"a composed text", "São Paulo – Ação nº 1", "São Paulo – Ação nº 1"},
      {"ascii", "Total 1.234,56", "Total 1.234,56"},
      {"a singleton", "\xE2\x84\xAB", "Å"},
      {"hangul jamo", "\xE1\x84\x80\xE1\x85\xA1", "가"},
      {"not UTF-8", "Jose\xCC\x81\xFF", "Jose\xCC\x81\xFF"},
      {"empty", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(nrw::ComposedText(c.text), c.composed) << c.name;
}

}  // namespace
