#include "paths.h"

#include <unistd.h>

#include <filesystem>

#include "nrwhost/files.h"

namespace nrw::cli {
namespace fs = std::filesystem;

namespace {

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
  const fs::path library =
      is_path ? fs::path(module) : fs::path(locations.modules_dir) / (module + ".so");
  std::error_code error;
  if (!fs::exists(library, error)) {
    throw UsageError("Módulo não encontrado: " + library.string() + ".");
  }
  const std::string name = library.stem().string();
  return {name, library.string(), (fs::path(locations.layouts_dir) / (name + ".json")).string()};
}

}  // namespace nrw::cli
