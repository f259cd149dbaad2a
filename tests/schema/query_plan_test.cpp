// Every statement the modules send (as their golden traces record it) gets a linear plan on a
// database that nobody has analysed: the schema's shipped statistics make the planner choose as it
// would on a populated database. Plans are costed with those statistics (an office of 200
// companies); a plan that reads a multiple of its tables, or a statement run per printed row that
// reads more than a handful of rows, fails with its plan shown.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "nrw/sql.h"
#include "schema/plan_cost.h"
#include "schema/schema.h"
#include "support/fixture_db.h"
#include "support/paths.h"

namespace {

// A sound plan visits each row it reads a few times (lookups of every record of a beneficiary);
// a nested lookup by company visits hundreds of times more.
constexpr double kMaxVisitsPerRowRead = 50;
// A statement that runs once per printed row must not grow with the database.
constexpr double kMaxRowsPerPrintedRow = 1000;

struct TracedStatement {
  std::string sql;
  std::vector<nrw::Variant> values;
  //! Sent more than once for one print: it runs per printed row.
  bool per_row = false;
  std::string trace;
};

nrw::Variant ToVariant(const nlohmann::json& value) {
  if (value.is_number_integer()) return nrw::Variant(value.get<int64_t>());
  if (value.is_number()) return nrw::Variant(value.get<double>());
  if (value.is_string()) return nrw::Variant(value.get<std::string>());
  return nrw::Variant();
}

// Each distinct statement of every golden trace, with the values of its first run.
std::vector<TracedStatement> GoldenStatements() {
  std::vector<TracedStatement> statements;
  std::map<std::string, size_t> index;
  const std::filesystem::path root = support::SourcePath("tests");
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (entry.path().extension() != ".jsonl" || entry.path().parent_path().filename() != "golden") {
      continue;
    }
    std::ifstream in(entry.path());
    std::map<std::string, int> sent_in_print;
    for (std::string line; std::getline(in, line);) {
      const nlohmann::json event = nlohmann::json::parse(line);
      const std::string kind = event.value("ev", "");
      if (kind == "part") sent_in_print.clear();
      if (kind != "sql") continue;
      const std::string sql = event.at("sql").get<std::string>();
      auto [found, inserted] = index.emplace(sql, statements.size());
      if (inserted) {
        TracedStatement statement{
            sql, {}, false, std::filesystem::relative(entry.path(), root).string()};
        for (const nlohmann::json& value : event.at("values")) {
          statement.values.push_back(ToVariant(value));
        }
        statements.push_back(std::move(statement));
      }
      if (++sent_in_print[sql] > 1) statements[found->second].per_row = true;
    }
  }
  return statements;
}

support::PlanStats ShippedStats() {
  support::FixtureDb db;
  nrw::TDataSetRef rows = nrw::ExecutarSQL("select tbl, idx, stat from sqlite_stat1");
  support::PlanStats stats;
  for (rows->First(); !rows->Eof(); rows->Next()) {
    stats.Add(rows->Fields(0).AsString(), rows->Fields(1).AsString(), rows->Fields(2).AsString());
  }
  return stats;
}

support::PlanCost Cost(const TracedStatement& statement, const support::PlanStats& stats) {
  nrw::TDataSetRef plan = nrw::ExecutarSQL("EXPLAIN QUERY PLAN " + statement.sql, statement.values);
  std::vector<support::PlanRow> rows;
  for (plan->First(); !plan->Eof(); plan->Next()) {
    rows.push_back({static_cast<int>(plan->FieldByName("id").AsInteger()),
                    static_cast<int>(plan->FieldByName("parent").AsInteger()),
                    plan->FieldByName("detail").AsString()});
  }
  return support::EstimatePlan(rows, statement.sql, stats);
}

::testing::AssertionResult Linear(const TracedStatement& statement, const support::PlanCost& cost) {
  const double limit = statement.per_row ? kMaxRowsPerPrintedRow : kMaxVisitsPerRowRead * cost.read;
  if (cost.visited <= limit) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << statement.trace << (statement.per_row ? " (per printed row)" : "") << ": visits "
         << cost.visited << " rows, limit " << limit << "\n"
         << statement.sql << "\n"
         << cost.text;
}

TEST(QueryPlan, ModuleStatementsAreLinearWithoutAnalyze) {
  const support::PlanStats stats = ShippedStats();
  const std::vector<TracedStatement> statements = GoldenStatements();
  ASSERT_GT(statements.size(), 20u) << "no golden traces found";
  support::FixtureDb db;  // schema and shipped statistics, no rows, never analysed
  for (const TracedStatement& statement : statements) {
    EXPECT_TRUE(Linear(statement, Cost(statement, stats)));
  }
}

// The check itself: without the shipped statistics SQLite looks the latest contract up by company
// for every declaration row of the year, and the check must see it.
TEST(QueryPlan, CheckCatchesTheLookupByCompanyOfADatabaseWithoutStatistics) {
  const support::PlanStats stats = ShippedStats();
  support::FixtureDb db;
  db.Exec("DELETE FROM sqlite_stat1; ANALYZE sqlite_master;");
  size_t checked = 0;
  for (const TracedStatement& statement : GoldenStatements()) {
    if (statement.trace != "modules/income_statement/golden/demo_2023.jsonl" ||
        statement.sql.find("FC.UTILIZABREVIX") == std::string::npos) {
      continue;
    }
    EXPECT_FALSE(Linear(statement, Cost(statement, stats))) << statement.sql;
    ++checked;
  }
  EXPECT_EQ(checked, 1u);
}

// A table or index without a statistics row counts as a million rows: every one gets a row, so
// that the planner weighs them all by the same office.
TEST(QueryPlan, EveryTableAndIndexHasShippedStatistics) {
  support::FixtureDb db;
  nrw::TDataSetRef missing = nrw::ExecutarSQL(
      "select m.name from sqlite_master m where m.type = 'index' and not exists (select 1 from "
      "sqlite_stat1 s where s.idx = m.name) union all select t.name from sqlite_master t where "
      "t.type = 'table' and t.name not like 'sqlite_%' and not exists (select 1 from "
      "sqlite_stat1 s where s.tbl = t.name) order by 1");
  std::string names;
  for (missing->First(); !missing->Eof(); missing->Next()) {
    names += missing->Fields(0).AsString() + " ";
  }
  EXPECT_EQ(names, "");
}

}  // namespace
