// Host-internal: where the unprotected archival copies of a run's PDF outputs go (the archive
// folder, under each output's own file name), checked before anything is printed: a copy never
// lands on an output (it would replace a protected document with an open one) nor on another copy
// (one of them would be lost).
#pragma once

#include <string>
#include <vector>

namespace nrw {

//! The copy's path: the archive folder and the output's file name.
std::string ArchivePath(const std::string& archive_dir, const std::string& output);

//! Raises UsageError naming the outputs involved when a copy would land on an output of the run or
//! on another copy. Names are compared as files: links and spellings do not hide a clash.
void CheckArchiveCopies(const std::string& archive_dir, const std::vector<std::string>& outputs);

}  // namespace nrw
