#include "report/panel_describe.h"

#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "nrw/format.h"
#include "nrwhost/settings.h"
#include "report/engine.h"
#include "report/panel_builder.h"
#include "report/report_host.h"
#include "report_fixtures.h"

namespace {

constexpr const char* kLayout = R"({
  "report": "RptPainel",
  "title": "Painel de teste",
  "page": {"width_mm": 210, "height_mm": 297},
  "params": [
    {"name": "pAno", "caption": "Ano base", "type": "date", "editor": "year",
     "default": "01/01/{ano-1}"},
    {"name": "pCompet", "type": "date", "editor": "month", "default": "01/{ano}"},
    {"name": "pEmissao", "type": "date"},
    {"name": "pEmpresas", "caption": "Empresas", "type": "selection", "dictionary": "CODIGOEMPRESA"},
    {"name": "pBenef", "type": "selection", "dictionary": "INSCRFEDERALBENEF", "control": "lookup"},
    {"name": "pVias", "caption": "Vias", "type": "integer", "default": "1", "min": 1, "max": 99},
    {"name": "pGrupo", "type": "integer", "dictionary": "CODIGOGRUPOPROC", "visible": false},
    {"name": "pOpcao", "caption": "Opção | a", "type": "integer", "default": "0",
     "options": "0=Não\n1=Sim"},
    {"name": "pTexto", "type": "text"}
  ],
  "separators": [{"param": "pEmpresas", "fields": "CODIGOEMPRESA", "table": "EMPRESA"}]
})";

// Amends the beneficiaries' lookup and makes a report variable, as modules do.
class Hooks : public nrw::TnrwBaseDll {
 public:
  using TnrwBaseDll::TnrwBaseDll;
  void DepoisConfigurar(nrw::TnpqPowerParam& panel) override {
    auto* lookup = dynamic_cast<nrw::TnFraCtrlNDLink*>(panel.EdFindFieldControl("pBenef"));
    filter_ = {lookup->OnDepoisCriarFiltro, *this,
               [](nrw::TObject*, std::string& filter) { filter += "t_t.ANOBASE = '2023-01-01'"; }};
    panel.SetValues("pAviso", "arredondados");
  }

 private:
  nrw::EventBinding<nrw::TObject*, std::string&> filter_;
};

class PanelDescription : public ::testing::Test {
 protected:
  void TearDown() override { nrw::DefinirUsuarioAtual(std::nullopt); }

  nrw::PanelDescription Describe(std::optional<int> user) {
    nrw::DefinirUsuarioAtual(user);
    nrw::BuildPanel(*layout_, hooks_, report_->GetParams(), nrw::EncodeDate(2024, 3, 15));
    return nrw::DescribePanel(*layout_, hooks_.Versao(), report_->GetParams(),
                              nrw::EncodeDate(2024, 3, 15));
  }

  report_test::MemoryDatabase db_{R"(
    create table USUARIOEMPRESA (CODIGOUSUARIO INTEGER, CODIGOEMPRESA INTEGER);
    insert into USUARIOEMPRESA values (7, 5), (7, 2), (7, 3);
  )"};
  std::shared_ptr<const nrw::Layout> layout_ = report_test::SharedLayout(kLayout);
  std::unique_ptr<nrw::TnrwReport> report_ =
      nrw::ReportHost::Make(std::make_unique<nrw::TnReportEngine>(layout_));
  Hooks hooks_{*report_};
};

