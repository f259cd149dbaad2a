#include "sql/sqlite_dialect.h"

#include <string>
#include <unordered_map>

#include "sql/sql_lexer.h"

namespace nrw {
namespace {

// Maps each parameter token to its 1-based number; names compared in upper case.
class ParamNumbering {
 public:
  explicit ParamNumbering(const std::vector<SqlToken>& tokens) {
    for (const SqlToken& token : tokens) {
      if (token.kind != SqlTokenKind::kParameter) continue;
      const std::string_view name = SqlParameterName(token);
      if (numbers_.emplace(SqlUpper(name), names_.size() + 1).second) {
        names_.emplace_back(name);
      }
    }
  }
  size_t Number(const SqlToken& token) const {
    return numbers_.at(SqlUpper(SqlParameterName(token)));
  }
  std::vector<std::string> TakeNames() { return std::move(names_); }

 private:
  std::unordered_map<std::string, size_t> numbers_;
  std::vector<std::string> names_;
};

struct Range {
  size_t begin;
  size_t end;
};

class SqliteRewriter {
 public:
  SqliteRewriter(const std::vector<SqlToken>& tokens, const ParamNumbering& params)
      : tokens_(tokens), params_(params) {}

  void Emit(size_t begin, size_t end) {
    size_t i = begin;
    while (i < end) i = EmitAt(i, end);
  }
  std::string Take() { return std::move(out_); }

 private:
  // Emits the construct starting at token i and answers the index after it.
  size_t EmitAt(size_t i, size_t end) {
    const SqlToken& token = tokens_[i];
    if (token.kind == SqlTokenKind::kParameter) {
      out_ += '?';
      out_ += std::to_string(params_.Number(token));
      return i + 1;
    }
    if (IsSqlWord(token, "EXTRACT")) {
      if (const size_t after = EmitExtract(i, end)) return after;
    } else if (IsSqlWord(token, "TIMESTAMPADD")) {
      if (const size_t after = EmitTimestampAdd(i, end)) return after;
    } else if (IsSqlSymbol(token, '{')) {
      if (const size_t after = EmitEscape(i, end)) return after;
    }
    out_ += token.text;
    return i + 1;
  }

  // EXTRACT ( unit FROM x ); 0 when the tokens do not have that shape.
  size_t EmitExtract(size_t word, size_t end) {
    const size_t open = NextSqlToken(tokens_, word + 1, end);
    if (open == end || !IsSqlSymbol(tokens_[open], '(')) return 0;
    const size_t close = MatchingSqlClose(tokens_, open, end);
    if (close == end) return 0;
    const size_t unit = NextSqlToken(tokens_, open + 1, close);
    const size_t from = NextSqlToken(tokens_, unit + 1, close);
    if (unit == close || from == close || !IsSqlWord(tokens_[from], "FROM")) return 0;
    const char* format = nullptr;
    if (IsSqlWord(tokens_[unit], "YEAR")) {
      format = "%Y";
    } else if (IsSqlWord(tokens_[unit], "MONTH")) {
      format = "%m";
    } else if (IsSqlWord(tokens_[unit], "DAY")) {
      format = "%d";
    } else {
      return 0;
    }
    out_ += "CAST(strftime('";
    out_ += format;
    out_ += "', ";
    EmitTrimmed({from + 1, close});
    out_ += ") AS INTEGER)";
    return close + 1;
  }

  // TIMESTAMPADD ( unit , n , x ); 0 when the tokens do not have that shape.
  size_t EmitTimestampAdd(size_t word, size_t end) {
    const size_t open = NextSqlToken(tokens_, word + 1, end);
    if (open == end || !IsSqlSymbol(tokens_[open], '(')) return 0;
    const size_t close = MatchingSqlClose(tokens_, open, end);
    if (close == end) return 0;
    const std::vector<Range> args = SplitArguments(open + 1, close);
    if (args.size() != 3) return 0;
    const size_t unit = NextSqlToken(tokens_, args[0].begin, args[0].end);
    if (unit == args[0].end || NextSqlToken(tokens_, unit + 1, args[0].end) != args[0].end) {
      return 0;
    }
    std::string unit_name = SqlUpper(tokens_[unit].text);
    if (unit_name.rfind("SQL_TSI_", 0) == 0) unit_name.erase(0, 8);
    const Range count = Trimmed(args[1]);
    const Range date = Trimmed(args[2]);
    if (unit_name == "DAY") {
      EmitDateShift(date, count, "days", "");
      return close + 1;
    }
    if (unit_name != "YEAR" && unit_name != "MONTH") return 0;
    // SQLite carries an overflowing day into the next month (29/02 + 1 year = 01/03); the
    // standard function stops at the last day of the target month, hence the min() with that day.
    const char* units = unit_name == "YEAR" ? "years" : "months";
    out_ += "min(";
    EmitDateShift(date, count, units, "");
    out_ += ", ";
    EmitDateShift(date, count, units, "'start of month', ");
    out_ += ")";
    return close + 1;
  }

