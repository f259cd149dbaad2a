// A report class that misbehaves on request, for the server's tests: pModo "falhar" crashes the
// process while printing, "dormir" keeps it printing for a long while; a change of pModo to
// "derrubar" crashes the panel's process in the hook.
#include <csignal>
#include <thread>

#include "nrw/dataset.h"
#include "nrw/module.h"
#include "nrw/report.h"

namespace {

class TRptServeProbe : public nrw::TnrwBaseDll {
 public:
  explicit TRptServeProbe(nrw::TnrwReport& report) : TnrwBaseDll(report) {}
  std::string Versao() override { return "[versao: 1.0.0.0]"; }
  void DoParamChange(nrw::TObject* sender, nrw::TnpqParamItem& item) override {
    if (item.GetAsString() == "derrubar") std::raise(SIGSEGV);
    TnrwBaseDll::DoParamChange(sender, item);
  }
  void ImprimirInterno() override {
    const std::string mode = RepParam("pModo");
    if (mode == "falhar") std::raise(SIGSEGV);
    if (mode == "dormir") std::this_thread::sleep_for(std::chrono::seconds(60));
    nrw::TnClientDataSet& rows = Query();
    for (rows.First(); !rows.Eof(); rows.Next()) RepPrintSection(10);
  }
};

}  // namespace

NRW_REPORT_CLASS(TRptServeProbe)
