// Scale benchmark: the income statement and the withholding review of the base year on demo
// databases of growing size, run by the nrw command as a user runs them, against the replay of
// the statements each run sends (trace_replay: each text prepared once and run again, as the
// modules' RefreshSQL does, and prepared anew for every statement as sent). Every run is a child
// process, so that its CPU time and peak memory are its own; the machine is shared, so user CPU
// time is the figure to compare.
//
//   scale_bench [--dir DIR] [--sizes 2000,20000,50000] [--year 2025] [--repeat 3]
//               [--modules RptIncomeStatement,RptWithholdingReview] [--bin DIR]
//
// Databases are made once per size with `nrw demo-db --extras N` (nothing else: no further
// ANALYZE) and kept in DIR for later runs. Prints one markdown table row per size and module.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "child_process.h"

namespace {

namespace fs = std::filesystem;

struct Options {
  fs::path dir = fs::temp_directory_path() / "nrw_scale_bench";
  std::vector<int> sizes = {2000, 20000, 50000};
  std::vector<std::string> modules = {"RptIncomeStatement", "RptWithholdingReview"};
  int year = 2025;
  int repeat = 3;
  fs::path bin;
};

using Usage = bench::ChildUsage;
using bench::RunChild;

// The run with the lowest user CPU time of several (what the program costs, not what a busy
// machine lent it).
Usage Best(int repeat, const std::vector<std::string>& command, const fs::path& out_path,
           const fs::path& log_path) {
  Usage best;
  for (int i = 0; i < repeat; ++i) {
    const Usage usage = RunChild(command, out_path, log_path);
    if (i == 0 || usage.user_s < best.user_s) best = usage;
  }
  return best;
}

// The replay's own measure of its statements (reading the trace is not part of it), lowest of
// several runs. extra: further options of trace_replay.
double BestReplay(int repeat, const std::string& replay, const fs::path& db, const fs::path& trace,
                  const fs::path& dir, const std::vector<std::string>& extra = {}) {
  const fs::path out = dir / "replay.out";
  double best = 0;
  for (int i = 0; i < repeat; ++i) {
    std::vector<std::string> command = {replay, "--db", db.string(), "--trace", trace.string()};
    command.insert(command.end(), extra.begin(), extra.end());
    RunChild(command, out, dir / "last.log");
    std::ifstream in(out);
    std::string word;
    double user_s = -1;
    while (in >> word) {
      if (word == "user_s") in >> user_s;
    }
    if (user_s < 0) throw std::runtime_error("trace_replay printed no user_s");
    if (i == 0 || user_s < best) best = user_s;
  }
  return best;
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, ',');) parts.push_back(part);
  return parts;
}

Options Parse(int argc, char** argv) {
  Options options;
  options.bin = fs::canonical("/proc/self/exe").parent_path();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw std::runtime_error(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--dir") {
      options.dir = value();
    } else if (arg == "--sizes") {
      options.sizes.clear();
      for (const std::string& size : Split(value())) options.sizes.push_back(std::stoi(size));
    } else if (arg == "--modules") {
      options.modules = Split(value());
    } else if (arg == "--year") {
      options.year = std::stoi(value());
    } else if (arg == "--repeat") {
      options.repeat = std::max(1, std::stoi(value()));
    } else if (arg == "--bin") {
      options.bin = value();
    } else {
      throw std::runtime_error("unknown option " + arg);
    }
  }
  return options;
}

std::vector<std::string> Params(const std::string& module, int year) {
  const std::string first_day = "01/01/" + std::to_string(year);
  if (module == "RptIncomeStatement") return {"-p", "pAnoBase1=" + first_day};
  return {"-p", "pAnoBase=" + first_day};
}

double FileMb(const fs::path& path) {
  std::error_code error;
  const auto size = fs::file_size(path, error);
  return error ? 0 : static_cast<double>(size) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Options options = Parse(argc, argv);
    fs::create_directories(options.dir);
    const std::string nrw = (options.bin / "nrw").string();
    const std::string replay = (options.bin / "trace_replay").string();
    const fs::path log = options.dir / "last.log";

    std::printf(
        "| beneficiaries | module | run user s | run sys s | run wall s | peak MB | output MB | "
        "replay user s | run/replay | replay as sent user s | run/replay as sent | "
        "user vs first size |\n"
        "|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    std::map<std::string, double> first_cpu;
    for (const int size : options.sizes) {
      const fs::path db = options.dir / ("demo-" + std::to_string(size) + ".db");
      if (!fs::exists(db)) {
        RunChild({nrw, "demo-db", db.string(), "--extras", std::to_string(size), "--ano",
                  std::to_string(options.year)},
                 {}, log);
      }
      for (const std::string& module : options.modules) {
        const fs::path out = options.dir / (module + "-" + std::to_string(size) + ".txt");
        const fs::path trace = options.dir / (module + "-" + std::to_string(size) + ".jsonl");
        std::vector<std::string> run = {nrw,         "run",   module,      "--db",
                                        db.string(), "--out", out.string()};
        const std::vector<std::string> params = Params(module, options.year);
        run.insert(run.end(), params.begin(), params.end());
        const Usage run_usage = Best(options.repeat, run, {}, log);

        std::vector<std::string> traced = run;
        traced.insert(traced.end(), {"--trace", trace.string()});
        RunChild(traced, {}, log);
        const double replay_user_s = BestReplay(options.repeat, replay, db, trace, options.dir);
        const double as_sent_user_s =
            BestReplay(options.repeat, replay, db, trace, options.dir, {"--prepare-each"});
        fs::remove(trace);

        if (first_cpu.count(module) == 0) first_cpu[module] = run_usage.user_s;
        std::printf(
            "| %d | %s | %.2f | %.2f | %.2f | %.0f | %.0f | %.2f | %.2f | %.2f | %.2f | %.1fx |\n",
            size, module.c_str(), run_usage.user_s, run_usage.system_s, run_usage.wall_s,
            run_usage.peak_mb, FileMb(out), replay_user_s, run_usage.user_s / replay_user_s,
            as_sent_user_s, run_usage.user_s / as_sent_user_s,
            run_usage.user_s / first_cpu[module]);
        std::fflush(stdout);
        fs::remove(out);
      }
    }
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "scale_bench: " << error.what() << "\n";
    return 1;
  }
}
