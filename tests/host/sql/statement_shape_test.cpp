// The statements of separated parts differ only in the value naming the part: they are rewritten
// once and prepared once, and what the host builds from rows they share is built once per snapshot.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "nrw/sql.h"
#include "nrwhost/database.h"
#include "sql/sql_run.h"
#include "sql/sql_shape.h"
#include "sql/sqlite_dialect.h"

namespace nrw {
namespace {

AdaptedSqlCache::Adapted Adapt(AdaptedSqlCache& cache, const std::string& sql, int& rewrites) {
  return cache.Adapt(sql, "1", [&] {
    ++rewrites;
    return AdaptSqlForSQLite(sql, SqlConversion::kOn, SqlLiterals::kLift);
  });
}

TEST(StatementShape, ServesTheRewriteOfAShapeWithTheStatementsOwnValues) {
  AdaptedSqlCache cache;
  int rewrites = 0;
  const auto first =
      Adapt(cache, "select a from T where b = 'x' and c = 7 order by 1, 2", rewrites);
  const auto second =
      Adapt(cache, "select a from T where b = 'O''Neil' and c = 12 order by 1, 2", rewrites);
  EXPECT_EQ(rewrites, 1);
  EXPECT_EQ(second.sql.text, first.sql.text);
  EXPECT_EQ(second.memo, first.memo) << "the index of one shape is read once";
  ASSERT_EQ(second.sql.lifted.size(), 2u);
  EXPECT_EQ(second.sql.lifted[0].AsString(), "O'Neil");
  EXPECT_EQ(second.sql.lifted[1].kind(), Variant::Kind::Integer);
  EXPECT_EQ(second.sql.lifted[1].AsInteger(), 12);

  // A literal left in the text (an ORDER BY position) must be the same for the rewrite to serve.
  const auto other_order =
      Adapt(cache, "select a from T where b = 'x' and c = 7 order by 2, 1", rewrites);
  EXPECT_EQ(rewrites, 2);
  EXPECT_NE(other_order.sql.text, first.sql.text);
  // A byte of the text that looks like a mark is not a literal's place.
  Adapt(cache, "select a from T where b = \x01 and c = 7 order by 1, 2", rewrites);
  EXPECT_EQ(rewrites, 3);
  EXPECT_NE(ShapeOfSql("select '\x01'").masked, ShapeOfSql("select \x01").masked);
}

TEST(StatementShape, HostStatementsBuildTheirObjectOncePerSnapshot) {
  const std::unique_ptr<TnConnection> connection = OpenSQLite(":memory:");
  connection->ExecuteScript("CREATE TABLE T (V INTEGER); INSERT INTO T VALUES (1), (2), (3);");
  const DefaultConnectionScope scope(*connection);
  int built = 0;
  const auto sum = [&] {
    return RunSqlDerived<int64_t>("select V from T where V >= :v", {Variant(int64_t{2})},
                                  [&](TnClientDataSet& rows) {
                                    ++built;
                                    int64_t total = 0;
                                    for (rows.First(); !rows.Eof(); rows.Next()) {
                                      total += rows.Fields(0).AsInteger();
                                    }
                                    return total;
                                  });
  };
  EXPECT_EQ(*sum(), 5);
  EXPECT_EQ(*sum(), 5);
  EXPECT_EQ(built, 2) << "outside a snapshot each asker builds its own";
  {
    ReadSnapshot snapshot(*connection);
    EXPECT_EQ(*sum(), 5);
    EXPECT_EQ(sum(), sum());
    EXPECT_EQ(built, 3);
  }
  // Rows answered again keep the order their readers asked for.
  ReadSnapshot snapshot(*connection);
  for (int run = 0; run < 3; ++run) {
    TDataSetRef rows = ExecutarSQL("select V from T order by V desc", true);
    rows->SetIndexFieldNames("V");
    rows->First();
    ASSERT_EQ(rows->RecordCount(), 3);
    EXPECT_EQ(rows->Fields(0).AsInteger(), 1) << run;
  }
}

}  // namespace
}  // namespace nrw
