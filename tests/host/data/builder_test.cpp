#include <fmt/format.h>
#include <gtest/gtest.h>

#include <string>

#include "data/text_arena.h"
#include "data_fixture.h"
#include "nrw/core.h"

namespace nrw::test {
namespace {

TEST(DataSetBuilder, UntypedColumnsAreDecidedFromTheirValues) {
  struct Case {
    const char* name;
    std::vector<Variant> values;
    TFieldType type;
    Strings texts;  // AsString of each row, "<null>" for null
  };
  const TDateTime jan31 = EncodeDate(2024, 1, 31);
  const std::vector<Case> cases = {
      {"integers and nulls", {1, nullptr, 3}, TFieldType::Integer, {"1", "<null>", "3"}},
      {"a float widens the integers", {1, 2.5}, TFieldType::Float, {"1", "2,5"}},
      {"iso date texts",
       {"2024-01-31", "2024-02-01 10:30:00", nullptr},
       TFieldType::Date,
       {"31/01/2024", "01/02/2024 10:30:00", "<null>"}},
      {"dates and iso texts",
       {jan31, "2024-02-29"},
       TFieldType::Date,
       {"31/01/2024", "29/02/2024"}},
      {"one text that is no date", {"2024-01-31", "abc"}, TFieldType::Text, {"2024-01-31", "abc"}},
      {"brazilian dates stay text", {"31/01/2024"}, TFieldType::Text, {"31/01/2024"}},
      {"impossible iso date stays text", {"2024-02-30"}, TFieldType::Text, {"2024-02-30"}},
      {"numbers among texts are rendered", {"x", 12, 12.5}, TFieldType::Text, {"x", "12", "12.5"}},
      {"only nulls", {nullptr, nullptr}, TFieldType::Text, {"<null>", "<null>"}},
  };
  for (const Case& c : cases) {
    std::vector<std::vector<Variant>> rows;
    for (const Variant& value : c.values) rows.push_back({value});
    auto dataset = MakeDataSet({{"V", std::nullopt}}, rows);
    EXPECT_EQ(dataset->FieldByName("V").DataType(), c.type) << c.name;
    EXPECT_EQ(Column(*dataset, "V"), c.texts) << c.name;
  }
}

TEST(DataSetBuilder, TypedColumnsConvertOrRefuse) {
  struct Case {
    const char* name;
    TFieldType type;
    Variant input;
    Variant expected;  // ignored when error is set
    const char* error;
  };
  const std::vector<Case> cases = {
      {"integral float on integer", TFieldType::Integer, 12.0, int64_t{12}, nullptr},
      {"digits on integer", TFieldType::Integer, " 42 ", int64_t{42}, nullptr},
      {"blank on integer is null", TFieldType::Integer, "  ", Variant(), nullptr},
      {"money never truncates", TFieldType::Integer, 12.5, Variant(),
       "Valor '12,5' inválido para o campo 'V'."},
      {"text on integer", TFieldType::Integer, "abc", Variant(),
       "Valor 'abc' inválido para o campo 'V'."},
      {"integer on float", TFieldType::Float, 3, 3.0, nullptr},
      {"comma text on float", TFieldType::Float, "1234,56", 1234.56, nullptr},
      {"iso text on date", TFieldType::Date, "2024-03-05", EncodeDate(2024, 3, 5), nullptr},
      {"brazilian text on date", TFieldType::Date, "05/03/2024", EncodeDate(2024, 3, 5), nullptr},
      {"not a date", TFieldType::Date, "2024-13-01", Variant(),
       "Valor '2024-13-01' inválido para o campo 'V'."},
      {"integer on text", TFieldType::Text, 7, "7", nullptr},
      {"date on text", TFieldType::Text, EncodeDate(2024, 3, 5), "2024-03-05", nullptr},
  };
  for (const Case& c : cases) {
    TnDataSetBuilder builder({{"V", c.type}});
    if (c.error != nullptr) {
      try {
        builder.Append(c.input);
        ADD_FAILURE() << c.name << ": no error";
      } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), c.error) << c.name;
      }
      continue;
    }
    builder.Append(c.input);
    builder.EndRow();
    const auto dataset = DataSetHost::Make(builder.Finish());
    EXPECT_EQ(dataset->Fields(0).DataType(), c.type) << c.name;
    EXPECT_EQ(dataset->Fields(0).Value(), c.expected) << c.name;
  }
}

