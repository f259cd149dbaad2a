// The annexes of a guide, each from its host dataset restricted to the current establishment:
// 01 purchases from rural producers, 02 by municipality, 04 interstate entries and exits, 05 by
// fiscal operation code, 06 international operations; then the closing page check.
#include "nrw/format.h"
#include "nrw/shared_data.h"
#include "nrw/util.h"
#include "rpt_state_guide_b.h"
#include "state_guide_b_sections.h"

namespace state_guide_b {

using nrw::TField;
using nrw::TnClientDataSet;

namespace {

constexpr const char* kTabelaProdutor =
    "PESSOA P JOIN MUNICIPIO M ON P.CODIGOMUNIC = M.CODIGOMUNIC AND P.SIGLAESTADO = M.SIGLAESTADO";
constexpr const char* kProdutorSemMunicipio = "Produtor Rural com municipio não informado ";
constexpr int kMensagemAviso = 1;

}  // namespace

bool TRptStateGuideB::AnexoVazio(TnClientDataSet* _ADataSet) {
  if (_ADataSet == nullptr) return true;
  // A closed dataset is not skipped: its first positioning reports it.
  if (!_ADataSet->Active()) return false;
  // Counted over every establishment, without the filter an earlier guide left.
  _ADataSet->SetFiltered(false);
  return _ADataSet->RecordCount() == 0;
}

void TRptStateGuideB::VerificarPagina() {
  if (!Report().DelphiCanPrintSection({{kSecaoTitulo, 3}})) Report().SetCSLIsPageEnd(true);
}

void TRptStateGuideB::FiltrarEstabelecimento(TnClientDataSet& _ADataSet) {
  // A quoted literal: registrations are kept as written ("278/7786840"), which a bare value in the
  // filter could not express.
  _ADataSet.SetFiltered(false);
  _ADataSet.SetFilter(
      "EMP_CGCTE = " +
      nrw::ValorParaFiltro(cdsTR001->FieldByName("Q01_CGCTE").AsString(), nrw::TFieldType::Text));
  _ADataSet.SetFiltered(true);
}

void TRptStateGuideB::GerarTR910() {
  if (AnexoVazio(cdsTR910)) return;
  TnClientDataSet& tr910 = *cdsTR910;
  VerificarPagina();
  ImprimeTitulo("GUIA INFORMATIVA - ANEXO 01");
  ImprimeTitulo("COMPRAS DE PRODUTOR PRIMÁRIO DO ESTADO DO RS");
  ImprimirLinha();
  ImprimeD5("Município", "Inscrição Estadual", "Valor em R$");
  FiltrarEstabelecimento(tr910);

  const std::string mascara =
      nrw::PegarValorCampo("ESTADO", "MASCINSCRESTAD", "SIGLAESTADO = 'RS'").AsString();
  TField& produtor = tr910.FieldByName("PRO_CGCTE");
  TField& valor = tr910.FieldByName("PRO_Valor");
  bool avisou = false;
  for (tr910.First(); !tr910.Eof(); tr910.Next()) {
    const std::string inscricao = produtor.AsString();
    std::string municipio;
    if (!inscricao.empty()) {
      const std::string formatada =
          nrw::FormatarConteudoMascara(inscricao, mascara, static_cast<int>(mascara.size()));
      const nrw::Variant nome = nrw::PegarValorCampo(
          kTabelaProdutor, "NOMEMUNIC", "P.INSCRPROD = " + nrw::ValorParaSQL(formatada));
      // Left out, and said once per guide.
      if (nome.IsNull()) {
        if (!avisou) Report().MsgMensagem(kMensagemAviso, kProdutorSemMunicipio);
        avisou = true;
        continue;
      }
      municipio = nome.AsString();
    }
    ImprimeD5(municipio, inscricao, FormataValor(valor.AsFloat()));
  }
  ImprimirLinha();
  Report().MsgConfigurar({"Mensagem"});
}

void TRptStateGuideB::GerarTR920() {
  if (AnexoVazio(cdsTR920)) return;
  TnClientDataSet& tr920 = *cdsTR920;
  VerificarPagina();
  ImprimeTitulo("GUIA INFORMATIVA - ANEXO 02");
  ImprimeTitulo("DISCRIMINAÇÃO DE SERVIÇOS OU CIRCULAÇÃO DE MERCADORIAS");
  ImprimeTitulo("CONFORME O TIPO DE NATUREZA");
  ImprimirLinha();
  ImprimeD5("Município", "Mun", "Valor Saídas", "Valor Atribuído");
  FiltrarEstabelecimento(tr920);
  TField& nome = tr920.FieldByName("MUN_NOME");
  TField& codigo = tr920.FieldByName("MUN_CodigoMunic");
  TField& valor = tr920.FieldByName("MUN_Valor");
  for (tr920.First(); !tr920.Eof(); tr920.Next()) {
    // The one amount fills both value columns.
    const std::string texto_valor = FormataValor(valor.AsFloat());
    ImprimeD5(nome.AsString(), codigo.AsString(), texto_valor, texto_valor);
  }
  ImprimirLinha();
}

void TRptStateGuideB::GerarTR941() {
  if (AnexoVazio(cdsTR941)) return;
  TnClientDataSet& tr941 = *cdsTR941;
  VerificarPagina();
  ImprimeTitulo("GUIA INFORMATIVA - ANEXO 04");
  ImprimeTitulo("OPERAÇÕES E PRESTAÇÕES DE SERVIÇOS INTERESTADUAIS");
  ImprimirLinha();
  FImprimiuTituloANexo4 = true;
  ImprimeSubTitulo("01 - ENTRADAS DE MERCADORIAS, BENS E/OU AQUISIÇÕES DE SERVIÇOS");
  ImprimeD5("CÓD.FISCAIS", "VALOR CONTÁBIL", "BASE DE CÁLCULO", "ISENTAS", "OUTRAS",
            "EXC.VL.ADICIONADO");
  FiltrarEstabelecimento(tr941);
  TField& origem = tr941.FieldByName("EOE_CodigoFederacaoOri");
  TField& contabil = tr941.FieldByName("EOE_ValorContabil");
  TField& base = tr941.FieldByName("EOE_BaseCalculo");
  TField& outras = tr941.FieldByName("EOE_Outras");
  TField& petroleo = tr941.FieldByName("EOE_PetroleoEnergia");
  TField& outros_produtos = tr941.FieldByName("EOE_OutrosProdutos");
  for (tr941.First(); !tr941.Eof(); tr941.Next()) {
    ImprimeD5(origem.AsString(), FormataValor(contabil.AsFloat()), FormataValor(base.AsFloat()),
              FormataValor(outras.AsFloat()), FormataValor(petroleo.AsFloat()),
              FormataValor(outros_produtos.AsFloat()));
  }
  ImprimirLinha();
}

void TRptStateGuideB::GerarTR942() {
  if (AnexoVazio(cdsTR942)) return;
  TnClientDataSet& tr942 = *cdsTR942;
  // Under the entries' title when they printed it.
  if (!FImprimiuTituloANexo4) {
    VerificarPagina();
    ImprimeTitulo("GUIA INFORMATIVA - ANEXO 04");
    ImprimeTitulo("OPERAÇÕES E PRESTAÇÕES DE SERVIÇOS INTERESTADUAIS");
    ImprimirLinha();
  }
  ImprimeSubTitulo("02 - SAÍDAS DE MERCADORIAS, BENS E/OU AQUISIÇÕES DE SERVIÇOS");
  ImprimeD5("CÓD.FISCAIS", "VALOR CONTÁBIL", "VALOR CONTÁBIL", "BASE DE CÁLCULO", "BASE DE CÁLCULO",
            "OUTRAS", "EXC.VL.ADICIONADO");
  ImprimeD5("", "N.CONTRIBUINTE", "CONTRIBUINTE", "N.CONTRIBUINTE", "CONTRIBUINTE");
  FiltrarEstabelecimento(tr942);
  TField& destino = tr942.FieldByName("SOE_CodigoFederacaoDes");
  TField& contabil_nao_contribuinte = tr942.FieldByName("SOE_ValorContabil_NContr");
  TField& contabil_contribuinte = tr942.FieldByName("SOE_ValorContabil_Contr");
  TField& base_nao_contribuinte = tr942.FieldByName("SOE_BaseCalculo_NContr");
  TField& base_contribuinte = tr942.FieldByName("SOE_BaseCalculo_Contr");
  TField& outras = tr942.FieldByName("SOE_Outras");
  TField& substituicao = tr942.FieldByName("SOE_SubTribut");
  for (tr942.First(); !tr942.Eof(); tr942.Next()) {
    ImprimeD5(destino.AsString(), FormataValor(contabil_nao_contribuinte.AsFloat()),
              FormataValor(contabil_contribuinte.AsFloat()),
              FormataValor(base_nao_contribuinte.AsFloat()),
              FormataValor(base_contribuinte.AsFloat()), FormataValor(outras.AsFloat()),
              FormataValor(substituicao.AsFloat()));
  }
  ImprimirLinha();
}

void TRptStateGuideB::GerarTR950() {
  if (AnexoVazio(cdsTR950)) return;
  TnClientDataSet& tr950 = *cdsTR950;
  VerificarPagina();
  ImprimeTitulo("GUIA INFORMATIVA - ANEXO 05");
  ImprimeTitulo("ENTRADAS E SAÍDAS");
  ImprimirLinha();
  ImprimeD5("CFOP", "VALORES CONTABEIS", "BASE DE CÁLCULO", "ISENTAS OU N.TRIBUT.", "OUTRAS",
            "IMPO.EXCLUÍDAS");
  FiltrarEstabelecimento(tr950);
  TField& cfop = tr950.FieldByName("OPF_CFOP");
  TField& contabil = tr950.FieldByName("OPF_ValorContabil");
  TField& base = tr950.FieldByName("OPF_BaseCalculo");
  TField& isentas = tr950.FieldByName("OPF_IsentasNaoTrib");
  TField& outras = tr950.FieldByName("OPF_Outras");
  TField& excluidas = tr950.FieldByName("OPF_ImpExVrAdicionado");
  for (tr950.First(); !tr950.Eof(); tr950.Next()) {
    ImprimeD5(cfop.AsString(), FormataValor(contabil.AsFloat()), FormataValor(base.AsFloat()),
              FormataValor(isentas.AsFloat()), FormataValor(outras.AsFloat()),
              FormataValor(excluidas.AsFloat()));
  }
  ImprimirLinha();
}

void TRptStateGuideB::GerarTR960() {
  if (AnexoVazio(cdsTR960)) return;
  TnClientDataSet& tr960 = *cdsTR960;
  VerificarPagina();
  ImprimeTitulo("GUIA INFORMATIVA - ANEXO 06");
  ImprimeTitulo("OPERAÇÕES E PRESTAÇÕES DE SERVIÇOS INTERNACIONAIS");
  ImprimirLinha();
  ImprimeD5("CÓDIGO", "NOME", "ENTRADAS", "SAÍDAS");
  FiltrarEstabelecimento(tr960);
  TField& pais = tr960.FieldByName("PAIS_CodigoPais");
  TField& entradas = tr960.FieldByName("PAIS_TotalEntradas");
  TField& saidas = tr960.FieldByName("PAIS_TotalSaidas");
  for (tr960.First(); !tr960.Eof(); tr960.Next()) {
    // The records carry no country name: the name column stays empty.
    ImprimeD5(pais.AsString(), "", FormataValor(entradas.AsFloat()),
              FormataValor(saidas.AsFloat()));
  }
  ImprimirLinha();
}

void TRptStateGuideB::GerarTR990() { VerificarPagina(); }

}  // namespace state_guide_b
