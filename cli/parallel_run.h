// `nrw run --jobs N`: the parts of a split produced by N worker processes, each `nrw` itself with
// its own host and connection (the one-thread contract holds inside each). The run that starts them
// lists and asks every part as a single run does, and so does each worker, in the same database
// state (PostgreSQL: the parent's exported snapshot; SQLite: a read begun while the parent's read
// holds); the workers start as soon as that state is held, so that they list while the run does.
// Part n goes to worker (n - 1) % N + 1. Workers write their files under temporary names
// named after the parent and report each part as a JSON line on a pipe; the parent commits every
// file together with the manifest, or none. A worker dies with its parent (PR_SET_PDEATHSIG), and
// the first failure stops the others and names its part.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "nrwhost/session.h"

namespace nrw::cli {

//! What a worker is started with besides its own options.
struct WorkerLaunch {
  //! The worker's command line (after the program): the run's options and the worker's own.
  std::function<std::vector<std::string>(int index, int count)> arguments;
  int jobs = 2;
};

//! Starts the workers and answers the delegate of a parallel run (RunOptions::delegate), which
//! waits for their parts; progress goes to part_done. The workers are stopped when the delegate
//! goes, whether or not it was called.
PartDelegate ParallelParts(WorkerLaunch launch,
                           std::function<void(const PartResult&, size_t, size_t)> part_done);

//! A worker's report of a part, one JSON line.
std::string WorkerPartLine(const PartResult& part);
//! A worker's first line: the parts of the run as it listed them.
std::string WorkerPlanLine(size_t run_parts);
//! A worker's last line: done, or the error (and the part it was producing, 0 when none).
std::string WorkerEndLine(bool ok, const std::string& error, const std::string& detail,
                          size_t part);

}  // namespace nrw::cli
