#include "report/panel_describe.h"

#include <memory>

#include "report/engine.h"
#include "report/layout_loader.h"
#include "report/module_loader.h"

namespace nrw {

nlohmann::json DescribePanel(const std::string& module_path, const std::string& layout_path,
                             const std::vector<ParamSetting>& settings, TDateTime today) {
  const auto layout = std::make_shared<const Layout>(LoadLayout(layout_path));
  const LoadedModule module(module_path);
  nlohmann::json items = nlohmann::json::array();
  std::string version;
  {
    // The report and the instance hold handlers whose code lives in the module: both go first.
    TnrwReport report(std::make_unique<TnReportEngine>(layout));
    const std::unique_ptr<TnrwBaseDll> instance = module.ReportClass().Create(report);
    version = instance->Versao();
    TnpqPowerParam& panel = report.GetParams();
    BuildPanel(*layout, *instance, panel, today);
    ApplyParamSettings(*layout, settings, *instance, panel);
    for (const auto& item : panel.Items()) {
      nlohmann::json entry = {{"name", item->Name()},
                              {"caption", item->Caption},
                              {"value", item->GetAsString()},
                              {"visible", item->Visivel},
                              {"checked", item->Checked},
                              {"options", item->OpcaoTexto},
                              {"dictionary", item->FieldDefinicao}};
      if (const TnFraControle* control = item->Control()) {
        entry["enabled"] = control->Enabled();
        if (auto* lookup = dynamic_cast<TnFraCtrlNDLink*>(item->Control())) {
          entry["lookup_filter"] = lookup->MontarFiltro("");
        }
      } else {
        entry["enabled"] = true;
        entry["variable"] = true;
      }
      items.push_back(std::move(entry));
    }
  }
  return {{"report", layout->report}, {"version", version}, {"items", items}};
}

}  // namespace nrw
