#include "paths.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

#include "nrwhost/files.h"

namespace nrw::cli {
namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Edits (insert, delete, replace one character) from one name to the other, case ignored.
size_t Distance(const std::string& a, const std::string& b) {
  const std::string x = Lower(a);
  const std::string y = Lower(b);
  std::vector<size_t> row(y.size() + 1);
  for (size_t j = 0; j <= y.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= x.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= y.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[y.size()];
}

// The module names of the folder (the .so files' stems).
std::vector<std::string> ModuleNames(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".so") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

fs::path ExecutableDir() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (!error) return self.parent_path();
  fs::path here = fs::current_path(error);
  return error ? fs::path(".") : here;
}

}  // namespace

Locations ResolveLocations(const std::string& modules_override,
                           const std::string& layouts_override) {
  const fs::path root = ExecutableDir().parent_path();
  return {modules_override.empty() ? (root / "modules").string() : modules_override,
          layouts_override.empty() ? (root / "layouts").string() : layouts_override};
}

ModuleFiles FindModule(const std::string& module, const Locations& locations) {
  const bool is_path =
      module.find('/') != std::string::npos || fs::path(module).extension() == ".so";
  fs::path library =
      is_path ? fs::path(module) : fs::path(locations.modules_dir) / (module + ".so");
  std::error_code error;
  if (!is_path && !fs::exists(library, error)) {
    // A name as typed, in any case; a near miss is suggested.
    std::string suggestion;
    size_t nearest = std::max<size_t>(3, module.size() / 4) + 1;
    for (const std::string& name : ModuleNames(locations.modules_dir)) {
      if (Lower(name) == Lower(module)) {
        library = fs::path(locations.modules_dir) / (name + ".so");
        suggestion.clear();
        break;
      }
      if (const size_t distance = Distance(name, module); distance < nearest) {
        nearest = distance;
        suggestion = name;
      }
    }
    if (!suggestion.empty()) {
      throw UsageError("Módulo não encontrado: " + module + ". Seria " + suggestion +
                       "? (nrw list mostra os módulos)");
    }
  }
  if (!fs::exists(library, error) && !fs::is_symlink(library, error)) {
    throw UsageError("Módulo não encontrado: " + library.string() +
                     ". (nrw list mostra os módulos)");
  }
  const std::string name = library.stem().string();
  return {name, library.string(), (fs::path(locations.layouts_dir) / (name + ".json")).string()};
}

}  // namespace nrw::cli
