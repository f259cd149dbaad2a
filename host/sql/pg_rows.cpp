#include "sql/pg_rows.h"

#include <fmt/format.h>

#include <charconv>

#include "core/detailed_error.h"
#include "data/dataset_builder.h"
#include "data/value_convert.h"
#include "nrw/core.h"
#include "sql/sql_lexer.h"

namespace nrw {
namespace {

// Type OIDs of PostgreSQL's catalog (fixed across versions).
constexpr Oid kBoolOid = 16;
constexpr Oid kInt8Oid = 20;
constexpr Oid kInt2Oid = 21;
constexpr Oid kInt4Oid = 23;
constexpr Oid kTextOid = 25;
constexpr Oid kOidOid = 26;
constexpr Oid kFloat4Oid = 700;
constexpr Oid kFloat8Oid = 701;
constexpr Oid kUnknownOid = 705;
constexpr Oid kBpcharOid = 1042;
constexpr Oid kVarcharOid = 1043;
constexpr Oid kDateOid = 1082;
constexpr Oid kTimestampOid = 1114;
constexpr Oid kTimestamptzOid = 1184;
constexpr Oid kNumericOid = 1700;

enum class ValueKind { kInteger, kFloat, kBoolean, kDate, kText };

struct Column {
  ValueKind kind;
  std::optional<TFieldType> type;
};

Column ColumnOf(Oid type, bool from_table) {
  switch (type) {
    case kInt2Oid:
    case kInt4Oid:
    case kInt8Oid:
    case kOidOid:
      return {ValueKind::kInteger, TFieldType::Integer};
    case kBoolOid:
      // SQLite has no booleans: a comparison in a select list is 0 or 1.
      return {ValueKind::kBoolean, TFieldType::Integer};
    case kFloat4Oid:
    case kFloat8Oid:
    case kNumericOid:
      return {ValueKind::kFloat, TFieldType::Float};
    case kDateOid:
    case kTimestampOid:
    case kTimestamptzOid:
      return {ValueKind::kDate, TFieldType::Date};
    case kTextOid:
    case kVarcharOid:
    case kBpcharOid:
    case kUnknownOid:
    default:
      // SQLite knows the declared type of a table column only; a computed text ('2024-01-31',
      // a CASE) is typed by its values there, and so here.
      if (from_table) return {ValueKind::kText, TFieldType::Text};
      return {ValueKind::kText, std::nullopt};
  }
}

bool IsAliasLead(const SqlToken& token) {
  return IsSqlWord(token, "AS") || IsSqlSymbol(token, ')') || token.kind == SqlTokenKind::kString ||
         token.kind == SqlTokenKind::kNumber;
}

// The name as the statement writes it: after AS, a closing parenthesis, a literal or a number
// (an alias) first, else wherever it appears first; empty when it does not appear.
std::string Spelling(const std::vector<SqlToken>& tokens, std::string_view folded) {
  const std::string key = SqlUpper(folded);
  const SqlToken* previous = nullptr;
  std::string anywhere;
  for (const SqlToken& token : tokens) {
    if (IsSqlFiller(token)) continue;
    if (token.kind == SqlTokenKind::kWord && SqlUpper(token.text) == key) {
      if (previous != nullptr && IsAliasLead(*previous)) return std::string(token.text);
      if (anywhere.empty()) anywhere = token.text;
    }
    previous = &token;
  }
  return anywhere;
}

[[noreturn]] void RaiseUnreadable(std::string_view text, const std::string& name,
                                  const std::string& sql) {
  throw DetailedError(fmt::format("Valor '{}' da coluna '{}' não pôde ser lido.", text, name), sql);
}

}  // namespace

std::vector<std::string> PgFieldNames(const PGresult* result, std::string_view sql) {
  const std::vector<SqlToken> tokens = TokenizeSql(sql);
  const int count = PQnfields(result);
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(count));
  for (int c = 0; c < count; ++c) {
    const std::string folded = PQfname(result, c);
    std::string name = Spelling(tokens, folded);
    if (name.empty()) name = PQftable(result, c) != InvalidOid ? SqlUpper(folded) : folded;
    names.push_back(std::move(name));
  }
  return names;
}

std::optional<TDateTime> ParsePgDate(std::string_view text) {
  constexpr size_t kSecondsEnd = 19;  // "yyyy-mm-dd hh:nn:ss"
  if (text.size() > kSecondsEnd) {
    if (const size_t zone = text.find_first_of("+-", kSecondsEnd); zone != text.npos) {
      text = text.substr(0, zone);
    }
    if (const size_t dot = text.find('.', kSecondsEnd); dot != text.npos && text.size() > dot + 4) {
      text = text.substr(0, dot + 4);
    }
  }
  return ParseIsoDate(text);
}

std::shared_ptr<TnDataStore> ReadPgRows(const PGresult* result,
                                        const std::vector<std::string>& names,
                                        const std::string& sql) {
  const int column_count = PQnfields(result);
  std::vector<Column> columns;
  std::vector<TnFieldDef> defs;
  columns.reserve(static_cast<size_t>(column_count));
  defs.reserve(static_cast<size_t>(column_count));
  for (int c = 0; c < column_count; ++c) {
    columns.push_back(ColumnOf(PQftype(result, c), PQftable(result, c) != InvalidOid));
    defs.push_back({names[static_cast<size_t>(c)], columns.back().type});
  }
  TnDataSetBuilder builder(defs);
  const int row_count = PQntuples(result);
  for (int r = 0; r < row_count; ++r) {
    for (int c = 0; c < column_count; ++c) {
      if (PQgetisnull(result, r, c)) {
        builder.AppendNull();
        continue;
      }
      const char* value = PQgetvalue(result, r, c);
      const std::string_view text(value, static_cast<size_t>(PQgetlength(result, r, c)));
      switch (columns[static_cast<size_t>(c)].kind) {
        case ValueKind::kInteger: {
          int64_t number = 0;
          const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
          if (error != std::errc() || end != text.data() + text.size()) {
            RaiseUnreadable(text, defs[static_cast<size_t>(c)].name, sql);
          }
          builder.AppendInteger(number);
          break;
        }
        case ValueKind::kFloat: {
          double number = 0;
          const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
          if (error != std::errc() || end != text.data() + text.size()) {
            RaiseUnreadable(text, defs[static_cast<size_t>(c)].name, sql);
          }
          builder.AppendFloat(number);
          break;
        }
        case ValueKind::kBoolean:
          builder.AppendInteger(text == "t" ? 1 : 0);
          break;
        case ValueKind::kDate: {
          const std::optional<TDateTime> date = ParsePgDate(text);
          if (!date) {
            throw DetailedError(
                fmt::format("Valor '{}' da coluna '{}' não é uma data que o sistema represente.",
                            text, defs[static_cast<size_t>(c)].name),
                sql);
          }
          builder.AppendDate(*date);
          break;
        }
        case ValueKind::kText:
          builder.AppendText(text);
          break;
      }
    }
    builder.EndRow();
  }
  return builder.Finish();
}

}  // namespace nrw
