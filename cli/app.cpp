// The nrw command line: the options every command shares, then each subcommand as its own file adds
// it (commands.h); the work is the host library's.
#include <CLI/CLI.hpp>
#include <iostream>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "nrwhost/files.h"
#include "usage_text.h"

namespace nrw::cli {

const char* const kDbHelp =
    "Banco de dados: arquivo SQLite, ou URI/conninfo PostgreSQL (a senha vem de PGPASSWORD ou "
    "~/.pgpass)";

namespace {

// Options given with nothing in them: a value left out by a script's empty variable, never a
// choice (an empty --archive or --usuario would otherwise mean "none" or "everything").
void RefuseEmptyValues(const CLI::App& app) {
  for (const CLI::Option* option : app.get_options()) {
    if (option->count() == 0 || option->get_type_size() == 0) continue;
    for (const std::string& value : option->results()) {
      if (value.empty()) throw UsageError(option->get_name() + ": o valor está vazio.");
    }
  }
}

}  // namespace

struct CommandLine::Impl {
  CLI::App app{"nrw - relatórios de DIRF e folha de pagamento", "nrw"};
  CommonOptions common;
  std::vector<Subcommand> commands;
  const Subcommand* parsed = nullptr;
};

CommandLine::CommandLine() : impl_(std::make_unique<Impl>()) {
  CLI::App& app = impl_->app;
  UsePortugueseLabels(app);
  app.require_subcommand(1);
  // The shared options may also follow the command ("nrw run X --verbose").
  app.fallthrough();
  app.set_version_flag("--version", "nrw " NRW_VERSION, "Mostra a versão do nrw");
  CommonOptions& common = impl_->common;
  app.add_option("--modules", common.modules_dir, "Pasta dos módulos (.so)")->type_name("PASTA");
  app.add_option("--layouts", common.layouts_dir, "Pasta dos layouts (.json)")->type_name("PASTA");
  app.add_flag("-v,--verbose", common.verbose,
               "Mostra nos erros o detalhe (mensagem do banco de dados, instrução SQL)");

  impl_->commands = {AddListCommand(app, common),    AddDemoCommand(app, common),
                     AddRunCommand(app, common),     AddPanelCommand(app, common),
                     AddVerifyCommand(app, common),  AddSendCommand(app, common),
                     AddUsuarioCommand(app, common), AddServeCommand(app, common)};
  for (const Subcommand& command : impl_->commands) {
    command.app->group("Comandos");
    UsePortugueseHelp(*command.app);
  }
}

CommandLine::~CommandLine() = default;

std::optional<int> CommandLine::Parse(int argc, const char* const* argv) {
  CLI::App& app = impl_->app;
  try {
    CheckArgumentLengths(argc, argv);
    app.parse(argc, argv);
    RefuseEmptyValues(app);
    for (const Subcommand& command : impl_->commands) {
      if (!command.app->parsed()) continue;
      RefuseEmptyValues(*command.app);
      if (command.check) command.check();
      impl_->parsed = &command;
    }
  } catch (const CLI::Success& success) {
    return app.exit(success);
  } catch (const CLI::ParseError& error) {
    std::cerr << "Erro: " << DescribeParseError(error) << ". Use nrw --help para ver as opções.\n";
    return kUsageError;
  } catch (const UsageError& error) {
    return Failed(impl_->common, error.what(), error.Detail(), kUsageError);
  }
  if (impl_->parsed == nullptr) return kUsageError;
  return std::nullopt;
}

int CommandLine::Run() { return impl_->parsed != nullptr ? impl_->parsed->run() : kUsageError; }

int Main(int argc, const char* const* argv) {
  CommandLine command_line;
  if (const std::optional<int> status = command_line.Parse(argc, argv)) return *status;
  return command_line.Run();
}

}  // namespace nrw::cli
