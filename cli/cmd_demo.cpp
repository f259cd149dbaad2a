#include <ctime>
#include <filesystem>
#include <iostream>

#include "commands.h"
#include "demo/demo_data.h"
#include "nrwhost/database.h"

namespace nrw::cli {

namespace fs = std::filesystem;

int MakeDemoDatabase(const DemoOptions& options) {
  if (fs::exists(options.path) && !options.force) {
    std::cerr << "O arquivo já existe: " << options.path << " (use --force para substituir)\n";
    return kUsageError;
  }
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
  // Built under a temporary name and renamed: a failed run leaves no half-made database.
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
  std::cout << "Banco de demonstração criado: " << options.path << " (ano base " << opcoes.ano_base
            << ")\n";
  return kOk;
}

}  // namespace nrw::cli
