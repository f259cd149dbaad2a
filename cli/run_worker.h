// A worker of a parallel run (nrw run --jobs N): the parent starts nrw itself once per worker with
// the same run and hidden options that say which share of the parts is its own.
#pragma once

#include <string>
#include <vector>

#include "commands.h"

namespace nrw::cli {

//! The arguments (after the program) of worker index of count: the same run, plus which worker
//! it is, the run's pid and date, and the database snapshot to read (empty: none).
std::vector<std::string> WorkerArguments(const CommonOptions& common, const RunCommand& command,
                                         const std::string& today, const std::string& snapshot,
                                         int index, int count);

//! A worker: its share of the parts, each reported on stdout as it is done, its files left for the
//! run that started it to put in place. options are the run's, checked.
int RunWorker(const CommonOptions& common, const RunCommand& command, RunOptions options);

}  // namespace nrw::cli
