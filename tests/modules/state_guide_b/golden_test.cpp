// The guides of the demo database's base year, kept as a golden trace: two establishments with
// every annex, a producer not on record, a guide whose annex 06 holds only the other's rows.
#include "support/golden.h"

#include <gtest/gtest.h>

#include "support/fixture_db.h"
#include "support/module_run.h"

namespace {

class StateGuideBGolden : public support::DemoDbTest {};

TEST_P(StateGuideBGolden, DemoBaseYear) {
  const support::RunOutcome run = support::Run({"RptStateGuideB", {{"pAnoBase", "01/01/2023"}}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_EQ(run.result.pages, 4);
  EXPECT_TRUE(
      support::MatchesGolden(run.Lines(), "tests/modules/state_guide_b/golden/demo_2023.jsonl"));
}

NRW_ON_EVERY_DATABASE(StateGuideBGolden);

}  // namespace
