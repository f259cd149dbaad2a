// Printing of one beneficiary record: its heading and the three blocks (taxable income by month,
// exempt income, income received cumulatively), each section with the variables it shows.
#include <array>

#include "nrw/format.h"
#include "nrw/guards.h"
#include "nrw/util.h"
#include "rpt_withholding_review.h"
#include "withholding_review_sections.h"

namespace withholding_review {

using nrw::CDS;
using nrw::TnClientDataSet;
using nrw::Variant;

namespace {

constexpr const char* kMascaraValor = "#,##0.00";
constexpr const char* kZero = "0,00";

std::string Valor(double valor) { return nrw::FormatFloat(kMascaraValor, valor); }

//! Columns of the exempt detail, in the order of the block's columns R1 to R5.
constexpr std::array<const char*, 5> kColunasIsentos = {"DIARIAS", "INDENIZACAO", "ABONOPECUNIARIO",
                                                        "APOSENT65", "VALORMEDICORESIDENTE"};

//! Columns of the RRA monthly detail, in the order of the block's columns R1 to R8.
constexpr std::array<const char*, 8> kColunasRRA = {
    "RendTributavel",     "ParcAposentadoAcimaSessentaAno",
    "RendIsentoMolestia", "PrevidenciaOficial",
    "PensaoAlimenticia",  "ImpostoRetido",
    "DespesaAcaoJud",     "QtdeMeses"};

std::string Coluna(int n) { return "R" + std::to_string(n); }

}  // namespace

std::string NomeMes(int mes) {
  static constexpr std::array<const char*, 13> kNomes = {
      "Jan", "Fev", "Mar", "Abr", "Mai", "Jun", "Jul", "Ago", "Set", "Out", "Nov", "Dez", "13º"};
  if (mes < 1 || mes > 13) return "";
  return kNomes[static_cast<size_t>(mes - 1)];
}

std::vector<Variant> TRptWithholdingReview::ChaveRegistro() const {
  TnClientDataSet& reg2 = CDS(curDIRFReg2);
  return {reg2.Fields(ixReg2CODIGOEMPRESA).Value(), reg2.Fields(ixReg2ANOBASE).Value(),
          reg2.Fields(ixReg2TIPOINSCRBENEF).Value(),
          reg2.Fields(ixReg2INSCRFEDERALBENEF).AsString(),
          reg2.Fields(ixReg2CODIGORETENCAO).Value()};
}

std::vector<Variant> TRptWithholdingReview::ChaveMes(int mes) const {
  std::vector<Variant> chave = ChaveRegistro();
  chave.push_back(Variant(mes));
  return chave;
}

void TRptWithholdingReview::ImprimirSeCouber(int section) {
  if (Report().DelphiCanPrintSection({{section, 1}})) RepPrintSection(section);
}

void TRptWithholdingReview::ImprimirTitulo(const std::string& titulo) {
  ImprimirSeCouber(kSecaoAntesTitulo);
  RepParam("R1", titulo);
  RepPrintSection(kSecaoTituloBloco);
}

void TRptWithholdingReview::GarantirEspaco(const std::vector<std::pair<int, int>>& pares) {
  if (Report().DelphiCanPrintSection(pares)) return;
  Report().SetCSLIsPageEnd(true);
  ImprimirBeneficiario();
}

void TRptWithholdingReview::ImprimirBeneficiario() {
  TnClientDataSet& reg2 = CDS(curDIRFReg2);
  RepParam("pf1", nrw::IntToStr(reg2.Fields(ixReg2CODIGORETENCAO).AsInteger()));
  RepParam("pf2", reg2.Fields(ixReg2INSCRFEDERALBENEF).AsString());
  RepParam("pf3", reg2.Fields(ixReg2NOMEBENEF).AsString());
  RepPrintSection(kSecaoBeneficiario);
}

void TRptWithholdingReview::ImprimirRendTributaveis() {
  TTotaisTributaveis totais{};
  GarantirEspaco({{kSecaoMesIsento, 20}, {kSecaoBeneficiario, 1}});
  ImprimirTitulo("Rendimentos Tributáveis");
  ImprimirTitulosTributaveis();
  // Every month has its line, with or without data.
  for (int mes = 1; mes <= 12; ++mes) {
    RepParam("pmes", NomeMes(mes));
    EscreverMesTributavel(mes, &totais);
    RepPrintSection(kSecaoMesTributavel);
  }
  for (size_t i = 0; i < totais.size(); ++i) {
    RepParam("pTot" + std::to_string(i + 1), Valor(totais[i]));
  }
  RepPrintSection(kSecaoTotalTributavel);
  // The thirteenth salary is shown after the totals and is not part of them.
  RepParam("pmes", NomeMes(13));
  EscreverMesTributavel(13, nullptr);
  RepPrintSection(kSecaoMesTributavel);
  ImprimirSeCouber(kSecaoFechamento);
}

void TRptWithholdingReview::ImprimirTitulosTributaveis() {
  RepParam("pMes", "Mês");
  RepParam("R1", "Rendimentos");
  RepParam("R2", "Valor Dependente");
  RepParam("R3", "Pensão Alimentícia");
  RepParam("R4", "Previdência Oficial");
  RepParam("R5", "Previdência Privada");
  RepParam("R6", "Imposto Retido");
  RepParam("R7", "Desconto Simplificado");
  RepPrintSection(kSecaoTitulosTributavel);
  ImprimirSeCouber(kSecaoFechamento);
}

void TRptWithholdingReview::EscreverMesTributavel(int mes, TTotaisTributaveis* totais) {
  TnClientDataSet& det = CDS(curDIRFReg2Det);
  // Columns R1 to R7 of the block.
  const std::array<int32_t, 7> colunas = {ixReg2DetVALORRENDIMENTO,     ixReg2DetVALORDEPENDENTE,
                                          ixReg2DetVALORPENSAOALIM,     ixReg2DetVALORPREVOFICIAL,
                                          ixReg2DetVALORPREVPRIVADA,    ixReg2DetVALORRETIDO,
                                          ixReg2DetDESCONTOSIMPLIFICADO};
  const bool existe = det.FindKey(ChaveMes(mes));
  for (size_t i = 0; i < colunas.size(); ++i) {
    const int n = static_cast<int>(i) + 1;
    if (!existe) {
      RepParam(Coluna(n), kZero);
      continue;
    }
    const double valor = det.Fields(colunas[i]).AsFloat();
    RepParam(Coluna(n), Valor(valor));
    if (totais != nullptr) (*totais)[i] += valor;
  }
}

void TRptWithholdingReview::ImprimirTituloIsentos(bool& titulo_impresso) {
  if (titulo_impresso) return;
  ImprimirTitulo("Rendimentos Isentos");
  RepParam("pMes", "Mês");
  RepParam("R1", "Diárias");
  RepParam("R2", "Indenizações");
  RepParam("R3", "Abono Pecuniário");
  RepParam("R4", "Aposent. Maior  65 anos");
  RepParam("R5", "Bolsa de Médico");
  RepParam("R6", "Lucro/Dived");
  RepParam("R7", "Vlr. pago Titular");
  RepParam("R8", "Outros");
  RepPrintSection(kSecaoTitulosTotalIsento);
  ImprimirSeCouber(kSecaoFechamento);
  titulo_impresso = true;
}

void TRptWithholdingReview::ImprimirRendIsentos() {
  TnClientDataSet& isento = CDS(curDIRFReg2DetIsento);
  TnClientDataSet& reg2 = CDS(curDIRFReg2);
  const double lucro = reg2.FieldByName("LUCRODIVID1996").AsFloat();
  const double pago_socio = reg2.FieldByName("VLRPAGOSOCIOPQEMP").AsFloat();
  const double outros = reg2.FieldByName("OUTROSRENDISENTO").AsFloat();

  bool titulo_impresso = false;
  TTotaisIsentos totais{};
  const bool tem_linhas = isento.FindKey(ChaveRegistro());
  if (!tem_linhas && nrw::RoundValor(lucro + pago_socio + outros, 2) == 0) return;
  GarantirEspaco({{kSecaoMesIsento, ContarMesesIsentos()},
                  {kSecaoBeneficiario, 1},
                  {kSecaoTitulosTotalIsento, 5}});
  // Only months with a row have a line.
  for (int mes = 1; mes <= 12; ++mes) {
    if (!isento.FindKey(ChaveMes(mes))) continue;
    ImprimirTituloIsentos(titulo_impresso);
    RepParam("pmes", NomeMes(mes));
    EscreverMesIsento(&totais);
    RepParam("R6", "");
    RepParam("R7", "");
    RepParam("R8", "");
    RepPrintSection(kSecaoMesIsento);
  }
  // Rows of the thirteenth salary alone print no month line above: the heading comes now.
  if (titulo_impresso) {
    ImprimirSeCouber(kSecaoFechamento);
  } else {
    ImprimirTituloIsentos(titulo_impresso);
  }
  RepParam("pmes", "Total");
  for (size_t i = 0; i < totais.size(); ++i) {
    RepParam(Coluna(static_cast<int>(i) + 1), Valor(totais[i]));
  }
  RepParam("R6", Valor(lucro));
  RepParam("R7", Valor(pago_socio));
  RepParam("R8", Valor(outros));
  RepPrintSection(kSecaoTitulosTotalIsento);
  // The thirteenth salary comes after the total and is not part of it.
  if (isento.FindKey(ChaveMes(13))) {
    RepParam("pmes", NomeMes(13));
    EscreverMesIsento(nullptr);
    RepParam("R6", kZero);
    RepParam("R7", kZero);
    RepParam("R8", kZero);
    RepPrintSection(kSecaoMesIsento);
  }
}

int TRptWithholdingReview::ContarMesesIsentos() {
  TnClientDataSet& isento = CDS(curDIRFReg2DetIsento);
  int meses = 0;
  for (int mes = 1; mes <= 13; ++mes) {
    if (isento.FindKey(ChaveMes(mes))) ++meses;
  }
  return meses;
}

void TRptWithholdingReview::EscreverMesIsento(TTotaisIsentos* totais) {
  TnClientDataSet& isento = CDS(curDIRFReg2DetIsento);
  for (size_t i = 0; i < kColunasIsentos.size(); ++i) {
    const double valor = isento.FieldByName(kColunasIsentos[i]).AsFloat();
    RepParam(Coluna(static_cast<int>(i) + 1), Valor(valor));
    if (totais != nullptr) (*totais)[i] += valor;
  }
}

void TRptWithholdingReview::ImprimirRRA() {
  TnClientDataSet& rra = CDS(curDIRFRRA);
  TnClientDataSet& reg2 = CDS(curDIRFReg2);
  const std::vector<Variant> beneficiario = {
      reg2.Fields(ixReg2CODIGOEMPRESA).Value(), reg2.Fields(ixReg2ANOBASE).Value(),
      reg2.Fields(ixReg2TIPOINSCRBENEF).Value(), reg2.Fields(ixReg2INSCRFEDERALBENEF).AsString()};

  // The range is lifted on every path.
  const nrw::RangeGuard faixa(rra, beneficiario);
  rra.First();
  if (rra.IsEmpty()) return;
  GarantirEspaco({{kSecaoMesIsento, ContarMesesRRA(beneficiario)},
                  {kSecaoBeneficiario, 1},
                  {kSecaoTitulosTotalIsento, 7}});
  ImprimirTitulo("Rendimentos Recebidos Acumuladamente - RRA - Declarante");
  for (; !rra.Eof(); rra.Next()) {
    TTotaisRRA totais{};
    ImprimirProcessoRRA();
    ImprimirTitulosRRA();
    ImprimirMesesRRA(beneficiario, totais);
    RepParam("pmes", "Total");
    for (size_t i = 0; i < totais.size(); ++i) {
      RepParam(Coluna(static_cast<int>(i) + 1), Valor(totais[i]));
    }
    RepPrintSection(kSecaoTitulosTotalRRA);
  }
}

std::vector<Variant> TRptWithholdingReview::ChaveMesRRA(const std::vector<Variant>& beneficiario,
                                                        int mes) const {
  std::vector<Variant> chave = beneficiario;
  chave.push_back(CDS(curDIRFRRA).FieldByName("SEQ").Value());
  chave.push_back(Variant(mes));
  return chave;
}

int TRptWithholdingReview::ContarMesesRRA(const std::vector<Variant>& beneficiario) {
  // The months of the first RRA row measure the whole block.
  TnClientDataSet& rra_det = CDS(curDIRFRRADet);
  int meses = 0;
  for (int mes = 1; mes <= 12; ++mes) {
    if (rra_det.FindKey(ChaveMesRRA(beneficiario, mes))) ++meses;
  }
  return meses;
}

void TRptWithholdingReview::ImprimirProcessoRRA() {
  TnClientDataSet& rra = CDS(curDIRFRRA);
  ImprimirSeCouber(kSecaoFechamento);
  RepParam("R1", "Natureza do processo");
  RepParam("R2", "Número do processo");
  RepParam("R3", "CPF Advogado");
  RepParam("R4", "Nome Advogado");
  RepPrintSection(kSecaoTitulosProcesso);
  RepParam("R1", rra.FieldByName("NaturezaRRA").AsString());
  RepParam("R2", rra.FieldByName("NumProcessoRRA").AsString());
  RepParam("R3", rra.FieldByName("InscrFederalAdv").AsString());
  RepParam("R4", rra.FieldByName("NomeAdv").AsString());
  RepPrintSection(kSecaoProcesso);
  ImprimirSeCouber(kSecaoFechamento);
}

void TRptWithholdingReview::ImprimirTitulosRRA() {
  RepParam("pMes", "Mês");
  RepParam("R1", "Rend. Tributável");
  RepParam("R2", "Parc Isenta Aposent. > 65 anos");
  RepParam("R3", "Moléstia Grave");
  RepParam("R4", "Previdência Oficial");
  RepParam("R5", "Pensão Alimentícia");
  RepParam("R6", "Imposto Retido");
  RepParam("R7", "Desp. Ação Judicial");
  RepParam("R8", "Quant. Meses");
  RepPrintSection(kSecaoTitulosTotalRRA);
}

void TRptWithholdingReview::ImprimirMesesRRA(const std::vector<Variant>& beneficiario,
                                             TTotaisRRA& totais) {
  TnClientDataSet& rra_det = CDS(curDIRFRRADet);
  // Only months with a row have a line; the thirteenth is not read.
  for (int mes = 1; mes <= 12; ++mes) {
    if (!rra_det.FindKey(ChaveMesRRA(beneficiario, mes))) continue;
    RepParam("pmes", NomeMes(mes));
    for (size_t i = 0; i < kColunasRRA.size(); ++i) {
      const double valor = rra_det.FieldByName(kColunasRRA[i]).AsFloat();
      RepParam(Coluna(static_cast<int>(i) + 1), Valor(valor));
      totais[i] += valor;
    }
    RepPrintSection(kSecaoMesRRA);
  }
}

}  // namespace withholding_review
