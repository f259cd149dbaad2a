// Whole runs on the demo database, kept as golden traces: every value, print, page question and
// statement of the income statement of a base year, whole and split per beneficiary. Each runs on
// SQLite and on PostgreSQL (when a server is given): both must give the same trace.
#include "support/golden.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/fixture_db.h"
#include "support/module_run.h"

namespace {

class IncomeStatementGolden : public support::DemoDbTest {};

TEST_P(IncomeStatementGolden, DemoBaseYear) {
  const support::RunOutcome run =
      support::Run({"RptIncomeStatement", {{"pAnoBase1", "01/01/2023"}}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_TRUE(
      support::MatchesGolden(run.Lines(), "tests/modules/income_statement/golden/demo_2023.jsonl"));
}

TEST_P(IncomeStatementGolden, DemoOneCompanySplitPerBeneficiary) {
  const support::RunOutcome run =
      support::Run({"RptIncomeStatement",
                    {{"pAnoBase1", "01/01/2023"}, {"pCodigoEmpresa", "1"}},
                    {"pBeneficiarios"}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_TRUE(support::MatchesGolden(
      run.Lines(), "tests/modules/income_statement/golden/demo_2023_company1_parts.jsonl"));
}

// One beneficiary's part without a company: its statements find the beneficiary's rows across the
// companies (what every part of an office-wide split sends).
TEST_P(IncomeStatementGolden, DemoOneBeneficiaryPartAcrossCompanies) {
  const support::RunOutcome run =
      support::Run({"RptIncomeStatement",
                    {{"pAnoBase1", "01/01/2023"}, {"pBeneficiarios", "015.487.923-14"}},
                    {"pBeneficiarios"}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_TRUE(support::MatchesGolden(
      run.Lines(), "tests/modules/income_statement/golden/demo_2023_one_beneficiary_part.jsonl"));
}

// A run writes each page as it is finished and forgets it: the document must be the one the kept
// pages draw, page for page.
TEST_P(IncomeStatementGolden, StreamedPagesAreThePagesKept) {
  const support::ModuleRun run{"RptIncomeStatement", {{"pAnoBase1", "01/01/2023"}}};
  support::ModuleSession streamed(run);
  std::ostringstream streamed_text;
  const int pages = streamed.Session().Print(streamed_text);
  EXPECT_GT(pages, 10);

  support::ModuleSession kept(run);
  EXPECT_EQ(kept.Session().Print(), pages);
  std::ostringstream kept_text;
  kept.Session().WriteText(kept_text);
  EXPECT_EQ(streamed_text.str(), kept_text.str());
}

NRW_ON_EVERY_DATABASE(IncomeStatementGolden);

}  // namespace
