// A run's manifest read back: the header of the run and one record per part, as `nrw run
// --manifest` writes them, in JSON Lines (.jsonl) or in CSV (the header JSON on a '#' line, then
// one row per part). Only what delivering the parts needs is kept.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nrw::mail {

//! Names with their texts, in the order the manifest gives them; a null value has no text.
using NamedValues = std::vector<std::pair<std::string, std::optional<std::string>>>;

//! The value of name (compared without regard to case); nullptr when absent or null.
const std::string* FindValue(const NamedValues& values, const std::string& name);

struct ManifestHeader {
  std::string program;
  std::string module;
  std::string created;
  //! The database as the run named it (a file path or a PostgreSQL URI/conninfo without password).
  std::string database;
  //! Every -p of the run, in order.
  NamedValues params;
  std::vector<std::string> split;
  std::string output;
  std::optional<std::string> password_template;
  //! The folder the run started in: relative paths of the manifest are relative to it.
  std::string base;
  std::optional<int64_t> shard_index;
  std::optional<int64_t> shard_count;
};

enum class PartStatus { kWritten, kEmpty, kRefused };

struct ManifestPart {
  //! 1-based place among the parts of the whole run.
  int64_t part = 0;
  //! The separator values of the part.
  NamedValues values;
  //! The other columns of the part's separator row.
  NamedValues row;
  PartStatus status = PartStatus::kWritten;
  //! The file as the manifest names it; empty when the part wrote none.
  std::string file;
  int64_t bytes = 0;
  std::string sha256;
  bool is_protected = false;
  std::optional<std::string> password_template;
  //! Why no file was written (empty and refused parts).
  std::string reason;
};

struct Manifest {
  std::string path;
  ManifestHeader header;
  std::vector<ManifestPart> parts;

  //! A path of the manifest made usable from here: absolute paths as they are; relative ones
  //! against the run's folder (header "base") when it exists, else against the manifest's folder.
  std::string Resolve(const std::string& path) const;
};

//! Reads a manifest (.csv by its first line, JSON Lines otherwise). Raises InputError naming the
//! file and line for anything malformed, an unknown manifest version, repeated part numbers, or a
//! file with fewer or more parts than its header counts (a manifest cut short is never taken for
//! a whole one).
Manifest ReadManifest(const std::string& path);

}  // namespace nrw::mail