TEST(DataSetBuilder, RowsMustHaveOneValuePerColumn) {
  TnDataSetBuilder builder({{"A", TFieldType::Integer}, {"B", std::nullopt}});
  builder.AppendInteger(1);
  EXPECT_THROW(builder.EndRow(), Exception) << "short row";
  EXPECT_THROW(builder.Finish(), Exception) << "finish with a pending row";
  builder.AppendText("x");
  builder.EndRow();
  builder.AppendInteger(2);
  builder.AppendNull();
  EXPECT_THROW(builder.AppendInteger(3), Exception) << "overfull row";
  builder.EndRow();

  const auto dataset = DataSetHost::Make(builder.Finish());
  EXPECT_EQ(dataset->RecordCount(), 2);
  EXPECT_EQ(dataset->FieldByName("B").DataType(), TFieldType::Text);

  const auto again = DataSetHost::Make(builder.Finish());
  EXPECT_EQ(again->RecordCount(), 0) << "the builder is empty after Finish";
  EXPECT_EQ(again->FieldCount(), 2) << "and keeps its fields";
}

// Texts live in blocks of the store's arena: short ones share a block, one longer than a block
// gets its own, and none moves or mixes with its neighbours.
TEST(TextArena, TextsStayIntactAcrossBlocks) {
  TextArena arena;
  std::vector<std::string> texts;
  for (size_t i = 0; i < 3000; ++i)
    texts.push_back(std::string(i % 97, static_cast<char>('a' + i % 26)));
  texts.push_back(std::string(200 * 1024, 'x'));
  texts.push_back("");
  texts.push_back("após o bloco grande");
  std::vector<std::string_view> views;
  for (const std::string& text : texts) views.push_back(arena.Add(text));
  for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(views[i], texts[i]) << i;
}

// A field read of its own type comes straight from the store; it must answer (or refuse) what
// the Variant conversions answer, for every column type, with and without a value.
TEST(DataSetBuilder, FieldReadsAgreeWithTheirValue) {
  const auto outcome = [](const auto& read) -> std::string {
    try {
      return fmt::format("{}", read());
    } catch (const Exception& error) {
      return std::string("erro: ") + error.what();
    }
  };
  auto dataset =
      MakeDataSet({{"I", TFieldType::Integer},
                   {"F", TFieldType::Float},
                   {"T", TFieldType::Text},
                   {"D", TFieldType::Date}},
                  {{int64_t{42}, 2.5, "31", EncodeDate(2024, 1, 31)},
                   {nullptr, nullptr, nullptr, nullptr},
                   {int64_t{-3}, 1234.5, "7,5", EncodeDateTime(2024, 2, 29, 10, 30, 0, 0)}});
  for (dataset->First(); !dataset->Eof(); dataset->Next()) {
    for (int i = 0; i < dataset->FieldCount(); ++i) {
      const TField& field = dataset->Fields(i);
      const Variant value = field.Value();
      const std::string where = field.FieldName() + " row " + std::to_string(dataset->RecNo());
      EXPECT_EQ(outcome([&] { return field.AsString(); }),
                outcome([&] { return value.AsString(); }))
          << where;
      EXPECT_EQ(outcome([&] { return field.AsInteger(); }),
                outcome([&] { return value.AsInteger(); }))
          << where;
      EXPECT_EQ(outcome([&] { return field.AsFloat(); }), outcome([&] { return value.AsFloat(); }))
          << where;
      EXPECT_EQ(outcome([&] { return field.AsDateTime().value; }),
                outcome([&] { return value.AsDate().value; }))
          << where;
    }
  }
}

}  // namespace
}  // namespace nrw::test
