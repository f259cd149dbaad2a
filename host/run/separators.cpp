#include "run/separators.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "nrw/format.h"
#include "nrw/sql.h"
#include "nrw/util.h"
#include "nrwhost/files.h"
#include "report/company_rights.h"
#include "report/engine.h"
#include "report/report_host.h"
#include "sql/sql_run.h"
#include "sql/user_companies.h"
#include "util/selection.h"

namespace nrw {
namespace {

std::vector<std::string> CandidateValues(const std::string& sql) {
  const TDataSetRef rows = OpenSqlDataSet(sql, {});
  std::vector<std::string> values;
  if (rows->FieldCount() == 0) return values;
  for (rows->First(); !rows->Eof(); rows->Next()) {
    TField& field = rows->Fields(0);
    if (field.IsNull()) continue;
    // An empty or blank value is a part like any other: its records must not go missing.
    std::string value = field.AsString();
    if (std::find(values.begin(), values.end(), value) != values.end()) continue;
    values.push_back(std::move(value));
  }
  return values;
}

// The text the panel gets for a part's value: for a selection, one that selects exactly that value.
std::string PanelText(const Layout& layout, const std::string& param, const std::string& value) {
  const LayoutParam* declared = layout.FindParam(param);
  if (declared == nullptr || declared->type != LayoutParamType::Selection) return value;
  return SelectionOfValue(value);
}

// For a run as a user, a company separator's parts are only the user's companies.
void KeepUserCompanies(const Layout& layout, const TnpqPowerParam& panel, const std::string& param,
                       std::vector<std::string>& values) {
  const TnpqParamItem* item = panel.FindParam(param);
  if (item == nullptr || !SelectsCompanies(layout, *item)) return;
  const std::optional<std::vector<int64_t>> companies = UserCompanies();
  if (!companies) return;
  values.erase(std::remove_if(values.begin(), values.end(),
                              [&companies](const std::string& value) {
                                int64_t code = 0;
                                return !TryStrToInt(value, code) ||
                                       std::find(companies->begin(), companies->end(), code) ==
                                           companies->end();
                              }),
               values.end());
}

// A value the main dataset's filters cannot take (a text in a column of codes) stops the run here,
// before any part is printed.
void CheckPartValue(const Layout& layout, const std::string& param, const std::string& value) {
  const std::string text = PanelText(layout, param, value);
  for (const LayoutFilter& filter : layout.dataset.filters) {
    if (!SameText(filter.param, param)) continue;
    try {
      FilterInterval(filter.columns, text, {filter.kind}, 0, true, 0);
    } catch (const Exception& error) {
      throw Exception("A parte " + param + "='" + value +
                      "' não pode ser selecionada: " + error.what());
    }
  }
}

}  // namespace

std::string DefaultSeparatorSql(const TnSeparadorItem& separator) {
  std::string sql = "select distinct " + separator.Campos + " from " + separator.Tabela;
  if (!Trim(separator.Filtro).empty()) sql += " where " + separator.Filtro;
  return sql + " order by " + separator.Campos;
}

void ActivateSeparators(const Layout& layout, const std::vector<std::string>& params,
                        TnpqPowerParam& panel) {
  for (size_t i = 0; i < params.size(); ++i) {
    const LayoutSeparator* separator = layout.FindSeparator(params[i]);
    if (separator == nullptr) {
      throw UsageError("O layout de " + layout.report + " não oferece separador para '" +
                       params[i] + "'.");
    }
    for (size_t k = 0; k < i; ++k) {
      if (SameText(params[k], params[i])) {
        throw UsageError("Separador '" + params[i] + "' pedido mais de uma vez.");
      }
    }
    PanelHost::AddSeparador(
        panel, {separator->param, separator->fields, separator->table, separator->filter, 1});
  }
}

std::vector<SeparatorPart> ListSeparatorParts(TnReportEngine& engine) {
  TnpqPowerParam& panel = engine.Panel();
  const int count = panel.GetSeparadoresCount();
  std::vector<std::string> statements;
  for (int i = 0; i < count; ++i) {
    // Copies: the event may change the panel's list while it runs.
    const TnSeparadorItem separator = panel.GetSeparadores(i);
    std::string sql = DefaultSeparatorSql(separator);
    panel.OnSQLSeparador(panel, separator.Campos, separator.Tabela, separator.Filtro, i, sql);
    statements.push_back(std::move(sql));
  }
  std::vector<SeparatorPart> parts;
  if (count == 0) return parts;
  parts.emplace_back();
  const TracePause host_work(engine);
  for (int i = 0; i < count; ++i) {
    const std::string param = panel.GetSeparadores(i).Param;
    std::vector<std::string> values = CandidateValues(statements[static_cast<size_t>(i)]);
    KeepUserCompanies(engine.GetLayout(), panel, param, values);
    for (const std::string& value : values) CheckPartValue(engine.GetLayout(), param, value);
    std::vector<SeparatorPart> combined;
    combined.reserve(parts.size() * values.size());
    for (const SeparatorPart& part : parts) {
      for (const std::string& value : values) {
        SeparatorPart next = part;
        next.values.emplace_back(param, value);
        combined.push_back(std::move(next));
      }
    }
    parts = std::move(combined);
  }
  return parts;
}

void ApplyPart(TnReportEngine& engine, const SeparatorPart& part) {
  const TracePause host_work(engine);
  for (const auto& [name, value] : part.values) {
    TnpqParamItem& item = engine.Panel().Param(name);
    item.SetValue(PanelText(engine.GetLayout(), name, value));
    item.Checked = true;
    if (item.Control() != nullptr) item.Control()->SetChecked(true);
  }
}

}  // namespace nrw
