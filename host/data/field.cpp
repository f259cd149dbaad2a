#include "data/dataset_builder.h"
#include "nrw/dataset.h"

namespace nrw {

TField::TField(TnClientDataSet& owner, int index) : owner_(&owner), index_(index) {}

const std::string& TField::FieldName() const { return owner_->FieldName(index_); }
TFieldType TField::DataType() const { return owner_->FieldType(index_); }
bool TField::IsNull() const { return owner_->CurrentIsNull(index_); }
int64_t TField::AsInteger() const { return Value().AsInteger(); }
double TField::AsFloat() const { return Value().AsFloat(); }
std::string TField::AsString() const { return Value().AsString(); }
TDateTime TField::AsDateTime() const { return Value().AsDate(); }
Variant TField::Value() const { return owner_->CurrentValue(index_); }

void TnFieldBinder::operator()(std::string_view name, TField*& member) {
  member = &dataset_.FieldByName(name);
}

TnFieldMap::~TnFieldMap() = default;

void MapearFields(TnClientDataSet& dataset, TnFieldMap& map) {
  TnFieldBinder binder(dataset);
  map.Fields(binder);
}

TnDataProvider::~TnDataProvider() = default;

}  // namespace nrw
