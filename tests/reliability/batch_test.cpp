// The season's batch as processes: workers (--jobs) write byte for byte what one process writes,
// shards (--shard) run as separate processes write the run once, and nrw verify finds what changed
// on the disk afterwards.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "nrw/datetime.h"
#include "nrw_command.h"
#include "support/temp_dir.h"

namespace reliability {
namespace {

namespace fs = std::filesystem;
using support::ReadFile;

int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

std::string SplitCommand(const std::string& out, const std::string& more) {
  const std::string year = std::to_string(nrw::YearOf(nrw::Date()) - 1);
  return NrwExecutable() + " run RptIncomeStatement --db " + Quoted(DemoDatabase()) +
         " -p pAnoBase1=01/01/" + year + " --split pBeneficiarios --out " + Quoted(out) + " " +
         more;
}

// name=content of every statement file of the folder.
std::vector<std::string> Statements(const fs::path& folder) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".txt") continue;
    found.push_back(entry.path().filename().string() + "=" + ReadFile(entry.path().string()));
  }
  std::sort(found.begin(), found.end());
  return found;
}

// The part records of a manifest without what names the folder.
std::vector<nlohmann::json> Records(const std::string& manifest) {
  std::ifstream in(manifest);
  std::vector<nlohmann::json> records;
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    nlohmann::json record = nlohmann::json::parse(line);
    if (record["file"].is_string()) {
      record["file"] = fs::path(record["file"].get<std::string>()).filename().string();
    }
    records.push_back(std::move(record));
  }
  return records;
}

TEST(Batch, WorkersWriteWhatOneProcessWrites) {
  support::TempDir dir;
  const std::string quiet = " 2>" + Quoted(dir.File("err.txt"));
  ASSERT_EQ(Shell(SplitCommand(dir.File("um/{pBeneficiarios}.txt"),
                               "--manifest " + Quoted(dir.File("um/m.jsonl"))) +
                  quiet),
            0)
      << ReadFile(dir.File("err.txt"));
  ASSERT_EQ(Shell(SplitCommand(dir.File("dois/{pBeneficiarios}.txt"),
                               "--jobs 2 --manifest " + Quoted(dir.File("dois/m.jsonl"))) +
                  quiet),
            0)
      << ReadFile(dir.File("err.txt"));
  const std::vector<std::string> one = Statements(dir.File("um"));
  ASSERT_GT(one.size(), 10u);
  EXPECT_EQ(Statements(dir.File("dois")), one);
  EXPECT_EQ(Records(dir.File("dois/m.jsonl")), Records(dir.File("um/m.jsonl")));
  EXPECT_EQ(Shell(NrwExecutable() + " verify " + Quoted(dir.File("dois/m.jsonl")) + quiet), 0);
  for (const auto& entry : fs::directory_iterator(dir.File("dois"))) {
    EXPECT_NE(entry.path().extension(), ".nrwtmp") << entry.path();
  }
}

// The workers start before the run has listed its parts: a run refused after its listing (two parts
// would write one file) stops them, and nothing of it stays behind.
TEST(Batch, ARunRefusedAfterItsWorkersStartedLeavesNothingAndNoWorker) {
  support::TempDir dir;
  const std::string quiet = " 2>" + Quoted(dir.File("err.txt"));
  EXPECT_EQ(Shell(SplitCommand(dir.File("tres/{pBeneficiarios:digits:1}.txt"), "--jobs 2") + quiet),
            2);
  EXPECT_NE(ReadFile(dir.File("err.txt")).find("gravariam o mesmo arquivo"), std::string::npos)
      << ReadFile(dir.File("err.txt"));
  EXPECT_FALSE(fs::exists(dir.File("tres")));
  // The bracket keeps pgrep's own shell, whose command line holds the pattern, from matching it.
  EXPECT_NE(
      Shell("pgrep -f " + Quoted("[r]un RptIncomeStatement .*" + dir.File("tres")) + " >/dev/null"),
      0)
      << "a worker outlived its run";
}

