// Whole runs of the landscape payroll totals on a small payroll: section order and subtotals, the
// activity header, break modes, terminations and a negative monthly social security, contract
// types 04 and 08, user rights, month bounds, a missing header, an empty range and clean-up.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "nrw/sql.h"
#include "nrw/util.h"
#include "nrwhost/settings.h"
#include "support/fixture_db.h"
#include "support/module_run.h"

namespace {

using support::RunOutcome;

// Company 1 has a head office (open) and a branch (closed in June); company 2 one office. March
// and April of 2024. Contract 3 of company 1 leaves in April with notice, FGTS and fine; the April
// guide of the head office is smaller than that termination's social security. Contract 4 is a
// director ('04' as written by older data), contract 5 a partner with pro-labore (8).
constexpr const char* kFolha = R"sql(
  INSERT INTO EMPRESA VALUES (1, 'Alfa Indústria Ltda'), (2, 'Beta Comércio Ltda');
  INSERT INTO ESTAB (CODIGOEMPRESA, CODIGOESTAB, APELIDOESTAB, INSCRFEDERAL, DATAINICIOATIV,
                     DATAENCERATIV) VALUES
    (1, 1, 'Matriz', '11.111.111/0001-11', '2015-01-02', NULL),
    (1, 2, 'Filial', '11.111.111/0002-00', '2016-01-01', '2024-06-30'),
    (2, 1, 'Sede', '22.222.222/0001-22', '2010-03-01', '2100-12-31');
  INSERT INTO GRUPOEMPRESA VALUES (7, 2);
  INSERT INTO USUARIOEMPRESA VALUES (5, 1);
  INSERT INTO TIPOCONTRATO VALUES (1, 'Empregado', 1), (2, 'Diretor', '04'), (3, 'Pró-labore', 8);
  INSERT INTO EVENTO VALUES (990, 'Remuneração', '99.02.01.02.015', 9),
    (101, 'INSS', '02.01.01.01', 2), (801, 'FGTS', '98.01.01', 3), (807, 'Multa', '98.01.07', 3),
    (850, 'Aviso prévio', '05.08.01', 1);
  INSERT INTO FUNCCONTRATO (CODIGOEMPRESA, CODIGOFUNCCONTR, CODIGOFUNCPESSOA, CODIGOTIPOCONTR,
                            DATAADM, DATADEM) VALUES
    (1, 1, 1, 1, '2010-01-01', NULL), (1, 2, 2, 1, '2010-01-01', NULL),
    (1, 3, 3, 1, '2010-01-01', '2024-04-20'), (1, 4, 4, 2, '2010-01-01', NULL),
    (1, 5, 5, 3, '2010-01-01', NULL), (2, 1, 6, 1, '2010-01-01', NULL);
  INSERT INTO FUNCLOCAL VALUES (1, 1, '2010-01-01', 1), (1, 2, '2010-01-01', 2),
    (1, 3, '2010-01-01', 1), (1, 4, '2010-01-01', 1), (1, 5, '2010-01-01', 1),
    (2, 1, '2010-01-01', 1);
  INSERT INTO PERIODOCALCULO VALUES
    (1, 1, 1, '2024-03-01', '2024-03-01', '2024-03-31'),
    (1, 2, 1, '2024-04-01', '2024-04-01', '2024-04-30'),
    (2, 1, 1, '2024-03-01', '2024-03-01', '2024-03-31'),
    (2, 2, 1, '2024-04-01', '2024-04-01', '2024-04-30');
  INSERT INTO FUNCPERCALCULO VALUES
    (1, 1, 1, '2010-01-01'), (1, 1, 2, '2010-01-01'), (1, 1, 3, '2010-01-01'),
    (1, 1, 4, '2010-01-01'), (1, 1, 5, '2010-01-01'), (1, 2, 1, '2010-01-01'),
    (1, 2, 2, '2010-01-01'), (1, 2, 3, '2010-01-01'), (2, 1, 1, '2010-01-01'),
    (2, 2, 1, '2010-01-01');
  INSERT INTO CALCULOEVENTO VALUES
    (1, 1, 1, 990, 1000), (1, 1, 1, 101, 100), (1, 1, 1, 801, 80),
    (1, 1, 2, 990, 2000), (1, 1, 2, 101, 200), (1, 1, 2, 801, 160),
    (1, 1, 3, 990, 1500), (1, 1, 3, 801, 120),
    (1, 1, 4, 990, 5000), (1, 1, 5, 990, 3000),
    (1, 2, 1, 990, 1000), (1, 2, 1, 101, 100), (1, 2, 1, 801, 80),
    (1, 2, 2, 990, 2000), (1, 2, 2, 101, 200), (1, 2, 2, 801, 160),
    (1, 2, 3, 990, 700), (1, 2, 3, 101, 70), (1, 2, 3, 801, 56), (1, 2, 3, 807, 400),
    (1, 2, 3, 850, 1500),
    (2, 1, 1, 990, 800), (2, 2, 1, 990, 800);
  INSERT INTO IMPOSTOCALCULO (CODIGOEMPRESA, CODIGOPERCALCULO, CODIGOFUNCCONTR, CODIGOESTAB,
                              COMPROCESSO, VALORINSS, INSSPARTEEMP) VALUES
    (1, 2, 3, 1, '1', 70, 140);
  INSERT INTO DEBITOGPS (CODIGOEMPRESA, CODIGOESTAB, DATALCTOCTR, TIPOGPS, FORMADEBITO,
                         VALOREMPRESA, VALORTERCEIRO, VALORSALCONTRIBTERC) VALUES
    (1, 1, '2024-03-01', 1, 0, 900, 100, 500), (1, 1, '2024-04-01', 1, 0, 50, 10, 0);
)sql";

