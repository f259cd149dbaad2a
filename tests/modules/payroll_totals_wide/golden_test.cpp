// Whole runs on the demo database, kept as golden traces: the year of every company, and the
// group of companies 1 and 2 as user 1 sees it, with pro-labore, by name and a page per
// establishment.
#include "support/golden.h"

#include <gtest/gtest.h>

#include <optional>

#include "nrwhost/settings.h"
#include "support/fixture_db.h"
#include "support/module_run.h"

namespace {

class PayrollTotalsWideGolden : public support::DemoDbTest {
 protected:
  void TearDown() override { nrw::DefinirUsuarioAtual(std::nullopt); }
};

TEST_P(PayrollTotalsWideGolden, DemoYear) {
  const support::RunOutcome run = support::Run(
      {"RptPayrollTotalsWide", {{"pCompetInicial", "01/01/2023"}, {"pCompetFinal", "31/12/2023"}}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_TRUE(support::MatchesGolden(run.Lines(),
                                     "tests/modules/payroll_totals_wide/golden/demo_2023.jsonl"));
}

TEST_P(PayrollTotalsWideGolden, DemoGroupAsUserWithProLaboreByName) {
  nrw::DefinirUsuarioAtual(1);
  const support::RunOutcome run = support::Run({"RptPayrollTotalsWide",
                                                {{"pCompetInicial", "01/06/2023"},
                                                 {"pCompetFinal", "30/09/2023"},
                                                 {"pCodigoGrupoProc", "1"},
                                                 {"pContarSomarProLabore", "1"},
                                                 {"pOrdenar", "2"},
                                                 {"pQuebrar", "3"}}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_TRUE(support::MatchesGolden(
      run.Lines(), "tests/modules/payroll_totals_wide/golden/demo_2023_grupo.jsonl"));
}

NRW_ON_EVERY_DATABASE(PayrollTotalsWideGolden);

}  // namespace
