#include "server_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "password_hash.h"
#include "support/paths.h"
#include "users_file.h"

namespace serve_test {
namespace fs = std::filesystem;
namespace {

std::string NrwExecutable() { return std::string(NRW_BUILD_DIR) + "/bin/nrw"; }

// The demo database is made once per test process.
const std::string& DemoDatabase() {
  static const std::unique_ptr<support::TempDir> dir = [] {
    auto made = std::make_unique<support::TempDir>();
    nrw::server::SpawnOptions spawn;
    spawn.argv = {NrwExecutable(), "demo-db", made->File("demo.db")};
    nrw::server::ChildProcess child(spawn);
    const auto exit = child.WaitFor(std::chrono::seconds(120));
    if (!exit || exit->status != 0) ADD_FAILURE() << "nrw demo-db falhou";
    return made;
  }();
  static const std::string path = dir->File("demo.db");
  return path;
}

}  // namespace

nlohmann::json Reply::Json() const {
  try {
    return nlohmann::json::parse(body);
  } catch (const nlohmann::json::exception&) {
    ADD_FAILURE() << "não é JSON: " << body.substr(0, 200);
    return nullptr;
  }
}

std::string Reply::Header(const std::string& name) const {
  const auto found = headers.find(name);
  return found == headers.end() ? "" : found->second;
}

ServerFixture::ServerFixture(std::vector<std::string> extra)
    : dir_(std::make_unique<support::TempDir>()) {
  // The report modules and the probe side by side, as an installation would have them.
  const fs::path modules = dir_->Path() / "modules";
  const fs::path layouts = dir_->Path() / "layouts";
  fs::create_directories(modules);
  fs::create_directories(layouts);
  for (const auto& entry : fs::directory_iterator(NRW_MODULE_DIR)) {
    if (entry.path().extension() == ".so") {
      fs::create_symlink(entry.path(), modules / entry.path().filename());
    }
  }
  for (const auto& entry : fs::directory_iterator(support::SourcePath("layouts"))) {
    fs::create_symlink(entry.path(), layouts / entry.path().filename());
  }
  fs::create_symlink(support::TestModulePath("RptServeProbe"), modules / "RptServeProbe.so");
  fs::create_symlink(NRW_SERVE_PROBE_LAYOUT, layouts / "RptServeProbe.json");

  nrw::server::UsersFile users;
  const std::string hash = nrw::server::HashPassword(kPassword);
  for (const auto& [name, usuario] : std::vector<std::pair<std::string, int>>{
           {"ana", 1}, {"bia", 2}, {"caio", 1}, {"davi", 2}, {"eva", 1}}) {
    users.Put({name, usuario, hash});
  }
  users_file_ = dir_->File("users.json");
  users.Save(users_file_);
  data_dir_ = dir_->File("dados");

  nrw::server::SpawnOptions spawn;
  spawn.argv = {
      NrwExecutable(), "--modules",   modules.string(), "--layouts", layouts.string(),
      "serve",         "--db",        DemoDatabase(),   "--users",   dir_->File("users.json"),
      "--listen",      "127.0.0.1:0", "--data",         data_dir_};
  if (std::find(extra.begin(), extra.end(), "--jobs") == extra.end())
    extra.insert(extra.end(), {"--jobs", "2"});
  spawn.argv.insert(spawn.argv.end(), extra.begin(), extra.end());
  spawn.stderr_path = dir_->File("serve.log");
  server_ = std::make_unique<nrw::server::ChildProcess>(spawn);
  tls_ = std::find(extra.begin(), extra.end(), "--cert") != extra.end();
  const std::regex listening("Servidor em https?://127\\.0\\.0\\.1:([0-9]+)/");
  for (int i = 0; i < 400 && port_ == 0; ++i) {
    std::ifstream log(dir_->File("serve.log"));
    const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    std::smatch match;
    if (std::regex_search(text, match, listening)) {
      port_ = std::stoi(match[1].str());
    } else if (server_->WaitFor(std::chrono::milliseconds(50))) {
      ADD_FAILURE() << "nrw serve terminou: " << text;
      return;
    }
  }
  if (port_ == 0) ADD_FAILURE() << "nrw serve não começou a escutar";
}

ServerFixture::~ServerFixture() {
  if (server_) {
    const nrw::server::ChildExit exit = server_->Stop(std::chrono::seconds(20));
    EXPECT_EQ(exit.status.value_or(-1), 0) << "nrw serve não terminou de forma limpa";
  }
}

void ServerFixture::RemoveUser(const std::string& name) const {
  nrw::server::UsersFile users = nrw::server::UsersFile::Load(users_file_, false);
  users.Remove(name);
  users.Save(users_file_);
}

bool ServerFixture::Alive() { return server_ && !server_->WaitFor(std::chrono::milliseconds(0)); }

Reply ServerFixture::Send(const std::string& method, const std::string& path,
                          const std::string& body, const std::string& cookie,
                          const std::string& csrf) const {
  httplib::Client client((tls_ ? "https://127.0.0.1:" : "http://127.0.0.1:") +
                         std::to_string(port_));
  client.enable_server_certificate_verification(false);
  client.set_read_timeout(std::chrono::seconds(60));
  httplib::Headers headers;
  if (!cookie.empty()) headers.emplace("Cookie", "nrw_sessao=" + cookie);
  if (!csrf.empty()) headers.emplace("X-CSRF-Token", csrf);
  httplib::Result result = method == "GET" ? client.Get(path, headers)
                           : method == "POST"
                               ? client.Post(path, headers, body, "application/json")
                               : client.Delete(path, headers, body, "application/json");
  Reply reply;
  if (!result) {
    ADD_FAILURE() << method << " " << path << ": sem resposta";
    return reply;
  }
  reply.status = result->status;
  reply.body = result->body;
  reply.headers = result->headers;
  return reply;
}

Login ServerFixture::LogIn(const std::string& user) const {
  const Reply reply =
      Send("POST", "/api/login", nlohmann::json{{"user", user}, {"password", kPassword}}.dump());
  EXPECT_EQ(reply.status, 200) << reply.body;
  Login login;
  const std::string cookie = reply.Header("Set-Cookie");
  const size_t start = cookie.find('=');
  login.cookie = cookie.substr(start + 1, cookie.find(';') - start - 1);
  login.csrf = reply.Json().value("csrf", "");
  return login;
}

std::string ServerFixture::OpenPanel(
    const Login& login, const std::string& module,
    const std::vector<std::pair<std::string, std::string>>& changes) const {
  const Reply opened = Send("POST", "/api/reports/" + module + "/panel", "{}", login);
  EXPECT_EQ(opened.status, 201) << opened.body;
  const std::string id = opened.Json().value("id", "");
  for (const auto& [name, value] : changes) {
    const Reply changed =
        Send("POST", "/api/panels/" + id + "/events",
             nlohmann::json{{"event", "change"}, {"name", name}, {"value", value}}.dump(), login);
    EXPECT_EQ(changed.status, 200) << changed.body;
  }
  return id;
}

nlohmann::json ServerFixture::WaitRun(const Login& login, const std::string& id,
                                      int timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout);
  nlohmann::json view;
  while (std::chrono::steady_clock::now() < deadline) {
    view = Send("GET", "/api/runs/" + id, "", login).Json();
    const std::string state = view.value("state", "");
    if (state != "queued" && state != "running") return view;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ADD_FAILURE() << "a execução não terminou: " << view.dump();
  return view;
}

nlohmann::json ServerFixture::RunAndWait(const Login& login, const nlohmann::json& request,
                                         int timeout) const {
  const Reply started = Send("POST", "/api/runs", request.dump(), login);
  EXPECT_EQ(started.status, 202) << started.body;
  return WaitRun(login, started.Json().value("id", ""), timeout);
}

}  // namespace serve_test
