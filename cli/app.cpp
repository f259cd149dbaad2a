// The nrw command line: the options every command shares, then each subcommand as its own file adds
// it (commands.h); the work is the host library's.
#include <CLI/CLI.hpp>
#include <iostream>
#include <vector>

#include "commands.h"
#include "usage_text.h"

namespace nrw::cli {

const char* const kDbHelp =
    "Banco de dados: arquivo SQLite, ou URI/conninfo PostgreSQL (a senha vem de PGPASSWORD ou "
    "~/.pgpass)";

int Main(int argc, const char* const* argv) {
  CLI::App app{"nrw - relatórios de DIRF e folha de pagamento"};
  UsePortugueseLabels(app);
  app.require_subcommand(1);
  CommonOptions common;
  app.add_option("--modules", common.modules_dir, "Pasta dos módulos (.so)");
  app.add_option("--layouts", common.layouts_dir, "Pasta dos layouts (.json)");
  app.add_flag("-v,--verbose", common.verbose,
               "Mostra nos erros o detalhe (mensagem do banco de dados, instrução SQL)");

  const std::vector<Subcommand> commands = {
      AddListCommand(app, common),    AddDemoCommand(app, common),   AddRunCommand(app, common),
      AddPanelCommand(app, common),   AddVerifyCommand(app, common), AddSendCommand(app, common),
      AddUsuarioCommand(app, common), AddServeCommand(app, common)};
  for (const Subcommand& command : commands) command.app->group("Comandos");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    std::cerr << "Erro: " << DescribeParseError(error) << ". Use nrw --help para ver as opções.\n";
    return kUsageError;
  }
  for (const Subcommand& command : commands) {
    if (command.app->parsed()) return command.run();
  }
  return kUsageError;
}

}  // namespace nrw::cli
