#include "report/panel_builder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "report/engine.h"
#include "report/panel_values.h"
#include "report/report_host.h"
#include "report_fixtures.h"
#include "run/output_files.h"

namespace {

constexpr const char* kLayout = R"({
  "report": "RptPainel",
  "page": {"width_mm": 210, "height_mm": 297},
  "params": [
    {"name": "pAnoBase", "type": "date", "default": "31/12/{ano-1}", "caption": "Ano base"},
    {"name": "pEmpresas", "type": "selection", "control": "lookup", "visible": false},
    {"name": "pCopias", "type": "integer", "default": "1", "options": "1\n2", "dictionary": "COPIAS"}
  ]
})";

// Records the hooks the panel host calls and what the panel looked like at each.
class Recorder : public nrw::TnrwBaseDll {
 public:
  using TnrwBaseDll::TnrwBaseDll;
  void AntesConfigurar(nrw::TnpqPowerParam& panel) override {
    calls.push_back("Antes:" + panel.GetValues("pAnoBase") +
                    (panel.EdFindFieldControl("pAnoBase") == nullptr ? ":sem controle" : ""));
  }
  void DepoisConfigurar(nrw::TnpqPowerParam& panel) override {
    calls.push_back(std::string("Depois:") +
                    (panel.EdFindFieldControl("pEmpresas") != nullptr ? "com controle" : ""));
  }
  void DoParamEnter(TObject*, nrw::TnpqParamItem& item) override {
    calls.push_back("Enter:" + item.Name() + "=" + item.GetAsString());
  }
  void DoParamChange(TObject* sender, nrw::TnpqParamItem& item) override {
    calls.push_back("Change:" + item.Name() + "=" + item.GetAsString() +
                    (item.Checked ? ":marcado" : "") +
                    (sender == item.Control() ? ":pelo controle" : ""));
  }
  void DoParamExit(TObject*, nrw::TnpqParamItem& item) override {
    calls.push_back("Exit:" + item.Name());
  }
  std::vector<std::string> calls;
};

TEST(PanelBuilder, CallsTheHooksAsAPanelDoes) {
  const auto layout = report_test::SharedLayout(kLayout);
  const auto owned = nrw::ReportHost::Make(std::make_unique<nrw::TnReportEngine>(layout));
  nrw::TnrwReport& report = *owned;
  Recorder recorder(report);
  nrw::TnpqPowerParam& panel = report.GetParams();
  nrw::BuildPanel(*layout, recorder, panel, nrw::EncodeDate(2024, 3, 15));
  nrw::ApplyParamSettings(*layout, {{"PCOPIAS", "2"}}, recorder, panel);

  EXPECT_EQ(recorder.calls,
            (std::vector<std::string>{"Antes:31/12/2023:sem controle", "Depois:com controle",
                                      "Enter:pCopias=1", "Change:pCopias=2:marcado:pelo controle",
                                      "Exit:pCopias"}));
  const nrw::TnpqParamItem& copias = *panel.FindParam("pCopias");
  EXPECT_EQ(copias.OpcaoTexto, "1\n2");
  EXPECT_EQ(copias.FieldDefinicao, "COPIAS");
  EXPECT_TRUE(copias.Control()->Checked());
  EXPECT_FALSE(panel.ParamUnCheck("pAnoBase")) << "defaults do not restrict";
  EXPECT_FALSE(panel.FindParam("pEmpresas")->Visivel);
  EXPECT_NE(dynamic_cast<nrw::TnFraCtrlNDLink*>(panel.EdFindFieldControl("pEmpresas")), nullptr);
  EXPECT_EQ(panel.EdFindFieldControl("pAnoBase")->GetAsDate(), nrw::EncodeDate(2023, 12, 31));
}

TEST(PanelBuilder, DefaultMarkers) {
  const nrw::TDateTime today = nrw::EncodeDate(2024, 3, 15);
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"{ano}", "2024"},
      {"{ano-1}", "2023"},
      {"01/01/{ano+2}", "01/01/2026"},
      {"{hoje}", "15/03/2024"},
      {"{ano-x}", "{ano-x}"},
      {"{outro} {ano}", "{outro} 2024"},
      {"sem marcador", "sem marcador"},
      {"{ano", "{ano"},
  };
  for (const Case& c : cases) EXPECT_EQ(nrw::ExpandDefault(c.text, today), c.expected) << c.text;
}

TEST(OutputFiles, UnsafeCharactersBecomeUnderscores) {
  struct Case {
    const char* value;
    const char* expected;
  };
  const Case cases[] = {
      {"12", "12"},     {"a/b", "a_b"},   {"a\\b:c*d?e\"f<g>h|i", "a_b_c_d_e_f_g_h_i"},
      {"..", "_"},      {".", "_"},       {"linha\nnova", "linha_nova"},
      {"Ação", "Ação"}, {"a..b", "a..b"},
  };
  for (const Case& c : cases) EXPECT_EQ(nrw::SafeFileNamePart(c.value), c.expected) << c.value;
}

}  // namespace
