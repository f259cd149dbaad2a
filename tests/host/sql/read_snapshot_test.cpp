// One state of the database per command: a read snapshot keeps another desk's committed change out,
// serves a statement sent again from the rows already read (the same rows, shared until a dataset
// changes its own), and keeps what it holds within its memory budget.
#include <gtest/gtest.h>

#include "data/data_store.h"
#include "nrw/sql.h"
#include "nrwhost/database.h"
#include "sql/result_cache.h"
#include "support/temp_dir.h"

namespace nrw {
namespace {

int64_t Count(TnConnection& connection) {
  const DefaultConnectionScope scope(connection);
  TDataSetRef rows = ExecutarSQL("select count(*) from T where V >= :v", {Variant(int64_t{0})});
  return rows->Fields(0).AsInteger();
}

TEST(ReadSnapshot, KeepsAnotherDesksChangeOutAndServesRepeatedStatementsFromItsRows) {
  support::TempDir dir;
  const std::string path = dir.File("banco.db");
  const std::unique_ptr<TnConnection> writer = OpenSQLite(path, OpenMode::ReadWrite);
  writer->ExecuteScript("CREATE TABLE T (V INTEGER); INSERT INTO T VALUES (1), (2);");
  const std::unique_ptr<TnConnection> reader = OpenSQLite(path, OpenMode::ReadOnly);
  {
    ReadSnapshot snapshot(*reader);
    EXPECT_EQ(snapshot.Export(), "") << "SQLite has no snapshot to hand to another process";
    EXPECT_EQ(Count(*reader), 2);
  }
  // In WAL mode a writer commits while the snapshot holds (in rollback mode it would wait).
  writer->ExecuteScript("PRAGMA journal_mode = WAL;");
  const std::unique_ptr<TnConnection> wal_reader = OpenSQLite(path, OpenMode::ReadOnly);
  ReadSnapshot snapshot(*wal_reader);
  EXPECT_EQ(Count(*wal_reader), 2);
  writer->ExecuteScript("INSERT INTO T VALUES (3);");
  EXPECT_EQ(Count(*writer), 3);
  EXPECT_EQ(Count(*wal_reader), 2) << "the snapshot's state, not the committed change";

  // The same text and values: the rows already read, shared; a dataset that changes its rows
  // changes a copy of its own.
  const DefaultConnectionScope scope(*wal_reader);
  TDataSetRef first = ExecutarSQL("select V from T order by V", true);
  TDataSetRef second = ExecutarSQL("select V from T order by V", true);
  second->EmptyDataSet();
  EXPECT_EQ(first->RecordCount(), 2);
  EXPECT_EQ(second->RecordCount(), 0);
  EXPECT_EQ(ExecutarSQL("select V from T order by V", true)->RecordCount(), 2);
  RefreshSQL(*second, {}, true);
  EXPECT_EQ(second->RecordCount(), 2);
}

TEST(ResultCache, KeepsItsBudgetDroppingTheLeastRecentlyUsed) {
  const auto store_of = [](size_t texts, size_t length) {
    TnDataStore::Column column;
    column.name = "T";
    TextArena arena;
    for (size_t i = 0; i < texts; ++i) {
      column.texts.push_back(arena.Add(std::string(length, 'x')));
      column.nulls.push_back(0);
    }
    return std::make_shared<TnDataStore>(std::vector<TnDataStore::Column>{std::move(column)}, texts,
                                         std::move(arena));
  };
  ResultCache cache;
  const size_t quarter = ResultCache::kBudgetBytes / 4;
  for (int i = 0; i < 6; ++i) {
    cache.Keep("k" + std::to_string(i), store_of(16, quarter / 20));
    EXPECT_EQ(cache.Find("k" + std::to_string(i)), nullptr) << "kept only when it runs again";
    cache.Keep("k" + std::to_string(i), store_of(16, quarter / 20));
    if (i == 3) cache.Find("k0");  // used again: not the oldest any more
  }
  EXPECT_LE(cache.Bytes(), ResultCache::kBudgetBytes);
  EXPECT_NE(cache.Find("k0"), nullptr);
  EXPECT_EQ(cache.Find("k1"), nullptr);
  EXPECT_NE(cache.Find("k5"), nullptr);
  const std::shared_ptr<TnDataStore> huge = store_of(1, ResultCache::kLargestBytes + 1);
  cache.Keep("huge", huge);
  cache.Keep("huge", huge);
  EXPECT_EQ(cache.Find("huge"), nullptr) << "a result larger than kLargestBytes is not kept";
  EXPECT_FALSE(huge->Frozen());
  EXPECT_TRUE(cache.Find("k5")->Frozen());
  EXPECT_NE(ResultCache::Key("s", {Variant(int64_t{1})}, SqlConversion::kOn),
            ResultCache::Key("s", {Variant(std::string("1"))}, SqlConversion::kOn))
      << "a value's kind is part of the key";
}

}  // namespace
}  // namespace nrw
