#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "nrw/format.h"
#include "nrwhost/files.h"
#include "nrwhost/manifest.h"
#include "run/sha256.h"

namespace nrw {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

struct Manifest {
  std::string path;
  Json header;
  std::vector<Json> parts;
};

// A CSV record's fields (RFC 4180, ";").
std::vector<std::string> CsvFields(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ';') {
      fields.emplace_back();
    } else if (c != '\r') {
      fields.back() += c;
    }
  }
  return fields;
}

[[noreturn]] void NotAManifest(const std::string& path, const std::string& why) {
  throw UsageError("Manifesto " + path + ": " + why + ".");
}

Manifest ReadManifest(const std::string& path) {
  CheckInputFile(path, "Manifesto");
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string content = text.str();
  if (content.rfind("\xEF\xBB\xBF", 0) == 0) content.erase(0, 3);
  Manifest manifest;
  manifest.path = path;
  std::istringstream lines(content);
  std::string line;
  if (!std::getline(lines, line)) NotAManifest(path, "está vazio");
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const bool csv = !line.empty() && line[0] == '#';
  manifest.header = Json::parse(csv ? line.substr(1) : line, nullptr, false);
  if (manifest.header.is_discarded() || !manifest.header.is_object() ||
      manifest.header.value("manifest", 0) != 1) {
    NotAManifest(path, "a primeira linha não é o cabeçalho de um manifesto");
  }
  std::vector<std::string> columns;
  if (csv && std::getline(lines, line)) columns = CsvFields(line);
  while (std::getline(lines, line)) {
    if (line.empty() || line == "\r") continue;
    Json part;
    if (csv) {
      const std::vector<std::string> fields = CsvFields(line);
      for (size_t i = 0; i < columns.size() && i < fields.size(); ++i) {
        const std::string& name = columns[i];
        if (name == "part" || name == "pages" || name == "bytes" || name == "values" ||
            name == "row" || name == "messages" || name == "protected") {
          const Json value = Json::parse(fields[i], nullptr, false);
          part[name] = value.is_discarded() ? Json(nullptr) : value;
        } else {
          part[name] = fields[i].empty() ? Json(nullptr) : Json(fields[i]);
        }
      }
    } else {
      part = Json::parse(line, nullptr, false);
    }
    if (part.is_discarded() || !part.is_object() || !part.contains("part")) {
      NotAManifest(path, "há uma linha que não é o registro de uma parte");
    }
    manifest.parts.push_back(std::move(part));
  }
  return manifest;
}

std::string HashOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  Sha256 hash;
  char buffer[1 << 16];
  while (in) {
    in.read(buffer, sizeof buffer);
    hash.Update(buffer, static_cast<size_t>(in.gcount()));
  }
  return hash.HexDigest();
}

std::string Text(const Json& value) { return value.is_string() ? value.get<std::string>() : ""; }

// The header without what differs between the shards of one run.
Json RunHeader(Json header) {
  for (const char* key : {"shard", "parts", "created", "base"}) header.erase(key);
  return header;
}

}  // namespace

ManifestCheck VerifyManifests(const std::vector<std::string>& paths) {
  std::vector<Manifest> manifests;
  for (const std::string& path : paths) manifests.push_back(ReadManifest(path));
  ManifestCheck check;
  std::set<std::string> named;
  std::set<fs::path> folders;
  std::set<std::string> extensions;
  for (const Manifest& manifest : manifests) {
    const std::string base_text = Text(manifest.header["base"]);
    std::error_code error;
    const fs::path base = !base_text.empty() && fs::is_directory(base_text, error)
                              ? fs::path(base_text)
                              : fs::current_path(error);
    named.insert(fs::weakly_canonical(manifest.path, error).string());
    const std::string pattern = Text(manifest.header["output"]);
    extensions.insert(fs::path(pattern).extension().string());
    for (const Json& part : manifest.parts) {
      ++check.parts;
      for (const auto& [file_key, hash_key] :
           {std::pair{"file", "sha256"}, std::pair{"archive_file", "archive_sha256"}}) {
        const std::string file = Text(part.value(file_key, Json()));
        if (file.empty()) continue;
        const fs::path where = fs::path(file).is_absolute() ? fs::path(file) : base / file;
        ++check.files;
        named.insert(fs::weakly_canonical(where, error).string());
        folders.insert(where.parent_path());
        struct stat info = {};
        if (stat(where.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
          check.findings.push_back("Ausente: " + file);
        } else if (HashOf(where.string()) != Text(part.value(hash_key, Json()))) {
          check.findings.push_back("Alterado: " + file);
        }
      }
    }
  }
  // Files of the outputs' kind that no manifest names.
  for (const fs::path& folder : folders) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
      const std::string name = entry.path().filename().string();
      if (name.empty() || name[0] == '.' || !entry.is_regular_file(error)) continue;
      if (extensions.count(entry.path().extension().string()) == 0) continue;
      if (named.count(fs::weakly_canonical(entry.path(), error).string()) != 0) continue;
      check.findings.push_back("Não registrado: " + entry.path().lexically_normal().string());
    }
  }
  // Shards of one run: one header, every shard, every part once.
  const Json& first = manifests.front().header;
  const size_t run_parts = first.value("run_parts", static_cast<size_t>(0));
  const bool sharded = first.contains("shard") && first["shard"].is_object();
  if (manifests.size() > 1 || !sharded) {
    std::set<int> shards;
    int count = sharded ? first["shard"].value("count", 1) : 1;
    std::map<size_t, int> seen;
    for (const Manifest& manifest : manifests) {
      if (RunHeader(manifest.header) != RunHeader(first)) {
        check.findings.push_back("Cabeçalho diferente: " + manifest.path +
                                 " não é da mesma execução que " + manifests.front().path);
      }
      const Json& shard = manifest.header["shard"];
      if (shard.is_object()) {
        if (shard.value("count", 1) != count) {
          check.findings.push_back("Fatia de outra divisão: " + manifest.path);
        }
        if (!shards.insert(shard.value("index", 1)).second) {
          check.findings.push_back("Fatia repetida: " + manifest.path);
        }
      }
      for (const Json& part : manifest.parts) ++seen[part.value("part", static_cast<size_t>(0))];
    }
    for (int index = 1; sharded && index <= count; ++index) {
      if (shards.count(index) == 0) {
        check.findings.push_back("Falta a fatia " + std::to_string(index) + "/" +
                                 std::to_string(count));
      }
    }
    size_t missing = 0;
    for (size_t number = 1; number <= run_parts; ++number) {
      const auto found = seen.find(number);
      if (found == seen.end()) {
        ++missing;
      } else if (found->second > 1) {
        check.findings.push_back("Parte " + std::to_string(number) + " registrada " +
                                 std::to_string(found->second) + " vezes");
      }
    }
    if (missing > 0) {
      check.findings.push_back(std::to_string(missing) + " parte(s) de " +
                               std::to_string(run_parts) + " sem registro");
    }
  }
  return check;
}

}  // namespace nrw
