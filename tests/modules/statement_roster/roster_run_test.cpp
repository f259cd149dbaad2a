// Whole runs of the roster on small declarations: company headings and group totals, the page per
// company, the two kinds of roster, the yearly limits and the contract types of directors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/declaration_rows.h"
#include "support/fixture_db.h"
#include "support/module_run.h"

namespace {

using support::InsertSql;
using support::RunOutcome;

std::string Empresa(int codigo) {
  const std::string c = std::to_string(codigo);
  return InsertSql("EMPRESA", {{"CODIGOEMPRESA", codigo}, {"NOMEEMPRESA", "Empresa " + c}}) +
         InsertSql("ESTAB", {{"CODIGOEMPRESA", codigo},
                             {"CODIGOESTAB", 1},
                             {"TIPOINSCR", 2},
                             {"INSCRFEDERAL", "11.222.333/0001-0" + c}});
}

//! A beneficiary of statement type 1 (employee), 2 (third party) or 3 (other company).
std::string Linha(int empresa, const std::string& inscr, const std::string& nome, int tipo,
                  double rendimento = 1000, double retido = 10) {
  const support::Beneficiary b{inscr, empresa, 2023, tipo == 3 ? 2 : 1};
  const int codigo = tipo == 1 ? 561 : tipo == 2 ? 588 : 1708;
  return support::BeneficiarioRow(b, nome) +
         support::RegistroRow(b, codigo, tipo, rendimento, retido);
}

//! The prints and page ends in order: "12 14 12 10 |".
std::string Sequencia(const RunOutcome& run) {
  std::string out;
  for (const nlohmann::json& e : run.Events()) {
    const std::string ev = e["ev"];
    if (ev == "print" && !e.value("auto", false)) {
      out += (out.empty() ? "" : " ") + std::to_string(e["section"].get<int>());
    }
    if (ev == "pageend") out += out.empty() ? "|" : " |";
  }
  return out;
}

std::vector<std::string> Legendas(const RunOutcome& run) {
  std::vector<std::string> out;
  for (const nlohmann::json& e : run.Events("caption")) out.push_back(e["caption"]);
  return out;
}

class StatementRosterRun : public ::testing::Test {
 protected:
  RunOutcome Rodar(std::vector<nrw::ParamSetting> params) {
    params.insert(params.begin(), {"pAnoBase", "01/01/2023"});
    return support::Run({"RptStatementRoster", params});
  }
  support::FixtureDb db_;
};

TEST_F(StatementRosterRun, HeadingsAndTotalsFollowCompanyAndStatementType) {
  db_.Exec(Empresa(1) + Empresa(2) + Linha(1, "100.000.000-01", "Ana", 1) +
           Linha(1, "100.000.000-02", "Bia", 1) + Linha(1, "200.000.000-01", "Caio", 2) +
           Linha(2, "33.444.555/0001-66", "Delta Ltda", 3));
  const RunOutcome resumida = Rodar({{"pTipoRelatorio", "1"}});
  ASSERT_TRUE(resumida.result.ok) << resumida.result.error;
  EXPECT_EQ(Sequencia(resumida), "12 14 12 10 10 12 14 13 10 12 14 13 14 12 10 12 14 13");
  EXPECT_EQ(resumida.Values(14, "R17"),
            (std::vector<std::string>{"0001-Empresa 1", "", "", "0002-Empresa 2", ""}));
  EXPECT_EQ(resumida.Values(14, "R0"),
            (std::vector<std::string>{"", "Total Funcionários:  2", "Total Terceiros:  1", "",
                                      "Total Outras Empresas:  1"}));
  EXPECT_EQ(Legendas(resumida), (std::vector<std::string>{"Arquivos Magnéticos"}));

  // The complete roster adds the second line to every beneficiary and its caption to the heading.
  const RunOutcome completa = Rodar({});
  EXPECT_EQ(Sequencia(completa),
            "9 12 14 12 10 11 10 11 12 14 13 10 11 12 14 13 14 12 10 11 12 14 13");
  EXPECT_EQ(completa.Values(11, "R8"), (std::vector<std::string>{"0,00", "0,00", "0,00", "0,00"}));
}

// Company 1's only row is left out: no heading and no total for it, but the page still ends
// there, and the next page's heading names company 2.
TEST_F(StatementRosterRun, PagePerCompanyEndsAlsoWhenEveryRowIsLeftOut) {
  db_.Exec(Empresa(1) + Empresa(2) + Linha(1, "100.000.000-01", "Ana", 1, 1000, 0) +
           Linha(2, "33.444.555/0001-66", "Delta Ltda", 3));
  struct Caso {
    const char* tipo;
    std::string sequencia;
  };
  for (const Caso& caso :
       {Caso{"2", "| 8 9 12 14 12 10 11 12 14 13"}, Caso{"1", "| 8 8 12 14 12 10 12 14 13"}}) {
    const RunOutcome run =
        Rodar({{"pQuebraPagina", "2"}, {"pTipoRelatorio", caso.tipo}, {"pGerarFunc", "2"}});
    ASSERT_TRUE(run.result.ok) << run.result.error;
    EXPECT_EQ(Sequencia(run), caso.sequencia) << "pTipoRelatorio " << caso.tipo;
    EXPECT_EQ(run.Values(8, "pNomeEmpresa").front(), "Empresa 2");
    EXPECT_EQ(Legendas(run), (std::vector<std::string>{"@var(gemVNomeEmpresa;[CodigoEmpresa])"}));
    EXPECT_NE(run.text.find("Empresa 2"), std::string::npos);
    EXPECT_EQ(run.text.find("Empresa 1"), std::string::npos);
  }
}

TEST_F(StatementRosterRun, MissingYearlyLimitsStopTheRunBeforeAnythingPrints) {
  struct Caso {
    const char* nome;
    std::string dados;
    std::vector<nrw::ParamSetting> params;
    bool ok;
  };
  const Caso casos[] = {
      {"third parties by the limits",
       Empresa(1) + Linha(1, "200.000.000-01", "Caio", 2),
       {{"pGerarTerc", "4"}},
       false},
      {"nothing to print", "", {{"pGerarFunc", "4"}}, false},
      {"limits of another year",
       "INSERT INTO RENDIMENTOANUAL VALUES ('2024-01-01', 1, 1);" + Empresa(1) +
           Linha(1, "33.444.555/0001-66", "Delta Ltda", 3),
       {{"pGerarOutEmp", "4"}},
       false},
      {"no option asks for them",
       Empresa(1) + Linha(1, "200.000.000-01", "Caio", 2),
       {{"pGerarTerc", "2"}},
       true},
  };
  for (const Caso& caso : casos) {
    support::FixtureDb db;
    db.Exec(caso.dados);
    const RunOutcome run = Rodar(caso.params);
    EXPECT_EQ(run.result.ok, caso.ok) << caso.nome;
    if (!caso.ok) {
      EXPECT_EQ(run.result.error,
                "Os valores para o rendimento do ano selecionado não estão cadastrados!")
          << caso.nome;
      EXPECT_TRUE(run.Events("print").empty()) << caso.nome;
    }
  }
}

// Directors are the employees whose contract type is '4' or '8'; with several contracts the
// smallest type code decides, and a CPF without a contract is no director.
TEST_F(StatementRosterRun, ContractTypesDecideWhoIsADirector) {
  db_.Exec(Empresa(1) +
           "INSERT INTO TIPOCONTRATO VALUES (1, 'Empregado', '1'), (4, 'Diretor', '4'),"
           " (8, 'Sócio com pró-labore', '8');"
           "INSERT INTO FUNCPESSOA (CODIGOFUNCPESSOA, NOMEFUNC, CPFFUNC) VALUES (1, 'Ana', "
           "'100.000.000-01'), (2, 'Bia', "
           "'100.000.000-02'), (3, 'Davi', '100.000.000-04');"
           "INSERT INTO FUNCCONTRATO (CODIGOEMPRESA, CODIGOFUNCCONTR, CODIGOFUNCPESSOA, "
           "CODIGOTIPOCONTR) VALUES (1, 1, 1, 4), (1, 2, 2, 1), (1, 3, 3, 8), (1, 4, 3, 1);" +
           Linha(1, "100.000.000-01", "Ana", 1) + Linha(1, "100.000.000-02", "Bia", 1) +
           Linha(1, "100.000.000-03", "Caio", 1) + Linha(1, "100.000.000-04", "Davi", 1));
  const RunOutcome diretores = Rodar({{"pGerarFunc", "5"}});
  ASSERT_TRUE(diretores.result.ok) << diretores.result.error;
  EXPECT_EQ(diretores.Values(10, "R1"), (std::vector<std::string>{"Ana"}));
  EXPECT_EQ(Rodar({{"pGerarFunc", "8"}}).Values(10, "R1"),
            (std::vector<std::string>{"Bia", "Caio", "Davi"}));
  // The company's employees are read again for every employee row.
  int leituras = 0;
  for (const std::string& sql : diretores.Sqls()) {
    leituras += sql.find("FROM FUNCIONARIO") != std::string::npos;
  }
  EXPECT_EQ(leituras, 4);
}

}  // namespace
