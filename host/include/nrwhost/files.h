// Application API: the files a run reads and writes. Outputs are only ever regular files, written
// under a temporary name beside their target (mode 0600) and put in place by rename; nothing else
// on disk is replaced. Every fault found here is a UsageError that names the path and says why.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "nrw/api.h"
#include "nrw/core.h"

namespace nrw {

//! A fault in what the user asked for (a name, a value, a file), found before anything was written.
//! The message is one Portuguese line; the detail, when there is one, is for --verbose.
class NRW_API UsageError : public Exception {
 public:
  explicit UsageError(const std::string& message, std::string detail = {});
  ~UsageError() override;
  const std::string& Detail() const { return detail_; }

 private:
  std::string detail_;
};

//! What the source of a host error said (the database's or the system's own words, the statement),
//! for --verbose; empty when the error carries nothing beyond its message.
NRW_API std::string ErrorDetail(const std::exception& error);

//! Raises UsageError unless path names a regular file that can be read. what names the file in the
//! message ("Banco de dados", "Módulo").
NRW_API void CheckInputFile(const std::string& path, const std::string& what);

//! Raises UsageError unless path may receive an output: a name in an existing folder that is free
//! or a regular file, and none of the protected files (the database, another output of the run).
//! "-" (stdout) is always accepted.
NRW_API void CheckOutputTarget(const std::string& path,
                               const std::vector<std::string>& protected_files);

//! Whether two names denote one file: the same device and inode when both exist; when neither
//! does, the same name in the same folder (the folder known by its device and inode, so that
//! links to it do not hide it).
NRW_API bool SameFile(const std::string& a, const std::string& b);

//! The database file and the files SQLite keeps beside it ("-wal", "-shm", "-journal"), also those
//! not there yet, beside the name and beside the file a link leads to: what no output may replace.
//! Empty for an empty path (a database without a file).
NRW_API std::vector<std::string> DatabaseFiles(const std::string& path);

//! From now on SIGINT, SIGTERM, SIGHUP and SIGPIPE remove the temporary files of unfinished outputs
//! before the process dies of the signal as it would have, and SIGXFSZ is ignored (a write past a
//! file-size limit fails like one to a full disk). Safe to call more than once.
NRW_API void RemoveTempFilesOnSignals();

//! A worker process of a parallel run names its temporary files after the run that started it
//! (owner, a live process), so that they count as that run's until it commits them; worker (1..N)
//! keeps the names of the workers apart.
NRW_API void NameTemporaryFilesAfter(int owner, int worker);

//! Writes a file whole or not at all: the content goes to a temporary file beside path, which
//! Commit puts in place. Without Commit (or when it fails) the target stays as it was.
class NRW_API AtomicFile {
 public:
  //! Raises UsageError when path may not be written (see CheckOutputTarget).
  AtomicFile(const std::string& path, const std::vector<std::string>& protected_files);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  //! The temporary file, for programs that write it by name (SQLite).
  const std::string& TempPath() const;
  //! Renames the temporary file over the target; raises Exception when it cannot.
  void Commit();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace nrw
