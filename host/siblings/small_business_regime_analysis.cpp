#include "siblings/small_business_regime_analysis.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/dataset_builder.h"
#include "nrw/datetime.h"
#include "nrw/format.h"
#include "nrw/shared_data.h"
#include "nrw/util.h"
#include "nrwhost/settings.h"
#include "sql/sql_run.h"

namespace nrw {
namespace {

// Months with payroll: the establishment of a calculated contract is the transfer it was
// calculated with, as the payroll statements join it. Filters go into %s.
constexpr const char* kSqlLinhas =
    "select PC.CODIGOEMPRESA as CodigoEmpresa, FL.CODIGOESTAB as CodigoEstab, PC.COMPET as Compet "
    "from PERIODOCALCULO PC "
    "join FUNCPERCALCULO FPC on FPC.CODIGOEMPRESA = PC.CODIGOEMPRESA "
    "and FPC.CODIGOPERCALCULO = PC.CODIGOPERCALCULO "
    "join FUNCLOCAL FL on FL.CODIGOEMPRESA = FPC.CODIGOEMPRESA "
    "and FL.CODIGOFUNCCONTR = FPC.CODIGOFUNCCONTR and FL.DATATRANSF = FPC.DATALOCAL "
    "join EMPRESA EM on EM.CODIGOEMPRESA = PC.CODIGOEMPRESA "
    "left join ESTAB ES on ES.CODIGOEMPRESA = FL.CODIGOEMPRESA and ES.CODIGOESTAB = FL.CODIGOESTAB "
    "where PC.COMPET between :pInicio and :pFim %s "
    "group by PC.CODIGOEMPRESA, FL.CODIGOESTAB, PC.COMPET, EM.NOMEEMPRESA, ES.APELIDOESTAB ";

constexpr const char* kOrdemCodigo = "order by PC.CODIGOEMPRESA, FL.CODIGOESTAB, PC.COMPET";
constexpr const char* kOrdemNome =
    "order by EM.NOMEEMPRESA, PC.CODIGOEMPRESA, ES.APELIDOESTAB, FL.CODIGOESTAB, PC.COMPET";

// Sorted as the header lookup indexes it, so that a record number means the same row in both.
constexpr const char* kSqlEmpresasEstab =
    "select ES.CODIGOEMPRESA, ES.CODIGOESTAB, EM.NOMEEMPRESA, ES.APELIDOESTAB, "
    "ES.DATAINICIOATIV, ES.DATAENCERATIV, ES.INSCRFEDERAL "
    "from ESTAB ES join EMPRESA EM on EM.CODIGOEMPRESA = ES.CODIGOEMPRESA "
    "where 1 = 1 %s "
    "order by ES.CODIGOEMPRESA, ES.CODIGOESTAB";

TDateTime AtividadeAberta() { return EncodeDate(2100, 12, 31); }

TDateTime DataDoParametro(TnDMPowerParam& dm, const char* name) {
  const std::string text = dm.Param(name).GetAsString();
  const std::optional<TDateTime> date = TryStrToDate(text);
  if (!date) throw Exception(Format("Parâmetro %s: '%s' não é uma data válida", {name, text}));
  return *date;
}

int GrupoDoParametro(TnDMPowerParam& dm) {
  const std::string text = Trim(dm.Param("CodigoGrupoProc").GetAsString());
  if (text.empty()) return 0;
  int64_t group = 0;
  if (!TryStrToInt(text, group) || group < 0 || group > INT32_MAX) {
    throw Exception(
        Format("Parâmetro CodigoGrupoProc: '%s' não é um código de grupo válido", {text}));
  }
  return static_cast<int>(group);
}

const char* OrdemDoParametro(TnDMPowerParam& dm) {
  const std::string text = Trim(dm.Param("Ordenacao").GetAsString());
  if (text.empty() || text == "1") return kOrdemCodigo;
  if (text == "2") return kOrdemNome;
  throw Exception(
      Format("Parâmetro Ordenacao: '%s' não é uma ordenação válida (1 código, 2 nome da empresa)",
             {text}));
}

// The companies of the selection (widened by the group) that the current user may see, and the
// establishments of the selection, as predicates on the given columns.
std::string Filtros(const std::string& empresa, const std::string& estab, int group,
                    const std::string& empresas, const std::string& estabs) {
  const std::string selecao = EmpresasGrupoCalculo(group, empresas, true);
  return FilterInterval({empresa}, selecao, {1}, 0, true, 0) +
         FilterInterval({empresa}, PegarCodigoEmpresaDireitoUsuario(), {1}, 0, true, 0) +
         FilterInterval({estab}, estabs, {1}, 0, true, 0);
}

// Copies the rows with fixed field names and types; an activity without a closing date stays open
// until 31/12/2100.
std::shared_ptr<TnDataStore> CopiarEmpresasEstab(TnClientDataSet& rows) {
  TnDataSetBuilder builder({{"CodigoEmpresa", TFieldType::Integer},
                            {"CodigoEstab", TFieldType::Integer},
                            {"NomeEmpresa", TFieldType::Text},
                            {"ApelidoEstab", TFieldType::Text},
                            {"DataInicioAtiv", TFieldType::Date},
                            {"DataEncerAtiv", TFieldType::Date},
                            {"InscrFederal", TFieldType::Text}});
  for (rows.First(); !rows.Eof(); rows.Next()) {
    builder.AppendInteger(rows.Fields(0).AsInteger());
    builder.AppendInteger(rows.Fields(1).AsInteger());
    builder.Append(rows.Fields(2).Value());
    builder.Append(rows.Fields(3).Value());
    if (rows.Fields(4).IsNull()) {
      builder.AppendNull();
    } else {
      builder.AppendDate(rows.Fields(4).AsDateTime());
    }
    builder.AppendDate(rows.Fields(5).IsNull() ? AtividadeAberta() : rows.Fields(5).AsDateTime());
    builder.Append(rows.Fields(6).Value());
    builder.EndRow();
  }
  return builder.Finish();
}

// Lines with fixed field names and types, whatever the database calls and types them.
std::shared_ptr<TnDataStore> CopiarLinhas(TnClientDataSet& rows) {
  TnDataSetBuilder builder({{"CodigoEmpresa", TFieldType::Integer},
                            {"CodigoEstab", TFieldType::Integer},
                            {"Compet", TFieldType::Date}});
  for (rows.First(); !rows.Eof(); rows.Next()) {
    builder.AppendInteger(rows.Fields(0).AsInteger());
    builder.AppendInteger(rows.Fields(1).AsInteger());
    builder.AppendDate(rows.Fields(2).AsDateTime());
    builder.EndRow();
  }
  return builder.Finish();
}

[[maybe_unused]] const bool kRegistrado = [] {
  RegistrarClasseDM(TSmallBusinessRegimeAnalysis::kClassName,
                    [] { return std::make_unique<TSmallBusinessRegimeAnalysis>(); });
  return true;
}();

}  // namespace

TSmallBusinessRegimeAnalysis::TSmallBusinessRegimeAnalysis()
    : linhas_handle_(linhas_), empresas_estab_handle_(empresas_estab_) {
  AddComponent("cdsLinhas", linhas_);
  AddComponent("cdsEmpresaEstab", empresas_estab_);
}

TSmallBusinessRegimeAnalysis::~TSmallBusinessRegimeAnalysis() = default;

void TSmallBusinessRegimeAnalysis::Executar() {
  const TDateTime inicio = StartOfTheMonth(DataDoParametro(*this, "CompetInicial"));
  const TDateTime fim = EndOfTheMonth(DataDoParametro(*this, "CompetFinal"));
  if (fim < inicio) {
    throw Exception(Format("A competência final (%s) é anterior à inicial (%s).",
                           {FormatDateTime("mm/yyyy", fim), FormatDateTime("mm/yyyy", inicio)}));
  }
  const int group = GrupoDoParametro(*this);
  const char* ordem = OrdemDoParametro(*this);
  const std::string empresas = Param("CodigoEmpresa").GetAsString();
  const std::string estabs = Param("CodigoEstab").GetAsString();

  const TDataSetRef linhas = RunSql(
      Format(kSqlLinhas, {Filtros("PC.CODIGOEMPRESA", "FL.CODIGOESTAB", group, empresas, estabs)}) +
          ordem,
      {inicio, fim});
  const TDataSetRef estab =
      RunSql(Format(kSqlEmpresasEstab,
                    {Filtros("ES.CODIGOEMPRESA", "ES.CODIGOESTAB", group, empresas, estabs)}),
             {});

  DataSetHost::SetStore(linhas_, CopiarLinhas(*linhas));
  DataSetHost::SetStore(empresas_estab_, CopiarEmpresasEstab(*estab));
  empresas_estab_.SetIndexFieldNames("CodigoEmpresa;CodigoEstab");
  linhas_.First();
  empresas_estab_.First();
  Param("pRefer").SetAsInteger(linhas_handle_.handle());
  Param("pRefer2").SetAsInteger(empresas_estab_handle_.handle());
}

}  // namespace nrw
