#include "support/trace_record.h"

#include "nrw/format.h"

namespace support {

std::string Printed::Var(const std::string& name) const {
  const auto found = vars.find(nrw::LowerCase(name));
  return found == vars.end() ? "" : found->second;
}

TraceRecord::TraceRecord(std::vector<std::string> lines) : lines_(std::move(lines)) {
  std::map<std::string, std::string> vars;
  for (const std::string& line : lines_) {
    nlohmann::json event = nlohmann::json::parse(line);
    const std::string ev = event.value("ev", "");
    if (ev == "set") vars[nrw::LowerCase(event["name"].get<std::string>())] = event["value"];
    if (ev == "property") {
      vars[nrw::LowerCase(event["object"].get<std::string>() + "." +
                          event["property"].get<std::string>())] = event["value"];
    }
    if (ev == "print") {
      prints_.push_back({event["section"], event["page"], event.value("auto", false),
                         event.value("repeat", false), event.value("skipped", false), vars});
    }
    // Bands kept with the next one went to its page: the last module prints, in order.
    if (ev == "keep") {
      size_t moved = event["sections"].size();
      for (auto p = prints_.rbegin(); p != prints_.rend() && moved > 0; ++p) {
        if (p->automatic || p->skipped) continue;
        p->page = event["page"];
        --moved;
      }
    }
    events_.push_back(std::move(event));
  }
}

std::vector<Printed> TraceRecord::ModulePrints() const {
  std::vector<Printed> found;
  for (const Printed& p : prints_) {
    if (!p.automatic) found.push_back(p);
  }
  return found;
}

std::vector<int> TraceRecord::Sections() const {
  std::vector<int> sections;
  for (const Printed& p : prints_) {
    if (!p.automatic) sections.push_back(p.section);
  }
  return sections;
}

std::vector<std::string> TraceRecord::Values(const std::string& name) const {
  std::vector<std::string> values;
  for (const nlohmann::json& e : events_) {
    if (e.value("ev", "") == "set" && nrw::SameText(e["name"].get<std::string>(), name)) {
      values.push_back(e["value"]);
    }
  }
  return values;
}

std::vector<std::string> TraceRecord::Values(int section, const std::string& name) const {
  std::vector<std::string> values;
  for (const Printed& p : prints_) {
    if (p.section == section && !p.automatic) values.push_back(p.Var(name));
  }
  return values;
}

std::vector<nlohmann::json> TraceRecord::Events(const std::string& ev) const {
  std::vector<nlohmann::json> found;
  for (const nlohmann::json& e : events_) {
    if (e.value("ev", "") == ev) found.push_back(e);
  }
  return found;
}

std::vector<std::string> TraceRecord::Sqls() const {
  std::vector<std::string> sqls;
  for (const nlohmann::json& e : Events("sql")) sqls.push_back(e["sql"]);
  return sqls;
}

}  // namespace support
