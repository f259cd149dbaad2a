#include "nrw/datetime.h"
#include "nrw/report.h"

namespace nrw {

TnFraControle::TnFraControle(TnpqParamItem& item) : item_(item) {}

TnFraControle::~TnFraControle() = default;

std::string TnFraControle::GetAsString() const { return item_.GetAsString(); }

TDateTime TnFraControle::GetAsDate() const { return item_.GetAsDate(); }

void TnFraControle::SetAsDate(TDateTime date) { item_.SetAsDate(date); }

void TnFraControle::SetAsInteger(int64_t value) { item_.SetAsInteger(value); }

void TnFraControle::SetAsString(const std::string& text) { item_.SetAsString(text); }

// The reference host edits values as text whatever the data type, so a new definition changes
// nothing in the stored value; descendants that draw an edit mask re-apply it here.
void TnFraControle::AplicarDefinicao() {}

TnFraCtrlNDLink::~TnFraCtrlNDLink() = default;

std::string TnFraCtrlNDLink::MontarFiltro(const std::string& base_filter) {
  std::string filter = base_filter;
  OnDepoisCriarFiltro(this, filter);
  return filter;
}

}  // namespace nrw
