#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <iostream>
#include <vector>

#include "commands.h"
#include "nrw/core.h"
#include "nrwhost/session.h"
#include "paths.h"

namespace nrw::cli {
namespace {

// Why a name in the modules folder is no file to load, or empty when it is a regular file.
std::string NotARegularFile(const std::filesystem::path& path) {
  struct stat info = {};
  if (stat(path.c_str(), &info) != 0) {
    return errno == ELOOP ? "laço de links simbólicos" : "link para um arquivo que não existe";
  }
  if (S_ISREG(info.st_mode)) return "";
  if (S_ISDIR(info.st_mode)) return "é uma pasta";
  if (S_ISFIFO(info.st_mode)) return "é um pipe (FIFO)";
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return "é um dispositivo";
  return "não é um arquivo comum";
}

}  // namespace

int ListModules(const CommonOptions& common) {
  const Locations locations = ResolveLocations(common.modules_dir, common.layouts_dir);
  std::error_code error;
  std::vector<std::filesystem::path> libraries;
  for (const auto& entry : std::filesystem::directory_iterator(locations.modules_dir, error)) {
    if (entry.path().extension() == ".so") libraries.push_back(entry.path());
  }
  if (error) {
    std::cerr << "Pasta de módulos inacessível: " << locations.modules_dir << '\n';
    return kUsageError;
  }
  std::sort(libraries.begin(), libraries.end());
  int status = kOk;
  for (const auto& library : libraries) {
    // Only regular files are looked into: a FIFO would hold the listing, a link loop fail it.
    if (const std::string why = NotARegularFile(library); !why.empty()) {
      std::cerr << "Ignorado: " << library.string() << " (" << why << ")\n";
      continue;
    }
    std::string line = library.stem().string() + '\t';
    try {
      line += ModuleVersion(library.string());
    } catch (const std::exception& failure) {
      line += std::string("(erro: ") + failure.what() + ")";
      status = kFailed;
    }
    std::cout << line << '\n';
  }
  return FlushStdout() ? status : kFailed;
}

Subcommand AddListCommand(CLI::App& app, const CommonOptions& common) {
  CLI::App* list = app.add_subcommand("list", "Módulos encontrados, com suas versões");
  return {list, [&common] { return ListModules(common); }};
}

}  // namespace nrw::cli
