#include "data/data_store.h"
#include "data/dataset_builder.h"
#include "nrw/dataset.h"

namespace nrw {

TField::TField(TnClientDataSet& owner, int index) : owner_(&owner), index_(index) {}

const std::string& TField::FieldName() const { return owner_->FieldName(index_); }
TFieldType TField::DataType() const { return owner_->FieldType(index_); }
bool TField::IsNull() const { return owner_->CurrentIsNull(index_); }
// Values of their own column type are read straight from the store; every other reading goes
// through the Variant conversions, so both give the same answers.
int64_t TField::AsInteger() const {
  uint32_t row = 0;
  const TnDataStore* store = owner_->CurrentRecord(index_, row);
  if (store == nullptr) return 0;
  const TnDataStore::Column& column = store->ColumnAt(index_);
  if (column.IsNull(row)) return 0;
  if (column.type == TFieldType::Integer) return column.ints[row];
  return store->ValueAt(index_, row).AsInteger();
}

double TField::AsFloat() const {
  uint32_t row = 0;
  const TnDataStore* store = owner_->CurrentRecord(index_, row);
  if (store == nullptr) return 0.0;
  const TnDataStore::Column& column = store->ColumnAt(index_);
  if (column.IsNull(row)) return 0.0;
  if (column.type == TFieldType::Integer) return static_cast<double>(column.ints[row]);
  if (column.type != TFieldType::Text) return column.reals[row];
  return store->ValueAt(index_, row).AsFloat();
}

std::string TField::AsString() const {
  uint32_t row = 0;
  const TnDataStore* store = owner_->CurrentRecord(index_, row);
  if (store == nullptr) return {};
  const TnDataStore::Column& column = store->ColumnAt(index_);
  if (column.IsNull(row)) return {};
  if (column.type == TFieldType::Text) return std::string(column.texts[row]);
  return store->ValueAt(index_, row).AsString();
}

TDateTime TField::AsDateTime() const {
  uint32_t row = 0;
  const TnDataStore* store = owner_->CurrentRecord(index_, row);
  if (store == nullptr) return TDateTime();
  const TnDataStore::Column& column = store->ColumnAt(index_);
  if (column.IsNull(row)) return TDateTime();
  if (column.type == TFieldType::Date) return TDateTime(column.reals[row]);
  return store->ValueAt(index_, row).AsDate();
}
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
