// Every module found in layouts/ runs on the demo database with each of its statements failing in
// turn, and each write of its outputs: the run says so (exit 1), leaves no output behind, and hands
// back every dataset, key range, event binding and progress box it took. Modules added later are
// covered by adding their layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "nrw/core.h"
#include "nrw_command.h"
#include "nrwhost/database.h"
#include "nrwhost/faults.h"
#include "nrwhost/live_objects.h"
#include "nrwhost/session.h"
#include "support/paths.h"
#include "support/temp_dir.h"

namespace nrw {
void PrintTo(const LiveObjects& live, std::ostream* out) {
  *out << "{datasets " << live.datasets << ", ranges " << live.ranges << ", event bindings "
       << live.event_bindings << ", progress boxes " << live.progress_boxes << "}";
}
}  // namespace nrw

namespace reliability {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> ModulesWithLayouts() {
  std::vector<std::string> modules;
  for (const auto& entry : fs::directory_iterator(support::SourcePath("layouts"))) {
    const std::string name = entry.path().stem().string();
    if (entry.path().extension() == ".json" && fs::exists(support::ModulePath(name))) {
      modules.push_back(name);
    }
  }
  std::sort(modules.begin(), modules.end());
  return modules;
}

//! The layout's first separator, the one a split run of the module uses; empty when it has none.
std::string FirstSeparator(const std::string& module) {
  std::ifstream file(support::LayoutPath(module));
  const nlohmann::json layout = nlohmann::json::parse(file);
  if (!layout.contains("separators") || layout["separators"].empty()) return "";
  return layout["separators"][0]["param"].get<std::string>();
}

void Empty(const support::TempDir& dir) {
  for (const auto& entry : fs::directory_iterator(dir.Path())) fs::remove_all(entry.path());
}

class EveryModule : public ::testing::TestWithParam<std::string> {};

TEST_P(EveryModule, FailingStatementsAndWritesLeaveNothingBehind) {
  const std::string module = GetParam();
  const std::string split = FirstSeparator(module);
  support::TempDir out;
  const nrw::LiveObjects before = nrw::CountLiveObjects();
  struct Variant {
    std::string name;
    std::vector<std::string> args;
  };
  std::vector<Variant> variants = {{"whole", {"--out", out.File("saida.txt")}}};
  if (!split.empty()) {
    variants.push_back({"split", {"--split", split, "--out", out.File("p-{" + split + "}.txt")}});
  }
  for (const Variant& variant : variants) {
    std::vector<std::string> args = {"run", module, "--db", DemoDatabase()};
    args.insert(args.end(), variant.args.begin(), variant.args.end());
    int statements = 0;
    int writes = 0;
    {
      const nrw::FaultScope count;
      const Outcome ok = Nrw(args);
      ASSERT_EQ(ok.status, 0) << variant.name << ": the run without faults fails\n" << ok.err;
      statements = count.Statements();
      writes = count.Writes();
    }
    ASSERT_FALSE(out.Names().empty()) << variant.name;
    std::map<std::string, std::string> expected;
    for (const std::string& name : out.Names()) expected[name] = support::ReadFile(out.File(name));
    Empty(out);
    for (const bool statement : {true, false}) {
      const int total = statement ? statements : writes;
      for (int k = 1; k <= total; ++k) {
        const std::string where = variant.name + (statement ? ", statement " : ", write ") +
                                  std::to_string(k) + " of " + std::to_string(total);
        const nrw::FaultScope fail(statement ? nrw::FaultPlan{k, 0} : nrw::FaultPlan{0, k});
        const Outcome failed = Nrw(args);
        if (!statement && failed.status == 0) {
          // The write went to a part that printed no page, whose file is dropped anyway: the run
          // must then have written every other file whole.
          std::map<std::string, std::string> written;
          for (const std::string& name : out.Names()) {
            written[name] = support::ReadFile(out.File(name));
          }
          EXPECT_EQ(written, expected) << where;
          Empty(out);
          continue;
        }
        EXPECT_EQ(failed.status, 1) << where << "\n" << failed.err;
        // The failure reaches the user, possibly behind what the host was doing when it happened.
        EXPECT_NE(failed.err.find(statement ? "Erro no banco de dados: falha simulada."
                                            : "Erro: Não foi possível gravar"),
                  std::string::npos)
            << where << "\n"
            << failed.err;
        EXPECT_TRUE(out.Names().empty()) << where;
        EXPECT_EQ(nrw::CountLiveObjects(), before) << where;
      }
    }
  }
}

TEST_P(EveryModule, AFailedPrintHandsBackWhatItTookWhileTheSessionLives) {
  const std::unique_ptr<nrw::TnConnection> connection =
      nrw::OpenSQLite(DemoDatabase(), nrw::OpenMode::ReadOnly);
  const nrw::DefaultConnectionScope default_connection(*connection);
  nrw::SessionOptions options;
  options.module_path = support::ModulePath(GetParam());
  options.layout_path = support::LayoutPath(GetParam());
  int statements = 0;
  {
    nrw::RunSession session(options);
    const nrw::FaultScope count;
    session.Print();
    statements = count.Statements();
  }
  for (int k = 1; k <= statements; ++k) {
    nrw::RunSession session(options);
    session.StartTracing();
    const nrw::LiveObjects built = nrw::CountLiveObjects();
    {
      const nrw::FaultScope fail({k, 0});
      EXPECT_THROW(session.Print(), nrw::Exception) << "statement " << k;
    }
    const nrw::LiveObjects after = nrw::CountLiveObjects();
    EXPECT_EQ(after.ranges, 0) << "statement " << k << ": a key range left on a dataset";
    EXPECT_EQ(after, built) << "statement " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, EveryModule, ::testing::ValuesIn(ModulesWithLayouts()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace reliability
