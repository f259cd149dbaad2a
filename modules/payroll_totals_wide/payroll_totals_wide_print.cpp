// The line loop of the landscape payroll totals: one detail section per line, the establishment
// and company subtotals, the header of each establishment and the page ends of the break mode.
#include <string>
#include <vector>

#include "nrw/datetime.h"
#include "nrw/format.h"
#include "nrw/guards.h"
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

// Columns of the totals and thirteenth-salary datasets, looked up by name once per run.
struct TCamposTotais {
  explicit TCamposTotais(TnClientDataSet& totais)
      : remun_mensal(totais.FieldByName("AValorRemunMensal")),
        desconto(totais.FieldByName("ValorDesconto")),
        inss_mensal(totais.FieldByName("AValorInssMensal")),
        inss_rescisao(totais.FieldByName("AValorInssRescisao")),
        fgts_mensal(totais.FieldByName("AValorFgtsMensal")),
        fgts_rescisao(totais.FieldByName("AValorFgtsRescisao")),
        remun_rescisao(totais.FieldByName("AValorRemunRescisao")),
        multa(totais.FieldByName("AValorMultaFgts")),
        qtde_mensal(totais.FieldByName("AQtdeFuncMensal")),
        qtde_rescisao(totais.FieldByName("AQtdeFuncRescisao")),
        desconto_rescisao(totais.FieldByName("ValorDescRemunRescisao")) {}
  TField &remun_mensal, &desconto, &inss_mensal, &inss_rescisao, &fgts_mensal, &fgts_rescisao,
      &remun_rescisao, &multa, &qtde_mensal, &qtde_rescisao, &desconto_rescisao;
};

struct TCampos13 {
  explicit TCampos13(TnClientDataSet& total13)
      : remun(total13.FieldByName("AVALORREMUNMENSAL")),
        inss(total13.FieldByName("AVALORINSSMENSAL")),
        fgts(total13.FieldByName("AVALORFGTSMENSAL")),
        qtde(total13.FieldByName("AQTDEFUNCMENSAL")) {}
  TField &remun, &inss, &fgts, &qtde;
};

// The rows of the key in the totals dataset, then the first terceiros row of the key.
void SomarLinha(TnClientDataSet& totais, const TCamposTotais& campos, TnClientDataSet& terceiros,
                TField& valor_terceiros, TValoresLinha& linha) {
  for (totais.First(); !totais.Eof(); totais.Next()) {
    linha.RemunMensal += campos.remun_mensal.AsFloat() - campos.desconto.AsFloat();
    linha.RemunRescisao += campos.remun_rescisao.AsFloat() - campos.desconto_rescisao.AsFloat();
    linha.InssMensal += campos.inss_mensal.AsFloat();
    linha.InssRescisao += campos.inss_rescisao.AsFloat();
    linha.FgtsMensal += campos.fgts_mensal.AsFloat();
    linha.FgtsRescisao += campos.fgts_rescisao.AsFloat();
    linha.MultaFgts += campos.multa.AsFloat();
    linha.QtdeFuncMensal += Contagem(campos.qtde_mensal);
    linha.QtdeFuncRescisao += Contagem(campos.qtde_rescisao);
  }
  terceiros.First();
  if (!terceiros.Eof()) linha.RemunMensal += valor_terceiros.AsFloat();
}

