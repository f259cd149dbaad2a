#include "sql/sqlite_dialect.h"

#include <string>

namespace nrw {
namespace {

class SqliteRewriter final : public SqlRewriter {
 public:
  using SqlRewriter::SqlRewriter;

 private:
  void WriteParameter(size_t number) override {
    Write("?");
    Write(std::to_string(number));
  }

  void WriteExtract(SqlDateUnit unit, Range operand) override {
    Write("CAST(strftime('");
    Write(unit == SqlDateUnit::kYear ? "%Y" : unit == SqlDateUnit::kMonth ? "%m" : "%d");
    Write("', ");
    Emit(operand);
    Write(") AS INTEGER)");
  }

  void WriteDateAdd(SqlDateUnit unit, Range count, Range date) override {
    if (unit == SqlDateUnit::kDay) {
      WriteDateShift(date, count, "days", "");
      return;
    }
    // SQLite carries an overflowing day into the next month (29/02 + 1 year = 01/03); the
    // standard function stops at the last day of the target month, hence the min() with that day.
    const char* units = unit == SqlDateUnit::kYear ? "years" : "months";
    Write("min(");
    WriteDateShift(date, count, units, "");
    Write(", ");
    WriteDateShift(date, count, units, "'start of month', ");
    Write(")");
  }

  // date(x, [before] (n) || ' units'[, '+1 month', '-1 day'])
  void WriteDateShift(Range date, Range count, const char* units, const char* before) {
    const bool to_month_end = before[0] != '\0';
    Write("date(");
    Emit(date);
    Write(", ");
    Write(before);
    Write("(");
    Emit(count);
    Write(") || ' ");
    Write(units);
    Write(to_month_end ? "', '+1 month', '-1 day')" : "')");
  }
};

}  // namespace

AdaptedSql AdaptSqlForSQLite(std::string_view sql, SqlConversion conversion, SqlLiterals literals) {
  return SqliteRewriter(sql, conversion, literals).Adapt();
}

std::string AdaptarSQLite(const std::string& sql) { return AdaptSqlForSQLite(sql).text; }

}  // namespace nrw
