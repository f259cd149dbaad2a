#include "web_app.h"

#include <algorithm>

#include "assets.h"

namespace nrw::server {
namespace {

constexpr const char* kPageCsp =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
    "connect-src 'self'; frame-src 'self'; form-action 'self'; base-uri 'none'; "
    "frame-ancestors 'none'";

// Failed logins allowed per name and per address within the window: an office shares one address,
// so it gets more.
constexpr int kMaxFailures = 5;
constexpr int kMaxAddressFailures = 30;
constexpr std::chrono::minutes kFailureWindow{15};

RunLimits LimitsOf(const ServeOptions& options) {
  RunLimits limits;
  limits.jobs = std::max(1, options.jobs);
  limits.time_limit = std::chrono::seconds(std::max(1, options.time_limit));
  limits.memory_limit = static_cast<uint64_t>(std::max(0, options.memory_limit_mb)) << 20;
  limits.keep = std::chrono::hours(24 * std::max(0, options.keep_days));
  return limits;
}

}  // namespace

void SendError(httplib::Response& response, int status, const std::string& message) {
  response.status = status;
  response.set_content(nlohmann::json{{"error", message}}.dump(), "application/json");
}

void SendJson(httplib::Response& response, const nlohmann::json& body, int status) {
  response.status = status;
  response.set_content(body.dump(), "application/json");
}

std::optional<nlohmann::json> JsonBody(const httplib::Request& request,
                                       httplib::Response& response) {
  try {
    nlohmann::json body = nlohmann::json::parse(request.body);
    if (body.is_object()) return body;
  } catch (const nlohmann::json::exception&) {
  }
  SendError(response, 400, "o corpo do pedido deve ser um objeto JSON.");
  return std::nullopt;
}

WebApp::WebApp(ServeOptions options, bool tls)
    : options_(std::move(options)),
      tls_(tls),
      sessions_(std::chrono::minutes(std::max(1, options_.idle_minutes)),
                std::chrono::hours(std::max(1, options_.session_hours))),
      name_limiter_(kMaxFailures, kFailureWindow),
      address_limiter_(kMaxAddressFailures, kFailureWindow),
      runs_(options_.program, options_.db, options_.data_dir, LimitsOf(options_)) {}

WebApp::~WebApp() = default;

void WebApp::Install(httplib::Server& server) {
  httplib::Headers headers = {
      {"Content-Security-Policy", kPageCsp},
      {"X-Content-Type-Options", "nosniff"},
      {"Referrer-Policy", "no-referrer"},
      {"X-Frame-Options", "DENY"},
      {"Cross-Origin-Opener-Policy", "same-origin"},
      {"Cross-Origin-Resource-Policy", "same-origin"},
      {"Cache-Control", "no-store"},
  };
  if (tls_) headers.emplace("Strict-Transport-Security", "max-age=31536000");
  server.set_default_headers(headers);
  server.set_payload_max_length(kMaxBody);
  server.set_read_timeout(std::chrono::seconds(30));
  server.set_write_timeout(std::chrono::seconds(30));
  // Errors the library answers itself (no route, body too large) get a JSON body too; nothing of
  // the request is echoed.
  server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
    if (!response.body.empty()) return;
    const int status = response.status;
    std::string message = "pedido inválido.";
    if (status == 404) message = "não encontrado.";
    if (status == 413) message = "pedido grande demais.";
    if (status == 405) message = "método não permitido.";
    SendError(response, status, message);
  });
  server.set_exception_handler(
      [](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
        SendError(response, 500, "erro interno do servidor.");
      });
  using Handler = void (WebApp::*)(const httplib::Request&, httplib::Response&);
  const auto bind = [this](Handler handler) {
    return [this, handler](const httplib::Request& request, httplib::Response& response) {
      (this->*handler)(request, response);
    };
  };
  const std::string id = "([0-9a-f]{32})";
  server.Post("/api/login", bind(&WebApp::Login));
  server.Post("/api/logout", bind(&WebApp::Logout));
  server.Get("/api/session", bind(&WebApp::SessionInfo));
  server.Get("/api/reports", bind(&WebApp::Reports));
  server.Post("/api/reports/([A-Za-z0-9_]{1,64})/panel", bind(&WebApp::OpenPanel));
  server.Post("/api/panels/" + id + "/events", bind(&WebApp::PanelEvent));
  server.Get("/api/panels/" + id + "/lookup/([A-Za-z0-9_]{1,64})", bind(&WebApp::PanelLookup));
  server.Delete("/api/panels/" + id, bind(&WebApp::ClosePanel));
  server.Post("/api/runs", bind(&WebApp::StartRun));
  server.Get("/api/runs", bind(&WebApp::ListRuns));
  server.Get("/api/runs/" + id, bind(&WebApp::ShowRun));
  server.Get("/api/runs/" + id + "/events", bind(&WebApp::RunEvents));
  server.Delete("/api/runs/" + id, bind(&WebApp::CancelRun));
  server.Get("/api/runs/" + id + "/files", bind(&WebApp::RunFiles));
  server.Get("/api/runs/" + id + "/files/([^/]*)", bind(&WebApp::DownloadFile));
  server.Get("/api/runs/" + id + "/zip", bind(&WebApp::RunZip));
  server.Get("/", bind(&WebApp::Asset));
  server.Get("/assets/([a-z0-9_-]{1,40}\\.(?:js|css|svg))", bind(&WebApp::Asset));
}

void WebApp::Asset(const httplib::Request& request, httplib::Response& response) {
  const std::string name = request.matches.size() > 1 ? request.matches[1].str() : "index.html";
  const server::Asset* asset = FindAsset(name);
  if (asset == nullptr) {
    SendError(response, 404, "não encontrado.");
    return;
  }
  response.set_content(std::string(asset->body), std::string(asset->content_type).c_str());
}

void WebApp::Sweep() {
  sessions_.Sweep();
  runs_.RemoveExpired();
  const auto idle = std::chrono::minutes(std::max(1, options_.idle_minutes));
  std::vector<std::shared_ptr<Panel>> closed;
  {
    const std::lock_guard lock(panels_mutex_);
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const auto limit =
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(idle).count();
    for (auto it = panels_.begin(); it != panels_.end();) {
      if (now - it->second->last_used > limit) {
        closed.push_back(it->second);
        it = panels_.erase(it);
      } else {
        ++it;
      }
    }
  }
  // The children end as the last references go, outside the lock.
}

}  // namespace nrw::server
