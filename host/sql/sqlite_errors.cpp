#include "sql/sqlite_errors.h"

#include <sqlite3.h>

#include <array>
#include <utility>

#include "core/deadline.h"
#include "core/detailed_error.h"

namespace nrw {
namespace {

// The name SQLite puts after a known prefix ("no such table: X"), without its quotes.
bool After(std::string_view message, std::string_view prefix, std::string& name) {
  if (message.substr(0, prefix.size()) != prefix) return false;
  name = std::string(message.substr(prefix.size()));
  return true;
}

std::string DescribeGenericError(std::string_view message) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kNamed = {{
      {"no such table: ", "a tabela {} não existe"},
      {"no such column: ", "a coluna {} não existe"},
      {"no such function: ", "a função {} não existe"},
      {"ambiguous column name: ", "o nome de coluna {} é ambíguo"},
      {"misuse of aggregate: ", "uso indevido da agregação {}"},
  }};
  std::string name;
  for (const auto& [prefix, text] : kNamed) {
    if (After(message, prefix, name)) {
      std::string described(text);
      described.replace(described.find("{}"), 2, name);
      return described;
    }
  }
  if (message.find("syntax error") != std::string_view::npos) {
    const size_t open = message.find('"');
    const size_t close = open == std::string_view::npos ? open : message.find('"', open + 1);
    if (close != std::string_view::npos) {
      return "erro de sintaxe perto de \"" +
             std::string(message.substr(open + 1, close - open - 1)) + "\"";
    }
    return "erro de sintaxe";
  }
  if (message.find("incomplete input") != std::string_view::npos) return "instrução incompleta";
  if (message.find("too large") != std::string_view::npos ||
      message.find("too many") != std::string_view::npos ||
      message.find("stack overflow") != std::string_view::npos) {
    return "a instrução é grande ou complexa demais";
  }
  return "a instrução SQL não pôde ser executada";
}

}  // namespace

std::string DescribeSqliteError(int code, std::string_view message) {
  // SQLite reports a write past a file-size limit (EFBIG) as this, not as a full disk.
  if (code == SQLITE_IOERR_WRITE) {
    return "não foi possível gravar no disco (disco cheio ou limite de tamanho de arquivo)";
  }
  switch (code & 0xFF) {
    case SQLITE_ERROR:
      return DescribeGenericError(message);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "o banco de dados está bloqueado por outro programa";
    case SQLITE_READONLY:
      return "o banco de dados está aberto somente para leitura";
    case SQLITE_IOERR:
      return "erro de leitura ou gravação no disco";
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return "o arquivo não é um banco de dados válido ou está danificado";
    case SQLITE_FULL:
      return "disco cheio";
    case SQLITE_CANTOPEN:
      return "não foi possível abrir o arquivo do banco de dados";
    case SQLITE_NOMEM:
      return "memória insuficiente";
    case SQLITE_INTERRUPT:
      return "operação interrompida";
    case SQLITE_TOOBIG:
      return "um texto ou valor é grande demais";
    case SQLITE_CONSTRAINT:
      return "uma restrição de integridade foi violada";
    case SQLITE_MISMATCH:
      return "tipo de dado incompatível";
    case SQLITE_RANGE:
      return "parâmetro fora dos limites da instrução";
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return "permissão negada";
    case SQLITE_SCHEMA:
      return "o esquema do banco de dados mudou durante a execução";
    default:
      return "erro " + std::to_string(code);
  }
}

void RaiseDatabaseError(int code, std::string_view message, const std::string& sql) {
  std::string detail(message);
  if (!sql.empty()) detail += "\n" + sql;
  // The progress handler stopped the statement: the run's time limit, not the database, ended it.
  if ((code & 0xFF) == SQLITE_INTERRUPT && Deadline::Passed()) Deadline::Raise(detail);
  throw DetailedError("Erro no banco de dados: " + DescribeSqliteError(code, message) + ".",
                      std::move(detail));
}

}  // namespace nrw
