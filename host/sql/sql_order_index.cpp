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

bool IsWordByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || c >= 0x80;
}

// Whether the word after at (blanks and comments skipped) is BY.
bool FollowedByBy(std::string_view sql, size_t at) {
  const std::vector<SqlToken> tokens = TokenizeSql(sql.substr(at, 64));
  const size_t next = NextSqlToken(tokens, 0, tokens.size());
  return next < tokens.size() && IsSqlWord(tokens[next], "BY");
}

// Where the last ORDER BY outside brackets starts (0 when there is none): one pass over the bytes
// that skips literals, quoted names and comments as the tokenizer does, so that only the tail is
// tokenized. A statement is read for its index each time a dataset opens on it.
size_t LastOrderOffset(std::string_view sql) {
  size_t last = 0;
  int depth = 0;
  size_t i = 0;
  while (i < sql.size()) {
    const char c = sql[i];
    const char next = i + 1 < sql.size() ? sql[i + 1] : '\0';
    if (c == '\'' || c == '"') {
      size_t end = i + 1;
      while (end < sql.size()) {
        if (sql[end] == c) {
          if (end + 1 < sql.size() && sql[end + 1] == c) {
            end += 2;
            continue;
          }
          ++end;
          break;
        }
        ++end;
      }
      i = end;
    } else if (c == '-' && next == '-') {
      const size_t end = sql.find('\n', i);
      i = end == std::string_view::npos ? sql.size() : end;
    } else if (c == '/' && next == '*') {
      const size_t end = sql.find("*/", i + 2);
      i = end == std::string_view::npos ? sql.size() : end + 2;
    } else if (c == '(' || c == '{') {
      ++depth;
      ++i;
    } else if (c == ')' || c == '}') {
      --depth;
      ++i;
    } else if (c == ':' && next != ':' && next != '\0' &&
               IsWordByte(static_cast<unsigned char>(next))) {
      // A parameter's name is no keyword.
      i += 2;
      while (i < sql.size() && IsWordByte(static_cast<unsigned char>(sql[i]))) ++i;
    } else if (c == ':' && next == ':') {
      i += 2;
    } else if (IsWordByte(static_cast<unsigned char>(c))) {
      size_t end = i + 1;
      while (end < sql.size() && IsWordByte(static_cast<unsigned char>(sql[end]))) ++end;
      if (depth == 0 && end - i == 5 &&
          IsSqlWord({SqlTokenKind::kWord, sql.substr(i, 5)}, "ORDER") && FollowedByBy(sql, end)) {
        last = i;
      }
      i = end;
    } else {
      ++i;
    }
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