TEST_F(PanelDescription, EachItemSaysWhatItTakesAndWhereItsCandidatesAre) {
  const nrw::PanelDescription panel = Describe(7);
  struct Case {
    const char* name;
    const char* type;
    const char* range;
    size_t options;
    bool split;
    const char* lookup;
  };
  const char* const rights = "(t_t.CODIGOEMPRESA in (2, 3, 5))";
  const Case cases[] = {
      {"pAno", "year", "", 0, false, ""},
      {"pCompet", "month", "", 0, false, ""},
      {"pEmissao", "date", "", 0, false, ""},
      {"pEmpresas", "selection", "", 0, true,
       "select distinct t_t.CODIGOEMPRESA, t_t.NOMEEMPRESA from EMPRESA t_t where "
       "(t_t.CODIGOEMPRESA in (2, 3, 5)) order by 1"},
      {"pBenef", "selection", "", 0, false,
       "select distinct t_t.INSCRFEDERALBENEF, t_t.NOMEBENEF from DIRFREGBENEFICIARIO t_t where "
       "(t_t.ANOBASE = '2023-01-01') and (t_t.CODIGOEMPRESA in (2, 3, 5)) order by 1"},
      {"pVias", "integer", "1..99", 0, false, ""},
      {"pGrupo", "integer", "-2147483648..2147483647", 0, false,
       "select distinct t_t.CODIGOGRUPOPROC from GRUPOEMPRESA t_t where "
       "(t_t.CODIGOEMPRESAPROC in (2, 3, 5)) order by 1"},
      {"pOpcao", "option_list", "", 2, false, ""},
      {"pTexto", "text", "", 0, false, ""},
      {"pAviso", "text", "", 0, false, ""},
  };
  ASSERT_EQ(panel.items.size(), std::size(cases));
  for (size_t i = 0; i < panel.items.size(); ++i) {
    const nrw::PanelItemDescription& item = panel.items[i];
    const Case& c = cases[i];
    EXPECT_EQ(item.name, c.name);
    EXPECT_EQ(item.type, c.type) << c.name;
    const std::string range =
        item.min ? nrw::FloatToStr(*item.min) + ".." + nrw::FloatToStr(*item.max) : "";
    EXPECT_EQ(range, c.range) << c.name;
    EXPECT_EQ(item.options.size(), c.options) << c.name;
    EXPECT_EQ(item.split, c.split) << c.name;
    EXPECT_EQ(item.lookup ? item.lookup->sql : "", c.lookup) << c.name;
  }
  EXPECT_EQ(panel.items[0].default_value, "01/01/2023");
  EXPECT_EQ(panel.items[0].layout_default, "01/01/{ano-1}");
  EXPECT_TRUE(panel.items.back().variable);
  EXPECT_NE(panel.items[3].lookup->filter.find(rights), std::string::npos);
}

TEST_F(PanelDescription, WithoutAUserLookupsKeepTheModulesFilterOnly) {
  const nrw::PanelDescription panel = Describe(std::nullopt);
  EXPECT_EQ(panel.items[3].lookup->filter, "");
  EXPECT_EQ(panel.items[4].lookup->filter, "t_t.ANOBASE = '2023-01-01'");
}

TEST_F(PanelDescription, JsonForProgramsAndMarkdownForTheGuide) {
  const nrw::PanelDescription panel = Describe(std::nullopt);
  const nlohmann::json json = nlohmann::json::parse(nrw::PanelJson(panel));
  EXPECT_EQ(json["report"], "RptPainel");
  EXPECT_EQ(json["items"][5],
            nlohmann::json::parse(R"({"name": "pVias", "caption": "Vias", "type": "integer",
              "value": "1", "default": "1", "enabled": true, "visible": true, "checked": false,
              "range": {"min": 1.0, "max": 99.0}, "options": [], "split": false,
              "dictionary": "", "lookup": null})"));
  EXPECT_EQ(
      json["items"][7]["options"],
      nlohmann::json::parse(R"([{"value": "0", "text": "Não"}, {"value": "1", "text": "Sim"}])"));
  EXPECT_EQ(json["items"][9]["variable"], true);

  const std::string markdown = nrw::PanelMarkdown(panel);
  for (const char* row : {
           "## RptPainel: Painel de teste\n",
           "| `pAno` | Ano base | ano | aaaa ou dd/mm/aaaa | `01/01/{ano-1}` | não |\n",
           "| `pEmpresas` | Empresas | seleção | códigos de EMPRESA.CODIGOEMPRESA | vazio: todos | "
           "sim |\n",
           "| `pVias` | Vias | inteiro | de 1 a 99 | `1` | não |\n",
           "| `pGrupo` | pGrupo (oculto no painel) | inteiro | número inteiro | vazio | não |\n",
           "| `pOpcao` | Opção \\| a | opções | `0` Não<br>`1` Sim | `0` | não |\n",
       }) {
    EXPECT_NE(markdown.find(row), std::string::npos) << row << markdown;
  }
  EXPECT_EQ(markdown.find("pAviso"), std::string::npos) << "variables are not parameters";
}

}  // namespace
