// Output files of a run: names from a pattern with {PARAM} placeholders, and the outputs written
// whole or not at all. Each file goes to a temporary file beside its target (temp_file.h) and all
// of them are put in place together by Commit: either every target is replaced or, when one
// cannot be, those already replaced get their old content back; a commit record (commit_journal.h)
// lets the next run undo a commit that a killed process left half done. Folders an output needs
// are made when missing, and removed again when the run fails. Pages for stdout are kept in an
// unnamed temporary file and copied out by Commit, so that a failed run prints nothing.
#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "run/file_identity.h"
#include "run/temp_file.h"

namespace nrw {

//! The value with every character unsafe in a file name ('/', '\\', ':', '*', '?', '"', '<', '>',
//! '|', control characters) replaced by '_'; a value of dots only (".", "..") becomes "_".
std::string SafeFileNamePart(std::string_view value);

//! The value of a placeholder name; nothing when the name is unknown.
using PatternLookup = std::function<std::optional<std::string>(std::string_view name)>;

//! The pattern with each {SPEC} replaced by what value answers for SPEC; from a '{' without its '}'
//! on, the pattern stays as written.
std::string ExpandPlaceholders(const std::string& pattern,
                               const std::function<std::string(const std::string&)>& value);

//! A placeholder of an output name or a password: "NAME" the parameter's value, "NAME:digits" only
//! its digits, "NAME:digits:N" its first N digits, "NAME:digits:-N" its last N. Raises UsageError
//! for an unknown name or a malformed placeholder, naming the option (--out, --password).
std::string PlaceholderText(const std::string& spec, const PatternLookup& lookup,
                            const std::string& option);

//! The pattern with each {NAME} (or its digits, as PlaceholderText) replaced by its value made
//! safe. Raises UsageError for an unknown name and for a pattern that gives no file name.
std::string ExpandOutputPattern(const std::string& pattern, const PatternLookup& lookup);

//! The target's mode for a new file (0666 less the umask), or an existing target's own mode, is
//! given to the temporary file; then temp takes target's place. How it did so is kept for Undo.
//! 0666 less the process's umask.
mode_t NewFileMode();

class FilePlacement {
 public:
  //! new_file_mode: the mode of a target that did not exist (0666 less the umask).
  FilePlacement(TempFile& temp, std::string target, mode_t new_file_mode = NewFileMode());
  FilePlacement(const FilePlacement&) = delete;
  FilePlacement& operator=(const FilePlacement&) = delete;
  //! Raises DetailedError when the target cannot be replaced; nothing changed then.
  void Place();
  //! Puts back what the target was before Place (best effort: the run is failing already).
  void Undo() noexcept;
  //! Drops what Undo would need (the old content).
  void Settle() noexcept;

 private:
  enum class How { None, Created, Exchanged, Moved };
  TempFile& temp_;
  std::string target_;
  mode_t new_file_mode_;
  How how_ = How::None;
  std::unique_ptr<TempFile> backup_;
};

//! What Write put under a temporary name.
struct WrittenFile {
  std::string temp;
  //! The temporary file has the mode of a new file already (its target did not exist).
  bool new_file_mode = false;
  uint64_t bytes = 0;
  //! Lower-case hex SHA-256 of the content; empty when the outputs are not hashed.
  std::string sha256;
};

class PendingOutputs {
 public:
  //! protected_files: files no output may replace (the database, the trace). hash: whether the
  //! written files' SHA-256 is computed (a manifest records it).
  explicit PendingOutputs(std::vector<std::string> protected_files, bool hash = true);
  //! Removes every temporary file that was not committed.
  ~PendingOutputs();
  PendingOutputs(const PendingOutputs&) = delete;
  PendingOutputs& operator=(const PendingOutputs&) = delete;

  //! Raises UsageError when path may not be written (CheckOutputTarget); a missing folder is
  //! accepted when it can be made (an existing folder that takes new files holds it). Answers
  //! whether the target exists.
  bool Check(const std::string& path) const;
  //! Writes the file's content to a temporary file beside path (flushed to the disk by Commit,
  //! before anything takes a target's place). Raises when it cannot be written (nothing of the
  //! target is touched).
  WrittenFile Write(const std::string& path, const std::function<void(std::ostream&)>& content);
  //! As Write, but content answers whether the file is kept: when not, it is removed at once and
  //! nothing is answered.
  std::optional<WrittenFile> WriteIf(const std::string& path,
                                     const std::function<bool(std::ostream&)>& content);
  //! A file of path that another process of the run wrote under the temporary name temp
  //! (new_file_mode: WrittenFile::new_file_mode).
  void Adopt(const std::string& path, const std::string& temp, bool new_file_mode);
  //! Leaves every written file under its temporary name, for the run that will commit them (a
  //! worker's): nothing is removed or put in place from now on.
  void HandOver();
  //! Adds the content to what Commit prints on stdout.
  void WriteStdout(const std::function<void(std::ostream&)>& content);
  //! Flushes every file to the disk, then puts every file in place, all or none, then copies the
  //! stdout pages out. Raises when one cannot be; the targets then hold what they held before.
  void Commit();

  //! Up to this many files are flushed one by one; more, a file system at a time.
  static constexpr size_t kFlushedOneByOne = 8;

 private:
  struct Entry {
    std::string path;
    std::unique_ptr<TempFile> temp;
  };
  //! Makes the missing folders of path (recorded, for removal when the run fails), and once per
  //! folder undoes the commits of dead runs and removes their temporary files. Answers whether the
  //! target exists.
  bool Prepare(const std::string& path);
  //! Every written file on the disk; raises naming a file of the file system that failed.
  void FlushToDisk();

  ProtectedFiles protected_files_;
  bool hash_;
  std::vector<Entry> entries_;
  std::set<std::string> swept_folders_;
  //! Folders whose check passed, with their identity.
  mutable std::map<std::string, FileIdentity> checked_folders_;
  //! Missing folders whose nearest existing folder takes new folders.
  mutable std::set<std::string> checked_missing_folders_;
  //! Folders this run made, in the order made.
  std::vector<std::string> made_folders_;
  bool committed_ = false;
  int stdout_spool_ = -1;
};

}  // namespace nrw
