#include "mail/journal.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

#include "mail/errors.h"
#include "mail/text.h"

namespace nrw::mail {
namespace {

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS owner (key TEXT PRIMARY KEY, value TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS deliveries ("
    " part INTEGER PRIMARY KEY,"
    " registration TEXT, name TEXT, address TEXT, file TEXT, sha256 TEXT, message_id TEXT,"
    " status TEXT NOT NULL CHECK (status IN ('sending', 'sent', 'failed-temporary',"
    " 'failed-permanent', 'skipped')),"
    " attempts INTEGER NOT NULL,"
    " time TEXT NOT NULL,"
    " reply TEXT, reason TEXT);";

constexpr const char* kColumns =
    "part, registration, name, address, file, sha256, message_id, status, attempts, time, reply, "
    "reason";

struct DatabaseClose {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StatementFinalize {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, DatabaseClose>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalize>;

DeliveryStatus StatusNamed(const std::string& name) {
  for (const DeliveryStatus status :
       {DeliveryStatus::kSending, DeliveryStatus::kSent, DeliveryStatus::kFailedTemporary,
        DeliveryStatus::kFailedPermanent, DeliveryStatus::kSkipped}) {
    if (name == StatusName(status)) return status;
  }
  return DeliveryStatus::kSending;
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
  const unsigned char* text = sqlite3_column_text(statement, column);
  return text == nullptr ? std::string() : reinterpret_cast<const char*>(text);
}

}  // namespace

const char* StatusName(DeliveryStatus status) {
  switch (status) {
    case DeliveryStatus::kSending:
      return "sending";
    case DeliveryStatus::kSent:
      return "sent";
    case DeliveryStatus::kFailedTemporary:
      return "failed-temporary";
    case DeliveryStatus::kFailedPermanent:
      return "failed-permanent";
    case DeliveryStatus::kSkipped:
      return "skipped";
  }
  return "skipped";
}

struct Journal::Impl {
  std::string path;
  Database db;
  Statement insert;
  Statement find;

  [[noreturn]] void Fail(const std::string& what) const {
    const std::string detail = db ? sqlite3_errmsg(db.get()) : "sem memória";
    throw Failure("Diário " + path + ": " + what + " (" + detail + ").");
  }

  void Execute(const char* sql, const char* what) {
    if (sqlite3_exec(db.get(), sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail(what);
  }

  Statement Prepare(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      Fail("não pôde ser lido");
    }
    return Statement(statement);
  }

  void Open(const std::string& target, int flags) {
    sqlite3* handle = nullptr;
    const int status = sqlite3_open_v2(target.c_str(), &handle, flags, nullptr);
    db.reset(handle);
    if (status != SQLITE_OK) Fail("não pôde ser aberto");
    sqlite3_extended_result_codes(db.get(), 1);
  }

  // The schema and the owner, in one transaction: BEGIN EXCLUSIVE is where a second sender finds
  // the journal taken.
  void Prepare(const std::string& schema_name, const JournalOwner& owner) {
    const int begun = sqlite3_exec(db.get(), "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    if (begun == SQLITE_BUSY || (begun & 0xFF) == SQLITE_BUSY) {
      throw InputError("O diário " + path + " está em uso por outro envio.");
    }
    if ((begun & 0xFF) == SQLITE_NOTADB) {
      throw InputError("Diário " + path + ": o arquivo não é um diário de envios.");
    }
    if (begun != SQLITE_OK) Fail("não pôde ser aberto");
    const int created = sqlite3_exec(db.get(), kSchema, nullptr, nullptr, nullptr);
    if ((created & 0xFF) == SQLITE_NOTADB) {
      throw InputError("Diário " + path + ": o arquivo não é um diário de envios.");
    }
    if (created != SQLITE_OK) Fail("não pôde ser criado");
    CheckOwner(schema_name, owner, true);
    Execute("COMMIT", "não pôde ser gravado");
  }

  void CheckOwner(const std::string& schema_name, const JournalOwner& owner, bool write) {
    const std::pair<const char*, const std::string*> keys[] = {
        {"module", &owner.module}, {"created", &owner.created}, {"output", &owner.output}};
    Statement read = Prepare("SELECT key, value FROM " + schema_name + ".owner");
    bool empty = true;
    while (sqlite3_step(read.get()) == SQLITE_ROW) {
      empty = false;
      const std::string key = ColumnText(read.get(), 0);
      const std::string value = ColumnText(read.get(), 1);
      for (const auto& [name, expected] : keys) {
        if (key == name && value != *expected) {
          throw InputError("O diário " + path + " registra os envios de outra geração dos " +
                           "documentos (" + key + " " + value +
                           "); use --diario com outro arquivo.");
        }
      }
    }
    if (!empty || !write) return;
    Statement insert = Prepare("INSERT INTO owner (key, value) VALUES (?, ?)");
    for (const auto& [name, value] : keys) {
      sqlite3_bind_text(insert.get(), 1, name, -1, SQLITE_STATIC);
      sqlite3_bind_text(insert.get(), 2, value->c_str(), -1, SQLITE_TRANSIENT);
      if (sqlite3_step(insert.get()) != SQLITE_DONE) Fail("não pôde ser gravado");
      sqlite3_reset(insert.get());
    }
  }

  void PrepareStatements() {
    insert = Prepare(std::string("INSERT OR REPLACE INTO deliveries (") + kColumns +
                     ") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    find = Prepare(std::string("SELECT ") + kColumns + " FROM deliveries WHERE part = ?");
  }

  static JournalEntry Read(sqlite3_stmt* statement) {
    JournalEntry entry;
    entry.part = sqlite3_column_int64(statement, 0);
    entry.registration = ColumnText(statement, 1);
    entry.name = ColumnText(statement, 2);
    entry.address = ColumnText(statement, 3);
    entry.file = ColumnText(statement, 4);
    entry.sha256 = ColumnText(statement, 5);
    entry.message_id = ColumnText(statement, 6);
    entry.status = StatusNamed(ColumnText(statement, 7));
    entry.attempts = sqlite3_column_int(statement, 8);
    entry.time = ColumnText(statement, 9);
    entry.reply = ColumnText(statement, 10);
    entry.reason = ColumnText(statement, 11);
    return entry;
  }
};

Journal::Journal(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Journal::~Journal() = default;

std::unique_ptr<Journal> Journal::Open(const std::string& path, const JournalOwner& owner) {
  auto impl = std::make_unique<Impl>();
  impl->path = path;
  // Addresses and registration numbers are nobody else's business: a new journal is the user's
  // alone (SQLite gives its log files the same mode).
  const int created =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (created >= 0) ::close(created);
  impl->Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW);
  // Held from the first write until closed; a write-ahead log makes each durable commit one sync.
  impl->Execute("PRAGMA locking_mode = EXCLUSIVE", "não pôde ser aberto");
  const int wal =
      sqlite3_exec(impl->db.get(), "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
  if ((wal & 0xFF) == SQLITE_BUSY) {
    throw InputError("O diário " + path + " está em uso por outro envio.");
  }
  if ((wal & 0xFF) == SQLITE_NOTADB) {
    throw InputError("Diário " + path + ": o arquivo não é um diário de envios.");
  }
  impl->Execute("PRAGMA synchronous = FULL", "não pôde ser aberto");
  impl->Prepare("main", owner);
  impl->PrepareStatements();
  return std::unique_ptr<Journal>(new Journal(std::move(impl)));
}

std::unique_ptr<Journal> Journal::Preview(const std::string& path, const JournalOwner& owner) {
  auto impl = std::make_unique<Impl>();
  impl->path = path;
  impl->Open(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  impl->Execute(kSchema, "não pôde ser criado");
  std::error_code error;
  if (std::filesystem::exists(path, error)) {
    Statement attach = impl->Prepare("ATTACH DATABASE ? AS disk");
    // Attached for reading only, but not opened read-only: a journal left by a killed sender has
    // its write-ahead log to take in first.
    sqlite3_bind_text(attach.get(), 1, path.c_str(), -1, SQLITE_TRANSIENT);
    const int attached = sqlite3_step(attach.get());
    attach.reset();
    const int copied =
        attached != SQLITE_DONE
            ? attached
            : sqlite3_exec(impl->db.get(),
                           "INSERT INTO main.deliveries SELECT * FROM disk.deliveries;"
                           "INSERT INTO main.owner SELECT * FROM disk.owner;",
                           nullptr, nullptr, nullptr);
    if ((copied & 0xFF) == SQLITE_BUSY || (copied & 0xFF) == SQLITE_LOCKED) {
      throw InputError("O diário " + path + " está em uso por outro envio.");
    }
    if ((copied & 0xFF) == SQLITE_NOTADB || (copied & 0xFF) == SQLITE_ERROR) {
      throw InputError("Diário " + path + ": o arquivo não é um diário de envios.");
    }
    if (copied != SQLITE_OK && copied != SQLITE_DONE) impl->Fail("não pôde ser lido");
    impl->Execute("DETACH DATABASE disk", "não pôde ser lido");
  }
  impl->CheckOwner("main", owner, true);
  impl->PrepareStatements();
  return std::unique_ptr<Journal>(new Journal(std::move(impl)));
}

std::optional<JournalEntry> Journal::Find(int64_t part) const {
  sqlite3_stmt* find = impl_->find.get();
  sqlite3_reset(find);
  sqlite3_bind_int64(find, 1, part);
  const int status = sqlite3_step(find);
  std::optional<JournalEntry> entry;
  if (status == SQLITE_ROW) {
    entry = Impl::Read(find);
  } else if (status != SQLITE_DONE) {
    impl_->Fail("não pôde ser lido");
  }
  sqlite3_reset(find);
  return entry;
}

void Journal::Record(JournalEntry& entry) {
  entry.time = IsoLocalTime(std::time(nullptr));
  sqlite3_stmt* insert = impl_->insert.get();
  sqlite3_reset(insert);
  const auto text = [insert](int column, const std::string& value) {
    sqlite3_bind_text(insert, column, value.c_str(), static_cast<int>(value.size()),
                      SQLITE_TRANSIENT);
  };
  sqlite3_bind_int64(insert, 1, entry.part);
  text(2, entry.registration);
  text(3, entry.name);
  text(4, entry.address);
  text(5, entry.file);
  text(6, entry.sha256);
  text(7, entry.message_id);
  sqlite3_bind_text(insert, 8, StatusName(entry.status), -1, SQLITE_STATIC);
  sqlite3_bind_int(insert, 9, entry.attempts);
  text(10, entry.time);
  text(11, entry.reply);
  text(12, entry.reason);
  if (sqlite3_step(insert) != SQLITE_DONE) impl_->Fail("não pôde ser gravado");
  sqlite3_reset(insert);
}

std::vector<JournalEntry> Journal::Entries() const {
  Statement all =
      impl_->Prepare(std::string("SELECT ") + kColumns + " FROM deliveries ORDER BY part");
  std::vector<JournalEntry> entries;
  while (sqlite3_step(all.get()) == SQLITE_ROW) entries.push_back(Impl::Read(all.get()));
  return entries;
}

}  // namespace nrw::mail
