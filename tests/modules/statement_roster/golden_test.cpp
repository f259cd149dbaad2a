// Whole runs on the demo database, kept as golden traces: the complete roster of the base year,
// and the summary with a page per company and every group judged against the yearly limits.
#include "support/golden.h"

#include <gtest/gtest.h>

#include "support/fixture_db.h"
#include "support/module_run.h"

namespace {

class StatementRosterGolden : public support::DemoDbTest {};

TEST_P(StatementRosterGolden, DemoBaseYear) {
  const support::RunOutcome run =
      support::Run({"RptStatementRoster", {{"pAnoBase", "01/01/2023"}}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_TRUE(
      support::MatchesGolden(run.Lines(), "tests/modules/statement_roster/golden/demo_2023.jsonl"));
}

TEST_P(StatementRosterGolden, DemoSummaryPagePerCompanyWithTheYearlyLimits) {
  const support::RunOutcome run = support::Run({"RptStatementRoster",
                                                {{"pAnoBase", "01/01/2023"},
                                                 {"pQuebraPagina", "2"},
                                                 {"pTipoRelatorio", "1"},
                                                 {"pGerarFunc", "4"},
                                                 {"pGerarTerc", "4"},
                                                 {"pGerarOutEmp", "4"}}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_TRUE(support::MatchesGolden(
      run.Lines(), "tests/modules/statement_roster/golden/demo_2023_limites.jsonl"));
}

NRW_ON_EVERY_DATABASE(StatementRosterGolden);

}  // namespace
