// The statement text as PostgreSQL must receive it: named parameters numbered "$N" by distinct
// name, and the standard and escape forms rewritten so that their results have the types SQLite's
// rewriting gives (EXTRACT an integer, TIMESTAMPADD a date). Literals, quoted names and comments
// are never changed.
#pragma once

#include <string>
#include <string_view>

#include "sql/sql_rewriter.h"

namespace nrw {

//! Rewrites for PostgreSQL: ":name" -> "$N" (names compared without regard to case);
//! EXTRACT(YEAR|MONTH|DAY FROM x) -> CAST(EXTRACT(unit FROM CAST(x AS DATE)) AS INTEGER);
//! {TIMESTAMPADD(unit, n, x)} -> the date n years, months or days after x; {fn f(...)} -> f(...);
//! {d 'text'}, {t 'text'}, {ts 'text'} -> 'text'.
AdaptedSql AdaptSqlForPostgreSQL(std::string_view sql);

}  // namespace nrw
