// Host-internal: what a name denotes on disk, so that two names of one file are told the same
// whatever the links and spellings on the way: the file itself when it exists (device and inode),
// otherwise the name within its folder (the folder's device and inode), so that a name not yet made
// is known under any path to its folder.
#pragma once

#include <sys/types.h>

#include <string>
#include <tuple>
#include <vector>

namespace nrw {

struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  //! Empty for a file that exists.
  std::string name;
  //! False when the name could not be looked at (its folder missing, no permission): such a name
  //! is the same as no other.
  bool known = false;

  bool operator==(const FileIdentity& other) const {
    return known && other.known && device == other.device && inode == other.inode &&
           name == other.name;
  }
  bool operator<(const FileIdentity& other) const {
    return std::tie(known, device, inode, name) <
           std::tie(other.known, other.device, other.inode, other.name);
  }
};

FileIdentity IdentityOf(const std::string& path);

//! Files no output may replace, each looked at once: they stay where they are while a run lasts,
//! and one not yet made is known by its name in its folder.
class ProtectedFiles {
 public:
  explicit ProtectedFiles(std::vector<std::string> files);
  //! The protected file that path (whose identity is given) names, or nullptr.
  const std::string* Find(const std::string& path, const FileIdentity& identity) const;

 private:
  std::vector<std::string> files_;
  std::vector<FileIdentity> identities_;
};

//! CheckOutputTarget against files already looked at.
//! Answers whether the target exists.
bool CheckOutputTarget(const std::string& path, const ProtectedFiles& protected_files);
//! The same for a path whose folder passed the check already (folder: the folder's identity, as
//! IdentityOf gives it): the thousands of parts of a split are not checked folder and all.
bool CheckOutputTargetIn(const std::string& path, const FileIdentity& folder,
                         const ProtectedFiles& protected_files);

}  // namespace nrw