TEST(Batch, ThreeShardsAsProcessesWriteTheRunOnceAndVerifySeesChanges) {
  support::TempDir dir;
  const std::string quiet = " 2>" + Quoted(dir.File("err.txt"));
  ASSERT_EQ(Shell(SplitCommand(dir.File("um/{pBeneficiarios}.txt"), "") + quiet), 0);
  std::string shards;
  std::string manifests;
  for (int index = 1; index <= 3; ++index) {
    const std::string manifest = dir.File("m" + std::to_string(index) + ".jsonl");
    shards +=
        SplitCommand(dir.File("fatias/{pBeneficiarios}.txt"),
                     "--shard " + std::to_string(index) + "/3 --manifest " + Quoted(manifest)) +
        quiet + " & ";
    manifests += " " + Quoted(manifest);
  }
  ASSERT_EQ(Shell(shards + "wait"), 0);
  EXPECT_EQ(Statements(dir.File("fatias")), Statements(dir.File("um")));
  const std::string verify =
      NrwExecutable() + " verify" + manifests + " >" + Quoted(dir.File("achados.txt")) + quiet;
  EXPECT_EQ(Shell(verify), 0) << ReadFile(dir.File("achados.txt"));
  EXPECT_EQ(Shell(NrwExecutable() + " verify " + Quoted(dir.File("m1.jsonl")) + " " +
                  Quoted(dir.File("m2.jsonl")) + " >" + Quoted(dir.File("achados.txt")) + quiet),
            1)
      << "a shard is missing";

  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(dir.File("fatias"))) files.push_back(entry);
  std::sort(files.begin(), files.end());
  ASSERT_GT(files.size(), 3u);
  fs::remove(files[0]);
  support::WriteFile(files[1].string(), "alterado");
  support::WriteFile(dir.File("fatias/estranho.txt"), "?");
  EXPECT_EQ(Shell(verify), 1);
  const std::string found = ReadFile(dir.File("achados.txt"));
  EXPECT_NE(found.find("Ausente: " + files[0].string()), std::string::npos) << found;
  EXPECT_NE(found.find("Alterado: " + files[1].string()), std::string::npos) << found;
  EXPECT_NE(found.find("Não registrado: " + dir.File("fatias/estranho.txt")), std::string::npos)
      << found;
}

TEST(Batch, ProgressGoesToTheDescriptorAsJsonLines) {
  support::TempDir dir;
  ASSERT_EQ(Shell(SplitCommand(dir.File("p/{pBeneficiarios}.txt"), "--progress-fd 3") + " 3>" +
                  Quoted(dir.File("progresso.jsonl")) + " 2>" + Quoted(dir.File("err.txt"))),
            0);
  std::istringstream lines(ReadFile(dir.File("progresso.jsonl")));
  std::vector<nlohmann::json> events;
  for (std::string line; std::getline(lines, line);) events.push_back(nlohmann::json::parse(line));
  ASSERT_GT(events.size(), 2u);
  EXPECT_EQ(events.front()["event"], "progress");
  EXPECT_EQ(events.front()["done"], 1);
  const nlohmann::json& summary = events.back();
  EXPECT_EQ(summary["event"], "summary");
  EXPECT_EQ(summary["ok"], true);
  const size_t total = events.front()["total"];
  EXPECT_EQ(summary["written"].get<size_t>() + summary["empty"].get<size_t>() +
                summary["refused"].get<size_t>(),
            total);
  // One summary line on stderr, no "Gerado:" per file.
  const std::string err = ReadFile(dir.File("err.txt"));
  EXPECT_NE(err.find("Partes: "), std::string::npos) << err;
  EXPECT_EQ(err.find("Gerado:"), std::string::npos) << err;
}

// The progress reader goes away at once: the run goes on and writes its parts.
TEST(Batch, AProgressReaderThatGoesAwayDoesNotStopTheRun) {
  support::TempDir dir;
  ASSERT_EQ(Shell("(" + SplitCommand(dir.File("p/{pBeneficiarios}.txt"), "--progress-fd 3") +
                  " 3>&1 >/dev/null 2>" + Quoted(dir.File("err.txt")) + "; echo $? >" +
                  Quoted(dir.File("status.txt")) + ") | true"),
            0);
  EXPECT_EQ(ReadFile(dir.File("status.txt")), "0\n") << ReadFile(dir.File("err.txt"));
  EXPECT_NE(ReadFile(dir.File("err.txt")).find("Partes: "), std::string::npos);
}

}  // namespace
}  // namespace reliability
