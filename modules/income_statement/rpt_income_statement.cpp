// The run of the income statement and its year-wide data: the stored selection, the fourteen
// statements, the three amounts of a beneficiary and the rule that leaves one out.
#include "rpt_income_statement.h"

#include "common/column_position.h"
#include "income_statement_sql.h"
#include "nrw/format.h"
#include "nrw/guards.h"
#include "nrw/module.h"
#include "nrw/shared_data.h"

namespace income_statement {

using nrw::CDS;
using nrw::ExecutarSQL;
using nrw::FilterInterval;
using nrw::Format;
using nrw::Trim;
using nrw::Variant;

TRptIncomeStatement::TRptIncomeStatement(nrw::TnrwReport& _ARep) : TnrwBaseDll(_ARep) {
  if (nrw::PegarTipoCon() != 1) {
    FLinkSQLSeparador = {
        _ARep.GetParams().OnSQLSeparador, *this,
        [this](nrw::TnpqPowerParam& panel, const std::string& fields, const std::string& table,
               const std::string& filter, int recno, std::string& sql) {
          DoSQLSeparadorEvent(panel, fields, table, filter, recno, sql);
        }};
    FLinkValoresSeparador = {_ARep.OnSeparatorValues, *this,
                             [this](nrw::TnrwReport& query, bool& generate) {
                               DoListaValueParamsSeparador(query, generate);
                             }};
  }
}

TRptIncomeStatement::~TRptIncomeStatement() {
  FListSeparador.clear();
  LiberarDatasets();
}

std::string TRptIncomeStatement::Versao() { return "[versao: 1.1.13.0]"; }

void TRptIncomeStatement::Set(const std::string& name, const std::string& text) {
  Report().GetParams().SetValues(name, text);
}

void TRptIncomeStatement::ArmazenarSelecao() {
  const nrw::TnpqPowerParam& panel = Report().GetParams();
  if (panel.ParamUnCheck("pCodigoEmpresa")) {
    FBackupParametro.CodigoEmpresa = Trim(panel.GetValues("pCodigoEmpresa"));
  }
  if (panel.ParamUnCheck("pCodigoFuncContr")) {
    FBackupParametro.CodigoFuncContr = Trim(panel.GetValues("pCodigoFuncContr"));
  }
  if (panel.ParamUnCheck("pBeneficiarios")) {
    FBackupParametro.Beneficiarios = Trim(panel.GetValues("pBeneficiarios"));
  }
  FBackupParametro.FezQuebra = false;
}

void TRptIncomeStatement::ImprimirInterno() {
  IniciarExecucao();
  nrw::TnClientDataSet& query = Query();
  if (query.IsEmpty()) return;
  LigarCabecalhoPagina();
  const int64_t copias = LerParametros();

  // From here the end-of-run clean-up is guaranteed.
  const nrw::ScopeExit limpeza([this] {
    FBackupParametro.FezQuebra = true;
    FProgresso.reset();
    FControleDirf.reset();
  });
  if (!FBackupParametro.FezQuebra) CarregarDatasets();
  if (!FControleDirf) CriarControleDirf();
  GuardarPosicoes();
  for (query.First(); !query.Eof(); query.Next()) ImprimirBeneficiario(copias);
}

void TRptIncomeStatement::IniciarExecucao() {
  FExibeCotaCapital = nrw::ValueToEnum<nrw::TnNaoSim>(nrw::StrToInt(RepParam("pExibeCotaCapital")));
  FInscrBenef.clear();
  // Outside a separated production nothing stored the selection.
  if (FListSeparador.empty()) ArmazenarSelecao();
}

void TRptIncomeStatement::LigarCabecalhoPagina() {
  // The handler is given back when the instance is freed. A later run of the same instance gives
  // back its earlier binding first: a new binding taken over the old one would, on the swap,
  // restore what the old one had replaced and leave the event without the handler.
  FLinkBeforeSection.Release();
  FLinkBeforeSection = {Report().OnBeforeSection, *this,
                        [this](int section) { DoBeforeSection(section); }};
  Report().MsgConfigurar({"Mensagem"});
}

int64_t TRptIncomeStatement::LerParametros() {
  Set("pMensagenAss", nrw::StrToIntDef(RepParam("pDispensarAss"), 0) == 1
                          ? "Dispensada a Assinatura - IN/RFB 1215/2011 Art. 2º - Parag. 3º"
                          : "");
  const int64_t copias = nrw::StrToIntDef(RepParam("pCopias"), 1);
  FAnoBase = nrw::StrToDateDef(RepParam("pAnoBase1"), nrw::TDateTime());
  const int ano = nrw::YearOf(FAnoBase);
  Set("pAno", std::to_string(ano));
  Set("pCompet", nrw::DateToStr(nrw::EncodeDate(ano, 12, 31)));
  // An empty list means no portal restriction: leaving the filter empty asks for no filter.
  FParamUtilizaBrevix.clear();
  const std::string brevix = Trim(RepParam("pUtilizaBrevix"));
  if (!brevix.empty()) {
    for (const std::string& entry : nrw::SplitString(brevix, ';')) {
      FParamUtilizaBrevix.push_back(Trim(entry));
    }
  }
  return copias;
}

void TRptIncomeStatement::ImprimirBeneficiario(int64_t copias) {
  nrw::TnClientDataSet& query = Query();
  PreencherTipoPessoa();
  CalcularValores();
  // A beneficiary left out only reports progress.
  if (PularBeneficiario()) {
    RepShowProgress(query.RecNo(), query.RecordCount());
    return;
  }
  AbrirEmpresa();
  for (int64_t via = 1; via <= copias; ++via) {
    if (via > 1) Report().SetCSLIsPageEnd(true);
    ImprimirVia();
  }
  RepShowProgress(query.RecNo(), query.RecordCount());
  if (query.RecNo() < query.RecordCount()) Report().SetCSLIsPageEnd(true);
}

void TRptIncomeStatement::CarregarDatasets() {
  const std::string empresas = Trim(FBackupParametro.CodigoEmpresa);
  const std::string beneficiarios = Trim(FBackupParametro.Beneficiarios);
  const std::string filtro_empresa =
      empresas.empty() ? "" : FilterInterval({"I.CODIGOEMPRESA"}, empresas, {1}, 0, true, 0);
  const std::string filtro_benef =
      beneficiarios.empty()
          ? ""
          : FilterInterval({"I.INSCRFEDERALBENEF"}, beneficiarios, {2}, 0, true, 0);
  ExecutarConsultasAno(filtro_empresa + filtro_benef, filtro_empresa);
  AbrirCotasSocio(empresas);
  AbrirFuncionarioDirf();
  FMapOperadoraPlanoSaude = &CDS(FCurOperadoraPlanoSaude).FieldMapper<TMapOperadoraPlanoSaude>();
  FMapPlanoSaude = &CDS(FCurPlanoSaude).FieldMapper<TMapPlanoSaude>();
  FMapDirfSocio = &CDS(FCurDirfSocio).FieldMapper<TMapDirfSocio>();
  FMapRRA = &CDS(curRRA).FieldMapper<nrw::TnFpaMapDIRFRendRecebAcum>();
}

void TRptIncomeStatement::ExecutarConsultasAno(const std::string& selecao,
                                               const std::string& filtro_empresa) {
  const std::vector<Variant> ano_base{FAnoBase};
  const auto run = [&](const char* sql, const std::string& filter, int packet) {
    return ExecutarSQL(Format(sql, {filter}), ano_base, true, false, packet, "", nullptr, true);
  };
  curInfRendFunc = run(kSqlInfRendFunc, selecao, -1);
  curRendRecebAcumDepend = run(kSqlRendRecebAcumDepend, selecao, -1);
  curInfRendIsentoOutro = run(kSqlInfRendIsentoOutro, selecao, 10);
  curInfRendIsentoOutroAbonoPecuniario = run(kSqlInfRendIsentoOutroAbonoPecuniario, selecao, 10);
  curInfRendEvento = run(kSqlInfRendEvento, selecao, -1);
  curDirfReg2 = run(kSqlDirfReg2, selecao, -1);
  curDirfReg2Det = run(kSqlDirfReg2Det, selecao, -1);
  FCurOperadoraPlanoSaude = run(kSqlOperadoraPlanoSaude, selecao, -1);
  FCurPlanoSaude = run(kSqlPlanoSaude, selecao, -1);
  // Partners are restricted by company only.
  FCurDirfSocio = run(kSqlDirfSocio, filtro_empresa, -1);
  curRRA = run(kSqlRRA, selecao, -1);
  curTotalRend =
      ExecutarSQL(Format(kSqlTotalRend, {selecao}), {FAnoBase, Variant(nrw::YearOf(FAnoBase))},
                  true, false, -1, "", nullptr, true);
}

void TRptIncomeStatement::AbrirCotasSocio(const std::string& empresas) {
  // A bare filter that is empty would leave "WHERE  AND", so no company selection reads every
  // company.
  const std::string filtro_socio = FilterInterval({"S.CODIGOEMPRESA"}, empresas, {1}, 0, false, 0);
  curCotasSocio =
      ExecutarSQL(Format(kSqlCotasSocio, {filtro_socio.empty() ? "1 = 1" : filtro_socio,
                                          nrw::ValorParaSQL(Variant(nrw::YearOf(FAnoBase)))}),
                  true, false, -1, "", nullptr, true);
}

void TRptIncomeStatement::AbrirFuncionarioDirf() {
  // The employment contract of each employee, for the portal list.
  const nrw::TDateTime emissao =
      nrw::StrToDateDef(Trim(RepParam("pDataEmissao")), nrw::TDateTime());
  const std::string filtro_func =
      FilterInterval({"DR1.CODIGOEMPRESA"}, Trim(RepParam("pCodigoEmpresa")), {1}, 0, false, 0);
  curFuncionarioDirf =
      ExecutarSQL(Format(kSqlFuncionarioDirf, {nrw::ValorParaSQL(Variant(emissao)),
                                               filtro_func.empty() ? "1 = 1" : filtro_func,
                                               nrw::ValorParaSQL(Variant(FAnoBase))}),
                  true, false, -1, "", nullptr, true);
}

void TRptIncomeStatement::LiberarDatasets() {
  FBackupParametro.FezQuebra = true;
  FMapOperadoraPlanoSaude = nullptr;
  FMapPlanoSaude = nullptr;
  FMapDirfSocio = nullptr;
  FMapRRA = nullptr;
  for (TDataSetRef* dataset :
       {&curCotasSocio, &curInfRendFunc, &curRendRecebAcumDepend, &curEmpresa, &curDirfReg2,
        &curDirfReg2Det, &curResponsavelArq, &curInfRendIsentoOutro,
        &curInfRendIsentoOutroAbonoPecuniario, &curValorCotas, &curInfRendEvento,
        &FCurOperadoraPlanoSaude, &FCurPlanoSaude, &curRRA, &curTotalRend, &FCurDirfSocio,
        &curFuncionarioDirf}) {
    nrw::DestruirSQL(*dataset);
  }
}

void TRptIncomeStatement::CriarControleDirf() {
  FControleDirf = std::make_unique<nrw::TnControleDIRF>(RepParam("pCodigoEmpresa"), 0, FAnoBase);
  const auto opcao = [this](const char* name) {
    return static_cast<uint16_t>(nrw::StrToIntDef(RepParam(name), 0));
  };
  FControleDirf->OpIrrfFunc = opcao("pOpIrrfFunc");
  FControleDirf->OpIrrfDiretor = opcao("pOpIrrfDiretor");
  FControleDirf->OpIrrfTerc = opcao("pOpIrrfTerc");
}

void TRptIncomeStatement::GuardarPosicoes() {
  nrw::TnClientDataSet& query = Query();
  const auto ix = [&query](const char* name) { return nrw::common::ColumnPosition(query, name); };
  ixCodigoEmpresa = ix("CodigoEmpresa");
  ixTipoInscrBenef = ix("TipoInscrBenef");
  ixTipoInscr = ix("TipoInscr");
  ixQueryNomeBenef = ix("NomeBenef");
  ixQueryInscrBenef = ix("InscrFederalBenef");
  ixAposentadoria = ix("APOSENTADORIA");
  ixDiarias = ix("Diarias");
  ixInvalidez = ix("Invalidez");
  ixLucrodivid1996 = ix("Lucrodivid1996");
  ixVlrPagoSocioPqEmp = ix("VlrPagoSocioPqEmp");
  ixIndenizacao = ix("Indenizacao");
  ixOutrosRendIsento = ix("OutrosRendIsento");
  ixValor13 = ix("Valor13");
  ixValorOutros = ix("ValorOutros");
  ixJurosCapitalProprio = ix("JurosCapitalProprio");
  ixValorEmprestimos = ix("ValorEmprestimos");
  ixAnoBase = ix("AnoBase");
  ixValorRetido = ix("ValorRetido");
  ixValorRendimento = ix("ValorRendimento");
  nrw::TnClientDataSet& isentos = CDS(curInfRendIsentoOutro);
  ixInfRendIsentoOoutDESCRICAO = nrw::common::ColumnPosition(isentos, "DESCRICAO");
  ixInfRendIsentoOoutVALOR = nrw::common::ColumnPosition(isentos, "VALOR");
  nrw::TnClientDataSet& total = CDS(curTotalRend);
  ixValorTotalRend = nrw::common::ColumnPosition(total, "ValorRendimento");
  ixDescRend = nrw::common::ColumnPosition(total, "Descricaorendimento");
  ixCampoInforme = nrw::common::ColumnPosition(total, "CampoInforme");
}

std::vector<Variant> TRptIncomeStatement::ChaveBeneficiario() const {
  nrw::TnClientDataSet& query = Query();
  return {query.Fields(ixCodigoEmpresa).Value(), FAnoBase,
          query.Fields(ixQueryInscrBenef).AsString()};
}

void TRptIncomeStatement::CalcularValores() {
  nrw::TnClientDataSet& query = Query();
  const Variant empresa = query.Fields(ixCodigoEmpresa).Value();
  const std::string inscr = query.Fields(ixQueryInscrBenef).AsString();

  // The month-13 sums, then the main row's own.
  FValorRendimentos = 0;
  FValorRetido = 0;
  nrw::TnClientDataSet& det = CDS(curDirfReg2Det);
  if (det.FindKey({empresa, inscr})) {
    FValorRendimentos = det.FieldByName("Valor13").AsFloat();
    FValorRetido = det.FieldByName("ValorRetido").AsFloat();
  }
  FValorRendimentos += query.Fields(ixValorRendimento).AsFloat();
  FValorRetido += query.Fields(ixValorRetido).AsFloat();
  FValorMontanteFunc = 0;
  for (const int32_t ix :
       {ixAposentadoria, ixDiarias, ixInvalidez, ixLucrodivid1996, ixVlrPagoSocioPqEmp,
        ixIndenizacao, ixOutrosRendIsento, ixValor13, ixValorOutros, ixJurosCapitalProprio}) {
    FValorMontanteFunc += query.Fields(ix).AsFloat();
  }
}

bool TRptIncomeStatement::PularBeneficiario() {
  nrw::TnClientDataSet& query = Query();
  if (FControleDirf->PularRegistro(static_cast<int>(query.Fields(ixCodigoEmpresa).AsInteger()),
                                   static_cast<int>(query.Fields(ixTipoInscrBenef).AsInteger()),
                                   query.Fields(ixQueryInscrBenef).AsString(), FValorRendimentos,
                                   FValorRetido, FValorMontanteFunc)) {
    return true;
  }
  // The portal list: an employee whose latest contract is published otherwise is left out.
  if (FParamUtilizaBrevix.empty()) return false;
  nrw::TnClientDataSet& funcionarios = CDS(curFuncionarioDirf);
  const nrw::RangeGuard range(funcionarios, ChaveBeneficiario());
  if (funcionarios.IsEmpty()) return false;
  return !nrw::InStrArray(funcionarios.FieldByName("UTILIZABREVIX").AsString(),
                          FParamUtilizaBrevix);
}

}  // namespace income_statement

using income_statement::TRptIncomeStatement;
NRW_REPORT_CLASS(TRptIncomeStatement)
