#include "report/company_rights.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "nrwhost/files.h"
#include "nrwhost/settings.h"
#include "report/engine.h"
#include "report/panel_builder.h"
#include "report/panel_values.h"
#include "report/report_host.h"
#include "report_fixtures.h"

namespace {

constexpr const char* kLayout = R"({
  "report": "RptDireitos",
  "page": {"width_mm": 210, "height_mm": 297},
  "params": [
    {"name": "pEmpresas", "type": "selection", "dictionary": "CODIGOEMPRESA"},
    {"name": "pGrupo", "type": "integer", "dictionary": "CODIGOGRUPOPROC"},
    {"name": "pEstab", "type": "selection", "dictionary": "CODIGOESTAB"}
  ]
})";

constexpr const char* kRights = R"(
  create table USUARIOEMPRESA (CODIGOUSUARIO INTEGER, CODIGOEMPRESA INTEGER);
  insert into USUARIOEMPRESA values (7, 5), (7, 2), (7, 3), (9, 1);
  create table GRUPOEMPRESA (CODIGOGRUPOPROC INTEGER, CODIGOEMPRESAPROC INTEGER);
  insert into GRUPOEMPRESA values (1, 1), (1, 2), (2, 4);
)";

class CompanyRights : public ::testing::Test {
 protected:
  void TearDown() override { nrw::DefinirUsuarioAtual(std::nullopt); }

  // The company selection a run reads after the user's values, or the usage error.
  static std::string Confined(std::optional<int> user,
                              const std::vector<nrw::ParamSetting>& settings) {
    nrw::DefinirUsuarioAtual(user);
    const auto layout = report_test::SharedLayout(kLayout);
    const auto report = nrw::ReportHost::Make(std::make_unique<nrw::TnReportEngine>(layout));
    nrw::TnrwBaseDll instance(*report);
    nrw::TnpqPowerParam& panel = report->GetParams();
    nrw::BuildPanel(*layout, instance, panel, nrw::EncodeDate(2024, 3, 15));
    try {
      nrw::ApplyParamSettings(*layout, settings, instance, panel);
      nrw::ConfineToUserCompanies(*layout, panel);
    } catch (const nrw::UsageError& error) {
      return std::string("erro: ") + error.what();
    }
    EXPECT_EQ(panel.GetValues("pEstab"), "") << "only company selections are confined";
    return "[" + panel.GetValues("pEmpresas") + "]" +
           (panel.ParamUnCheck("pEmpresas") ? "" : " livre");
  }

  report_test::MemoryDatabase db_{kRights};
};

TEST_F(CompanyRights, ACompanySelectionHoldsOnlyTheUsersCompanies) {
  struct Case {
    const char* name;
    std::optional<int> user;
    std::vector<nrw::ParamSetting> settings;
    std::string outcome;
  };
  const Case cases[] = {
      {"no user: every company", std::nullopt, {}, "[] livre"},
      {"no user: a selection as given", std::nullopt, {{"pEmpresas", "1..4"}}, "[1..4]"},
      {"empty: all of the user's", 7, {}, "[2;3;5]"},
      {"the user's own codes as given", 7, {{"pEmpresas", " 3;5 "}}, "[ 3;5 ]"},
      {"a range: the user's within it", 7, {{"pEmpresas", "1..3"}}, "[2;3]"},
      {"a group: the user's companies of the group", 7, {{"pGrupo", "1"}}, "[2]"},
      {"a group without the user's companies", 7, {{"pGrupo", "2"}}, "[0]"},
      {"another company named",
       7,
       {{"pEmpresas", "2;1"}},
       "erro: Parâmetro pEmpresas: a empresa 1 não está entre as empresas do usuário 7."},
      {"other companies named",
       7,
       {{"pEmpresas", "1;4;5"}},
       "erro: Parâmetro pEmpresas: as empresas 1 e 4 não estão entre as empresas do usuário 7."},
      {"a range without the user's companies",
       7,
       {{"pEmpresas", "6..9"}},
       "erro: Parâmetro pEmpresas: nenhuma das empresas de '6..9' está entre as empresas do "
       "usuário 7."},
      {"a user without companies",
       8,
       {},
       "erro: O usuário 8 não tem direito a nenhuma empresa (USUARIOEMPRESA): não há o que "
       "imprimir."},
      {"a user without companies names one",
       8,
       {{"pEmpresas", "1"}},
       "erro: Parâmetro pEmpresas: a empresa 1 não está entre as empresas do usuário 8."},
  };
  for (const Case& c : cases) EXPECT_EQ(Confined(c.user, c.settings), c.outcome) << c.name;
}

}  // namespace
