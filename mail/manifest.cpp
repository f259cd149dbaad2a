#include "mail/manifest.h"

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>

#include "mail/csv.h"
#include "mail/errors.h"
#include "mail/text.h"
#include "mail/user_file.h"

namespace nrw::mail {
namespace {

using Json = nlohmann::ordered_json;

constexpr int kManifestVersion = 1;

class ManifestParser {
 public:
  explicit ManifestParser(std::string path) : path_(std::move(path)) {}

  [[noreturn]] void Fail(int line, const std::string& why) const {
    throw InputError("Manifesto " + path_ + ", linha " + std::to_string(line) + ": " + why + ".");
  }

  Json Parse(int line, std::string_view text, bool object = true) const {
    try {
      Json json = Json::parse(text);
      if (object && !json.is_object()) Fail(line, "não é um objeto JSON");
      return json;
    } catch (const Json::exception&) {
      // Malformed, or a number too large for a double.
      Fail(line, "JSON malformado");
    }
  }

  std::string Text(const Json& object, const char* key, int line, bool required = false) const {
    const auto found = object.find(key);
    if (found == object.end() || found->is_null()) {
      if (required) Fail(line, std::string("falta \"") + key + "\"");
      return {};
    }
    if (!found->is_string()) Fail(line, std::string("\"") + key + "\" não é um texto");
    return found->get<std::string>();
  }

  std::optional<std::string> OptionalText(const Json& object, const char* key, int line) const {
    const auto found = object.find(key);
    if (found == object.end() || found->is_null()) return std::nullopt;
    return Text(object, key, line);
  }

  int64_t Integer(const Json& object, const char* key, int line, bool required) const {
    const auto found = object.find(key);
    if (found == object.end() || found->is_null()) {
      if (required) Fail(line, std::string("falta \"") + key + "\"");
      return 0;
    }
    if (!found->is_number_integer()) Fail(line, std::string("\"") + key + "\" não é um inteiro");
    return found->get<int64_t>();
  }

  NamedValues Values(const Json& object, const char* key, int line) const {
    NamedValues values;
    const auto found = object.find(key);
    if (found == object.end() || found->is_null()) return values;
    if (!found->is_object()) Fail(line, std::string("\"") + key + "\" não é um objeto");
    for (const auto& [name, value] : found->items()) values.emplace_back(name, ValueText(value));
    return values;
  }

  ManifestHeader Header(const Json& json) const {
    const auto version = json.find("manifest");
    if (version == json.end() || !version->is_number_integer()) {
      Fail(1, "não começa pelo cabeçalho de um manifesto");
    }
    if (version->get<int64_t>() != kManifestVersion) {
      Fail(1, "versão " + version->dump() + " do manifesto não é conhecida");
    }
    ManifestHeader header;
    header.program = Text(json, "program", 1);
    header.module = Text(json, "module", 1, true);
    header.created = Text(json, "created", 1);
    header.database = Text(json, "database", 1);
    header.params = Values(json, "params", 1);
    if (const auto split = json.find("split"); split != json.end() && split->is_array()) {
      for (const Json& name : *split) {
        if (!name.is_string()) Fail(1, "\"split\" não é uma lista de nomes");
        header.split.push_back(name.get<std::string>());
      }
    }
    header.output = Text(json, "output", 1);
    header.password_template = OptionalText(json, "password_template", 1);
    header.base = Text(json, "base", 1);
    if (const auto shard = json.find("shard"); shard != json.end() && shard->is_object()) {
      header.shard_index = Integer(*shard, "index", 1, true);
      header.shard_count = Integer(*shard, "count", 1, true);
    }
    return header;
  }

  ManifestPart Part(const Json& json, int line) const {
    ManifestPart part;
    part.part = Integer(json, "part", line, true);
    if (part.part <= 0) Fail(line, "número de parte inválido");
    part.values = Values(json, "values", line);
    part.row = Values(json, "row", line);
    const std::string status = Text(json, "status", line, true);
    if (status == "written") {
      part.status = PartStatus::kWritten;
    } else if (status == "empty") {
      part.status = PartStatus::kEmpty;
    } else if (status == "refused") {
      part.status = PartStatus::kRefused;
    } else {
      Fail(line, "situação \"" + status + "\" desconhecida");
    }
    part.file = Text(json, "file", line, part.status == PartStatus::kWritten);
    part.bytes = Integer(json, "bytes", line, false);
    part.sha256 = Text(json, "sha256", line, part.status == PartStatus::kWritten);
    if (const auto found = json.find("protected"); found != json.end() && !found->is_null()) {
      if (!found->is_boolean()) Fail(line, "\"protected\" não é true nem false");
      part.is_protected = found->get<bool>();
    }
    part.password_template = OptionalText(json, "password_template", line);
    part.reason = Text(json, "reason", line);
    return part;
  }

