#include "run/output_files.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/detailed_error.h"
#include "core/fault_points.h"
#include "nrw/format.h"
#include "nrw/util.h"
#include "nrwhost/files.h"
#include "run/commit_journal.h"
#include "run/file_writer.h"
#include "run/sha256.h"
#include "run/signal_cleanup.h"
#include "util/system_error.h"

namespace nrw {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void RaiseFileError(const std::string& what, const std::string& path, int error) {
  throw DetailedError(what + " " + path + ": " + DescribeErrno(error) + ".",
                      path + ": " + std::strerror(error));
}

// An unnamed file in the temporary folder: nothing to remove, whatever happens to the process.
int OpenSpool() {
  const char* dir = std::getenv("TMPDIR");
  const std::string folder = dir != nullptr && *dir != '\0' ? dir : "/tmp";
  int fd = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0) return fd;
  std::string name = folder + "/nrw-saida-XXXXXX";
  fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) RaiseFileError("Não foi possível criar um arquivo temporário em", folder, errno);
  unlink(name.c_str());
  return fd;
}

void CopyToStdout(int spool) {
  if (lseek(spool, 0, SEEK_SET) != 0) RaiseFileError("Não foi possível ler", "a saída", errno);
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = read(spool, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) RaiseFileError("Não foi possível ler", "a saída", errno);
    if (got == 0) return;
    if (const int error = WriteAll(STDOUT_FILENO, buffer, static_cast<size_t>(got))) {
      throw DetailedError("Não foi possível gravar na saída padrão: " + DescribeErrno(error) + ".",
                          std::strerror(error));
    }
  }
}

}  // namespace

mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

std::string SafeFileNamePart(std::string_view value) {
  std::string safe;
  safe.reserve(value.size());
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unsafe = byte < 0x20 || byte == 0x7F ||
                        std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
    safe += unsafe ? '_' : c;
  }
  if (!safe.empty() && safe.find_first_not_of('.') == std::string::npos) safe = "_";
  return safe;
}

std::string ExpandPlaceholders(const std::string& pattern,
                               const std::function<std::string(const std::string&)>& value) {
  std::string result;
  size_t i = 0;
  while (i < pattern.size()) {
    const size_t open = pattern.find('{', i);
    const size_t close = open == std::string::npos ? open : pattern.find('}', open);
    if (close == std::string::npos) {
      result.append(pattern, i, std::string::npos);
      break;
    }
    result.append(pattern, i, open - i);
    result += value(pattern.substr(open + 1, close - open - 1));
    i = close + 1;
  }
  return result;
}

std::string PlaceholderText(const std::string& spec, const PatternLookup& lookup,
                            const std::string& option) {
  const std::vector<std::string> pieces = SplitString(spec, ':');
  const std::optional<std::string> value = lookup(pieces[0]);
  if (!value) {
    throw UsageError(option + " usa {" + pieces[0] + "}, que não é parâmetro do relatório.");
  }
  if (pieces.size() == 1) return *value;
  int64_t count = 0;
  if (pieces[1] != "digits" || pieces.size() > 3 ||
      (pieces.size() == 3 && (!TryStrToInt(pieces[2], count) || count == 0))) {
    throw UsageError("Marcador inválido em " + option + ": {" + spec +
                     "} (use {NOME}, {NOME:digits}, {NOME:digits:N} ou {NOME:digits:-N}).");
  }
  std::string digits = LimparStrToInteger(*value);
  const size_t wanted = static_cast<size_t>(count < 0 ? -count : count);
  if (count > 0 && wanted < digits.size()) digits.resize(wanted);
  if (count < 0 && wanted < digits.size()) digits.erase(0, digits.size() - wanted);
  return digits;
}

std::string ExpandOutputPattern(const std::string& pattern, const PatternLookup& lookup) {
  const std::string result = ExpandPlaceholders(pattern, [&](const std::string& spec) {
    const std::string name = spec.substr(0, spec.find(':'));
    if (!lookup(name)) {
      throw UsageError("O nome de saída '" + pattern + "' usa {" + name +
                       "}, que não é parâmetro do relatório.");
    }
    return SafeFileNamePart(PlaceholderText(spec, lookup, "--out"));
  });
  const std::string file_name = fs::path(result).filename().string();
  if (file_name.empty() || file_name == "." || file_name == "..") {
    throw UsageError("O nome de saída '" + pattern + "' resulta em '" + result +
                     "', que não é um nome de arquivo.");
  }
  return result;
}

FilePlacement::FilePlacement(TempFile& temp, std::string target, mode_t new_file_mode)
    : temp_(temp), target_(std::move(target)), new_file_mode_(new_file_mode) {}

