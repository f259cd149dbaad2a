#include <gtest/gtest.h>

#include "data_fixture.h"
#include "nrw/core.h"

namespace nrw::test {
namespace {

std::unique_ptr<TnClientDataSet> Annex() {
  return MakeDataSet({{"ID", TFieldType::Integer},
                      {"EMP_CGCTE", TFieldType::Text},
                      {"NOME", TFieldType::Text},
                      {"VALOR", TFieldType::Float},
                      {"DATA", TFieldType::Date}},
                     {
                         {1, "1234567", "Ana", 10.5, "2024-01-10"},
                         {2, "0012", "O'Neil", 99.0, "2024-02-01"},
                         {3, "1234567", nullptr, nullptr, "2024-03-01"},
                         {4, "7654321", "Bia", 10.0, nullptr},
                         {5, "1234567", "ana", 250.75, "2024-02-15"},
                     });
}

TEST(DataSetFilter, SelectsTheMatchingRecords) {
  struct Case {
    const char* filter;
    Strings ids;
  };
  const std::vector<Case> cases = {
      {"ID = 2", {"2"}},
      {"id<>2", {"1", "3", "4", "5"}},
      {"VALOR >= 10.5", {"1", "2", "5"}},
      {"VALOR <> 10", {"1", "2", "5"}},  // null values satisfy no comparison
      {"VALOR < 11", {"1", "4"}},
      {"NOME = 'O''Neil'", {"2"}},
      {"NOME > 'Bia'", {"2", "5"}},
      {"EMP_CGCTE = 1234567", {"1", "3", "5"}},
      {"EMP_CGCTE = 0012", {"2"}},
      {"ID = 1 or ID = 4 OR ID = 5", {"1", "4", "5"}},
      {"not (ID = 1) and NOME is not null", {"2", "4", "5"}},
      {"NOME IS NULL or DATA is null", {"3", "4"}},
      {"DATA >= '2024-02-01' and DATA <= '29/02/2024'", {"2", "5"}},
      {"(ID < 3 or ID > 4) and not VALOR > 100", {"1", "2"}},
      {"ID = '3'", {"3"}},
      {"VALOR = 99", {"2"}},
      {"  ", {"1", "2", "3", "4", "5"}},
  };
  auto dataset = Annex();
  for (const Case& c : cases) {
    dataset->SetFiltered(false);
    dataset->SetFilter(c.filter);
    dataset->SetFiltered(true);
    EXPECT_EQ(Column(*dataset, "ID"), c.ids) << c.filter;
    EXPECT_EQ(dataset->RecordCount(), static_cast<int>(c.ids.size())) << c.filter;
  }
}

TEST(DataSetFilter, MalformedFiltersRaiseWhenFilteringStarts) {
  const std::vector<std::string> cases = {
      "ID =",          "ID = 1 and",   "(ID = 1", "ID == 1", "NADA = 1",
      "ID = 'abc'",    "NOME = 'open", "ID is 1", "ID 1",    "DATA = 'x'",
      "ID = 1 ID = 2", "ID = 1.2.3",   "= 1",
  };
  auto dataset = Annex();
  for (const std::string& text : cases) {
    dataset->SetFiltered(false);
    dataset->SetFilter(text);  // not compiled while filtering is off
    try {
      dataset->SetFiltered(true);
      ADD_FAILURE() << text << ": accepted";
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()), "Filtro inválido: " + text) << text;
    }
    EXPECT_FALSE(dataset->Filtered()) << text;
    EXPECT_EQ(dataset->RecordCount(), 5) << text;
  }

  dataset->SetFilter("ID > 3");
  dataset->SetFiltered(true);
  EXPECT_THROW(dataset->SetFilter("ID >"), Exception) << "set while filtered";
  EXPECT_EQ(dataset->Filter(), "ID > 3") << "the previous filter stays";
  EXPECT_EQ(dataset->RecordCount(), 2);
}

TEST(DataSetFilter, LongChainsAndDeepNestingNeitherOverflowTheStack) {
  auto dataset = Annex();
  // A flat chain of a million terms is one list, evaluated and freed without recursion.
  std::string chain = "ID = 4";
  chain.reserve(12'000'000);
  for (int i = 0; i < 1'000'000; ++i) chain += " or ID = 9";
  dataset->SetFilter(chain);
  dataset->SetFiltered(true);
  EXPECT_EQ(Column(*dataset, "ID"), Strings{"4"});
  dataset->SetFiltered(false);

  // Nesting is what recurses; past a depth no filter needs it is refused, with a short message.
  const std::string deep = std::string(100'000, '(') + "ID = 1" + std::string(100'000, ')');
  dataset->SetFilter(deep);
  try {
    dataset->SetFiltered(true);
    ADD_FAILURE() << "deep nesting accepted";
  } catch (const Exception& e) {
    EXPECT_LT(std::string(e.what()).size(), 300u);
  }
  const std::string nested = std::string(150, '(') + "ID = 1" + std::string(150, ')');
  dataset->SetFilter(nested);
  dataset->SetFiltered(true);
  EXPECT_EQ(Column(*dataset, "ID"), Strings{"1"});
}

TEST(DataSetFilter, CombinesWithIndexRangeAndFindKey) {
  auto dataset = Annex();
  dataset->SetIndexFieldNames("EMP_CGCTE;ID");
  dataset->SetFilter("NOME is not null");
  dataset->SetFiltered(true);
  ASSERT_TRUE(dataset->FindKey({"1234567"}));
  EXPECT_EQ(dataset->FieldByName("ID").AsInteger(), 1);
  EXPECT_FALSE(dataset->FindKey({"1234567", 3})) << "filtered-out records are not found";
  EXPECT_TRUE(dataset->FindKey({"1234567", 5}));
  EXPECT_EQ(dataset->RecNo(), 3);

  dataset->SetRange({"1234567"}, {"7654321"});
  EXPECT_EQ(Column(*dataset, "ID"), (Strings{"1", "5", "4"}));
  dataset->SetFiltered(false);
  EXPECT_EQ(Column(*dataset, "ID"), (Strings{"1", "3", "5", "4"})) << "the range stays";
  dataset->CancelRange();
  EXPECT_EQ(dataset->RecordCount(), 5);
}

}  // namespace
}  // namespace nrw::test