class PayrollTotalsWideRun : public ::testing::Test {
 protected:
  void SetUp() override { db_.Exec(kFolha); }
  void TearDown() override { nrw::DefinirUsuarioAtual(std::nullopt); }

  static RunOutcome Run(std::vector<nrw::ParamSetting> extra = {}) {
    std::vector<nrw::ParamSetting> params = {{"pCompetInicial", "01/03/2024"},
                                             {"pCompetFinal", "30/04/2024"}};
    params.insert(params.end(), extra.begin(), extra.end());
    return support::Run({"RptPayrollTotalsWide", params});
  }

  //! Sections printed and page ends asked ("E"), in order.
  static std::vector<std::string> Sequence(const RunOutcome& run) {
    std::vector<std::string> out;
    for (const nlohmann::json& event : run.Events()) {
      if (event["ev"] == "print" && !event.contains("auto")) {
        out.push_back(std::to_string(event["section"].get<int>()));
      } else if (event["ev"] == "endofpage") {
        out.push_back("E");
      }
    }
    return out;
  }

  support::FixtureDb db_;
};

TEST_F(PayrollTotalsWideRun, EstablishmentsAndCompaniesWithTheirSubtotals) {
  const RunOutcome run = Run();
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_EQ(run.Sections(), (std::vector<int>{8, 9, 9, 10, 8, 9, 9, 10, 11, 8, 9, 9, 10, 11}));

  // Head office: March with the providers of the guide; April with the termination, whose social
  // security outweighs the month's guide.
  EXPECT_EQ(run.Values(9, "R1"), (std::vector<std::string>{"03/2024", "04/2024", "03/2024",
                                                           "04/2024", "03/2024", "04/2024"}));
  EXPECT_EQ(run.Values(9, "R2"), (std::vector<std::string>{"2.900,00", "900,00", "1.800,00",
                                                           "1.800,00", "800,00", "800,00"}));
  EXPECT_EQ(run.Values(9, "R3"),
            (std::vector<std::string>{"1.000,00", "-150,00", "0,00", "0,00", "0,00", "0,00"}));
  EXPECT_EQ(run.Values(9, "R4"),
            (std::vector<std::string>{"200,00", "136,00", "160,00", "160,00", "0,00", "0,00"}));
  EXPECT_EQ(run.Values(9, "R5"), (std::vector<std::string>{"4.100,00", "886,00", "1.960,00",
                                                           "1.960,00", "800,00", "800,00"}));
  const support::Printed abril = run.ModulePrints()[2];
  EXPECT_EQ(abril.Var("R7"), "2.130,00") << "notice and remuneration less the deductions";
  EXPECT_EQ(abril.Var("R8"), "210,00");
  EXPECT_EQ(abril.Var("R9"), "56,00");
  EXPECT_EQ(abril.Var("R11"), "400,00");
  EXPECT_EQ(abril.Var("R10"), "2.796,00");
  EXPECT_EQ(abril.Var("R12"), "1");
  EXPECT_EQ(abril.Var("R13"), "1");

  // The second establishment's subtotal holds its own months only; the company's both.
  EXPECT_EQ(run.Values(10, "R2"), (std::vector<std::string>{"3.800,00", "3.600,00", "1.600,00"}));
  EXPECT_EQ(run.Values(10, "R3"), (std::vector<std::string>{"850,00", "0,00", "0,00"}));
  EXPECT_EQ(run.Values(10, "R12"), (std::vector<std::string>{"3", "2", "2"}));
  EXPECT_EQ(run.Values(10, "R11"), (std::vector<std::string>{"400,00", "0,00", "0,00"}));
  EXPECT_EQ(run.Values(11, "R2"), (std::vector<std::string>{"7.400,00", "1.600,00"}));
  EXPECT_EQ(run.Values(11, "R5"), (std::vector<std::string>{"8.906,00", "1.600,00"}));
  EXPECT_EQ(run.Values(11, "R10"), (std::vector<std::string>{"2.796,00", "0,00"}));
  EXPECT_EQ(run.Values(11, "R12"), (std::vector<std::string>{"5", "2"}));

  EXPECT_EQ(run.Values(8, "pAtiv"),
            (std::vector<std::string>{"Iníc.Ativ: 02/01/2015",
                                      "Iníc.Ativ: 01/01/2016 -  Encer.Ativ: 30/06/2024",
                                      "Iníc.Ativ: 01/03/2010"}));
  EXPECT_EQ(
      run.Values(8, "pInscrFederal"),
      (std::vector<std::string>{"11.111.111/0001-11", "11.111.111/0002-00", "22.222.222/0001-22"}));
}

