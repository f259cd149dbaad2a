// A benchmark's child process: the command run with its output to files, and what it cost (its
// own CPU time and peak memory, apart from the benchmark's).
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace bench {

struct ChildUsage {
  double wall_s = 0;
  double user_s = 0;
  double system_s = 0;
  double peak_mb = 0;
};

inline double Seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

//! Runs the command with stdout to out_path (/dev/null when empty) and stderr to log_path (both to
//! the one file when they are the same); raises, with the log, when it fails.
inline ChildUsage RunChild(const std::vector<std::string>& command,
                           const std::filesystem::path& out_path,
                           const std::filesystem::path& log_path) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string out = out_path.empty() ? "/dev/null" : out_path.string();
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out_path == log_path) {
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log_path.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  std::vector<char*> argv;
  for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("não foi possível iniciar " + command[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  ChildUsage result;
  result.wall_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.user_s = Seconds(usage.ru_utime);
  result.system_s = Seconds(usage.ru_stime);
  result.peak_mb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::ifstream log(log_path);
    std::stringstream text;
    text << log.rdbuf();
    const std::string what = command.size() > 1 ? command[0] + " " + command[1] : command[0];
    throw std::runtime_error(what + " falhou:\n" + text.str());
  }
  return result;
}

}  // namespace bench
