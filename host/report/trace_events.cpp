#include "report/trace_events.h"

#include <nlohmann/json.hpp>

#include "nrw/datetime.h"

namespace nrw::trace {
namespace {

using Json = nlohmann::ordered_json;

// Module texts are UTF-8 by contract; a stray byte must not cost the whole trace, so it is
// replaced instead of raising.
std::string Dump(const Json& event) {
  return event.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Json Event(const char* name) {
  Json event;
  event["ev"] = name;
  return event;
}

Json VariantJson(const Variant& value) {
  switch (value.kind()) {
    case Variant::Kind::Null:
      return nullptr;
    case Variant::Kind::Integer:
      return value.AsInteger();
    case Variant::Kind::Float:
      return value.AsFloat();
    case Variant::Kind::Text:
      return value.AsString();
    case Variant::Kind::Date:
      return DateToISO(value.AsDate());
    case Variant::Kind::Array: {
      Json items = Json::array();
      for (size_t i = 0; i < value.size(); ++i) items.push_back(VariantJson(value[i]));
      return items;
    }
  }
  return nullptr;
}

}  // namespace

std::string Set(const std::string& name, const std::string& value) {
  Json event = Event("set");
  event["name"] = name;
  event["value"] = value;
  return Dump(event);
}

std::string Print(int section, int page, bool automatic) {
  Json event = Event("print");
  event["section"] = section;
  event["page"] = page;
  if (automatic) event["auto"] = true;
  return Dump(event);
}

std::string Repeat(int section, int page) {
  Json event = Event("print");
  event["section"] = section;
  event["page"] = page;
  event["auto"] = true;
  event["repeat"] = true;
  return Dump(event);
}

std::string Skipped(int section, int page) {
  Json event = Event("print");
  event["section"] = section;
  event["page"] = page;
  event["skipped"] = true;
  return Dump(event);
}

std::string Keep(const std::vector<int>& sections, int page) {
  Json event = Event("keep");
  event["sections"] = sections;
  event["page"] = page;
  return Dump(event);
}

std::string PageEnd() { return Dump(Event("pageend")); }

std::string EndOfPage() { return Dump(Event("endofpage")); }

std::string CanPrint(const std::vector<std::pair<int, int>>& pairs, bool fits) {
  Json event = Event("canprint");
  Json list = Json::array();
  for (const auto& [section, lines] : pairs) list.push_back(Json::array({section, lines}));
  event["pairs"] = std::move(list);
  event["fits"] = fits;
  return Dump(event);
}

std::string Progress(int position, int total) {
  Json event = Event("progress");
  event["pos"] = position;
  event["total"] = total;
  return Dump(event);
}

std::string MsgConfig(const std::vector<std::string>& captions) {
  Json event = Event("msgconfig");
  event["captions"] = captions;
  return Dump(event);
}

std::string Message(int kind, const std::string& text) {
  Json event = Event("message");
  event["kind"] = kind;
  event["text"] = text;
  return Dump(event);
}

std::string Caption(const std::string& object, const std::string& caption) {
  Json event = Event("caption");
  event["object"] = object;
  event["caption"] = caption;
  return Dump(event);
}

std::string Property(const std::string& object, const std::string& property,
                     const std::string& value) {
  Json event = Event("property");
  event["object"] = object;
  event["property"] = property;
  event["value"] = value;
  return Dump(event);
}

std::string Sql(const std::string& sql, const std::vector<Variant>& values) {
  Json event = Event("sql");
  event["sql"] = sql;
  Json list = Json::array();
  for (const Variant& value : values) list.push_back(VariantJson(value));
  event["values"] = std::move(list);
  return Dump(event);
}

std::string Part(const std::vector<std::pair<std::string, std::string>>& values) {
  Json event = Event("part");
  Json object = Json::object();
  for (const auto& [name, value] : values) object[name] = value;
  event["values"] = std::move(object);
  return Dump(event);
}

std::string Error(const std::string& message, const std::string& detail) {
  Json event = Event("error");
  event["message"] = message;
  if (!detail.empty()) event["detail"] = detail;
  return Dump(event);
}

}  // namespace nrw::trace
