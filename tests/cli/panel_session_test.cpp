// `nrw panel --session`: events in, the whole panel after the hooks out, one line each.
#include "panel_session.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "database_scope.h"
#include "nrw_driver.h"
#include "support/paths.h"
#include "support/temp_dir.h"

namespace {

using cli_test::Nrw;

class PanelSession : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Nrw({"demo-db", dir_.File("demo.db")}).status, 0); }

  // The answers to the lines, for the income statement run as the given user.
  std::vector<nlohmann::json> Answers(const std::vector<std::string>& lines, int usuario) {
    nrw::cli::OpenDatabase database(dir_.File("demo.db"));
    nrw::cli::CurrentUser user(usuario);
    nrw::SessionOptions options;
    options.module_path = support::ModulePath("RptIncomeStatement");
    options.layout_path = support::LayoutPath("RptIncomeStatement");
    nrw::RunSession session(options);
    std::string input;
    for (const std::string& line : lines) input += line + "\n";
    std::istringstream in(input);
    std::ostringstream out;
    nrw::cli::ServePanelSession(session, in, out);
    std::vector<nlohmann::json> answers;
    std::istringstream written(out.str());
    for (std::string line; std::getline(written, line);)
      answers.push_back(nlohmann::json::parse(line));
    return answers;
  }

  static const nlohmann::json& Item(const nlohmann::json& panel, const std::string& name) {
    for (const nlohmann::json& item : panel["items"]) {
      if (item["name"] == name) return item;
    }
    static const nlohmann::json none;
    ADD_FAILURE() << "sem o item " << name;
    return none;
  }

  support::TempDir dir_;
};

TEST_F(PanelSession, EveryEventAnswersTheWholePanelAfterTheHooks) {
  const std::vector<nlohmann::json> answers = Answers(
      {
          R"({"event": "enter", "name": "pPublicarBrevix"})",
          R"({"event": "change", "name": "pPublicarBrevix", "value": "1"})",
          R"({"event": "change", "name": "pBeneficiarios", "value": "123"})",
          R"({"event": "change", "name": "pPublicarBrevix", "value": 0})",
          R"({"event": "exit", "name": "pPublicarBrevix"})",
          R"({"event": "change", "name": "pCopias", "value": "abc"})",
          R"({"event": "change", "name": "pCopias", "value": null})",
          R"({"event": "change", "name": "pNada", "value": "1"})",
          "não é json",
          R"({"event": "saltar", "name": "pCopias"})",
          R"({"event": "panel"})",
      },
      1);
  ASSERT_EQ(answers.size(), 12u);
  EXPECT_TRUE(Item(answers[0], "pBeneficiarios")["enabled"]);
  EXPECT_TRUE(Item(answers[0], "pBeneficiarios")["split"]);
  EXPECT_FALSE(Item(answers[2], "pBeneficiarios")["enabled"]);
  // A change to a disabled item is refused and leaves it as it was.
  EXPECT_NE(answers[3].value("error", "").find("pBeneficiarios"), std::string::npos) << answers[3];
  EXPECT_EQ(Item(answers[3], "pBeneficiarios")["value"], "");
  EXPECT_TRUE(Item(answers[4], "pBeneficiarios")["enabled"]);
  EXPECT_FALSE(answers[5].contains("error"));
  // A value that does not pass names its parameter; the old value stays.
  EXPECT_NE(answers[6].value("error", "").find("pCopias"), std::string::npos) << answers[6];
  EXPECT_EQ(Item(answers[6], "pCopias")["value"], "1");
  // Cleared.
  EXPECT_FALSE(answers[7].contains("error")) << answers[7];
  EXPECT_EQ(Item(answers[7], "pCopias")["value"], "");
  EXPECT_FALSE(Item(answers[7], "pCopias")["checked"]);
  EXPECT_NE(answers[8].value("error", "").find("pNada"), std::string::npos);
  EXPECT_TRUE(answers[9].contains("error"));
  EXPECT_FALSE(answers[9].contains("items"));
  EXPECT_TRUE(answers[10].contains("error"));
  EXPECT_EQ(Item(answers[11], "pCopias")["value"], "");
}

TEST_F(PanelSession, LookupsListOnlyTheUsersCompaniesAndFilterByText) {
  const std::vector<nlohmann::json> answers = Answers(
      {
          R"({"event": "lookup", "name": "pCodigoEmpresa"})",
          R"({"event": "lookup", "name": "pBeneficiarios", "limit": 3})",
          R"({"event": "lookup", "name": "pCodigoEmpresa", "q": "nenhuma empresa assim"})",
          R"({"event": "change", "name": "pCodigoEmpresa", "value": "1"})",
          R"({"event": "lookup", "name": "pCopias"})",
      },
      2);
  ASSERT_EQ(answers.size(), 6u);
  ASSERT_EQ(answers[1]["candidates"].size(), 1u) << answers[1];
  EXPECT_EQ(answers[1]["candidates"][0]["value"], "3");
  EXPECT_EQ(answers[2]["candidates"].size(), 3u);
  EXPECT_EQ(answers[3]["candidates"].size(), 0u);
  EXPECT_NE(answers[4].value("error", "").find("pCodigoEmpresa"), std::string::npos) << answers[4];
  EXPECT_TRUE(answers[5].contains("error"));
  // Digits alone find a beneficiary by the digits of a formatted number.
  const std::string number = answers[2]["candidates"][0]["value"];
  std::string digits;
  for (const char c : number) {
    if (c >= '0' && c <= '9') digits += c;
  }
  const std::vector<nlohmann::json> found = Answers(
      {nlohmann::json{{"event", "lookup"}, {"name", "pBeneficiarios"}, {"q", digits.substr(0, 6)}}
           .dump()},
      2);
  ASSERT_EQ(found.size(), 2u);
  ASSERT_GE(found[1]["candidates"].size(), 1u);
  EXPECT_EQ(found[1]["candidates"][0]["value"], number);
}

}  // namespace
