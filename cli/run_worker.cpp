#include "run_worker.h"

#include <unistd.h>

#include <chrono>
#include <iostream>

#include "database_scope.h"
#include "nrw/datetime.h"
#include "nrwhost/database.h"
#include "nrwhost/files.h"
#include "parallel_run.h"
#include "run_arguments.h"

namespace nrw::cli {
namespace {

void WriteLine(const std::string& line) {
  std::cout << line << '\n';
  std::cout.flush();
}

// A part's line goes to the parent at most every tenth of a second: a line per part woke the parent
// thousands of times a second, on a core the workers need.
class PartLines {
 public:
  void Write(const std::string& line) {
    std::cout << line << '\n';
    const auto now = std::chrono::steady_clock::now();
    if (now - flushed_ < std::chrono::milliseconds(100)) return;
    std::cout.flush();
    flushed_ = now;
  }

 private:
  std::chrono::steady_clock::time_point flushed_;
};

}  // namespace

std::vector<std::string> WorkerArguments(const CommonOptions& common, const RunCommand& command,
                                         const std::string& today, const std::string& snapshot,
                                         int index, int count) {
  std::vector<std::string> args;
  if (!common.modules_dir.empty()) args.insert(args.end(), {"--modules", common.modules_dir});
  if (!common.layouts_dir.empty()) args.insert(args.end(), {"--layouts", common.layouts_dir});
  args.insert(args.end(), {"run", command.module, "--db", command.db});
  for (const std::string& param : command.params) args.insert(args.end(), {"-p", param});
  for (const std::string& split : command.split) args.insert(args.end(), {"--split", split});
  args.insert(args.end(), {"--out", command.out});
  if (!command.format.empty()) args.insert(args.end(), {"--format", command.format});
  if (!command.password.empty()) args.insert(args.end(), {"--password", command.password});
  if (!command.archive.empty()) args.insert(args.end(), {"--archive", command.archive});
  if (command.usuario) args.insert(args.end(), {"--usuario", std::to_string(*command.usuario)});
  if (!command.shard.empty()) args.insert(args.end(), {"--shard", command.shard});
  args.insert(args.end(), {"--worker", std::to_string(index) + "/" + std::to_string(count),
                           "--worker-owner", std::to_string(getpid()), "--worker-today", today});
  if (!snapshot.empty()) args.insert(args.end(), {"--worker-snapshot", snapshot});
  // The hashes go to the parent's manifest: without one, nobody reads them.
  if (!command.manifest.empty()) args.push_back("--worker-hashes");
  return args;
}

int RunWorker(const CommonOptions& common, const RunCommand& command, RunOptions options) {
  try {
    options.worker = ParseShare(command.worker, "--worker");
    options.today = StrToDate(command.worker_today);
    options.worker_hashes = command.worker_hashes;
  } catch (const Exception& error) {
    return Failed(common, error.what(), "", kUsageError);
  }
  NameTemporaryFilesAfter(command.worker_owner, options.worker->index);
  PartLines lines;
  options.part_done = [&lines](const PartResult& part, size_t, size_t) {
    if (part.status != PartStatus::Refused) lines.Write(WorkerPartLine(part));
  };
  RunResult result;
  try {
    const OpenDatabase database(command.db, command.worker_snapshot);
    const CurrentUser user(command.usuario);
    result = RunReport(options);
  } catch (const Exception& error) {
    result.ok = false;
    result.error = error.what();
  }
  WriteLine(WorkerPlanLine(result.run_parts));
  WriteLine(WorkerEndLine(result.ok, result.error, result.detail, result.failed_part));
  return result.ok ? kOk : kFailed;
}

}  // namespace nrw::cli