TEST_F(PayrollTotalsWideRun, BreakModes) {
  const struct {
    const char* modo;
    std::vector<std::string> sequencia;
    std::vector<std::string> controle;
  } cases[] = {
      {"1",
       {"8", "9", "9", "10", "8", "9", "9", "10", "11", "8", "9", "9", "10", "11"},
       {"", "", ""}},
      {"2",
       {"8", "9", "9", "10", "8", "9", "9", "10", "11", "E", "8", "9", "9", "10", "11"},
       {"1", "2", "2"}},
      {"3",
       {"8", "9", "9", "10", "E", "8", "9", "9", "10", "11", "E", "8", "9", "9", "10", "11"},
       {"1", "2", "2"}},
  };
  for (const auto& c : cases) {
    const RunOutcome run = Run({{"pQuebrar", c.modo}});
    ASSERT_TRUE(run.result.ok) << run.result.error;
    EXPECT_EQ(Sequence(run), c.sequencia) << "mode " << c.modo;
    EXPECT_EQ(run.Values("pControleCustoEmpresa"), c.controle) << "mode " << c.modo;
  }
}

TEST_F(PayrollTotalsWideRun, ContractTypes04And08CountOnlyWithProLabore) {
  const struct {
    const char* opcao;
    const char* remuneracao;
    const char* funcionarios;
  } cases[] = {
      {"1", "10.900,00", "4"},
      {"0", "2.900,00", "2"},
  };
  for (const auto& c : cases) {
    const RunOutcome run = Run({{"pContarSomarProLabore", c.opcao}});
    ASSERT_TRUE(run.result.ok) << run.result.error;
    EXPECT_EQ(run.ModulePrints()[1].Var("R2"), c.remuneracao) << "option '" << c.opcao << "'";
    EXPECT_EQ(run.ModulePrints()[1].Var("R12"), c.funcionarios) << "option '" << c.opcao << "'";
  }
}

