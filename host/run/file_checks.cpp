// What may be read and written: the checks every input and output path passes before a run touches
// anything, and AtomicFile for programs that write a whole file by name.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>

#include "nrwhost/files.h"
#include "run/commit_journal.h"
#include "run/file_identity.h"
#include "run/output_files.h"
#include "run/temp_file.h"
#include "util/system_error.h"

namespace nrw {
namespace {

namespace fs = std::filesystem;

std::string KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "é uma pasta";
  if (S_ISLNK(mode)) return "é um link simbólico";
  if (S_ISFIFO(mode)) return "é um pipe (FIFO)";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "é um dispositivo";
  if (S_ISSOCK(mode)) return "é um socket";
  return "não é um arquivo comum";
}

// A path as messages show it: whole when it is of a sensible length, otherwise its ends.
std::string Shown(const std::string& path) {
  constexpr size_t kHead = 60;
  constexpr size_t kTail = 60;
  if (path.size() <= kHead + kTail + 3) return path;
  size_t head = kHead;
  while (head > 0 && (static_cast<unsigned char>(path[head]) & 0xC0) == 0x80) --head;
  size_t tail = path.size() - kTail;
  while (tail < path.size() && (static_cast<unsigned char>(path[tail]) & 0xC0) == 0x80) ++tail;
  return path.substr(0, head) + "..." + path.substr(tail);
}

[[noreturn]] void Refuse(const std::string& what, const std::string& path, const std::string& why,
                         int error = 0) {
  throw UsageError(what + " " + Shown(path) + ": " + why + ".",
                   error != 0 ? path + ": " + std::strerror(error) : std::string());
}

// The folder an output is created in must exist and take new files.
void CheckFolder(const std::string& path) {
  std::string folder = fs::path(path).parent_path().string();
  if (folder.empty()) folder = ".";
  struct stat info = {};
  if (stat(folder.c_str(), &info) != 0) {
    const int error = errno;
    Refuse("Saída", path, "a pasta " + Shown(folder) + " " + DescribeErrno(error), error);
  }
  if (!S_ISDIR(info.st_mode)) Refuse("Saída", path, Shown(folder) + " não é uma pasta");
  if (access(folder.c_str(), W_OK | X_OK) != 0) {
    const int error = errno;
    Refuse("Saída", path, "sem permissão para gravar na pasta " + Shown(folder), error);
  }
}

}  // namespace

void CheckInputFile(const std::string& path, const std::string& what) {
  if (path.empty()) throw UsageError(what + ": o nome do arquivo está vazio.");
  struct stat info = {};
  if (stat(path.c_str(), &info) != 0) {
    const int error = errno;
    Refuse(what, path, DescribeErrno(error), error);
  }
  if (!S_ISREG(info.st_mode)) Refuse(what, path, KindOf(info.st_mode));
  if (access(path.c_str(), R_OK) != 0) {
    const int error = errno;
    Refuse(what, path, "sem permissão de leitura", error);
  }
}

bool SameFile(const std::string& a, const std::string& b) {
  if (a == b) return true;
  return IdentityOf(a) == IdentityOf(b);
}

std::vector<std::string> DatabaseFiles(const std::string& path) {
  if (path.empty()) return {};
  std::vector<std::string> bases = {path};
  // SQLite keeps its companions beside the file a link leads to.
  std::error_code error;
  const fs::path resolved = fs::canonical(path, error);
  if (!error && resolved.string() != path) bases.push_back(resolved.string());
  std::vector<std::string> files;
  for (const std::string& base : bases) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) files.push_back(base + suffix);
  }
  return files;
}

void CheckOutputTarget(const std::string& path, const std::vector<std::string>& protected_files) {
  if (path == "-") return;
  CheckOutputTarget(path, ProtectedFiles(protected_files));
}

namespace {

// The checks of the target itself: a file's name, free or a regular file. Answers whether it exists
// (info then holds what it is).
bool CheckTargetItself(const std::string& path, struct stat& info) {
  if (path.empty()) throw UsageError("Saída: o nome do arquivo está vazio.");
  const std::string name = fs::path(path).filename().string();
  if (name.empty() || name == "." || name == "..")
    Refuse("Saída", path, "não é um nome de arquivo");
  if (name.size() > NAME_MAX) Refuse("Saída", path, DescribeErrno(ENAMETOOLONG));
  if (lstat(path.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) {
      Refuse("Saída", path, KindOf(info.st_mode) + "; só arquivos comuns são substituídos");
    }
    return true;
  }
  if (errno != ENOENT) {
    const int error = errno;
    Refuse("Saída", path, DescribeErrno(error), error);
  }
  return false;
}

void RefuseProtected(const std::string& path, const FileIdentity& identity,
                     const ProtectedFiles& protected_files) {
  if (const std::string* other = protected_files.Find(path, identity)) {
    Refuse("Saída", path,
           "é o mesmo arquivo que " + Shown(*other) + ", que esta execução não pode substituir");
  }
}

}  // namespace

bool CheckOutputTarget(const std::string& path, const ProtectedFiles& protected_files) {
  if (path == "-") return false;
  struct stat info = {};
  const bool exists = CheckTargetItself(path, info);
  CheckFolder(path);
  RefuseProtected(path, IdentityOf(path), protected_files);
  return exists;
}

bool CheckOutputTargetIn(const std::string& path, const FileIdentity& folder,
                         const ProtectedFiles& protected_files) {
  struct stat info = {};
  FileIdentity identity = folder;
  const bool exists = CheckTargetItself(path, info);
  if (exists) {
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
  } else {
    identity.name = fs::path(path).filename().string();
  }
  RefuseProtected(path, identity, protected_files);
  return exists;
}

struct AtomicFile::Impl {
  std::string path;
  TempFile temp;
  explicit Impl(const std::string& target) : path(target), temp(target) {}
};

AtomicFile::AtomicFile(const std::string& path, const std::vector<std::string>& protected_files) {
  CheckOutputTarget(path, protected_files);
  SweepFolder(fs::path(path).parent_path().string());
  impl_ = std::make_unique<Impl>(path);
  impl_->temp.Close();
}

AtomicFile::~AtomicFile() = default;

const std::string& AtomicFile::TempPath() const { return impl_->temp.Path(); }

void AtomicFile::Commit() {
  FilePlacement placement(impl_->temp, impl_->path);
  placement.Place();
  placement.Settle();
}

}  // namespace nrw
