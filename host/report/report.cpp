#include "nrw/report.h"

#include "nrw/handles.h"
#include "report/engine.h"
#include "report/report_host.h"

namespace nrw {

struct TnrwReport::Impl {
  Impl(TnrwReport& self, std::unique_ptr<TnReportEngine> made)
      : engine(made ? std::move(made) : std::make_unique<TnReportEngine>()), registration(self) {
    engine->Attach(self);
  }
  std::unique_ptr<TnReportEngine> engine;
  HandleRegistration registration;
};

TnrwReport::TnrwReport(std::unique_ptr<TnReportEngine> engine)
    : impl_(std::make_unique<Impl>(*this, std::move(engine))) {}

TnrwReport::~TnrwReport() = default;

int32_t TnrwReport::Handle() const { return impl_->registration.handle(); }

TnpqPowerParam& TnrwReport::GetParams() { return impl_->engine->Panel(); }

TnClientDataSet& TnrwReport::Query() { return impl_->engine->MainDataSet(); }

void TnrwReport::RepPrintSection(int section) { impl_->engine->PrintSection(section); }

bool TnrwReport::CSLIsPageEnd() const { return impl_->engine->IsPageEnd(); }

void TnrwReport::SetCSLIsPageEnd(bool on) { impl_->engine->SetPageEnd(on); }

bool TnrwReport::DelphiCanPrintSection(const std::vector<std::pair<int, int>>& pairs) {
  return impl_->engine->CanPrint(pairs);
}

void TnrwReport::CSLShowProgress(int position, int total) {
  impl_->engine->ShowProgress(position, total);
}

void TnrwReport::MsgConfigurar(const std::vector<std::string>& captions) {
  impl_->engine->ConfigureMessages(captions);
}

void TnrwReport::MsgMensagem(int kind, const std::string& text) {
  impl_->engine->AddMessage(kind, text);
}

void TnrwReport::RepObjCaption(const std::string& object, const std::string& caption) {
  impl_->engine->SetObjectCaption(object, caption);
}

void TnrwReport::RepObjProperty(const std::string& object, const std::string& property,
                                const std::string& value) {
  impl_->engine->SetObjectProperty(object, property, value);
}

void TnrwReport::RepEndOfPage(bool on) { impl_->engine->EndOfPage(on); }

bool TnrwReport::GerandoSeparado() const { return impl_->engine->GerandoSeparado(); }

TnReportEngine& TnrwReport::Engine() { return *impl_->engine; }

std::unique_ptr<TnrwReport> ReportHost::Make() { return Make(nullptr); }

std::unique_ptr<TnrwReport> ReportHost::Make(std::unique_ptr<TnReportEngine> engine) {
  // The constructor is private to the host; make_unique cannot reach it.
  return std::unique_ptr<TnrwReport>(new TnrwReport(std::move(engine)));
}

}  // namespace nrw
