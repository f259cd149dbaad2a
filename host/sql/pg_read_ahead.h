// Host-internal: runs sent to the server ahead of being asked (PartForecast), in libpq's pipeline
// mode, their results read when asked, so that the server runs the next parts' statements while
// the client prints the current part. Each batch goes under a savepoint with a sync after it: a
// run the server refuses (a forecast the module would not have sent) aborts the rest of its
// batch, and the transaction is taken back to the savepoint once everything due has been read.
// While runs are due the connection takes no other command: Settle reads them all first.
#pragma once

#include <libpq-fe.h>

#include <deque>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "sql/pg_handles.h"

namespace nrw {

class PgReadAhead {
 public:
  explicit PgReadAhead(PGconn* conn) : conn_(conn) {}

  //! Sends one batch: queue queues the runs on the connection (already in pipeline mode) and
  //! answers the key of each one it queued, in order. Nothing waits for the server.
  void Send(const std::function<std::vector<std::string>()>& queue);
  //! Whether any run is due or read and not taken; whether the run of key is.
  bool Any() const { return !due_.empty() || !rows_.empty(); }
  bool Has(const std::string& key) const;
  //! The rows of the run of key, read from the server when they are due; null when none was sent
  //! for key or the server refused it. Each is taken once.
  PgResult Take(const std::string& key);
  //! Reads everything due and leaves pipeline mode, taking the transaction back to the savepoint
  //! when a run was refused: the connection can take any command after it.
  void Settle();
  //! Settles and forgets the rows not taken.
  void Drop();

 private:
  enum class Due { kRows, kCommand, kSync };
  struct Expected {
    Due kind;
    std::string key;
    size_t batch;
  };
  struct Read {
    PgResult rows;
    size_t batch;
  };
  //! Reads the results of the next expected command.
  void ReadNext();

  PGconn* conn_;
  std::deque<Expected> expected_;
  std::unordered_set<std::string> due_;
  std::unordered_map<std::string, Read> rows_;
  //! Batches sent, counted from 1.
  size_t batch_ = 0;
  bool refused_ = false;
};

}  // namespace nrw
