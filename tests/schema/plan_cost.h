// What a query plan costs on a database of a given size: the rows an SQLite plan (EXPLAIN QUERY
// PLAN) visits, estimated from sqlite_stat1-style statistics. A plan that nests a broad lookup
// inside a loop over the year's rows costs a multiple of the tables it reads; a sound one does not.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace support {

//! Per index (and per table, under the table's name): the table's rows, then the rows that share
//! the first 1, 2, ... columns of the index.
struct PlanStats {
  std::map<std::string, std::vector<double>> by_index;
  std::map<std::string, std::string> index_table;
  std::map<std::string, double> table_rows;

  //! One sqlite_stat1 row; names are compared in upper case.
  void Add(const std::string& table, const std::string& index, const std::string& stat);
  //! Rows of the table; SQLite's own guess (a million) for a table without statistics.
  double TableRows(const std::string& table) const;
};

//! One row of EXPLAIN QUERY PLAN.
struct PlanRow {
  int id = 0;
  int parent = 0;
  std::string detail;
};

struct PlanCost {
  //! Rows visited by every loop, correlated subqueries counted once per row they run for.
  double visited = 0;
  //! Rows of the tables the plan reads, each table once.
  double read = 0;
  //! The plan drawn as text, for messages.
  std::string text;
};

//! Estimates the plan of sql (the statement as sent, for its table aliases).
PlanCost EstimatePlan(const std::vector<PlanRow>& rows, const std::string& sql,
                      const PlanStats& stats);

}  // namespace support
