// The report list and the panels: each open panel is a `nrw panel --session` child of its user.
#include <regex>

#include "secure_random.h"
#include "web_app.h"

namespace nrw::server {
namespace {

constexpr size_t kMaxPanelsPerUser = 8;
constexpr size_t kMaxValue = 4096;
constexpr size_t kMaxQuery = 200;
constexpr std::chrono::seconds kPanelTimeout{60};
const std::regex kItemName("[A-Za-z_][A-Za-z0-9_]{0,63}");

int64_t SteadyNow() { return std::chrono::steady_clock::now().time_since_epoch().count(); }

std::optional<nlohmann::json> ParseAnswer(const std::optional<std::string>& line) {
  if (!line) return std::nullopt;
  try {
    nlohmann::json answer = nlohmann::json::parse(*line);
    if (answer.is_object()) return answer;
  } catch (const nlohmann::json::exception&) {
  }
  return std::nullopt;
}

}  // namespace

void WebApp::Reports(const httplib::Request& request, httplib::Response& response) {
  if (!Authenticate(request, response, false)) return;
  nlohmann::json list = nlohmann::json::array();
  for (const ReportInfo& report : options_.reports) {
    list.push_back({{"name", report.name}, {"title", report.title}});
  }
  SendJson(response, list);
}

nlohmann::json WebApp::PanelAnswer(const Panel& panel, const nlohmann::json& child_answer) {
  nlohmann::json items = nlohmann::json::array();
  if (child_answer.contains("items") && child_answer["items"].is_array()) {
    for (nlohmann::json item : child_answer["items"]) {
      // The statement behind a lookup stays on the server: the client gets where to ask.
      const bool has_lookup = item.contains("lookup") && !item["lookup"].is_null();
      item["lookup"] =
          has_lookup
              ? nlohmann::json("/api/panels/" + panel.id + "/lookup/" + item.value("name", ""))
              : nlohmann::json(nullptr);
      items.push_back(std::move(item));
    }
  }
  std::string title = panel.module;
  for (const ReportInfo& report : options_.reports) {
    if (report.name == panel.module) title = report.title;
  }
  nlohmann::json answer = {{"id", panel.id},
                           {"report", child_answer.value("report", panel.module)},
                           {"title", title},
                           {"items", items}};
  if (child_answer.contains("error")) answer["error"] = child_answer["error"];
  return answer;
}

std::shared_ptr<WebApp::Panel> WebApp::FindPanel(const std::string& user, const std::string& id) {
  const std::lock_guard lock(panels_mutex_);
  const auto found = panels_.find(id);
  if (found == panels_.end() || found->second->user != user) return nullptr;
  found->second->last_used = SteadyNow();
  return found->second;
}

void WebApp::OpenPanel(const httplib::Request& request, httplib::Response& response) {
  const std::optional<WebSession> session = Authenticate(request, response, true);
  if (!session) return;
  const std::string module = request.matches[1].str();
  const bool known =
      std::any_of(options_.reports.begin(), options_.reports.end(),
                  [&module](const ReportInfo& report) { return report.name == module; });
  if (!known) {
    SendError(response, 404, "relatório não encontrado.");
    return;
  }
  auto panel = std::make_shared<Panel>();
  panel->id = RandomHex(16);
  panel->user = session->user;
  panel->usuario = session->usuario;
  panel->module = module;
  panel->last_used = SteadyNow();
  SpawnOptions spawn;
  spawn.argv = options_.program;
  spawn.argv.insert(spawn.argv.end(), {"panel", module, "--db", options_.db, "--usuario",
                                       std::to_string(session->usuario), "--session"});
  spawn.pipe_stdin = true;
  spawn.pipe_stdout = true;
  spawn.memory_limit = static_cast<uint64_t>(std::max(0, options_.memory_limit_mb)) << 20;
  std::optional<nlohmann::json> first;
  try {
    panel->process = std::make_unique<PanelProcess>(spawn, kPanelTimeout);
    first = ParseAnswer(panel->process->FirstPanel());
  } catch (const std::exception&) {
  }
  if (!first || first->contains("error")) {
    SendError(response, 502, "não foi possível abrir o painel do relatório.");
    return;
  }
  const nlohmann::json answer = PanelAnswer(*panel, *first);
  panel->items = answer["items"];
  std::shared_ptr<Panel> evicted;
  {
    const std::lock_guard lock(panels_mutex_);
    // A user's oldest panel closes when it opens too many.
    std::vector<std::shared_ptr<Panel>> own;
    for (const auto& [id, other] : panels_) {
      if (other->user == session->user) own.push_back(other);
    }
    if (own.size() >= kMaxPanelsPerUser) {
      evicted = *std::min_element(own.begin(), own.end(), [](const auto& a, const auto& b) {
        return a->last_used < b->last_used;
      });
      panels_.erase(evicted->id);
    }
    panels_[panel->id] = panel;
  }
  SendJson(response, answer, 201);
}

void WebApp::PanelEvent(const httplib::Request& request, httplib::Response& response) {
  const std::optional<WebSession> session = Authenticate(request, response, true);
  if (!session) return;
  const std::shared_ptr<Panel> panel = FindPanel(session->user, request.matches[1].str());
  if (!panel) {
    SendError(response, 404, "painel não encontrado.");
    return;
  }
  const std::optional<nlohmann::json> body = JsonBody(request, response);
  if (!body) return;
  const std::string event = body->value("event", "");
  if (event != "enter" && event != "change" && event != "exit") {
    SendError(response, 400, "event deve ser enter, change ou exit.");
    return;
  }
  const auto name_field = body->find("name");
  if (name_field == body->end() || !name_field->is_string() ||
      !std::regex_match(name_field->get<std::string>(), kItemName)) {
    SendError(response, 400, "name deve ser o nome de um parâmetro do painel.");
    return;
  }
  const std::string name = name_field->get<std::string>();
  nlohmann::json value = nullptr;
  if (body->contains("value")) value = (*body)["value"];
  if (value.is_number() || value.is_boolean()) value = value.dump();
  if (!value.is_null() && (!value.is_string() || value.get<std::string>().size() > kMaxValue)) {
    SendError(response, 400, "value deve ser um texto (até 4096 caracteres), um número ou null.");
    return;
  }
  const std::lock_guard lock(panel->mutex);
  const nlohmann::json forwarded = {{"event", event}, {"name", name}, {"value", value}};
  const std::optional<nlohmann::json> answer = AskPanel(*panel, forwarded, response);
  if (!answer) return;
  const nlohmann::json reply = PanelAnswer(*panel, *answer);
  panel->items = reply["items"];
  if (reply.contains("error")) {
    SendJson(response, reply, 422);
    return;
  }
  if (event == "change") {
    std::optional<std::string> text;
    if (value.is_string()) text = value.get<std::string>();
    const auto earlier = std::find_if(panel->changes.begin(), panel->changes.end(),
                                      [&name](const auto& change) { return change.first == name; });
    if (earlier != panel->changes.end()) {
      earlier->second = text;
    } else {
      panel->changes.emplace_back(name, text);
    }
  }
  SendJson(response, reply);
}

std::optional<nlohmann::json> WebApp::AskPanel(Panel& panel, const nlohmann::json& request,
                                               httplib::Response& response) {
  std::optional<nlohmann::json> answer =
      ParseAnswer(panel.process->Exchange(request.dump(), kPanelTimeout));
  if (!answer) {
    {
      const std::lock_guard panels_lock(panels_mutex_);
      panels_.erase(panel.id);
    }
    SendError(response, 502,
              "o módulo do painel terminou de forma inesperada; abra o painel novamente.");
  }
  return answer;
}

void WebApp::PanelLookup(const httplib::Request& request, httplib::Response& response) {
  const std::optional<WebSession> session = Authenticate(request, response, false);
  if (!session) return;
  const std::shared_ptr<Panel> panel = FindPanel(session->user, request.matches[1].str());
  if (!panel) {
    SendError(response, 404, "painel não encontrado.");
    return;
  }
  const std::string text = request.get_param_value("q");
  if (text.size() > kMaxQuery) {
    SendError(response, 400, "q longo demais.");
    return;
  }
  int limit = 50;
  if (request.has_param("limit")) {
    try {
      limit = std::stoi(request.get_param_value("limit"));
    } catch (const std::exception&) {
      limit = 0;
    }
    if (limit < 1 || limit > 500) {
      SendError(response, 400, "limit deve ser um número de 1 a 500.");
      return;
    }
  }
  const std::lock_guard lock(panel->mutex);
  const nlohmann::json forwarded = {
      {"event", "lookup"}, {"name", request.matches[2].str()}, {"q", text}, {"limit", limit}};
  const std::optional<nlohmann::json> answer = AskPanel(*panel, forwarded, response);
  if (!answer) return;
  if (answer->contains("error") || !answer->contains("candidates")) {
    SendError(response, 400, answer->value("error", "pedido inválido."));
    return;
  }
  SendJson(response, (*answer)["candidates"]);
}

void WebApp::ClosePanel(const httplib::Request& request, httplib::Response& response) {
  const std::optional<WebSession> session = Authenticate(request, response, true);
  if (!session) return;
  std::shared_ptr<Panel> panel = FindPanel(session->user, request.matches[1].str());
  if (!panel) {
    SendError(response, 404, "painel não encontrado.");
    return;
  }
  {
    const std::lock_guard lock(panels_mutex_);
    panels_.erase(panel->id);
  }
  SendJson(response, {{"ok", true}});
}

}  // namespace nrw::server
