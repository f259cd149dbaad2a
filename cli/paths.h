// Where nrw finds modules and layouts: beside the executable in the build or install tree
// (<bin>/../modules, <bin>/../layouts), unless the command line says otherwise.
#pragma once

#include <string>

namespace nrw::cli {

struct Locations {
  std::string modules_dir;
  std::string layouts_dir;
};

//! Defaults beside the running executable; empty overrides keep them.
Locations ResolveLocations(const std::string& modules_override,
                           const std::string& layouts_override);

struct ModuleFiles {
  std::string name;
  std::string module_path;
  std::string layout_path;
};

//! MODULE is a name ("RptIncomeStatement", in any case) or a path to its .so; the layout is
//! <name>.json, the name as the module's file spells it. Raises UsageError when there is no such
//! file, suggesting the nearest module name when one is close.
ModuleFiles FindModule(const std::string& module, const Locations& locations);

}  // namespace nrw::cli
