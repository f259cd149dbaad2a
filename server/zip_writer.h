// A run's files as one ZIP archive.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace nrw::server {

//! Writes a ZIP at path holding each (path on disk, name in the archive); raises
//! std::runtime_error when it cannot. Documents that compress poorly (PDF) are stored as they are.
void WriteZip(const std::string& path,
              const std::vector<std::pair<std::string, std::string>>& files);

}  // namespace nrw::server
