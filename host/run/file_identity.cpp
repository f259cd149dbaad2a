#include "run/file_identity.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <utility>

namespace nrw {

FileIdentity IdentityOf(const std::string& path) {
  namespace fs = std::filesystem;
  FileIdentity identity;
  struct stat info = {};
  if (stat(path.c_str(), &info) == 0) {
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.known = true;
    return identity;
  }
  if (errno != ENOENT) return identity;
  const fs::path whole(path);
  const fs::path folder = whole.has_parent_path() ? whole.parent_path() : fs::path(".");
  if (!whole.has_filename() || stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return identity;
  }
  identity.device = info.st_dev;
  identity.inode = info.st_ino;
  identity.name = whole.filename().string();
  identity.known = true;
  return identity;
}

ProtectedFiles::ProtectedFiles(std::vector<std::string> files) : files_(std::move(files)) {
  identities_.reserve(files_.size());
  for (const std::string& file : files_) identities_.push_back(IdentityOf(file));
}

const std::string* ProtectedFiles::Find(const std::string& path,
                                        const FileIdentity& identity) const {
  for (size_t i = 0; i < files_.size(); ++i) {
    if (files_[i].empty()) continue;
    if (files_[i] == path || identities_[i] == identity) return &files_[i];
  }
  return nullptr;
}

}  // namespace nrw
