// A report class that exists only to exercise the host's run: it prints one section per row of the
// main dataset, reacts to the panel hooks, answers the separator events, takes a dataset the host
// hands in and fails when asked to.
#include <memory>
#include <string>
#include <vector>

#include "nrw/events.h"
#include "nrw/format.h"
#include "nrw/handles.h"
#include "nrw/module.h"
#include "nrw/report.h"
#include "nrw/sql.h"

namespace {

class TRptReportTest : public nrw::TnrwBaseDll {
 public:
  explicit TRptReportTest(nrw::TnrwReport& report)
      : TnrwBaseDll(report),
        separator_sql_(report.GetParams().OnSQLSeparador, *this,
                       [this](nrw::TnpqPowerParam& panel, const std::string&, const std::string&,
                              const std::string&, int index,
                              std::string& sql) { OnSeparatorSql(panel, index, sql); }),
        separator_values_(report.OnSeparatorValues, *this,
                          [this](nrw::TnrwReport&, bool& generate) {
                            // Company 2 never gets a part of its own.
                            generate = RepParam("pEmpresas") != "2";
                          }) {}

  std::string Versao() override { return "[versao: 2.3.4.5]"; }

  void AntesConfigurar(nrw::TnpqPowerParam& panel) override {
    panel.Param("pModo").OpcaoTexto = "normal\nfalhar\nfalhar3\ninvertido\ncontar\nesvaziar";
  }

  void DoParamChange(TObject*, nrw::TnpqParamItem& item) override {
    if (nrw::SameText(item.Name(), "pModo")) {
      Report().GetParams().EdEnabledField("pEmpresas", item.GetAsString() != "falhar");
    }
  }

  void ImprimirInterno() override {
    const std::string mode = RepParam("pModo");
    if (mode == "contar" || mode == "esvaziar") TakeHandedRows(mode == "esvaziar");
    nrw::TnClientDataSet& rows = Query();
    // A statement of the module's own, so that the trace shows what modules send.
    nrw::TDataSetRef count =
        nrw::ExecutarSQL("select count(*) from EMPRESA_T where CODIGOEMPRESA >= :pMinimo",
                         std::vector<nrw::Variant>{1});
    RepParam("pTotal", count->Fields(0).AsString());
    int position = 0;
    for (rows.First(); !rows.Eof(); rows.Next()) {
      RepParam("R1", rows.FieldByName("NOME").AsString());
      RepPrintSection(10);
      RepShowProgress(++position, rows.RecordCount());
      if (mode == "falhar" ||
          (mode == "falhar3" && rows.FieldByName("CODIGOEMPRESA").AsInteger() == 3)) {
        throw nrw::Exception("Falha pedida pelo teste.");
      }
    }
    Report().MsgConfigurar({"Mensagem"});
    Report().MsgMensagem(1, "Linhas: " + std::to_string(position));
  }

 private:
  //! The dataset the host handed in "pDados": its record count, and optionally empties it.
  void TakeHandedRows(bool empty) {
    auto* rows = dynamic_cast<nrw::TnClientDataSet*>(
        nrw::ResolveHandle(static_cast<int32_t>(nrw::StrToIntDef(RepParam("pDados"), 0))));
    RepParam("pRegistros", rows == nullptr ? "nenhum" : std::to_string(rows->RecordCount()));
    if (rows != nullptr && empty) rows->EmptyDataSet();
  }

  void OnSeparatorSql(nrw::TnpqPowerParam& panel, int index, std::string& sql) {
    panel.SetValues("pSeparadores", panel.GetValues("pSeparadores") + std::to_string(index));
    if (RepParam("pModo") == "invertido") sql += " desc";
  }

  nrw::EventBinding<nrw::TnpqPowerParam&, const std::string&, const std::string&,
                    const std::string&, int, std::string&>
      separator_sql_;
  nrw::EventBinding<nrw::TnrwReport&, bool&> separator_values_;
};

}  // namespace

NRW_REPORT_CLASS(TRptReportTest)