  // date(x, [before] (n) || ' units'[, '+1 month', '-1 day'])
  void EmitDateShift(Range date, Range count, const char* units, const char* before) {
    const bool to_month_end = before[0] != '\0';
    out_ += "date(";
    Emit(date.begin, date.end);
    out_ += ", ";
    out_ += before;
    out_ += "(";
    Emit(count.begin, count.end);
    out_ += ") || ' ";
    out_ += units;
    out_ += to_month_end ? "', '+1 month', '-1 day')" : "')";
  }

  // { fn f(...) }, { d 'text' }, or braces around a function such as TIMESTAMPADD.
  size_t EmitEscape(size_t open, size_t end) {
    const size_t close = MatchingSqlClose(tokens_, open, end);
    if (close == end) return 0;
    const size_t first = NextSqlToken(tokens_, open + 1, close);
    if (first == close) return 0;
    if (IsSqlWord(tokens_[first], "FN")) {
      EmitTrimmed({first + 1, close});
      return close + 1;
    }
    if (IsSqlWord(tokens_[first], "D") || IsSqlWord(tokens_[first], "T") ||
        IsSqlWord(tokens_[first], "TS")) {
      const size_t literal = NextSqlToken(tokens_, first + 1, close);
      if (literal != close && tokens_[literal].kind == SqlTokenKind::kString &&
          NextSqlToken(tokens_, literal + 1, close) == close) {
        out_ += tokens_[literal].text;
        return close + 1;
      }
      return 0;
    }
    if (tokens_[first].kind != SqlTokenKind::kWord) return 0;
    EmitTrimmed({open + 1, close});
    return close + 1;
  }

  // The range without the blanks and comments at its ends.
  Range Trimmed(Range range) const {
    range.begin = NextSqlToken(tokens_, range.begin, range.end);
    while (range.end > range.begin && IsSqlFiller(tokens_[range.end - 1])) --range.end;
    return range;
  }

  void EmitTrimmed(Range range) {
    range = Trimmed(range);
    Emit(range.begin, range.end);
  }

  std::vector<Range> SplitArguments(size_t begin, size_t end) const {
    std::vector<Range> args;
    int depth = 0;
    size_t start = begin;
    for (size_t i = begin; i < end; ++i) {
      if (IsSqlSymbol(tokens_[i], '(')) {
        ++depth;
      } else if (IsSqlSymbol(tokens_[i], ')')) {
        --depth;
      } else if (depth == 0 && IsSqlSymbol(tokens_[i], ',')) {
        args.push_back({start, i});
        start = i + 1;
      }
    }
    args.push_back({start, end});
    return args;
  }

  const std::vector<SqlToken>& tokens_;
  const ParamNumbering& params_;
  std::string out_;
};

}  // namespace

AdaptedSql AdaptSqlForSQLite(std::string_view sql) {
  const std::vector<SqlToken> tokens = TokenizeSql(sql);
  ParamNumbering params(tokens);
  SqliteRewriter rewriter(tokens, params);
  rewriter.Emit(0, tokens.size());
  return {rewriter.Take(), params.TakeNames()};
}

std::string AdaptarSQLite(const std::string& sql) { return AdaptSqlForSQLite(sql).text; }

std::vector<std::string> ScanSqlParamNames(std::string_view sql) {
  return ParamNumbering(TokenizeSql(sql)).TakeNames();
}

}  // namespace nrw
