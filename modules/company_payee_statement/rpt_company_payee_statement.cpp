// The run of the company-payee statement: its parameters, the year's statements, the controller
// and the walk over the main dataset; the panel hooks.
#include "rpt_company_payee_statement.h"

#include "common/column_position.h"
#include "company_payee_statement_sql.h"
#include "nrw/format.h"
#include "nrw/module.h"
#include "nrw/util.h"

namespace company_payee_statement {

using nrw::Trim;
using nrw::Variant;

TRptCompanyPayeeStatement::TRptCompanyPayeeStatement(nrw::TnrwReport& _ARep) : TnrwBaseDll(_ARep) {}

TRptCompanyPayeeStatement::~TRptCompanyPayeeStatement() = default;

TRptCompanyPayeeStatement::TExecucao::~TExecucao() {
  nrw::DestruirSQL(curDirfReg2Det);
  nrw::DestruirSQL(curEmpresa);
  nrw::DestruirSQL(curContador);
  nrw::DestruirSQL(curOutrasInformacoes);
  ControleDirf.reset();
}

std::string TRptCompanyPayeeStatement::Versao() { return "[versao: 1.0.25.0]"; }

void TRptCompanyPayeeStatement::AntesConfigurar(nrw::TnpqPowerParam& _AParent) {
  TnrwBaseDll::AntesConfigurar(_AParent);
  Report().GetParams().Param("pIrrf").OpcaoTexto = nrw::OP_PARAM_OUTEMP;
}

void TRptCompanyPayeeStatement::DoParamChange(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {}

void TRptCompanyPayeeStatement::DoParamEnter(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {}

void TRptCompanyPayeeStatement::DoParamExit(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {}

void TRptCompanyPayeeStatement::Set(const std::string& name, const std::string& text) {
  Report().GetParams().SetValues(name, text);
}

void TRptCompanyPayeeStatement::ImprimirInterno() {
  TExecucao run;
  Configurar(run);
  GuardarPosicoes(run);

  // One statement per row that the controller keeps, in as many copies as asked.
  nrw::TnClientDataSet& query = Query();
  for (query.First(); !query.Eof(); query.Next()) {
    CalcularValores(run);
    if (!PularRegistro(run)) ImprimirRegistro(run);
    RepShowProgress(query.RecNo(), query.RecordCount());
  }
}

void TRptCompanyPayeeStatement::ImprimirRegistro(TExecucao& run) {
  nrw::TnClientDataSet& query = Query();
  if (run.EmpresasIncompletas.count(query.Fields(ixCodigoEmpresa).AsInteger()) > 0) return;
  Set("pINSRF", CodigoLei10833(query.Fields(ixCodigoRetencao).AsInteger())
                    ? "Aprovado pelo IN/SRF nº 459/2004"
                    : "Aprovado pelo IN/SRF nº 119/2000");
  Set("pNomeFunc", query.Fields(run.ixNomeBenef).AsString());
  if (!AbrirEmpresa(run)) return;
  AbrirContador(run);
  run.AvisouSemDetalhe = false;
  for (int64_t via = 1; via <= run.Copias; ++via) ImprimirVia(run);
}

void TRptCompanyPayeeStatement::Configurar(TExecucao& run) {
  nrw::TnpqPowerParam& panel = Report().GetParams();
  Set("pMensagenAss", nrw::StrToIntDef(panel.GetValues("pDispensarAss"), 0) == 1
                          ? "Dispensada a Assinatura - IN/SRF 120/2000"
                          : "");
  run.Copias = nrw::StrToIntDef(RepParam("pCopias"), 1);
  run.AnoBase = nrw::StrToDateDef(RepParam("pAnoBase1"), nrw::TDateTime());
  const int ano = nrw::YearOf(run.AnoBase);
  Set("pAno", std::to_string(ano));
  Set("pCompet", nrw::DateToStr(nrw::EncodeDate(ano, 12, 31)));
  // The filter carries its own leading "and".
  const std::string empresas = RepParam("pCodigoEmpresa");
  const std::string selecao = Trim(empresas);
  run.FiltroEmpresa =
      selecao.empty() ? "" : nrw::FilterInterval({"CODIGOEMPRESA"}, selecao, {1}, 0, true, 0);
  const std::vector<Variant> ano_base{run.AnoBase};
  run.curOutrasInformacoes =
      nrw::ExecutarSQL(nrw::Format(kSqlOutrasInformacoes, {run.FiltroEmpresa}), ano_base, true,
                       false, -1, "", nullptr, true);
  run.curDirfReg2Det = nrw::ExecutarSQL(nrw::Format(kSqlDirfReg2Det, {run.FiltroEmpresa}), ano_base,
                                        true, false, -1, "", nullptr, true);
  run.ControleDirf = std::make_unique<nrw::TnControleDIRF>(empresas, 0, run.AnoBase);
  run.ControleDirf->OpIrrfOutEmp = static_cast<uint16_t>(nrw::StrToIntDef(RepParam("pIrrf"), 1));
  run.ControleDirf->PularSemRetidoAno = Trim(RepParam("pGerarSemRetidoAno")) == "0";
}

void TRptCompanyPayeeStatement::GuardarPosicoes(TExecucao& run) {
  const auto ix = [](nrw::TnClientDataSet& dataset, const char* name) {
    return nrw::common::ColumnPosition(dataset, name);
  };
  nrw::TnClientDataSet& det = nrw::CDS(run.curDirfReg2Det);
  run.ixDetCodigoEmpresa = ix(det, "CodigoEmpresa");
  run.ixDetInscrFederalBenef = ix(det, "InscrFederalBenef");
  run.ixDetMes = ix(det, "Mes");
  run.ixDetCodigoRetencao = ix(det, "CodigoRetencao");
  run.ixDetValorRendimento = ix(det, "ValorRendimento");
  run.ixDetValorRetido = ix(det, "ValorRetido");

  nrw::TnClientDataSet& query = Query();
  ixCodigoEmpresa = ix(query, "CodigoEmpresa");
  ixCodigoRetencao = ix(query, "CodigoRetencao");
  ixInscrFederalBenef = ix(query, "InscrFederalBenef");
  run.ixNomeBenef = ix(query, "NomeBenef");
  ixQueryValorRetido = ix(query, "ValorRetido");
  ixQueryAposentadoria = ix(query, "APOSENTADORIA");
  ixQueryDiarias = ix(query, "Diarias");
  ixQueryInvalidez = ix(query, "Invalidez");
  ixQueryLucroDivid1996 = ix(query, "LucroDivid1996");
  ixQueryValorPagoMicroempresa = ix(query, "VLRPAGOSOCIOPQEMP");
  ixQueryIndenizacao = ix(query, "Indenizacao");
  ixQueryOutRendIsento = ix(query, "OUTROSRENDISENTO");
  ixQueryValor13 = ix(query, "Valor13");
  ixQueryValorOutros = ix(query, "ValorOutros");
  ixQueryJurosCapitalProprio = ix(query, "JurosCapitalProprio");
  ixQueryValorRendimento = ix(query, "ValorRendimento");
  ixEmpNomeEmpresa = 0;
  ixEmpInscrFederal = 0;
}

}  // namespace company_payee_statement

using company_payee_statement::TRptCompanyPayeeStatement;
NRW_REPORT_CLASS(TRptCompanyPayeeStatement)
