#include <utility>

#include "nrw/datetime.h"
#include "nrw/format.h"
#include "nrw/report.h"
#include "report/report_host.h"
#include "util/name_key.h"

namespace nrw {

TnValueObserver::~TnValueObserver() = default;

TnpqParamItem::TnpqParamItem(TnpqPowerParam& owner, std::string name)
    : owner_(owner), name_(std::move(name)) {}

TnpqParamItem::~TnpqParamItem() = default;

int64_t TnpqParamItem::GetAsInteger() const { return StrToIntDef(value_, 0); }

TDateTime TnpqParamItem::GetAsDate() const { return StrToDateDef(value_, TDateTime()); }

void TnpqParamItem::SetValue(const std::string& text) {
  value_ = text;
  owner_.NotifyWrite(name_, value_);
}

void TnpqParamItem::SetAsString(const std::string& text) { SetValue(text); }

void TnpqParamItem::SetAsInteger(int64_t value) { SetValue(IntToStr(value)); }

void TnpqParamItem::SetAsDate(TDateTime date) { SetValue(DateToStr(date)); }

void TnpqParamItem::SetControl(std::unique_ptr<TnFraControle> control) {
  control_ = std::move(control);
}

TnpqPowerParam::TnpqPowerParam() = default;

TnpqPowerParam::~TnpqPowerParam() = default;

std::string TnpqPowerParam::GetValues(std::string_view name) const {
  const TnpqParamItem* item = FindParam(name);
  return item == nullptr ? std::string() : item->GetAsString();
}

void TnpqPowerParam::SetValues(std::string_view name, const std::string& text) {
  Param(name).SetValue(text);
}

TnpqParamItem& TnpqPowerParam::Param(std::string_view name) {
  if (TnpqParamItem* found = FindParam(name)) return *found;
  TnpqParamItem& made = AddItem(std::string(name));
  made.Variavel = true;
  return made;
}

TnpqParamItem* TnpqPowerParam::FindParam(std::string_view name) const {
  const auto found = index_.find(NameKey(name));
  return found == index_.end() ? nullptr : found->second;
}

bool TnpqPowerParam::ParamUnCheck(std::string_view name) const {
  const TnpqParamItem* item = FindParam(name);
  return item != nullptr && item->Checked;
}

TnFraControle* TnpqPowerParam::EdFindFieldControl(std::string_view name) const {
  const TnpqParamItem* item = FindParam(name);
  return item == nullptr ? nullptr : item->Control();
}

void TnpqPowerParam::EdEnabledField(std::string_view name, bool on) {
  if (TnFraControle* control = EdFindFieldControl(name)) control->SetEnabled(on);
}

int TnpqPowerParam::GetSeparadoresCount() const { return static_cast<int>(separadores_.size()); }

TnSeparadorItem& TnpqPowerParam::GetSeparadores(int index) {
  if (index < 0 || index >= GetSeparadoresCount()) {
    throw Exception("Índice de separador fora dos limites: " + std::to_string(index) + ".");
  }
  return separadores_[static_cast<size_t>(index)];
}

TnpqParamItem& TnpqPowerParam::AddItem(std::string name) {
  if (TnpqParamItem* found = FindParam(name)) return *found;
  std::string key = NameKey(name);
  items_.push_back(std::make_unique<TnpqParamItem>(*this, std::move(name)));
  TnpqParamItem& made = *items_.back();
  index_.emplace(std::move(key), &made);
  return made;
}

void TnpqPowerParam::AddSeparador(TnSeparadorItem item) { separadores_.push_back(std::move(item)); }

void TnpqPowerParam::NotifyWrite(const std::string& name, const std::string& value) const {
  if (observer_ != nullptr) observer_->ValueWritten(name, value);
}

}  // namespace nrw
