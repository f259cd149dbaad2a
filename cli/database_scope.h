// What a command that runs reports holds for its length: the database, read-only, as the host's
// default connection, and the current user whose company rights restrict the reports.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "nrwhost/database.h"

namespace nrw::cli {

//! The database, read-only, as the host's default connection for the length of the command. On a
//! server the session is read-only, so that nothing a module sends can change the office's data
//! (and a read replica serves as well as the primary). On both databases the whole command reads
//! one snapshot (ReadSnapshot), so that a document, or the parts of a split, never mix the data
//! before and after another desk's change.
class OpenDatabase {
 public:
  //! imported: the snapshot of the process that started this one (workers of a run).
  explicit OpenDatabase(const std::string& target, const std::string& imported = {});
  ReadSnapshot& Snapshot() { return snapshot_; }

 private:
  std::unique_ptr<TnConnection> connection_;
  ReadSnapshot snapshot_;
  DefaultConnectionScope scope_;
};

//! The current user for the length of the command.
class CurrentUser {
 public:
  explicit CurrentUser(std::optional<int> user);
  ~CurrentUser();
  CurrentUser(const CurrentUser&) = delete;
  CurrentUser& operator=(const CurrentUser&) = delete;
};

}  // namespace nrw::cli
