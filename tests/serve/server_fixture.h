// A real `nrw serve` for the tests: a demo database, web users, the report modules plus the probe
// module, started on a free loopback port and stopped with the fixture.
#pragma once

#include <httplib.h>

#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "support/temp_dir.h"

namespace serve_test {

//! Every web user's password.
constexpr const char* kPassword = "senha-de-teste-1";

struct Reply {
  int status = 0;
  std::string body;
  httplib::Headers headers;
  nlohmann::json Json() const;
  std::string Header(const std::string& name) const;
};

//! A logged-in client: its cookie and CSRF token.
struct Login {
  std::string cookie;
  std::string csrf;
};

class ServerFixture {
 public:
  //! Web users ana, caio, eva (application user 1: companies 1 and 2) and bia, davi (user 2:
  //! company 3); extra options go to `nrw serve` (with --cert, the fixture speaks HTTPS).
  explicit ServerFixture(std::vector<std::string> extra = {});
  ~ServerFixture();

  int Port() const { return port_; }
  const std::string& DataDir() const { return data_dir_; }

  //! A request; cookie and csrf are sent when not empty.
  Reply Send(const std::string& method, const std::string& path, const std::string& body = "",
             const std::string& cookie = "", const std::string& csrf = "") const;
  Reply Send(const std::string& method, const std::string& path, const std::string& body,
             const Login& login) const {
    return Send(method, path, body, login.cookie, login.csrf);
  }
  Login LogIn(const std::string& user) const;
  //! Opens a panel of the module and sends each change; answers the panel's id.
  std::string OpenPanel(const Login& login, const std::string& module,
                        const std::vector<std::pair<std::string, std::string>>& changes) const;
  //! Starts a run and waits for it to end (at most timeout seconds); answers its last view.
  nlohmann::json RunAndWait(const Login& login, const nlohmann::json& request,
                            int timeout = 60) const;
  nlohmann::json WaitRun(const Login& login, const std::string& id, int timeout = 60) const;
  //! Takes the user out of the users file, as `nrw usuario remove` does.
  void RemoveUser(const std::string& name) const;
  //! Whether the server still runs.
  bool Alive();

 private:
  std::unique_ptr<support::TempDir> dir_;
  std::string data_dir_;
  std::string users_file_;
  bool tls_ = false;
  std::unique_ptr<nrw::server::ChildProcess> server_;
  int port_ = 0;
};

}  // namespace serve_test
