// The run of the withholding review: the filters, the seven statements, the rule that decides which
// beneficiary records are printed, the loop over the declaring companies and the closing messages.
#include "rpt_withholding_review.h"

#include <memory>

#include "common/column_position.h"
#include "nrw/aviso.h"
#include "nrw/dirf.h"
#include "nrw/format.h"
#include "nrw/guards.h"
#include "nrw/module.h"
#include "nrw/shared_data.h"
#include "nrw/util.h"
#include "withholding_review_sections.h"
#include "withholding_review_sql.h"

namespace withholding_review {

using nrw::CDS;
using nrw::FilterInterval;
using nrw::Format;
using nrw::TnClientDataSet;
using nrw::Trim;
using nrw::Variant;

namespace {

constexpr const char* kTituloEmpresasNaoGeradas =
    "Empresas não Geradas por não atenderem as regras para (Diretores, Funcionários, Terceiros e "
    "Outras Empresas)";
constexpr const char* kSemDados = "Não há dados para o filtro informado!";
constexpr const char* kNenhumRegistro =
    "Atenção! Existem dados para o filtro, mas nenhum registro atendeu as regras para (Diretores, "
    "Funcionários, Terceiros e Outras Empresas)";

}  // namespace

TRptWithholdingReview::TRptWithholdingReview(nrw::TnrwReport& _ARep) : TnrwBaseDll(_ARep) {
  FLinkSQLSeparador = {
      _ARep.GetParams().OnSQLSeparador, *this,
      [this](nrw::TnpqPowerParam& panel, const std::string& fields, const std::string& table,
             const std::string& filter, int recno,
             std::string& sql) { DoSQLSeparadorEvent(panel, fields, table, filter, recno, sql); }};
}

TRptWithholdingReview::~TRptWithholdingReview() = default;

std::string TRptWithholdingReview::Versao() { return "[versao: 1.1.4.0]"; }

std::string TRptWithholdingReview::FiltroEmpresa(int grupo, const std::string& empresas) {
  return FilterInterval({"D.CodigoEmpresa"}, nrw::EmpresasGrupoCalculo(grupo, empresas, true), {1},
                        0, true, 1);
}

std::string TRptWithholdingReview::FiltroBeneficiario() {
  // One blank is the panel's "every beneficiary"; it goes into the statement as it is.
  const std::string funcionarios = Report().GetParams().GetValues("pFuncionarios");
  if (funcionarios == " ") return funcionarios;
  return FilterInterval({"D.INSCRFEDERALBENEF"}, funcionarios, {2}, 0, true, 0);
}

std::string TRptWithholdingReview::JoinFilial() {
  const std::string filial = Report().GetParams().GetValues("pFilial");
  if (Trim(filial).empty()) return filial;
  return kSqlJoinFilial + FilterInterval({"FL.CODIGOESTAB"}, filial, {2}, 0, true, 0);
}

std::string TRptWithholdingReview::OrdemBeneficiarios() {
  const bool por_nome = nrw::StrToIntDef(Report().GetParams().GetValues("pOrdem"), 1) == 2;
  return std::string(kSqlOrdemDirfReg2) + (por_nome ? kSqlOrdemNome : kSqlOrdemInscricao);
}

bool TRptWithholdingReview::QuebraPorEmpresa(nrw::TnpqPowerParam& panel) const {
  const int count = panel.GetSeparadoresCount();
  return Report().GerandoSeparado() && count > 0 &&
         nrw::SameText(panel.GetSeparadores(count - 1).Param, "pEmpresas");
}

void TRptWithholdingReview::LerDeclaracao(TExecucao& run) {
  nrw::TnpqPowerParam& panel = Report().GetParams();
  run.AnoBase = nrw::StrToDateDef(panel.GetValues("pAnoBase"), nrw::TDateTime());
  const int64_t tipo_declaracao = nrw::StrToIntDef(panel.GetValues("pTipoDeclaracao"), 0);
  if (tipo_declaracao == 1) RepParam("pDescrTipoDeclaracao", "Original");
  if (tipo_declaracao == 2) RepParam("pDescrTipoDeclaracao", "Retificadora");
}

void TRptWithholdingReview::SelecionarEmpresas(TExecucao& run) {
  nrw::TnpqPowerParam& panel = Report().GetParams();
  run.Grupo = 0;
  if (!FGerouQuebraRelatorio && !QuebraPorEmpresa(panel)) {
    run.Grupo = static_cast<int>(nrw::StrToIntDef(panel.GetValues("pCodigoGrupoProc"), 0));
  }
  run.Empresas = panel.GetValues("pEmpresas");
  run.FiltroEmpresa = FiltroEmpresa(run.Grupo, run.Empresas);
}

void TRptWithholdingReview::CriarControleDirf(TExecucao& run) {
  run.Controle = std::make_unique<nrw::TnControleDIRF>(run.Empresas, run.Grupo, run.AnoBase);
  const auto opcao = [this](const char* name) {
    return static_cast<uint16_t>(nrw::StrToIntDef(RepParam(name), 0));
  };
  run.Controle->OpIrrfDiretor = opcao("pOpIrrfDiretor");
  run.Controle->OpIrrfFunc = opcao("pOpIrrfFunc");
  run.Controle->OpIrrfTerc = opcao("pOpIrrfTerc");
  run.Controle->OpIrrfOutEmp = opcao("pOpIrrfOutEmp");
}

void TRptWithholdingReview::ExecutarConsultas(TExecucao& run) {
  // Statements 2 to 7 take the company filter followed by the beneficiary filter, and the join
  // that restricts employees to the establishments chosen.
  const std::string argumento = run.FiltroEmpresa + FiltroBeneficiario();
  const std::string join_filial = JoinFilial();
  const std::string ordem = OrdemBeneficiarios();
  const auto executar = [&run](const std::string& sql) {
    return nrw::ExecutarSQL(sql, {Variant(run.AnoBase)}, true, false, -1, "", nullptr, true);
  };
  const std::vector<Variant> argumentos{argumento, join_filial};
  run.curDIRFReg1 = executar(Format(kSqlDirfReg1, {run.FiltroEmpresa}));
  curDIRFReg2 = executar(Format(kSqlDirfReg2, argumentos) + ordem);
  curDIRFReg2Det = executar(Format(kSqlDirfReg2Det, argumentos));
  curDIRFReg2DetIsento = executar(Format(kSqlDirfReg2DetIsento, argumentos));
  curDIRFReg2SUM = executar(Format(kSqlDirfReg2Sum, {argumento}));
  curDIRFRRA = executar(Format(kSqlDirfRRA, argumentos));
  curDIRFRRADet = executar(Format(SqlDirfRRADet(), argumentos));
}

void TRptWithholdingReview::PosicoesColunas(TExecucao& run) {
  const auto ix = [](TnClientDataSet& dataset, const char* name) {
    return nrw::common::ColumnPosition(dataset, name);
  };
  TnClientDataSet& reg1 = CDS(run.curDIRFReg1);
  TColunasReg1& colunas = run.ixReg1;
  colunas.CODIGOEMPRESA = ix(reg1, "CODIGOEMPRESA");
  colunas.ANOBASE = ix(reg1, "ANOBASE");
  colunas.INSCRFEDERAL = ix(reg1, "INSCRFEDERAL");
  colunas.NOMEESTAB = ix(reg1, "NOMEESTAB");
  colunas.CPFRESPCNPJ = ix(reg1, "CPFRESPCNPJ");
  colunas.CPFRESP = ix(reg1, "CPFRESP");
  colunas.NOMERESP = ix(reg1, "NOMERESP");
  colunas.DDDRESP = ix(reg1, "DDDRESP");
  colunas.TELEFONERESP = ix(reg1, "TELEFONERESP");
  colunas.RAMALRESP = ix(reg1, "RAMALRESP");
  colunas.FAXRESP = ix(reg1, "FAXRESP");
  colunas.EMAILRESP = ix(reg1, "EMAILRESP");

  TnClientDataSet& reg2 = CDS(curDIRFReg2);
  ixReg2CODIGOEMPRESA = ix(reg2, "CODIGOEMPRESA");
  ixReg2ANOBASE = ix(reg2, "ANOBASE");
  ixReg2CODIGORETENCAO = ix(reg2, "CODIGORETENCAO");
  ixReg2TIPOINSCRBENEF = ix(reg2, "TIPOINSCRBENEF");
  ixReg2INSCRFEDERALBENEF = ix(reg2, "INSCRFEDERALBENEF");
  ixReg2NOMEBENEF = ix(reg2, "NOMEBENEF");

  TnClientDataSet& det = CDS(curDIRFReg2Det);
  ixReg2DetCODIGOEMPRESA = ix(det, "CODIGOEMPRESA");
  ixReg2DetANOBASE = ix(det, "ANOBASE");
  ixReg2DetTIPOINSCRBENEF = ix(det, "TIPOINSCRBENEF");
  ixReg2DetINSCRFEDERALBENEF = ix(det, "INSCRFEDERALBENEF");
  ixReg2DetCODIGORETENCAO = ix(det, "CODIGORETENCAO");
  ixReg2DetMES = ix(det, "MES");
  ixReg2DetVALORRENDIMENTO = ix(det, "VALORRENDIMENTO");
  ixReg2DetVALORPREVOFICIAL = ix(det, "VALORPREVOFICIAL");
  ixReg2DetVALORPREVPRIVADA = ix(det, "VALORPREVPRIVADA");
  ixReg2DetVALORPENSAOALIM = ix(det, "VALORPENSAOALIM");
  ixReg2DetVALORDEPENDENTE = ix(det, "VALORDEPENDENTE");
  ixReg2DetVALORRETIDO = ix(det, "VALORRETIDO");
  ixReg2DetDESCONTOSIMPLIFICADO = ix(det, "DESCONTOSIMPLIFICADO");

  TnClientDataSet& sum = CDS(curDIRFReg2SUM);
  ixDIRFREG2SUM_CODIGOEMPRESA = ix(sum, "CODIGOEMPRESA");
  ixDIRFREG2SUM_INSCRFEDERALBENEF = ix(sum, "INSCRFEDERALBENEF");
  ixDIRFREG2SUM_TIPOINFORME = ix(sum, "TIPOINFORME");
  ixDIRFREG2SUM_ValorMontanteFunc = ix(sum, "ValorMontanteFunc");
  ixDIRFREG2SUM_ValorRendimento = ix(sum, "ValorRendimento");
  ixDIRFREG2SUM_ValorRetido = ix(sum, "ValorRetido");
}

void TRptWithholdingReview::PreencherEmpresa(const TExecucao& run) {
  TnClientDataSet& reg1 = CDS(run.curDIRFReg1);
  const TColunasReg1& ix = run.ixReg1;
  const auto texto = [&reg1](int32_t coluna) { return reg1.Fields(coluna).AsString(); };
  const auto numero = [&reg1](int32_t coluna) {
    return nrw::IntToStr(reg1.Fields(coluna).AsInteger());
  };
  RepParam("pControleCustoEmpresa", numero(ix.CODIGOEMPRESA));
  RepParam("pc1", texto(ix.INSCRFEDERAL));
  RepParam("pc2", texto(ix.NOMEESTAB));
  RepParam("pc3", texto(ix.CPFRESPCNPJ));
  RepParam("pc4", texto(ix.CPFRESP));
  RepParam("pc5", texto(ix.NOMERESP));
  // Contact numbers the declarant did not give (null or 0) stay empty, so that the page shows no
  // "(0) 0" for them.
  const auto contato = [&reg1](int32_t coluna) {
    const int64_t valor = reg1.Fields(coluna).AsInteger();
    return valor == 0 ? std::string() : nrw::IntToStr(valor);
  };
  const std::string ddd = contato(ix.DDDRESP);
  RepParam("pc6", ddd.empty() ? "" : "(" + ddd + ")");
  RepParam("pc7", contato(ix.TELEFONERESP));
  RepParam("pc8", contato(ix.FAXRESP));
  RepParam("pc9", contato(ix.RAMALRESP));
  RepParam("pc10", texto(ix.EMAILRESP));
}

void TRptWithholdingReview::ImprimirInterno() {
  // Everything the run makes is released on every path, also when a statement fails. The clean-up
  // runs as three guards, last declared first: the messages, the datasets, then the controller, the
  // list and the flag; a step that raises does not keep the others from running, and the first
  // error is the one the host receives.
  TExecucao run;
  run.Aviso = std::make_unique<nrw::TnAviso>(Report());
  const nrw::ScopeExit liberar_objetos([&] {
    run.Controle.reset();
    run.Aviso.reset();
    FGerouQuebraRelatorio = true;
  });
  const nrw::ScopeExit liberar_datasets([&] {
    for (TDataSetRef* dataset :
         {&run.curDIRFReg1, &curDIRFReg2, &curDIRFReg2Det, &curDIRFReg2DetIsento, &curDIRFReg2SUM,
          &curDIRFRRA, &curDIRFRRADet}) {
      nrw::DestruirSQL(*dataset);
    }
  });
  const nrw::ScopeExit listar_mensagens([&] {
    if (!run.Aviso->IsEmpty()) Report().MsgConfigurar({"Mensagens"});
    run.Aviso->Listar();
  });

  LerDeclaracao(run);
  SelecionarEmpresas(run);
  run.Aviso->AddTituloMensagem(kTituloEmpresasNaoGeradas, 5);
  CriarControleDirf(run);
  ExecutarConsultas(run);
  PosicoesColunas(run);
  RepParam("pAnoBase1", std::to_string(nrw::YearOf(run.AnoBase)));

  TnClientDataSet& reg1 = CDS(run.curDIRFReg1);
  for (reg1.First(); !reg1.Eof(); reg1.Next()) ImprimirEmpresa(run);
  ConcluirMensagens(run);
}

void TRptWithholdingReview::ImprimirEmpresa(TExecucao& run) {
  TnClientDataSet& reg1 = CDS(run.curDIRFReg1);
  TnClientDataSet& reg2 = CDS(curDIRFReg2);
  PreencherEmpresa(run);
  bool empresa_impressa = false;
  bool cabecalho_pendente = true;
  const int64_t empresa = reg1.Fields(run.ixReg1.CODIGOEMPRESA).AsInteger();
  const nrw::TDateTime ano = reg1.Fields(run.ixReg1.ANOBASE).AsDateTime();

  if (reg2.FindKey({Variant(empresa), Variant(ano)})) {
    for (; !reg2.Eof() && reg2.Fields(ixReg2CODIGOEMPRESA).AsInteger() == empresa &&
           reg2.Fields(ixReg2ANOBASE).AsDateTime() == ano;
         reg2.Next()) {
      if (!AtendeRegras(run, empresa)) continue;
      if (cabecalho_pendente) {
        ImprimirCabecalhoEmpresa(run);
        cabecalho_pendente = false;
      }
      empresa_impressa = true;
      ImprimirRegistro();
    }
    RepShowProgress(reg1.RecNo(), reg1.RecordCount());
  }

  // Listed under the title of the companies that printed nothing.
  if (!empresa_impressa) run.Aviso->AddAviso("", static_cast<int>(empresa));
}

bool TRptWithholdingReview::SomarValores(int64_t empresa) {
  TnClientDataSet& reg2 = CDS(curDIRFReg2);
  TnClientDataSet& det = CDS(curDIRFReg2Det);
  TnClientDataSet& sum = CDS(curDIRFReg2SUM);
  FValorRendimentos = 0;
  FValorRetido = 0;
  if (det.FindKey(ChaveMes(13))) {
    FValorRendimentos = det.Fields(ixReg2DetVALORRENDIMENTO).AsFloat();
    FValorRetido = det.Fields(ixReg2DetVALORRETIDO).AsFloat();
  }
  // A record without sums is never judged: its income becomes -1.
  const bool tem_somas =
      sum.FindKey({Variant(empresa), reg2.Fields(ixReg2INSCRFEDERALBENEF).AsString()});
  if (tem_somas) {
    FValorRendimentos += sum.Fields(ixDIRFREG2SUM_ValorRendimento).AsFloat();
    FValorRetido += sum.Fields(ixDIRFREG2SUM_ValorRetido).AsFloat();
  } else {
    FValorRendimentos = -1;
  }
  return tem_somas;
}

bool TRptWithholdingReview::AtendeRegras(TExecucao& run, int64_t empresa) {
  // Decided by the search itself: summed income may be exactly -1 too.
  if (!SomarValores(empresa)) return false;
  TnClientDataSet& reg2 = CDS(curDIRFReg2);
  return !run.Controle->PularRegistro(
      static_cast<int>(empresa), static_cast<int>(reg2.Fields(ixReg2TIPOINSCRBENEF).AsInteger()),
      reg2.Fields(ixReg2INSCRFEDERALBENEF).AsString(), FValorRendimentos, FValorRetido,
      CDS(curDIRFReg2SUM).Fields(ixDIRFREG2SUM_ValorMontanteFunc).AsFloat());
}

void TRptWithholdingReview::ImprimirCabecalhoEmpresa(TExecucao& run) {
  ++run.EmpresasImpressas;
  // The company heading goes with its first beneficiary: when both do not fit below it, the
  // heading starts the next page rather than stand alone at the foot of this one.
  if (!Report().DelphiCanPrintSection(
          {{kSecaoEmpresa, 1}, {kSecaoMesIsento, 20}, {kSecaoBeneficiario, 1}})) {
    Report().SetCSLIsPageEnd(true);
  }
  RepPrintSection(kSecaoEmpresa);
}

void TRptWithholdingReview::ImprimirRegistro() {
  // When the heading does not fit, the taxable block's own room check supplies it on a new page.
  if (Report().DelphiCanPrintSection({{kSecaoMesIsento, 20}, {kSecaoBeneficiario, 1}})) {
    ImprimirBeneficiario();
  }
  ImprimirRendTributaveis();
  ImprimirRendIsentos();
  ImprimirRRA();
}

void TRptWithholdingReview::ConcluirMensagens(TExecucao& run) {
  run.Aviso->RemoverIndiceDoTitulo();
  if (CDS(run.curDIRFReg1).IsEmpty()) {
    run.Aviso->AddAviso(kSemDados);
  } else if (run.EmpresasImpressas == 0) {
    run.Aviso->LimparTodosOsAvisos();
    run.Aviso->AddAviso(kNenhumRegistro);
  }
}

}  // namespace withholding_review

using withholding_review::TRptWithholdingReview;
NRW_REPORT_CLASS(TRptWithholdingReview)
