// The report server's HTTP API and page over cpp-httplib: login and sessions, the panels (one
// `nrw panel --session` child each), the runs (RunManager), the run's files and ZIP, the embedded
// page. Every answer carries the security headers; every request but login needs the session
// cookie, and every POST and DELETE also the session's CSRF token in X-CSRF-Token.
#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "panel_process.h"
#include "run_manager.h"
#include "serve_options.h"
#include "session_store.h"
#include "users_file.h"

namespace nrw::server {

//! Limits of what a client may send.
constexpr size_t kMaxBody = 64 * 1024;

class WebApp {
 public:
  WebApp(ServeOptions options, bool tls);
  ~WebApp();
  WebApp(const WebApp&) = delete;
  WebApp& operator=(const WebApp&) = delete;

  //! Registers every route and the headers on server.
  void Install(httplib::Server& server);
  //! Expired sessions, idle panels, old runs: called now and then.
  void Sweep();

 private:
  struct Panel {
    std::string id;
    std::string user;
    int usuario = 0;
    std::string module;
    std::unique_ptr<PanelProcess> process;
    std::mutex mutex;
    //! The values the person changed, in the order first changed (nullopt: cleared).
    std::vector<std::pair<std::string, std::optional<std::string>>> changes;
    nlohmann::json items;
    //! steady_clock's count at the last request, read by the sweep without the panel's lock.
    std::atomic<int64_t> last_used{0};
  };

  // Authentication.
  std::optional<WebSession> Authenticate(const httplib::Request& request,
                                         httplib::Response& response, bool state_changing);
  void Login(const httplib::Request& request, httplib::Response& response);
  void Logout(const httplib::Request& request, httplib::Response& response);
  void SessionInfo(const httplib::Request& request, httplib::Response& response);
  //! Whether the users file still has the user (read again when it changed).
  bool StillAUser(const std::string& name);

  // Panels.
  void Reports(const httplib::Request& request, httplib::Response& response);
  void OpenPanel(const httplib::Request& request, httplib::Response& response);
  void PanelEvent(const httplib::Request& request, httplib::Response& response);
  void PanelLookup(const httplib::Request& request, httplib::Response& response);
  void ClosePanel(const httplib::Request& request, httplib::Response& response);
  std::shared_ptr<Panel> FindPanel(const std::string& user, const std::string& id);
  nlohmann::json PanelAnswer(const Panel& panel, const nlohmann::json& child_answer);
  //! The panel child's answer to one request line, the caller holding the panel's lock; nullopt,
  //! with the panel dropped and a 502 answered, when the child ended or answered no JSON object.
  std::optional<nlohmann::json> AskPanel(Panel& panel, const nlohmann::json& request,
                                         httplib::Response& response);

  // Runs.
  void StartRun(const httplib::Request& request, httplib::Response& response);
  void ListRuns(const httplib::Request& request, httplib::Response& response);
  void ShowRun(const httplib::Request& request, httplib::Response& response);
  void RunEvents(const httplib::Request& request, httplib::Response& response);
  void CancelRun(const httplib::Request& request, httplib::Response& response);
  void RunFiles(const httplib::Request& request, httplib::Response& response);
  void DownloadFile(const httplib::Request& request, httplib::Response& response);
  void RunZip(const httplib::Request& request, httplib::Response& response);

  // The page.
  void Asset(const httplib::Request& request, httplib::Response& response);

  ServeOptions options_;
  bool tls_;
  SessionStore sessions_;
  //! Failed logins per name tried, and (more of them) per client address.
  LoginLimiter name_limiter_;
  LoginLimiter address_limiter_;
  RunManager runs_;
  std::mutex users_mutex_;
  std::optional<UsersFile> users_;
  int64_t users_stamp_ = -1;
  std::mutex panels_mutex_;
  std::map<std::string, std::shared_ptr<Panel>> panels_;
};

//! {"error": message} with the status.
void SendError(httplib::Response& response, int status, const std::string& message);
void SendJson(httplib::Response& response, const nlohmann::json& body, int status = 200);
//! The request's body as a JSON object; nullopt (and a 400 answer) when it is not one.
std::optional<nlohmann::json> JsonBody(const httplib::Request& request,
                                       httplib::Response& response);

}  // namespace nrw::server
