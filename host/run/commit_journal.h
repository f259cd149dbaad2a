// Host-internal: the record that makes the putting in place of many outputs survive the death of
// the process (SIGKILL, a power cut). Before the first output takes its target's place, a journal
// ".nrw-commit-<pid>.json" is written durably into every folder the commit touches; it lists each
// target with the identity (device, inode) of its new content and of the content it replaces.
// Once every target is in place and the folders are flushed, the journals are removed: that is the
// commit's point of no return, and only then are the old contents deleted. A process that dies
// before leaves its journal; the next run that writes into one of those folders undoes the commit
// from it (RecoverCommits): every target gets its old content back (or goes, when it had none), so
// that a folder never holds a mixture of two runs.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace nrw {

struct JournalEntry {
  //! Absolute paths.
  std::string target;
  std::string temp;
  dev_t device = 0;
  //! The new content (the temporary file's inode).
  ino_t new_inode = 0;
  //! The content the target held, or 0 when it did not exist.
  ino_t old_inode = 0;
};

class CommitJournal {
 public:
  //! Writes the journal into every folder of the entries and flushes it to the disk. Raises
  //! DetailedError when one cannot be written (nothing was placed yet).
  explicit CommitJournal(const std::vector<JournalEntry>& entries);
  //! Removes what is left of the journals (a failed commit undone by the caller).
  ~CommitJournal();
  CommitJournal(const CommitJournal&) = delete;
  CommitJournal& operator=(const CommitJournal&) = delete;

  //! Every target is in place: flushes the folders and removes the journals, durably.
  void Complete() noexcept;

 private:
  std::vector<std::string> folders_;
  std::vector<std::string> files_;
};

//! Undoes the commits of dead processes whose journals lie in the folder (see above), then removes
//! those journals. Errors are ignored: what cannot be undone now stays for the next run.
void RecoverCommits(const std::string& folder);

//! Before writing into a folder: undoes the dead processes' commits found there (RecoverCommits),
//! then removes their temporary files. In that order, since an undone commit takes its old contents
//! back from those files.
void SweepFolder(const std::string& folder);

//! The entry of a temporary file about to take target's place (paths made absolute).
JournalEntry JournalEntryFor(const std::string& temp, const std::string& target);

}  // namespace nrw
