#include <sys/stat.h>

#include <cerrno>
#include <ctime>
#include <iostream>
#include <new>

#include "commands.h"
#include "demo/demo_data.h"
#include "nrwhost/database.h"
#include "nrwhost/files.h"

namespace nrw::cli {

int MakeDemoDatabase(const CommonOptions& common, const DemoOptions& options) {
  try {
    CheckOutputTarget(options.path, {});
    struct stat info = {};
    if (lstat(options.path.c_str(), &info) == 0 && !options.force) {
      std::cerr << "O arquivo já existe: " << options.path << " (use --force para substituir)\n";
      return kUsageError;
    }
  } catch (const UsageError& error) {
    std::cerr << "Erro: " << error.what() << '\n';
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
  RemoveTempFilesOnSignals();
  try {
    // Built under a temporary name and put in place whole: a failed or killed run leaves the
    // target as it was.
    AtomicFile file(options.path, {});
    {
      const std::unique_ptr<TnConnection> connection = OpenSQLite(file.TempPath());
      // The file is thrown away when anything fails: a rollback journal would only be left behind.
      connection->ExecuteScript("PRAGMA journal_mode = OFF;");
      CriarBancoDemo(*connection, opcoes);
    }
    file.Commit();
  } catch (const UsageError& error) {
    std::cerr << "Erro: " << error.what() << '\n';
    return kUsageError;
  } catch (const std::bad_alloc&) {
    std::cerr << "Falha ao criar o banco de demonstração: memória insuficiente.\n";
    return kFailed;
  } catch (const Exception& error) {
    std::cerr << "Falha ao criar o banco de demonstração: " << error.what() << '\n';
    return kFailed;
  } catch (const std::exception& error) {
    std::cerr << "Falha ao criar o banco de demonstração.\n";
    if (common.verbose) std::cerr << error.what() << '\n';
    return kFailed;
  }
  std::cerr << "Banco de demonstração criado: " << options.path << " (ano base " << opcoes.ano_base
            << ")\n";
  return kOk;
}

}  // namespace nrw::cli
