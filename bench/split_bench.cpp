// Split benchmark: one statement per beneficiary (`nrw run RptIncomeStatement --split
// pBeneficiarios`) on demo databases of growing size, as text and as protected PDF with a manifest,
// with one and two processes (--jobs), against the same report as one document. Every run is a
// child process (workers included in its CPU time); the machine is shared, so CPU time (user +
// system) is the figure to compare, wall time only where the machine was quiet.
//
//   split_bench [--dir DIR] [--sizes 2000,5000,20000] [--year 2025] [--bin DIR] [--pdf-max N]
//               [--pg CONNINFO]
//
// Databases are made once per size with `nrw demo-db --extras N` and kept in DIR. With --pg the
// same demo is made in that PostgreSQL database (its own search_path) and the text split runs there
// too. --pdf-max: the largest size whose PDF parts are run (default: every size).
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "child_process.h"

namespace {

namespace fs = std::filesystem;
using bench::ChildUsage;
using bench::RunChild;

struct Options {
  fs::path dir = fs::temp_directory_path() / "nrw_split_bench";
  std::vector<int> sizes = {2000, 5000, 20000};
  int year = 2025;
  int pdf_max = 1 << 30;
  fs::path bin;
  std::string pg;
};

Options Parse(int argc, char** argv) {
  Options options;
  options.bin = fs::path(argv[0]).parent_path();
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    const std::string value = argv[i + 1];
    if (arg == "--dir") {
      options.dir = value;
    } else if (arg == "--sizes") {
      options.sizes.clear();
      for (size_t at = 0; at <= value.size();) {
        const size_t comma = value.find(',', at);
        options.sizes.push_back(std::stoi(value.substr(at, comma - at)));
        if (comma == std::string::npos) break;
        at = comma + 1;
      }
    } else if (arg == "--year") {
      options.year = std::stoi(value);
    } else if (arg == "--bin") {
      options.bin = value;
    } else if (arg == "--pdf-max") {
      options.pdf_max = std::stoi(value);
    } else if (arg == "--pg") {
      options.pg = value;
    } else {
      throw std::runtime_error("opção desconhecida: " + arg);
    }
  }
  return options;
}

size_t Files(const fs::path& folder) {
  size_t count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) count += entry.is_regular_file() ? 1 : 0;
  return count;
}

void Row(int size, const std::string& db, const std::string& what, const ChildUsage& usage,
         const ChildUsage& whole, size_t files) {
  const double cpu = usage.user_s + usage.system_s;
  const double whole_cpu = whole.user_s + whole.system_s;
  std::printf("| %d | %s | %s | %zu | %.2f | %.2f | %.2f | %.1f | %.1fx |\n", size, db.c_str(),
              what.c_str(), files, usage.user_s, usage.system_s, usage.wall_s, usage.peak_mb,
              whole_cpu > 0 ? cpu / whole_cpu : 0.0);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Options options = Parse(argc, argv);
    fs::create_directories(options.dir);
    const std::string nrw = (options.bin / "nrw").string();
    const fs::path log = options.dir / "last.log";
    const std::string year = "01/01/" + std::to_string(options.year);
    std::printf(
        "| beneficiaries | database | run | files | user s | sys s | wall s | peak MB | CPU vs "
        "one document |\n|---|---|---|---|---|---|---|---|---|\n");
    for (const int size : options.sizes) {
      std::vector<std::pair<std::string, std::string>> databases;
      const fs::path file = options.dir / ("demo-" + std::to_string(size) + ".db");
      if (!fs::exists(file)) {
        RunChild({nrw, "demo-db", file.string(), "--extras", std::to_string(size), "--ano",
                  std::to_string(options.year)},
                 {}, log);
      }
      databases.emplace_back("SQLite", file.string());
      if (!options.pg.empty()) {
        RunChild({nrw, "demo-db", options.pg, "--extras", std::to_string(size), "--ano",
                  std::to_string(options.year), "--force"},
                 {}, log);
        databases.emplace_back("PostgreSQL", options.pg);
      }
      for (const auto& [db_name, db] : databases) {
        const std::vector<std::string> base = {nrw, "run", "RptIncomeStatement", "--db",
                                               db,  "-p",  "pAnoBase1=" + year};
        std::vector<std::string> whole_run = base;
        whole_run.insert(whole_run.end(), {"--out", (options.dir / "whole.txt").string()});
        const ChildUsage whole = RunChild(whole_run, {}, log);
        Row(size, db_name, "one document, text", whole, whole, 1);
        struct Variant {
          std::string name;
          std::vector<std::string> extra;
          bool pdf;
        };
        const fs::path out = options.dir / "informes";
        const std::vector<Variant> variants = {
            {"split, text, --jobs 1", {"--out", (out / "{pBeneficiarios}.txt").string()}, false},
            {"split, text, --jobs 2",
             {"--out", (out / "{pBeneficiarios}.txt").string(), "--jobs", "2"},
             false},
            {"split, protected PDF + manifest, --jobs 1",
             {"--out", (out / "{pBeneficiarios}.pdf").string(), "--password",
              "{pBeneficiarios:digits:5}", "--manifest", (out / "manifesto.jsonl").string()},
             true},
            {"split, protected PDF + manifest, --jobs 2",
             {"--out", (out / "{pBeneficiarios}.pdf").string(), "--password",
              "{pBeneficiarios:digits:5}", "--manifest", (out / "manifesto.jsonl").string(),
              "--jobs", "2"},
             true},
        };
        for (const Variant& variant : variants) {
          if (variant.pdf && (size > options.pdf_max || db_name != "SQLite")) continue;
          fs::remove_all(out);
          std::vector<std::string> run = base;
          run.insert(run.end(), {"--split", "pBeneficiarios"});
          run.insert(run.end(), variant.extra.begin(), variant.extra.end());
          const ChildUsage usage = RunChild(run, {}, log);
          Row(size, db_name, variant.name, usage, whole, Files(out));
        }
        fs::remove_all(out);
      }
    }
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "split_bench: " << error.what() << "\n";
    return 1;
  }
}
