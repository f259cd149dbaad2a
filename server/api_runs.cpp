// The runs: start one from an open panel, follow it, cancel it, fetch its files.
#include <fstream>
#include <regex>
#include <set>

#include "web_app.h"

namespace nrw::server {
namespace {

constexpr size_t kMaxPassword = 200;
constexpr std::chrono::seconds kEventsHeartbeat{15};
const std::set<std::string> kFormats = {"pdf", "html", "text", "xlsx", "csv"};

nlohmann::json ViewJson(const RunView& view) {
  return {
      {"id", view.id},
      {"module", view.module},
      {"state", RunStateName(view.state)},
      {"progress", {{"done", view.done}, {"total", view.total}}},
      {"messages", view.messages},
      {"error", view.error.empty() ? nlohmann::json(nullptr) : nlohmann::json(view.error)},
      {"format", view.format},
      {"split", view.split},
      {"created", view.created},
      {"finished", view.finished == 0 ? nlohmann::json(nullptr) : nlohmann::json(view.finished)}};
}

const char* ContentTypeOf(const std::string& format) {
  if (format == "pdf") return "application/pdf";
  if (format == "html") return "text/html; charset=utf-8";
  if (format == "xlsx") return "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";
  if (format == "csv") return "text/csv; charset=utf-8";
  if (format == "zip") return "application/zip";
  return "text/plain; charset=utf-8";
}

// A file name as a header may carry it: the plain form keeps safe ASCII only, the UTF-8 form has
// everything else percent-encoded.
std::string Disposition(const std::string& kind, const std::string& name) {
  std::string plain;
  std::string encoded;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    const bool safe = std::isalnum(byte) || c == '.' || c == '-' || c == '_';
    plain += safe ? c : '_';
    if (safe) {
      encoded += c;
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0xF];
    }
  }
  return kind + "; filename=\"" + plain + "\"; filename*=UTF-8''" + encoded;
}

void SendFile(httplib::Response& response, const std::string& path, const char* content_type) {
  auto stream = std::make_shared<std::ifstream>(path, std::ios::binary);
  stream->seekg(0, std::ios::end);
  const std::streamoff size = stream->tellg();
  stream->seekg(0);
  if (!*stream || size < 0) {
    SendError(response, 404, "arquivo não encontrado.");
    return;
  }
  response.set_content_provider(static_cast<size_t>(size), content_type,
                                [stream](size_t offset, size_t length, httplib::DataSink& sink) {
                                  char buffer[64 * 1024];
                                  stream->seekg(static_cast<std::streamoff>(offset));
                                  const size_t want = std::min(length, sizeof buffer);
                                  stream->read(buffer, static_cast<std::streamsize>(want));
                                  const std::streamsize got = stream->gcount();
                                  if (got <= 0) return false;
                                  sink.write(buffer, static_cast<size_t>(got));
                                  return true;
                                });
}

}  // namespace

void WebApp::StartRun(const httplib::Request& request, httplib::Response& response) {
  const std::optional<WebSession> session = Authenticate(request, response, true);
  if (!session) return;
  const std::optional<nlohmann::json> body = JsonBody(request, response);
  if (!body) return;
  const auto panel_field = body->find("panel");
  const std::shared_ptr<Panel> panel =
      panel_field != body->end() && panel_field->is_string()
          ? FindPanel(session->user, panel_field->get<std::string>())
          : nullptr;
  if (!panel) {
    SendError(response, 404, "painel não encontrado.");
    return;
  }
  RunRequest run;
  run.user = session->user;
  run.usuario = session->usuario;
  run.module = panel->module;
  const auto format = body->find("format");
  if (format != body->end() && !format->is_null()) {
    if (!format->is_string() || kFormats.count(format->get<std::string>()) == 0) {
      SendError(response, 400, "format deve ser pdf, html, text, xlsx ou csv.");
      return;
    }
    run.format = format->get<std::string>();
  }
  const auto password = body->find("password");
  if (password != body->end() && !password->is_null()) {
    if (!password->is_string() || password->get<std::string>().size() > kMaxPassword) {
      SendError(response, 400, "password deve ser um modelo de senha de até 200 caracteres.");
      return;
    }
    run.password = password->get<std::string>();
  }
  const auto archive = body->find("archive");
  if (archive != body->end() && !archive->is_null()) {
    if (!archive->is_boolean()) {
      SendError(response, 400, "archive deve ser true ou false.");
      return;
    }
    run.archive = archive->get<bool>();
  }
  const std::lock_guard lock(panel->mutex);
  const auto item_named = [&panel](const std::string& name) -> const nlohmann::json* {
    for (const nlohmann::json& item : panel->items) {
      if (item.value("name", "") == name) return &item;
    }
    return nullptr;
  };
  const auto split = body->find("split");
  if (split != body->end() && !split->is_null()) {
    if (!split->is_array()) {
      SendError(response, 400, "split deve ser uma lista de parâmetros.");
      return;
    }
    for (const nlohmann::json& name : *split) {
      const nlohmann::json* item = name.is_string() ? item_named(name.get<std::string>()) : nullptr;
      if (item == nullptr || !item->value("split", false)) {
        SendError(response, 400,
                  "split: o relatório não pode ser separado por " +
                      (name.is_string() && name.get<std::string>().size() <= 64
                           ? name.get<std::string>()
                           : std::string("esse parâmetro")) +
                      ".");
        return;
      }
      run.split.push_back(name.get<std::string>());
    }
  }
  // What the person typed, for the items the hooks leave enabled: the run applies them again in
  // the panel's order, through the same hooks.
  for (const auto& [name, value] : panel->changes) {
    const nlohmann::json* item = item_named(name);
    if (item == nullptr || item->value("variable", false) || !item->value("enabled", true))
      continue;
    run.params.emplace_back(name, value.value_or(""));
  }
  const std::string id = runs_.Submit(std::move(run));
  SendJson(response, {{"id", id}}, 202);
}

