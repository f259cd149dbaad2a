// The statement text as SQLite must receive it: named parameters numbered by distinct name, and
// the standard and escape forms SQLite lacks rewritten. Text inside literals, quoted names and
// comments is never changed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nrw {

struct AdaptedSql {
  //! The statement for sqlite3_prepare: ":name" became "?N".
  std::string text;
  //! Distinct parameter names in order of first appearance, as first written; "?N" is the Nth.
  std::vector<std::string> param_names;
};

//! Rewrites for SQLite: ":name" -> "?N" (names compared without regard to case);
//! EXTRACT(YEAR|MONTH|DAY FROM x) -> CAST(strftime(...) AS INTEGER);
//! {TIMESTAMPADD(unit, n, x)} -> the date n years, months or days after x; {fn f(...)} -> f(...);
//! {d 'text'}, {t 'text'}, {ts 'text'} -> 'text'.
AdaptedSql AdaptSqlForSQLite(std::string_view sql);

//! The rewritten text alone.
std::string AdaptarSQLite(const std::string& sql);

//! Distinct parameter names of the statement in order of first appearance, as first written.
std::vector<std::string> ScanSqlParamNames(std::string_view sql);

}  // namespace nrw
