// nrw as a process of its own, where only a process shows the behaviour: stdout that is full or
// closed, and signals that end a run while it writes. Nothing half-written is ever left: a killed
// run's temporary files go with it (or, after SIGKILL, with the next run in the same folder).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "nrw/datetime.h"
#include "nrw/format.h"
#include "nrw_command.h"
#include "support/temp_dir.h"

namespace reliability {
namespace {

namespace fs = std::filesystem;
using support::ReadFile;

bool IsTemporary(const fs::path& path) { return path.extension() == ".nrwtmp"; }

std::vector<std::string> Temporaries(const support::TempDir& dir) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(dir.Path())) {
    if (IsTemporary(entry.path())) found.push_back(entry.path().filename().string());
  }
  return found;
}

//! Waits until the folder holds a temporary file of a run; false after a minute without one.
bool WaitForTemporary(const support::TempDir& dir, pid_t pid) {
  for (int i = 0; i < 6000; ++i) {
    if (!Temporaries(dir).empty()) return true;
    if (waitpid(pid, nullptr, WNOHANG) == pid) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

//! The signal that ended the process; 0 when it exited.
int Wait(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

int ExitStatus(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Process, AReportThatCannotReachStdoutIsAFailure) {
  support::TempDir dir;
  const std::string run = NrwExecutable() + " run RptIncomeStatement --db " + DemoDatabase();
  struct Case {
    const char* name;
    std::string redirect;
    std::string message;
  };
  const Case cases[] = {
      {"a full device", " >/dev/full",
       "Erro: Não foi possível gravar na saída padrão: disco cheio."},
      {"a closed stdout", " >&-", "Erro: Não foi possível gravar na saída padrão: saída fechada."},
  };
  for (const Case& c : cases) {
    const std::string err = dir.File("err.txt");
    EXPECT_EQ(ExitStatus(run + c.redirect + " 2>" + err), 1) << c.name;
    EXPECT_NE(ReadFile(err).find(c.message), std::string::npos) << c.name << ": " << ReadFile(err);
  }
}

TEST(Process, ASignalDuringTheRunRemovesItsTemporaryFilesAndKeepsTheOldOutputs) {
  support::TempDir dir;
  const std::string big = dir.File("grande.db");
  ASSERT_EQ(Nrw({"demo-db", big, "--extras", "400"}).status, 0);
  support::WriteFile(dir.File("p-antigo.txt"), "antigo");
  for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
    const pid_t pid = StartNrw({"run", "RptIncomeStatement", "--db", big, "--split",
                                "pBeneficiarios", "--out", dir.File("p-{pBeneficiarios}.txt")},
                               "", dir.File("err.txt"));
    ASSERT_TRUE(WaitForTemporary(dir, pid))
        << "signal " << sig << ": " << ReadFile(dir.File("err.txt"));
    kill(pid, sig);
    EXPECT_EQ(Wait(pid), sig) << "the process dies of the signal";
    EXPECT_TRUE(Temporaries(dir).empty()) << "signal " << sig;
    EXPECT_EQ(ReadFile(dir.File("p-antigo.txt")), "antigo");
    size_t parts = 0;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
      parts += entry.path().filename().string().rfind("p-", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(parts, 1u) << "signal " << sig << ": no part was put in place";
  }
}

TEST(Process, AfterSigkillTheNextRunInTheFolderRemovesWhatWasLeft) {
  support::TempDir dir;
  const pid_t pid = StartNrw({"demo-db", dir.File("novo.db"), "--extras", "3000"}, "", "");
  ASSERT_TRUE(WaitForTemporary(dir, pid));
  kill(pid, SIGKILL);
  EXPECT_EQ(Wait(pid), SIGKILL);
  ASSERT_FALSE(Temporaries(dir).empty()) << "nothing runs on SIGKILL";
  EXPECT_FALSE(fs::exists(dir.File("novo.db")));
  const Outcome next = Nrw(
      {"run", "RptWithholdingReview", "--db", DemoDatabase(), "--out", dir.File("revisao.txt")});
  EXPECT_EQ(next.status, 0) << next.err;
  EXPECT_TRUE(Temporaries(dir).empty());
  EXPECT_TRUE(fs::exists(dir.File("revisao.txt")));
}

// A quota or a container's file-size limit (ulimit -f) is a full disk: the write fails, the run
// says so, its temporary files go and the earlier outputs stay.
TEST(Process, AFileSizeLimitIsAFullDiskNotADeath) {
  support::TempDir dir;
  support::WriteFile(dir.File("revisao.pdf"), "anterior");
  support::WriteFile(dir.File("banco.db"), "anterior");
  struct Case {
    const char* name;
    std::string command;
    std::string target;
  };
  const Case cases[] = {
      {"a report",
       "run RptWithholdingReview --db " + DemoDatabase() + " --out " + dir.File("revisao.pdf") +
           " --trace " + dir.File("rastro.jsonl"),
       "revisao.pdf"},
      {"a demo database", "demo-db --force " + dir.File("banco.db"), "banco.db"},
  };
  for (const Case& c : cases) {
    const std::string err = dir.File("err.txt");
    // 40 blocks of 512 bytes: less than either file needs.
    const int status =
        ExitStatus("ulimit -f 40; exec " + NrwExecutable() + " " + c.command + " 2>" + err);
    EXPECT_EQ(status, 1) << c.name << ": " << ReadFile(err);
    EXPECT_NE(ReadFile(err).find("disco cheio"), std::string::npos)
        << c.name << ": " << ReadFile(err);
    EXPECT_TRUE(Temporaries(dir).empty()) << c.name;
    EXPECT_EQ(ReadFile(dir.File(c.target)), "anterior") << c.name;
  }
}

TEST(Process, ASignalWhileTheDemoDatabaseIsBuiltLeavesNoPartialFile) {
  support::TempDir dir;
  support::WriteFile(dir.File("banco.db"), "anterior");
  const pid_t pid =
      StartNrw({"demo-db", dir.File("banco.db"), "--force", "--extras", "3000"}, "", "");
  ASSERT_TRUE(WaitForTemporary(dir, pid));
  kill(pid, SIGTERM);
  EXPECT_EQ(Wait(pid), SIGTERM);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"banco.db"});
  EXPECT_EQ(ReadFile(dir.File("banco.db")), "anterior");
}

// SIGKILL at each placement of a split's commit: the next run that writes into the folder undoes
// the half-made commit from its record, so the folder holds the earlier run's parts, all of them,
// and nothing else of the killed run.
TEST(Process, ACommitKilledHalfwayIsUndoneByTheNextRunInTheFolder) {
  support::TempDir dir;
  support::TempDir elsewhere;
  const std::string year = std::to_string(nrw::YearOf(nrw::Date()) - 1);
  // The killed run prints two copies of each statement: other contents for the same files.
  const auto run = [&](const std::string& copies, const std::string& name) {
    return std::vector<std::string>{
        "run",     "RptIncomeStatement",      "--db",  DemoDatabase(),
        "-p",      "pAnoBase1=01/01/" + year, "-p",    "pCopias=" + copies,
        "--split", "pCodigoEmpresa",          "--out", dir.File(name + "{pCodigoEmpresa}.txt")};
  };
  const auto contents = [&dir](const std::string& prefix) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
      const std::string name = entry.path().filename().string();
      if (name.rfind(prefix, 0) == 0) found.push_back(name + "=" + ReadFile(entry.path()));
    }
    std::sort(found.begin(), found.end());
    return found;
  };
  ASSERT_EQ(Nrw(run("1", "r")).status, 0);
  const std::vector<std::string> before = contents("r");
  ASSERT_GT(before.size(), 1u);
  for (size_t k = 1; k <= before.size(); ++k) {
    setenv("NRW_FAULT_KILL_AT_PLACEMENT", std::to_string(k).c_str(), 1);
    const pid_t pid = StartNrw(run("2", "r"), "/dev/null", dir.File("err.txt"));
    unsetenv("NRW_FAULT_KILL_AT_PLACEMENT");
    ASSERT_EQ(Wait(pid), SIGKILL) << "placement " << k << ": " << ReadFile(dir.File("err.txt"));
    fs::remove(dir.File("err.txt"));
    // Another run writes other files into the same folder: a split's parts, or only its trace
    // (the trace is opened before anything else of the run).
    if (k % 2 == 1) {
      ASSERT_EQ(Nrw(run("1", "x")).status, 0) << "placement " << k;
    } else {
      const Outcome traced = Nrw({"run", "RptWithholdingReview", "--db", DemoDatabase(), "--out",
                                  elsewhere.File("revisao.txt"), "--trace", dir.File("x.jsonl")});
      ASSERT_EQ(traced.status, 0) << "placement " << k << ": " << traced.err;
    }
    EXPECT_EQ(contents("r"), before) << "placement " << k;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
      const std::string name = entry.path().filename().string();
      EXPECT_TRUE(name.rfind("r", 0) == 0 || name.rfind("x", 0) == 0)
          << "placement " << k << ": " << name << " left behind";
    }
  }
}

}  // namespace
}  // namespace reliability
