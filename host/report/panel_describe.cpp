#include "report/panel_describe.h"

#include <cstdint>
#include <limits>

#include "nrw/format.h"
#include "nrw/util.h"
#include "report/data_dictionary.h"
#include "report/editor_values.h"
#include "report/panel_builder.h"
#include "report/report_host.h"
#include "sql/user_companies.h"

namespace nrw {
namespace {

std::string TypeOf(const LayoutParam& param, const TnpqParamItem& item, bool has_options) {
  if (param.type == LayoutParamType::Date) {
    TnFraControle* control = item.Control();
    const auto tipo = control != nullptr
                          ? static_cast<TnTipoData>(control->GetFieldDefinicao().TipoData())
                          : TipoDataOf(param);
    if (tipo == TnTipoData::MesAno) return "month";
    if (tipo == TnTipoData::Ano) return "year";
    return "date";
  }
  if (param.type == LayoutParamType::Selection) return "selection";
  if (has_options) return "option_list";
  if (param.type == LayoutParamType::Integer) return "integer";
  if (param.type == LayoutParamType::Float) return "decimal";
  return "text";
}

// The user's companies as a predicate on the column, when a user is set.
std::string RightsPredicate(const std::string& column) {
  const std::optional<std::vector<int64_t>> companies = UserCompanies();
  if (!companies) return "";
  std::string selection;
  for (const int64_t code : *companies)
    selection += (selection.empty() ? "" : ";") + IntToStr(code);
  return FilterInterval({column}, selection.empty() ? "0" : selection, {1}, 0, false, 0);
}

std::optional<PanelLookup> LookupOf(const TnpqParamItem& item) {
  const DictionaryEntry* entry = FindDictionaryEntry(item.FieldDefinicao);
  if (entry == nullptr || *entry->table == '\0') return std::nullopt;
  PanelLookup lookup;
  lookup.table = entry->table;
  lookup.value_column = entry->value_column;
  lookup.text_column = entry->text_column;
  if (auto* control = dynamic_cast<TnFraCtrlNDLink*>(item.Control())) {
    lookup.filter = Trim(control->MontarFiltro(""));
  }
  if (*entry->company_column != '\0') {
    const std::string rights = RightsPredicate(std::string("t_t.") + entry->company_column);
    if (!rights.empty()) {
      lookup.filter = lookup.filter.empty() ? rights : "(" + lookup.filter + ") and " + rights;
    }
  }
  lookup.sql = "select distinct t_t." + lookup.value_column +
               (lookup.text_column.empty() ? "" : ", t_t." + lookup.text_column) + " from " +
               lookup.table + " t_t" + (lookup.filter.empty() ? "" : " where " + lookup.filter) +
               " order by 1";
  return lookup;
}

PanelItemDescription DescribeParam(const Layout& layout, const LayoutParam& param,
                                   const TnpqParamItem& item, TDateTime today) {
  PanelItemDescription described;
  described.options = ParseOptions(item.OpcaoTexto);
  described.type = TypeOf(param, item, !described.options.empty());
  described.default_value = ExpandDefault(param.default_value, today);
  described.layout_default = param.default_value;
  described.split = layout.FindSeparator(param.name) != nullptr;
  if (described.type == "integer") {
    described.min = param.min.value_or(std::numeric_limits<int32_t>::min());
    described.max = param.max.value_or(std::numeric_limits<int32_t>::max());
  } else if (described.type == "decimal") {
    described.min = param.min;
    described.max = param.max;
  }
  described.lookup = LookupOf(item);
  return described;
}

}  // namespace

PanelDescription DescribePanel(const Layout& layout, const std::string& version,
                               const TnpqPowerParam& panel, TDateTime today) {
  PanelDescription description;
  description.report = layout.report;
  description.title = layout.title;
  description.version = version;
  for (const auto& item : PanelHost::Items(panel)) {
    const LayoutParam* param = layout.FindParam(item->Name());
    PanelItemDescription described;
    if (param != nullptr && !item->Variavel) {
      described = DescribeParam(layout, *param, *item, today);
    } else {
      described.type = "text";
      described.variable = true;
    }
    described.name = item->Name();
    described.caption = item->Caption;
    described.value = item->GetAsString();
    described.dictionary = item->FieldDefinicao;
    described.visible = item->Visivel;
    described.checked = item->Checked;
    described.enabled = item->Control() == nullptr || item->Control()->Enabled();
    description.items.push_back(std::move(described));
  }
  return description;
}

}  // namespace nrw
