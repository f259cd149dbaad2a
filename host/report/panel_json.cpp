#include <nlohmann/json.hpp>

#include "report/panel_describe.h"

namespace nrw {
namespace {

nlohmann::json Range(const PanelItemDescription& item) {
  if (!item.min && !item.max) return nullptr;
  nlohmann::json range = nlohmann::json::object();
  range["min"] = item.min ? nlohmann::json(*item.min) : nlohmann::json(nullptr);
  range["max"] = item.max ? nlohmann::json(*item.max) : nlohmann::json(nullptr);
  return range;
}

nlohmann::json Lookup(const PanelItemDescription& item) {
  if (!item.lookup) return nullptr;
  const PanelLookup& lookup = *item.lookup;
  return {{"table", lookup.table},
          {"value_column", lookup.value_column},
          {"text_column", lookup.text_column},
          {"filter", lookup.filter},
          {"sql", lookup.sql}};
}

}  // namespace

std::string PanelJson(const PanelDescription& description) {
  nlohmann::json items = nlohmann::json::array();
  for (const PanelItemDescription& item : description.items) {
    nlohmann::json options = nlohmann::json::array();
    for (const PanelOption& option : item.options) {
      options.push_back({{"value", option.value}, {"text", option.text}});
    }
    nlohmann::json entry = {{"name", item.name},
                            {"caption", item.caption},
                            {"type", item.type},
                            {"value", item.value},
                            {"default", item.default_value},
                            {"enabled", item.enabled},
                            {"visible", item.visible},
                            {"checked", item.checked},
                            {"range", Range(item)},
                            {"options", std::move(options)},
                            {"split", item.split},
                            {"dictionary", item.dictionary},
                            {"lookup", Lookup(item)}};
    if (item.variable) entry["variable"] = true;
    items.push_back(std::move(entry));
  }
  const nlohmann::json panel = {
      {"report", description.report}, {"version", description.version}, {"items", items}};
  return panel.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace nrw
