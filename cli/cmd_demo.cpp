#include <ctime>
#include <filesystem>
#include <iostream>

#include "commands.h"
#include "demo/demo_data.h"
#include "nrwhost/database.h"
#include "schema/schema.h"

namespace nrw::cli {
namespace {

namespace fs = std::filesystem;

// A server's database is filled in one transaction: a failed run leaves it as it was.
int MakeOnServer(const DemoOptions& options, OpcoesDemo opcoes) {
  try {
    const std::unique_ptr<TnConnection> connection = OpenPostgreSQL(options.path);
    if (!options.force && EsquemaPresente(*connection)) {
      std::cerr << "O banco já contém as tabelas do sistema (use --force para substituí-las)\n";
      return kUsageError;
    }
    opcoes.substituir = options.force;
    CriarBancoDemo(*connection, opcoes);
  } catch (const std::exception& failure) {
    std::cerr << "Falha ao criar o banco de demonstração: " << failure.what() << '\n';
    return kFailed;
  }
  return kOk;
}

// A file is built under a temporary name and renamed: a failed run leaves no half-made database.
int MakeFile(const DemoOptions& options, const OpcoesDemo& opcoes) {
  if (fs::exists(options.path) && !options.force) {
    std::cerr << "O arquivo já existe: " << options.path << " (use --force para substituir)\n";
    return kUsageError;
  }
  const std::string partial = options.path + ".parcial";
  fs::remove(partial);
  try {
    {
      const std::unique_ptr<TnConnection> connection = OpenSQLite(partial);
      CriarBancoDemo(*connection, opcoes);
    }
    fs::rename(partial, options.path);
  } catch (const std::exception& failure) {
    std::error_code ignored;
    fs::remove(partial, ignored);
    std::cerr << "Falha ao criar o banco de demonstração: " << failure.what() << '\n';
    return kFailed;
  }
  return kOk;
}

}  // namespace

int MakeDemoDatabase(const DemoOptions& options) {
  OpcoesDemo opcoes;
  if (options.ano_base > 0) {
    opcoes.ano_base = options.ano_base;
  } else {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    opcoes.ano_base = local.tm_year + 1900 - 1;
  }
  opcoes.beneficiarios_extras = options.extras;
  const int status =
      IsPostgreSQLTarget(options.path) ? MakeOnServer(options, opcoes) : MakeFile(options, opcoes);
  if (status == kOk) {
    std::cout << "Banco de demonstração criado: " << options.path << " (ano base "
              << opcoes.ano_base << ")\n";
  }
  return status;
}

}  // namespace nrw::cli
