// The line loop of the landscape payroll totals: one detail section per line, the establishment
// and company subtotals, the header of each establishment and the page ends of the break mode.
#include <string>
#include <vector>

#include "nrw/datetime.h"
#include "nrw/format.h"
#include "nrw/guards.h"
#include "payroll_totals_wide_sections.h"
#include "rpt_payroll_totals_wide.h"

namespace payroll_totals_wide {

using nrw::TField;
using nrw::TnClientDataSet;
using nrw::Variant;

namespace {

constexpr const char* kMascaraValor = "#,##0.00";

std::string Valor(double valor) { return nrw::FormatFloat(kMascaraValor, valor); }

// An open activity ends on 31/12/2100; a dataset that leaves the end empty means the same.
bool AtividadeAberta(const TField& encerramento) {
  return encerramento.IsNull() ||
         nrw::DateOf(encerramento.AsDateTime()) == nrw::EncodeDate(2100, 12, 31);
}

// An empty date prints as nothing rather than as the zero date.
std::string Data(const TField& data) {
  return data.IsNull() ? std::string() : nrw::FormatDateTime("dd/mm/yyyy", data.AsDateTime());
}

int32_t Contagem(const TField& campo) { return static_cast<int32_t>(campo.AsInteger()); }

// The rows of the key in the totals dataset, then the first terceiros row of the key.
void SomarLinha(TnClientDataSet& totais, const TMapTotais& campos, TnClientDataSet& terceiros,
                const TMapTerceiros& terceiro, TValoresLinha& linha) {
  for (totais.First(); !totais.Eof(); totais.Next()) {
    linha.RemunMensal += campos.AValorRemunMensal->AsFloat() - campos.ValorDesconto->AsFloat();
    linha.RemunRescisao +=
        campos.AValorRemunRescisao->AsFloat() - campos.ValorDescRemunRescisao->AsFloat();
    linha.InssMensal += campos.AValorInssMensal->AsFloat();
    linha.InssRescisao += campos.AValorInssRescisao->AsFloat();
    linha.FgtsMensal += campos.AValorFgtsMensal->AsFloat();
    linha.FgtsRescisao += campos.AValorFgtsRescisao->AsFloat();
    linha.MultaFgts += campos.AValorMultaFgts->AsFloat();
    linha.QtdeFuncMensal += Contagem(*campos.AQtdeFuncMensal);
    linha.QtdeFuncRescisao += Contagem(*campos.AQtdeFuncRescisao);
  }
  terceiros.First();
  if (!terceiros.Eof()) linha.RemunMensal += terceiro.AValorTotalTerceiros->AsFloat();
}

void Somar13(TnClientDataSet& total13, const TMapTotal13& campos, TValoresColuna& valores) {
  valores.ZerarValor();
  for (total13.First(); !total13.Eof(); total13.Next()) {
    valores.TotalRemun += campos.AVALORREMUNMENSAL->AsFloat();
    valores.INSS += campos.AVALORINSSMENSAL->AsFloat();
    valores.FGTS += campos.AVALORFGTSMENSAL->AsFloat();
    valores.QTDFunc += Contagem(*campos.AQTDEFUNCMENSAL);
  }
  valores.TOTAL = valores.TotalRemun + valores.INSS + valores.FGTS;
}

}  // namespace

void TRptPayrollTotalsWide::EscreverValores(const TValoresLinha& valores) {
  nrw::TnpqPowerParam& panel = Report().GetParams();
  panel.SetValues("R2", Valor(valores.RemunMensal));
  panel.SetValues("R7", Valor(valores.RemunRescisao));
  panel.SetValues("R3", Valor(valores.InssMensal));
  panel.SetValues("R8", Valor(valores.InssRescisao));
  panel.SetValues("R4", Valor(valores.FgtsMensal));
  panel.SetValues("R9", Valor(valores.FgtsRescisao));
  panel.SetValues("R5", Valor(valores.TotalMensal));
  panel.SetValues("R10", Valor(valores.TotalRescisao));
  panel.SetValues("R11", Valor(valores.MultaFgts));
  panel.SetValues("R12", nrw::IntToStr(valores.QtdeFuncMensal));
  panel.SetValues("R13", nrw::IntToStr(valores.QtdeFuncRescisao));
}

void TRptPayrollTotalsWide::Escrever13(const TValoresColuna& valores) {
  nrw::TnpqPowerParam& panel = Report().GetParams();
  panel.SetValues("R14", Valor(valores.TotalRemun));
  panel.SetValues("R15", Valor(valores.INSS));
  panel.SetValues("R16", Valor(valores.FGTS));
  panel.SetValues("R17", Valor(valores.TOTAL));
  panel.SetValues("R18", nrw::IntToStr(valores.QTDFunc));
}

void TRptPayrollTotalsWide::CarregarCabecalho(int64_t empresa, int64_t estab) {
  TnClientDataSet& estabs = DataSetDoParametro("pRefer2");
  ixCodigoEmpresa = estabs.FieldByName("CodigoEmpresa").Index();
  ixCodigoEstab = estabs.FieldByName("CodigoEstab").Index();
  ixNomeEmpresa = estabs.FieldByName("NomeEmpresa").Index();
  ixApelidoEstab = estabs.FieldByName("ApelidoEstab").Index();
  ixInscrFederal = estabs.FieldByName("InscrFederal").Index();
  ixDataInicioAtiv = estabs.FieldByName("DataInicioAtiv").Index();
  ixDataEncerAtiv = estabs.FieldByName("DataEncerAtiv").Index();
  // The second cursor goes with this scope.
  TnClientDataSet cursor;
  cursor.CloneCursor(estabs, false, false);
  cursor.SetIndexFieldNames("CODIGOEMPRESA;CODIGOESTAB");
  // A header the dataset does not hold leaves the previous header's values.
  if (!cursor.FindKey({Variant(empresa), Variant(estab)})) return;
  estabs.SetRecNo(cursor.RecNo());
  nrw::TnpqPowerParam& panel = Report().GetParams();
  panel.SetValues("pCodigoEmpresa", cursor.Fields(ixCodigoEmpresa).AsString());
  panel.SetValues("pCodigoEstab", cursor.Fields(ixCodigoEstab).AsString());
  panel.SetValues("pNomeEmpresa", cursor.Fields(ixNomeEmpresa).AsString());
  panel.SetValues("pApelidoEstab", cursor.Fields(ixApelidoEstab).AsString());
  panel.SetValues("pInscrFederal", cursor.Fields(ixInscrFederal).AsString());
  std::string ativ = "Iníc.Ativ: " + Data(cursor.Fields(ixDataInicioAtiv));
  if (!AtividadeAberta(cursor.Fields(ixDataEncerAtiv))) {
    ativ += " - ";
    ativ += " Encer.Ativ: " + Data(cursor.Fields(ixDataEncerAtiv));
  }
  panel.SetValues("pAtiv", ativ);
  RepPrintSection(kSecaoCabecalhoEstab);
}

void TRptPayrollTotalsWide::Quebrar(TnClientDataSet& linhas, int64_t empresa, int64_t estab) {
  nrw::TnpqPowerParam& panel = Report().GetParams();
  const std::string modo = panel.GetValues("pQuebrar");
  if (modo == "1") {
    panel.SetValues("pControleCustoEmpresa", "");
    return;
  }
  // The row under the cursor; past the end that is still the last row, of the current group.
  const int64_t proxima_empresa =
      linhas.Eof() ? empresa : linhas.FieldByName("CodigoEmpresa").AsInteger();
  const int64_t proximo_estab =
      linhas.Eof() ? estab : linhas.FieldByName("CodigoEstab").AsInteger();
  panel.SetValues("pControleCustoEmpresa", nrw::IntToStr(proxima_empresa));
  if ((modo == "2" && proxima_empresa != empresa) ||
      (modo == "3" && (proxima_empresa != empresa || proximo_estab != estab))) {
    RepEndOfPage(true);
  }
}

void TRptPayrollTotalsWide::ImprimirLinhas(TnClientDataSet& linhas, TnClientDataSet& totais,
                                           TnClientDataSet& terceiros) {
  TLaco laco(linhas, totais, terceiros, nrw::CDS(FCurTotal13salario));
  laco.campos_linha = &linhas.FieldMapper<TMapLinhas>();
  laco.campos_totais = &totais.FieldMapper<TMapTotais>();
  laco.campos_terceiros = &terceiros.FieldMapper<TMapTerceiros>();
  laco.campos_13 = &laco.total13.FieldMapper<TMapTotal13>();

  linhas.First();
  laco.total_linhas = linhas.RecordCount();
  TotalEmpresa13salario.ZerarValor();
  TotalFilial13salario.ZerarValor();
  while (!linhas.Eof()) {
    do {
      ImprimirLinha(laco);
    } while (!linhas.Eof() && laco.campos_linha->CodigoEmpresa->AsInteger() == laco.empresa_atual &&
             laco.campos_linha->CodigoEstab->AsInteger() == laco.estab_atual);
    ImprimirTotalEstab(laco);
    if (linhas.Eof() || laco.campos_linha->CodigoEmpresa->AsInteger() != laco.empresa_atual) {
      ImprimirTotalEmpresa(laco);
    }
    Quebrar(linhas, laco.empresa_atual, laco.estab_atual);
    laco.soma_estab = TValoresLinha();
  }
}

void TRptPayrollTotalsWide::ImprimirLinha(TLaco& laco) {
  TValoresLinha linha;
  const int64_t empresa = laco.campos_linha->CodigoEmpresa->AsInteger();
  const int64_t estab = laco.campos_linha->CodigoEstab->AsInteger();
  if (empresa != laco.empresa_atual || estab != laco.estab_atual) {
    laco.empresa_atual = empresa;
    laco.estab_atual = estab;
    CarregarCabecalho(laco.empresa_atual, laco.estab_atual);
  }
  const nrw::TDateTime compet = laco.campos_linha->Compet->AsDateTime();
  const std::vector<Variant> chave{Variant(laco.empresa_atual), Variant(laco.estab_atual),
                                   Variant(compet)};
  const nrw::RangeGuard faixa_totais(laco.totais, chave);
  const nrw::RangeGuard faixa_terceiros(laco.terceiros, chave);
  const nrw::RangeGuard faixa_13(laco.total13, chave);
  SomarLinha(laco.totais, *laco.campos_totais, laco.terceiros, *laco.campos_terceiros, linha);
  Somar13(laco.total13, *laco.campos_13, Valores13Salario);
  TotalFilial13salario.Somar(Valores13Salario);
  TotalEmpresa13salario.Somar(Valores13Salario);
  // Social security of terminations comes out of the month's guides.
  linha.InssMensal -= linha.InssRescisao;
  linha.TotalMensal = linha.RemunMensal + linha.InssMensal + linha.FgtsMensal;
  linha.TotalRescisao =
      linha.RemunRescisao + linha.InssRescisao + linha.FgtsRescisao + linha.MultaFgts;
  laco.soma_estab.Somar(linha);

  Report().GetParams().SetValues("R1", nrw::FormatDateTime("mm/yyyy", compet));
  EscreverValores(linha);
  Escrever13(Valores13Salario);
  RepPrintSection(kSecaoLinha);
  ++laco.impressas;
  Report().CSLShowProgress(laco.impressas, laco.total_linhas);
  laco.linhas.Next();
}

void TRptPayrollTotalsWide::ImprimirTotalEstab(TLaco& laco) {
  Escrever13(TotalFilial13salario);
  EscreverValores(laco.soma_estab);
  RepPrintSection(kSecaoTotalEstab);
  TotalFilial13salario.ZerarValor();
  laco.soma_empresa.Somar(laco.soma_estab);
}

void TRptPayrollTotalsWide::ImprimirTotalEmpresa(TLaco& laco) {
  Escrever13(TotalEmpresa13salario);
  EscreverValores(laco.soma_empresa);
  RepPrintSection(kSecaoTotalEmpresa);
  TotalEmpresa13salario.ZerarValor();
  laco.soma_empresa = TValoresLinha();
}

}  // namespace payroll_totals_wide
