#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <thread>

namespace nrw::server {
namespace {

// Both ends close on exec; the child's end is dup2'ed to its number, which clears that flag.
struct Pipe {
  int read = -1;
  int write = -1;
  void Open() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("não foi possível criar um pipe");
    read = fds[0];
    write = fds[1];
  }
  void Close() {
    if (read >= 0) close(read);
    if (write >= 0) close(write);
    read = write = -1;
  }
};

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

}  // namespace

ChildProcess::ChildProcess(const SpawnOptions& options) {
  if (options.argv.empty()) throw std::runtime_error("nenhum programa a executar");
  // Everything the child needs is made before fork: after it, only async-signal-safe calls.
  std::vector<char*> argv;
  for (const std::string& arg : options.argv) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  Pipe in, out, report;
  int err = -1;
  try {
    if (options.pipe_stdin) in.Open();
    if (options.pipe_stdout) out.Open();
    if (options.report_fd >= 3) report.Open();
    err = options.stderr_path.empty()
              ? open("/dev/null", O_WRONLY | O_CLOEXEC)
              : open(options.stderr_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (err < 0) throw std::runtime_error("não foi possível abrir a saída de erros do processo");
  } catch (...) {
    in.Close();
    out.Close();
    report.Close();
    CloseFd(err);
    throw;
  }
  const int null_in = options.pipe_stdin ? -1 : open("/dev/null", O_RDONLY | O_CLOEXEC);
  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
    // The server blocks its stop signals in every thread; the child starts with none blocked.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
#if !defined(__SANITIZE_ADDRESS__)
    // Not under AddressSanitizer: its shadow memory reserves terabytes of address space, and a
    // child built with it could not start under any limit of the address space.
    if (options.memory_limit > 0) {
      const rlimit limit{options.memory_limit, options.memory_limit};
      setrlimit(RLIMIT_AS, &limit);
    }
#endif
    dup2(options.pipe_stdin ? in.read : null_in, STDIN_FILENO);
    dup2(options.pipe_stdout ? out.write : err, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    int first_free = 3;
    if (report.write >= 0) {
      if (report.write == options.report_fd) {
        fcntl(report.write, F_SETFD, 0);
      } else {
        dup2(report.write, options.report_fd);
      }
      first_free = options.report_fd + 1;
    }
    // The server's sockets and the other children's pipes stay out of this one.
    for (int fd = 3; fd < first_free; ++fd) {
      if (fd != options.report_fd) close(fd);
    }
    close_range(static_cast<unsigned>(first_free), ~0U, 0);
    signal(SIGPIPE, SIG_DFL);
    execv(argv[0], argv.data());
    _exit(127);
  }
  const int fork_error = errno;
  if (null_in >= 0) close(null_in);
  close(err);
  CloseFd(in.read);
  CloseFd(out.write);
  CloseFd(report.write);
  if (pid < 0) {
    in.Close();
    out.Close();
    report.Close();
    throw std::runtime_error("não foi possível iniciar o processo (erro " +
                             std::to_string(fork_error) + ")");
  }
  // Also here, so that a signal sent right away already reaches the group.
  setpgid(pid, pid);
  pid_ = pid;
  stdin_fd_ = in.write;
  stdout_fd_ = out.read;
  report_fd_ = report.read;
}

ChildProcess::~ChildProcess() {
  if (!reaped_) {
    Signal(SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  CloseFd(stdin_fd_);
  CloseFd(stdout_fd_);
  CloseFd(report_fd_);
}

void ChildProcess::CloseStdin() { CloseFd(stdin_fd_); }

void ChildProcess::Signal(int signal) {
  if (reaped_) return;
  if (kill(-pid_, signal) != 0) kill(pid_, signal);
}

std::optional<ChildExit> ChildProcess::WaitFor(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      reaped_ = true;
      ChildExit exit;
      if (WIFEXITED(status)) exit.status = WEXITSTATUS(status);
      if (WIFSIGNALED(status)) exit.signal = WTERMSIG(status);
      // The workers of the group go with it.
      kill(-pid_, SIGKILL);
      return exit;
    }
    if (done < 0 && errno != EINTR) {
      reaped_ = true;
      return ChildExit{};
    }
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

ChildExit ChildProcess::Stop(std::chrono::milliseconds grace) {
  if (reaped_) return ChildExit{};
  Signal(SIGTERM);
  if (auto exit = WaitFor(grace)) return *exit;
  Signal(SIGKILL);
  while (true) {
    if (auto exit = WaitFor(std::chrono::milliseconds(1000))) return *exit;
  }
}

}  // namespace nrw::server
