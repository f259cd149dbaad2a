// The user's guide's parameter reference (docs/parametros/) is what `nrw panel MODULE --markdown`
// says of each layout, so that it never goes stale: a layout change that is meant is written there
// with NRW_UPDATE_GOLDEN=1, as the golden traces are.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "nrw_driver.h"
#include "support/temp_dir.h"

namespace {

using cli_test::Nrw;

TEST(ParameterReference, EachModulesPageIsWhatItsPanelSays) {
  for (const char* module : {"RptIncomeStatement", "RptCompanyPayeeStatement", "RptStatementRoster",
                             "RptWithholdingReview", "RptPayerRoster", "RptPayrollTotals",
                             "RptPayrollTotalsWide", "RptStateGuideB"}) {
    const cli_test::Outcome panel = Nrw({"panel", module, "--markdown"});
    ASSERT_EQ(panel.status, 0) << module << "\n" << panel.err;
    const std::string page = std::string(NRW_SOURCE_DIR) + "/docs/parametros/" + module + ".md";
    if (std::getenv("NRW_UPDATE_GOLDEN") != nullptr) support::WriteFile(page, panel.out);
    EXPECT_EQ(support::ReadFile(page), panel.out)
        << page << " is stale: NRW_UPDATE_GOLDEN=1 writes it anew";
  }
}

}  // namespace
