#include "run/file_identity.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

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

}  // namespace nrw
