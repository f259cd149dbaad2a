#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "nrw/datetime.h"
#include "nrwhost/database.h"
#include "sql/pg_dialect.h"
#include "sql/pg_rows.h"
#include "sql/query_check.h"
#include "sql/sql_order_index.h"
#include "sql/sqlite_dialect.h"

namespace nrw {
namespace {

struct RewriteCase {
  const char* name;
  const char* sql;
  const char* expected;
};

TEST(SqliteDialect, RewritesOnlyOutsideLiteralsAndComments) {
  const RewriteCase cases[] = {
      {"mixed-case names are one parameter",
       "select 1 where a = :pAnoBase and b = :PANOBASE or c = :pANOBASE and d = :pAnoBase2",
       "select 1 where a = ?1 and b = ?1 or c = ?1 and d = ?2"},
      {"colons inside literals and quoted names stay",
       "select ':pX', '10:30', \"a:b\" from T where h = :pHora",
       "select ':pX', '10:30', \"a:b\" from T where h = ?1"},
      {"escaped apostrophe does not end the literal", "select 'it''s :p' || :q",
       "select 'it''s :p' || ?1"},
      {"comments are not rewritten", "select 1 -- :pA EXTRACT(YEAR FROM x)\n/* :pB */ + :pC",
       "select 1 -- :pA EXTRACT(YEAR FROM x)\n/* :pB */ + ?1"},
      {"double colon is not a parameter", "select x::text, :p", "select x::text, ?1"},
      {"extract year", "where EXTRACT(YEAR FROM S.DATAFIMSOCIO) > 2023",
       "where CAST(strftime('%Y', S.DATAFIMSOCIO) AS INTEGER) > 2023"},
      {"extract lower case, blanks and nested parentheses",
       "and(extract ( year  from coalesce(Inf.DataPgto, (select max(D) from T)) ) = :pAnoBase2)",
       "and(CAST(strftime('%Y', coalesce(Inf.DataPgto, (select max(D) from T))) AS INTEGER) = "
       "?1)"},
      {"extract month and day", "EXTRACT(MONTH FROM d), Extract(Day From d)",
       "CAST(strftime('%m', d) AS INTEGER), CAST(strftime('%d', d) AS INTEGER)"},
      {"extract inside a literal stays", "select 'EXTRACT(YEAR FROM x)'",
       "select 'EXTRACT(YEAR FROM x)'"},
      {"timestampadd year in an escape", "FCS.DATAADM < {TIMESTAMPADD(YEAR, 1, D.ANOBASE)})",
       "FCS.DATAADM < min(date(D.ANOBASE, (1) || ' years'), date(D.ANOBASE, 'start of month', "
       "(1) || ' years', '+1 month', '-1 day')))"},
      {"timestampadd day with a parameter and sql_tsi unit",
       "{ timestampadd ( SQL_TSI_DAY , :pDias , x ) }", "date(x, (?1) || ' days')"},
      {"fn escape", "select {fn UCASE(nome)} from T", "select UCASE(nome) from T"},
      {"date escape", "where d = {d '2024-01-31'}", "where d = '2024-01-31'"},
      {"unknown extract unit is left to the database", "EXTRACT(EPOCH FROM x)",
       "EXTRACT(EPOCH FROM x)"},
  };
  for (const RewriteCase& c : cases) {
    EXPECT_EQ(AdaptarSQLite(c.sql), c.expected) << c.name;
  }
}

TEST(SqliteDialect, ParamNamesAsFirstWrittenInOrderOfAppearance) {
  const AdaptedSql adapted = AdaptSqlForSQLite(
      "where :pDataInicial <= d and d <= :pDataFinal and :PDATAINICIAL <> '' and ':pOutro' <> e");
  EXPECT_EQ(adapted.param_names, (std::vector<std::string>{"pDataInicial", "pDataFinal"}));
  EXPECT_EQ(ScanSqlParamNames("select 1"), std::vector<std::string>{});
}

// A query's comparison operands and short IN lists become parameters after the named ones, so that
// the statements of separated parts share one prepared text; what could change meaning stays.
TEST(SqliteDialect, LiftsOnlyLiteralsThatStandAloneAsOperands) {
  struct LiftCase {
    const char* name;
    const char* sql;
    const char* expected;
    std::vector<Variant> lifted;
  };
  const LiftCase cases[] = {
      {"a part's selection",
       "select * from T I where I.ANOBASE = :pAno and (I.BENEF = 'O''Neil')",
       "select * from T I where I.ANOBASE = ?1 and (I.BENEF = ?2)",
       {Variant("O'Neil")}},
      {"comparisons and in lists, numbers of an order stay",
       "select a from T where c in (1, 2) and m <> 13 join U on U.x >= 5 order by 1, 2",
       "select a from T where c in (?1, ?2) and m <> ?3 join U on U.x >= ?4 order by 1, 2",
       {Variant(1), Variant(2), Variant(13), Variant(5)}},
      {"operands that are not the literal alone stay",
       "select a from T where x = 'a' || y and z = -1 and w = 2.5 and v = 'b' collate nocase "
       "and u in (1, :p)",
       "select a from T where x = 'a' || y and z = -1 and w = 2.5 and v = 'b' collate nocase "
       "and u in (1, ?1)",
       {}},
      {"select list, like and between stay",
       "select 'x', 1 from T where n like 'a%' and d between '2025' and '2026' limit 10",
       "select 'x', 1 from T where n like 'a%' and d between '2025' and '2026' limit 10",
       {}},
      {"only queries", "update T set a = 'x' where b = 1", "update T set a = 'x' where b = 1", {}},
      {"a result column is named after its text: select lists stay",
       "select a = 5, (select max(b) from T where c = 'x') from U where d = 1 and e in (select f "
       "from V where g = 2)",
       "select a = 5, (select max(b) from T where c = 'x') from U where d = ?1 and e in (select f "
       "from V where g = ?2)",
       {Variant(1), Variant(2)}},
  };
  for (const LiftCase& c : cases) {
    const AdaptedSql adapted = AdaptSqlForSQLite(c.sql, SqlConversion::kOn, SqlLiterals::kLift);
    EXPECT_EQ(adapted.text, c.expected) << c.name;
    ASSERT_EQ(adapted.lifted.size(), c.lifted.size()) << c.name;
    for (size_t i = 0; i < c.lifted.size(); ++i) {
      EXPECT_EQ(adapted.lifted[i].kind(), c.lifted[i].kind()) << c.name << " " << i;
      EXPECT_EQ(adapted.lifted[i].AsString(), c.lifted[i].AsString()) << c.name << " " << i;
    }
  }
}

// The same walk as SQLite's; only what PostgreSQL spells differently, typed as SQLite's gives it.
TEST(PgDialect, RewritesOnlyOutsideLiteralsAndComments) {
  const RewriteCase cases[] = {
      {"mixed-case names are one parameter", "where a = :pAno and b = :PANO or c = :pAno2",
       "where a = $1 and b = $1 or c = $2"},
      {"literals, quoted names, comments and casts stay",
       "select ':pX', \"a:b\", x::text -- :pA\n/* :pB */ from T where h = :pHora",
       "select ':pX', \"a:b\", x::text -- :pA\n/* :pB */ from T where h = $1"},
      {"extract is an integer of a date", "and(extract(year from Inf.DataPgto) = :pAnoBase2)",
       "and(CAST(EXTRACT(YEAR FROM CAST(Inf.DataPgto AS DATE)) AS INTEGER) = $1)"},
      {"timestampadd year in an escape", "FCS.DATAADM < {TIMESTAMPADD(YEAR, 1, D.ANOBASE)})",
       "FCS.DATAADM < CAST(CAST(D.ANOBASE AS DATE) + CAST(1 AS INTEGER) * INTERVAL '1 year' AS "
       "DATE))"},
      {"timestampadd month and day with parameters",
       "{fn TIMESTAMPADD(SQL_TSI_MONTH, :pMeses, x)}, { timestampadd ( DAY , :pDias , :pData ) }",
       "CAST(CAST(x AS DATE) + CAST($1 AS INTEGER) * INTERVAL '1 month' AS DATE), "
       "(CAST($3 AS DATE) + CAST($2 AS INTEGER))"},
      {"escapes unwrapped", "select {fn UCASE(nome)} from T where d = {d '2024-01-31'}",
       "select UCASE(nome) from T where d = '2024-01-31'"},
      {"units the database knows are left to it", "EXTRACT(EPOCH FROM x)", "EXTRACT(EPOCH FROM x)"},
  };
  for (const RewriteCase& c : cases) {
    EXPECT_EQ(AdaptSqlForPostgreSQL(c.sql).text, c.expected) << c.name;
  }
}

// ORDER BY as SQLite orders: nulls smallest, and ties as SQLite's loops deliver them.
TEST(PgDialect, OrderByOrdersAsSQLite) {
  EXPECT_EQ(AdaptSqlForPostgreSQL("select a from T order by a, b desc, c nulls last limit 5",
                                  {"T.K1", "T.K2"})
                .text,
            "select a from T order by a NULLS FIRST, b desc NULLS LAST, c nulls last, T.K1 NULLS "
            "FIRST, T.K2 NULLS FIRST limit 5");
  EXPECT_EQ(AdaptSqlForPostgreSQL("select row_number() over (partition by x order by y) from T "
                                  "where z in (select w from U order by 1) order by 1 ;")
                .text,
            "select row_number() over (partition by x order by y NULLS FIRST) from T where z in "
            "(select w from U order by 1 NULLS FIRST) order by 1 NULLS FIRST ;");

  struct Case {
    const char* name;
    const char* sql;
    std::vector<std::pair<std::string, std::string>> tables;
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {"tables of the FROM in order, with their names in the statement",
       "select I.DESCRICAO from INFORMERENDIMENTOISENTO I JOIN DIRFREG2 D ON D.X = I.X left outer "
       "join nrw.ESTAB as E on E.Y = (select max(Y) from Z) , SOCIO where 1 = 1 order by 1",
       {{"INFORMERENDIMENTOISENTO", "I"}, {"DIRFREG2", "D"}, {"ESTAB", "E"}, {"SOCIO", "SOCIO"}},
       {}},
      {"a subquery in the FROM has no key",
       "select * from (select 1 as A) S join T on 1 = 1 "
       "order by 1",
       {{"T", "T"}},
       {}},
      {"groups in the order of the GROUP BY",
       "select D.A, sum(D.V) from DIRFREG2 D group by D.A, coalesce(D.B, 0) order by 2",
       {},
       {"D.A", "coalesce(D.B, 0)"}},
      {"a UNION by every output position",
       "select a, (select max(b) from U) from T union select c, d from V order by 1",
       {},
       {"1", "2"}},
      {"nothing without an ORDER BY", "select a from T", {}, {}},
      {"nothing for DISTINCT", "select distinct a from T order by a", {}, {}},
      {"nothing for an aggregate without groups", "select count(*) from T order by 1", {}, {}},
      {"nothing for a UNION of stars", "select * from T union select * from U order by 1", {}, {}},
      {"nothing for a GROUP BY the dialect rewrites",
       "select 1 from T group by EXTRACT(YEAR FROM d) order by 1",
       {},
       {}},
  };
  for (const Case& c : cases) {
    const PgTieBreak tie_break = PgTieBreakOf(c.sql);
    std::vector<std::pair<std::string, std::string>> tables;
    for (const PgFromTable& table : tie_break.tables) tables.emplace_back(table.table, table.alias);
    EXPECT_EQ(tables, c.tables) << c.name;
    EXPECT_EQ(tie_break.items, c.items) << c.name;
  }
}

TEST(DatabaseTarget, PostgreSQLByTheFormOfTheText) {
  const std::pair<const char*, bool> cases[] = {
      {"postgresql://nrw@servidor:5432/escritorio", true},
      {"postgres://servidor/escritorio", true},
      {"host=servidor dbname=escritorio", true},
      {"  dbname = escritorio", true},
      {"/var/dados/escritorio.db", false},
      {"escritorio.db", false},
      {"./a=b.db", false},
      {":memory:", false},
      {"", false},
      // libpq reads no such keyword: a file whose name has "=" in it.
      {"backup=2024.db", false},
      {"host=servidor nao_existe=1", false},
      {"file:uri.db", false},
      {"dbname=escritorio", true},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(IsPostgreSQLTarget(text), expected) << text;
}

TEST(QueryCheck, OnlyQueriesPass) {
  const std::pair<const char*, const char*> cases[] = {
      {"select 1", ""},
      {"  -- a comment first\n  SELECT * from T", ""},
      {"with x as (select 1) select * from x", ""},
      {"((select 1))", ""},
      {"values (1)", ""},
      {"table T", ""},
      {"select 'lo_export(1)', \"copy\" from T", ""},
      {"select lo_exporter(1)", ""},
      {"copy (select 1) to '/tmp/x'", "COPY"},
      {"do $$ begin perform 1; end $$", "DO"},
      {"call p()", "CALL"},
      {"set role postgres", "SET"},
      {"vacuum into '/tmp/x'", "VACUUM"},
      {"attach 'x.db' as x", "ATTACH"},
      {"pragma writable_schema = 1", "PRAGMA"},
      {"begin", "BEGIN"},
      {"insert into T values (1)", "INSERT"},
      {"explain analyze delete from T", "EXPLAIN"},
      {"'select'", "'SELECT'"},
      {"select lo_export(1, '/tmp/x')", "lo_export"},
      {"select pg_catalog.LO_IMPORT('/etc/passwd')", "LO_IMPORT"},
      {"select \"pg_read_file\"('/etc/passwd')", "pg_read_file"},
      {"select set_config('default_transaction_read_only', 'off', false)", "set_config"},
  };
  for (const auto& [sql, refused] : cases) {
    std::string what;
    try {
      RequireQuery(sql);
    } catch (const NotAQuery& error) {
      what = error.What();
    }
    EXPECT_EQ(what, refused) << sql;
  }
}

TEST(PgRows, DatesAndTimestampsAsTheServerWritesThem) {
  EXPECT_EQ(ParsePgDate("2024-02-29"), EncodeDate(2024, 2, 29));
  EXPECT_EQ(ParsePgDate("2024-02-29 10:30:15"), EncodeDateTime(2024, 2, 29, 10, 30, 15, 0));
  // Microseconds beyond the millisecond and the zone of a timestamptz are dropped.
  EXPECT_EQ(ParsePgDate("2024-02-29 10:30:15.123456-03"),
            EncodeDateTime(2024, 2, 29, 10, 30, 15, 123));
  EXPECT_EQ(ParsePgDate("2024-02-29 10:30:15+05:30"), EncodeDateTime(2024, 2, 29, 10, 30, 15, 0));
  for (const char* none : {"infinity", "-infinity", "0044-03-15 BC", ""}) {
    EXPECT_FALSE(ParsePgDate(none)) << none;
  }
}

struct IndexCase {
  const char* name;
  const char* sql;
  std::vector<std::string> columns;
  const char* expected;
};

TEST(OrderByIndex, LeadingColumnsOfTheLastTopLevelOrderBy) {
  const std::vector<std::string> abc = {"CODIGOEMPRESA", "ANOBASE", "INSCRFEDERALBENEF", "VALOR"};
  const IndexCase cases[] = {
      {"names with alias", "select ... order by I.CODIGOEMPRESA ,I.ANOBASE ,I.INSCRFEDERALBENEF ",
       abc, "CODIGOEMPRESA;ANOBASE;INSCRFEDERALBENEF"},
      {"positions", "select ... ORDER BY 1,2,3", abc, "CODIGOEMPRESA;ANOBASE;INSCRFEDERALBENEF"},
      {"after a union", "select a from x union select b from y ORDER BY 1, 4, 2", abc,
       "CODIGOEMPRESA;VALOR;ANOBASE"},
      {"descending item ends the index", "select ... order by 1, 2 desc, 3", abc, "CODIGOEMPRESA"},
      {"asc is fine, collate ends", "select ... order by anobase asc, 1 collate nocase", abc,
       "ANOBASE"},
      {"expression ends the index", "select ... order by 1, upper(ANOBASE), 3", abc,
       "CODIGOEMPRESA"},
      {"unknown name ends the index", "select ... order by 1, NOME, 3", abc, "CODIGOEMPRESA"},
      {"position out of range ends the index", "select ... order by 1, 9", abc, "CODIGOEMPRESA"},
      {"order by inside a subquery only", "select * from (select x from t order by x) T_T", abc,
       ""},
      {"outer order by wins over inner",
       "select distinct T_T.ANOBASE from ( select ... order by 1, 4, 5) T_T  order by T_T.ANOBASE",
       {"ANOBASE"},
       "ANOBASE"},
      {"order by in a literal is ignored", "select 'order by 1' from t", abc, ""},
      {"limit ends the list", "select ... order by 2 limit 10", abc, "ANOBASE"},
      {"quoted name", "select ... order by \"Valor\"", abc, "VALOR"},
      {"duplicate column name by position stops",
       "select S.INSCRFEDERAL, F.INSCRFEDERAL from ... order by 2, 1",
       {"INSCRFEDERAL", "INSCRFEDERAL"},
       ""},
      {"no order by", "select * from t", abc, ""},
  };
  for (const IndexCase& c : cases) {
    EXPECT_EQ(IndexFieldsFromOrderBy(c.sql, c.columns), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace nrw
