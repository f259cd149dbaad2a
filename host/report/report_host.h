// The host's access to the parts of its report classes that modules do not see: making a report
// over an engine, reaching the engine behind a report, building a panel and listening to it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "nrw/report.h"

namespace nrw {

//! Receives every value the panel's owner writes (the trace listens here).
class TnValueObserver {
 public:
  virtual ~TnValueObserver();
  virtual void ValueWritten(const std::string& name, const std::string& value) = 0;
};

class ReportHost {
 public:
  //! A report over the engine (an engine with an empty layout when none is given), registered in
  //! the handle table while it lives.
  static std::unique_ptr<TnrwReport> Make();
  static std::unique_ptr<TnrwReport> Make(std::unique_ptr<TnReportEngine> engine);
  static TnReportEngine& Engine(TnrwReport& report) { return report.Engine(); }
};

class PanelHost {
 public:
  //! The item of that name, made as a layout parameter when missing.
  static TnpqParamItem& AddItem(TnpqPowerParam& panel, std::string name) {
    return panel.AddItem(std::move(name));
  }
  static void AddSeparador(TnpqPowerParam& panel, TnSeparadorItem item) {
    panel.AddSeparador(std::move(item));
  }
  static const std::vector<std::unique_ptr<TnpqParamItem>>& Items(const TnpqPowerParam& panel) {
    return panel.items_;
  }
  static void SetObserver(TnpqPowerParam& panel, TnValueObserver* observer) {
    panel.observer_ = observer;
  }
};

}  // namespace nrw
