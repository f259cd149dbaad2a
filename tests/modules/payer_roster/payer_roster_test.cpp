// The payer roster through the host: whole demo runs as golden traces, the company sums the
// controller judges with, the split of tax and contributions per detail month, the generation
// options on the panel, and the data module freed when its run fails.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "nrw/siblings.h"
#include "nrwhost/files.h"
#include "nrwhost/settings.h"
#include "support/declaration_rows.h"
#include "support/fixture_db.h"
#include "support/golden.h"
#include "support/module_run.h"
#include "support/sibling_class.h"

namespace {

using support::Beneficiary;
using support::MesRow;
using support::RegistroRow;

support::RunOutcome Rodar(std::vector<nrw::ParamSetting> params) {
  params.insert(params.begin(), {"pAnoBase", "01/01/2023"});
  return support::Run({"RptPayerRoster", params});
}

class PayerRosterGolden : public support::DemoDbTest {};

TEST_P(PayerRosterGolden, DemoBaseYear) {
  const support::RunOutcome run = Rodar({});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_TRUE(
      support::MatchesGolden(run.Lines(), "tests/modules/payer_roster/golden/demo_2023.jsonl"));
}

// The year before: company 4 pays employees only, so leaving employees and directors out leaves
// it without a line, while the progress still counts it.
TEST_P(PayerRosterGolden, DemoYearBeforeWithoutEmployees) {
  const support::RunOutcome run =
      support::Run({"RptPayerRoster",
                    {{"pAnoBase", "01/01/2022"}, {"pOpIrrfFunc", "4"}, {"pOpIrrfDiretor", "4"}}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_EQ(run.Values(8, "R1"), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(run.Events("progress").back()["pos"], 4);
  EXPECT_TRUE(support::MatchesGolden(
      run.Lines(), "tests/modules/payer_roster/golden/demo_2022_without_employees.jsonl"));
}

NRW_ON_EVERY_DATABASE(PayerRosterGolden);

TEST(PayerRoster, CompanySumsJudgeEveryRecordAndContributionsKeepTheirTaxOut) {
  support::FixtureDb db;
  const Beneficiary a{"111.111.111-11", 1}, b{"11.111.111/0001-11", 1, 2023, 2},
      c{"222.222.222-22", 1}, d{"333.333.333-33", 2}, e{"22.222.222/0001-22", 3, 2023, 2},
      f{"33.333.333/0001-33", 4, 2023, 2}, g{"444.444.444-44", 5}, h{"555.555.555-55", 5};
  std::string sql = "INSERT INTO RENDIMENTOANUAL VALUES ('2023-01-01', 28559.70, 1903.98);";
  for (int empresa = 1; empresa <= 5; ++empresa) {
    sql +=
        support::Declarante(empresa, 2023, {{"NOMEESTAB", "Empresa " + std::to_string(empresa)}});
  }
  sql +=
      // 1: a third party's tax is IRRF; a month with PIS withheld counts its PIS, not its tax;
      // month 13 is a month like the others.
      RegistroRow(a, 588, 2, 1000, 100) + MesRow(a, 588, 1, {{"VALORRETIDO", 100}}) +
      RegistroRow(b, 5952, 3, 1000, 100) + MesRow(b, 5952, 1, {{"VALORRETIDO", 100}, {"PIS", 1}}) +
      RegistroRow(c, 561, 1, 1000, 50) + MesRow(c, 561, 1, {{"VALORRETIDO", 50}}) +
      MesRow(c, 561, 13, {{"VALORRETIDO", 30}}) +
      // 2: nobody withheld anything: every record is left out (third parties: option 2).
      RegistroRow(d, 588, 2, 1000, 0) + MesRow(d, 588, 1, {{"VALORRENDIMENTO", 1000}}) +
      // 3: below the taxable limit, but the thirteenth salary's income takes the company over it.
      RegistroRow(e, 1708, 3, 20000, 0) + MesRow(e, 1708, 13, {{"VALORRENDIMENTO", 10000}}) +
      // 4: the same without the thirteenth salary stays below and is left out (option 3).
      RegistroRow(f, 1708, 3, 20000, 0) +
      // 5: a record whose year shows no tax is kept because the company withheld tax on another
      // one; its months then count.
      RegistroRow(g, 588, 2, 1000, 0) + MesRow(g, 588, 1, {{"VALORRETIDO", 5}}) +
      RegistroRow(h, 588, 2, 1000, 10) + MesRow(h, 588, 1, {{"VALORRETIDO", 10}});
  db.Exec(sql);

  const support::RunOutcome run = Rodar({{"pOpIrrfTerc", "2"}, {"pOpIrrfOutEmp", "3"}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  std::vector<std::string> linhas;
  for (const support::Printed& p : run.ModulePrints()) {
    std::string linha = p.Var("R1");
    for (const char* v : {"R2", "R3", "R4", "R5", "R6", "R7"}) linha += "|" + p.Var(v);
    linhas.push_back(linha);
  }
  EXPECT_EQ(linhas, (std::vector<std::string>{
                        "1|Empresa 1|180,00|1,00|0,00|0,00|181,00",
                        "3|Empresa 3|0,00|0,00|0,00|0,00|0,00",
                        "5|Empresa 5|15,00|0,00|0,00|0,00|15,00",
                    }));
  std::vector<int> progresso;
  for (const auto& ev : run.Events("progress")) progresso.push_back(ev["pos"]);
  EXPECT_EQ(progresso, (std::vector<int>{1, 2, 3, 4, 5})) << "every company, listed or not";
}

TEST(PayerRoster, GenerationOptionsStayConsistentOnThePanel) {
  support::FixtureDb db;
  const struct {
    const char* name;
    std::vector<nrw::ParamSetting> params;
    bool irrf_enabled, conflito_enabled;
    std::string conflito;
  } cases[] = {
      {"contributions only: no tax, no conflict", {{"pGerar", "1"}}, false, false, "3"},
      {"tax of persons from both sources",
       {{"pGerarConflito", "2"}, {"pGerar", "2"}},
       true,
       true,
       "2"},
      {"tax of companies from the payroll only",
       {{"pGerar", "4"}, {"pGerarIRRF", "1"}},
       true,
       false,
       "3"},
      {"other parameters change nothing",
       {{"pGerarConflito", "1"}, {"pAnoBase", "01/01/2023"}},
       true,
       true,
       "1"},
  };
  for (const auto& c : cases) {
    support::ModuleSession session({"RptPayerRoster", c.params});
    nrw::TnpqPowerParam& panel = session.Panel();
    EXPECT_EQ(panel.EdFindFieldControl("pGerarIRRF")->Enabled(), c.irrf_enabled) << c.name;
    EXPECT_EQ(panel.EdFindFieldControl("pGerarConflito")->Enabled(), c.conflito_enabled) << c.name;
    EXPECT_EQ(panel.GetValues("pGerarConflito"), c.conflito) << c.name;
  }  // A value for an option the generation disables is refused, in either order.
  for (const auto& params :
       {std::vector<nrw::ParamSetting>{{"pGerarConflito", "1"}, {"pGerar", "1"}},
        std::vector<nrw::ParamSetting>{{"pGerar", "1"}, {"pGerarConflito", "1"}}}) {
    try {
      support::ModuleSession session({"RptPayerRoster", params});
      ADD_FAILURE() << "a value for a disabled parameter was taken";
    } catch (const nrw::UsageError& error) {
      EXPECT_STREQ(error.what(),
                   "Parâmetro pGerarConflito: está desabilitado no painel depois de pGerar=1; não "
                   "informe um valor para ele.");
    }
  }
}

// A data module that fails its run, or that is not one, is freed before the error reaches the
// host, and nothing is printed.
int g_vivos = 0;
class TModuloQueFalha : public nrw::TnDMPowerParam {
 public:
  TModuloQueFalha() { ++g_vivos; }
  ~TModuloQueFalha() override { --g_vivos; }
  void Executar() override { throw nrw::Exception("Falhou a geração."); }
};
class TNaoModulo : public nrw::TObject {
 public:
  TNaoModulo() { ++g_vivos; }
  ~TNaoModulo() override { --g_vivos; }
};

TEST(PayerRosterFailure, TheDataModuleIsFreedWhenTheRunFails) {
  support::FixtureDb db;
  const struct {
    nrw::TnDMFactory factory;
    const char* error;
  } cases[] = {
      {[] { return std::make_unique<TModuloQueFalha>(); }, "Falhou a geração."},
      {[] { return std::make_unique<TNaoModulo>(); }, "Conversão de tipo inválida"},
  };
  for (const auto& c : cases) {
    const support::SiblingClassOverride substituta("TPayrollWithholdingData", c.factory);
    const support::RunOutcome run = Rodar({});
    EXPECT_EQ(run.result.error, c.error);
    EXPECT_EQ(g_vivos, 0) << c.error;
    EXPECT_TRUE(run.ModulePrints().empty()) << c.error;
  }
  // The host's own data module is back for the tests that follow.
  EXPECT_TRUE(Rodar({}).result.ok);
}

}  // namespace
