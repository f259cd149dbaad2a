#include "sql/pg_errors.h"

#include <fmt/format.h>

#include <string_view>

#include "core/deadline.h"
#include "core/detailed_error.h"
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

// What failed, in Portuguese, from the SQLSTATE; the server's own words go to the detail.
std::string Describe(const std::string& state, const std::string& primary) {
  const std::string name = QuotedName(primary);
  if (state == "42P01" && !name.empty()) {
    return fmt::format("a tabela ou visão \"{}\" não existe no banco de dados", name);
  }
  if (state == "42703" && !name.empty()) return fmt::format("a coluna \"{}\" não existe", name);
  if (state == "42883") {
    return name.empty() ? "a instrução usa uma função que não existe no banco de dados (ou com "
                          "argumentos de outros tipos)"
                        : fmt::format("a função \"{}\" não existe", name);
  }
  if (state == "3F000" && !name.empty()) {
    return fmt::format("o esquema \"{}\" não existe no banco de dados", name);
  }
  if (state == "42501") {
    return name.empty() ? "o usuário do banco não tem permissão para esta leitura"
                        : fmt::format("o usuário do banco não tem permissão de ler \"{}\"", name);
  }
  if (state == "42704" && !name.empty()) return fmt::format("\"{}\" não existe", name);
  if (state == "25006") return "o banco de dados está aberto somente para leitura";
  if (state == "23505") return "registro duplicado";
  if (state == "57014") {
    return "o servidor cancelou a instrução (tempo limite do servidor, statement_timeout, ou "
           "cancelamento pelo administrador)";
  }
  if (state == "40001" || state == "40P01") {
    return "a leitura conflitou com outra transação; execute de novo";
  }
  if (state == "53100") return "o servidor está sem espaço em disco";
  if (state == "53200") return "o servidor está sem memória";
  if (state == "54001") return "a instrução é complexa demais para o servidor";
  if (state.rfind("08", 0) == 0 || state == "57P01" || state == "57P02") {
    return "a conexão com o servidor foi interrompida";
  }
  if (state.rfind("42", 0) == 0) return "erro de sintaxe ou de nome na instrução SQL";
  if (state.rfind("22", 0) == 0) return "um valor não pôde ser usado na instrução (dado inválido)";
  return "a instrução SQL não pôde ser executada";
}

}  // namespace

std::string PgSqlState(const PGresult* result) { return Field(result, PG_DIAG_SQLSTATE); }

void RaisePgError(PGconn* conn, const PGresult* result, const std::string& sql) {
  if (PQstatus(conn) == CONNECTION_BAD) {
    throw DetailedError("A conexão com o servidor PostgreSQL foi perdida.",
                        FirstLine(PQerrorMessage(conn)) + "\n" + sql);
  }
  std::string primary = Field(result, PG_DIAG_MESSAGE_PRIMARY);
  if (primary.empty()) primary = FirstLine(result ? PQresultErrorMessage(result) : "");
  if (primary.empty()) primary = FirstLine(PQerrorMessage(conn));
  const std::string state = PgSqlState(result);
  // The server stopped the statement at the run's time limit (the session's statement_timeout).
  if (state == "57014" && Deadline::Passed()) Deadline::Raise(primary + "\n" + sql);
  std::string detail = primary;
  if (!state.empty()) detail += " [" + state + "]";
  if (const std::string more = Field(result, PG_DIAG_MESSAGE_DETAIL); !more.empty()) {
    detail += " (" + more + ")";
  }
  throw DetailedError("Erro no banco de dados: " + Describe(state, primary) + ".",
                      detail + "\n" + sql);
}

}  // namespace nrw
