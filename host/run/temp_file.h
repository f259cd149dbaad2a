// Host-internal: a temporary file beside its target, the only way outputs are written. It is
// created with mode 0600 and O_EXCL under the name ".<target>.<pid>-<n>.nrwtmp" (the target's part
// cut so that the name stays within NAME_MAX), listed for removal on a fatal signal, and removed
// when the object goes unless it was renamed away. Files of that form whose process no longer
// exists (one killed by SIGKILL) are removed by the next run that writes into the same folder.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

#include "run/signal_cleanup.h"

namespace nrw {

class TempFile {
 public:
  //! Who may read the file while it waits: its owner only, or those a new file of the owner
  //! admits (the mode a target that does not exist takes: it needs no change when put in place).
  enum class Access { kOwner, kAsNewFile };
  //! Creates the file beside target. Raises Exception when the folder does not take it.
  explicit TempFile(const std::string& target, Access access = Access::kOwner);
  //! Takes charge of a temporary file another process of the run wrote (a worker's): listed for
  //! removal on a fatal signal and removed when the object goes, unless renamed away.
  struct Adopted {};
  TempFile(Adopted, std::string path, Access access = Access::kOwner);
  //! Closes the file and removes it, unless Forget was called.
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const std::string& Path() const { return path_; }
  Access GetAccess() const { return access_; }
  //! Open for writing until Close; -1 afterwards.
  int Fd() const { return fd_; }
  //! Closes the descriptor; answers 0 or the errno of a failed close.
  int Close();
  //! The name no longer holds this file (it was renamed over the target): nothing to remove.
  void Forget();

 private:
  std::string path_;
  Access access_ = Access::kOwner;
  int fd_ = -1;
  bool listed_ = false;
  CleanupEntry entry_;
};

//! The temporary name for a target, written by process pid as its n-th temporary file.
std::string TempNameFor(const std::string& target, pid_t pid, uint64_t n);

//! From now on the temporary files of this process are named after owner (the run that will
//! commit them: a worker names its files after the run that started it, so that they count as
//! that run's while it lives), their serials starting above serial_base.
void UseTempOwner(pid_t owner, uint64_t serial_base);

//! Removes, in the folder, the temporary files of processes that no longer exist (regular files of
//! this user whose names have the form of TempNameFor). Errors are ignored: it is housekeeping.
void RemoveStaleTempFiles(const std::string& folder);

}  // namespace nrw
