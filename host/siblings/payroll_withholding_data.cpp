#include "siblings/payroll_withholding_data.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "nrw/format.h"
#include "nrw/shared_data.h"
#include "nrw/util.h"
#include "nrwhost/settings.h"
#include "siblings/sibling_params.h"
#include "sql/sql_run.h"

namespace nrw {
namespace {

constexpr const char* kClasse = "TPayrollWithholdingData";

// Retention codes of the contributions (PIS, COFINS and CSLL) withheld on payments to companies.
constexpr const char* kCodigosContribuicoes = "5952, 5960, 5979, 5987";

// Bits of pGerar: what the declaration holds.
constexpr int kGerarContribuicoes = 0;
constexpr int kGerarIrrfPessoas = 1;
constexpr int kGerarIrrfEmpresas = 2;
// Bits of pGerarIRRF: where the tax withheld comes from.
constexpr int kIrrfDaFolha = 0;
constexpr int kIrrfForaDaFolha = 1;

constexpr const char* kSqlReg1 =
    "select D.CODIGOEMPRESA as CodigoEmpresa, D.ANOBASE as AnoBase, D.TIPOINSCR as TipoInscr, "
    "D.INSCRFEDERAL as InscrFederal, D.NOMEESTAB as NomeEstab from DIRFREG1 D "
    "where D.ANOBASE between :pInicioAno and :pFimAno %0:s order by D.CODIGOEMPRESA, D.ANOBASE";

constexpr const char* kSqlReg2 =
    "select R.CODIGOEMPRESA as CodigoEmpresa, R.ANOBASE as AnoBase, R.TIPOINSCRBENEF as "
    "TipoInscrBenef, R.INSCRFEDERALBENEF as InscrFederalBenef, R.CODIGORETENCAO as "
    "CodigoRetencao, R.APOSENTADORIA as Aposentadoria, R.DIARIAS as Diarias, R.INVALIDEZ as "
    "Invalidez, R.LUCRODIVID1996 as Lucrodivid1996, R.VLRPAGOSOCIOPQEMP as VlrPagoSocioPqEmp, "
    "R.INDENIZACAO as Indenizacao, R.OUTROSRENDISENTO as OutrosRendIsento, R.VALOR13 as Valor13, "
    "R.VALOROUTROS as ValorOutros, R.JUROSCAPITALPROPRIO as JurosCapitalProprio, R.TIPOINFORME "
    "as TipoInforme, R.VALORRENDIMENTO as ValorRendimento, R.VALORRETIDO as ValorRetido "
    "from DIRFREG2 R where R.ANOBASE between :pInicioAno and :pFimAno %0:s %1:s "
    "order by R.CODIGOEMPRESA, R.ANOBASE, R.TIPOINSCRBENEF, R.INSCRFEDERALBENEF, "
    "R.CODIGORETENCAO";

constexpr const char* kSqlReg2Det =
    "select T.CODIGOEMPRESA as CodigoEmpresa, T.ANOBASE as AnoBase, T.TIPOINSCRBENEF as "
    "TipoInscrBenef, T.INSCRFEDERALBENEF as InscrFederalBenef, T.CODIGORETENCAO as "
    "CodigoRetencao, T.MES as Mes, T.VALORRENDIMENTO as ValorRendimento, T.VALORRETIDO as "
    "ValorRetido, T.PIS as PIS, T.COFINS as COFINS, T.CSLL as CSLL from DIRFREG2DET T "
    "join DIRFREG2 R on R.CODIGOEMPRESA = T.CODIGOEMPRESA and R.ANOBASE = T.ANOBASE and "
    "R.TIPOINSCRBENEF = T.TIPOINSCRBENEF and R.INSCRFEDERALBENEF = T.INSCRFEDERALBENEF and "
    "R.CODIGORETENCAO = T.CODIGORETENCAO "
    "where R.ANOBASE between :pInicioAno and :pFimAno %0:s %1:s "
    "order by T.CODIGOEMPRESA, T.ANOBASE, T.TIPOINSCRBENEF, T.INSCRFEDERALBENEF, "
    "T.CODIGORETENCAO, T.MES";

bool Bit(int64_t value, int bit) { return (value >> bit & 1) != 0; }

// The records the bits ask for, as a predicate on DIRFREG2 R led by " and ". Contributions are
// told apart by their retention codes; the tax withheld by the statement type: employees (1) come
// from the payroll, third parties (2) and other companies (3) from payments outside it.
std::string FiltroRegistros(int64_t gerar, int64_t gerar_irrf) {
  const std::string irrf = std::string("R.CODIGORETENCAO not in (") + kCodigosContribuicoes + ")";
  std::vector<std::string> partes;
  if (Bit(gerar, kGerarContribuicoes)) {
    partes.push_back(std::string("R.CODIGORETENCAO in (") + kCodigosContribuicoes + ")");
  }
  if (Bit(gerar, kGerarIrrfPessoas) && Bit(gerar_irrf, kIrrfDaFolha)) {
    partes.push_back("(" + irrf + " and R.TIPOINFORME = 1)");
  }
  if (Bit(gerar, kGerarIrrfPessoas) && Bit(gerar_irrf, kIrrfForaDaFolha)) {
    partes.push_back("(" + irrf + " and R.TIPOINFORME = 2)");
  }
  if (Bit(gerar, kGerarIrrfEmpresas) && Bit(gerar_irrf, kIrrfForaDaFolha)) {
    partes.push_back("(" + irrf + " and R.TIPOINFORME = 3)");
  }
  if (partes.empty()) return " and 1 = 0";
  std::string filtro;
  for (const std::string& parte : partes) filtro += (filtro.empty() ? "" : " or ") + parte;
  return " and (" + filtro + ")";
}

[[maybe_unused]] const bool kRegistrada = [] {
  RegistrarClasseDM(kClasse, [] { return std::make_unique<TPayrollWithholdingData>(); });
  return true;
}();

}  // namespace

TPayrollWithholdingData::TPayrollWithholdingData() {
  Carregar("cdsDIRFReg1", cdsDIRFReg1_, std::make_unique<TnClientDataSet>());
  Carregar("cdsDIRFReg2", cdsDIRFReg2_, std::make_unique<TnClientDataSet>());
  Carregar("cdsDIRFReg2Det", cdsDIRFReg2Det_, std::make_unique<TnClientDataSet>());
}

void TPayrollWithholdingData::Carregar(const char* nome, TDataSetRef& dataset,
                                       TDataSetRef carregado) {
  dataset = std::move(carregado);
  AddComponent(nome, *dataset);
}

TPayrollWithholdingData::~TPayrollWithholdingData() = default;

void TPayrollWithholdingData::Executar() {
  const SiblingParams params(kClasse, Params());
  if (Trim(params.Text("pGravarBD")) != "0") {
    params.Fail("pGravarBD", "'" + params.Text("pGravarBD") +
                                 "' não é aceito: o host de referência não grava a declaração "
                                 "(use 0).");
  }
  const TDateTime ano_base = params.Date("pAnoBase");
  const int64_t gerar = params.Integer("pGerar", 0, 7);
  const int64_t gerar_irrf = params.Integer("pGerarIRRF", 0, 3);
  params.Integer("pGerarConflito", 1, 3);
  const int64_t grupo = params.IntegerOrBlank("pCodigoGrupoProc", 0);
  const std::string empresas = params.Selection("pCodigoEmpresa");

  // The group's companies join the selection; the user sees only the companies allowed to them.
  const std::string selecao = EmpresasGrupoCalculo(static_cast<int>(grupo), empresas, true);
  const std::string direito = PegarCodigoEmpresaDireitoUsuario();
  const auto filtro_empresa = [&](const std::string& coluna) {
    return params.Filter("pCodigoEmpresa", selecao, coluna) +
           params.Filter("pCodigoEmpresa", direito, coluna);
  };
  const std::vector<Variant> ano{Variant(StartOfTheYear(ano_base)),
                                 Variant(EndOfTheYear(ano_base))};

  Carregar("cdsDIRFReg1", cdsDIRFReg1_,
           RunSql(Format(kSqlReg1, {filtro_empresa("D.CODIGOEMPRESA")}), ano));
  const std::vector<Variant> filtros_reg2{filtro_empresa("R.CODIGOEMPRESA"),
                                          FiltroRegistros(gerar, gerar_irrf)};
  Carregar("cdsDIRFReg2", cdsDIRFReg2_, RunSql(Format(kSqlReg2, filtros_reg2), ano));
  Carregar("cdsDIRFReg2Det", cdsDIRFReg2Det_, RunSql(Format(kSqlReg2Det, filtros_reg2), ano));
}

}  // namespace nrw
