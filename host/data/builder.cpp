#include <fmt/format.h>

#include "data/data_store.h"
#include "data/dataset_builder.h"
#include "data/text_arena.h"
#include "data/value_convert.h"
#include "nrw/core.h"
#include "nrw/dataset.h"

namespace nrw {

namespace {

using Kind = Variant::Kind;

// A value of a computed column, kept as it came until the column's type is decided; a text is a
// view into the builder's arena.
struct Cell {
  Kind kind = Kind::Null;
  int64_t integer = 0;
  double real = 0;
  std::string_view text;

  Variant ToVariant() const {
    switch (kind) {
      case Kind::Integer:
        return Variant(integer);
      case Kind::Float:
        return Variant(real);
      case Kind::Text:
        return Variant(std::string(text));
      case Kind::Date:
        return Variant(TDateTime(real));
      case Kind::Null:
      case Kind::Array:
        break;
    }
    return Variant();
  }
};

// Computed SQL columns carry no declared type: the values decide, the narrowest type that holds
// them all wins, and a text column becomes a date column only when every text is an ISO date.
TFieldType DecideType(const std::vector<Cell>& cells) {
  bool any = false, all_integer = true, all_number = true, all_date = true;
  for (const Cell& cell : cells) {
    switch (cell.kind) {
      case Kind::Null:
      case Kind::Array:
        continue;
      case Kind::Integer:
        all_date = false;
        break;
      case Kind::Float:
        all_integer = false;
        all_date = false;
        break;
      case Kind::Text:
        all_integer = false;
        all_number = false;
        if (all_date && !ParseIsoDate(cell.text)) all_date = false;
        break;
      case Kind::Date:
        all_integer = false;
        all_number = false;
        break;
    }
    any = true;
  }
  if (!any) return TFieldType::Text;
  if (all_integer) return TFieldType::Integer;
  if (all_number) return TFieldType::Float;
  if (all_date) return TFieldType::Date;
  return TFieldType::Text;
}

void PushNull(TnDataStore::Column& column) {
  column.nulls.push_back(1);
  ++column.null_count;
  switch (column.type) {
    case TFieldType::Integer:
      column.ints.push_back(0);
      break;
    case TFieldType::Float:
    case TFieldType::Date:
      column.reals.push_back(0.0);
      break;
    case TFieldType::Text:
      column.texts.emplace_back();
      break;
  }
}

}  // namespace

// Values go straight into the typed columns (or, for computed columns, into cells decided at
// Finish); a Variant is made only where a value must be converted to another type.
struct TnDataSetBuilder::Impl {
  std::vector<TnFieldDef> defs;
  std::vector<TnDataStore::Column> columns;
  //! Cells of the columns whose type is decided at Finish.
  std::vector<std::vector<Cell>> pending;
  TextArena texts;
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
    texts = TextArena();
    filled = 0;
    row_count = 0;
  }

  //! The index of the next value's field; raises when the row is full.
  size_t Next() const {
    if (filled >= defs.size()) {
      throw Exception(fmt::format("Valores demais na linha {}: o dataset tem {} campos.",
                                  row_count + 1, defs.size()));
    }
    return filled;
  }

  bool Typed(size_t field) const { return defs[field].type.has_value(); }

  //! A value that is not of its column's type: converted (or refused) as the column says.
  void Convert(size_t field, const Variant& value) {
    TnDataStore::Column& column = columns[field];
    PushValue(column, texts, ConvertForField(value, column.type, column.name));
    ++filled;
  }

  void Keep(size_t field, Cell cell) {
    pending[field].push_back(cell);
    ++filled;
  }

  void AddNull() {
    const size_t field = Next();
    if (!Typed(field)) return Keep(field, {});
    PushNull(columns[field]);
    ++filled;
  }

  void AddInteger(int64_t value) {
    const size_t field = Next();
    if (!Typed(field)) return Keep(field, {Kind::Integer, value, 0, {}});
    TnDataStore::Column& column = columns[field];
    if (column.type == TFieldType::Integer) {
      column.ints.push_back(value);
    } else if (column.type == TFieldType::Float) {
      column.reals.push_back(static_cast<double>(value));
    } else {
      return Convert(field, Variant(value));
    }
    column.nulls.push_back(0);
    ++filled;
  }

