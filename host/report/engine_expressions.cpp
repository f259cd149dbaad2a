#include "report/engine_expressions.h"

#include "nrw/core.h"
#include "nrw/dataset.h"
#include "nrw/format.h"
#include "sql/sql_run.h"

namespace nrw {
namespace {

// A host statement: it is not the module's, so it stays out of the trace.
constexpr const char* kNomeEmpresaSql =
    " select NOMEEMPRESA from EMPRESA where CODIGOEMPRESA = :pCodigoEmpresa ";

}  // namespace

std::string EngineExpressions::Evaluate(std::string_view function,
                                        const std::vector<std::string>& args) {
  if (SameText(function, "gemVNomeEmpresa")) return NomeEmpresa(args);
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
