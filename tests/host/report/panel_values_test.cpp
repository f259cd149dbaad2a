#include "report/panel_values.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "nrw/format.h"
#include "nrwhost/files.h"
#include "report/editor_values.h"
#include "report/engine.h"
#include "report/panel_builder.h"
#include "report/report_host.h"
#include "report_fixtures.h"

namespace {

using nrw::TnTipoData;

TEST(EditorValues, WhatEachEditorTakesAndTheTextTheModuleReads) {
  struct Case {
    TnTipoData tipo;
    const char* typed;
    std::optional<std::string> read;
  };
  const Case cases[] = {
      {TnTipoData::Data, "31/12/2024", "31/12/2024"},
      {TnTipoData::Data, " 2024-12-31 ", "31/12/2024"},
      {TnTipoData::Data, "31/12/2024 10:30", "31/12/2024"},
      {TnTipoData::Data, "31/02/2024", std::nullopt},
      {TnTipoData::Data, "12/2024", std::nullopt},
      {TnTipoData::Data, "2024", std::nullopt},
      {TnTipoData::MesAno, "03/2025", "01/03/2025"},
      {TnTipoData::MesAno, "3/2025", "01/03/2025"},
      {TnTipoData::MesAno, "15/03/2025", "15/03/2025"},
      {TnTipoData::MesAno, "13/2025", std::nullopt},
      {TnTipoData::MesAno, "00/2025", std::nullopt},
      {TnTipoData::MesAno, "03/25", std::nullopt},
      {TnTipoData::MesAno, "2025", std::nullopt},
      {TnTipoData::Ano, "2025", "01/01/2025"},
      {TnTipoData::Ano, " 2025 ", "01/01/2025"},
      {TnTipoData::Ano, "31/12/2025", "31/12/2025"},
      {TnTipoData::Ano, "0000", std::nullopt},
      {TnTipoData::Ano, "20251", std::nullopt},
      {TnTipoData::Ano, "03/2025", std::nullopt},
      {TnTipoData::Inteiro, " +007 ", "7"},
      {TnTipoData::Inteiro, "-12", "-12"},
      {TnTipoData::Inteiro, "1.5", std::nullopt},
      {TnTipoData::Inteiro, "", std::nullopt},
      {TnTipoData::Decimal, " 1.234,56 ", "1.234,56"},
      {TnTipoData::Decimal, "abc", std::nullopt},
      {TnTipoData::Texto, " como digitado ", " como digitado "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(nrw::EditorValue(c.tipo, c.typed), c.read)
        << static_cast<int>(c.tipo) << " [" << c.typed << "]";
  }
}

constexpr const char* kLayout = R"({
  "report": "RptPainel",
  "page": {"width_mm": 210, "height_mm": 297},
  "params": [
    {"name": "pData", "type": "date", "default": "01/01/2024"},
    {"name": "pLista", "type": "selection"},
    {"name": "pModo", "type": "integer", "default": "0", "options": "0=Lista\n1=Mensal"},
    {"name": "pNota", "type": "text"}
  ]
})";

// Mode 1 disables the list and edits the date as month and year, as the modules' hooks do.
class Hooks : public nrw::TnrwBaseDll {
 public:
  using TnrwBaseDll::TnrwBaseDll;
  void DoParamChange(TObject*, nrw::TnpqParamItem& item) override {
    changes += (changes.empty() ? "" : " ") + item.Name() + "=" + item.GetAsString();
    if (!nrw::SameText(item.Name(), "pModo")) return;
    const bool mensal = item.GetAsString() == "1";
    nrw::TnpqPowerParam& panel = Report().GetParams();
    panel.EdEnabledField("pLista", !mensal);
    panel.EdFindFieldControl("pData")->GetFieldDefinicao().SetTipoData(
        static_cast<int>(mensal ? TnTipoData::MesAno : TnTipoData::Data));
  }
  std::string changes;
};

// The changes the hooks saw, or the usage error.
std::string Apply(const std::vector<nrw::ParamSetting>& settings) {
  const auto layout = report_test::SharedLayout(kLayout);
  const auto report = nrw::ReportHost::Make(std::make_unique<nrw::TnReportEngine>(layout));
  Hooks hooks(*report);
  nrw::BuildPanel(*layout, hooks, report->GetParams(), nrw::EncodeDate(2024, 3, 15));
  try {
    nrw::ApplyParamSettings(*layout, settings, hooks, report->GetParams());
  } catch (const nrw::UsageError& error) {
    return std::string("erro: ") + error.what();
  }
  return hooks.changes;
}

TEST(PanelValues, AppliedInTheLayoutsOrderWhateverTheOrderGiven) {
  struct Case {
    const char* name;
    std::vector<nrw::ParamSetting> settings;
    std::string outcome;
    //! The same outcome with the values given the other way round.
    bool either_order = true;
  };
  const Case cases[] = {
      {"top to bottom",
       {{"pModo", "0"}, {"pNota", "x"}, {"pLista", "5"}, {"pData", "31/12/2023"}},
       "pData=31/12/2023 pLista=5 pModo=0 pNota=x"},
      {"a value the hooks leave disabled",
       {{"pLista", "5"}, {"pModo", "1"}},
       "erro: Parâmetro pLista: está desabilitado no painel depois de pModo=1; não informe um "
       "valor para ele."},
      {"a month once a hook edits months",
       {{"pData", "03/2024"}, {"pModo", "1"}},
       "pData=01/03/2024 pModo=1"},
      {"a month where the editor shows dates",
       {{"pData", "03/2024"}, {"pModo", "0"}},
       "erro: Parâmetro pData: '03/2024' não é uma data válida (use dd/mm/aaaa)."},
      {"only the options",
       {{"pModo", "2"}},
       "erro: Parâmetro pModo: '2' não é uma das opções (0, 1)."},
      {"an integer as its number", {{"pModo", " 01 "}}, "pModo=1"},
      {"an unknown name",
       {{"pNada", "1"}},
       "erro: Parâmetro 'pNada' não existe no layout de RptPainel."},
      {"the last of two values",
       {{"pModo", "1"}, {"pLista", "5"}, {"pModo", "0"}},
       "pLista=5 pModo=0",
       false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Apply(c.settings), c.outcome) << c.name;
    if (!c.either_order) continue;
    const std::vector<nrw::ParamSetting> reversed(c.settings.rbegin(), c.settings.rend());
    EXPECT_EQ(Apply(reversed), c.outcome) << c.name << ", the other way round";
  }
}

}  // namespace
