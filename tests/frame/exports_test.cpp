#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "support/shell.h"

namespace {

// Defined dynamic symbols of a shared object, as "TYPE NAME" (nm -D --defined-only).
std::set<std::string> DefinedSymbols(const std::filesystem::path& library) {
  std::istringstream lines(
      support::RunShell("nm -D --defined-only '" + library.string() + "'").out);
  std::set<std::string> symbols;
  for (std::string line; std::getline(lines, line);) {
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

// Names the public headers declare with NRW_API: classes, functions and constants.
std::set<std::string> PublicNames() {
  std::set<std::string> names;
  const std::regex declared(
      R"((?:class|struct)\s+NRW_API\s+(\w+)|NRW_API\s+extern\s+const\s+char\s*\*\s*const\s+(\w+)|NRW_API\s+[^;{()]*?[\s\*&](\w+)\s*\()");
  for (const char* dir : {"frame/include/nrw", "host/include/nrwhost"}) {
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(NRW_SOURCE_DIR) / dir)) {
      std::ifstream file(entry.path());
      const std::string text((std::istreambuf_iterator<char>(file)), {});
      for (std::sregex_iterator m(text.begin(), text.end(), declared), end; m != end; ++m) {
        for (size_t group = 1; group < m->size(); ++group) {
          if ((*m)[group].matched) names.insert((*m)[group].str());
        }
      }
    }
  }
  return names;
}

TEST(HostExports, TheHostExportsOnlyWhatItsPublicHeadersDeclare) {
  const std::set<std::string> names = PublicNames();
  ASSERT_GT(names.size(), 50u);
  std::istringstream lines(support::RunShell(std::string("nm -DC --defined-only '") +
                                             NRW_BUILD_DIR + "/lib/libnrwhost.so'")
                               .out);
  const std::regex entity(R"(^[0-9a-f]+ \w (?:(?:typeinfo|typeinfo name|vtable) for )?nrw::(\w+))");
  int exported = 0;
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    ASSERT_TRUE(std::regex_search(line, m, entity)) << "not an nrw:: name: " << line;
    EXPECT_TRUE(names.count(m[1].str())) << "exported but not in a public header: " << line;
    ++exported;
  }
  EXPECT_GT(exported, 100);
}

}  // namespace
