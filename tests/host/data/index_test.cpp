#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "data_fixture.h"
#include "nrw/core.h"

namespace nrw::test {
namespace {

// Companies, registration numbers and codes, deliberately out of order and with duplicates.
std::unique_ptr<TnClientDataSet> Payments() {
  return MakeDataSet({{"EMPRESA", TFieldType::Integer},
                      {"CPF", TFieldType::Text},
                      {"CODIGO", TFieldType::Integer},
                      {"DATA", TFieldType::Date},
                      {"ID", TFieldType::Integer}},
                     {
                         {2, "222", 561, "2024-02-01", 1},
                         {1, "111", 588, "2024-01-15", 2},
                         {2, "111", 561, "2024-03-01", 3},
                         {1, "111", 561, "2024-01-10", 4},
                         {3, "333", 1708, "2024-01-10", 5},
                         {1, "111", 561, "2024-02-10", 6},
                         {2, "222", 3208, nullptr, 7},
                     });
}

TEST(DataSetIndex, SortsNullsFirstTextsByBytesAndIsStable) {
  auto dataset = MakeDataSet(
      {{"NOME", TFieldType::Text}, {"DATA", TFieldType::Date}, {"ID", TFieldType::Integer}},
      {{"b", "2024-05-01", 1},
       {"a", "2023-12-31", 2},
       {nullptr, "2024-01-01", 3},
       {"B", nullptr, 4},
       {"á", "2024-05-01", 5},
       {"a", "2024-01-01", 6}});
  dataset->SetIndexFieldNames("NOME");
  EXPECT_EQ(Column(*dataset, "ID"), (Strings{"3", "4", "2", "6", "1", "5"}))
      << "null, upper case, ties in row order, then bytes above ASCII";
  dataset->SetIndexFieldNames("DATA;ID");
  EXPECT_EQ(Column(*dataset, "ID"), (Strings{"4", "2", "3", "6", "1", "5"})) << "dates by value";
  dataset->SetIndexFieldNames("");
  EXPECT_EQ(Column(*dataset, "ID"), (Strings{"1", "2", "3", "4", "5", "6"})) << "store order";
}

TEST(DataSetIndex, SortAgreesWithAStableSortOfTheRows) {
  // Texts sharing long prefixes, negative and signed-zero floats and nulls stress the sort's
  // compact codes; the reference is a plain stable sort on the values.
  const std::vector<Variant> texts = {nullptr,
                                      "",
                                      "a",
                                      "abcdefgh",
                                      "abcdefghijklmnop",
                                      "abcdefghijklmnopB",
                                      "abcdefghijklmnopA",
                                      std::string("ab\0", 3),
                                      "\xc3\xa1"};
  const std::vector<Variant> reals = {nullptr, -2.5, -0.0, 0.0, 1e300, -1e300, 3.0};
  std::mt19937 random(11);
  struct Row {
    Variant text, real;
    int64_t code, id;
  };
  std::vector<Row> rows;
  std::vector<std::vector<Variant>> values;
  for (int i = 0; i < 2000; ++i) {
    Row row{texts[random() % texts.size()], reals[random() % reals.size()],
            static_cast<int64_t>(random() % 7) - 3, i};
    values.push_back({row.text, row.real, row.code, row.id});
    rows.push_back(std::move(row));
  }
  auto dataset = MakeDataSet({{"T", TFieldType::Text},
                              {"R", TFieldType::Float},
                              {"C", TFieldType::Integer},
                              {"ID", TFieldType::Integer}},
                             values);
  const auto cmp_text = [](const Variant& a, const Variant& b) {
    if (a.IsNull() || b.IsNull()) return int(b.IsNull()) - int(a.IsNull());
    const int c = a.AsString().compare(b.AsString());
    return (c > 0) - (c < 0);
  };
  const auto cmp_real = [](const Variant& a, const Variant& b) {
    if (a.IsNull() || b.IsNull()) return int(b.IsNull()) - int(a.IsNull());
    return (a.AsFloat() > b.AsFloat()) - (a.AsFloat() < b.AsFloat());
  };
  const auto cmp_code = [](int64_t a, int64_t b) { return (a > b) - (a < b); };
  struct Case {
    const char* index;
    std::function<int(const Row&, const Row&)> compare;
  };
  const std::vector<Case> cases = {
      {"T;R;C",
       [&](const Row& a, const Row& b) {
         if (int c = cmp_text(a.text, b.text)) return c;
         if (int c = cmp_real(a.real, b.real)) return c;
         return cmp_code(a.code, b.code);
       }},
      {"R;T",
       [&](const Row& a, const Row& b) {
         if (int c = cmp_real(a.real, b.real)) return c;
         return cmp_text(a.text, b.text);
       }},
      {"C;R",
       [&](const Row& a, const Row& b) {
         if (int c = cmp_code(a.code, b.code)) return c;
         return cmp_real(a.real, b.real);
       }},
  };
  for (const Case& c : cases) {
    std::vector<Row> expected = rows;
    std::stable_sort(expected.begin(), expected.end(),
                     [&](const Row& a, const Row& b) { return c.compare(a, b) < 0; });
    Strings ids;
    for (const Row& row : expected) ids.push_back(std::to_string(row.id));
    dataset->SetIndexFieldNames(c.index);
    EXPECT_EQ(Column(*dataset, "ID"), ids) << c.index;
    dataset->Last();
    const int64_t last_id = dataset->FieldByName("ID").AsInteger();
    dataset->SetIndexFieldNames("ID");
    dataset->SetIndexFieldNames(c.index);
    EXPECT_EQ(dataset->FieldByName("ID").AsInteger(), last_id)
        << c.index << ": changing the index keeps the current record";
  }
}

TEST(DataSetIndex, NamesAreCaseInsensitiveAndMustExist) {
  auto dataset = Payments();
  dataset->SetIndexFieldNames(" empresa ; Cpf;codigo ");
  EXPECT_EQ(Column(*dataset, "ID"), (Strings{"4", "6", "2", "3", "1", "7", "5"}));
  try {
    dataset->SetIndexFieldNames("EMPRESA;NADA");
    ADD_FAILURE() << "unknown field accepted";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Campo 'NADA' não encontrado.");
  }
  EXPECT_EQ(Column(*dataset, "ID"), (Strings{"4", "6", "2", "3", "1", "7", "5"}))
      << "a refused index leaves the order alone";
}

TEST(DataSetIndex, FindKeyOnPrefixesAndTypedKeys) {
  struct Case {
    const char* name;
    std::vector<Variant> key;
    int found_id;  // 0: not found
  };
  const std::vector<Case> cases = {
      {"first of duplicates", {1, "111", 561}, 4},
      {"one-field prefix", {2}, 3},
      {"two-field prefix", {2, "222"}, 1},
      {"text key on integer field", {"3"}, 5},
      {"integral float key", {1.0, "111", 588.0}, 2},
      {"non-integral float key", {1, "111", 561.5}, 0},
      {"number key on text field", {1, 111}, 4},
      {"key that does not convert", {"abc"}, 0},
      {"missing key", {2, "999"}, 0},
      {"empty key", {}, 4},
  };
  auto dataset = Payments();
  dataset->SetIndexFieldNames("EMPRESA;CPF;CODIGO");
  for (const Case& c : cases) {
    dataset->Last();
    const int before = dataset->RecNo();
    const bool found = dataset->FindKey(c.key);
    EXPECT_EQ(found, c.found_id != 0) << c.name;
    if (found) {
      EXPECT_EQ(dataset->FieldByName("ID").AsInteger(), c.found_id) << c.name;
    } else {
      EXPECT_EQ(dataset->RecNo(), before) << c.name << ": the cursor must not move";
    }
  }
  EXPECT_THROW(dataset->FindKey({1, "111", 561, 4}), Exception) << "more values than fields";
}

TEST(DataSetIndex, FindKeyOnDates) {
  auto dataset = Payments();
  dataset->SetIndexFieldNames("DATA;ID");
  ASSERT_TRUE(dataset->FindKey({EncodeDate(2024, 1, 10)}));
  EXPECT_EQ(dataset->FieldByName("ID").AsInteger(), 4);
  ASSERT_TRUE(dataset->FindKey({"2024-02-01"}));
  EXPECT_EQ(dataset->FieldByName("ID").AsInteger(), 1);
  ASSERT_TRUE(dataset->FindKey({"15/01/2024"}));
  EXPECT_EQ(dataset->FieldByName("ID").AsInteger(), 2);
  EXPECT_FALSE(dataset->FindKey({"2024-01-11"}));
  ASSERT_TRUE(dataset->FindKey({nullptr})) << "a null key finds the null dates";
  EXPECT_EQ(dataset->FieldByName("ID").AsInteger(), 7);
}

TEST(DataSetIndex, FindKeyAgreesWithALinearSearch) {
  std::mt19937 random(7);
  std::vector<std::vector<Variant>> rows;
  for (int i = 0; i < 3000; ++i) {
    rows.push_back({static_cast<int>(random() % 40), std::to_string(random() % 25),
                    static_cast<int>(random() % 5), i});
  }
  auto dataset = MakeDataSet({{"E", TFieldType::Integer},
                              {"C", TFieldType::Text},
                              {"K", TFieldType::Integer},
                              {"ID", TFieldType::Integer}},
                             rows);
  dataset->SetIndexFieldNames("E;C;K");
  for (int probe = 0; probe < 400; ++probe) {
    const int e = static_cast<int>(random() % 42);
    const std::string cpf = std::to_string(random() % 26);
    const int k = static_cast<int>(random() % 6);
    // The first match in index order is the match with the lowest row id.
    int expected = -1;
    for (int i = 0; i < 3000 && expected < 0; ++i) {
      if (rows[i][0] == Variant(e) && rows[i][1] == Variant(cpf) && rows[i][2] == Variant(k)) {
        expected = i;
      }
    }
    ASSERT_EQ(dataset->FindKey({e, cpf, k}), expected >= 0) << e << "/" << cpf << "/" << k;
    if (expected >= 0) {
      EXPECT_EQ(dataset->FieldByName("ID").AsInteger(), expected);
    }
  }
}

TEST(DataSetRange, RestrictsTheViewAndCancelKeepsTheRecord) {
  auto dataset = Payments();
  dataset->SetIndexFieldNames("EMPRESA;CPF;CODIGO");
  dataset->SetRange({1, "111"}, {1, "111"});
  EXPECT_TRUE(dataset->HasRange());
  EXPECT_EQ(dataset->RecordCount(), 3);
  EXPECT_EQ(dataset->RecNo(), 1);
  EXPECT_EQ(Column(*dataset, "ID"), (Strings{"4", "6", "2"}));
  EXPECT_FALSE(dataset->FindKey({2})) << "FindKey searches inside the range";

  dataset->SetRange({2}, {3});
  EXPECT_EQ(Column(*dataset, "ID"), (Strings{"3", "1", "7", "5"})) << "bounds are inclusive";
  dataset->SetRange({1, "111", 562}, {2, "222", 561});
  EXPECT_EQ(Column(*dataset, "ID"), (Strings{"2", "3", "1"})) << "full-key bounds";

  dataset->SetRecNo(2);
  dataset->CancelRange();
  EXPECT_FALSE(dataset->HasRange());
  EXPECT_EQ(dataset->RecordCount(), 7);
  EXPECT_EQ(dataset->FieldByName("ID").AsInteger(), 3) << "the current record is kept";
  EXPECT_EQ(dataset->RecNo(), 4);
}

TEST(DataSetRange, EmptyRanges) {
  struct Case {
    const char* name;
    std::vector<Variant> start, end;
  };
  const std::vector<Case> cases = {
      {"no such company", {9}, {9}},
      {"start above end", {3}, {1}},
      {"bound that does not convert", {"x"}, {"y"}},
  };
  auto dataset = Payments();
  dataset->SetIndexFieldNames("EMPRESA;CPF");
  for (const Case& c : cases) {
    dataset->SetRange(c.start, c.end);
    EXPECT_EQ(dataset->RecordCount(), 0) << c.name;
    EXPECT_TRUE(dataset->IsEmpty()) << c.name;
    EXPECT_TRUE(dataset->Eof()) << c.name;
    EXPECT_TRUE(dataset->Bof()) << c.name;
    EXPECT_EQ(dataset->RecNo(), 0) << c.name;
    EXPECT_TRUE(dataset->FieldByName("ID").IsNull()) << c.name;
    dataset->CancelRange();
  }

  auto empty = MakeDataSet({{"A", TFieldType::Integer}}, {});
  empty->SetIndexFieldNames("A");
  empty->SetRange({1}, {2});
  EXPECT_TRUE(empty->Eof());
  EXPECT_FALSE(empty->FindKey({1}));
  empty->CancelRange();
  EXPECT_EQ(empty->RecordCount(), 0);
}

TEST(DataSetIndex, AppendedRecordsJoinTheIndexOrder) {
  auto dataset = Payments();
  dataset->SetIndexFieldNames("EMPRESA;CPF;CODIGO");
  dataset->AppendRecord({1, "000", 1, nullptr, 8});
  EXPECT_EQ(dataset->FieldByName("ID").AsInteger(), 8) << "the cursor follows the new record";
  EXPECT_EQ(dataset->RecNo(), 1);
  dataset->AppendRecord({"2", "222", "561", "2024-05-05", "9"});
  EXPECT_EQ(Column(*dataset, "ID"), (Strings{"8", "4", "6", "2", "3", "1", "9", "7", "5"}));
  EXPECT_THROW(dataset->AppendRecord({1, "1", 1.5, nullptr, 10}), Exception);
  EXPECT_EQ(dataset->RecordCount(), 9) << "a refused record adds nothing";
}

}  // namespace
}  // namespace nrw::test
