// A child process of the server (a panel or a run), with the pipes the server talks to it through
// and the limits it runs under. The child leads its own process group, so that a signal reaches
// the workers a run starts too. Destroying a ChildProcess that still runs kills its group and
// reaps it: no child outlives its owner.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nrw::server {

struct SpawnOptions {
  //! argv[0] is the program's path.
  std::vector<std::string> argv;
  bool pipe_stdin = false;
  bool pipe_stdout = false;
  //! A descriptor number in the child (3 or more) that gets the write end of a pipe; -1: none.
  int report_fd = -1;
  //! Where stderr goes (created, mode 0600); empty: /dev/null.
  std::string stderr_path;
  //! RLIMIT_AS in bytes; 0: none.
  uint64_t memory_limit = 0;
};

//! How a child ended.
struct ChildExit {
  //! The exit status, when it exited.
  std::optional<int> status;
  //! The signal that killed it, when one did.
  std::optional<int> signal;
};

class ChildProcess {
 public:
  //! Starts the program; raises std::runtime_error when it cannot.
  explicit ChildProcess(const SpawnOptions& options);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t Pid() const { return pid_; }
  //! The server's ends of the pipes; -1 when not asked for (or closed).
  int StdinFd() const { return stdin_fd_; }
  int StdoutFd() const { return stdout_fd_; }
  int ReportFd() const { return report_fd_; }
  void CloseStdin();

  //! Sends the signal to the child's process group (nothing once it was reaped).
  void Signal(int signal);
  //! Waits up to timeout for the child to end; nullopt while it still runs.
  std::optional<ChildExit> WaitFor(std::chrono::milliseconds timeout);
  //! SIGTERM, then SIGKILL after grace; answers how it ended.
  ChildExit Stop(std::chrono::milliseconds grace);

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
  int stdin_fd_ = -1;
  int stdout_fd_ = -1;
  int report_fd_ = -1;
};

}  // namespace nrw::server
