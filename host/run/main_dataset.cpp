#include "run/main_dataset.h"

#include "layout/dataset_statement.h"
#include "nrw/format.h"
#include "nrw/sql.h"
#include "nrw/util.h"
#include "report/engine.h"
#include "sql/sql_run.h"

namespace nrw {
namespace {

Variant Convert(const LayoutParam& param, const std::string& text) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return Variant();
  try {
    switch (param.type) {
      case LayoutParamType::Date:
        return StrToDate(trimmed);
      case LayoutParamType::Integer:
        return StrToInt(trimmed);
      case LayoutParamType::Float:
        return StrToFloat(trimmed);
      case LayoutParamType::Text:
      case LayoutParamType::Selection:
        break;
    }
  } catch (const Exception& error) {
    throw Exception("Parâmetro " + param.name + ": " + error.what());
  }
  return text;
}

}  // namespace

std::string MainDatasetSql(const Layout& layout, const TnpqPowerParam& panel) {
  return WithSelectionFilters(layout, panel, layout.dataset.sql);
}

std::string WithSelectionFilters(const Layout& layout, const TnpqPowerParam& panel,
                                 std::string sql) {
  const size_t marker = sql.find(kFiltrosMarker);
  if (marker == std::string::npos) return sql;
  std::string filters;
  // A layout whose records the host hands over selects them by the handed datasets' filters.
  const std::vector<LayoutFilter>& declared =
      layout.dataset.filters.empty() ? layout.handed.filters : layout.dataset.filters;
  for (const LayoutFilter& filter : declared) {
    if (!panel.ParamUnCheck(filter.param)) continue;
    filters += FilterInterval(filter.columns, Trim(panel.GetValues(filter.param)), {filter.kind}, 0,
                              true, 0);
  }
  sql.replace(marker, kFiltrosMarker.size(), filters);
  return sql;
}

std::vector<Variant> MainDatasetValues(const Layout& layout, const TnpqPowerParam& panel,
                                       const std::vector<std::string>& names) {
  std::vector<Variant> values;
  values.reserve(names.size());
  for (const std::string& name : names) {
    const LayoutParam* param = layout.FindParam(name);
    const std::string text = panel.GetValues(name);
    values.push_back(param != nullptr ? Convert(*param, text) : Variant(text));
  }
  return values;
}

void OpenMainDataSet(TnReportEngine& engine) {
  const Layout& layout = engine.GetLayout();
  if (layout.dataset.sql.empty()) return;
  const TracePause host_work(engine);
  const std::string sql = MainDatasetSql(layout, engine.Panel());
  const std::vector<Variant> values = MainDatasetValues(
      layout, engine.Panel(),
      layout.dataset.param_names ? *layout.dataset.param_names : MainDatasetParamNames(sql));
  const TDataSetRef rows = OpenSqlDataSet(sql, values);
  engine.SetMainRows(*rows);
}

}  // namespace nrw
