// The runs of the web users: each a `nrw run` child (at most `jobs` at once, a queue behind it)
// with a time and a memory limit, its progress read from the child's progress stream, its files
// under <data>/<user>/<run id>/, its record kept beside them for the user's history. A run that
// crashes or is killed fails with a message; the server goes on.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "child_process.h"

namespace nrw::server {

enum class RunState { Queued, Running, Done, Failed, Cancelled };
const char* RunStateName(RunState state);

struct RunRequest {
  std::string user;
  int usuario = 0;
  std::string module;
  std::vector<std::pair<std::string, std::string>> params;
  std::vector<std::string> split;
  //! "pdf", "html", "text", "xlsx" or "csv".
  std::string format = "pdf";
  std::string password;
  bool archive = false;
};

//! What a client sees of a run.
struct RunView {
  std::string id;
  std::string user;
  std::string module;
  RunState state = RunState::Queued;
  size_t done = 0;
  size_t total = 0;
  std::vector<std::string> messages;
  std::string error;
  std::string format;
  std::vector<std::string> split;
  int64_t created = 0;
  int64_t finished = 0;
  //! Changes each time the run changes (for server-sent events).
  uint64_t version = 0;
};

//! One file a run made, as the manifest lists it.
struct RunFile {
  //! 1-based, in the manifest's order (archival copies after the parts).
  size_t index = 0;
  std::string name;
  std::string path;
  uint64_t bytes = 0;
  std::string format;
  bool is_protected = false;
  bool archive = false;
  std::string sha256;
  std::vector<std::pair<std::string, std::string>> values;
};

struct RunLimits {
  int jobs = 2;
  std::chrono::seconds time_limit{600};
  uint64_t memory_limit = 0;
  std::chrono::hours keep{24 * 7};
};

class RunManager {
 public:
  //! program: nrw's path with the options before the subcommand (--modules ...); db as given to
  //! the children. Loads the finished runs kept under data_dir and starts the workers.
  RunManager(std::vector<std::string> program, std::string db, std::string data_dir,
             RunLimits limits);
  ~RunManager();
  RunManager(const RunManager&) = delete;
  RunManager& operator=(const RunManager&) = delete;

  //! Queues the run; answers its id.
  std::string Submit(RunRequest request);
  //! The run, only when it is the user's.
  std::optional<RunView> Find(const std::string& user, const std::string& id) const;
  //! The user's runs, newest first.
  std::vector<RunView> List(const std::string& user) const;
  //! Cancels a queued or running run of the user; false when there is no such run.
  bool Cancel(const std::string& user, const std::string& id);
  //! Waits until the run changes past version or timeout passes; answers the run as it is then.
  std::optional<RunView> WaitChange(const std::string& user, const std::string& id,
                                    uint64_t version, std::chrono::milliseconds timeout) const;
  //! The files of a finished run of the user (empty when it has none or is not the user's).
  std::vector<RunFile> Files(const std::string& user, const std::string& id) const;
  //! A ZIP of the run's files (archival copies under "arquivo/"), made on first request and kept
  //! beside them; nullopt when the run is not the user's, not done, or has no files.
  std::optional<std::string> Zip(const std::string& user, const std::string& id);
  //! Removes the runs finished more than the keep time ago, with their files.
  void RemoveExpired();

 private:
  struct Run;
  void Work();
  void Execute(const std::shared_ptr<Run>& run);
  void Finish(const std::shared_ptr<Run>& run, RunState state, std::string error);
  std::shared_ptr<Run> Lookup(const std::string& user, const std::string& id) const;
  void LoadKept();

  std::vector<std::string> program_;
  std::string db_;
  std::string data_dir_;
  RunLimits limits_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::condition_variable queued_;
  std::map<std::string, std::shared_ptr<Run>> runs_;
  std::deque<std::shared_ptr<Run>> queue_;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
  //! One ZIP made at a time.
  std::mutex zip_mutex_;
};

}  // namespace nrw::server
