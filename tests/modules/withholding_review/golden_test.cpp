// Whole runs on the demo database, kept as golden traces: the review of a base year, whole and
// split per declaring company. Each runs on SQLite and on PostgreSQL (when a server is given): both
// must give the same trace.
#include "support/golden.h"

#include <gtest/gtest.h>

#include "support/fixture_db.h"
#include "support/module_run.h"

namespace {

class WithholdingReviewGolden : public support::DemoDbTest {};

TEST_P(WithholdingReviewGolden, DemoBaseYear) {
  const support::RunOutcome run =
      support::Run({"RptWithholdingReview", {{"pAnoBase", "01/01/2023"}}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_TRUE(support::MatchesGolden(run.Lines(),
                                     "tests/modules/withholding_review/golden/demo_2023.jsonl"));
}

TEST_P(WithholdingReviewGolden, DemoSplitPerCompany) {
  const support::RunOutcome run =
      support::Run({"RptWithholdingReview", {{"pAnoBase", "01/01/2023"}}, {"pEmpresas"}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_TRUE(support::MatchesGolden(
      run.Lines(), "tests/modules/withholding_review/golden/demo_2023_parts.jsonl"));
}

NRW_ON_EVERY_DATABASE(WithholdingReviewGolden);

}  // namespace
