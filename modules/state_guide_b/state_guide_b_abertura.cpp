// The opening block of a guide: the establishment's identification (with its address from ESTAB),
// the period, the additional data, the establishment's figures with their control sum, the
// opening and closing stocks and the accountant.
#include <array>

#include "nrw/format.h"
#include "nrw/sql.h"
#include "nrw/util.h"
#include "rpt_state_guide_b.h"

namespace state_guide_b {

using nrw::TnClientDataSet;

namespace {

constexpr const char* kSqlEstab =
    " select ES.INSCRESTAD, ES.NUMEROREGIST, ES.CODIGOATIVESTAD, ES.BAIRROENDERESTAB, "
    "TL.DESCRTIPOLOGRAD , ES.ENDERECOESTAB, ES.NUMENDERESTAB, MU.NOMEMUNIC, ES.COMPLENDERESTAB  "
    "from ESTAB ES join Municipio MU on ES.CODIGOMUNIC = MU.CODIGOMUNIC and ES.SIGLAESTADO = "
    "MU.SIGLAESTADO  join TIPOLOGRADOURO  TL  on TL.CODIGOTIPOLOGRAD = ES.CODIGOTIPOLOGRAD  where "
    "INSCRFEDERAL = ";

// Columns of kSqlEstab, by position.
enum EstabColuna {
  kInscrEstad,
  kNumeroRegist,
  kCodigoAtivEstad,
  kBairro,
  kTipoLogradouro,
  kEndereco,
  kNumero,
  kMunicipio,
  kComplemento
};

constexpr TEstoque kEstoqueInicial = {
    "Q06_",
    {"13 - Próprio, Tributado, no Estabelecimento e/ou em Poder de Terceiros.........:",
     "14 - Próprio, Isento ou não Tributado, no Estab. e/ou em Poder de Terceiros....:",
     "15 - Total Próprio Soma (13+14)................................................:",
     "16 - Pertencente ao Estabelecimento, em Poder de Terceiros.....................:",
     "17 - Pertencente a Terceiros, em Poder do Estabelecimento......................:",
     "18 - Total Próprio Soma (15+16+17).............................................:"}};

constexpr TEstoque kEstoqueFinal = {
    "Q07_",
    {"19 - Próprio, Tributado, no Estabelecimento e/ou em Poder de Terceiros.........:",
     "20 - Próprio, Isento ou não Tributado, no Estab. e/ou em Poder de Terceiros....:",
     "21 - Total Próprio Soma (19+20)................................................:",
     "22 - Pertencente ao Estabelecimento, em Poder de Terceiros.....................:",
     "23 - Pertencente a Terceiros, em Poder do Estabelecimento......................:",
     "24 - Total Próprio Soma (21+22+23).............................................:"}};

}  // namespace

std::string TRptStateGuideB::Texto(const char* _ANome) const {
  return cdsTR001->FieldByName(_ANome).AsString();
}

double TRptStateGuideB::Valor(const std::string& _ANome) const {
  return cdsTR001->FieldByName(_ANome).AsFloat();
}

void TRptStateGuideB::ImprimirAbertura() {
  const std::string inscricao =
      nrw::FormatarInscrFederal(nrw::ValueToEnum<nrw::TnTipoInscrFederal>(1), Texto("Q01_CNPJ"));
  // The number goes in as a literal: an apostrophe in stored data cannot break the statement.
  nrw::TDataSetRef curEstab = nrw::ExecutarSQL(kSqlEstab + nrw::ValorParaSQL(inscricao), true,
                                               false, -1, "", nullptr, true);
  ImprimirIdentificacao(nrw::CDS(curEstab), inscricao);
  ImprimirPeriodo();
  ImprimirInformacoesAdicionais();
  ImprimirDadosEstabelecimento();
  ImprimirEstoque(kEstoqueInicial, "06 - ESTOQUE INICIAL NO PERÍODO");
  ImprimirEstoque(kEstoqueFinal, "07 - ESTOQUE FINAL DO PERÍODO");
  ImprimirContabilista();
  nrw::DestruirSQL(curEstab);
}

void TRptStateGuideB::ImprimirIdentificacao(TnClientDataSet& estab, const std::string& inscricao) {
  const auto coluna = [&estab](EstabColuna posicao) { return estab.Fields(posicao).AsString(); };
  ImprimeSubTitulo("01 - IDENTIFICACAO  DO ESTABELECIMENTO");
  ImprimeD3("Nome......: " + Texto("Q01_RazaoSocial"), "CNPJ/TE...: " + coluna(kInscrEstad),
            "NIRE......: " + coluna(kNumeroRegist));
  ImprimeD3("CAE (E/F).: " + coluna(kCodigoAtivEstad), "CNPJ/MF...: " + inscricao);
  ImprimeD3(
      "Logradouro: " + coluna(kTipoLogradouro) + " " + coluna(kEndereco) + " " + coluna(kNumero),
      "Compl.....: " + coluna(kComplemento));
  ImprimeD3("Bairro....: " + coluna(kBairro), "Municipio.: " + coluna(kMunicipio));
  ImprimirLinha();
}

void TRptStateGuideB::ImprimirPeriodo() {
  ImprimeSubTitulo("02 - PERIODO DE REFERÊNCIA E CATEGORIA");
  ImprimeD3("Periodo...: " + Texto("Q02_Inicial") + " a " + Texto("Q02_Final"),
            "Cotegoria.: " + Texto("Q02_Categoria"));
  ImprimirLinha();
}

void TRptStateGuideB::ImprimirInformacoesAdicionais() {
  // The two questions are printed for the reader to answer.
  ImprimeSubTitulo("03 - INFORMACOES ADICIONAIS");
  ImprimeD3("Obstrutiva? (S/N): ", "Inform.Compl? (S/N): ",
            "Faturamento R$: " + FormataValor(Valor("Q03_Faturamento")));
  ImprimirLinha();
}

void TRptStateGuideB::ImprimirDadosEstabelecimento() {
  const double empregados = Valor("Q04_Empregados");
  const double folha = Valor("Q04_ValorFolhaSalarios");
  const double kwh = Valor("Q04_KwhConsumido");
  ImprimeSubTitulo("04 - DADOS DO ESTABELECIMENTO");
  ImprimeD4("01 - Número de Empregados em 31 de Dezembro....................................:",
            nrw::FormatFloat("0", empregados));
  ImprimeD4("02 - Valor da Folha de Salários no Período (acumulado no ano)..................:",
            FormataValor(folha));
  ImprimeD4("03 - Kwh Consumidos no Período.................................................:",
            FormataValor(kwh));
  ImprimeD4("04 - Soma de Controle (1+2+3)..................................................:",
            FormataValor(SomaDeControle(empregados, folha, kwh)));
  ImprimirLinha();
}

void TRptStateGuideB::ImprimirEstoque(const TEstoque& _AEstoque, const char* _ASubTitulo) {
  // Sums on the stored hundredths, formatted once.
  const std::string prefixo = _AEstoque.Prefixo;
  const double tributado = Valor(prefixo + "ProprioTributado");
  const double isento = Valor(prefixo + "ProprioIsento");
  const double em_terceiros = Valor(prefixo + "Estab_Poder3o");
  const double de_terceiros = Valor(prefixo + "3o_PoderEstab");
  const double proprio = tributado + isento;
  ImprimeSubTitulo(_ASubTitulo);
  ImprimeD4(_AEstoque.Rotulos[0], FormataValor(tributado));
  ImprimeD4(_AEstoque.Rotulos[1], FormataValor(isento));
  ImprimeD4(_AEstoque.Rotulos[2], FormataValor(proprio));
  ImprimeD4(_AEstoque.Rotulos[3], FormataValor(em_terceiros));
  ImprimeD4(_AEstoque.Rotulos[4], FormataValor(de_terceiros));
  ImprimeD4(_AEstoque.Rotulos[5], FormataValor(proprio + em_terceiros + de_terceiros));
  ImprimirLinha();
}

void TRptStateGuideB::ImprimirContabilista() {
  ImprimeSubTitulo("10 - INFORMACOES DO CONTABILISTA");
  ImprimeD3("Nome....:" + Texto("Q10_Nome"),
            "Fone...:" + Texto("Q10_DDD") + "-" + Texto("Q10_Fone"));
  ImprimeD3("CPF/CNPJ:" + Texto("Q10_CFPCNPJ"), "Nr. CRC: " + Texto("Q10_NumeroCRC"),
            "E-MAIL: " + Texto("Q10_Email"));
  ImprimirLinha();
}

}  // namespace state_guide_b
