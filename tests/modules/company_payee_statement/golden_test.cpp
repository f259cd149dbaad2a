// Whole runs on the demo database, kept as golden traces: every company's statements of the base
// year, and the employer registered by CEI in two copies with the rules that leave records out.
#include "support/golden.h"

#include <gtest/gtest.h>

#include "support/fixture_db.h"
#include "support/module_run.h"

namespace {

class CompanyPayeeStatementGolden : public support::DemoDbTest {};

TEST_P(CompanyPayeeStatementGolden, DemoBaseYear) {
  const support::RunOutcome run = support::Run(
      {"RptCompanyPayeeStatement", {{"pAnoBase1", "01/01/2023"}, {"pDispensarAss", "1"}}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_TRUE(support::MatchesGolden(
      run.Lines(), "tests/modules/company_payee_statement/golden/demo_2023.jsonl"));
}

TEST_P(CompanyPayeeStatementGolden, DemoCeiEmployerTwoCopiesOnlyWithTax) {
  const support::RunOutcome run = support::Run({"RptCompanyPayeeStatement",
                                                {{"pAnoBase1", "01/01/2023"},
                                                 {"pCodigoEmpresa", "5"},
                                                 {"pCopias", "2"},
                                                 {"pIrrf", "2"},
                                                 {"pGerarSemRetidoAno", "0"}}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_TRUE(support::MatchesGolden(
      run.Lines(), "tests/modules/company_payee_statement/golden/demo_2023_cei.jsonl"));
}

NRW_ON_EVERY_DATABASE(CompanyPayeeStatementGolden);

}  // namespace
