// The same demo on SQLite and on PostgreSQL: `nrw demo-db` into each, then the income statement
// of the base year run by the nrw command on each, as a user runs it. PostgreSQL does part of the
// work in its server process, so wall time is the figure to compare (the client's CPU time is
// shown beside it); runs alternate between the databases and the best of several is kept, as the
// machine is shared. Both databases have planner statistics (demo-db gathers them).
// The two documents must be byte for byte the same.
//
//   database_bench [--server CONNINFO] [--extras 20000] [--year 2023] [--repeat 3]
//                  [--module RptIncomeStatement] [--param pAnoBase1=01/01/2023] [--bin DIR]
//
// The server defaults to NRW_TEST_PG (scripts/with-postgres starts one); the PostgreSQL demo goes
// into a schema of its own there, dropped at the end. Prints markdown table rows.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "child_process.h"
#include "nrwhost/database.h"

namespace {

namespace fs = std::filesystem;

struct Options {
  std::string server;
  int extras = 20000;
  int year = 2023;
  int repeat = 3;
  std::string module = "RptIncomeStatement";
  std::string param;
  fs::path bin;
};

struct Usage {
  double wall_s = 0;
  double cpu_s = 0;  // user + system of the nrw process
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs the command with its output to the log; raises when it fails.
Usage Run(const std::vector<std::string>& command, const fs::path& log) {
  const bench::ChildUsage child = bench::RunChild(command, log, log);
  return Usage{child.wall_s, child.user_s + child.system_s};
}

Options Parse(int argc, char** argv) {
  Options options;
  if (const char* server = std::getenv("NRW_TEST_PG")) options.server = server;
  options.bin = fs::canonical("/proc/self/exe").parent_path();
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i], value = argv[i + 1];
    if (name == "--server") {
      options.server = value;
    } else if (name == "--extras") {
      options.extras = std::stoi(value);
    } else if (name == "--year") {
      options.year = std::stoi(value);
    } else if (name == "--repeat") {
      options.repeat = std::stoi(value);
    } else if (name == "--module") {
      options.module = value;
    } else if (name == "--param") {
      options.param = value;
    } else if (name == "--bin") {
      options.bin = value;
    } else {
      throw std::runtime_error("opção desconhecida: " + name);
    }
  }
  if (options.param.empty()) options.param = "pAnoBase1=01/01/" + std::to_string(options.year);
  if (options.server.empty()) {
    throw std::runtime_error("sem servidor: use --server ou NRW_TEST_PG (scripts/with-postgres)");
  }
  return options;
}

// A schema of the bench's own on the server, named in the conninfo; dropped with the object.
class ServerSchema {
 public:
  explicit ServerSchema(const std::string& server)
      : admin_(nrw::OpenPostgreSQL(server)),
        name_("nrw_bench_" + std::to_string(getpid())),
        target_(server + " options='-csearch_path=" + name_ + "'") {
    admin_->ExecuteScript("CREATE SCHEMA " + name_);
  }
  ~ServerSchema() {
    try {
      admin_->ExecuteScript("DROP SCHEMA " + name_ + " CASCADE");
    } catch (const std::exception& error) {
      std::cerr << error.what() << '\n';
    }
  }
  const std::string& Target() const { return target_; }

 private:
  std::unique_ptr<nrw::TnConnection> admin_;
  std::string name_;
  std::string target_;
};

int Main(int argc, char** argv) {
  const Options options = Parse(argc, argv);
  const fs::path dir =
      fs::temp_directory_path() / ("nrw_database_bench_" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string nrw = (options.bin / "nrw").string();
  const ServerSchema schema(options.server);
  const std::string file = (dir / "demo.db").string();
  const std::vector<std::string> targets = {file, schema.Target()};
  const char* names[] = {"SQLite", "PostgreSQL"};
  const std::string extras = std::to_string(options.extras);
  const std::string year = std::to_string(options.year);

  Usage load[2];
  for (int d = 0; d < 2; ++d) {
    load[d] =
        Run({nrw, "demo-db", targets[d], "--ano", year, "--extras", extras}, dir / "demo.log");
  }
  Usage best[2];
  std::string documents[2];
  for (int i = 0; i < options.repeat; ++i) {
    for (int d = 0; d < 2; ++d) {
      const fs::path out = dir / (std::string(names[d]) + ".txt");
      const Usage usage = Run({nrw, "run", options.module, "--db", targets[d], "-p", options.param,
                               "--out", out.string()},
                              dir / "run.log");
      if (i == 0 || usage.wall_s < best[d].wall_s) best[d] = usage;
      documents[d] = ReadAll(out);
    }
  }
  std::cout << "| banco | extras | demo-db (s) | " << options.module
            << " (s, parede) | CPU do nrw (s) |\n|---|---|---|---|---|\n";
  for (int d = 0; d < 2; ++d) {
    std::printf("| %s | %d | %.1f | %.1f | %.1f |\n", names[d], options.extras, load[d].wall_s,
                best[d].wall_s, best[d].cpu_s);
  }
  std::printf("\nPostgreSQL / SQLite: %.2f; documentos %s (%zu bytes)\n",
              best[1].wall_s / best[0].wall_s,
              documents[0] == documents[1] ? "idênticos" : "DIFERENTES", documents[0].size());
  fs::remove_all(dir);
  return documents[0] == documents[1] ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Main(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
    return 2;
  }
}
