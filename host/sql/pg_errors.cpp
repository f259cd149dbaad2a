#include "sql/pg_errors.h"

#include <fmt/format.h>

#include <string_view>

#include "nrw/core.h"

namespace nrw {
namespace {

std::string Field(const PGresult* result, int field) {
  const char* value = result ? PQresultErrorField(result, field) : nullptr;
  return value ? value : "";
}

std::string FirstLine(std::string_view text) {
  const size_t end = text.find('\n');
  return std::string(end == std::string_view::npos ? text : text.substr(0, end));
}

// The first "quoted" name of the server's message: the object it did not find.
std::string QuotedName(const std::string& message) {
  const size_t open = message.find('"');
  const size_t close = open == std::string::npos ? open : message.find('"', open + 1);
  if (close == std::string::npos) return "";
  return message.substr(open + 1, close - open - 1);
}

std::string Describe(const std::string& state, const std::string& primary) {
  const std::string name = QuotedName(primary);
  if (state == "42P01" && !name.empty()) {
    return fmt::format("a tabela ou visão \"{}\" não existe no banco de dados", name);
  }
  if (state == "42703" && !name.empty()) {
    return fmt::format("a coluna \"{}\" não existe", name);
  }
  if (state == "3F000" && !name.empty()) {
    return fmt::format("o esquema \"{}\" não existe no banco de dados", name);
  }
  if (state == "42501") return "sem permissão para esta operação: " + primary;
  if (state == "25006") {
    return "o banco de dados está aberto somente para leitura: " + primary;
  }
  if (state == "23505") return "registro duplicado: " + primary;
  if (state == "57014") return "a instrução foi cancelada: " + primary;
  return state.empty() ? primary : fmt::format("{} [{}]", primary, state);
}

}  // namespace

std::string PgSqlState(const PGresult* result) { return Field(result, PG_DIAG_SQLSTATE); }

void RaisePgError(PGconn* conn, const PGresult* result, const std::string& sql) {
  if (PQstatus(conn) == CONNECTION_BAD) {
    throw Exception(fmt::format("A conexão com o servidor PostgreSQL foi perdida: {}\n{}",
                                FirstLine(PQerrorMessage(conn)), sql));
  }
  std::string primary = Field(result, PG_DIAG_MESSAGE_PRIMARY);
  if (primary.empty()) primary = FirstLine(result ? PQresultErrorMessage(result) : "");
  if (primary.empty()) primary = FirstLine(PQerrorMessage(conn));
  std::string message = "Erro no banco de dados: " + Describe(PgSqlState(result), primary);
  if (const std::string detail = Field(result, PG_DIAG_MESSAGE_DETAIL); !detail.empty()) {
    message += " (" + detail + ")";
  }
  throw Exception(message + "\n" + sql);
}

}  // namespace nrw
