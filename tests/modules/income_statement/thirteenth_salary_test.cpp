// Line 01 of quadro 5 is the 13th salary net of the deductions taken from it, the figure the
// beneficiary copies into the yearly return: for every statement of the demo it must equal the
// review's 13th-salary row (income less dependents, alimony, official and private pension and the
// simplified discount), summed over the beneficiary's retention codes.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <regex>
#include <string>
#include <utility>

#include "nrw/format.h"
#include "support/fixture_db.h"
#include "support/module_run.h"

namespace {

using Key = std::pair<std::string, std::string>;  // company registration, beneficiary

std::map<Key, double> ReviewNetThirteenth() {
  const support::RunOutcome review =
      support::Run({"RptWithholdingReview", {{"pAnoBase", "01/01/2023"}}});
  EXPECT_TRUE(review.result.ok) << review.result.error;
  std::map<Key, double> net;
  for (const support::Printed& p : review.ModulePrints()) {
    if (p.section != 10 || p.Var("pmes") != "13º") continue;
    double value = nrw::StrToFloat(p.Var("R1"));
    for (const char* deduction : {"R2", "R3", "R4", "R5", "R7"}) {
      value -= nrw::StrToFloat(p.Var(deduction));
    }
    net[{p.Var("pc1"), p.Var("pf2")}] += value;
  }
  return net;
}

class ThirteenthSalary : public support::DemoDbTest {};

TEST_P(ThirteenthSalary, EveryStatementShowsTheReviewsNetThirteenth) {
  const std::map<Key, double> expected = ReviewNetThirteenth();
  const support::RunOutcome statements =
      support::Run({"RptIncomeStatement", {{"pAnoBase1", "01/01/2023"}}});
  ASSERT_TRUE(statements.result.ok) << statements.result.error;

  const std::string registration = R"((\d{2}\.\d{3}\.\d{3}/\d{4}-\d{2}|\d{3}\.\d{3}\.\d{3}-\d{2}))";
  const std::regex statement("1\\. Fonte Pagadora[^]*?" + registration + "[^]*?2\\. Pessoa F[^]*?" +
                             registration + "[^]*?01\\. Décimo terceiro salário +([0-9.,-]+)");
  int compared = 0;
  int with_thirteenth = 0;
  for (std::sregex_iterator it(statements.text.begin(), statements.text.end(), statement), end;
       it != end; ++it) {
    const Key key{(*it)[1], (*it)[2]};
    const double shown = nrw::StrToFloat((*it)[3].str());
    const auto found = expected.find(key);
    const double review = found == expected.end() ? 0 : found->second;
    EXPECT_NEAR(shown, review, 0.005) << key.first << " " << key.second;
    ++compared;
    with_thirteenth += std::fabs(shown) > 0.005;
  }
  EXPECT_GT(compared, 30);
  EXPECT_GT(with_thirteenth, 20) << "most employees of the demo have a 13th salary";
}

NRW_ON_EVERY_DATABASE(ThirteenthSalary);

}  // namespace
