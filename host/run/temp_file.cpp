#include "run/temp_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <memory>

#include "core/detailed_error.h"
#include "nrwhost/files.h"
#include "util/system_error.h"

namespace nrw {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSuffix = ".nrwtmp";
// "." + name + "." + pid + "-" + n + suffix: room for the numbers and the marks.
constexpr size_t kReserved = 1 + 1 + 10 + 1 + 20 + kSuffix.size();

struct Owner {
  pid_t pid = 0;
  uint64_t serial = 0;
};

Owner& TempOwner() {
  static Owner owner;
  return owner;
}

uint64_t NextSerial() { return ++TempOwner().serial; }

// The name cut to at most max bytes without splitting a UTF-8 character.
std::string CutName(const std::string& name, size_t max) {
  if (name.size() <= max) return name;
  size_t end = max;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  return name.substr(0, end);
}

// The pid of a temporary name, or 0 when the name is not one of ours.
pid_t PidOfTempName(std::string_view name) {
  if (name.size() <= kSuffix.size() + 4 || name.front() != '.' ||
      name.substr(name.size() - kSuffix.size()) != kSuffix) {
    return 0;
  }
  name.remove_suffix(kSuffix.size());
  const size_t dash = name.rfind('-');
  const size_t dot = name.rfind('.', dash);
  if (dash == std::string_view::npos || dot == std::string_view::npos || dot == 0) return 0;
  const std::string_view pid_text = name.substr(dot + 1, dash - dot - 1);
  const std::string_view serial = name.substr(dash + 1);
  if (pid_text.empty() || pid_text.size() > 10 || serial.empty()) return 0;
  for (const char c : serial) {
    if (c < '0' || c > '9') return 0;
  }
  int64_t pid = 0;
  for (const char c : pid_text) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

bool ProcessGone(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace

std::string TempNameFor(const std::string& target, pid_t pid, uint64_t n) {
  const fs::path path(target);
  const std::string name = "." + CutName(path.filename().string(), NAME_MAX - kReserved) + "." +
                           std::to_string(pid) + "-" + std::to_string(n) + std::string(kSuffix);
  return (path.parent_path() / name).string();
}

TempFile::TempFile(const std::string& target, Access access) : access_(access) {
  // A signal between creating the file and listing it would leave it behind.
  const SignalBlock hold_signals;
  const pid_t pid = TempOwner().pid != 0 ? TempOwner().pid : getpid();
  for (int attempt = 0;; ++attempt) {
    path_ = TempNameFor(target, pid, NextSerial());
    // 0666 less the umask: the mode of a new file.
    fd_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
               access == Access::kAsNewFile ? 0666 : 0600);
    if (fd_ >= 0) break;
    const int error = errno;
    if (error != EEXIST || attempt >= 100) {
      throw DetailedError(
          "Não foi possível criar o arquivo " + target + ": " + DescribeErrno(error) + ".", path_);
    }
  }
  entry_.path = path_.c_str();
  ListForCleanup(entry_);
  listed_ = true;
}

TempFile::TempFile(Adopted, std::string path, Access access)
    : path_(std::move(path)), access_(access) {
  entry_.path = path_.c_str();
  ListForCleanup(entry_);
  listed_ = true;
}

void UseTempOwner(pid_t owner, uint64_t serial_base) {
  TempOwner().pid = owner;
  TempOwner().serial = serial_base;
}

void NameTemporaryFilesAfter(int owner, int worker) {
  UseTempOwner(static_cast<pid_t>(owner), static_cast<uint64_t>(worker) << 40);
}

TempFile::~TempFile() {
  Close();
  if (listed_) {
    unlink(path_.c_str());
    UnlistForCleanup(entry_);
  }
}

int TempFile::Close() {
  if (fd_ < 0) return 0;
  const int result = close(fd_);
  fd_ = -1;
  return result == 0 ? 0 : errno;
}

void TempFile::Forget() {
  if (!listed_) return;
  UnlistForCleanup(entry_);
  listed_ = false;
}

void RemoveStaleTempFiles(const std::string& folder) {
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()),
                                                &closedir);
  if (!dir) return;
  const uid_t me = geteuid();
  const pid_t self = getpid();
  while (const dirent* entry = readdir(dir.get())) {
    const pid_t pid = PidOfTempName(entry->d_name);
    if (pid == 0 || pid == self || !ProcessGone(pid)) continue;
    struct stat info = {};
    if (fstatat(dirfd(dir.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(info.st_mode) || info.st_uid != me) continue;
    unlinkat(dirfd(dir.get()), entry->d_name, 0);
  }
}

}  // namespace nrw
