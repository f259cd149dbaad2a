#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>

namespace {

// Defined dynamic symbols of a shared object, as "TYPE NAME" (nm -D --defined-only).
std::set<std::string> DefinedSymbols(const std::filesystem::path& library) {
  const std::string command = "nm -D --defined-only '" + library.string() + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), &pclose);
  std::set<std::string> symbols;
  char line[512];
  while (pipe && fgets(line, sizeof line, pipe.get())) {
    std::istringstream fields(line);
    std::string address, type, name;
    if (fields >> address >> type >> name) symbols.insert(type + " " + name);
  }
  return symbols;
}

TEST(ModuleExports, EveryBuiltModuleExportsExactlyTheTwoEntryPoints) {
  int checked = 0;
  for (const char* dir : {NRW_MODULE_DIR, NRW_TEST_MODULE_DIR}) {
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (entry.path().extension() != ".so") continue;
      EXPECT_EQ(DefinedSymbols(entry.path()), (std::set<std::string>{"T ClassDll", "T Imprimir"}))
          << entry.path();
      ++checked;
    }
  }
  EXPECT_GE(checked, 3) << "the report modules and the frame's test modules";
}

}  // namespace
