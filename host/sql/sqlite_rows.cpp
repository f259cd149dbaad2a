#include "sql/sqlite_rows.h"

#include <fmt/format.h>

#include <string_view>
#include <vector>

#include "core/detailed_error.h"
#include "data/dataset_builder.h"
#include "data/value_convert.h"
#include "nrw/core.h"
#include "nrw/format.h"
#include "sql/sqlite_errors.h"

namespace nrw {
namespace {

// Whether the declaration names the part (upper case), in any case: read for every column of every
// statement run, so without a copy of the declaration.
bool Contains(std::string_view declared, std::string_view part) {
  for (size_t i = 0; i + part.size() <= declared.size(); ++i) {
    if (SameText(declared.substr(i, part.size()), part)) return true;
  }
  return false;
}

std::string_view ColumnText(sqlite3_stmt* stmt, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
  return text ? std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(stmt, column)))
              : std::string_view();
}

bool IsBlankText(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// Dates are stored as ISO text; anything else in a date column is reported, never guessed at.
void AppendDateValue(TnDataSetBuilder& builder, sqlite3_stmt* stmt, int column,
                     const std::string& name, const std::string& sql) {
  const int storage = sqlite3_column_type(stmt, column);
  if (storage == SQLITE_NULL) {
    builder.AppendNull();
    return;
  }
  const std::string_view text = ColumnText(stmt, column);
  if (storage == SQLITE_TEXT && IsBlankText(text)) {
    builder.AppendNull();
    return;
  }
  if (storage == SQLITE_TEXT) {
    if (const std::optional<TDateTime> date = ParseIsoDate(text)) {
      builder.AppendDate(*date);
      return;
    }
  }
  throw DetailedError(
      fmt::format("Valor '{}' da coluna '{}' não é uma data válida (esperado aaaa-mm-dd).",
                  text.substr(0, 40), name),
      sql);
}

// Computed columns: the storage class of each value goes to the builder, which types the column.
void AppendByStorage(TnDataSetBuilder& builder, sqlite3_stmt* stmt, int column) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
      builder.AppendNull();
      break;
    case SQLITE_INTEGER:
      builder.AppendInteger(sqlite3_column_int64(stmt, column));
      break;
    case SQLITE_FLOAT:
      builder.AppendFloat(sqlite3_column_double(stmt, column));
      break;
    default:
      builder.AppendText(ColumnText(stmt, column));
      break;
  }
}

}  // namespace

std::optional<TFieldType> FieldTypeFromDecl(const char* declared) {
  if (declared == nullptr || *declared == '\0') return std::nullopt;
  const std::string_view text(declared);
  if (Contains(text, "DATE") || Contains(text, "TIME")) return TFieldType::Date;
  if (Contains(text, "INT")) return TFieldType::Integer;
  if (Contains(text, "CHAR") || Contains(text, "TEXT") || Contains(text, "CLOB")) {
    return TFieldType::Text;
  }
  for (const char* part : {"NUMERIC", "DECIMAL", "REAL", "FLOA", "DOUB", "MONEY"}) {
    if (Contains(text, part)) return TFieldType::Float;
  }
  return std::nullopt;
}

void RaiseSqliteError(sqlite3* db, const std::string& sql) {
  RaiseDatabaseError(sqlite3_extended_errcode(db), sqlite3_errmsg(db), sql);
}

std::shared_ptr<TnDataStore> ReadSqliteRows(sqlite3* db, sqlite3_stmt* stmt,
                                            const std::string& sql) {
  const int column_count = sqlite3_column_count(stmt);
  std::vector<TnFieldDef> defs;
  defs.reserve(static_cast<size_t>(column_count));
  for (int c = 0; c < column_count; ++c) {
    const char* name = sqlite3_column_name(stmt, c);
    defs.push_back({name ? name : "", FieldTypeFromDecl(sqlite3_column_decltype(stmt, c))});
  }
  TnDataSetBuilder builder(defs);
  for (;;) {
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) RaiseSqliteError(db, sql);
    for (int c = 0; c < column_count; ++c) {
      const TnFieldDef& def = defs[static_cast<size_t>(c)];
      if (def.type == TFieldType::Date) {
        AppendDateValue(builder, stmt, c, def.name, sql);
      } else if (def.type == TFieldType::Text && sqlite3_column_type(stmt, c) != SQLITE_NULL) {
        builder.AppendText(ColumnText(stmt, c));
      } else {
        // Integer and Float columns take the value as stored; the builder converts it to the
        // column type or reports the column and value that do not fit.
        try {
          AppendByStorage(builder, stmt, c);
        } catch (const Exception& error) {
          throw DetailedError(error.what(), sql);
        }
      }
    }
    builder.EndRow();
  }
  return builder.Finish();
}

}  // namespace nrw
