// The payroll totals through the host: whole demo runs as golden traces, the three orders on
// registration numbers beyond 32 bits, company and establishment names, the competence, the
// column titles after every page heading, the competence editor, and clean-up when the data module
// fails.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "nrw/siblings.h"
#include "nrwhost/settings.h"
#include "rpt_payroll_totals.h"
#include "support/fixture_db.h"
#include "support/golden.h"
#include "support/module_run.h"
#include "support/sibling_class.h"
#include "support/temp_dir.h"

namespace {

using Lista = std::vector<std::string>;

class PayrollTotalsGolden : public support::DemoDbTest {};

TEST_P(PayrollTotalsGolden, DemoMonthAndYear) {
  const support::RunOutcome mes = support::Run({"RptPayrollTotals", {{"pCompet", "01/03/2023"}}});
  ASSERT_TRUE(mes.result.ok) << mes.result.error;
  EXPECT_TRUE(support::MatchesGolden(mes.Lines(),
                                     "tests/modules/payroll_totals/golden/demo_03_2023.jsonl"));

  const support::RunOutcome ano = support::Run({"RptPayrollTotals",
                                                {{"pCompet", "01/03/2023"},
                                                 {"pModelo", "2"},
                                                 {"pOrdenar", "2"},
                                                 {"pSomarProLabore", "1"},
                                                 {"pContarProLabore", "1"}}});
  ASSERT_TRUE(ano.result.ok) << ano.result.error;
  EXPECT_TRUE(
      support::MatchesGolden(ano.Lines(), "tests/modules/payroll_totals/golden/demo_2023.jsonl"));
}

NRW_ON_EVERY_DATABASE(PayrollTotalsGolden);

// Company 1 has two establishments whose numbers order the other way round when cut to 32 bits,
// and a contract that served a service taker (CEI, no establishment); company 3 is a person (CPF).
class PayrollTotals : public ::testing::Test {
 protected:
  PayrollTotals() {
    db_.Exec(R"sql(
      INSERT INTO EMPRESA VALUES (1, 'Beta Ltda'), (2, 'alfa Ltda'), (3, 'Ágil Ltda');
      INSERT INTO ESTAB (CODIGOEMPRESA, CODIGOESTAB, APELIDOESTAB, TIPOINSCR, INSCRFEDERAL) VALUES
        (1, 1, 'Matriz', 2, '99.999.999/0001-91'), (1, 2, 'Filial', 2, '12.345.678/0001-95'),
        (2, 1, 'Loja', 2, '55.555.555/0001-55'), (3, 1, 'Sítio', 1, '123.456.789-09');
      INSERT INTO TIPOCONTRATO VALUES (1, 'Empregado', '1');
      INSERT INTO EVENTO VALUES (990, 'Total da remuneração', '99.02.01.02.015', 9);
      INSERT INTO FUNCCONTRATO (CODIGOEMPRESA, CODIGOFUNCCONTR, CODIGOFUNCPESSOA,
                                CODIGOTIPOCONTR) VALUES
        (1, 1, 1, 1), (1, 2, 2, 1), (1, 3, 3, 1), (2, 1, 4, 1), (3, 1, 5, 1);
      INSERT INTO FUNCLOCAL VALUES (1, 1, '2020-01-01', 1), (1, 2, '2020-01-01', 2),
        (1, 3, '2020-01-01', 1), (2, 1, '2020-01-01', 1), (3, 1, '2020-01-01', 1);
      INSERT INTO PERIODOCALCULO (CODIGOEMPRESA, CODIGOPERCALCULO, CODIGOTIPOCALC, COMPET) VALUES
        (1, 1, 1, '2024-03-01'), (2, 1, 1, '2024-03-01'), (3, 1, 1, '2024-03-01');
      INSERT INTO FUNCPERCALCULO VALUES (1, 1, 1, '2020-01-01'), (1, 1, 2, '2020-01-01'),
        (1, 1, 3, '2020-01-01'), (2, 1, 1, '2020-01-01'), (3, 1, 1, '2020-01-01');
      INSERT INTO CALCULOEVENTO VALUES (1, 1, 1, 990, 1000), (1, 1, 2, 990, 2000),
        (1, 1, 3, 990, 300), (2, 1, 1, 990, 500), (3, 1, 1, 990, 700);
      INSERT INTO TOMADOR VALUES (1, 1, 'Obra', 3, '12.345.67890/12');
      INSERT INTO FUNCPERCALCULOTOMADOR VALUES (1, 1, 3, 1);
      INSERT INTO GRUPOEMPRESA VALUES (9, 2);
    )sql");
  }

