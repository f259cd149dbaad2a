#include "sql/pg_dialect.h"

#include <map>
#include <optional>
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

// A significant token (no blank or comment) and its bracket depth; brackets count at the depth
// outside them.
struct Sig {
  size_t index;
  int depth;
};

std::vector<Sig> Significant(const std::vector<SqlToken>& tokens) {
  std::vector<Sig> sig;
  int depth = 0;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const SqlToken& token = tokens[i];
    if (IsSqlFiller(token)) continue;
    if (IsSqlSymbol(token, ')') || IsSqlSymbol(token, '}')) --depth;
    sig.push_back({i, depth});
    if (IsSqlSymbol(token, '(') || IsSqlSymbol(token, '{')) ++depth;
  }
  return sig;
}

bool IsAnyWord(const SqlToken& token, std::initializer_list<std::string_view> words) {
  for (const std::string_view word : words) {
    if (IsSqlWord(token, word)) return true;
  }
  return false;
}

// Items of one ORDER BY clause: positions in sig of the first and last token of each.
struct OrderClause {
  int depth;
  std::vector<std::pair<size_t, size_t>> items;
};

std::vector<OrderClause> OrderClauses(const std::vector<SqlToken>& tokens,
                                      const std::vector<Sig>& sig) {
  std::vector<OrderClause> clauses;
  for (size_t k = 0; k + 1 < sig.size(); ++k) {
    const int depth = sig[k].depth;
    if (!IsSqlWord(tokens[sig[k].index], "ORDER") || !IsSqlWord(tokens[sig[k + 1].index], "BY") ||
        sig[k + 1].depth != depth) {
      continue;
    }
    OrderClause clause{depth, {}};
    size_t first = k + 2;
    size_t j = first;
    for (; j < sig.size() && sig[j].depth >= depth; ++j) {
      const SqlToken& token = tokens[sig[j].index];
      if (sig[j].depth != depth) continue;
      if (IsSqlSymbol(token, ';') ||
          IsAnyWord(token, {"LIMIT", "OFFSET", "FETCH", "FOR", "ROWS", "RANGE", "GROUPS", "UNION",
                            "INTERSECT", "EXCEPT"})) {
        break;
      }
      if (IsSqlSymbol(token, ',')) {
        if (j > first) clause.items.push_back({first, j - 1});
        first = j + 1;
      }
    }
    if (j > first) clause.items.push_back({first, j - 1});
    clauses.push_back(std::move(clause));
  }
  return clauses;
}

class PgRewriter final : public SqlRewriter {
 public:
  PgRewriter(std::string_view sql, const std::vector<std::string>& tie_break_items,
             SqlConversion conversion, SqlLiterals literals)
      : SqlRewriter(sql, conversion, literals) {
    const std::vector<SqlToken>& tokens = Tokens();
    const std::vector<Sig> sig = Significant(tokens);
    const std::vector<OrderClause> clauses = OrderClauses(tokens, sig);
    for (const OrderClause& clause : clauses) {
      for (const auto& [first, last] : clause.items) {
        bool has_nulls = false;
        for (size_t j = first; j <= last; ++j) {
          has_nulls = has_nulls ||
                      (sig[j].depth == clause.depth && IsSqlWord(tokens[sig[j].index], "NULLS"));
        }
        // SQLite takes nulls for the smallest values; PostgreSQL for the largest.
        if (!has_nulls) {
          inserts_[sig[last].index + 1] +=
              IsSqlWord(tokens[sig[last].index], "DESC") ? " NULLS LAST" : " NULLS FIRST";
        }
      }
    }
    for (auto it = clauses.rbegin(); it != clauses.rend(); ++it) {
      if (it->depth != 0 || it->items.empty()) continue;
      std::string& tail = inserts_[sig[it->items.back().second].index + 1];
      for (const std::string& item : tie_break_items) tail += ", " + item + " NULLS FIRST";
      break;
    }
  }

 private:
  void WriteBefore(size_t index) override {
    const auto found = inserts_.find(index);
    if (found != inserts_.end()) Write(found->second);
  }

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

  //! Text written before the token at each index (the end of ORDER BY items).
  std::map<size_t, std::string> inserts_;
};

// Words after which a FROM item's name is not followed by an alias.
bool EndsFromItem(const SqlToken& token) {
  return IsAnyWord(token,
                   {"ON",      "USING", "JOIN",   "INNER", "LEFT",      "RIGHT", "FULL",  "CROSS",
                    "NATURAL", "OUTER", "WHERE",  "GROUP", "HAVING",    "ORDER", "LIMIT", "OFFSET",
                    "FETCH",   "FOR",   "WINDOW", "UNION", "INTERSECT", "EXCEPT"}) ||
         IsSqlSymbol(token, ',') || IsSqlSymbol(token, ';');
}

