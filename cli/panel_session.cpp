#include "panel_session.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>

#include "nrwhost/files.h"

namespace nrw::cli {
namespace {

constexpr size_t kMaxLine = 1 << 20;
constexpr size_t kDefaultLimit = 50;
constexpr size_t kMaxLimit = 500;

nlohmann::ordered_json Panel(const RunSession& session) {
  return nlohmann::ordered_json::parse(session.DescribePanel());
}

nlohmann::ordered_json Error(const std::string& message) {
  nlohmann::ordered_json answer;
  answer["error"] = message;
  return answer;
}

std::string TextOf(const nlohmann::json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_number_integer()) return std::to_string(value.get<int64_t>());
  if (value.is_number()) return value.dump();
  if (value.is_boolean()) return value.get<bool>() ? "1" : "0";
  throw UsageError("o valor deve ser um texto, um número ou null.");
}

nlohmann::ordered_json Lookup(const RunSession& session, const nlohmann::json& request) {
  const std::string name = request.at("name").get<std::string>();
  const std::string text = request.value("q", std::string());
  size_t limit = request.value("limit", kDefaultLimit);
  limit = std::clamp<size_t>(limit, 1, kMaxLimit);
  nlohmann::ordered_json answer;
  answer["candidates"] = nlohmann::ordered_json::array();
  for (const LookupCandidate& candidate : session.Lookup(name, text, limit)) {
    answer["candidates"].push_back({{"value", candidate.value}, {"text", candidate.text}});
  }
  return answer;
}

nlohmann::ordered_json Answer(RunSession& session, const std::string& line) {
  nlohmann::json request;
  try {
    request = nlohmann::json::parse(line);
    if (!request.is_object()) return Error("cada pedido deve ser um objeto JSON.");
  } catch (const nlohmann::json::exception&) {
    return Error("pedido inválido: não é JSON.");
  }
  std::string event;
  try {
    event = request.at("event").get<std::string>();
    if (event == "panel") return Panel(session);
    if (event == "lookup") return Lookup(session, request);
    PanelEventKind kind;
    if (event == "enter") {
      kind = PanelEventKind::Enter;
    } else if (event == "change") {
      kind = PanelEventKind::Change;
    } else if (event == "exit") {
      kind = PanelEventKind::Exit;
    } else {
      return Error("evento desconhecido (use enter, change, exit, lookup ou panel).");
    }
    const std::string name = request.at("name").get<std::string>();
    std::optional<std::string> value;
    if (kind == PanelEventKind::Change && request.contains("value") &&
        !request["value"].is_null()) {
      value = TextOf(request["value"]);
    }
    session.PanelEvent(kind, name, value);
    return Panel(session);
  } catch (const nlohmann::json::exception&) {
    return Error("pedido incompleto: informe event e name.");
  } catch (const Exception& error) {
    if (event == "lookup") return Error(error.what());
    nlohmann::ordered_json answer = Panel(session);
    answer["error"] = error.what();
    return answer;
  }
}

}  // namespace

void ServePanelSession(RunSession& session, std::istream& in, std::ostream& out) {
  out << Panel(session).dump() << std::endl;
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() > kMaxLine) {
      out << Error("pedido longo demais.").dump() << std::endl;
      return;
    }
    if (line.empty()) continue;
    out << Answer(session, line).dump() << std::endl;
    if (!out) return;
  }
}

}  // namespace nrw::cli
