#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <limits>

#include "arguments.h"
#include "commands.h"
#include "nrwhost/files.h"

namespace nrw::cli {

int Failed(const CommonOptions& common, const std::string& error, const std::string& detail,
           int status) {
  // "Erro no banco de dados: ..." says it already.
  std::cerr << (error.rfind("Erro", 0) == 0 ? "" : "Erro: ") << error << '\n';
  if (common.verbose && !detail.empty()) std::cerr << detail << '\n';
  return status;
}

namespace {

void AddTimeLimitText(CLI::App& command, std::string& time_limit_text) {
  command
      .add_option("--tempo-limite", time_limit_text,
                  "Tempo máximo da execução: segundos (90), minutos (30m) ou horas (2h); 0 para "
                  "nenhum (padrão: 6h)")
      ->type_name("TEMPO");
}

template <typename Command>
void CheckUserAndTimeLimit(Command& command) {
  if (!command.usuario_text.empty()) {
    command.usuario = static_cast<int>(
        WholeNumber("--usuario", command.usuario_text, 0, std::numeric_limits<int32_t>::max()));
  }
  command.time_limit = command.time_limit_text.empty()
                           ? kDefaultTimeLimit
                           : Duration("--tempo-limite", command.time_limit_text);
}

}  // namespace

void AddTimeLimitOption(CLI::App& command, RunCommand& options) {
  AddTimeLimitText(command, options.time_limit_text);
}
void AddTimeLimitOption(CLI::App& command, PanelCommand& options) {
  AddTimeLimitText(command, options.time_limit_text);
}
void CheckRunOptions(RunCommand& command) { CheckUserAndTimeLimit(command); }
void CheckRunOptions(PanelCommand& command) { CheckUserAndTimeLimit(command); }

void CheckDatabaseFile(const std::string& db) {
  try {
    CheckInputFile(db, "Banco de dados");
  } catch (const UsageError&) {
    struct stat info = {};
    if (db.find('=') == std::string::npos || stat(db.c_str(), &info) == 0) throw;
    throw UsageError(
        "Banco de dados: o texto de --db não é um arquivo que exista nem um endereço PostgreSQL "
        "válido (postgresql://usuario@servidor/banco, ou host=... dbname=... com as opções que o "
        "PostgreSQL conhece).");
  }
}

bool ParseParams(const std::vector<std::string>& texts, std::vector<ParamSetting>& settings) {
  for (const std::string& text : texts) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) {
      std::cerr << "Parâmetro inválido: '" << text << "' (use NOME=VALOR)\n";
      return false;
    }
    settings.push_back({text.substr(0, equals), text.substr(equals + 1)});
  }
  return true;
}

bool FlushStdout() {
  std::cout.flush();
  if (std::cout) return true;
  std::cerr << "Erro: não foi possível gravar na saída padrão.\n";
  return false;
}

}  // namespace nrw::cli
