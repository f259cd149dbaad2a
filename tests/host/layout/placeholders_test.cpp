#include "layout/placeholders.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

TEST(Placeholders, ValuesLiteralsAndGroupsShownOnlyWithAValue) {
  const std::map<std::string, std::string> values = {
      {"pc6", "(51)"}, {"pc7", "37143388"}, {"pc8", ""}, {"pc9", " "}, {"pc10", "a@b.br"}};
  const nrw::PlaceholderLookup lookup = [&values](std::string_view name) {
    const auto found = values.find(std::string(name));
    return found == values.end() ? std::string() : found->second;
  };
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"Fone: [pc6] [pc7]", "Fone: (51) 37143388"},
      {"[[pc6]] e [pc6", "[pc6]] e [pc6"},
      {"{Telefone: [pc6] [pc7]}{   Ramal: [pc9]}{   Fax: [pc8]}", "Telefone: (51) 37143388"},
      {"{Fax: [pc8]}{ E-mail: [pc10]}", " E-mail: a@b.br"},
      {"{fixo}", "fixo"},
      {"{externo {Fax: [pc8]}[pc10]}", "externo a@b.br"},
      {"{{literal}} {aberto", "{literal}} {aberto"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(nrw::ExpandPlaceholders(c.text, lookup), c.expected) << c.text;
}

}  // namespace
