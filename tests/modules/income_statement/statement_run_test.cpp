// Whole runs of the built module through the host: who is left out, copies, runs with nothing to
// print, a failing statement, the statements of an unrestricted panel and separated parts.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "income_statement_sql.h"
#include "statement_fixture.h"

namespace statement_test {
namespace {

class Execucoes : public Banco {
 protected:
  Execucoes() { Dados(Empresa(1)); }
};

TEST_F(Execucoes, SkipRuleOfTheControllerAndOfThePortalList) {
  Registro t4 = Codigo(561, 1000);
  t4.cpf = "800.000.000-07";
  t4.tipo_informe = 2;
  Registro t5 = t4;
  t5.cpf = "800.000.000-08";
  Dados("INSERT INTO RENDIMENTOANUAL VALUES ('2023-01-01', 28559.70, 40000);" +
        Simples("800.000.000-01", "E1 publicado", 1000) +
        Contrato(1, "800.000.000-01", 1, "2020-01-01", "1") +
        Simples("800.000.000-02", "E2 fora do portal", 1000) +
        Contrato(2, "800.000.000-02", 2, "2019-01-01", "1") +
        Contrato(2, "800.000.000-02", 3, "2022-06-01", "2") +
        Simples("800.000.000-03", "E3 contrato futuro", 1000) +
        Contrato(3, "800.000.000-03", 4, "2021-01-01", "1") +
        Contrato(3, "800.000.000-03", 5, "2024-06-01", "2") +
        Simples("800.000.000-04", "T1 abaixo dos limites", 1000, 0, 2) +
        Simples("800.000.000-05", "T2 acima do limite", 30000, 0, 2) +
        Simples("800.000.000-06", "T3 com imposto", 1000, 10, 2) +
        Beneficiario(t4.cpf, "T4 imposto só no 13") + Inserir(t4) +
        Mes(t4.cpf, 561, 13, "VALORRETIDO", "50") + Beneficiario(t5.cpf, "T5 renda no 13") +
        Inserir(t5) + Mes(t5.cpf, 561, 13, "VALORRENDIMENTO", "30000"));
  const std::vector<std::string> empregados = {"E1 publicado", "E2 fora do portal",
                                               "E3 contrato futuro"};
  const std::vector<std::string> terceiros = {"T1 abaixo dos limites", "T2 acima do limite",
                                              "T3 com imposto", "T4 imposto só no 13",
                                              "T5 renda no 13"};
  const auto todos = [&](std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  struct Case {
    const char* name;
    std::vector<nrw::ParamSetting> params;
    std::vector<std::string> impressos;
  };
  const std::vector<Case> cases = {
      {"defaults: third parties under option 3",
       {},
       todos(empregados,
             {"T2 acima do limite", "T3 com imposto", "T4 imposto só no 13", "T5 renda no 13"})},
      {"option 4 leaves every third party out", {{"pOpIrrfTerc", "4"}}, empregados},
      {"option 2 counts the tax of month 13",
       {{"pOpIrrfTerc", "2"}},
       todos(empregados, {"T3 com imposto", "T4 imposto só no 13"})},
      {"employees under option 4", {{"pOpIrrfFunc", "4"}, {"pOpIrrfTerc", "0"}}, terceiros},
      {"portal list without 2 leaves out the latest contract's 2",
       {{"pUtilizaBrevix", "0; 1"}, {"pOpIrrfTerc", "0"}},
       todos({"E1 publicado", "E3 contrato futuro"}, terceiros)},
      {"empty portal list leaves nobody out",
       {{"pUtilizaBrevix", ""}, {"pOpIrrfTerc", "0"}},
       todos(empregados, terceiros)},
  };
  for (const Case& c : cases) {
    const Execucao run = Rodar(c.params);
    ASSERT_TRUE(run.result.ok) << c.name << ": " << run.result.error;
    EXPECT_EQ(Impressos(run), c.impressos) << c.name;
    std::vector<std::string> every;
    for (const nlohmann::json& e : run.Events("progress")) {
      every.push_back(std::to_string(e["pos"].get<int>()) + "/" +
                      std::to_string(e["total"].get<int>()));
    }
    EXPECT_EQ(every,
              (std::vector<std::string>{"1/8", "2/8", "3/8", "4/8", "5/8", "6/8", "7/8", "8/8"}))
        << c.name << ": every row reports progress, left out or not";
  }
}

TEST_F(Execucoes, CopiesOfEachStatement) {
  Dados(Simples("810.000.000-01", "Ana", 1000) + Simples("810.000.000-02", "Bia", 2000));
  const std::vector<int> via = {8, 9, 10, 11, 15, 11, 14};
  const auto vezes = [&via](int n) {
    std::vector<int> all;
    for (int i = 0; i < n; ++i) all.insert(all.end(), via.begin(), via.end());
    return all;
  };
  struct Case {
    const char* name;
    std::string copias;
    int vias;
  };
  const Case cases[] = {
      {"two copies", "2", 2}, {"one copy", "1", 1},         {"unreadable copies", "duas", 1},
      {"no copy", "0", 0},    {"negative copies", "-1", 0},
  };
  for (const Case& c : cases) {
    const bool accepted = c.copias == "1" || c.copias == "2";
    if (!accepted) {
      // The panel refuses what is not a number of copies from 1 to 99, naming the parameter; the
      // module's own reading of such a value stays, as a host that hands it over unchecked sees.
      const Execucao refused = Rodar({{"pCopias", c.copias}});
      EXPECT_TRUE(refused.result.usage_error) << c.name;
      EXPECT_NE(refused.result.error.find("Parâmetro pCopias: "), std::string::npos) << c.name;
      Relatorio relatorio({});
      relatorio.Panel().SetValues("pCopias", c.copias);
      relatorio.Sessao().Print();
      EXPECT_EQ(relatorio.Trace().Sections(), vezes(2 * c.vias)) << c.name;
      continue;
    }
    const Execucao run = Rodar({{"pCopias", c.copias}});
    ASSERT_TRUE(run.result.ok) << c.name << ": " << run.result.error;
    EXPECT_EQ(run.Sections(), vezes(2 * c.vias)) << c.name;
    EXPECT_EQ(run.Events("progress").size(), 2u) << c.name;
    // Every copy and every beneficiary starts a page of its own.
    int last_page = 0;
    for (const Printed& i : run.Prints()) {
      if (i.automatic) continue;
      if (i.section == 8) {
        EXPECT_GT(i.page, last_page) << c.name;
      }
      last_page = i.page;
    }
    if (c.vias > 0) {
      EXPECT_EQ(run.Events("pageend").size(), static_cast<size_t>(2 * c.vias - 1)) << c.name;
    }
  }
}

TEST_F(Execucoes, StatementWithoutComplementaryInformationFitsOnOnePage) {
  Dados(Simples("810.000.000-01", "Ana", 1000));
  const Execucao run = Rodar({});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_EQ(run.Sections(), (std::vector<int>{8, 9, 10, 11, 15, 11, 14}));
  EXPECT_EQ(run.result.pages, 1);
}

TEST_F(Execucoes, NothingRunsForAnEmptyMainDataset) {
  Dados(Simples("810.000.000-01", "Ana", 1000));
  EXPECT_TRUE(Rodar({{"pAnoBase1", ""}}).result.usage_error) << "an empty year is refused";
  for (const char* ano : {"01/01/2020"}) {
    const Execucao run = Rodar({{"pAnoBase1", ano}});
    ASSERT_TRUE(run.result.ok) << ano << ": " << run.result.error;
    EXPECT_TRUE(run.Events("sql").empty()) << ano;
    EXPECT_TRUE(run.Prints().empty()) << ano;
    EXPECT_TRUE(run.Events("progress").empty()) << ano;
  }
}

TEST_F(Execucoes, FailingStatementEndsTheRunWithTheDatabaseError) {
  Dados(Simples("810.000.000-01", "Ana", 1000) + "DROP TABLE DIRFRENDRECEBACUM;");
  const Execucao run = Rodar({});
  EXPECT_FALSE(run.result.ok);
  EXPECT_NE(run.result.error.find("DIRFRENDRECEBACUM"), std::string::npos) << run.result.error;
  ASSERT_FALSE(run.Events().empty());
  EXPECT_EQ(run.Events().back()["ev"], "error");
  EXPECT_EQ(run.Events().back()["message"], run.result.error);
  EXPECT_TRUE(run.Prints().empty());
  const std::vector<std::string> sqls = run.Sqls();
  ASSERT_FALSE(sqls.empty());
  EXPECT_EQ(sqls.back(), nrw::Format(income_statement::kSqlRRA, {""}));
}

TEST_F(Execucoes, StatementsCarryTheStoredSelectionOnly) {
  Dados(Simples("810.000.000-01", "Ana", 1000));
  using namespace income_statement;
  struct Case {
    const char* name;
    std::vector<nrw::ParamSetting> params;
    std::string selecao;
    std::string empresa;
  };
  const Case cases[] = {
      {"nothing restricts: every company and beneficiary of the year", {}, "", ""},
      {"company and beneficiary",
       {{"pCodigoEmpresa", "1"}, {"pBeneficiarios", "810.000.000-01"}},
       " and (I.CODIGOEMPRESA = 1) and (I.INSCRFEDERALBENEF = '810.000.000-01')",
       " and (I.CODIGOEMPRESA = 1)"},
  };
  for (const Case& c : cases) {
    const Execucao run = Rodar(c.params);
    ASSERT_TRUE(run.result.ok) << c.name << ": " << run.result.error;
    const std::vector<std::string> sqls = run.Sqls();
    const auto sent = [&sqls](const std::string& sql) {
      return std::find(sqls.begin(), sqls.end(), sql) != sqls.end();
    };
    for (const char* sql : {kSqlInfRendFunc, kSqlRendRecebAcumDepend, kSqlInfRendIsentoOutro,
                            kSqlDirfReg2, kSqlDirfReg2Det, kSqlPlanoSaude, kSqlRRA}) {
      EXPECT_TRUE(sent(nrw::Format(sql, {c.selecao}))) << c.name << ": " << sql;
    }
    EXPECT_TRUE(sent(nrw::Format(kSqlDirfSocio, {c.empresa})))
        << c.name << ": partners of silent partnerships by company only";
    EXPECT_EQ(ContarAnuais(run), 14) << c.name;
  }
}

class Separados : public Banco {
 protected:
  Separados() {
    Dados(Empresa(1) + Empresa(2) + Simples("810.000.000-01", "Ana", 1000) +
          Simples("810.000.000-02", "Bia", 2000, 0, 2) +
          Simples("11.000.000/0001-00", "Outra Empresa", 3000, 0, 3) +
          Simples("820.000.000-01", "Duda", 4000, 0, 1, 2));
  }
  TempDir dir_;
};

TEST_F(Separados, OneFilePerStatementTheModuleListed) {
  struct Case {
    const char* name;
    std::vector<nrw::ParamSetting> params;
    std::vector<std::string> split;
    std::string output;
    std::vector<std::string> files;
    std::vector<bool> produced;
  };
  const Case cases[] = {
      {"per beneficiary; another company's statement type 3 is no part",
       {},
       {"pBeneficiarios"},
       "{pBeneficiarios}.txt",
       {"810.000.000-01.txt", "810.000.000-02.txt", "820.000.000-01.txt"},
       {true, true, true}},
      {"per beneficiary of a selected company",
       {{"pCodigoEmpresa", "1"}},
       {"pBeneficiarios"},
       "{pBeneficiarios}.txt",
       {"810.000.000-01.txt", "810.000.000-02.txt"},
       {true, true}},
      {"combinations without a statement are refused",
       {},
       {"pCodigoEmpresa", "pBeneficiarios"},
       "{pCodigoEmpresa}_{pBeneficiarios}.txt",
       {"1_810.000.000-01.txt", "1_810.000.000-02.txt", "2_820.000.000-01.txt"},
       {true, true, false, false, false, true}},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const Execucao run = Rodar(c.params, c.split, dir.File(c.output));
    ASSERT_TRUE(run.result.ok) << c.name << ": " << run.result.error;
    EXPECT_EQ(dir.Names(), c.files) << c.name;
    std::vector<bool> produced;
    for (const nrw::PartResult& part : run.result.parts) produced.push_back(part.produced);
    EXPECT_EQ(produced, c.produced) << c.name;
  }

  const Execucao run = Rodar({}, {"pBeneficiarios"}, dir_.File("{pBeneficiarios}.txt"));
  ASSERT_TRUE(run.result.ok) << run.result.error;
  const std::string ana = support::ReadFile(dir_.File("810.000.000-01.txt"));
  EXPECT_NE(ana.find("810.000.000-01"), std::string::npos);
  EXPECT_EQ(ana.find("810.000.000-02"), std::string::npos) << "each part holds its own statement";
  EXPECT_EQ(Impressos(run), (std::vector<std::string>{"Ana", "Bia", "Duda"}));
}

// Registration numbers that a selection would read as something else, or that the separator
// question normalises: each still gets its part, and the parts together print what one document
// prints, each statement once.
TEST_F(Separados, EveryValueGetsItsOwnPartWhateverItNeedsAsASelection) {
  const std::vector<std::pair<std::string, std::string>> estranhos = {
      {" 830.000.000-01", "Branco antes"},
      {"830.000.000-02 ", "Branco depois"},
      {"830,000", "Vírgula"},
      {"830;000", "Ponto e vírgula"},
      {"830..999", "Intervalo"},
      {"D'830", "Apóstrofo"},
      {"\"830\"", "Aspas"}};
  std::string dados;
  for (const auto& [cpf, nome] : estranhos) dados += Simples(cpf, nome, 1000);
  Dados(dados);

  const Execucao inteiro = Rodar({}, {}, "");
  ASSERT_TRUE(inteiro.result.ok) << inteiro.result.error;
  std::vector<std::string> esperados = Impressos(inteiro);
  const Execucao partes = Rodar({}, {"pBeneficiarios"}, dir_.File("p-{pBeneficiarios}.txt"));
  ASSERT_TRUE(partes.result.ok) << partes.result.error;
  // The trace of each part: from its "part" event to the next.
  std::vector<std::vector<std::string>> rastros;
  for (const std::string& line : partes.Lines()) {
    if (line.find(R"("ev":"part")") != std::string::npos) rastros.emplace_back();
    if (!rastros.empty()) rastros.back().push_back(line);
  }
  ASSERT_EQ(rastros.size(), partes.result.parts.size());
  std::vector<std::string> impressos;
  for (size_t i = 0; i < rastros.size(); ++i) {
    const std::string valor = partes.result.parts[i].values.at(0).second;
    EXPECT_TRUE(partes.result.parts[i].produced) << "[" << valor << "]";
    const std::vector<std::string> da_parte = Impressos(Rastro(rastros[i]));
    EXPECT_EQ(da_parte.size(), 1u) << "[" << valor << "]";
    impressos.insert(impressos.end(), da_parte.begin(), da_parte.end());
  }
  std::sort(esperados.begin(), esperados.end());
  std::sort(impressos.begin(), impressos.end());
  EXPECT_EQ(impressos, esperados);
  EXPECT_EQ(esperados.size(), 3 + estranhos.size());
}

}  // namespace
}  // namespace statement_test
