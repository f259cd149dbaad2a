#include <fmt/format.h>

#include "data/data_store.h"
#include "data/dataset_builder.h"
#include "data/value_convert.h"
#include "nrw/core.h"
#include "nrw/dataset.h"

namespace nrw {

namespace {

// Computed SQL columns carry no declared type: the values decide, the narrowest type that holds
// them all wins, and a text column becomes a date column only when every text is an ISO date.
TFieldType DecideType(const std::vector<Variant>& values) {
  bool any = false, all_integer = true, all_number = true, all_date = true;
  for (const Variant& value : values) {
    switch (value.kind()) {
      case Variant::Kind::Null:
        continue;
      case Variant::Kind::Integer:
        all_date = false;
        break;
      case Variant::Kind::Float:
        all_integer = false;
        all_date = false;
        break;
      case Variant::Kind::Text:
        all_integer = false;
        all_number = false;
        if (all_date && !ParseIsoDate(value.AsString())) all_date = false;
        break;
      case Variant::Kind::Date:
        all_integer = false;
        all_number = false;
        break;
      case Variant::Kind::Array:
        return TFieldType::Text;
    }
    any = true;
  }
  if (!any) return TFieldType::Text;
  if (all_integer) return TFieldType::Integer;
  if (all_number) return TFieldType::Float;
  if (all_date) return TFieldType::Date;
  return TFieldType::Text;
}

}  // namespace

struct TnDataSetBuilder::Impl {
  std::vector<TnFieldDef> defs;
  std::vector<TnDataStore::Column> columns;
  //! Values of the columns whose type is decided at Finish.
  std::vector<std::vector<Variant>> pending;
  std::vector<Variant> row;
  size_t filled = 0;
  size_t row_count = 0;

  explicit Impl(std::vector<TnFieldDef> fields) : defs(std::move(fields)) { Reset(); }

  void Reset() {
    columns.assign(defs.size(), {});
    pending.assign(defs.size(), {});
    for (size_t i = 0; i < defs.size(); ++i) {
      columns[i].name = defs[i].name;
      columns[i].type = defs[i].type.value_or(TFieldType::Text);
    }
    row.assign(defs.size(), Variant());
    filled = 0;
    row_count = 0;
  }

  void Add(const Variant& value) {
    if (filled >= defs.size()) {
      throw Exception(fmt::format("Valores demais na linha {}: o dataset tem {} campos.",
                                  row_count + 1, defs.size()));
    }
    const TnFieldDef& def = defs[filled];
    if (!def.type && value.kind() == Variant::Kind::Array) {
      throw Exception(fmt::format("Valor '(lista)' inválido para o campo '{}'.", def.name));
    }
    row[filled] = def.type ? ConvertForField(value, *def.type, def.name) : value;
    ++filled;
  }

  void EndRow() {
    if (filled != defs.size()) {
      throw Exception(fmt::format("Linha {} incompleta: {} de {} valores.", row_count + 1, filled,
                                  defs.size()));
    }
    for (size_t i = 0; i < defs.size(); ++i) {
      if (defs[i].type) {
        PushValue(columns[i], row[i]);
      } else {
        pending[i].push_back(std::move(row[i]));
      }
      row[i] = Variant();
    }
    filled = 0;
    ++row_count;
  }

  std::shared_ptr<TnDataStore> Finish() {
    if (filled != 0) {
      throw Exception(fmt::format("Linha {} incompleta: {} de {} valores.", row_count + 1, filled,
                                  defs.size()));
    }
    for (size_t i = 0; i < defs.size(); ++i) {
      if (defs[i].type) continue;
      TnDataStore::Column& column = columns[i];
      column.type = DecideType(pending[i]);
      for (const Variant& value : pending[i]) {
        PushValue(column, ConvertForField(value, column.type, column.name));
      }
      pending[i] = {};
    }
    auto store = std::make_shared<TnDataStore>(std::move(columns), row_count);
    Reset();
    return store;
  }
};

TnDataSetBuilder::TnDataSetBuilder(std::vector<TnFieldDef> fields)
    : impl_(std::make_unique<Impl>(std::move(fields))) {}
TnDataSetBuilder::~TnDataSetBuilder() = default;

void TnDataSetBuilder::AppendNull() { impl_->Add(Variant()); }
void TnDataSetBuilder::AppendInteger(int64_t value) { impl_->Add(Variant(value)); }
void TnDataSetBuilder::AppendFloat(double value) { impl_->Add(Variant(value)); }
void TnDataSetBuilder::AppendText(std::string_view value) {
  impl_->Add(Variant(std::string(value)));
}
void TnDataSetBuilder::AppendDate(TDateTime value) { impl_->Add(Variant(value)); }
void TnDataSetBuilder::Append(const Variant& value) { impl_->Add(value); }
void TnDataSetBuilder::EndRow() { impl_->EndRow(); }
std::shared_ptr<TnDataStore> TnDataSetBuilder::Finish() { return impl_->Finish(); }

}  // namespace nrw
