#include "sql/pg_dialect.h"

#include <string>

namespace nrw {
namespace {

const char* UnitName(SqlDateUnit unit) {
  switch (unit) {
    case SqlDateUnit::kYear:
      return "YEAR";
    case SqlDateUnit::kMonth:
      return "MONTH";
    case SqlDateUnit::kDay:
      break;
  }
  return "DAY";
}

class PgRewriter final : public SqlRewriter {
 public:
  using SqlRewriter::SqlRewriter;

 private:
  void WriteParameter(size_t number) override {
    Write("$");
    Write(std::to_string(number));
  }

  // The cast to DATE gives an untyped parameter its type; EXTRACT answers numeric, SQLite's
  // rewriting an integer, hence the outer cast.
  void WriteExtract(SqlDateUnit unit, Range operand) override {
    Write("CAST(EXTRACT(");
    Write(UnitName(unit));
    Write(" FROM CAST(");
    Emit(operand);
    Write(" AS DATE)) AS INTEGER)");
  }

  // date + integer is a date; date + interval a timestamp, cast back to a date. Adding months or
  // years stops at the last day of the target month, as the standard function does.
  void WriteDateAdd(SqlDateUnit unit, Range count, Range date) override {
    if (unit == SqlDateUnit::kDay) {
      Write("(CAST(");
      Emit(date);
      Write(" AS DATE) + CAST(");
      Emit(count);
      Write(" AS INTEGER))");
      return;
    }
    Write("CAST(CAST(");
    Emit(date);
    Write(" AS DATE) + CAST(");
    Emit(count);
    Write(unit == SqlDateUnit::kYear ? " AS INTEGER) * INTERVAL '1 year' AS DATE)"
                                     : " AS INTEGER) * INTERVAL '1 month' AS DATE)");
  }
};

}  // namespace

AdaptedSql AdaptSqlForPostgreSQL(std::string_view sql) { return PgRewriter(sql).Adapt(); }

}  // namespace nrw