  void AddFloat(double value) {
    const size_t field = Next();
    if (!Typed(field)) return Keep(field, {Kind::Float, 0, value, {}});
    TnDataStore::Column& column = columns[field];
    if (column.type != TFieldType::Float) return Convert(field, Variant(value));
    column.reals.push_back(value);
    column.nulls.push_back(0);
    ++filled;
  }

  void AddText(std::string_view value) {
    const size_t field = Next();
    if (!Typed(field)) return Keep(field, {Kind::Text, 0, 0, texts.Add(value)});
    TnDataStore::Column& column = columns[field];
    if (column.type != TFieldType::Text) return Convert(field, Variant(std::string(value)));
    column.texts.push_back(texts.Add(value));
    column.nulls.push_back(0);
    ++filled;
  }

  void AddDate(TDateTime value) {
    const size_t field = Next();
    if (!Typed(field)) return Keep(field, {Kind::Date, 0, value.value, {}});
    TnDataStore::Column& column = columns[field];
    if (column.type != TFieldType::Date) return Convert(field, Variant(value));
    column.reals.push_back(value.value);
    column.nulls.push_back(0);
    ++filled;
  }

  void Add(const Variant& value) {
    switch (value.kind()) {
      case Kind::Null:
        return AddNull();
      case Kind::Integer:
        return AddInteger(value.AsInteger());
      case Kind::Float:
        return AddFloat(value.AsFloat());
      case Kind::Text:
        return AddText(value.AsString());
      case Kind::Date:
        return AddDate(value.AsDate());
      case Kind::Array:
        break;
    }
    const size_t field = Next();
    if (!Typed(field)) {
      throw Exception(fmt::format("Valor '(lista)' inválido para o campo '{}'.", defs[field].name));
    }
    Convert(field, value);
  }

  [[noreturn]] void RaiseIncomplete() const {
    throw Exception(
        fmt::format("Linha {} incompleta: {} de {} valores.", row_count + 1, filled, defs.size()));
  }

  void EndRow() {
    if (filled != defs.size()) RaiseIncomplete();
    filled = 0;
    ++row_count;
  }

  //! The column of the cells, typed by their values; texts stay where they are in the arena.
  void Decide(size_t field) {
    TnDataStore::Column& column = columns[field];
    const std::vector<Cell>& cells = pending[field];
    column.type = DecideType(cells);
    for (const Cell& cell : cells) {
      if (cell.kind == Kind::Null) {
        PushNull(column);
      } else if (cell.kind == Kind::Integer && column.type == TFieldType::Integer) {
        column.ints.push_back(cell.integer);
        column.nulls.push_back(0);
      } else if (cell.kind == Kind::Float && column.type == TFieldType::Float) {
        column.reals.push_back(cell.real);
        column.nulls.push_back(0);
      } else if (cell.kind == Kind::Text && column.type == TFieldType::Text) {
        column.texts.push_back(cell.text);
        column.nulls.push_back(0);
      } else {
        PushValue(column, texts, ConvertForField(cell.ToVariant(), column.type, column.name));
      }
    }
    pending[field] = {};
  }

  std::shared_ptr<TnDataStore> Finish() {
    if (filled != 0) RaiseIncomplete();
    for (size_t i = 0; i < defs.size(); ++i) {
      if (!Typed(i)) Decide(i);
    }
    auto store = std::make_shared<TnDataStore>(std::move(columns), row_count, std::move(texts));
    Reset();
    return store;
  }
};

TnDataSetBuilder::TnDataSetBuilder(std::vector<TnFieldDef> fields)
    : impl_(std::make_unique<Impl>(std::move(fields))) {}
TnDataSetBuilder::~TnDataSetBuilder() = default;

void TnDataSetBuilder::AppendNull() { impl_->AddNull(); }
void TnDataSetBuilder::AppendInteger(int64_t value) { impl_->AddInteger(value); }
void TnDataSetBuilder::AppendFloat(double value) { impl_->AddFloat(value); }
void TnDataSetBuilder::AppendText(std::string_view value) { impl_->AddText(value); }
void TnDataSetBuilder::AppendDate(TDateTime value) { impl_->AddDate(value); }
void TnDataSetBuilder::Append(const Variant& value) { impl_->Add(value); }
void TnDataSetBuilder::EndRow() { impl_->EndRow(); }
std::shared_ptr<TnDataStore> TnDataSetBuilder::Finish() { return impl_->Finish(); }

}  // namespace nrw
