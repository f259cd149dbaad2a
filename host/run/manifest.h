// Host-internal: the run's manifest (docs/manifest.md), one record per part after a header record,
// as JSON Lines or as CSV (UTF-8 with BOM, ";", the header record on a "#" line).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "nrwhost/session.h"

namespace nrw {

//! What the header says beside the run's options.
struct ManifestHeader {
  std::string module;
  std::string module_version;
  //! ISO 8601 with the local offset.
  std::string created;
  std::string output_format;
};

//! Whether the manifest's name asks for CSV (".csv", case ignored); JSON Lines otherwise.
bool ManifestIsCsv(const std::string& path);

//! The manifest of the run's parts (those of this run's shard), in the run's part order.
std::string ManifestText(const RunOptions& options, const ManifestHeader& header,
                         const std::vector<PartResult>& parts, size_t run_parts);

//! "nrw" name of a format: "text", "pdf", "html".
std::string FormatName(OutputFormat format);

}  // namespace nrw
