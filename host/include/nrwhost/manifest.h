// Application API: checking what a run's manifest (docs/manifest.md) says against the disk.
#pragma once

#include <string>
#include <vector>

#include "nrw/api.h"

namespace nrw {

struct ManifestCheck {
  //! One Portuguese line per finding: a file missing, changed (its SHA-256 differs) or not named
  //! by any manifest in an output folder; parts missing or repeated across the shards.
  std::vector<std::string> findings;
  size_t files = 0;
  size_t parts = 0;
};

//! Re-hashes every file and archive copy the manifests name (relative paths from each header's
//! base folder), reports files of the output pattern's extension in the output folders that no
//! manifest names, and with several manifests of one sharded run checks that they share their
//! header but the shard, that the shards 1..N are all there, and that together they hold every
//! part once. Raises UsageError for a file that is not a manifest.
NRW_API ManifestCheck VerifyManifests(const std::vector<std::string>& manifests);

}  // namespace nrw
