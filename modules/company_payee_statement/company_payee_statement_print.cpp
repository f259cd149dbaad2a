// One row of the company-payee statement: its amounts and the controller's skip tests, the payer
// company and its accountant, and the printing of one copy in the form of its retention code.
#include "common/column_position.h"
#include "company_payee_statement_sections.h"
#include "company_payee_statement_sql.h"
#include "nrw/core.h"
#include "nrw/format.h"
#include "nrw/guards.h"
#include "nrw/util.h"
#include "rpt_company_payee_statement.h"

namespace company_payee_statement {

using nrw::CDS;
using nrw::TnClientDataSet;
using nrw::Variant;

namespace {

constexpr int64_t kMesDecimoTerceiro = 13;

}  // namespace

// The host names month 13, the thirteenth salary, "13º Salário".
std::string NomeMes(int64_t mes) {
  if (mes >= 1 && mes <= kMesDecimoTerceiro)
    return nrw::Capitalize(nrw::LongMonthName(static_cast<int>(mes)));
  return nrw::IntToStr(mes);
}

bool CodigoLei10833(int64_t codigo) {
  return codigo == 5952 || codigo == 5960 || codigo == 5979 || codigo == 5987;
}

std::vector<Variant> TRptCompanyPayeeStatement::ChaveRegistro(const TExecucao& run) const {
  TnClientDataSet& query = Query();
  return {query.Fields(ixCodigoEmpresa).Value(), run.AnoBase,
          query.Fields(ixInscrFederalBenef).AsString(), query.Fields(ixCodigoRetencao).Value()};
}

void TRptCompanyPayeeStatement::CalcularValores(TExecucao& run) {
  TnClientDataSet& query = Query();
  FValorMontanteFunc = 0;
  for (const int32_t ix :
       {ixQueryAposentadoria, ixQueryDiarias, ixQueryInvalidez, ixQueryLucroDivid1996,
        ixQueryValorPagoMicroempresa, ixQueryIndenizacao, ixQueryOutRendIsento, ixQueryValor13,
        ixQueryValorOutros, ixQueryJurosCapitalProprio}) {
    FValorMontanteFunc += query.Fields(ix).AsFloat();
  }
  // The thirteenth salary's detail row.
  FValorRendimentos = 0;
  FValorRetido = 0;
  TnClientDataSet& det = CDS(run.curDirfReg2Det);
  std::vector<Variant> chave = ChaveRegistro(run);
  chave.emplace_back(kMesDecimoTerceiro);
  if (det.FindKey(chave)) {
    FValorRendimentos = det.Fields(run.ixDetValorRendimento).AsFloat();
    FValorRetido = det.Fields(run.ixDetValorRetido).AsFloat();
  }
  FValorRendimentos += query.Fields(ixQueryValorRendimento).AsFloat();
  FValorRetido += query.Fields(ixQueryValorRetido).AsFloat();
}

// The second test sees the row's own withheld tax, without the thirteenth salary's.
bool TRptCompanyPayeeStatement::PularRegistro(TExecucao& run) {
  TnClientDataSet& query = Query();
  constexpr int kTipoInscrCNPJ = 2;
  return run.ControleDirf->PularRegistro(
             static_cast<int>(query.Fields(ixCodigoEmpresa).AsInteger()), kTipoInscrCNPJ,
             query.Fields(ixInscrFederalBenef).AsString(), FValorRendimentos, FValorRetido,
             FValorMontanteFunc) ||
         run.ControleDirf->PularRegistroSemRetido(
             static_cast<int>(query.Fields(ixCodigoRetencao).AsInteger()),
             query.Fields(ixQueryValorRetido).AsFloat());
}

bool TRptCompanyPayeeStatement::AbrirEmpresa(TExecucao& run) {
  const auto codigo = static_cast<int32_t>(Query().Fields(ixCodigoEmpresa).AsInteger());
  if (!run.curEmpresa) {
    run.curEmpresa =
        nrw::ExecutarSQL(kSqlEmpresa, {Variant(codigo)}, true, true, -1, "", nullptr, true);
  } else {
    nrw::RefreshSQL(CDS(run.curEmpresa), {Variant(codigo)}, true);
  }
  TnClientDataSet& empresa = CDS(run.curEmpresa);
  // Without the row every copy would go out with no payer on it: the company is left out, and
  // the other companies' statements are made.
  if (empresa.IsEmpty()) {
    run.EmpresasIncompletas.insert(codigo);
    Mensagem(run, "Empresa " + std::to_string(codigo) + FaltasDoCadastro(codigo) +
                      "; os comprovantes desta empresa não foram impressos.");
    return false;
  }
  // Registration types above 2 are shown by the number of the partner who answers for them.
  ixEmpNomeEmpresa = empresa.FieldByName("NomeEmpresa").Index();
  ixEmpInscrFederal =
      empresa
          .FieldByName(empresa.FieldByName("TIPOINSCR").AsInteger() > 2 ? "INSCRFEDERALSOCIO"
                                                                        : "InscrFederal")
          .Index();
  Set("pNomeEmpresa", empresa.Fields(ixEmpNomeEmpresa).AsString());
  Set("pInscrFed", empresa.Fields(ixEmpInscrFederal).AsString());
  return true;
}

std::string TRptCompanyPayeeStatement::FaltasDoCadastro(int32_t codigo) {
  nrw::TDataSetRef cadastro =
      nrw::ExecutarSQL(kSqlCadastroEmpresa, {Variant(codigo)}, true, true, -1, "", nullptr, true);
  const nrw::ScopeExit liberar([&cadastro] { nrw::DestruirSQL(cadastro); });
  TnClientDataSet& linha = CDS(cadastro);
  if (linha.IsEmpty()) return ": não está cadastrada (EMPRESA)";
  std::vector<std::string> faltas;
  if (linha.FieldByName("ESTAB1").AsInteger() == 0) faltas.push_back("o estabelecimento 1 (ESTAB)");
  if (linha.FieldByName("CONFIGURADA").AsInteger() == 0) {
    faltas.push_back("a configuração da DIRF (CFGEMPRESAGEM)");
  } else if (linha.FieldByName("SOCIORESPCNPJ").IsNull()) {
    faltas.push_back("o sócio responsável pelo CNPJ na configuração da DIRF (CFGEMPRESAGEM)");
  } else if (linha.FieldByName("SOCIO").AsInteger() == 0) {
    faltas.push_back("o sócio responsável pelo CNPJ (sócio " +
                     linha.FieldByName("SOCIORESPCNPJ").AsString() + " em SOCIO)");
  }
  std::string texto;
  for (size_t i = 0; i < faltas.size(); ++i) {
    texto += (i == 0 ? "" : (i + 1 == faltas.size() ? " e " : ", ")) + faltas[i];
  }
  return " (" + linha.FieldByName("NOMEEMPRESA").AsString() + "): falta " + texto;
}

void TRptCompanyPayeeStatement::Mensagem(TExecucao& run, const std::string& text) {
  if (!run.MensagemConfigurada) {
    Report().MsgConfigurar({"Mensagem"});
    run.MensagemConfigurada = true;
  }
  Report().MsgMensagem(0, text);
}

void TRptCompanyPayeeStatement::AbrirContador(TExecucao& run) {
  const auto codigo = static_cast<int32_t>(
      CDS(run.curEmpresa).FieldByName("CONTADORRESPPREENCHFEDERAL").AsInteger());
  if (!run.curContador) {
    run.curContador =
        nrw::ExecutarSQL(kSqlContador, {Variant(codigo)}, false, true, 10, "", nullptr, true);
  } else {
    nrw::RefreshSQL(CDS(run.curContador), {Variant(codigo)}, true);
  }
  Set("R19", CDS(run.curContador).FieldByName("NOMECONT").AsString());
}

void TRptCompanyPayeeStatement::ImprimirVia(TExecucao& run) {
  for (const char* name : {"R5", "R6", "R8", "R7"}) Set(name, "");
  if (CDS(run.curDirfReg2Det).FindKey(ChaveRegistro(run))) {
    const bool lei_10833 = CodigoLei10833(Query().Fields(ixCodigoRetencao).AsInteger());
    RepPrintSection(lei_10833 ? kSecaoCabecalhoMensalLei10833 : kSecaoCabecalhoMensal);
    ImprimirMeses(run, lei_10833 ? kSecaoMesLei10833 : kSecaoMes);
    ImprimirInformacoesComplementares(run);
  } else if (!run.AvisouSemDetalhe) {
    AvisarSemDetalhe(run);
  }
  // Each copy ends its page.
  if (!Report().CSLIsPageEnd()) Report().SetCSLIsPageEnd(true);
}

void TRptCompanyPayeeStatement::ImprimirMeses(TExecucao& run, int secao) {
  TnClientDataSet& query = Query();
  TnClientDataSet& det = CDS(run.curDirfReg2Det);
  const int64_t empresa = query.Fields(ixCodigoEmpresa).AsInteger();
  const std::string inscr = query.Fields(ixInscrFederalBenef).AsString();
  const int64_t retencao = query.Fields(ixCodigoRetencao).AsInteger();
  while (!det.Eof() && det.Fields(run.ixDetCodigoEmpresa).AsInteger() == empresa &&
         det.Fields(run.ixDetInscrFederalBenef).AsString() == inscr &&
         det.Fields(run.ixDetCodigoRetencao).AsInteger() == retencao) {
    Set("R5", NomeMes(det.Fields(run.ixDetMes).AsInteger()));
    Set("R6", nrw::FormatInteger("0000", det.Fields(run.ixDetCodigoRetencao).AsInteger()));
    Set("R8", nrw::FormatFloat("#,##0.00", det.Fields(run.ixDetValorRendimento).AsFloat()));
    Set("R7", nrw::FormatFloat("#,##0.00", det.Fields(run.ixDetValorRetido).AsFloat()));
    RepPrintSection(secao);
    det.Next();
  }
}

void TRptCompanyPayeeStatement::ImprimirInformacoesComplementares(TExecucao& run) {
  TnClientDataSet& query = Query();
  // The memo of this record only: it starts empty for every copy.
  std::string memo;
  TnClientDataSet& outras = CDS(run.curOutrasInformacoes);
  if (outras.FindKey({query.Fields(ixCodigoEmpresa).AsInteger(),
                      query.Fields(ixInscrFederalBenef).AsString(),
                      query.Fields(ixCodigoRetencao).AsInteger()}) &&
      !outras.FieldByName("OutrasInformacoes").IsNull()) {
    memo += outras.FieldByName("OutrasInformacoes").AsString();
  }
  Set("pMemo", memo);
  RepPrintSection(kSecaoInformacoesComplementares);
  RepPrintSection(kSecaoResponsavel);
  RepPrintSection(kSecaoAprovacao);
}

void TRptCompanyPayeeStatement::AvisarSemDetalhe(TExecucao& run) {
  TnClientDataSet& query = Query();
  Mensagem(run, "Empresa " + query.Fields(ixCodigoEmpresa).AsString() + ", beneficiário " +
                    query.Fields(ixInscrFederalBenef).AsString() + " (" +
                    query.Fields(run.ixNomeBenef).AsString() + "), código " +
                    nrw::FormatInteger("0000", query.Fields(ixCodigoRetencao).AsInteger()) +
                    ": não há valores mensais; o comprovante não foi impresso.");
  run.AvisouSemDetalhe = true;
}

}  // namespace company_payee_statement
