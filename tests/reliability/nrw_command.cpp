#include "nrw_command.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>

#include <memory>

#include "commands.h"
#include "support/temp_dir.h"

extern char** environ;

namespace reliability {

Outcome Nrw(std::vector<std::string> args) {
  args.insert(args.begin(), "nrw");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  Outcome outcome;
  outcome.status = nrw::cli::Main(static_cast<int>(argv.size()), argv.data());
  outcome.out = testing::internal::GetCapturedStdout();
  outcome.err = testing::internal::GetCapturedStderr();
  return outcome;
}

std::string NrwExecutable() { return std::string(NRW_BUILD_DIR) + "/bin/nrw"; }

pid_t StartNrw(const std::vector<std::string>& args, const std::string& out,
               const std::string& err) {
  std::vector<std::string> all = {NrwExecutable()};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!out.empty()) {
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  }
  if (!err.empty()) {
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  }
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaddset(&defaults, sig);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (rc != 0) ADD_FAILURE() << "could not start " << argv[0];
  return rc == 0 ? pid : -1;
}

const std::string& DemoDatabase() {
  static const std::unique_ptr<support::TempDir> dir = [] {
    auto made = std::make_unique<support::TempDir>();
    const Outcome outcome = Nrw({"demo-db", made->File("demo.db")});
    if (outcome.status != 0) ADD_FAILURE() << outcome.err;
    return made;
  }();
  static const std::string path = dir->File("demo.db");
  return path;
}

}  // namespace reliability
