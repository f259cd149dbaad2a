#include "nrw/shared_data.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "nrw/core.h"
#include "nrw/dataset.h"
#include "nrwhost/settings.h"
#include "sql/sql_run.h"
#include "sql/user_companies.h"

namespace nrw {
namespace {

int& TipoCon() {
  static int tipo = 0;
  return tipo;
}

std::optional<int>& UsuarioAtual() {
  static std::optional<int> user;
  return user;
}

// The integer codes of the first column.
std::vector<int64_t> Codes(const std::string& sql, const std::vector<Variant>& values) {
  const TDataSetRef rows = RunSql(sql, values);
  TnClientDataSet& dataset = *rows;
  std::vector<int64_t> codes;
  for (dataset.First(); !dataset.Eof(); dataset.Next()) {
    if (!dataset.Fields(0).IsNull()) codes.push_back(dataset.Fields(0).AsInteger());
  }
  return codes;
}

std::vector<std::string> Texts(const std::vector<int64_t>& codes) {
  std::vector<std::string> texts;
  texts.reserve(codes.size());
  for (const int64_t code : codes) texts.push_back(std::to_string(code));
  return texts;
}

std::string Join(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) {
    if (!text.empty()) text += ';';
    text += item;
  }
  return text;
}

bool Contains(const std::vector<int64_t>& codes, int64_t code) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Items of a selection in the panel's notation ("1;3..5,7").
std::vector<std::string> SelectionItems(const std::string& selection) {
  std::vector<std::string> items;
  std::string item;
  for (const char c : selection + ";") {
    if (c == ';' || c == ',') {
      item = Trim(item);
      if (!item.empty()) items.push_back(item);
      item.clear();
    } else {
      item += c;
    }
  }
  return items;
}

bool IsBlank(const std::string& text) { return Trim(text).empty(); }

}  // namespace

int PegarTipoCon() { return TipoCon(); }
void DefinirTipoCon(int tipo) { TipoCon() = tipo; }
void DefinirUsuarioAtual(std::optional<int> user) { UsuarioAtual() = user; }

std::optional<int> CurrentUser() { return UsuarioAtual(); }

std::optional<std::vector<int64_t>> UserCompanies() {
  if (!UsuarioAtual()) return std::nullopt;
  return Codes(
      "select CODIGOEMPRESA from USUARIOEMPRESA where CODIGOUSUARIO = :pCodigoUsuario "
      "order by CODIGOEMPRESA",
      {Variant(*UsuarioAtual())});
}

std::string PegarCodigoEmpresaDireitoUsuario() {
  const std::optional<std::vector<int64_t>> companies = UserCompanies();
  if (!companies) return "";
  return companies->empty() ? "0" : Join(Texts(*companies));
}

std::string EmpresasGrupoCalculo(int group, const std::string& selection, bool flag) {
  if (group == 0) return selection;
  std::vector<int64_t> codes = Codes(
      "select CODIGOEMPRESAPROC from GRUPOEMPRESA where CODIGOGRUPOPROC = :pCodigoGrupoProc "
      "order by CODIGOEMPRESAPROC",
      {Variant(group)});
  // A group never widens a selection past the companies the current user may see.
  if (const std::optional<std::vector<int64_t>> allowed = UserCompanies()) {
    codes.erase(std::remove_if(codes.begin(), codes.end(),
                               [&allowed](int64_t code) { return !Contains(*allowed, code); }),
                codes.end());
  }
  std::vector<std::string> items = Texts(codes);
  for (std::string& item : SelectionItems(selection)) {
    bool present = false;
    for (const std::string& known : items) present = present || known == item;
    if (!present) items.push_back(std::move(item));
  }
  // An empty selection means every company: a group without companies must select none.
  return items.empty() ? "0" : Join(items);
}

Variant PegarValorCampo(const std::string& table, const std::string& fields,
                        const std::string& condition) {
  std::string sql = "select " + fields + " from " + table;
  if (!IsBlank(condition)) sql += " where " + condition;
  const TDataSetRef rows = RunSql(sql, {});
  TnClientDataSet& dataset = *rows;
  dataset.First();
  if (dataset.Eof()) return Variant();
  if (dataset.FieldCount() == 1) return dataset.Fields(0).Value();
  std::vector<Variant> values;
  values.reserve(static_cast<size_t>(dataset.FieldCount()));
  for (int i = 0; i < dataset.FieldCount(); ++i) values.push_back(dataset.Fields(i).Value());
  return Variant(std::move(values));
}

}  // namespace nrw
