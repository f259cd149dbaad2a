#include "users_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "nrwhost/files.h"

namespace nrw::server {

bool ValidUserName(const std::string& name) {
  if (name.empty() || name.size() > 64 || name[0] == '.') return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
  });
}

UsersFile UsersFile::Load(const std::string& path, bool may_be_missing) {
  UsersFile file;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 && errno == ENOENT && may_be_missing) return file;
  CheckInputFile(path, "Arquivo de usuários");
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string bad = "Arquivo de usuários " + path + " está malformado";
  try {
    const nlohmann::json document = nlohmann::json::parse(text.str());
    for (const auto& entry : document.at("users")) {
      WebUser user;
      user.name = entry.at("name").get<std::string>();
      user.usuario = entry.at("usuario").get<int>();
      user.hash = entry.at("hash").get<std::string>();
      if (!ValidUserName(user.name)) throw UsageError(bad + ": nome de usuário inválido.");
      file.users_.push_back(std::move(user));
    }
  } catch (const nlohmann::json::exception& error) {
    throw UsageError(bad + ".", error.what());
  }
  return file;
}

const WebUser* UsersFile::Find(const std::string& name) const {
  const auto found = std::find_if(users_.begin(), users_.end(),
                                  [&name](const WebUser& user) { return user.name == name; });
  return found == users_.end() ? nullptr : &*found;
}

void UsersFile::Put(WebUser user) {
  for (WebUser& existing : users_) {
    if (existing.name == user.name) {
      existing = std::move(user);
      return;
    }
  }
  users_.push_back(std::move(user));
}

bool UsersFile::Remove(const std::string& name) {
  const auto before = users_.size();
  users_.erase(std::remove_if(users_.begin(), users_.end(),
                              [&name](const WebUser& user) { return user.name == name; }),
               users_.end());
  return users_.size() != before;
}

void UsersFile::Save(const std::string& path) const {
  nlohmann::ordered_json document;
  document["users"] = nlohmann::ordered_json::array();
  for (const WebUser& user : users_) {
    document["users"].push_back(
        {{"name", user.name}, {"usuario", user.usuario}, {"hash", user.hash}});
  }
  AtomicFile file(path, {});
  {
    std::ofstream out(file.TempPath(), std::ios::binary | std::ios::trunc);
    out << document.dump(2) << '\n';
    out.flush();
    if (!out) throw UsageError("não foi possível gravar o arquivo de usuários " + path + ".");
  }
  file.Commit();
  // The hashes are for the server's eyes only, whatever the umask.
  chmod(path.c_str(), 0600);
}

}  // namespace nrw::server
