#include "run/signal_cleanup.h"

#include <unistd.h>

#include <cerrno>

#include "nrwhost/files.h"

namespace nrw {
namespace {

constexpr int kFatalSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

CleanupEntry* volatile g_head = nullptr;

sigset_t FatalSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int sig : kFatalSignals) sigaddset(&set, sig);
  return set;
}

extern "C" void RemoveTempFilesAndDie(int sig) {
  const int saved_errno = errno;
  for (CleanupEntry* entry = g_head; entry != nullptr; entry = entry->next) unlink(entry->path);
  // Dies of the same signal once the handler returns (the signal is blocked until then).
  signal(sig, SIG_DFL);
  raise(sig);
  errno = saved_errno;
}

}  // namespace

SignalBlock::SignalBlock() {
  const sigset_t fatal = FatalSignals();
  sigprocmask(SIG_BLOCK, &fatal, &previous_);
}

SignalBlock::~SignalBlock() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }

void ListForCleanup(CleanupEntry& entry) {
  const SignalBlock block;
  entry.prev = nullptr;
  entry.next = g_head;
  if (g_head != nullptr) g_head->prev = &entry;
  g_head = &entry;
}

void UnlistForCleanup(CleanupEntry& entry) {
  const SignalBlock block;
  if (entry.prev != nullptr) {
    entry.prev->next = entry.next;
  } else if (g_head == &entry) {
    g_head = entry.next;
  }
  if (entry.next != nullptr) entry.next->prev = entry.prev;
  entry.prev = entry.next = nullptr;
}

void RemoveTempFilesOnSignals() {
  // Under a file-size limit a write past it kills the process with SIGXFSZ, its temporary files
  // left behind; ignored, the write fails with EFBIG and the run says so like a full disk.
  struct sigaction size_limit = {};
  sigaction(SIGXFSZ, nullptr, &size_limit);
  if (size_limit.sa_handler == SIG_DFL) signal(SIGXFSZ, SIG_IGN);
  struct sigaction action = {};
  action.sa_handler = RemoveTempFilesAndDie;
  action.sa_mask = FatalSignals();
  for (const int sig : kFatalSignals) {
    struct sigaction current = {};
    sigaction(sig, nullptr, &current);
    // A signal the program ignores (nohup) or handles itself stays as it is.
    if (current.sa_handler == SIG_DFL) sigaction(sig, &action, nullptr);
  }
}

}  // namespace nrw