std::vector<PgFromTable> FromTables(const std::vector<SqlToken>& tokens,
                                    const std::vector<Sig>& sig, size_t from) {
  std::vector<PgFromTable> tables;
  bool expect_item = true;
  for (size_t j = from + 1; j < sig.size(); ++j) {
    if (sig[j].depth != 0) continue;
    const SqlToken& token = tokens[sig[j].index];
    if (IsAnyWord(token, {"WHERE", "GROUP", "HAVING", "WINDOW", "ORDER", "LIMIT", "OFFSET", "FETCH",
                          "FOR"}) ||
        IsSqlSymbol(token, ';')) {
      break;
    }
    if (!expect_item) {
      expect_item = IsSqlSymbol(token, ',') || IsSqlWord(token, "JOIN");
      continue;
    }
    expect_item = false;
    if (token.kind != SqlTokenKind::kWord || EndsFromItem(token)) continue;  // a subquery
    PgFromTable table{std::string(token.text), std::string(token.text)};
    // schema.table
    if (j + 2 < sig.size() && IsSqlSymbol(tokens[sig[j + 1].index], '.') &&
        tokens[sig[j + 2].index].kind == SqlTokenKind::kWord) {
      j += 2;
      table.table = table.alias = std::string(tokens[sig[j].index].text);
    }
    if (j + 1 < sig.size() && sig[j + 1].depth == 0) {
      size_t next = j + 1;
      if (IsSqlWord(tokens[sig[next].index], "AS")) ++next;
      if (next < sig.size() && tokens[sig[next].index].kind == SqlTokenKind::kWord &&
          !EndsFromItem(tokens[sig[next].index])) {
        table.alias = std::string(tokens[sig[next].index].text);
        j = next;
      }
    }
    tables.push_back(std::move(table));
  }
  return tables;
}

}  // namespace

PgTieBreak PgTieBreakOf(std::string_view sql) {
  const std::vector<SqlToken> tokens = TokenizeSql(sql);
  const std::vector<Sig> sig = Significant(tokens);
  if (sig.size() < 2 || !IsSqlWord(tokens[sig[0].index], "SELECT")) return {};
  const bool distinct = IsSqlWord(tokens[sig[1].index], "DISTINCT");
  std::optional<size_t> from, group_by, order_by;
  size_t select_list_commas = 0;
  bool set_operation = false, having = false, aggregate = false, star = false;
  for (size_t k = 0; k < sig.size(); ++k) {
    if (sig[k].depth != 0) continue;
    const SqlToken& token = tokens[sig[k].index];
    const bool before_from = !from && !set_operation;
    if (IsSqlWord(token, "FROM") && !from && !set_operation) {
      from = k;
    } else if (IsAnyWord(token, {"UNION", "INTERSECT", "EXCEPT"})) {
      set_operation = true;
    } else if (IsSqlWord(token, "HAVING")) {
      having = true;
    } else if (k + 1 < sig.size() && IsSqlWord(tokens[sig[k + 1].index], "BY")) {
      if (IsSqlWord(token, "GROUP") && !set_operation) group_by = k + 2;
      if (IsSqlWord(token, "ORDER")) order_by = k + 2;
    } else if (before_from && IsSqlSymbol(token, ',')) {
      ++select_list_commas;
    } else if (before_from && IsSqlSymbol(token, '*')) {
      star = true;
    } else if (before_from && k + 1 < sig.size() && IsSqlSymbol(tokens[sig[k + 1].index], '(') &&
               IsAnyWord(token, {"COUNT", "SUM", "MIN", "MAX", "AVG", "STRING_AGG", "ARRAY_AGG",
                                 "BOOL_AND", "BOOL_OR", "EVERY"})) {
      aggregate = true;
    }
  }
  if (!order_by) return {};
  PgTieBreak tie_break;
  if (set_operation) {
    // A UNION ... ORDER BY: every output column, by position. A star leaves the count unknown.
    if (star) return {};
    for (size_t position = 1; position <= select_list_commas + 1; ++position) {
      tie_break.items.push_back(std::to_string(position));
    }
    return tie_break;
  }
  if (group_by) {
    if (having || distinct) return {};
    // The GROUP BY items as written, unless something in them is rewritten.
    std::optional<size_t> item_start;
    size_t item_end = 0;
    const auto add_item = [&] {
      if (!item_start) return;
      const SqlToken& first = tokens[sig[*item_start].index];
      const SqlToken& last = tokens[sig[item_end].index];
      const auto begin = static_cast<size_t>(first.text.data() - sql.data());
      const auto end = static_cast<size_t>(last.text.data() - sql.data()) + last.text.size();
      tie_break.items.emplace_back(sql.substr(begin, end - begin));
      item_start.reset();
    };
    for (size_t k = *group_by; k < sig.size(); ++k) {
      const SqlToken& token = tokens[sig[k].index];
      if (sig[k].depth == 0 &&
          (IsAnyWord(token, {"ORDER", "HAVING", "WINDOW", "LIMIT", "OFFSET"}) ||
           IsSqlSymbol(token, ';'))) {
        break;
      }
      if (token.kind == SqlTokenKind::kParameter || IsSqlSymbol(token, '{') ||
          IsAnyWord(token, {"EXTRACT", "TIMESTAMPADD"})) {
        return {};
      }
      if (sig[k].depth == 0 && IsSqlSymbol(token, ',')) {
        add_item();
        continue;
      }
      if (!item_start) item_start = k;
      item_end = k;
    }
    add_item();
    return tie_break;
  }
  if (distinct || aggregate || !from) return {};
  tie_break.tables = FromTables(tokens, sig, *from);
  return tie_break;
}

AdaptedSql AdaptSqlForPostgreSQL(std::string_view sql,
                                 const std::vector<std::string>& tie_break_items,
                                 SqlConversion conversion, SqlLiterals literals) {
  return PgRewriter(sql, tie_break_items, conversion, literals).Adapt();
}

}  // namespace nrw