  static support::RunOutcome Rodar(std::vector<nrw::ParamSetting> params,
                                   const std::string& layout = "") {
    params.insert(params.begin(), {"pCompet", "15/03/2024"});
    return support::Run({"RptPayrollTotals", params, {}, "", layout});
  }

  //! "code|name|registration" of every line, in print order.
  static Lista Linhas(const support::RunOutcome& run) {
    Lista linhas;
    for (const support::Printed& p : run.ModulePrints()) {
      if (p.section != 9) continue;
      linhas.push_back(p.Var("pLCodigoEmpresa") + "|" + p.Var("pLNomeEmpresa") + "|" +
                       p.Var("pLInscrFederal"));
    }
    return linhas;
  }

  support::FixtureDb db_;
  support::TempDir dir_;
};

constexpr const char* kObra = "0||12.345.67890/12";
constexpr const char* kFilial = "1|Beta Ltda - Filial|12.345.678/0001-95";
constexpr const char* kMatriz = "1|Beta Ltda - Matriz|99.999.999/0001-91";
constexpr const char* kLoja = "2|alfa Ltda - Loja|55.555.555/0001-55";
constexpr const char* kSitio = "3|Ágil Ltda - Sítio|123.456.789-09";

TEST_F(PayrollTotals, ThreeOrdersOnRegistrationNumbersBeyond32Bits) {
  const Lista por_empresa{kObra, kFilial, kMatriz, kLoja, kSitio};
  const Lista por_numero{kSitio, kObra, kFilial, kLoja, kMatriz};
  const struct {
    const char* ordenar;
    Lista linhas;
  } cases[] = {
      {"1", por_empresa},
      {"2", {kObra, kLoja, kFilial, kMatriz, kSitio}},
      {"3", por_numero},
  };
  for (const auto& c : cases) {
    const support::RunOutcome run = Rodar({{"pOrdenar", c.ordenar}});
    ASSERT_TRUE(run.result.ok) << run.result.error;
    EXPECT_EQ(Linhas(run), c.linhas) << "pOrdenar '" << c.ordenar << "'";
  }
  for (const char* fora : {"0", "4"}) {
    const support::RunOutcome run = Rodar({{"pOrdenar", fora}});
    EXPECT_TRUE(run.result.usage_error) << fora;
    EXPECT_EQ(run.result.error,
              "Parâmetro pOrdenar: '" + std::string(fora) + "' não é uma das opções (1, 2, 3).");
  }
  const support::RunOutcome run = Rodar({});
  EXPECT_EQ(run.Values(9, "pLQtdade"), (Lista{"1", "1", "1", "1", "1"}));
  EXPECT_EQ(run.Values(9, "pLValor"),
            (Lista{"300,00", "2.000,00", "1.000,00", "500,00", "700,00"}));
}

TEST_F(PayrollTotals, ACompanyOfTheGroupOutsideTheSelectionHasNoEstablishmentName) {
  const support::RunOutcome run = Rodar({{"pEmpresas", "1"}, {"pCodigoGrupoProc", "9"}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_EQ(Linhas(run), (Lista{kObra, kFilial, kMatriz, "2|alfa Ltda|55.555.555/0001-55"}));
}

TEST_F(PayrollTotals, CompetenceAndColumnTitlesAfterEveryPageHeading) {
  // Two lines to a page: heading (10.5 mm), titles (7 mm) and two lines of 7 mm.
  const std::string curta = support::LayoutVariant(
      dir_, "RptPayrollTotals", [](nlohmann::json& layout) { layout["page"]["height_mm"] = 51.5; });
  const struct {
    std::vector<nrw::ParamSetting> params;
    std::string compet;
    std::vector<int> secoes;
  } cases[] = {
      {{{"pModelo", "1"}}, "03/2024", {1, 8, 9, 9, 1, 8, 9, 9, 1, 8, 9}},
      {{{"pModelo", "2"}}, "2024", {1, 8, 9, 9, 1, 8, 9, 9, 1, 8, 9}},
      {{{"pCompet", "01/04/2024"}}, "04/2024", {}},
  };
  for (const auto& c : cases) {
    const support::RunOutcome run = Rodar(c.params, curta);
    ASSERT_TRUE(run.result.ok) << run.result.error;
    EXPECT_EQ(run.Values("pLCompet"), Lista{c.compet});
    std::vector<int> secoes;
    for (const support::Printed& p : run.Prints()) secoes.push_back(p.section);
    EXPECT_EQ(secoes, c.secoes) << c.compet;
  }
}

TEST_F(PayrollTotals, FirstParamChangeDoesNothingThenTheModelSwitchesTheCompetenceEditor) {
  support::ModuleSession session({"RptPayrollTotals", {{"pCompet", "15/03/2024"}}});
  payroll_totals::TRptPayrollTotals instancia(session.Report());
  nrw::TnpqPowerParam& panel = session.Panel();
  nrw::TnFraControle& compet = *panel.EdFindFieldControl("pCompet");
  nrw::TnpqParamItem& modelo = panel.Param("pModelo");
  const int inicial = compet.GetFieldDefinicao().TipoData();

  modelo.SetAsString("2");
  instancia.DoParamChange(nullptr, modelo);
  EXPECT_EQ(compet.GetFieldDefinicao().TipoData(), inicial) << "first call";
  instancia.DoParamChange(nullptr, panel.Param("pOrdenar"));
  EXPECT_EQ(compet.GetFieldDefinicao().TipoData(), inicial) << "another parameter";
  instancia.DoParamChange(nullptr, modelo);
  EXPECT_EQ(compet.GetFieldDefinicao().TipoData(), 3) << "yearly";
  EXPECT_EQ(compet.GetAsString(), "15/03/2024");

  modelo.SetAsString("1");
  compet.SetAsString("03/2024");
  instancia.DoParamEnter(nullptr, modelo);
  EXPECT_EQ(compet.GetFieldDefinicao().TipoData(), 2) << "monthly, on entering";
  EXPECT_EQ(compet.GetAsString(), "03/2024") << "a text that is no date is kept";
}

// A data module that fails, leaves no dataset, or is not one: the handler is detached, the module
// freed and the error reaches the host.
int g_vivos = 0;
class TModuloQueFalha : public nrw::TnDMPowerParam {
 public:
  TModuloQueFalha() { ++g_vivos; }
  ~TModuloQueFalha() override { --g_vivos; }
  void Executar() override { throw nrw::Exception("Falhou o cálculo."); }
};
class TModuloSemDados : public TModuloQueFalha {
 public:
  void Executar() override {}
};
class TNaoModulo : public nrw::TObject {
 public:
  TNaoModulo() { ++g_vivos; }
  ~TNaoModulo() override { --g_vivos; }
};

TEST_F(PayrollTotals, FailuresDetachTheHandlerAndFreeTheDataModule) {
  const struct {
    nrw::TnDMFactory factory;
    const char* error;
  } cases[] = {
      {[] { return std::make_unique<TModuloQueFalha>(); }, "Falhou o cálculo."},
      {[] { return std::make_unique<TModuloSemDados>(); },
       "O módulo de dados TSalaryTotalsExporter não deixou o conjunto de dados nClientDataSet."},
      {[] { return std::make_unique<TNaoModulo>(); }, "Conversão de tipo inválida"},
  };
  for (const auto& c : cases) {
    const support::SiblingClassOverride substituta("TSalaryTotalsExporter", c.factory);
    support::ModuleSession session({"RptPayrollTotals", {{"pCompet", "15/03/2024"}}});
    try {
      session.Session().Print();
      ADD_FAILURE() << "no error: " << c.error;
    } catch (const nrw::Exception& error) {
      EXPECT_STREQ(error.what(), c.error);
    }
    EXPECT_EQ(g_vivos, 0) << c.error;
    EXPECT_FALSE(session.Report().OnAfterSection.Assigned()) << c.error;
  }
}

}  // namespace
