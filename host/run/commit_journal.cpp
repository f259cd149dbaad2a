#include "run/commit_journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "core/detailed_error.h"
#include "run/file_writer.h"
#include "run/temp_file.h"
#include "util/system_error.h"

namespace nrw {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = ".nrw-commit-";
constexpr std::string_view kSuffix = ".json";

std::string Absolute(const std::string& path) {
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  return (error ? fs::path(path) : absolute).lexically_normal().string();
}

std::string FolderOf(const std::string& path) {
  const std::string folder = fs::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

std::string JournalName(pid_t pid) {
  return std::string(kPrefix) + std::to_string(pid) + std::string(kSuffix);
}

// The pid of a journal's name, or 0 when the name is not a journal's.
pid_t PidOfJournal(std::string_view name) {
  if (name.size() <= kPrefix.size() + kSuffix.size() || name.substr(0, kPrefix.size()) != kPrefix ||
      name.substr(name.size() - kSuffix.size()) != kSuffix) {
    return 0;
  }
  const std::string_view digits =
      name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
  if (digits.empty() || digits.size() > 10) return 0;
  int64_t pid = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid > 0 && pid <= INT32_MAX ? static_cast<pid_t>(pid) : 0;
}

bool ProcessGone(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

bool Identity(const std::string& path, dev_t& device, ino_t& inode) {
  struct stat info = {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  device = info.st_dev;
  inode = info.st_ino;
  return true;
}

// The file in the target's folder that holds the old content: the temporary name it was exchanged
// to, or a backup of the dead process (a temporary name whose inode is the old one).
std::string FindOldContent(const JournalEntry& entry) {
  dev_t device = 0;
  ino_t inode = 0;
  if (Identity(entry.temp, device, inode) && device == entry.device && inode == entry.old_inode) {
    return entry.temp;
  }
  const std::string folder = FolderOf(entry.target);
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), &closedir);
  if (!dir) return {};
  while (const dirent* found = readdir(dir.get())) {
    const std::string name = found->d_name;
    if (name.empty() || name[0] != '.' || !name.ends_with(".nrwtmp")) continue;
    const std::string path = (fs::path(folder) / name).string();
    if (Identity(path, device, inode) && device == entry.device && inode == entry.old_inode) {
      return path;
    }
  }
  return {};
}

void UndoEntry(const JournalEntry& entry) {
  dev_t device = 0;
  ino_t inode = 0;
  const bool placed =
      Identity(entry.target, device, inode) && device == entry.device && inode == entry.new_inode;
  if (!placed) return;
  if (entry.old_inode == 0) {
    unlink(entry.target.c_str());
    return;
  }
  const std::string old = FindOldContent(entry);
  if (!old.empty()) rename(old.c_str(), entry.target.c_str());
}

std::vector<JournalEntry> ReadJournal(const std::string& path, std::vector<std::string>& folders) {
  std::ifstream in(path);
  const nlohmann::json json = nlohmann::json::parse(in, nullptr, false);
  std::vector<JournalEntry> entries;
  if (json.is_discarded() || !json.is_object()) return entries;
  for (const auto& folder : json.value("folders", nlohmann::json::array())) {
    if (folder.is_string()) folders.push_back(folder.get<std::string>());
  }
  for (const auto& item : json.value("entries", nlohmann::json::array())) {
    JournalEntry entry;
    entry.target = item.value("target", "");
    entry.temp = item.value("temp", "");
    entry.device = item.value("device", static_cast<dev_t>(0));
    entry.new_inode = item.value("new", static_cast<ino_t>(0));
    entry.old_inode = item.value("old", static_cast<ino_t>(0));
    if (!entry.target.empty() && entry.new_inode != 0) entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace

JournalEntry JournalEntryFor(const std::string& temp, const std::string& target) {
  JournalEntry entry;
  entry.target = Absolute(target);
  entry.temp = Absolute(temp);
  Identity(entry.temp, entry.device, entry.new_inode);
  dev_t device = 0;
  ino_t inode = 0;
  if (Identity(entry.target, device, inode)) entry.old_inode = inode;
  return entry;
}

CommitJournal::CommitJournal(const std::vector<JournalEntry>& entries) {
  std::set<std::string> folders;
  for (const JournalEntry& entry : entries) folders.insert(FolderOf(entry.target));
  folders_.assign(folders.begin(), folders.end());
  nlohmann::json json;
  json["folders"] = folders_;
  nlohmann::json list = nlohmann::json::array();
  for (const JournalEntry& entry : entries) {
    list.push_back({{"target", entry.target},
                    {"temp", entry.temp},
                    {"device", entry.device},
                    {"new", entry.new_inode},
                    {"old", entry.old_inode}});
  }
  json["entries"] = std::move(list);
  const std::string text = json.dump() + "\n";
  const std::string name = JournalName(getpid());
  for (const std::string& folder : folders_) {
    const std::string path = (fs::path(folder) / name).string();
    TempFile temp(path);
    {
      FdWriter writer(temp.Fd());
      writer.Stream() << text;
      writer.Finish(path, true);
    }
    if (const int error = temp.Close()) {
      throw DetailedError("Não foi possível gravar " + path + ": " + DescribeErrno(error) + ".",
                          std::strerror(error));
    }
    if (rename(temp.Path().c_str(), path.c_str()) != 0) {
      const int error = errno;
      throw DetailedError("Não foi possível gravar " + path + ": " + DescribeErrno(error) + ".",
                          std::strerror(error));
    }
    temp.Forget();
    files_.push_back(path);
    SyncFolder(folder);
  }
}

CommitJournal::~CommitJournal() {
  for (const std::string& file : files_) unlink(file.c_str());
}

void CommitJournal::Complete() noexcept {
  for (const std::string& folder : folders_) SyncFolder(folder);
  for (const std::string& file : files_) unlink(file.c_str());
  files_.clear();
  for (const std::string& folder : folders_) SyncFolder(folder);
}

void RecoverCommits(const std::string& folder) {
  const std::string where = folder.empty() ? "." : folder;
  std::vector<std::string> journals;
  {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(where.c_str()), &closedir);
    if (!dir) return;
    while (const dirent* found = readdir(dir.get())) {
      const pid_t pid = PidOfJournal(found->d_name);
      if (pid == 0 || pid == getpid() || !ProcessGone(pid)) continue;
      journals.push_back((fs::path(where) / found->d_name).string());
    }
  }
  for (const std::string& journal : journals) {
    std::vector<std::string> folders;
    const std::vector<JournalEntry> entries = ReadJournal(journal, folders);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) UndoEntry(*it);
    for (const std::string& other : folders) SyncFolder(other);
    const std::string name = fs::path(journal).filename().string();
    for (const std::string& other : folders) unlink((fs::path(other) / name).c_str());
    unlink(journal.c_str());
  }
}

void SweepFolder(const std::string& folder) {
  RecoverCommits(folder);
  RemoveStaleTempFiles(folder);
}

}  // namespace nrw
