// Replays the statements of a run's trace through bare SQLite: each "sql" event is rewritten for
// SQLite as the host does, bound with the traced values and stepped to its end, every column of
// every row read once. A text is prepared once and run again with new values, as RefreshSQL does
// for a module (--prepare-each prepares every event anew). What it costs is the floor a module run
// is measured against.
//
//   trace_replay --db FILE --trace FILE [--prepare-each] [--explain]
//
// Prints the statements, rows and cells replayed and the CPU time they took (reading the trace not
// counted); --explain prints the plan of each distinct statement instead. The database is opened
// read-only.
#include <sqlite3.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "sql/sqlite_dialect.h"

namespace {

struct DbCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StmtFinalizer {
  void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

struct Statement {
  std::string sql;
  nlohmann::json values;
};

struct Totals {
  size_t statements = 0;
  size_t rows = 0;
  size_t cells = 0;
  size_t text_bytes = 0;
  //! Sum of the numbers read, so that reading them is not optimised away.
  double numbers = 0;
};

double UserSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec) / 1e6;
}

std::vector<Statement> ReadTrace(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::vector<Statement> statements;
  for (std::string line; std::getline(in, line);) {
    if (line.find("\"ev\":\"sql\"") == std::string::npos) continue;
    nlohmann::json event = nlohmann::json::parse(line);
    statements.push_back({event.at("sql").get<std::string>(), std::move(event.at("values"))});
  }
  return statements;
}

Stmt Prepare(sqlite3* db, const std::string& text) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, text.c_str(), static_cast<int>(text.size()), &raw, nullptr) !=
      SQLITE_OK) {
    throw std::runtime_error(std::string(sqlite3_errmsg(db)) + "\n" + text);
  }
  return Stmt(raw);
}

// Values as the host binds them: integers, reals, texts (dates are ISO texts already), nulls.
void Bind(sqlite3_stmt* stmt, const nlohmann::json& values) {
  int index = 1;
  for (const nlohmann::json& value : values) {
    if (value.is_number_integer()) {
      sqlite3_bind_int64(stmt, index, value.get<int64_t>());
    } else if (value.is_number()) {
      sqlite3_bind_double(stmt, index, value.get<double>());
    } else if (value.is_string()) {
      const std::string& text = value.get_ref<const std::string&>();
      sqlite3_bind_text64(stmt, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    } else {
      sqlite3_bind_null(stmt, index);
    }
    ++index;
  }
}

void Run(sqlite3* db, sqlite3_stmt* stmt, const nlohmann::json& values, Totals& totals) {
  Bind(stmt, values);
  const int columns = sqlite3_column_count(stmt);
  int rc = SQLITE_ROW;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    for (int c = 0; c < columns; ++c) {
      switch (sqlite3_column_type(stmt, c)) {
        case SQLITE_INTEGER:
          totals.numbers += static_cast<double>(sqlite3_column_int64(stmt, c));
          break;
        case SQLITE_FLOAT:
          totals.numbers += sqlite3_column_double(stmt, c);
          break;
        case SQLITE_NULL:
          break;
        default:
          sqlite3_column_text(stmt, c);
          totals.text_bytes += static_cast<size_t>(sqlite3_column_bytes(stmt, c));
          break;
      }
    }
    totals.cells += static_cast<size_t>(columns);
    ++totals.rows;
  }
  if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
  ++totals.statements;
}

// Prepared statements by text, as a module keeps them for RefreshSQL.
using StatementCache = std::unordered_map<std::string, Stmt>;

//! cache: nullptr to prepare the statement anew.
void Replay(sqlite3* db, const Statement& statement, StatementCache* cache, Totals& totals) {
  Stmt fresh;
  sqlite3_stmt* stmt = nullptr;
  if (cache != nullptr) {
    Stmt& cached = (*cache)[statement.sql];
    if (!cached) cached = Prepare(db, nrw::AdaptSqlForSQLite(statement.sql).text);
    stmt = cached.get();
  } else {
    fresh = Prepare(db, nrw::AdaptSqlForSQLite(statement.sql).text);
    stmt = fresh.get();
  }
  Run(db, stmt, statement.values, totals);
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
}

void Explain(sqlite3* db, const std::vector<Statement>& statements) {
  std::set<std::string> seen;
  for (const Statement& statement : statements) {
    if (!seen.insert(statement.sql).second) continue;
    const Stmt stmt =
        Prepare(db, "EXPLAIN QUERY PLAN " + nrw::AdaptSqlForSQLite(statement.sql).text);
    Bind(stmt.get(), statement.values);
    std::cout << statement.sql << "\n";
    std::vector<std::pair<int, int>> depth_of;  // (id, depth)
    while (sqlite3_step(stmt.get()) == SQLITE_ROW) {
      const int id = sqlite3_column_int(stmt.get(), 0);
      const int parent = sqlite3_column_int(stmt.get(), 1);
      int depth = 1;
      for (const auto& [known, known_depth] : depth_of) {
        if (known == parent) depth = known_depth + 1;
      }
      depth_of.emplace_back(id, depth);
      std::cout << std::string(static_cast<size_t>(depth) * 2, ' ')
                << reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 3)) << "\n";
    }
    std::cout << "\n";
  }
}

int Usage() {
  std::cerr << "usage: trace_replay --db FILE --trace FILE [--prepare-each] [--explain]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string db_path;
  std::string trace_path;
  bool explain = false;
  bool prepare_each = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--db" && i + 1 < argc) {
      db_path = argv[++i];
    } else if (arg == "--trace" && i + 1 < argc) {
      trace_path = argv[++i];
    } else if (arg == "--explain") {
      explain = true;
    } else if (arg == "--prepare-each") {
      prepare_each = true;
    } else {
      return Usage();
    }
  }
  if (db_path.empty() || trace_path.empty()) return Usage();
  try {
    const std::vector<Statement> statements = ReadTrace(trace_path);
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(db_path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const Db db(raw);
    if (rc != SQLITE_OK) throw std::runtime_error("cannot open " + db_path);
    if (explain) {
      Explain(db.get(), statements);
      return 0;
    }
    Totals totals;
    StatementCache cache;
    const double user_before = UserSeconds();
    const auto wall_before = std::chrono::steady_clock::now();
    for (const Statement& statement : statements) {
      Replay(db.get(), statement, prepare_each ? nullptr : &cache, totals);
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_before).count();
    std::printf(
        "statements %zu rows %zu cells %zu text_bytes %zu numbers %.2f user_s %.3f wall_s %.3f\n",
        totals.statements, totals.rows, totals.cells, totals.text_bytes, totals.numbers,
        UserSeconds() - user_before, wall);
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "trace_replay: " << error.what() << "\n";
    return 1;
  }
}
