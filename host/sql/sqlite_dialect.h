// The statement text as SQLite must receive it: named parameters numbered by distinct name, and
// the standard and escape forms SQLite lacks rewritten. Text inside literals, quoted names and
// comments is never changed.
#pragma once

#include <string>
#include <string_view>

#include "sql/sql_rewriter.h"

namespace nrw {

//! Rewrites for SQLite: ":name" -> "?N" (names compared without regard to case);
//! EXTRACT(YEAR|MONTH|DAY FROM x) -> CAST(strftime(...) AS INTEGER);
//! {TIMESTAMPADD(unit, n, x)} -> the date n years, months or days after x; {fn f(...)} -> f(...);
//! {d 'text'}, {t 'text'}, {ts 'text'} -> 'text'. With the conversion off only the parameters are
//! numbered. With SqlLiterals::kLift a query's literal operands become parameters too.
AdaptedSql AdaptSqlForSQLite(std::string_view sql, SqlConversion conversion = SqlConversion::kOn,
                             SqlLiterals literals = SqlLiterals::kKeep);

//! The rewritten text alone.
std::string AdaptarSQLite(const std::string& sql);

}  // namespace nrw
