// Application API: database connections. The nrw command and the tests open a database and make it
// the host's default connection, which every module statement without a connection of its own uses.
// Connections and statements are the host's own: they come from the factories below (OpenSQLite,
// OpenPostgreSQL, OpenConnection) and Prepare, and cannot be made or implemented outside the host.
// A connection and its statements belong to one thread at a time; the default connection is
// global state of the host, set from the thread that runs the reports.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "nrw/api.h"
#include "nrw/dataset.h"
#include "nrw/sql.h"
#include "nrw/variant.h"

namespace nrw {

//! Complete only inside the host: what makes the classes below impossible to derive from outside.
class ConnectionKey;
class StatementHost;
class ResultCache;
class ReadSnapshot;

//! A statement prepared on a connection, run as often as needed with new values.
class NRW_API TnPreparedStatement {
 public:
  virtual ~TnPreparedStatement();
  TnPreparedStatement(const TnPreparedStatement&) = delete;
  TnPreparedStatement& operator=(const TnPreparedStatement&) = delete;
  //! Distinct parameter names in order of first appearance, as written the first time.
  virtual const std::vector<std::string>& ParamNames() const = 0;
  //! Runs with one value per distinct name and answers the rows as an open dataset, in the order
  //! the database gave them (no index).
  TDataSetRef Open(const std::vector<Variant>& values);
  //! Runs a statement that returns no rows; answers the number of rows changed.
  virtual int64_t Execute(const std::vector<Variant>& values) = 0;

 protected:
  explicit TnPreparedStatement(const ConnectionKey&) {}

 private:
  friend class StatementHost;
  //! Runs with one value per distinct name and materialises the rows in the host's store.
  virtual std::shared_ptr<TnDataStore> Fetch(const std::vector<Variant>& values) = 0;
  //! The dataset index that the ORDER BY of sql, this statement's text, gives a result with these
  //! columns ("A;B"); a statement may keep the answer for others of its shape.
  virtual std::string IndexFields(const std::string& sql, const std::vector<std::string>& columns);
};

enum class OpenMode {
  //! The file is created when missing (demo databases, fixtures).
  ReadWrite,
  //! Report runs: nothing a module sends can change the database, and only queries are sent (a
  //! statement that is anything else is refused before it runs). On a server every transaction is
  //! read-only as well.
  ReadOnly,
};

//! The database behind a connection, for what differs beyond the statements (the schema script).
enum class TnDialect { kSQLite, kPostgreSQL };

//! A database connection. The host keeps one default connection, used when a module passes none.
class NRW_API TnConnection {
 public:
  virtual ~TnConnection();
  TnConnection(const TnConnection&) = delete;
  TnConnection& operator=(const TnConnection&) = delete;
  //! Which database this is; the embedded SQLite unless a connection says otherwise.
  virtual TnDialect Dialect() const;
  virtual std::unique_ptr<TnPreparedStatement> Prepare(const std::string& sql) = 0;
  //! Runs a script of statements without results (schema, demo data).
  virtual void ExecuteScript(const std::string& sql) = 0;
  //! Literal of a value in this database's dialect.
  virtual std::string Literal(const Variant& value) const = 0;
  //! The database's file, absolute; empty for a database without one (in memory, a server).
  virtual std::string FilePath() const;

  //! The host's default connection; nullptr while none is set.
  static TnConnection* Default();

 protected:
  explicit TnConnection(const ConnectionKey&);

 private:
  friend class DefaultConnectionScope;
  friend class ReadSnapshot;
  friend class StatementHost;
  static void SetDefault(TnConnection* connection);
  //! Starts the read transaction of a ReadSnapshot (imported: another process's snapshot id).
  virtual void BeginRead(const std::string& imported);
  //! The id another process imports to read the same state; empty where there is none.
  virtual std::string ExportRead();
  //! Ends the read transaction; errors are ignored (nothing was written).
  virtual void EndRead() noexcept;
  //! A separated part begins: parts[0] its values (the separators', then its listing row's), then
  //! those of the parts after it; an empty list when the parts end. A connection may send the
  //! statements it expects of them ahead. Nothing by default.
  virtual void PartsAhead(const std::vector<std::vector<Variant>>& parts);

  //! While a ReadSnapshot lives: the rows of statements already answered in it.
  std::shared_ptr<ResultCache> cache_;
};

//! Opens an embedded SQLite database file (":memory:" for a private one, read-write). The path is
//! always a file's name, never a URI ("file:x.db" is the file of that name). Raises UsageError
//! when the file is not a database, Exception when it cannot be opened.
NRW_API std::unique_ptr<TnConnection> OpenSQLite(const std::string& path,
                                                 OpenMode mode = OpenMode::ReadWrite);

//! Opens a PostgreSQL database from a URI ("postgresql://user@host:port/db") or a conninfo
//! ("host=... dbname=..."). The password comes from libpq's own sources (PGPASSWORD, ~/.pgpass):
//! a text that carries one is refused, and no message repeats the text. A text that is not a valid
//! address, or that carries a password, raises UsageError; a failed connection raises Exception
//! with a Portuguese message naming what failed (server refused or not found, database missing,
//! login refused), libpq's own words in its detail.
NRW_API std::unique_ptr<TnConnection> OpenPostgreSQL(const std::string& conninfo,
                                                     OpenMode mode = OpenMode::ReadWrite);

//! Whether the text names a PostgreSQL database rather than an SQLite file: a postgresql:// or
//! postgres:// URI, or a conninfo that libpq reads as one (keyword=value pairs, every keyword one
//! libpq knows). Anything else, "backup=2024.db" included, is a file name.
NRW_API bool IsPostgreSQLTarget(const std::string& target);

//! OpenPostgreSQL for a PostgreSQL target, else OpenSQLite.
NRW_API std::unique_ptr<TnConnection> OpenConnection(const std::string& target,
                                                     OpenMode mode = OpenMode::ReadWrite);

//! One state of the database for a whole command. While it lives, every statement on the
//! connection reads the state the database had when it began (SQLite: one read transaction, which
//! in rollback-journal mode also holds other desks' writes back until it ends; PostgreSQL: a
//! REPEATABLE READ READ ONLY transaction), and a statement sent again with the same text, values
//! and SQL conversion is answered from the rows read the first time, within a bounded memory.
//! The connection must outlive it; one at a time per connection.
class NRW_API ReadSnapshot {
 public:
  //! imported: an id that another process's ReadSnapshot::Export gave (its transaction still
  //! open): this one reads the same state. Raises Exception when the database refuses.
  explicit ReadSnapshot(TnConnection& connection, const std::string& imported = {});
  ~ReadSnapshot();
  ReadSnapshot(const ReadSnapshot&) = delete;
  ReadSnapshot& operator=(const ReadSnapshot&) = delete;

  //! An id that a worker process passes to its own ReadSnapshot to read this very state; empty
  //! where the database has no such thing (SQLite: a worker begins its own read, which sees the
  //! same state as long as nobody committed meanwhile).
  std::string Export();

 private:
  TnConnection& connection_;
};

//! Makes a connection the host's default for the scope's lifetime; the previous default comes back
//! afterwards. The connection is borrowed and must outlive the scope.
class NRW_API DefaultConnectionScope {
 public:
  explicit DefaultConnectionScope(TnConnection& connection);
  ~DefaultConnectionScope();
  DefaultConnectionScope(const DefaultConnectionScope&) = delete;
  DefaultConnectionScope& operator=(const DefaultConnectionScope&) = delete;

 private:
  TnConnection* previous_;
};

}  // namespace nrw
