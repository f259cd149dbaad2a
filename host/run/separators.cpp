#include "run/separators.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>

#include "nrw/format.h"
#include "nrw/sql.h"
#include "nrw/util.h"
#include "nrwhost/files.h"
#include "report/company_rights.h"
#include "report/engine.h"
#include "report/report_host.h"
#include "run/main_dataset.h"
#include "sql/sql_run.h"
#include "sql/user_companies.h"
#include "util/selection.h"

namespace nrw {
namespace {

struct Candidate {
  std::string value;
  std::vector<std::pair<std::string, Variant>> row;
};

// The names of the listing's columns: those the layout's fields give them (without a table's
// alias), so that a row reads alike whatever the database calls a column, else the statement's.
std::vector<std::string> ColumnNames(const std::string& fields, TnClientDataSet& rows) {
  std::vector<std::string> names;
  for (const std::string& field : SplitString(fields, ',')) {
    std::string name = Trim(field);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name = name.substr(dot + 1);
    names.push_back(std::move(name));
  }
  if (names.size() != static_cast<size_t>(rows.FieldCount())) {
    names.clear();
    for (int i = 0; i < rows.FieldCount(); ++i) names.push_back(rows.Fields(i).FieldName());
  }
  return names;
}

// The listing's values in its order, each with the rest of its first row; named parameters are
// bound from the panel as the main dataset's are.
std::vector<Candidate> CandidateValues(TnReportEngine& engine, const std::string& sql,
                                       const std::string& fields) {
  const Layout& layout = engine.GetLayout();
  const TDataSetRef rows =
      OpenSqlDataSet(sql, MainDatasetValues(layout, engine.Panel(), MainDatasetParamNames(sql)));
  std::vector<Candidate> values;
  if (rows->FieldCount() == 0) return values;
  const std::vector<std::string> names = ColumnNames(fields, *rows);
  std::set<std::string> seen;
  for (rows->First(); !rows->Eof(); rows->Next()) {
    TField& field = rows->Fields(0);
    if (field.IsNull()) continue;
    // An empty or blank value is a part like any other: its records must not go missing.
    Candidate candidate{field.AsString(), {}};
    if (!seen.insert(candidate.value).second) continue;
    for (int i = 1; i < rows->FieldCount(); ++i) {
      candidate.row.emplace_back(names[static_cast<size_t>(i)], rows->Fields(i).Value());
    }
    values.push_back(std::move(candidate));
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
                       std::vector<Candidate>& values) {
  const TnpqParamItem* item = panel.FindParam(param);
  if (item == nullptr || !SelectsCompanies(layout, *item)) return;
  const std::optional<std::vector<int64_t>> companies = UserCompanies();
  if (!companies) return;
  values.erase(std::remove_if(values.begin(), values.end(),
                              [&companies](const Candidate& candidate) {
                                int64_t code = 0;
                                return !TryStrToInt(candidate.value, code) ||
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
    statements.push_back(WithSelectionFilters(engine.GetLayout(), panel, std::move(sql)));
  }
  std::vector<SeparatorPart> parts;
  if (count == 0) return parts;
  parts.emplace_back();
  const TracePause host_work(engine);
  for (int i = 0; i < count; ++i) {
    const TnSeparadorItem separator = panel.GetSeparadores(i);
    std::vector<Candidate> values =
        CandidateValues(engine, statements[static_cast<size_t>(i)], separator.Campos);
    KeepUserCompanies(engine.GetLayout(), panel, separator.Param, values);
    for (const Candidate& candidate : values) {
      CheckPartValue(engine.GetLayout(), separator.Param, candidate.value);
    }
    std::vector<SeparatorPart> combined;
    combined.reserve(parts.size() * values.size());
    for (const SeparatorPart& part : parts) {
      for (const Candidate& candidate : values) {
        SeparatorPart next = part;
        next.values.emplace_back(separator.Param, candidate.value);
        next.row.insert(next.row.end(), candidate.row.begin(), candidate.row.end());
        combined.push_back(std::move(next));
      }
    }
    parts = std::move(combined);
  }
  return parts;
}

void ApplyPart(TnReportEngine& engine, const SeparatorPart& part, PartText text) {
  const TracePause host_work(engine);
  for (const auto& [name, value] : part.values) {
    TnpqParamItem& item = engine.Panel().Param(name);
    item.SetValue(text == PartText::Value ? value : PanelText(engine.GetLayout(), name, value));
    item.Checked = true;
    if (item.Control() != nullptr) item.Control()->SetChecked(true);
  }
}

}  // namespace nrw
