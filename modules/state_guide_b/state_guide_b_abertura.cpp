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

//! Labels of the six stock lines of a block, and the prefix of its columns.
struct TEstoque {
  const char* Prefixo;
  std::array<const char*, 6> Rotulos;
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

void TRptStateGuideB::ImprimirAbertura() {
  TnClientDataSet& tr001 = *cdsTR001;
  const auto texto = [&tr001](const char* nome) { return tr001.FieldByName(nome).AsString(); };
  const auto valor = [&tr001](const std::string& nome) {
    return tr001.FieldByName(nome).AsFloat();
  };
  const std::string inscricao =
      nrw::FormatarInscrFederal(nrw::ValueToEnum<nrw::TnTipoInscrFederal>(1), texto("Q01_CNPJ"));

  // 1. The number goes in as a literal: an apostrophe in stored data cannot break the statement.
  nrw::TDataSetRef curEstab = nrw::ExecutarSQL(kSqlEstab + nrw::ValorParaSQL(inscricao), true,
                                               false, -1, "", nullptr, true);
  TnClientDataSet& estab = nrw::CDS(curEstab);
  const auto coluna = [&estab](EstabColuna posicao) { return estab.Fields(posicao).AsString(); };

  // 2. to 6.
  ImprimeSubTitulo("01 - IDENTIFICACAO  DO ESTABELECIMENTO");
  ImprimeD3("Nome......: " + texto("Q01_RazaoSocial"), "CNPJ/TE...: " + coluna(kInscrEstad),
            "NIRE......: " + coluna(kNumeroRegist));
  ImprimeD3("CAE (E/F).: " + coluna(kCodigoAtivEstad), "CNPJ/MF...: " + inscricao);
  ImprimeD3(
      "Logradouro: " + coluna(kTipoLogradouro) + " " + coluna(kEndereco) + " " + coluna(kNumero),
      "Compl.....: " + coluna(kComplemento));
  ImprimeD3("Bairro....: " + coluna(kBairro), "Municipio.: " + coluna(kMunicipio));
  // 7.
  ImprimirLinha();

  // 8.
  ImprimeSubTitulo("02 - PERIODO DE REFERÊNCIA E CATEGORIA");
  ImprimeD3("Periodo...: " + texto("Q02_Inicial") + " a " + texto("Q02_Final"),
            "Cotegoria.: " + texto("Q02_Categoria"));
  ImprimirLinha();

  // 9. The two questions are printed for the reader to answer.
  ImprimeSubTitulo("03 - INFORMACOES ADICIONAIS");
  ImprimeD3("Obstrutiva? (S/N): ", "Inform.Compl? (S/N): ",
            "Faturamento R$: " + FormataValor(valor("Q03_Faturamento")));
  ImprimirLinha();

  // 10.
  const double empregados = valor("Q04_Empregados");
  const double folha = valor("Q04_ValorFolhaSalarios");
  const double kwh = valor("Q04_KwhConsumido");
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

  // 11. and 12. Sums on the stored hundredths, formatted once.
  for (const auto& [estoque, subtitulo] :
       {std::pair{&kEstoqueInicial, "06 - ESTOQUE INICIAL NO PERÍODO"},
        std::pair{&kEstoqueFinal, "07 - ESTOQUE FINAL DO PERÍODO"}}) {
    const std::string prefixo = estoque->Prefixo;
    const double tributado = valor(prefixo + "ProprioTributado");
    const double isento = valor(prefixo + "ProprioIsento");
    const double em_terceiros = valor(prefixo + "Estab_Poder3o");
    const double de_terceiros = valor(prefixo + "3o_PoderEstab");
    const double proprio = tributado + isento;
    ImprimeSubTitulo(subtitulo);
    ImprimeD4(estoque->Rotulos[0], FormataValor(tributado));
    ImprimeD4(estoque->Rotulos[1], FormataValor(isento));
    ImprimeD4(estoque->Rotulos[2], FormataValor(proprio));
    ImprimeD4(estoque->Rotulos[3], FormataValor(em_terceiros));
    ImprimeD4(estoque->Rotulos[4], FormataValor(de_terceiros));
    ImprimeD4(estoque->Rotulos[5], FormataValor(proprio + em_terceiros + de_terceiros));
    ImprimirLinha();
  }

  // 13.
  ImprimeSubTitulo("10 - INFORMACOES DO CONTABILISTA");
  ImprimeD3("Nome....:" + texto("Q10_Nome"),
            "Fone...:" + texto("Q10_DDD") + "-" + texto("Q10_Fone"));
  ImprimeD3("CPF/CNPJ:" + texto("Q10_CFPCNPJ"), "Nr. CRC: " + texto("Q10_NumeroCRC"),
            "E-MAIL: " + texto("Q10_Email"));
  ImprimirLinha();

  nrw::DestruirSQL(curEstab);
}

}  // namespace state_guide_b
