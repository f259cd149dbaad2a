#include "sql/sql_rewriter.h"

#include <unordered_set>

namespace nrw {
namespace {

// YEAR, MONTH or DAY; TIMESTAMPADD also takes them with the SQL_TSI_ prefix.
bool DateUnitOf(const SqlToken& token, bool tsi_prefix, SqlDateUnit& unit) {
  if (token.kind != SqlTokenKind::kWord) return false;
  std::string name = SqlUpper(token.text);
  if (tsi_prefix && name.rfind("SQL_TSI_", 0) == 0) name.erase(0, 8);
  if (name == "YEAR") {
    unit = SqlDateUnit::kYear;
  } else if (name == "MONTH") {
    unit = SqlDateUnit::kMonth;
  } else if (name == "DAY") {
    unit = SqlDateUnit::kDay;
  } else {
    return false;
  }
  return true;
}

// What may follow a comparison's right-hand operand for the operand to be that literal alone.
bool EndsOperand(const SqlToken& token) {
  if (token.kind == SqlTokenKind::kSymbol) {
    return token.text == ")" || token.text == ";";
  }
  if (token.kind != SqlTokenKind::kWord) return false;
  static constexpr std::string_view kWords[] = {
      "AND",   "OR",    "ORDER", "GROUP",     "UNION", "HAVING", "LIMIT", "THEN",
      "WHEN",  "ELSE",  "END",   "EXCEPT",    "WHERE", "JOIN",   "INNER", "LEFT",
      "RIGHT", "CROSS", "FULL",  "INTERSECT", "ON",    "WINDOW"};
  for (const std::string_view word : kWords) {
    if (IsSqlWord(token, word)) return true;
  }
  return false;
}

constexpr size_t kLongestLiftedList = 32;

}  // namespace

bool LiftableLiteral(const SqlToken& token) {
  if (token.kind == SqlTokenKind::kString) {
    return token.text.size() >= 2 && token.text.back() == '\'';
  }
  if (token.kind != SqlTokenKind::kNumber || token.text.size() > 18) return false;
  for (const char c : token.text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

Variant LiteralValue(const SqlToken& token) {
  if (token.kind == SqlTokenKind::kNumber) {
    int64_t value = 0;
    for (const char c : token.text) value = value * 10 + (c - '0');
    return Variant(value);
  }
  std::string text;
  text.reserve(token.text.size());
  for (size_t i = 1; i + 1 < token.text.size(); ++i) {
    text += token.text[i];
    if (token.text[i] == '\'') ++i;  // '' stands for one quote
  }
  return Variant(std::move(text));
}

std::vector<std::string> ScanSqlParamNames(std::string_view sql) {
  std::vector<std::string> names;
  std::unordered_set<std::string> keys;
  for (const SqlToken& token : TokenizeSql(sql)) {
    if (token.kind != SqlTokenKind::kParameter) continue;
    if (keys.insert(SqlUpper(SqlParameterName(token))).second) {
      names.emplace_back(SqlParameterName(token));
    }
  }
  return names;
}

SqlRewriter::SqlRewriter(std::string_view sql, SqlConversion conversion, SqlLiterals literals)
    : sql_(sql), conversion_(conversion), tokens_(TokenizeSql(sql_)) {
  for (const SqlToken& token : tokens_) {
    if (token.kind != SqlTokenKind::kParameter) continue;
    const std::string_view name = SqlParameterName(token);
    if (param_numbers_.emplace(SqlUpper(name), param_names_.size() + 1).second) {
      param_names_.emplace_back(name);
    }
  }
  if (literals == SqlLiterals::kLift) MarkLiftableLiterals();
}

// Only in queries: other statements (views, defaults, triggers) may not take parameters.
void SqlRewriter::MarkLiftableLiterals() {
  const size_t first = NextSqlToken(tokens_, 0, tokens_.size());
  if (first == tokens_.size() ||
      !(IsSqlWord(tokens_[first], "SELECT") || IsSqlWord(tokens_[first], "WITH"))) {
    return;
  }
  lift_.assign(tokens_.size(), false);
  literal_ordinal_.assign(tokens_.size(), 0);
  size_t ordinal = 0;
  for (size_t i = 0; i < tokens_.size(); ++i) {
    if (LiftableLiteral(tokens_[i])) literal_ordinal_[i] = ordinal++;
  }
  // Per bracket level, whether it is inside a select list: a result column without a name is
  // named after its text, which must not change ("a = 5" would become "a = ?1").
  std::vector<bool> in_select_list(1, false);
  size_t select_lists = 0;
  const auto set_level = [&](bool on) {
    if (in_select_list.back() == on) return;
    in_select_list.back() = on;
    select_lists += on ? 1 : static_cast<size_t>(-1);
  };
  for (size_t i = first; i < tokens_.size(); ++i) {
    const SqlToken& token = tokens_[i];
    if (IsSqlSymbol(token, '(')) {
      in_select_list.push_back(false);
    } else if (IsSqlSymbol(token, ')')) {
      if (in_select_list.size() > 1) {
        set_level(false);
        in_select_list.pop_back();
      }
    } else if (IsSqlWord(token, "SELECT")) {
      set_level(true);
    } else if (IsSqlWord(token, "FROM")) {
      set_level(false);
    } else if (select_lists > 0) {
      continue;
    } else if (IsSqlWord(token, "IN")) {
      i = MarkInList(i);
    } else if (LiftableLiteral(token) && Liftable(i)) {
      lift_[i] = true;
    }
  }
}

// A comparison's right-hand literal: after =, <>, !=, <, >, <= or >=, and the operand ends there.
bool SqlRewriter::Liftable(size_t literal) const {
  size_t before = literal;
  while (before > 0 && IsSqlFiller(tokens_[before - 1])) --before;
  if (before == 0) return false;
  const SqlToken& op = tokens_[before - 1];
  if (!IsSqlSymbol(op, '=') && !IsSqlSymbol(op, '<') && !IsSqlSymbol(op, '>')) return false;
  const size_t after = NextSqlToken(tokens_, literal + 1, tokens_.size());
  return after == tokens_.size() || EndsOperand(tokens_[after]);
}

// IN ( literal, ... ): every item a lone literal, and not many of them. Answers the last token
// looked at.
size_t SqlRewriter::MarkInList(size_t word) {
  const size_t open = NextSqlToken(tokens_, word + 1, tokens_.size());
  if (open == tokens_.size() || !IsSqlSymbol(tokens_[open], '(')) return word;
  std::vector<size_t> items;
  size_t at = NextSqlToken(tokens_, open + 1, tokens_.size());
  while (at < tokens_.size() && LiftableLiteral(tokens_[at])) {
    items.push_back(at);
    const size_t next = NextSqlToken(tokens_, at + 1, tokens_.size());
    if (next == tokens_.size()) return word;
    if (IsSqlSymbol(tokens_[next], ')')) {
      if (items.size() > kLongestLiftedList) return next;
      for (const size_t item : items) lift_[item] = true;
      return next;
    }
    if (!IsSqlSymbol(tokens_[next], ',')) return word;
    at = NextSqlToken(tokens_, next + 1, tokens_.size());
  }
  return word;
}

SqlRewriter::~SqlRewriter() = default;

AdaptedSql SqlRewriter::Adapt() {
  out_.reserve(sql_.size() + 64);
  Emit({0, tokens_.size()});
  WriteBefore(tokens_.size());
  AdaptedSql adapted;
  adapted.text = std::move(out_);
  adapted.param_names = std::move(param_names_);
  adapted.lifted = std::move(lifted_);
  adapted.lifted_from = std::move(lifted_from_);
  return adapted;
}

size_t SqlRewriter::ParameterNumber(const SqlToken& token) const {
  return param_numbers_.at(SqlUpper(SqlParameterName(token)));
}

void SqlRewriter::Emit(Range range) {
  size_t i = range.begin;
  while (i < range.end) {
    WriteBefore(i);
    i = EmitAt(i, range.end);
  }
}

// Emits the construct starting at token i and answers the index after it.
size_t SqlRewriter::EmitAt(size_t i, size_t end) {
  const SqlToken& token = tokens_[i];
  if (token.kind == SqlTokenKind::kParameter) {
    WriteParameter(ParameterNumber(token));
    return i + 1;
  }
  if (!lift_.empty() && lift_[i]) {
    // Numbered in the order written, which a dialect may change (TIMESTAMPADD's arguments).
    lifted_.push_back(LiteralValue(token));
    lifted_from_.push_back(literal_ordinal_[i]);
    WriteParameter(param_names_.size() + lifted_.size());
    return i + 1;
  }
  if (conversion_ == SqlConversion::kOff) {
    // Sent as written.
  } else if (IsSqlWord(token, "EXTRACT")) {
    if (const size_t after = EmitExtract(i, end)) return after;
  } else if (IsSqlWord(token, "TIMESTAMPADD")) {
    if (const size_t after = EmitTimestampAdd(i, end)) return after;
  } else if (IsSqlSymbol(token, '{')) {
    if (const size_t after = EmitEscape(i, end)) return after;
  }
  out_ += token.text;
  return i + 1;
}

// EXTRACT ( unit FROM x ); 0 when the tokens do not have that shape or the unit is not a date's.
size_t SqlRewriter::EmitExtract(size_t word, size_t end) {
  const size_t open = NextSqlToken(tokens_, word + 1, end);
  if (open == end || !IsSqlSymbol(tokens_[open], '(')) return 0;
  const size_t close = MatchingSqlClose(tokens_, open, end);
  if (close == end) return 0;
  const size_t unit_token = NextSqlToken(tokens_, open + 1, close);
  const size_t from = NextSqlToken(tokens_, unit_token + 1, close);
  if (unit_token == close || from == close || !IsSqlWord(tokens_[from], "FROM")) return 0;
  SqlDateUnit unit{};
  if (!DateUnitOf(tokens_[unit_token], false, unit)) return 0;
  WriteExtract(unit, Trimmed({from + 1, close}));
  return close + 1;
}

// TIMESTAMPADD ( unit , n , x ); 0 when the tokens do not have that shape.
size_t SqlRewriter::EmitTimestampAdd(size_t word, size_t end) {
  const size_t open = NextSqlToken(tokens_, word + 1, end);
  if (open == end || !IsSqlSymbol(tokens_[open], '(')) return 0;
  const size_t close = MatchingSqlClose(tokens_, open, end);
  if (close == end) return 0;
  const std::vector<Range> args = SplitArguments(open + 1, close);
  if (args.size() != 3) return 0;
  const size_t unit_token = NextSqlToken(tokens_, args[0].begin, args[0].end);
  if (unit_token == args[0].end ||
      NextSqlToken(tokens_, unit_token + 1, args[0].end) != args[0].end) {
    return 0;
  }
  SqlDateUnit unit{};
  if (!DateUnitOf(tokens_[unit_token], true, unit)) return 0;
  WriteDateAdd(unit, Trimmed(args[1]), Trimmed(args[2]));
  return close + 1;
}

// { fn f(...) }, { d 'text' }, or braces around a function such as TIMESTAMPADD.
size_t SqlRewriter::EmitEscape(size_t open, size_t end) {
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
SqlRewriter::Range SqlRewriter::Trimmed(Range range) const {
  range.begin = NextSqlToken(tokens_, range.begin, range.end);
  while (range.end > range.begin && IsSqlFiller(tokens_[range.end - 1])) --range.end;
  return range;
}

std::vector<SqlRewriter::Range> SqlRewriter::SplitArguments(size_t begin, size_t end) const {
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

}  // namespace nrw
