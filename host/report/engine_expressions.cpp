#include "report/engine_expressions.h"

#include "nrw/core.h"
#include "nrw/dataset.h"
#include "nrw/format.h"
#include "nrw/shared_data.h"
#include "nrw/util.h"
#include "sql/sql_run.h"

namespace nrw {
namespace {

// A host statement: it is not the module's, so it stays out of the trace.
constexpr const char* kNomeEmpresaSql =
    " select NOMEEMPRESA from EMPRESA where CODIGOEMPRESA = :pCodigoEmpresa ";

// Service takers by the digits of their registration, however it was punctuated when typed.
constexpr const char* kTomadorSql =
    " select T.CODIGOEMPRESA, T.NOMETOMADOR from TOMADOR T where "
    "replace(replace(replace(replace(T.INSCRFEDERAL, '.', ''), '/', ''), '-', ''), ' ', '') = "
    ":pInscricao %s order by T.CODIGOEMPRESA, T.CODIGOTOMADOR ";

std::string Digits(const std::string& text) {
  std::string digits;
  for (const char c : text) {
    if (c >= '0' && c <= '9') digits += c;
  }
  return digits;
}

}  // namespace

std::string EngineExpressions::Evaluate(std::string_view function,
                                        const std::vector<std::string>& args) {
  if (SameText(function, "gemVNomeEmpresa")) return NomeEmpresa(args);
  if (SameText(function, "gemVNomeTomador")) return NomeTomador(args);
  throw Exception("Expressão desconhecida no texto do relatório: @var(" + std::string(function) +
                  ")");
}

std::string EngineExpressions::NomeEmpresa(const std::vector<std::string>& args) {
  int64_t codigo = 0;
  if (args.empty() || !TryStrToInt(args.front(), codigo)) return "";
  const auto found = nomes_empresa_.find(codigo);
  if (found != nomes_empresa_.end()) return found->second;
  const TDataSetRef empresa = RunSql(kNomeEmpresaSql, {Variant(codigo)});
  std::string nome = empresa->IsEmpty() ? std::string() : empresa->Fields(0).AsString();
  nomes_empresa_.emplace(codigo, nome);
  return nome;
}

}  // namespace nrw

namespace nrw {

std::string EngineExpressions::NomeTomador(const std::vector<std::string>& args) {
  int64_t empresa = 0;
  if (!args.empty() && !Trim(args[0]).empty() && (!TryStrToInt(args[0], empresa) || empresa != 0)) {
    return "";
  }
  const std::string digits = args.size() > 1 ? Digits(args[1]) : std::string();
  if (digits.empty()) return "";
  const auto found = nomes_tomador_.find(digits);
  if (found != nomes_tomador_.end()) return found->second;
  // Only the companies the user may see: a taker of another company is not named.
  const std::string direito = PegarCodigoEmpresaDireitoUsuario();
  const std::string filtro =
      direito.empty() ? "" : FilterInterval({"T.CODIGOEMPRESA"}, direito, {1}, 0, true, 0);
  const TDataSetRef tomador = RunSql(Format(kTomadorSql, {filtro}), {Variant(digits)});
  std::string nome = tomador->IsEmpty()
                         ? "Inscrição sem estabelecimento nem tomador de serviços cadastrado"
                         : "Tomador de serviços: " + tomador->Fields(1).AsString() + " (empresa " +
                               tomador->Fields(0).AsString() + ")";
  nomes_tomador_.emplace(digits, nome);
  return nome;
}

}  // namespace nrw
