// The web users of `nrw serve`: each a name, the application user (USUARIO code) whose company
// rights its reports run with, and its password's Argon2id hash. Kept as a JSON file (mode 0600)
// that `nrw usuario` writes whole or not at all.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace nrw::server {

struct WebUser {
  std::string name;
  int usuario = 0;
  std::string hash;
};

//! Names are folder names under --data: letters, digits, '.', '_' and '-', 1 to 64 of them, not
//! starting with '.'.
bool ValidUserName(const std::string& name);

class UsersFile {
 public:
  //! Reads path; a missing file is an empty list when may_be_missing. Raises UsageError naming the
  //! file when it cannot be read or is malformed.
  static UsersFile Load(const std::string& path, bool may_be_missing);

  const std::vector<WebUser>& Users() const { return users_; }
  const WebUser* Find(const std::string& name) const;
  //! Adds the user or replaces the one of that name.
  void Put(WebUser user);
  //! False when there is no user of that name.
  bool Remove(const std::string& name);
  //! Writes the list over path, atomically.
  void Save(const std::string& path) const;

 private:
  std::vector<WebUser> users_;
};

}  // namespace nrw::server
