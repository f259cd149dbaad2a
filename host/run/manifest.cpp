#include "run/manifest.h"

#include <nlohmann/json.hpp>

#include "nrw/format.h"

namespace nrw {
namespace {

using Json = nlohmann::ordered_json;

Json ValueJson(const Variant& value) {
  switch (value.kind()) {
    case Variant::Kind::Null:
      return nullptr;
    case Variant::Kind::Integer:
      return value.AsInteger();
    case Variant::Kind::Float:
      return value.AsFloat();
    case Variant::Kind::Date:
      return FormatDateTime("yyyy-mm-dd", value.AsDate());
    case Variant::Kind::Text:
    case Variant::Kind::Array:
      break;
  }
  return value.AsString();
}

Json OrNull(const std::string& text) { return text.empty() ? Json(nullptr) : Json(text); }

Json HeaderJson(const RunOptions& options, const ManifestHeader& header, size_t parts,
                size_t run_parts) {
  Json params = Json::object();
  for (const ParamSetting& param : options.params) params[param.name] = param.value;
  Json json;
  json["manifest"] = 1;
  json["program"] = options.manifest.program;
  json["module"] = header.module;
  json["module_version"] = header.module_version;
  json["created"] = header.created;
  json["database"] = options.manifest.database;
  json["user"] = options.manifest.user ? Json(*options.manifest.user) : Json(nullptr);
  json["params"] = std::move(params);
  json["split"] = options.split;
  json["output"] = options.output;
  json["format"] = header.output_format;
  json["password_template"] = OrNull(options.password);
  json["archive"] = OrNull(options.archive_dir);
  json["shard"] = options.shard
                      ? Json{{"index", options.shard->index}, {"count", options.shard->count}}
                      : Json(nullptr);
  json["base"] = options.manifest.base;
  json["parts"] = parts;
  json["run_parts"] = run_parts;
  return json;
}

Json PartJson(const RunOptions& options, const PartResult& part) {
  const bool written = part.status == PartStatus::Written;
  Json values = Json::object();
  for (const auto& [name, value] : part.values) values[name] = value;
  Json row = Json::object();
  for (const auto& [name, value] : part.row) row[name] = ValueJson(value);
  Json json;
  json["part"] = part.number;
  json["values"] = std::move(values);
  json["row"] = std::move(row);
  json["status"] = PartStatusName(part.status);
  json["file"] = written ? Json(part.output) : Json(nullptr);
  json["format"] = FormatName(part.format);
  json["pages"] = part.status == PartStatus::Refused ? Json(nullptr) : Json(part.pages);
  json["bytes"] = written ? Json(part.bytes) : Json(nullptr);
  json["sha256"] = written ? Json(part.sha256) : Json(nullptr);
  json["protected"] = written && part.is_protected;
  json["password_template"] = written && part.is_protected ? Json(options.password) : Json(nullptr);
  json["archive_file"] = written ? OrNull(part.archive) : Json(nullptr);
  json["archive_sha256"] = written ? OrNull(part.archive_sha256) : Json(nullptr);
  Json messages = Json::array();
  for (const MessageEntry& message : part.messages) messages.push_back(MessageLine(message));
  json["messages"] = std::move(messages);
  json["reason"] = part.status == PartStatus::Empty     ? Json("nenhuma página para imprimir")
                   : part.status == PartStatus::Refused ? Json("o módulo não gerou esta parte")
                                                        : Json(nullptr);
  return json;
}

// RFC 4180: a field with the separator, a quote or a line break is quoted, its quotes doubled.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

std::string CsvText(const Json& value) {
  if (value.is_null()) return "";
  if (value.is_string()) return value.get<std::string>();
  return value.dump();
}

}  // namespace

const char* PartStatusName(PartStatus status) {
  switch (status) {
    case PartStatus::Written:
      return "written";
    case PartStatus::Empty:
      return "empty";
    case PartStatus::Refused:
      return "refused";
    case PartStatus::Elsewhere:
      break;
  }
  return "elsewhere";
}

std::string FormatName(OutputFormat format) {
  switch (format) {
    case OutputFormat::Pdf:
      return "pdf";
    case OutputFormat::Html:
      return "html";
    case OutputFormat::Xlsx:
      return "xlsx";
    case OutputFormat::Csv:
      return "csv";
    case OutputFormat::Text:
      break;
  }
  return "text";
}

bool ManifestIsCsv(const std::string& path) {
  return path.size() >= 4 && SameText(path.substr(path.size() - 4), ".csv");
}

std::string ManifestText(const RunOptions& options, const ManifestHeader& header,
                         const std::vector<PartResult>& parts, size_t run_parts) {
  std::vector<const PartResult*> recorded;
  for (const PartResult& part : parts) {
    if (part.status != PartStatus::Elsewhere) recorded.push_back(&part);
  }
  const Json head = HeaderJson(options, header, recorded.size(), run_parts);
  std::string text;
  const bool csv = ManifestIsCsv(options.manifest.path);
  if (!csv) {
    text = head.dump() + "\n";
    for (const PartResult* part : recorded) text += PartJson(options, *part).dump() + "\n";
    return text;
  }
  static const char* const kColumns[] = {
      "part",      "status",       "file",           "format", "pages",  "bytes", "sha256",
      "protected", "archive_file", "archive_sha256", "reason", "values", "row",   "messages"};
  text = "\xEF\xBB\xBF#" + head.dump() + "\r\n";
  for (size_t i = 0; i < std::size(kColumns); ++i)
    text += (i ? ";" : "") + std::string(kColumns[i]);
  text += "\r\n";
  for (const PartResult* part : recorded) {
    const Json json = PartJson(options, *part);
    for (size_t i = 0; i < std::size(kColumns); ++i) {
      const Json& value = json[kColumns[i]];
      const bool as_json = value.is_object() || value.is_array();
      text += (i ? ";" : "") + CsvField(as_json ? value.dump() : CsvText(value));
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace nrw
