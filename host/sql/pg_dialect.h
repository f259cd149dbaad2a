// The statement text as PostgreSQL must receive it: named parameters numbered "$N" by distinct
// name, the standard and escape forms rewritten so that their results have the types SQLite's
// rewriting gives (EXTRACT an integer, TIMESTAMPADD a date), and ORDER BY made to order as SQLite
// does: nulls as the smallest values, and rows that tie in the order SQLite's plans deliver them.
// Literals, quoted names and comments are never changed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sql/sql_rewriter.h"

namespace nrw {

//! A table of the top-level FROM, with the name the statement gives it.
struct PgFromTable {
  std::string table;
  std::string alias;
};

//! What breaks the ties of the statement's top-level ORDER BY the way SQLite does. SQLite hands a
//! sort its rows in the order of its loops: a table's rows in primary-key order, groups in the
//! order of the GROUP BY, a UNION in the order of all its columns; PostgreSQL's sort keeps no
//! order of its own.
struct PgTieBreak {
  //! Tables whose primary keys, in this order, end the ORDER BY (a plain SELECT).
  std::vector<PgFromTable> tables;
  //! Items that end it (every output position after a UNION; the GROUP BY items).
  std::vector<std::string> items;
};
PgTieBreak PgTieBreakOf(std::string_view sql);

//! Rewrites for PostgreSQL: ":name" -> "$N" (names compared without regard to case);
//! EXTRACT(YEAR|MONTH|DAY FROM x) -> CAST(EXTRACT(unit FROM CAST(x AS DATE)) AS INTEGER);
//! {TIMESTAMPADD(unit, n, x)} -> the date n years, months or days after x; {fn f(...)} -> f(...);
//! {d 'text'}, {t 'text'}, {ts 'text'} -> 'text'; each ORDER BY item without NULLS gets NULLS
//! FIRST (DESC: NULLS LAST); the tie-breaking items ("A.X") end the top-level ORDER BY. With the
//! conversion off the escape forms and EXTRACT and TIMESTAMPADD are left as written; the ORDER BY
//! still orders as SQLite does, which is how the host runs a statement, not a conversion of it.
AdaptedSql AdaptSqlForPostgreSQL(std::string_view sql,
                                 const std::vector<std::string>& tie_break_items = {},
                                 SqlConversion conversion = SqlConversion::kOn,
                                 SqlLiterals literals = SqlLiterals::kKeep);

}  // namespace nrw
