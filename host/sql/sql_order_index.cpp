#include "sql/sql_order_index.h"

#include <optional>

#include "sql/sql_lexer.h"

namespace nrw {
namespace {

bool SameName(std::string_view a, std::string_view b) { return SqlUpper(a) == SqlUpper(b); }

std::string Unquote(const SqlToken& token) {
  if (token.kind != SqlTokenKind::kQuotedName) return std::string(token.text);
  std::string name;
  const std::string_view inner =
      token.text.substr(1, token.text.size() >= 2 ? token.text.size() - 2 : 0);
  for (size_t i = 0; i < inner.size(); ++i) {
    name += inner[i];
    if (inner[i] == '"' && i + 1 < inner.size() && inner[i + 1] == '"') ++i;
  }
  return name;
}

// Significant tokens (filler dropped) after the last ORDER BY outside brackets, up to the end
// of the statement or a LIMIT/OFFSET clause.
std::vector<SqlToken> LastOrderByTail(const std::vector<SqlToken>& all) {
  std::vector<SqlToken> tokens;
  for (const SqlToken& token : all) {
    if (!IsSqlFiller(token)) tokens.push_back(token);
  }
  int depth = 0;
  std::optional<size_t> start;
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (IsSqlSymbol(tokens[i], '(') || IsSqlSymbol(tokens[i], '{')) {
      ++depth;
    } else if (IsSqlSymbol(tokens[i], ')') || IsSqlSymbol(tokens[i], '}')) {
      --depth;
    } else if (depth == 0 && IsSqlWord(tokens[i], "ORDER") && i + 1 < tokens.size() &&
               IsSqlWord(tokens[i + 1], "BY")) {
      start = i + 2;
    }
  }
  if (!start) return {};
  std::vector<SqlToken> tail;
  depth = 0;
  for (size_t i = *start; i < tokens.size(); ++i) {
    const SqlToken& token = tokens[i];
    if (IsSqlSymbol(token, '(')) ++depth;
    if (IsSqlSymbol(token, ')') && --depth < 0) break;
    if (depth == 0 &&
        (IsSqlWord(token, "LIMIT") || IsSqlWord(token, "OFFSET") || IsSqlSymbol(token, ';'))) {
      break;
    }
    tail.push_back(token);
  }
  return tail;
}

std::vector<std::vector<SqlToken>> SplitItems(const std::vector<SqlToken>& tail) {
  std::vector<std::vector<SqlToken>> items(1);
  int depth = 0;
  for (const SqlToken& token : tail) {
    if (IsSqlSymbol(token, '(')) ++depth;
    if (IsSqlSymbol(token, ')')) --depth;
    if (depth == 0 && IsSqlSymbol(token, ',')) {
      items.emplace_back();
    } else {
      items.back().push_back(token);
    }
  }
  return items;
}

// The result column an item names; nullopt when the item is not a plain ascending reference.
std::optional<size_t> ResolveItem(std::vector<SqlToken> item,
                                  const std::vector<std::string>& columns) {
  if (!item.empty() && IsSqlWord(item.back(), "ASC")) item.pop_back();
  if (item.size() == 1 && item[0].kind == SqlTokenKind::kNumber) {
    const std::string_view digits = item[0].text;
    if (digits.find_first_not_of("0123456789") != std::string_view::npos || digits.size() > 6) {
      return std::nullopt;
    }
    const size_t position = std::stoul(std::string(digits));
    if (position < 1 || position > columns.size()) return std::nullopt;
    return position - 1;
  }
  // name, or alias.name (several qualifiers accepted): names and dots alternating.
  if (item.empty() || item.size() % 2 == 0) return std::nullopt;
  for (size_t i = 0; i < item.size(); ++i) {
    const bool is_name =
        item[i].kind == SqlTokenKind::kWord || item[i].kind == SqlTokenKind::kQuotedName;
    if (i % 2 == 0 ? !is_name : !IsSqlSymbol(item[i], '.')) return std::nullopt;
  }
  const std::string name = Unquote(item.back());
  for (size_t c = 0; c < columns.size(); ++c) {
    if (SameName(columns[c], name)) return c;
  }
  return std::nullopt;
}

// Where the last ORDER BY outside brackets starts (0 when there is none), found as LastOrderByTail
// finds it but token by token without keeping them, so that only the tail is tokenized into a list.
size_t LastOrderOffset(std::string_view sql) {
  size_t last = 0;
  size_t order = std::string_view::npos;
  int depth = 0;
  for (size_t i = 0; i < sql.size();) {
    const SqlToken token = ReadSqlToken(sql, i);
    if (!IsSqlFiller(token)) {
      if (order != std::string_view::npos && IsSqlWord(token, "BY")) last = order;
      order = std::string_view::npos;
      if (IsSqlSymbol(token, '(') || IsSqlSymbol(token, '{')) {
        ++depth;
      } else if (IsSqlSymbol(token, ')') || IsSqlSymbol(token, '}')) {
        --depth;
      } else if (depth == 0 && IsSqlWord(token, "ORDER")) {
        order = i;
      }
    }
    i += token.text.size();
  }
  return last;
}

}  // namespace

std::string IndexFieldsFromOrderBy(std::string_view sql, const std::vector<std::string>& columns) {
  const std::vector<SqlToken> tokens = TokenizeSql(sql.substr(LastOrderOffset(sql)));
  const std::vector<SqlToken> tail = LastOrderByTail(tokens);
  if (tail.empty()) return "";
  std::string index;
  for (const std::vector<SqlToken>& item : SplitItems(tail)) {
    const std::optional<size_t> column = ResolveItem(item, columns);
    if (!column) break;
    const std::string& name = columns[*column];
    // The dataset finds index fields by name: a name it would resolve to another column, or
    // one that cannot be written in an index list, ends the index here.
    bool first_of_name = true;
    for (size_t c = 0; c < *column; ++c) {
      if (SameName(columns[c], name)) first_of_name = false;
    }
    if (!first_of_name || name.empty() || name.find(';') != std::string::npos) break;
    if (!index.empty()) index += ';';
    index += name;
  }
  return index;
}

}  // namespace nrw
