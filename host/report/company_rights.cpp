#include "report/company_rights.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "nrw/format.h"
#include "nrw/shared_data.h"
#include "nrwhost/files.h"
#include "report/data_dictionary.h"
#include "report/report_host.h"
#include "sql/user_companies.h"
#include "util/selection.h"

namespace nrw {
namespace {

bool Allowed(const std::vector<int64_t>& companies, int64_t code) {
  return std::binary_search(companies.begin(), companies.end(), code);
}

std::string Join(const std::vector<int64_t>& codes) {
  std::string text;
  for (const int64_t code : codes) text += (text.empty() ? "" : ";") + IntToStr(code);
  return text;
}

std::string OfUser() { return "do usuário " + IntToStr(CurrentUser().value_or(0)); }

// The processing group the panel names (a declared group parameter holding a code other than 0).
int GroupOf(const Layout& layout, const TnpqPowerParam& panel) {
  for (const auto& item : PanelHost::Items(panel)) {
    if (item->Variavel || !SameText(item->FieldDefinicao, kGroupEntry)) continue;
    if (layout.FindParam(item->Name()) == nullptr) continue;
    const int64_t group = StrToIntDef(Trim(item->GetAsString()), 0);
    if (group > 0 && group <= INT32_MAX) return static_cast<int>(group);
  }
  return 0;
}

// What the selection becomes for a user with these companies; nothing when it stays as it is.
std::optional<std::string> Confined(const std::string& param, const std::string& selection,
                                    const std::vector<int64_t>& companies, int group) {
  const std::string text = Trim(selection);
  if (text.empty()) {
    return group != 0 ? EmpresasGrupoCalculo(group, "", true) : Join(companies);
  }
  const std::vector<CodeRange> ranges = ParseCodeSelection(text);
  const bool has_range =
      std::any_of(ranges.begin(), ranges.end(), [](const CodeRange& r) { return r.is_range; });
  if (!has_range) return std::nullopt;
  std::vector<int64_t> kept;
  for (const int64_t code : companies) {
    for (const CodeRange& range : ranges) {
      if (code >= range.first && code <= range.last) {
        kept.push_back(code);
        break;
      }
    }
  }
  if (kept.empty()) {
    throw UsageError("Parâmetro " + param + ": nenhuma das empresas de '" + text +
                     "' está entre as empresas " + OfUser() + ".");
  }
  return Join(kept);
}

}  // namespace

bool SelectsCompanies(const Layout& layout, const TnpqParamItem& item) {
  const LayoutParam* param = layout.FindParam(item.Name());
  return param != nullptr && !item.Variavel && param->type == LayoutParamType::Selection &&
         SameText(item.FieldDefinicao, kCompanyEntry);
}

void CheckUserCompanies(const std::string& param, const std::string& selection) {
  const std::optional<std::vector<int64_t>> companies = UserCompanies();
  if (!companies) return;
  std::vector<int64_t> foreign;
  for (const CodeRange& range : ParseCodeSelection(selection)) {
    if (!range.is_range && !Allowed(*companies, range.first)) foreign.push_back(range.first);
  }
  if (foreign.empty()) return;
  std::string codes;
  for (size_t i = 0; i < foreign.size(); ++i) {
    codes += (i == 0 ? "" : (i + 1 == foreign.size() ? " e " : ", ")) + IntToStr(foreign[i]);
  }
  throw UsageError("Parâmetro " + param +
                   (foreign.size() == 1 ? ": a empresa " + codes + " não está"
                                        : ": as empresas " + codes + " não estão") +
                   " entre as empresas " + OfUser() + ".");
}

void ConfineToUserCompanies(const Layout& layout, TnpqPowerParam& panel) {
  std::optional<std::vector<int64_t>> companies = UserCompanies();
  if (!companies) return;
  if (companies->empty()) {
    throw UsageError("O usuário " + IntToStr(CurrentUser().value_or(0)) +
                     " não tem direito a nenhuma empresa (USUARIOEMPRESA): não há o que imprimir.");
  }
  std::sort(companies->begin(), companies->end());
  const int group = GroupOf(layout, panel);
  for (const auto& item : PanelHost::Items(panel)) {
    if (!SelectsCompanies(layout, *item)) continue;
    const std::string selection = item->GetAsString();
    CheckUserCompanies(item->Name(), selection);
    const std::optional<std::string> confined =
        Confined(item->Name(), selection, *companies, group);
    if (confined) item->SetValue(*confined);
    item->Checked = true;
    if (item->Control() != nullptr) item->Control()->SetChecked(true);
  }
}

}  // namespace nrw
