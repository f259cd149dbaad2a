#include <fmt/format.h>
#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <ctime>
#include <iostream>
#include <memory>
#include <new>

#include "arguments.h"
#include "commands.h"
#include "demo/demo_data.h"
#include "nrwhost/database.h"
#include "nrwhost/files.h"
#include "schema/schema.h"

namespace nrw::cli {
namespace {

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
  } catch (const UsageError& error) {
    std::cerr << "Erro: " << error.what() << '\n';
    return kUsageError;
  } catch (const std::exception& failure) {
    std::cerr << "Falha ao criar o banco de demonstração: " << failure.what() << '\n';
    return kFailed;
  }
  return kOk;
}

int MakeFile(const CommonOptions& common, const DemoOptions& options, const OpcoesDemo& opcoes) {
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
    if (common.verbose && !ErrorDetail(error).empty()) std::cerr << ErrorDetail(error) << '\n';
    return kFailed;
  } catch (const std::exception& error) {
    std::cerr << "Falha ao criar o banco de demonstração.\n";
    if (common.verbose) std::cerr << error.what() << '\n';
    return kFailed;
  }
  return kOk;
}

}  // namespace

int MakeDemoDatabase(const CommonOptions& common, const DemoOptions& options) {
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
  const int status = IsPostgreSQLTarget(options.path) ? MakeOnServer(options, opcoes)
                                                      : MakeFile(common, options, opcoes);
  if (status == kOk) {
    std::cerr << "Banco de demonstração criado: " << options.path << " (ano base "
              << opcoes.ano_base << ")\n";
  }
  return status;
}

Subcommand AddDemoCommand(CLI::App& app, const CommonOptions& common) {
  auto options = std::make_shared<DemoOptions>();
  CLI::App* demo = app.add_subcommand("demo-db", "Cria um banco de demonstração");
  demo->add_option(
          "BANCO", options->path,
          "Arquivo SQLite, ou URI/conninfo PostgreSQL (postgresql://usuario@servidor/banco)")
      ->required();
  demo->add_option("--ano", options->ano_text,
                   fmt::format("Ano base principal, de {} a {} (padrão: o ano anterior)",
                               kPrimeiroAnoDemo, kUltimoAnoDemo))
      ->type_name("ANO");
  demo->add_option("--extras", options->extras_text,
                   fmt::format("Beneficiários adicionais gerados, de 0 a {}", kMaximoExtrasDemo))
      ->type_name("N");
  demo->add_flag("--force", options->force,
                 "Substitui um arquivo existente (no PostgreSQL, as tabelas do sistema)");
  return {demo, [&common, options] { return MakeDemoDatabase(common, *options); },
          [options] {
            // The ranges the generator itself accepts.
            if (!options->ano_text.empty()) {
              options->ano_base = static_cast<int>(
                  WholeNumber("--ano", options->ano_text, kPrimeiroAnoDemo, kUltimoAnoDemo));
            }
            if (!options->extras_text.empty()) {
              options->extras = static_cast<int>(
                  WholeNumber("--extras", options->extras_text, 0, kMaximoExtrasDemo));
            }
          }};
}

}  // namespace nrw::cli
