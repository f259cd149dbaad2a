// What one statement shows: its title, the exempt income line, the complementary information
// blocks, the income received cumulatively, the page-fit question and the running head.
#include <gtest/gtest.h>

#include <tuple>

#include "statement_fixture.h"

namespace statement_test {
namespace {

class Informe : public Banco {
 protected:
  Informe() { Dados(Empresa(1)); }
};

//! The lines among a beneficiary's prints that a predicate keeps.
template <class Keep>
std::vector<std::string> Filtrar(const std::vector<std::string>& linhas, Keep keep) {
  std::vector<std::string> kept;
  for (const std::string& linha : linhas) {
    if (keep(linha)) kept.push_back(linha);
  }
  return kept;
}

TEST_F(Informe, TitleIsTheDescriptionOfTheCodeWithTheHighestAmount) {
  struct Case {
    const char* nome;
    std::vector<Registro> registros;
    std::string titulo;
  };
  const std::vector<Case> cases = {
      {"A maior depois",
       {Codigo(561, 100), Codigo(588, 200)},
       "0588 – Rendimentos do Trabalho Sem Vínculo Empregatício"},
      {"B empate fica o primeiro",
       {Codigo(561, 150), Codigo(588, 150)},
       "0561 – Rendimentos do Trabalho Assalariado"},
      {"C outros somam",
       {Codigo(561, 100, 0, "VALOROUTROS = 100"), Codigo(588, 150)},
       "0561 – Rendimentos do Trabalho Assalariado"},
      {"D outros não somam na PLR",
       {Codigo(561, 200), Codigo(3562, 150, 0, "VALOROUTROS = 100")},
       "0561 – Rendimentos do Trabalho Assalariado"},
      {"E PLR maior",
       {Codigo(561, 100), Codigo(3562, 150)},
       "3562 – Participação nos Lucros ou Resultados (PLR)"},
      {"F código desconhecido",
       {Codigo(561, 100), Codigo(9999, 300)},
       "Rendimentos do Trabalho Assalariado"},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    Com("100.000.000-0" + std::to_string(i), cases[i].nome, cases[i].registros);
  }
  const Execucao run = Rodar({});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  for (const Case& c : cases) {
    const std::vector<Printed> prints = De(run, c.nome);
    ASSERT_FALSE(prints.empty()) << c.nome;
    EXPECT_EQ(prints.front().Var("pTitulo"), c.titulo) << c.nome;
  }
}

TEST_F(Informe, OtherExemptIncomeLineAndItsDetail) {
  const auto scp = [](const std::string& cpf) {
    return "INSERT INTO DIRFSCPSOCIO VALUES (1, '2023-01-01', '22.333.444/0001-55', " + Texto(cpf) +
           ", 'Sócio');"
           "INSERT INTO DIRFSCPSOCIODETALHE VALUES (1, '2023-01-01', '22.333.444/0001-55', " +
           Texto(cpf) + ", 1, 150), (1, '2023-01-01', '22.333.444/0001-55', " + Texto(cpf) +
           ", 2, 100);";
  };
  struct Case {
    const char* nome;
    std::string extra;
    std::string dados;
    std::string descricao;
    std::string valor;
    std::vector<std::string> detalhe;
  };
  const std::string heading = "13 Rendimentos Isentos e Não Tributáveis (Campo 07)";
  const std::vector<Case> cases = {
      {"A um item",
       "DESCROUTRENDISENTO = 'Bolsa auxílio', OUTROSRENDISENTO = 300",
       "",
       "Bolsa auxílio ",
       "300,00",
       {}},
      {"B dois itens",
       "DESCROUTRENDISENTO = 'Bolsa auxílio', OUTROSRENDISENTO = 300",
       Mes("200.000.000-01", 561, 2, "VALORMEDICORESIDENTE", "200"),
       "Diversos como detalhado abaixo",
       "500,00",
       {heading, "12      Bolsa auxílio |R$ 300,00",
        "12      Bolsa de estudo recebida por médico-residente |R$ 200,00"}},
      {"C uma linha de detalhe",
       "DESCROUTRENDISENTO = 'Não listado', OUTROSRENDISENTO = 120",
       "INSERT INTO INFORMERENDIMENTOISENTO VALUES (1, '2023-01-01', 1, '200.000.000-02', 561, 1, "
       "'Auxílio creche', 120);",
       "Diversos como detalhado abaixo",
       "120,00",
       {}},
      {"D abono e copa",
       "",
       Mes("200.000.000-03", 561, 2, "ABONOPECUNIARIO, VALORVOLUNTARIOCOPA", "80, 40"),
       "Diversos como detalhado abaixo",
       "120,00",
       {heading, "12      Abono Pecuniário |R$ 80,00",
        "12      Benefícios indiretos e reembolso de despesas - voluntário da copa |R$ 40,00"}},
      {"E dividendos de SCP",
       "OUTROSRENDISENTO = 100",
       scp("200.000.000-04"),
       "Dividendos pagos ao sócio de SCP",
       "350,00",
       {}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    Com("200.000.000-0" + std::to_string(i), cases[i].nome, {Codigo(561, 1000, 0, cases[i].extra)});
    Dados(cases[i].dados);
  }
  const Execucao run = Rodar({});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  for (const Case& c : cases) {
    const std::vector<Printed> prints = De(run, c.nome);
    ASSERT_FALSE(prints.empty()) << c.nome;
    EXPECT_EQ(prints.front().Var("RDescrOutRendIsento"), c.descricao) << c.nome;
    EXPECT_EQ(prints.front().Var("RValorOutRendIsento"), c.valor) << c.nome;
    EXPECT_EQ(Filtrar(Linhas(run, c.nome),
                      [&](const std::string& l) { return l == heading || l.rfind("12 ", 0) == 0; }),
              c.detalhe)
        << c.nome;
  }

  const std::vector<std::string> socio = Linhas(run, "E dividendos de SCP");
  const auto demais = std::find(socio.begin(), socio.end(), "13 Demais Informações");
  ASSERT_NE(demais, socio.end());
  EXPECT_EQ(*(demais + 1), "18") << "the partner sentence follows its heading";
  EXPECT_EQ(run.Values(18, "R0"),
            std::vector<std::string>{
                "O valor de R$ 250,00, referente a lucros e dividendos recebidos pelo Sócio da "
                "Sociedade em Conta de Participação, CNPJ n° 22.333.444/0001-55, está contido no "
                "montante informado na linha 7 - OUTROS - do Quadro 4. Rendimentos isentos e não "
                "tributáveis."});
}

TEST_F(Informe, CodeListAndProfitSharingSentence) {
  const std::string frase =
      "O total informado na linha 03 do Quadro 5 já inclui o valor total pago a título de PLR "
      "correspondente a R$ ";
  const std::string cabecalho =
      "13 Os rendimentos seguintes estão informados na linha 01, quadro 3 e/ou linha 03, quadro "
      "05:";
  struct Case {
    const char* nome;
    std::vector<Registro> registros;
    std::vector<std::string> linhas;
  };
  const std::vector<Case> cases = {
      {"A só PLR", {Codigo(3562, 1000, 100)}, {"13 " + frase + "850,00."}},
      {"B PLR e salário",
       {Codigo(561, 500), Codigo(3562, 1000, 100)},
       {cabecalho, "12      0561 – Rendimentos do Trabalho Assalariado|R$ 500,00",
        "12      3562 – Participação nos Lucros ou Resultados (PLR)|R$ 1.000,00", "13  ",
        "13 " + frase + "900,00"}},
      {"C dois códigos sem PLR",
       {Codigo(561, 500), Codigo(588, 1234.5)},
       {cabecalho, "12      0561 – Rendimentos do Trabalho Assalariado|R$ 500,00",
        "12      0588 – Rendimentos do Trabalho Sem Vínculo Empregatício|R$ 1.234,50"}},
      {"D um código", {Codigo(561, 500)}, {}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    Com("300.000.000-0" + std::to_string(i), cases[i].nome, cases[i].registros);
  }
  // Alimony of the PLR month lowers the net amount.
  Dados(Mes("300.000.000-00", 3562, 2, "VALORPENSAOALIM", "50"));
  const Execucao run = Rodar({});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  for (const Case& c : cases) {
    EXPECT_EQ(Filtrar(Linhas(run, c.nome),
                      [](const std::string& l) {
                        return l.rfind("12 ", 0) == 0 || l.rfind("13 ", 0) == 0;
                      }),
              c.linhas)
        << c.nome;
  }
}

TEST_F(Informe, OtherInformationOfTheYearCapitalAndQuotas) {
  Com("900.000.000-01", "A sócio", {Codigo(561, 1000)});
  Com("900.000.000-02", "B terceiro", {Codigo(588, 1000)});
  Dados(
      "INSERT INTO SOCIO (CODIGOEMPRESA, CODIGOSOCIO, NOMESOCIO, INSCRFEDERAL, QUANTCOTAS, "
      "DATAFIMSOCIO) VALUES (1, 2, 'Sócio Dois', '900.000.000-01', 100, '2030-12-31');"
      "INSERT INTO CONTRATOSOCIAL VALUES (1, '2023-04-01');"
      "INSERT INTO CONTRSOCIALSOCIO VALUES (1, '2023-04-01', 2, 150);"
      "INSERT INTO TERCEIRO VALUES (1, 'Terceiro', '900.000.000-02');"
      "INSERT INTO INFORMERENDIMENTOOUTREND (CODIGOEMPRESA, CODIGOINFOUTREND, CODIGOIMPOSTO, "
      "CAMPOINFORME, DESCRICAORENDIMENTO, DATAPGTO, VALORRENDIMENTO, CODIGOTERC) VALUES "
      "(1, 1, 588, 5, 'Aluguel de sala', '2023-05-10', 1000, 1),"
      "(1, 2, 588, 5, 'Aluguel de sala', '2023-08-10', 500, 1),"
      "(1, 3, 588, 3, NULL, '2023-06-01', 99, 1),"
      "(1, 4, 588, 5, 'Ano anterior', '2022-12-10', 700, 1);");
  const auto demais = [](const Rastro& run, const std::string& nome) {
    return Filtrar(Linhas(run, nome), [](const std::string& l) { return l.rfind("13 ", 0) == 0; });
  };
  const std::string capital = "13      Alteração Contratual, Valor Capital R$ 1.500,00";
  const std::string cotas = "13      Sócio com 100 cotas, no valor total de R$ 1.000,00.";

  const Execucao com_cotas = Rodar({});
  ASSERT_TRUE(com_cotas.result.ok) << com_cotas.result.error;
  EXPECT_EQ(demais(com_cotas, "A sócio"),
            (std::vector<std::string>{"13 Demais Informações", capital, cotas}));
  EXPECT_EQ(
      demais(com_cotas, "B terceiro"),
      (std::vector<std::string>{"13 Demais Informações", "13      Aluguel de sala R$ 1.500,00"}));
  EXPECT_EQ(Linhas(com_cotas, "B terceiro").back(), "14");
  const std::vector<int> secoes = com_cotas.Sections();
  EXPECT_EQ(std::count(secoes.begin(), secoes.end(), 15), 0)
      << "other information is complementary information";

  const Execucao sem_cotas = Rodar({{"pExibeCotaCapital", "0"}});
  ASSERT_TRUE(sem_cotas.result.ok) << sem_cotas.result.error;
  EXPECT_EQ(demais(sem_cotas, "A sócio"),
            (std::vector<std::string>{"13 Demais Informações", capital}));
}

TEST_F(Informe, HealthPlansOfTheHolderAndTheDependents) {
  Com("400.000.000-00", "Plano", {Codigo(561, 1000)});
  Dados(
      "INSERT INTO DIRFPLANOSAUDE VALUES "
      "(1, '2023-01-01', 1, '400.000.000-00', '11.111.111/0001-11', 'Saúde Alfa', 1200, 100, 50),"
      "(1, '2023-01-01', 1, '400.000.000-00', '22.222.222/0001-22', 'Saúde Beta', 80, 0, 0);"
      "INSERT INTO DIRFPLANOSAUDEDEPEND VALUES "
      "(1, '2023-01-01', 1, '400.000.000-00', '11.111.111/0001-11', 1, '123.456.789-09', 'Ana', "
      "300, 10, 0),"
      "(1, '2023-01-01', 1, '400.000.000-00', '11.111.111/0001-11', 2, 'não informado', 'Bruno', "
      "200, 0, 5);");
  const Execucao run = Rodar({});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  const std::string cabecalho_reembolso =
      "16 CPF/CNPJ|Nome/Nome Empresarial||Valor ano Calendário|Valor anos Anteriores";
  const std::vector<std::string> expected = {
      "8",
      "9",
      "10",
      "11",
      "13 Pagamentos a planos de saúde:",
      "17",
      "13 Operadora: 11.111.111/0001-11 - Saúde Alfa",
      "13 Valor pago no ano referente ao titular: R$ 1.200,00",
      "13 Valor pago no ano referente aos dependentes:",
      "16 CPF|Nome|||Valor",
      "16 123.456.789-09|Ana|||300,00",
      "16 |Bruno|||200,00",
      "17",
      "13 Reembolsos do plano de saúde referentes ao titular",
      cabecalho_reembolso,
      "16 11.111.111/0001-11|Saúde Alfa||100,00|50,00",
      "17",
      "13 Reembolsos do plano de saúde referentes aos dependentes",
      "13 Dependente: 123.456.789-09 - Ana",
      cabecalho_reembolso,
      "16 11.111.111/0001-11|Saúde Alfa||10,00|0,00",
      "13 Dependente: não informado - Bruno",
      cabecalho_reembolso,
      "16 11.111.111/0001-11|Saúde Alfa||0,00|5,00",
      "13 Operadora: 22.222.222/0001-22 - Saúde Beta",
      "13 Valor pago no ano referente ao titular: R$ 80,00",
      "11",
      "14",
  };
  EXPECT_EQ(Linhas(run, "Plano"), expected);
}

TEST_F(Informe, AlimonyTablesOfTheEmployeeAndOfTheCumulativeIncome) {
  Com("500.000.000-00", "Pensão", {Codigo(561, 1000)});
  Dados(
      "INSERT INTO INFORMERENDIMENTOFUNC VALUES "
      "(1, '2023-01-01', 1, '500.000.000-00', 1, '123.456.789-09', 'Filha', 1000, 100),"
      "(1, '2023-01-01', 1, '500.000.000-00', 2, '', 'Filho', 500, 0);"
      "INSERT INTO DIRFRENDRECEBACUMDEPEND VALUES "
      "(1, '2023-01-01', 1, '500.000.000-00', 1, 1, '---.---', 'Ex-cônjuge', 700, 70);");
  const Execucao run = Rodar({});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  const std::vector<std::string> expected = {
      "8",
      "9",
      "10",
      "11",
      "17",
      "13 Beneficiários de pensão alimentícia:",
      "16 CPF|Nome|Normal|13º Salário|",
      "16 123.456.789-09|Filha|1.000,00|100,00|",
      "16 |Filho|500,00|0,00|",
      "17",
      "13 Beneficiários de pensão alimentícia:",
      "16 CPF|Nome|Normal|13º Salário|",
      "16 |Ex-cônjuge|700,00|70,00|",
      "11",
      "14",
  };
  EXPECT_EQ(Linhas(run, "Pensão"), expected);
}

class Acumulados : public Informe {
 protected:
  Acumulados() {
    // Names in print order: the statement with records comes first, so that the one without
    // must clear what it left behind.
    Com("600.000.000-01", "A com dois processos", {Codigo(561, 1000)});
    Com("600.000.000-02", "B sem processo", {Codigo(561, 1000)});
    Dados(
        "INSERT INTO DIRFRENDRECEBACUM (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, "
        "INSCRFEDERALBENEF, SEQ, NATUREZARRA, NUMPROCESSORRA, QTDEMESES, RENDTRIBUTAVEL, "
        "DESPESAACAOJUD, PREVIDENCIAOFICIAL, PENSAOALIMENTICIA, IMPOSTORETIDO, "
        "PARCAPOSENTADOACIMASESSENTAANO, RENDISENTOMOLESTIA) VALUES "
        "(1, '2023-01-01', 1, '600.000.000-01', 2, 'Aposentadoria', '0002/2020', 12.5, 5000, "
        "300, 550, 100, 250.5, 1000, 20),"
        "(1, '2023-01-01', 1, '600.000.000-01', 1, 'Pensão', '0001/2019', 3, 1234.56, 0, 0, 0, "
        "0, 0, 0);");
  }
};

//! R0 to R66 at every print of section 9, in one line each.
std::vector<std::string> Linhas9(const Rastro& run, const std::string& nome) {
  std::vector<std::string> linhas;
  for (const Printed& i : De(run, nome)) {
    if (i.section != 9) continue;
    std::string linha = i.Var("R0");
    for (const char* name : {"R1", "R2", "R3", "R61", "R62", "R63", "R64", "R65", "R66"}) {
      linha += "|" + i.Var(name);
    }
    linhas.push_back(linha);
  }
  return linhas;
}

TEST_F(Acumulados, OneLinePerRecordAndAnEmptyOneWithoutRecords) {
  const Execucao run = Rodar({});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_EQ(Linhas9(run, "A com dois processos"),
            (std::vector<std::string>{
                "1|Pensão|3,0|0001/2019|1.234,56|0,00|0,00|0,00|0,00|0,00",
                "2|Aposentadoria|12,5|0002/2020|5.000,00|300,00|550,00|100,00|250,50|1.020,00"}));
  EXPECT_EQ(Linhas9(run, "B sem processo"), std::vector<std::string>{"1|||||||||"});
}

TEST_F(Acumulados, EveryCopyPrintsItsOwnLines) {
  const Execucao run = Rodar({{"pCopias", "2"}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_EQ(run.Values(9, "R0"), (std::vector<std::string>{"1", "2", "1", "2", "1", "1"}));
  EXPECT_EQ(Linhas9(run, "B sem processo"), (std::vector<std::string>{"1|||||||||", "1|||||||||"}));
}

// One beneficiary with a little of everything: two codes, other information, exempt detail rows
// and a bonus, medical expenses, alimony of both kinds and a health plan with two dependents.
class PaginaCheia : public Informe {
 protected:
  static constexpr const char* kCpf = "700.000.000-00";
  PaginaCheia() {
    Com(kCpf, "Carla Cheia",
        {Codigo(561, 5000, 0, "OUTRASINFORMACOES = 'Obs A'"), Codigo(588, 800)});
    const std::string k = "1, '2023-01-01', 1, '700.000.000-00'";
    Dados(Mes(kCpf, 588, 2, "ABONOPECUNIARIO", "80") +
          "INSERT INTO INFORMERENDIMENTOISENTO VALUES (" + k +
          ", 561, 1, 'Auxílio creche', 120), (" + k + ", 561, 2, 'Auxílio escola', 60);" +
          "INSERT INTO INFORMERENDIMENTOEVENTO VALUES (" + k + ", 561, 1, 'Clínica', 100), (" + k +
          ", 561, 2, 'Dentista', 200), (" + k + ", 561, 3, 'Hospital', 300);" +
          "INSERT INTO INFORMERENDIMENTOFUNC VALUES (" + k +
          ", 1, '123.456.789-09', 'Filha', 10, 1), (" + k + ", 2, '', 'Filho', 20, 2);" +
          "INSERT INTO DIRFRENDRECEBACUMDEPEND VALUES (" + k + ", 1, 1, '', 'Dep A', 30, 3), (" +
          k + ", 1, 2, '', 'Dep B', 40, 4);" + "INSERT INTO DIRFPLANOSAUDE VALUES (" + k +
          ", '11.111.111/0001-11', 'Saúde', 90, 0, 0);" +
          "INSERT INTO DIRFPLANOSAUDEDEPEND VALUES (" + k +
          ", '11.111.111/0001-11', 1, '1', 'Ana', 5, 0, 0), (" + k +
          ", '11.111.111/0001-11', 2, '2', 'Bia', 6, 0, 0);");
  }
};

TEST_F(PaginaCheia, ComplementaryInformationAsksForTheLinesItWillPrint) {
  const Execucao run = Rodar({});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  const std::vector<nlohmann::json> asks = run.Events("canprint");
  ASSERT_EQ(asks.size(), 2u) << "section 9, then the complementary information";
  EXPECT_EQ(asks[0]["pairs"], nlohmann::json::parse("[[9, 1]]"));
  // m12: 3 expenses + 2 exempt rows + 1 bonus + 2 codes + 1 listed exempt item; m13: 2 lines of
  // other information + their heading + 1 operator + alimony of both kinds, expenses, a second
  // cumulative dependent and the exempt heading; m16: 2 plan dependents + 2 + 1 + 2 + 1.
  EXPECT_EQ(asks[1]["pairs"],
            nlohmann::json::parse("[[12, 9], [13, 9], [16, 8], [10, 1], [11, 3], [14, 1]]"));
  EXPECT_FALSE(asks[1]["fits"]);
}

TEST_F(PaginaCheia, RunningHeadNamesTheBeneficiaryFromTheSecondPageOfACopy) {
  const Execucao run = Rodar({{"pCopias", "2"}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  struct Heading {
    int page;
    std::string pag;
    std::string nome;
    std::string linha;
  };
  std::vector<Heading> headings;
  for (const Printed& i : run.Prints()) {
    if (i.automatic && i.section == 50) {
      headings.push_back(
          {i.page, i.Var("pPag"), i.Var("pNomeBenef"), i.Var("Linhahorizontal.Enabled")});
    }
  }
  const std::string nome = "Beneficiário:  700.000.000-00 Carla Cheia";
  const std::vector<std::tuple<int, std::string, std::string, std::string>> expected = {
      {1, "1", "", "False"}, {2, "2", nome, "True"}, {3, "1", "", "False"}, {4, "2", nome, "True"}};
  ASSERT_EQ(headings.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const auto& [page, pag, benef, linha] = expected[i];
    EXPECT_EQ(headings[i].page, page) << "heading " << i;
    EXPECT_EQ(headings[i].pag, pag) << "heading " << i;
    EXPECT_EQ(headings[i].nome, benef) << "heading " << i;
    EXPECT_EQ(headings[i].linha, linha) << "heading " << i;
  }

  // The complementary information that does not fit starts the second page of its copy.
  size_t ask = 0;
  while (ask < run.Events().size() &&
         !(run.Events()[ask]["ev"] == "canprint" && run.Events()[ask]["pairs"].size() == 6)) {
    ++ask;
  }
  ASSERT_LT(ask + 1, run.Events().size());
  EXPECT_EQ(run.Events()[ask + 1]["ev"], "pageend");
}

}  // namespace
}  // namespace statement_test
