// Host-internal: the temporary files a fatal signal must remove. Entries are linked into one list
// while signals are blocked; the handler only reads the list and calls unlink, which is safe in a
// signal handler. One thread.
#pragma once

#include <signal.h>

namespace nrw {

//! One file to remove; path must stay valid (and unchanged) while the entry is listed.
struct CleanupEntry {
  const char* path = nullptr;
  CleanupEntry* prev = nullptr;
  CleanupEntry* next = nullptr;
};

void ListForCleanup(CleanupEntry& entry);
void UnlistForCleanup(CleanupEntry& entry);

//! Holds SIGINT, SIGTERM, SIGHUP and SIGPIPE back for its lifetime (a commit is not cut in half);
//! one that arrives meanwhile is delivered afterwards.
class SignalBlock {
 public:
  SignalBlock();
  ~SignalBlock();
  SignalBlock(const SignalBlock&) = delete;
  SignalBlock& operator=(const SignalBlock&) = delete;

 private:
  sigset_t previous_;
};

}  // namespace nrw
