#include "nrw/progress.h"

#include <utility>

#include "core/live_count.h"
#include "nrwhost/progress_sink.h"

namespace nrw {
namespace {

ProgressSink& TheSink() {
  static ProgressSink sink;
  return sink;
}

}  // namespace

TnFraProgresso::~TnFraProgresso() {
  AdjustLiveCount(LiveKind::ProgressBox, -1);
  if (visible_) {
    visible_ = false;
    Show();
  }
}

std::unique_ptr<TnFraProgresso> TnFraProgresso::CriarProgresso(TObject*) {
  // The constructor is private to the factory, which make_unique cannot reach.
  auto box = std::unique_ptr<TnFraProgresso>(new TnFraProgresso());
  AdjustLiveCount(LiveKind::ProgressBox, 1);
  return box;
}

ProgressSinkScope::ProgressSinkScope(ProgressSink sink) : previous_(std::move(TheSink())) {
  TheSink() = std::move(sink);
}

ProgressSinkScope::~ProgressSinkScope() { TheSink() = std::move(previous_); }

void TnFraProgresso::Show() const {
  if (const ProgressSink& sink = TheSink()) sink(caption_, position_, total_, visible_);
}

void TnFraProgresso::MostrarSimples(TObject*) {
  visible_ = true;
  Show();
}

void TnFraProgresso::ConfigurarProgressoTotal(int total, const std::string& caption) {
  total_ = total;
  position_ = 0;
  caption_ = caption;
  Show();
}

void TnFraProgresso::ConfigurarProgressoTotal(TnClientDataSet& dataset,
                                              const std::string& caption) {
  ConfigurarProgressoTotal(dataset.RecordCount(), caption);
}

void TnFraProgresso::IncProgressoTotal() {
  ++position_;
  Show();
}

void TnFraProgresso::IncProgressoTotal(const std::string& caption) {
  caption_ = caption;
  IncProgressoTotal();
}

void TnFraProgresso::Hide() {
  visible_ = false;
  Show();
}

}  // namespace nrw
