// Login, logout and the check every other request goes through.
#include <sys/stat.h>

#include "password_hash.h"
#include "secure_random.h"
#include "web_app.h"

namespace nrw::server {
namespace {

constexpr const char* kCookie = "nrw_sessao";
constexpr size_t kMaxName = 64;
constexpr size_t kMaxPassword = 1024;

std::optional<std::string> CookieValue(const httplib::Request& request, const std::string& name) {
  const std::string header = request.get_header_value("Cookie");
  size_t at = 0;
  while (at < header.size()) {
    size_t end = header.find(';', at);
    if (end == std::string::npos) end = header.size();
    std::string pair = header.substr(at, end - at);
    const size_t first = pair.find_first_not_of(' ');
    pair = first == std::string::npos ? "" : pair.substr(first);
    if (pair.rfind(name + "=", 0) == 0) return pair.substr(name.size() + 1);
    at = end + 1;
  }
  return std::nullopt;
}

}  // namespace

std::optional<WebSession> WebApp::Authenticate(const httplib::Request& request,
                                               httplib::Response& response, bool state_changing) {
  const std::optional<std::string> cookie = CookieValue(request, kCookie);
  std::optional<WebSession> session;
  if (cookie) session = sessions_.Touch(*cookie);
  // A user removed from the users file is out at once, whatever sessions it had.
  if (session && !StillAUser(session->user)) {
    sessions_.RemoveUser(session->user);
    session.reset();
  }
  if (!session) {
    SendError(response, 401, "sessão inexistente ou expirada: entre novamente.");
    return std::nullopt;
  }
  if (state_changing &&
      !ConstantTimeEqual(request.get_header_value("X-CSRF-Token"), session->csrf)) {
    SendError(response, 403, "falta o token CSRF do pedido (X-CSRF-Token).");
    return std::nullopt;
  }
  return session;
}

bool WebApp::StillAUser(const std::string& name) {
  struct stat info {};
  const int64_t stamp = stat(options_.users_file.c_str(), &info) == 0
                            ? static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                                  info.st_mtim.tv_nsec + static_cast<int64_t>(info.st_ino)
                            : -2;
  const std::lock_guard lock(users_mutex_);
  if (stamp != users_stamp_) {
    try {
      users_ = UsersFile::Load(options_.users_file, false);
    } catch (const std::exception&) {
      users_.reset();
    }
    users_stamp_ = stamp;
  }
  return users_ && users_->Find(name) != nullptr;
}

void WebApp::Login(const httplib::Request& request, httplib::Response& response) {
  const std::optional<nlohmann::json> body = JsonBody(request, response);
  if (!body) return;
  const auto user_field = body->find("user");
  const auto password_field = body->find("password");
  if (user_field == body->end() || !user_field->is_string() || password_field == body->end() ||
      !password_field->is_string()) {
    SendError(response, 400, "informe user e password.");
    return;
  }
  const std::string name = user_field->get<std::string>();
  const std::string password = password_field->get<std::string>();
  if (name.size() > kMaxName || password.size() > kMaxPassword) {
    SendError(response, 400, "usuário ou senha longos demais.");
    return;
  }
  const std::string name_key = "u:" + name;
  const std::string address_key = "a:" + request.remote_addr;
  if (name_limiter_.Blocked(name_key) || address_limiter_.Blocked(address_key)) {
    response.set_header("Retry-After", "900");
    SendError(response, 429, "muitas tentativas de acesso; aguarde alguns minutos.");
    return;
  }
  std::optional<WebUser> user;
  try {
    // Read at every login, so that `nrw usuario` takes effect without a restart.
    const UsersFile users = UsersFile::Load(options_.users_file, false);
    if (const WebUser* found = users.Find(name)) user = *found;
  } catch (const std::exception&) {
    SendError(response, 500, "o arquivo de usuários do servidor não pôde ser lido.");
    return;
  }
  // An unknown name costs the same hash as a wrong password: the answer's time tells nothing.
  const bool valid = VerifyPassword(user ? user->hash : DecoyHash(), password) && user.has_value();
  if (!valid) {
    name_limiter_.Failed(name_key);
    address_limiter_.Failed(address_key);
    SendError(response, 401, "usuário ou senha incorretos.");
    return;
  }
  name_limiter_.Succeeded(name_key);
  const WebSession session = sessions_.Create(user->name, user->usuario);
  std::string cookie =
      std::string(kCookie) + "=" + session.id + "; Path=/; HttpOnly; SameSite=Strict";
  if (tls_) cookie += "; Secure";
  response.set_header("Set-Cookie", cookie);
  SendJson(response, {{"user", session.user}, {"csrf", session.csrf}});
}

void WebApp::Logout(const httplib::Request& request, httplib::Response& response) {
  const std::optional<WebSession> session = Authenticate(request, response, true);
  if (!session) return;
  sessions_.Remove(session->id);
  std::string cookie = std::string(kCookie) + "=; Path=/; Max-Age=0; HttpOnly; SameSite=Strict";
  if (tls_) cookie += "; Secure";
  response.set_header("Set-Cookie", cookie);
  SendJson(response, {{"ok", true}});
}

void WebApp::SessionInfo(const httplib::Request& request, httplib::Response& response) {
  const std::optional<WebSession> session = Authenticate(request, response, false);
  if (!session) return;
  SendJson(response, {{"user", session->user}, {"csrf", session->csrf}});
}

}  // namespace nrw::server