 private:
  static std::optional<std::string> ValueText(const Json& value) {
    if (value.is_null()) return std::nullopt;
    if (value.is_string()) return value.get<std::string>();
    return value.dump();
  }

  std::string path_;
};

// A manifest line is a few hundred bytes: room for far more parts than the largest office has.
constexpr size_t kMaxManifestBytes = size_t{256} << 20;

// A CSV row becomes the JSON record the JSON Lines form holds, so that both are checked alike.
Json CsvPart(const ManifestParser& parser, const std::vector<std::string>& columns,
             const CsvRecord& record) {
  if (record.fields.size() != columns.size()) {
    parser.Fail(record.line, "número de colunas diferente do cabeçalho");
  }
  Json part = Json::object();
  for (size_t i = 0; i < columns.size(); ++i) {
    const std::string& name = columns[i];
    const std::string& text = record.fields[i];
    if (text.empty()) {
      part[name] = nullptr;
    } else if (name == "part" || name == "bytes" || name == "pages") {
      int64_t number = 0;
      if (!ParseInteger(text, number)) parser.Fail(record.line, "\"" + name + "\" não é um número");
      part[name] = number;
    } else if (name == "protected") {
      part[name] = text == "true" || text == "1";
    } else if (name == "values" || name == "row" || name == "messages") {
      part[name] = parser.Parse(record.line, text, name != "messages");
    } else {
      part[name] = text;
    }
  }
  return part;
}

std::vector<std::pair<int, Json>> CsvRecords(const ManifestParser& parser, std::string_view text,
                                             Json& header) {
  const size_t end = text.find('\n');
  std::string_view first = text.substr(0, end);
  if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
  header = parser.Parse(1, first.substr(1));
  std::vector<std::pair<int, Json>> parts;
  if (end == std::string_view::npos) return parts;
  std::vector<CsvRecord> records = ParseCsv(text.substr(end + 1), ';', "Manifesto");
  if (records.empty()) parser.Fail(2, "falta a linha dos nomes das colunas");
  const std::vector<std::string> columns = records.front().fields;
  for (size_t i = 1; i < records.size(); ++i) {
    records[i].line += 1;  // the header JSON line came before
    parts.emplace_back(records[i].line, CsvPart(parser, columns, records[i]));
  }
  return parts;
}

std::vector<std::pair<int, Json>> JsonLinesRecords(const ManifestParser& parser,
                                                   std::string_view text, Json& header) {
  std::vector<std::pair<int, Json>> parts;
  int line = 0;
  while (!text.empty()) {
    ++line;
    const size_t end = text.find('\n');
    std::string_view current = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!current.empty() && current.back() == '\r') current.remove_suffix(1);
    if (Trim(current).empty()) continue;
    if (line == 1) {
      header = parser.Parse(line, current);
    } else {
      parts.emplace_back(line, parser.Parse(line, current));
    }
  }
  return parts;
}

}  // namespace

const std::string* FindValue(const NamedValues& values, const std::string& name) {
  for (const auto& [key, value] : values) {
    if (SameTextIgnoringCase(key, name)) return value ? &*value : nullptr;
  }
  return nullptr;
}

std::string Manifest::Resolve(const std::string& file) const {
  const std::filesystem::path target(file);
  if (target.is_absolute()) return file;
  std::error_code error;
  if (!header.base.empty() && std::filesystem::is_directory(header.base, error)) {
    return (std::filesystem::path(header.base) / target).string();
  }
  return (std::filesystem::path(path).parent_path() / target).string();
}

Manifest ReadManifest(const std::string& path) {
  const std::string content = ReadUserFile(path, "Manifesto", kMaxManifestBytes);
  const std::string_view text = WithoutBom(content);
  if (Trim(text).empty()) throw InputError("Manifesto " + path + ": está vazio.");
  const ManifestParser parser(path);
  Json header_json;
  const std::vector<std::pair<int, Json>> records =
      text.front() == '#' ? CsvRecords(parser, text, header_json)
                          : JsonLinesRecords(parser, text, header_json);
  Manifest manifest;
  manifest.path = path;
  manifest.header = parser.Header(header_json);
  std::set<int64_t> numbers;
  for (const auto& [line, json] : records) {
    ManifestPart part = parser.Part(json, line);
    if (!numbers.insert(part.part).second) {
      parser.Fail(line, "a parte " + std::to_string(part.part) + " aparece mais de uma vez");
    }
    manifest.parts.push_back(std::move(part));
  }
  const int64_t counted = parser.Integer(header_json, "parts", 1, true);
  if (counted != static_cast<int64_t>(manifest.parts.size())) {
    throw InputError("Manifesto " + path + ": o cabeçalho conta " + std::to_string(counted) +
                     " partes, o arquivo traz " + std::to_string(manifest.parts.size()) +
                     " (arquivo incompleto ou alterado).");
  }
  return manifest;
}

}  // namespace nrw::mail
