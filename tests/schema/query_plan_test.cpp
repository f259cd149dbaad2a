// Every statement the modules send (as their golden traces record it) gets a linear plan on a
// database that nobody has analysed: the schema's shipped statistics make the planner choose as it
// would on a populated database. Plans are costed with those statistics (an office of 200
// companies); a plan that reads a multiple of its tables, or a statement run per printed row that
// reads more than a handful of rows, fails with its plan shown. A statement of a separated part
// that names its part's value must read that value's rows only, not its company's year, through an
// index PostgreSQL can use as well.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "nrw/format.h"
#include "nrw/sql.h"
#include "nrw/util.h"
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
// A part's own rows: one beneficiary's records of a year and what they join (a company-year of
// the shipped statistics holds 300 records and 3,900 months, a year 60,000 and 780,000).
constexpr double kMaxRowsPerPart = 2000;

struct TracedStatement {
  std::string sql;
  std::vector<nrw::Variant> values;
  //! Sent more than once for one print: it runs per printed row.
  bool per_row = false;
  std::string trace;
  //! Sent within a separated part and naming one of its values: it reads that part's rows.
  bool per_part = false;
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
    std::vector<std::string> part_values;
    for (std::string line; std::getline(in, line);) {
      const nlohmann::json event = nlohmann::json::parse(line);
      const std::string kind = event.value("ev", "");
      if (kind == "part") {
        sent_in_print.clear();
        part_values.clear();
        for (const auto& [name, value] : event.at("values").items()) {
          part_values.push_back("'" + value.get<std::string>() + "'");
        }
      }
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
      for (const std::string& value : part_values) {
        if (sql.find(value) != std::string::npos) statements[found->second].per_part = true;
      }
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
  const double limit = statement.per_part  ? kMaxRowsPerPart
                       : statement.per_row ? kMaxRowsPerPrintedRow
                                           : kMaxVisitsPerRowRead * cost.read;
  if (cost.visited <= limit) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << statement.trace
         << (statement.per_part  ? " (per part)"
             : statement.per_row ? " (per printed row)"
                                 : "")
         << ": visits " << cost.visited << " rows, limit " << limit << "\n"
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

// The main dataset of a part of one beneficiary: the layout's statement restricted by the filter of
// registration numbers to one value, as each part of such a split opens it.
std::vector<TracedStatement> PartMainDatasets() {
  std::vector<TracedStatement> statements;
  for (const auto& entry : std::filesystem::directory_iterator(support::SourcePath("layouts"))) {
    if (entry.path().extension() != ".json") continue;
    std::ifstream in(entry.path());
    const nlohmann::json layout = nlohmann::json::parse(in);
    if (!layout.contains("dataset") || !layout["dataset"].contains("filters")) continue;
    const std::string sql = layout["dataset"]["sql"].get<std::string>();
    for (const nlohmann::json& filter : layout["dataset"]["filters"]) {
      const int kind = filter.at("kind").get<int>();
      if (kind != 2) continue;
      const std::string value = "123.456.789-09";
      std::vector<std::string> columns;
      for (const nlohmann::json& column : filter.at("columns")) columns.push_back(column);
      TracedStatement statement;
      statement.sql = sql;
      statement.sql.replace(sql.find("{filtros}"), 9,
                            nrw::FilterInterval(columns, value, {kind}, 0, true, 0));
      std::set<std::string> names;
      for (size_t at = statement.sql.find(':'); at != std::string::npos;
           at = statement.sql.find(':', at + 1)) {
        size_t end = at + 1;
        while (end < statement.sql.size() &&
               (std::isalnum(static_cast<unsigned char>(statement.sql[end])) != 0 ||
                statement.sql[end] == '_')) {
          ++end;
        }
        if (end > at + 1) names.insert(nrw::UpperCase(statement.sql.substr(at + 1, end - at - 1)));
      }
      statement.values.assign(names.size(), nrw::Variant(std::string("2023-01-01")));
      statement.per_part = true;
      statement.trace = entry.path().filename().string() + " filtered by " +
                        filter.at("param").get<std::string>();
      statements.push_back(std::move(statement));
    }
  }
  return statements;
}

TEST(QueryPlan, EachPartOfASplitReadsItsOwnRows) {
  const support::PlanStats stats = ShippedStats();
  std::vector<TracedStatement> statements = PartMainDatasets();
  size_t parts = 0;
  for (TracedStatement& statement : GoldenStatements()) {
    if (!statement.per_part) continue;
    ++parts;
    statements.push_back(std::move(statement));
  }
  ASSERT_GT(parts, 5u) << "no statement of a separated part in the golden traces";
  support::FixtureDb db;
  for (const TracedStatement& statement : statements) {
    const support::PlanCost cost = Cost(statement, stats);
    EXPECT_TRUE(Linear(statement, cost));
    // SQLite may skip over an index's leading column (ANY(...)); PostgreSQL cannot, and reads the
    // year's rows instead: a part finds its rows by an index that leads with what it knows.
    EXPECT_EQ(cost.text.find("ANY("), std::string::npos)
        << statement.trace << ": skips over a leading index column\n"
        << statement.sql << "\n"
        << cost.text;
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
