// Whole runs of the withholding review through the host: which records are printed, in which order
// and with which values, the three blocks, page fitting, the closing messages and failures.
#include <algorithm>

#include "review_fixture.h"

namespace {

using review_test::Declarante;
using review_test::Execucao;
using review_test::Inserir;
using review_test::Mes;
using review_test::Registro;

class WithholdingReviewRun : public review_test::ReviewDatabase {
 protected:
  //! CPF/CNPJ of each beneficiary heading, with its retention code, in print order.
  static std::vector<std::string> Cabecalhos(const Execucao& e) {
    std::vector<std::string> out;
    for (const review_test::Printed& i : e.ModulePrints()) {
      if (i.section == 9) out.push_back(i.Var("pf2") + "/" + i.Var("pf1"));
    }
    return out;
  }
  //! Prints after the taxable block of the (only) record, as "section|vars...".
  static std::vector<std::string> DepoisTributaveis(const Execucao& e) {
    std::vector<std::string> out;
    const auto& p = e.ModulePrints();
    const auto last10 = std::find_if(p.rbegin(), p.rend(), [](auto& i) { return i.section == 10; });
    for (auto it = last10.base() + 1; it < p.end(); ++it) {
      std::string linha = std::to_string(it->section);
      if (it->section == 13) linha += "|" + it->Var("R1");
      if (it->section == 15 || it->section == 16) {
        for (const char* v : {"pmes", "R1", "R5", "R6", "R8"}) linha += "|" + it->Var(v);
      }
      if (it->section == 18 || it->section == 19) {
        for (const char* v : {"pmes", "R1", "R2", "R8"}) linha += "|" + it->Var(v);
      }
      if (it->section == 20 || it->section == 21) {
        for (const char* v : {"R1", "R2", "R3", "R4"}) linha += "|" + it->Var(v);
      }
      out.push_back(linha);
    }
    return out;
  }
};

TEST_F(WithholdingReviewRun, InclusionRule) {
  struct Case {
    const char* name;
    std::vector<Registro> registros;
    std::string extra_sql;
    std::vector<nrw::ParamSetting> params;
    std::vector<std::string> impressos;
  };
  const Case cases[] = {
      {"tax withheld on the thirteenth salary counts",
       {{1, "111.111.111-11", "Ana", 561, 2, 1000, 0},
        {1, "222.222.222-22", "Bia", 561, 2, 1000, 0}},
       Mes("111.111.111-11", 13, "VALORRENDIMENTO, VALORRETIDO", "500, 50"),
       {{"pOpIrrfTerc", "2"}},
       {"111.111.111-11/561"}},
      {"exempt amount reaches the controller",
       {{1, "111.111.111-11", "Ana", 561, 2, 1000, 0, "LUCRODIVID1996 = 70000"},
        {1, "222.222.222-22", "Bia", 561, 2, 1000, 0}},
       "INSERT INTO RENDIMENTOANUAL VALUES ('2023-01-01', 28559.70, 60000);",
       {{"pOpIrrfTerc", "3"}},
       {"111.111.111-11/561"}},
      {"the first sums row of a CPF judges all its records",
       {{1, "111.111.111-11", "Ana", 561, 1, 1000, 0},
        {1, "111.111.111-11", "Ana", 588, 2, 1000, 30},
        {1, "222.222.222-22", "Bia", 561, 2, 1000, 10}},
       "",
       {{"pOpIrrfTerc", "2"}},
       {"222.222.222-22/561"}},
      {"summed income of exactly -1 is still printed",
       {{1, "111.111.111-11", "Ana", 561, 2, -1, 0}},
       "",
       {},
       {"111.111.111-11/561"}},
      {"each retention code is a record of its own",
       {{1, "111.111.111-11", "Ana", 561, 2}, {1, "111.111.111-11", "Ana", 588, 2}},
       "",
       {},
       {"111.111.111-11/561", "111.111.111-11/588"}},
  };
  for (const Case& c : cases) {
    Dados(
        "DELETE FROM DIRFREG2; DELETE FROM DIRFREGBENEFICIARIO; DELETE FROM DIRFREG2DET; "
        "DELETE FROM RENDIMENTOANUAL; DELETE FROM DIRFREG1; DELETE FROM EMPRESA;" +
        Declarante(1) + c.extra_sql);
    for (const Registro& r : c.registros) Dados(Inserir(r));
    const Execucao e = Rodar(c.params);
    ASSERT_TRUE(e.result.ok) << c.name << ": " << e.result.error;
    EXPECT_EQ(Cabecalhos(e), c.impressos) << c.name;
  }
}

TEST_F(WithholdingReviewRun, OrderAndFilters) {
  Dados(Declarante(1) +
        "INSERT INTO FUNCPESSOA (CODIGOFUNCPESSOA, NOMEFUNC, CPFFUNC) VALUES (1, 'E1', "
        "'100.000.000-01'), (2, 'E2', '100.000.000-02'),"
        " (3, 'E3', '100.000.000-03');"
        "INSERT INTO FUNCCONTRATO (CODIGOEMPRESA, CODIGOFUNCCONTR, CODIGOFUNCPESSOA, DATAADM) "
        "VALUES (1, 1, 1, '2020-01-01'), (1, 2, 2, '2020-01-01'), (1, 3, 3, '2020-01-01');"
        // E3 moves to establishment 1 only after the base year.
        "INSERT INTO FUNCLOCAL VALUES (1, 1, '2020-01-01', 1), (1, 2, '2020-01-01', 2),"
        " (1, 3, '2020-01-01', 2), (1, 3, '2024-02-01', 1);");
  for (const Registro& r : {Registro{1, "100.000.000-01", "Zélia", 561, 1},
                            Registro{1, "100.000.000-02", "Bruno", 561, 1},
                            Registro{1, "100.000.000-03", "Carla", 561, 1},
                            Registro{1, "200.000.000-01", "Abel", 561, 2}}) {
    Dados(Inserir(r));
  }
  struct Case {
    const char* name;
    std::vector<nrw::ParamSetting> params;
    std::vector<std::string> cpfs;
  };
  const Case cases[] = {
      {"defaults: every beneficiary by CPF",
       {},
       {"100.000.000-01", "100.000.000-02", "100.000.000-03", "200.000.000-01"}},
      {"order 2 is by name",
       {{"pOrdem", "2"}},
       {"200.000.000-01", "100.000.000-02", "100.000.000-03", "100.000.000-01"}},
      {"establishment restricts employees only",
       {{"pFilial", "1"}},
       {"100.000.000-01", "200.000.000-01"}},
      {"blank establishment is every one",
       {{"pFilial", "   "}},
       {"100.000.000-01", "100.000.000-02", "100.000.000-03", "200.000.000-01"}},
      {"one beneficiary", {{"pFuncionarios", "100.000.000-02"}}, {"100.000.000-02"}},
      {"beneficiaries and establishment",
       {{"pFilial", "2"}, {"pFuncionarios", "100.000.000-01;200.000.000-01"}},
       {"200.000.000-01"}},
  };
  for (const Case& c : cases) {
    const Execucao e = Rodar(c.params);
    ASSERT_TRUE(e.result.ok) << c.name << ": " << e.result.error;
    EXPECT_EQ(e.Values(9, "pf2"), c.cpfs) << c.name;
  }
  const Execucao unparsable = Rodar({{"pOrdem", "x"}});
  EXPECT_TRUE(unparsable.result.usage_error) << "an order that is not a number is refused";
  EXPECT_EQ(unparsable.result.error, "Parâmetro pOrdem: 'x' não é um número inteiro.");
}

TEST_F(WithholdingReviewRun, TaxableBlockPrintsEveryMonthAndTheThirteenthAfterTheTotals) {
  Dados(Declarante(1) + Inserir({1, "111.111.111-11", "Ana"}) +
        Mes("111.111.111-11", 3,
            "VALORRENDIMENTO, VALORDEPENDENTE, VALORPENSAOALIM, VALORPREVOFICIAL, "
            "VALORPREVPRIVADA, VALORRETIDO, DESCONTOSIMPLIFICADO",
            "1000.5, 10, 20, 30, 40, 50, 60") +
        Mes("111.111.111-11", 13, "VALORRENDIMENTO, VALORRETIDO", "2000, 300"));
  const Execucao e = Rodar({});
  ASSERT_TRUE(e.result.ok) << e.result.error;

  std::vector<int> esperado = {8, 9, 17, 13, 12, 14};
  esperado.insert(esperado.end(), 12, 10);
  esperado.insert(esperado.end(), {11, 10, 14});
  EXPECT_EQ(e.Sections(), esperado);
  EXPECT_EQ(e.Values(10, "pmes"),
            (std::vector<std::string>{"Jan", "Fev", "Mar", "Abr", "Mai", "Jun", "Jul", "Ago", "Set",
                                      "Out", "Nov", "Dez", "13º"}));
  const auto& linhas = e.ModulePrints();
  const review_test::Printed& marco = linhas[8];
  EXPECT_EQ(marco.Var("pmes"), "Mar");
  std::vector<std::string> colunas;
  for (int i = 1; i <= 7; ++i) colunas.push_back(marco.Var("R" + std::to_string(i)));
  EXPECT_EQ(colunas, (std::vector<std::string>{"1.000,50", "10,00", "20,00", "30,00", "40,00",
                                               "50,00", "60,00"}));
  EXPECT_EQ(linhas[6].Var("R1"), "0,00") << "a month without data";
  const review_test::Printed& totais = linhas[18];
  EXPECT_EQ(totais.Var("pTot1"), "1.000,50") << "the thirteenth is not in the totals";
  EXPECT_EQ(totais.Var("pTot6"), "50,00");
  EXPECT_EQ(linhas[19].Var("R1"), "2.000,00");
  EXPECT_EQ(linhas[19].Var("R6"), "300,00");
  EXPECT_EQ(linhas[19].Var("R2"), "0,00");
  EXPECT_EQ(linhas[0].Var("pControleCustoEmpresa"), "1");
  EXPECT_EQ(linhas[0].Var("pc6"), "(11)");
  EXPECT_EQ(linhas[0].Var("pAnoBase1"), "2023");
  EXPECT_EQ(linhas[0].Var("pDescrTipoDeclaracao"), "Original");
}

TEST_F(WithholdingReviewRun, ExemptBlock) {
  const std::string kTitulo = "13|Rendimentos Isentos";
  const std::string kCabecalho = "16|Mês|Diárias|Bolsa de Médico|Lucro/Dived|Outros";
  struct Case {
    const char* name;
    std::string lucro;
    std::string meses;
    std::vector<std::string> esperado;
  };
  const Case cases[] = {
      {"no rows and 0.004 of dividends print nothing", "0.004", "", {}},
      {"no rows and 0.01 of dividends: heading and total",
       "0.01",
       "",
       {"17", kTitulo, kCabecalho, "14", "16|Total|0,00|0,00|0,01|0,00"}},
      {"the thirteenth comes after the total, with zeros in the last columns",
       "0",
       Mes("111.111.111-11", 2, "DIARIAS, VALORMEDICORESIDENTE", "5, 1") +
           Mes("111.111.111-11", 13, "DIARIAS", "7"),
       {"17", kTitulo, kCabecalho, "14", "15|Fev|5,00|1,00||", "14", "16|Total|5,00|1,00|0,00|0,00",
        "15|13º|7,00|0,00|0,00|0,00"}},
      {"rows of the thirteenth alone still print the heading",
       "0",
       Mes("111.111.111-11", 13, "DIARIAS", "7"),
       {"17", kTitulo, kCabecalho, "14", "16|Total|0,00|0,00|0,00|0,00",
        "15|13º|7,00|0,00|0,00|0,00"}},
  };
  for (const Case& c : cases) {
    Dados(
        "DELETE FROM DIRFREG2; DELETE FROM DIRFREGBENEFICIARIO; DELETE FROM DIRFREG2DET; "
        "DELETE FROM DIRFREG1; DELETE FROM EMPRESA;" +
        Declarante(1) +
        Inserir({1, "111.111.111-11", "Ana", 561, 2, 1000, 100, "LUCRODIVID1996 = " + c.lucro}) +
        c.meses);
    const Execucao e = Rodar({}, {}, PaginaLonga());
    ASSERT_TRUE(e.result.ok) << c.name << ": " << e.result.error;
    EXPECT_EQ(DepoisTributaveis(e), c.esperado) << c.name;
  }
}

TEST_F(WithholdingReviewRun, TwoLawsuitsEachWithTheirMonthsAndTotal) {
  const std::string chave = "1, '2023-01-01', 1, '111.111.111-11', ";
  Dados(Declarante(1) + Inserir({1, "111.111.111-11", "Ana"}) +
        "INSERT INTO DIRFRENDRECEBACUM (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, "
        "INSCRFEDERALBENEF, SEQ, NATUREZARRA, NUMPROCESSORRA) VALUES (" +
        chave + "1, 'Trabalhista', '0001'), (" + chave + "2, 'Previdenciária', '0002');");
  const std::string det =
      "INSERT INTO DIRFRENDRECEBACUMDET (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, "
      "INSCRFEDERALBENEF, SEQ, MES, RENDTRIBUTAVEL, QTDEMESES) VALUES ";
  Dados(det + "(" + chave + "1, 1, 100, 1.5), (" + chave + "1, 2, 200, 2), (" + chave +
        "2, 5, 300, 1), (" + chave + "2, 13, 999, 1);");
  const Execucao e = Rodar({}, {}, PaginaLonga());
  ASSERT_TRUE(e.result.ok) << e.result.error;
  const std::vector<std::string> esperado = {
      "17", "13|Rendimentos Recebidos Acumuladamente - RRA - Declarante",
      // First lawsuit.
      "14", "20|Natureza do processo|Número do processo|CPF Advogado|Nome Advogado",
      "21|Trabalhista|0001||", "14",
      "19|Mês|Rend. Tributável|Parc Isenta Aposent. > 65 anos|Quant. Meses",
      "18|Jan|100,00|0,00|1,50", "18|Fev|200,00|0,00|2,00", "19|Total|300,00|0,00|3,50",
      // Second lawsuit; its thirteenth month is not read.
      "14", "20|Natureza do processo|Número do processo|CPF Advogado|Nome Advogado",
      "21|Previdenciária|0002||", "14",
      "19|Mês|Rend. Tributável|Parc Isenta Aposent. > 65 anos|Quant. Meses",
      "18|Mai|300,00|0,00|1,00", "19|Total|300,00|0,00|1,00"};
  EXPECT_EQ(DepoisTributaveis(e), esperado);
}

TEST_F(WithholdingReviewRun, BlocksThatDoNotFitStartAPageUnderARepeatedHeading) {
  std::string sql = Declarante(1);
  for (int b = 1; b <= 4; ++b) {
    const std::string cpf = "111.111.111-1" + std::to_string(b);
    sql += Inserir({1, cpf, "Beneficiário " + std::to_string(b)});
    for (int mes = 1; mes <= 12; ++mes) sql += Mes(cpf, mes, "DIARIAS", "10");
  }
  Dados(sql);
  // A short page: the exempt block never fits below the taxable one.
  const Execucao e =
      Rodar({}, {}, Variante([](nlohmann::json& layout) { layout["page"]["height_mm"] = 150; }));
  ASSERT_TRUE(e.result.ok) << e.result.error;

  // Every block title stands on a page where its beneficiary's heading was printed before it.
  std::string cabecalho;
  int pagina_cabecalho = 0;
  int titulos = 0;
  for (const review_test::Printed& i : e.ModulePrints()) {
    if (i.section == 9) {
      cabecalho = i.Var("pf2");
      pagina_cabecalho = i.page;
    }
    if (i.section == 13) {
      ++titulos;
      EXPECT_EQ(i.page, pagina_cabecalho) << i.Var("R1") << " of " << cabecalho;
    }
  }
  EXPECT_EQ(titulos, 8);
  EXPECT_GT(e.Values(9, "pf2").size(), 4u) << "some heading was repeated";
  // A page end asked by the module is always followed by the beneficiary heading.
  for (size_t k = 0; k + 1 < e.Events().size(); ++k) {
    if (e.Events()[k]["ev"] != "pageend") continue;
    size_t next = k + 1;
    while (e.Events()[next]["ev"] != "print" || e.Events()[next].contains("auto")) ++next;
    EXPECT_EQ(e.Events()[next]["section"], 9);
  }
}

TEST_F(WithholdingReviewRun, ClosingMessages) {
  const std::string kTitulo =
      "Empresas não Geradas por não atenderem as regras para (Diretores, Funcionários, Terceiros "
      "e Outras Empresas)";
  struct Case {
    const char* name;
    std::vector<nrw::ParamSetting> params;
    std::vector<std::pair<int, std::string>> mensagens;
  };
  const Case cases[] = {
      {"every company printed", {{"pEmpresas", "1;3"}}, {}},
      {"a company without records is listed under the title, named",
       {},
       {{5, kTitulo}, {5, "Empresa 2 - Empresa 2"}}},
      {"no declarant",
       {{"pAnoBase", "01/01/2020"}},
       {{0, "Não há dados para o filtro informado!"}}},
      {"no record passes the rules",
       {{"pOpIrrfTerc", "4"}},
       {{0,
         "Atenção! Existem dados para o filtro, mas nenhum registro atendeu as regras para "
         "(Diretores, Funcionários, Terceiros e Outras Empresas)"}}},
  };
  Dados(Declarante(1) + Declarante(2) + Declarante(3) + Inserir({1, "111.111.111-11", "Ana"}) +
        Inserir({3, "222.222.222-22", "Bia"}));
  for (const Case& c : cases) {
    const Execucao e = Rodar(c.params);
    ASSERT_TRUE(e.result.ok) << c.name << ": " << e.result.error;
    std::vector<std::pair<int, std::string>> mensagens;
    for (const nrw::MessageEntry& m : e.result.messages.entries)
      mensagens.emplace_back(m.kind, nrw::MessageLine(m));
    EXPECT_EQ(mensagens, c.mensagens) << c.name;
    EXPECT_EQ(e.result.messages.captions, c.mensagens.empty()
                                              ? std::vector<std::string>{}
                                              : std::vector<std::string>{"Mensagens"})
        << c.name;
  }
}

}  // namespace