TEST_F(PayrollTotalsWideRun, CompaniesTheUserMayNotSeeContributeNothing) {
  nrw::DefinirUsuarioAtual(5);
  const RunOutcome named = Run({{"pCodigoEmpresa", "1;2"}});
  EXPECT_TRUE(named.result.usage_error);
  EXPECT_EQ(named.result.error,
            "Parâmetro pCodigoEmpresa: a empresa 2 não está entre as empresas do usuário 5.");
  const RunOutcome run = Run({{"pCodigoEmpresa", "1..2"}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_EQ(run.Values(8, "pCodigoEmpresa"), (std::vector<std::string>{"1", "1"}));
  const std::string direito = nrw::FilterInterval({"PC.CodigoEmpresa"}, "1", {1}, 0, true, 0);
  ASSERT_EQ(run.Sqls().size(), 3u);
  for (const std::string& sql : run.Sqls()) {
    EXPECT_NE(sql.find(direito), std::string::npos) << sql.substr(0, 80);
  }
}

TEST_F(PayrollTotalsWideRun, GroupWidensTheStatementsAndTheLines) {
  const RunOutcome run = Run({{"pCodigoEmpresa", "1"}, {"pCodigoGrupoProc", "7"}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_EQ(run.Values(8, "pCodigoEmpresa"), (std::vector<std::string>{"1", "1", "2"}));
  EXPECT_EQ(run.Values(11, "R2"), (std::vector<std::string>{"7.400,00", "1.600,00"}));
}

TEST_F(PayrollTotalsWideRun, MonthsBoundAsFirstAndLastMoments) {
  const RunOutcome run = Run({{"pCompetInicial", "15/03/2024"}, {"pCompetFinal", "10/05/2024"}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  const std::vector<nlohmann::json> sqls = run.Events("sql");
  ASSERT_EQ(sqls.size(), 3u);
  for (const nlohmann::json& sql : sqls) {
    EXPECT_EQ(sql["values"], nlohmann::json::array({"2024-03-01", "2024-05-31 23:59:59.999"}));
  }
}

TEST_F(PayrollTotalsWideRun, EmptyRangePrintsNothing) {
  for (const char* modo : {"1", "2", "3"}) {
    const RunOutcome run =
        Run({{"pCompetInicial", "01/01/2023"}, {"pCompetFinal", "31/12/2023"}, {"pQuebrar", modo}});
    ASSERT_TRUE(run.result.ok) << run.result.error;
    EXPECT_TRUE(Sequence(run).empty()) << "mode " << modo;
    EXPECT_EQ(run.result.pages, 0) << "mode " << modo;
  }
}

TEST_F(PayrollTotalsWideRun, EstablishmentWithoutHeaderStillPrintsItsLines) {
  // Establishment 9 has payroll but no ESTAB row.
  db_.Exec(
      "INSERT INTO FUNCCONTRATO (CODIGOEMPRESA, CODIGOFUNCCONTR, CODIGOFUNCPESSOA, "
      "CODIGOTIPOCONTR, DATAADM) VALUES (2, 2, 7, 1, '2010-01-01');"
      "INSERT INTO FUNCLOCAL VALUES (2, 2, '2010-01-01', 9);"
      "INSERT INTO FUNCPERCALCULO VALUES (2, 1, 2, '2010-01-01');"
      "INSERT INTO CALCULOEVENTO VALUES (2, 1, 2, 990, 300);");
  const RunOutcome run = Run({{"pCodigoEmpresa", "2"}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_EQ(run.Sections(), (std::vector<int>{8, 9, 9, 10, 9, 10, 11}));
  EXPECT_EQ(run.Values(10, "R2"), (std::vector<std::string>{"1.600,00", "300,00"}));
  EXPECT_EQ(run.Values(11, "R2"), (std::vector<std::string>{"1.900,00"}));
}

TEST_F(PayrollTotalsWideRun, FailureGivesBackTheConversionFlagAndTheSibling) {
  ASSERT_TRUE(nrw::PodeOnSQLConverte());
  {
    support::ModuleSession session(
        {"RptPayrollTotalsWide",
         {{"pCompetInicial", "01/03/2024"}, {"pCompetFinal", "30/04/2024"}}});
    // Written past the panel, which takes only the two orders: the sibling's own check fails.
    session.Panel().SetValues("pOrdenar", "9");
    try {
      session.Session().Print();
      ADD_FAILURE() << "the sibling took an order it does not know";
    } catch (const nrw::Exception& error) {
      EXPECT_STREQ(error.what(),
                   "Parâmetro Ordenacao: '9' não é uma ordenação válida (1 código, 2 nome da "
                   "empresa)");
    }
    EXPECT_EQ(session.TakeTrace().Sqls().size(), 3u) << "the statements ran before the sibling";
    EXPECT_TRUE(nrw::PodeOnSQLConverte());
  }
  const RunOutcome refused = Run({{"pOrdenar", "9"}});
  EXPECT_TRUE(refused.result.usage_error);
  EXPECT_EQ(refused.result.error, "Parâmetro pOrdenar: '9' não é uma das opções (1, 2).");

  const RunOutcome bad_date = Run({{"pCompetFinal", "31/02/2024"}});
  EXPECT_EQ(
      bad_date.result.error.rfind("Parâmetro pCompetFinal: '31/02/2024' não é uma data válida", 0),
      0u)
      << bad_date.result.error;
  EXPECT_TRUE(nrw::PodeOnSQLConverte());

  const RunOutcome after = Run();
  EXPECT_TRUE(after.result.ok) << after.result.error;
}

TEST(PayrollTotalsWideSession, ASecondRunReadsTheUsersSelections) {
  support::FixtureDb db;
  db.Exec(kFolha);
  support::ModuleSession session({"RptPayrollTotalsWide",
                                  {{"pCompetInicial", "01/03/2024"},
                                   {"pCompetFinal", "30/04/2024"},
                                   {"pCodigoEmpresa", "1;2"},
                                   {"pCodigoEstab", "1"}}});
  session.Session().Print();
  const std::vector<int> primeira = session.TakeTrace().Sections();
  EXPECT_EQ(session.Panel().GetValues("pCodigoEmpresa"), "1;2");
  EXPECT_EQ(session.Panel().GetValues("pCodigoEstab"), "1");
  session.Session().Print();
  EXPECT_EQ(session.TakeTrace().Sections(), primeira);
  EXPECT_EQ(primeira, (std::vector<int>{8, 9, 9, 10, 11, 8, 9, 9, 10, 11}));
}

}  // namespace
