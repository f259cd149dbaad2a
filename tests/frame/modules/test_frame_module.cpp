// A report class that exists only to exercise the entry unit: it counts its constructions and
// destructions on the report's panel and raises when asked to.
#include "nrw/format.h"
#include "nrw/module.h"
#include "nrw/report.h"

namespace {

void Increment(nrw::TnrwReport& report, const char* name) {
  auto& panel = report.GetParams();
  panel.SetValues(name, std::to_string(nrw::StrToIntDef(panel.GetValues(name), 0) + 1));
}

class TRptTestFrame : public nrw::TnrwBaseDll {
 public:
  explicit TRptTestFrame(nrw::TnrwReport& report) : TnrwBaseDll(report) {
    Increment(report, "pConstruidos");
  }
  ~TRptTestFrame() override { Increment(Report(), "pDestruidos"); }
  std::string Versao() override { return "[versao: 9.9.9.9]"; }
  void ImprimirInterno() override {
    Increment(Report(), "pExecutados");
    if (RepParam("pFalhar") == "1") throw nrw::Exception("Falha pedida pelo teste.");
  }
};

}  // namespace

NRW_REPORT_CLASS(TRptTestFrame)