void Somar13(TnClientDataSet& total13, const TCampos13& campos, TValoresColuna& valores) {
  valores.ZerarValor();
  for (total13.First(); !total13.Eof(); total13.Next()) {
    valores.TotalRemun += campos.remun.AsFloat();
    valores.INSS += campos.inss.AsFloat();
    valores.FGTS += campos.fgts.AsFloat();
    valores.QTDFunc += Contagem(campos.qtde);
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
  // 1.
  TnClientDataSet& estabs = DataSetDoParametro("pRefer2");
  ixCodigoEmpresa = estabs.FieldByName("CodigoEmpresa").Index();
  ixCodigoEstab = estabs.FieldByName("CodigoEstab").Index();
  ixNomeEmpresa = estabs.FieldByName("NomeEmpresa").Index();
  ixApelidoEstab = estabs.FieldByName("ApelidoEstab").Index();
  ixInscrFederal = estabs.FieldByName("InscrFederal").Index();
  ixDataInicioAtiv = estabs.FieldByName("DataInicioAtiv").Index();
  ixDataEncerAtiv = estabs.FieldByName("DataEncerAtiv").Index();
  // 4. The second cursor goes with this scope.
  TnClientDataSet cursor;
  cursor.CloneCursor(estabs, false, false);
  cursor.SetIndexFieldNames("CODIGOEMPRESA;CODIGOESTAB");
  // 2.
  if (!cursor.FindKey({Variant(empresa), Variant(estab)})) return;
  // 3.
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
  RepPrintSection(8);
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
  TnClientDataSet& total13 = nrw::CDS(FCurTotal13salario);
  nrw::TnpqPowerParam& panel = Report().GetParams();
  TField& campo_empresa = linhas.FieldByName("CodigoEmpresa");
  TField& campo_estab = linhas.FieldByName("CodigoEstab");
  TField& campo_compet = linhas.FieldByName("Compet");
  const TCamposTotais campos_totais(totais);
  TField& valor_terceiros = terceiros.FieldByName("AValorTotalTerceiros");
  const TCampos13 campos_13(total13);

  // 1.
  linhas.First();
  const int total_linhas = linhas.RecordCount();
  TotalEmpresa13salario.ZerarValor();
  TotalFilial13salario.ZerarValor();
  int64_t empresa_atual = 0;
  int64_t estab_atual = 0;
  int impressas = 0;
  TValoresLinha soma_estab;
  TValoresLinha soma_empresa;

  // 2.
  while (!linhas.Eof()) {
    do {
      // 2.1
      TValoresLinha linha;
      // 2.2
      const int64_t empresa = campo_empresa.AsInteger();
      const int64_t estab = campo_estab.AsInteger();
      if (empresa != empresa_atual || estab != estab_atual) {
        empresa_atual = empresa;
        estab_atual = estab;
        CarregarCabecalho(empresa_atual, estab_atual);
      }
      // 2.3
      const nrw::TDateTime compet = campo_compet.AsDateTime();
      const std::vector<Variant> chave{Variant(empresa_atual), Variant(estab_atual),
                                       Variant(compet)};
      const nrw::RangeGuard faixa_totais(totais, chave);
      const nrw::RangeGuard faixa_terceiros(terceiros, chave);
      const nrw::RangeGuard faixa_13(total13, chave);
      // 2.4
      SomarLinha(totais, campos_totais, terceiros, valor_terceiros, linha);
      // 2.5
      Somar13(total13, campos_13, Valores13Salario);
      TotalFilial13salario.Somar(Valores13Salario);
      TotalEmpresa13salario.Somar(Valores13Salario);
      // 2.6 Social security of terminations comes out of the month's guides.
      linha.InssMensal -= linha.InssRescisao;
      linha.TotalMensal = linha.RemunMensal + linha.InssMensal + linha.FgtsMensal;
      linha.TotalRescisao =
          linha.RemunRescisao + linha.InssRescisao + linha.FgtsRescisao + linha.MultaFgts;
      soma_estab.Somar(linha);
      // 2.7
      panel.SetValues("R1", nrw::FormatDateTime("mm/yyyy", compet));
      EscreverValores(linha);
      Escrever13(Valores13Salario);
      RepPrintSection(9);
      // 2.8
      ++impressas;
      Report().CSLShowProgress(impressas, total_linhas);
      // 2.9
      linhas.Next();
    } while (!linhas.Eof() && campo_empresa.AsInteger() == empresa_atual &&
             campo_estab.AsInteger() == estab_atual);

    // 2.10
    Escrever13(TotalFilial13salario);
    EscreverValores(soma_estab);
    RepPrintSection(10);
    TotalFilial13salario.ZerarValor();
    soma_empresa.Somar(soma_estab);

    // 2.11
    if (linhas.Eof() || campo_empresa.AsInteger() != empresa_atual) {
      Escrever13(TotalEmpresa13salario);
      EscreverValores(soma_empresa);
      RepPrintSection(11);
      TotalEmpresa13salario.ZerarValor();
      soma_empresa = TValoresLinha();
    }

    // 2.12
    Quebrar(linhas, empresa_atual, estab_atual);

    // 2.13
    soma_estab = TValoresLinha();
  }
}

}  // namespace payroll_totals_wide
