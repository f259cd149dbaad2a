#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <new>
#include <optional>

#include "commands.h"
#include "database_scope.h"
#include "nrwhost/database.h"
#include "nrwhost/files.h"
#include "nrwhost/session.h"
#include "nrwhost/time_limit.h"
#include "panel_session.h"
#include "paths.h"

namespace nrw::cli {

int ShowPanel(const CommonOptions& common, const PanelCommand& command) {
  // The module's hooks may run statements of their own.
  const TimeLimit time_limit(command.time_limit);
  SessionOptions options;
  if (!ParseParams(command.params, options.params)) return kUsageError;
  try {
    if (command.usuario && command.db.empty()) {
      throw UsageError("--usuario pede --db: as empresas do usuário estão no banco de dados.");
    }
    if (!command.db.empty() && !IsPostgreSQLTarget(command.db)) CheckDatabaseFile(command.db);
    const ModuleFiles files =
        FindModule(command.module, ResolveLocations(common.modules_dir, common.layouts_dir));
    options.module_path = files.module_path;
    options.layout_path = files.layout_path;
    std::optional<OpenDatabase> database;
    if (!command.db.empty()) database.emplace(command.db);
    const CurrentUser user(command.usuario);
    if (command.session && command.markdown) {
      throw UsageError("--session e --markdown não podem ser usados juntos.");
    }
    RunSession session(options);
    if (command.session) {
      ServePanelSession(session, std::cin, std::cout);
    } else {
      std::cout << (command.markdown ? session.DescribePanelMarkdown() : session.DescribePanel())
                << '\n';
    }
  } catch (const UsageError& error) {
    return Failed(common, error.what(), error.Detail(), kUsageError);
  } catch (const std::bad_alloc&) {
    return Failed(common, "memória insuficiente.", "", kFailed);
  } catch (const Exception& error) {
    return Failed(common, error.what(), ErrorDetail(error), kFailed);
  } catch (const std::exception& error) {
    return Failed(common, "erro inesperado ao montar o painel.", error.what(), kFailed);
  }
  return FlushStdout() ? kOk : kFailed;
}

Subcommand AddPanelCommand(CLI::App& app, const CommonOptions& common) {
  auto command = std::make_shared<PanelCommand>();
  CLI::App* panel = app.add_subcommand("panel", "Mostra o painel de parâmetros em JSON");
  panel
      ->add_option("MODULO", command->module,
                   "Nome do módulo (maiúsculas à vontade) ou caminho do .so")
      ->required()
      ->type_name("NOME");
  panel->add_option("--db", command->db, kDbHelp)->type_name("BANCO");
  panel->add_option("-p,--param", command->params, "Parâmetro NOME=VALOR (repetível)")
      ->type_name("NOME=VALOR");
  panel
      ->add_option("--usuario", command->usuario_text,
                   "Código do usuário: só as empresas a que ele tem direito (padrão: todas)")
      ->type_name("CODIGO");
  panel->add_flag("--markdown", command->markdown,
                  "Os parâmetros em uma tabela Markdown (referência do guia do usuário)");
  panel->add_flag("--session", command->session,
                  "Painel interativo: eventos em linhas JSON na entrada, o painel em linhas JSON "
                  "na saída");
  AddTimeLimitOption(*panel, *command);
  return {panel, [&common, command] { return ShowPanel(common, *command); },
          [command] { CheckRunOptions(*command); }};
}

}  // namespace nrw::cli
