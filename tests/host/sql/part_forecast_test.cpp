// The statements of the next parts, forecast from those the last part sent: its values replaced by
// each next part's wherever the statement holds them (a text literal, a value), and nothing else.
#include "sql/part_forecast.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nrw {
namespace {

TEST(PartForecast, ReplacesThePartsValuesInLiteralsAndValuesOnly) {
  const PartValues from = {Variant("015.487.923-14"), Variant(2), Variant("d'Ávila")};
  const PartValues to = {Variant("111.222.333-44"), Variant(7), Variant("Zé")};
  std::string sql =
      "select * from T where B = '015.487.923-14' and N = 'd''Ávila' and C = 2 "
      "-- '015.487.923-14'\n and \"015.487.923-14\" = 1 and X = 'x015.487.923-14'";
  std::vector<Variant> values = {Variant(2), Variant("015.487.923-14"), Variant("2"), Variant()};
  ASSERT_TRUE(ForecastStatement(from, to, sql, values));
  EXPECT_EQ(sql,
            "select * from T where B = '111.222.333-44' and N = 'Zé' and C = 2 "
            "-- '015.487.923-14'\n and \"015.487.923-14\" = 1 and X = 'x015.487.923-14'")
      << "numbers in the text, comments, quoted names and other literals stay";
  EXPECT_EQ(values,
            (std::vector<Variant>{Variant(7), Variant("111.222.333-44"), Variant("2"), Variant()}))
      << "a value is replaced only when it is one of the part's, of the same kind";

  std::string year_wide = "select * from T where A = :pAno and B = 'outro'";
  std::vector<Variant> year = {Variant(2023)};
  EXPECT_FALSE(ForecastStatement(from, to, year_wide, year)) << "it does not depend on the part";
  std::string same_company = "select * from E where C = :c";
  std::vector<Variant> company = {Variant(2)};
  EXPECT_FALSE(
      ForecastStatement(from, {Variant("x"), Variant(2), Variant("y")}, same_company, company))
      << "a value both parts share is no part's";
}

TEST(PartForecast, ForecastsBatchesFromTheLastPartThatSentAny) {
  PartForecast forecast;
  const auto part = [](const std::string& who) { return PartValues{Variant(who)}; };
  const auto sql = [](const std::string& who) { return "select * from T where B = '" + who + "'"; };
  EXPECT_TRUE(forecast.Begin({part("a"), part("b"), part("c")}).empty()) << "nothing sent yet";
  forecast.Record(sql("a"), SqlConversion::kOn, {Variant(2023)});
  forecast.Record("select * from U where A = :a", SqlConversion::kOn, {Variant(2023)});

  const std::vector<ForecastRun> runs = forecast.Begin({part("b"), part("c")});
  ASSERT_EQ(runs.size(), 2u) << "the statement that does not depend on the part is not forecast";
  EXPECT_EQ(runs[0].sql, sql("b"));
  EXPECT_EQ(runs[0].part, 0u);
  EXPECT_EQ(runs[1].sql, sql("c"));
  EXPECT_EQ(runs[1].part, 1u);
  EXPECT_EQ(runs[1].values, std::vector<Variant>{Variant(2023)});

  // b's statements are the model now; c was forecast with b, d is forecast as c begins.
  forecast.Record(sql("b"), SqlConversion::kOff, {Variant(2023)});
  std::vector<ForecastRun> next = forecast.Begin({part("c"), part("d")});
  ASSERT_EQ(next.size(), 1u);
  EXPECT_EQ(next[0].sql, sql("d"));
  EXPECT_EQ(next[0].conversion, SqlConversion::kOff);
  // c sent nothing: e is forecast from b's statements.
  next = forecast.Begin({part("d"), part("e")});
  ASSERT_EQ(next.size(), 1u);
  EXPECT_EQ(next[0].sql, sql("e"));

  // A long window: one batch, then nothing until half of it has begun.
  std::vector<PartValues> window;
  for (int i = 0; i < 40; ++i) window.push_back(part("p" + std::to_string(i)));
  forecast.Record(sql("d"), SqlConversion::kOn, {});
  size_t batches = 0, forecast_parts = 0;
  for (size_t begun = 0; begun < 20; ++begun) {
    const std::vector<ForecastRun> batch =
        forecast.Begin(std::vector<PartValues>(window.begin() + begun, window.end()));
    if (batch.empty()) continue;
    ++batches;
    forecast_parts += batch.size();
    EXPECT_LE(batch.size(), PartForecast::kPartsAhead);
    EXPECT_LE(batch.front().part, PartForecast::kPartsAhead / 2) << "sent before it is needed";
  }
  EXPECT_EQ(batches, 2u);
  EXPECT_GE(forecast_parts, 20u) << "every part begun was forecast";

  EXPECT_TRUE(forecast.Begin({}).empty());
  EXPECT_FALSE(forecast.Active()) << "the parts ended";
  forecast.Record(sql("z"), SqlConversion::kOn, {});
  EXPECT_TRUE(forecast.Begin({part("f"), part("g")}).empty()) << "a new run starts afresh";
}

}  // namespace
}  // namespace nrw