void FilePlacement::Place() {
  struct stat info = {};
  const bool exists = lstat(target_.c_str(), &info) == 0;
  if (!exists && errno != ENOENT) RaiseFileError("Não foi possível gravar", target_, errno);
  if (exists && !S_ISREG(info.st_mode)) {
    throw UsageError("Saída " + target_ + ": deixou de ser um arquivo comum durante a execução.");
  }
  const bool has_mode = !exists && temp_.GetAccess() == TempFile::Access::kAsNewFile;
  if (!has_mode &&
      chmod(temp_.Path().c_str(), exists ? (info.st_mode & 07777) : new_file_mode_) != 0) {
    RaiseFileError("Não foi possível gravar", target_, errno);
  }
  if (!exists) {
    // NOREPLACE: a file that appeared meanwhile is not silently lost.
    if (renameat2(AT_FDCWD, temp_.Path().c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) ==
            0 ||
        ((errno == EINVAL || errno == ENOSYS) &&
         rename(temp_.Path().c_str(), target_.c_str()) == 0)) {
      how_ = How::Created;
      temp_.Forget();
      return;
    }
    RaiseFileError("Não foi possível gravar", target_, errno);
  }
  // The old content takes the temporary name: Undo swaps back, success lets it be removed.
  if (renameat2(AT_FDCWD, temp_.Path().c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE) == 0) {
    how_ = How::Exchanged;
    return;
  }
  if (errno != EINVAL && errno != ENOSYS) RaiseFileError("Não foi possível gravar", target_, errno);
  // A file system without exchange: the old content keeps a second name until the run is done.
  backup_ = std::make_unique<TempFile>(target_);
  backup_->Close();
  if (rename(target_.c_str(), backup_->Path().c_str()) != 0) {
    RaiseFileError("Não foi possível gravar", target_, errno);
  }
  if (rename(temp_.Path().c_str(), target_.c_str()) != 0) {
    const int error = errno;
    rename(backup_->Path().c_str(), target_.c_str());
    RaiseFileError("Não foi possível gravar", target_, error);
  }
  how_ = How::Moved;
  temp_.Forget();
}

void FilePlacement::Undo() noexcept {
  switch (how_) {
    case How::None:
      break;
    case How::Created:
      unlink(target_.c_str());
      break;
    case How::Exchanged:
      renameat2(AT_FDCWD, temp_.Path().c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE);
      break;
    case How::Moved:
      rename(backup_->Path().c_str(), target_.c_str());
      break;
  }
  how_ = How::None;
}

void FilePlacement::Settle() noexcept {
  backup_.reset();
  how_ = How::None;
}

PendingOutputs::PendingOutputs(std::vector<std::string> protected_files, bool hash)
    : protected_files_(std::move(protected_files)), hash_(hash) {}

PendingOutputs::~PendingOutputs() {
  if (stdout_spool_ >= 0) close(stdout_spool_);
  entries_.clear();
  if (committed_) return;
  for (auto it = made_folders_.rbegin(); it != made_folders_.rend(); ++it) rmdir(it->c_str());
}

