#include "sql/pg_read_ahead.h"

#include <utility>

#include "sql/pg_errors.h"
#include "sql/pg_wait.h"

namespace nrw {
namespace {

constexpr const char* kSavepoint = "SAVEPOINT nrw_adiante";
constexpr const char* kRelease = "RELEASE SAVEPOINT nrw_adiante";
constexpr const char* kBack = "ROLLBACK TO SAVEPOINT nrw_adiante; RELEASE SAVEPOINT nrw_adiante";

}  // namespace

void PgReadAhead::Send(const std::function<std::vector<std::string>()>& queue) {
  ++batch_;
  for (auto row = rows_.begin(); row != rows_.end();) {
    // Rows of a batch before the last one were forecast for parts already printed.
    row = row->second.batch + 1 < batch_ ? rows_.erase(row) : std::next(row);
  }
  if (PQpipelineStatus(conn_) == PQ_PIPELINE_OFF && PQenterPipelineMode(conn_) != 1) return;
  // Queued without blocking: the server may be held writing results nobody has read yet.
  if (PQsetnonblocking(conn_, 1) == 0) {
    const auto command = [this](const char* text) {
      return PQsendQueryParams(conn_, text, 0, nullptr, nullptr, nullptr, nullptr, 0) == 1;
    };
    if (command(kSavepoint)) {
      expected_.push_back({Due::kCommand, {}, batch_});
      for (std::string& key : queue()) {
        due_.insert(key);
        expected_.push_back({Due::kRows, std::move(key), batch_});
      }
      if (command(kRelease)) expected_.push_back({Due::kCommand, {}, batch_});
    }
    if (PQpipelineSync(conn_) == 1) expected_.push_back({Due::kSync, {}, batch_});
    PgFlush(conn_);
    PQsetnonblocking(conn_, 0);
  }
  if (expected_.empty()) PQexitPipelineMode(conn_);
}

bool PgReadAhead::Has(const std::string& key) const {
  return due_.count(key) != 0 || rows_.count(key) != 0;
}

void PgReadAhead::ReadNext() {
  Expected next = std::move(expected_.front());
  expected_.pop_front();
  if (next.kind == Due::kSync) {
    // No null follows a sync's result.
    const PgResult sync = PgNextResult(conn_);
    if (expected_.empty()) PQexitPipelineMode(conn_);
    return;
  }
  PgResult last;
  while (PgResult result = PgNextResult(conn_)) {
    last = std::move(result);
    if (PQstatus(conn_) != CONNECTION_OK) break;
  }
  const ExecStatusType status = last ? PQresultStatus(last.get()) : PGRES_FATAL_ERROR;
  if (status == PGRES_FATAL_ERROR) refused_ = true;
  if (next.kind != Due::kRows) return;
  due_.erase(next.key);
  if (status == PGRES_TUPLES_OK) rows_[std::move(next.key)] = {std::move(last), next.batch};
}

PgResult PgReadAhead::Take(const std::string& key) {
  auto found = rows_.find(key);
  if (found == rows_.end()) {
    if (due_.count(key) == 0) return nullptr;
    while (due_.count(key) != 0 && !expected_.empty()) ReadNext();
    found = rows_.find(key);
    if (found == rows_.end()) return nullptr;
  } else if (!expected_.empty()) {
    // Takes in what the server has written, so that it goes on with the runs due.
    PQconsumeInput(conn_);
  }
  PgResult rows = std::move(found->second.rows);
  rows_.erase(found);
  return rows;
}

void PgReadAhead::Settle() {
  while (!expected_.empty()) ReadNext();
  if (!refused_) return;
  refused_ = false;
  if (PQtransactionStatus(conn_) != PQTRANS_INERROR) return;
  const PgResult back = PgExec(conn_, kBack);
  if (!back || PQresultStatus(back.get()) != PGRES_COMMAND_OK)
    RaisePgError(conn_, back.get(), kBack);
}

void PgReadAhead::Drop() {
  Settle();
  rows_.clear();
}

}  // namespace nrw