void WebApp::ListRuns(const httplib::Request& request, httplib::Response& response) {
  const std::optional<WebSession> session = Authenticate(request, response, false);
  if (!session) return;
  nlohmann::json list = nlohmann::json::array();
  for (const RunView& view : runs_.List(session->user)) list.push_back(ViewJson(view));
  SendJson(response, list);
}

void WebApp::ShowRun(const httplib::Request& request, httplib::Response& response) {
  const std::optional<WebSession> session = Authenticate(request, response, false);
  if (!session) return;
  const std::optional<RunView> view = runs_.Find(session->user, request.matches[1].str());
  if (!view) {
    SendError(response, 404, "execução não encontrada.");
    return;
  }
  SendJson(response, ViewJson(*view));
}

void WebApp::RunEvents(const httplib::Request& request, httplib::Response& response) {
  const std::optional<WebSession> session = Authenticate(request, response, false);
  if (!session) return;
  const std::string id = request.matches[1].str();
  const std::string user = session->user;
  if (!runs_.Find(user, id)) {
    SendError(response, 404, "execução não encontrada.");
    return;
  }
  auto version = std::make_shared<uint64_t>(~uint64_t{0});
  response.set_chunked_content_provider(
      "text/event-stream", [this, user, id, version](size_t, httplib::DataSink& sink) {
        const std::optional<RunView> view =
            *version == ~uint64_t{0}
                ? runs_.Find(user, id)
                : runs_.WaitChange(
                      user, id, *version,
                      std::chrono::duration_cast<std::chrono::milliseconds>(kEventsHeartbeat));
        if (!view) return false;
        if (!sink.is_writable()) return false;
        if (view->version == *version) {
          const std::string beat = ": ainda em andamento\n\n";
          sink.write(beat.data(), beat.size());
          return true;
        }
        *version = view->version;
        const std::string event = "event: progress\ndata: " + ViewJson(*view).dump() + "\n\n";
        if (!sink.write(event.data(), event.size())) return false;
        if (view->state != RunState::Queued && view->state != RunState::Running) sink.done();
        return true;
      });
}

void WebApp::CancelRun(const httplib::Request& request, httplib::Response& response) {
  const std::optional<WebSession> session = Authenticate(request, response, true);
  if (!session) return;
  if (!runs_.Cancel(session->user, request.matches[1].str())) {
    SendError(response, 404, "execução não encontrada.");
    return;
  }
  SendJson(response, {{"ok", true}});
}

void WebApp::RunFiles(const httplib::Request& request, httplib::Response& response) {
  const std::optional<WebSession> session = Authenticate(request, response, false);
  if (!session) return;
  const std::string id = request.matches[1].str();
  if (!runs_.Find(session->user, id)) {
    SendError(response, 404, "execução não encontrada.");
    return;
  }
  nlohmann::json list = nlohmann::json::array();
  for (const server::RunFile& file : runs_.Files(session->user, id)) {
    nlohmann::json values = nlohmann::json::object();
    for (const auto& [name, value] : file.values) values[name] = value;
    list.push_back({{"index", file.index},
                    {"name", file.name},
                    {"format", file.format},
                    {"bytes", file.bytes},
                    {"protected", file.is_protected},
                    {"archive", file.archive},
                    {"sha256", file.sha256},
                    {"values", values}});
  }
  SendJson(response, list);
}

void WebApp::DownloadFile(const httplib::Request& request, httplib::Response& response) {
  const std::optional<WebSession> session = Authenticate(request, response, false);
  if (!session) return;
  const std::string id = request.matches[1].str();
  const std::string index_text = request.matches[2].str();
  if (index_text.empty() || index_text.size() > 6 ||
      index_text.find_first_not_of("0123456789") != std::string::npos) {
    SendError(response, 400, "o índice do arquivo deve ser um número.");
    return;
  }
  const size_t index = std::stoul(index_text);
  const std::vector<server::RunFile> files = runs_.Files(session->user, id);
  if (index < 1 || index > files.size()) {
    SendError(response, 404, "arquivo não encontrado.");
    return;
  }
  const server::RunFile& file = files[index - 1];
  const bool preview = file.format == "html" && request.get_param_value("inline") == "1";
  if (preview) {
    // The report's own document, shown framed by the page: sandboxed, no script, no requests.
    response.headers.erase("Content-Security-Policy");
    response.headers.erase("X-Frame-Options");
    response.set_header("Content-Security-Policy",
                        "default-src 'none'; style-src 'unsafe-inline'; img-src data:; "
                        "frame-ancestors 'self'; sandbox");
    response.set_header("X-Frame-Options", "SAMEORIGIN");
  }
  response.set_header("Content-Disposition",
                      Disposition(preview ? "inline" : "attachment", file.name));
  SendFile(response, file.path, ContentTypeOf(file.format));
}

void WebApp::RunZip(const httplib::Request& request, httplib::Response& response) {
  const std::optional<WebSession> session = Authenticate(request, response, false);
  if (!session) return;
  const std::string id = request.matches[1].str();
  std::optional<std::string> zip;
  try {
    zip = runs_.Zip(session->user, id);
  } catch (const std::exception&) {
    SendError(response, 500, "não foi possível montar o arquivo ZIP.");
    return;
  }
  if (!zip) {
    SendError(response, 404, "execução não encontrada ou sem arquivos.");
    return;
  }
  response.set_header("Content-Disposition",
                      Disposition("attachment", "relatorios-" + id + ".zip"));
  SendFile(response, *zip, ContentTypeOf("zip"));
}

}  // namespace nrw::server
