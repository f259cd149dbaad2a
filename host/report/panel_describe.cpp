#include "report/panel_describe.h"

#include <nlohmann/json.hpp>

#include "report/report_host.h"

namespace nrw {

std::string DescribePanelJson(const Layout& layout, const std::string& version,
                              const TnpqPowerParam& panel) {
  nlohmann::json items = nlohmann::json::array();
  for (const auto& item : PanelHost::Items(panel)) {
    nlohmann::json entry = {{"name", item->Name()},
                            {"caption", item->Caption},
                            {"value", item->GetAsString()},
                            {"visible", item->Visivel},
                            {"checked", item->Checked},
                            {"options", item->OpcaoTexto},
                            {"dictionary", item->FieldDefinicao},
                            {"split", layout.FindSeparator(item->Name()) != nullptr}};
    if (TnFraControle* control = item->Control()) {
      entry["enabled"] = control->Enabled();
      if (auto* lookup = dynamic_cast<TnFraCtrlNDLink*>(control)) {
        entry["lookup_filter"] = lookup->MontarFiltro("");
      }
    } else {
      entry["enabled"] = true;
      entry["variable"] = true;
    }
    items.push_back(std::move(entry));
  }
  const nlohmann::json panel_json = {
      {"report", layout.report}, {"version", version}, {"items", items}};
  return panel_json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace nrw