bool PendingOutputs::Check(const std::string& path) const {
  // Outputs of one run come from one pattern: their names were told apart already, as texts.
  const fs::path folder = fs::path(path).parent_path();
  const std::string folder_name = folder.string();
  if (const auto checked = checked_folders_.find(folder_name); checked != checked_folders_.end()) {
    return CheckOutputTargetIn(path, checked->second, protected_files_);
  }
  std::error_code error;
  if (folder.empty() || fs::exists(folder, error)) {
    const bool exists = CheckOutputTarget(path, protected_files_);
    const FileIdentity identity = IdentityOf(folder.empty() ? "." : folder_name);
    if (identity.known && identity.name.empty()) checked_folders_.emplace(folder_name, identity);
    return exists;
  }
  // The nearest folder that exists must be one that takes new folders.
  if (checked_missing_folders_.count(folder_name) != 0) return false;
  fs::path existing = folder;
  while (!existing.empty() && !fs::exists(existing, error)) existing = existing.parent_path();
  if (existing.empty()) existing = ".";
  struct stat info = {};
  if (stat(existing.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    throw UsageError("Saída " + path + ": " + existing.string() + " não é uma pasta.");
  }
  if (access(existing.c_str(), W_OK | X_OK) != 0) {
    throw UsageError("Saída " + path + ": sem permissão para criar pastas em " + existing.string() +
                     ".");
  }
  checked_missing_folders_.insert(folder_name);
  return false;
}

bool PendingOutputs::Prepare(const std::string& path) {
  const bool exists = Check(path);
  const fs::path folder = fs::path(path).parent_path();
  // A folder prepared before is there (made by this run, or found).
  if (swept_folders_.count(folder.string()) != 0) return exists;
  std::vector<fs::path> missing;
  std::error_code error;
  for (fs::path at = folder; !at.empty() && !fs::exists(at, error); at = at.parent_path()) {
    missing.push_back(at);
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (mkdir(it->c_str(), 0777) == 0) {
      made_folders_.push_back(it->string());
    } else if (errno != EEXIST) {
      RaiseFileError("Não foi possível criar a pasta", it->string(), errno);
    }
  }
  const std::string name = folder.string();
  if (swept_folders_.insert(name).second) {
    SweepFolder(name);
  }
  return exists;
}

WrittenFile PendingOutputs::Write(const std::string& path,
                                  const std::function<void(std::ostream&)>& content) {
  return *WriteIf(path, [&content](std::ostream& out) {
    content(out);
    return true;
  });
}

std::optional<WrittenFile> PendingOutputs::WriteIf(
    const std::string& path, const std::function<bool(std::ostream&)>& content) {
  // A new target's file waits with the mode it will have: nothing to change when it is put in
  // place. One that replaces a file waits private, and takes the old file's mode.
  const bool exists = Prepare(path);
  auto temp = std::make_unique<TempFile>(
      path, exists ? TempFile::Access::kOwner : TempFile::Access::kAsNewFile);
  Sha256 hash;
  WrittenFile written;
  {
    FdWriter writer(temp->Fd(), hash_ ? &hash : nullptr);
    if (!content(writer.Stream())) return std::nullopt;
    writer.Finish(path, false);
    written.bytes = writer.Bytes();
  }
  if (const int error = temp->Close()) RaiseFileError("Não foi possível gravar", path, error);
  written.temp = temp->Path();
  written.new_file_mode = !exists;
  if (hash_) written.sha256 = hash.HexDigest();
  entries_.push_back({path, std::move(temp)});
  return written;
}

void PendingOutputs::Adopt(const std::string& path, const std::string& temp, bool new_file_mode) {
  entries_.push_back({path, std::make_unique<TempFile>(TempFile::Adopted{}, temp,
                                                       new_file_mode ? TempFile::Access::kAsNewFile
                                                                     : TempFile::Access::kOwner)});
}

void PendingOutputs::HandOver() {
  for (Entry& entry : entries_) entry.temp->Forget();
  entries_.clear();
  committed_ = true;
}

void PendingOutputs::WriteStdout(const std::function<void(std::ostream&)>& content) {
  if (stdout_spool_ < 0) stdout_spool_ = OpenSpool();
  FdWriter writer(stdout_spool_);
  content(writer.Stream());
  writer.Finish("a saída", false);
}

// One flush per file costs a synchronous round trip to the disk each, which dominates a run of
// thousands of small parts; a file system's flush writes them all in one go.
void PendingOutputs::FlushToDisk() {
  const auto flush = [](const std::string& file, bool whole_file_system) {
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    int result = whole_file_system ? syncfs(fd) : fsync(fd);
    const int error = result != 0 ? errno : 0;
    close(fd);
    if (FaultPoints::FailWrite()) return EIO;
    // A file system that cannot flush (EINVAL) keeps what it has; a read-only one has nothing new.
    return error == EINVAL || error == EROFS ? 0 : error;
  };
  const bool one_by_one = entries_.size() <= kFlushedOneByOne;
  std::set<dev_t> flushed;
  std::set<std::string> folders;
  for (const Entry& entry : entries_) {
    if (!one_by_one) {
      if (!folders.insert(fs::path(entry.temp->Path()).parent_path().string()).second) continue;
      struct stat info = {};
      if (stat(entry.temp->Path().c_str(), &info) != 0) {
        RaiseFileError("Não foi possível gravar", entry.path, errno);
      }
      if (!flushed.insert(info.st_dev).second) continue;
    }
    if (const int error = flush(entry.temp->Path(), !one_by_one)) {
      RaiseFileError("Não foi possível gravar", entry.path, error);
    }
  }
}

void PendingOutputs::Commit() {
  FlushToDisk();
  {
    // A signal waits until every target is in place or back as it was; a death that cannot wait
    // (SIGKILL) leaves the journal, from which the next run undoes the commit.
    const SignalBlock hold_signals;
    std::optional<CommitJournal> journal;
    if (entries_.size() > 1) {
      std::vector<JournalEntry> journal_entries;
      journal_entries.reserve(entries_.size());
      for (const Entry& entry : entries_) {
        journal_entries.push_back(JournalEntryFor(entry.temp->Path(), entry.path));
      }
      journal.emplace(journal_entries);
    }
    std::vector<std::unique_ptr<FilePlacement>> placed;
    placed.reserve(entries_.size());
    const mode_t new_file_mode = NewFileMode();
    try {
      for (Entry& entry : entries_) {
        FaultPoints::BeforePlacement();
        placed.push_back(std::make_unique<FilePlacement>(*entry.temp, entry.path, new_file_mode));
        placed.back()->Place();
      }
    } catch (...) {
      for (auto it = placed.rbegin(); it != placed.rend(); ++it) (*it)->Undo();
      throw;
    }
    if (journal) journal->Complete();
    for (auto& placement : placed) placement->Settle();
    entries_.clear();
    committed_ = true;
  }
  if (stdout_spool_ >= 0) {
    const int spool = stdout_spool_;
    stdout_spool_ = -1;
    struct Closer {
      int fd;
      ~Closer() { close(fd); }
    } closer{spool};
    CopyToStdout(spool);
  }
}

}  // namespace nrw
