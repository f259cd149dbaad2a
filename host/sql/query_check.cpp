#include "sql/query_check.h"

#include <array>

#include "sql/sql_lexer.h"

namespace nrw {
namespace {

constexpr std::array<std::string_view, 4> kQueryWords = {"SELECT", "WITH", "VALUES", "TABLE"};

// Server functions that read or write the server's files, change settings or touch other sessions:
// a read-only transaction does not stop them, and no report needs them.
constexpr std::array<std::string_view, 15> kOutsideFunctions = {"LO_EXPORT",
                                                                "LO_IMPORT",
                                                                "PG_READ_FILE",
                                                                "PG_READ_BINARY_FILE",
                                                                "PG_LS_DIR",
                                                                "PG_STAT_FILE",
                                                                "PG_FILE_WRITE",
                                                                "SET_CONFIG",
                                                                "PG_RELOAD_CONF",
                                                                "PG_ROTATE_LOGFILE",
                                                                "PG_TERMINATE_BACKEND",
                                                                "PG_CANCEL_BACKEND",
                                                                "DBLINK_EXEC",
                                                                "DBLINK",
                                                                "LOAD_EXTENSION"};

template <size_t N>
bool OneOf(const std::string& word, const std::array<std::string_view, N>& words) {
  for (const std::string_view listed : words) {
    if (word == listed) return true;
  }
  return false;
}

}  // namespace

NotAQuery::NotAQuery(std::string what, const std::string& sql)
    : DetailedError(
          "Instrução recusada: um relatório só lê o banco de dados, e esta não é uma "
          "consulta (" +
              what + ").",
          sql),
      what_(std::move(what)) {}

void RequireQuery(std::string_view sql) {
  const std::vector<SqlToken> tokens = TokenizeSql(sql);
  size_t first = NextSqlToken(tokens, 0, tokens.size());
  while (first < tokens.size() && IsSqlSymbol(tokens[first], '(')) {
    first = NextSqlToken(tokens, first + 1, tokens.size());
  }
  if (first == tokens.size()) return;
  const std::string leading = SqlUpper(tokens[first].text);
  if (tokens[first].kind != SqlTokenKind::kWord || !OneOf(leading, kQueryWords)) {
    throw NotAQuery(leading, std::string(sql));
  }
  for (size_t i = first; i < tokens.size(); ++i) {
    std::string_view name = tokens[i].text;
    if (tokens[i].kind == SqlTokenKind::kQuotedName && name.size() >= 2) {
      name = name.substr(1, name.size() - 2);
    } else if (tokens[i].kind != SqlTokenKind::kWord) {
      continue;
    }
    const size_t next = NextSqlToken(tokens, i + 1, tokens.size());
    if (next == tokens.size() || !IsSqlSymbol(tokens[next], '(')) continue;
    if (OneOf(SqlUpper(name), kOutsideFunctions)) {
      throw NotAQuery(std::string(name), std::string(sql));
    }
  }
}

}  // namespace nrw
