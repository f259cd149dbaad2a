// Conversions of values to a column's type, shared by the builder, AppendRecord, key searches and
// the filter: one place decides what "12" means to an Integer column.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "nrw/dataset.h"
#include "nrw/datetime.h"
#include "nrw/variant.h"

namespace nrw {

//! Strict ISO date "yyyy-mm-dd", optionally followed by " hh:nn[:ss[.zzz]]" (or "T" instead of the
//! blank); nothing else is accepted, so codes and names are never taken for dates.
std::optional<TDateTime> ParseIsoDate(std::string_view text);

//! Shortest round-trip text of a float with a decimal point ("1234.5", "100").
std::string NumberText(double value);

//! The value as the column type stores it: Integer, Float, Text or Date variant, or null. Blank
//! text is null for non-text columns. Raises "Valor '<v>' inválido para o campo '<name>'." when it
//! does not convert; a non-integral float never becomes an Integer.
Variant ConvertForField(const Variant& value, TFieldType type, const std::string& field_name);

//! Same conversion without raising: empty when the value does not convert.
std::optional<Variant> TryConvertForField(const Variant& value, TFieldType type);

}  // namespace nrw
