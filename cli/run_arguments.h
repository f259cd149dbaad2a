// The options of nrw run that are checked before anything is opened or written.
#pragma once

#include <optional>
#include <string>

#include "commands.h"
#include "paths.h"

namespace nrw::cli {

//! An --out with {PARAM}: one file per part.
bool IsPattern(const std::string& output);

//! Everything the command line names, checked before anything is opened or written.
struct CheckedRun {
  ModuleFiles files;
  std::string output;
};

//! The database, the module and its layout, the output and the trace; raises UsageError.
CheckedRun CheckRunArguments(const CommonOptions& common, const RunCommand& command);

//! "I/N" with 1 <= I <= N (of --shard or --worker); none when text is empty. Raises UsageError
//! naming option.
std::optional<ShardSpec> ParseShare(const std::string& text, const std::string& option);

//! The --progress-fd descriptor must be open for writing (-1: none). Raises UsageError.
void CheckProgressFd(int fd);

}  // namespace nrw::cli
