#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <vector>

#include "commands.h"
#include "nrw/core.h"
#include "nrwhost/session.h"
#include "paths.h"

namespace nrw::cli {

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
    try {
      std::cout << library.stem().string() << '\t' << ModuleVersion(library.string()) << '\n';
    } catch (const std::exception& failure) {
      std::cout << library.stem().string() << "\t(erro: " << failure.what() << ")\n";
      status = kFailed;
    }
  }
  return FlushStdout() ? status : kFailed;
}

Subcommand AddListCommand(CLI::App& app, const CommonOptions& common) {
  CLI::App* list = app.add_subcommand("list", "Módulos encontrados, com suas versões");
  return {list, [&common] { return ListModules(common); }};
}

}  // namespace nrw::cli
