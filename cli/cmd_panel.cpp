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
#include "panel_session.h"
#include "paths.h"

namespace nrw::cli {

int ShowPanel(const CommonOptions& common, const PanelCommand& command) {
  SessionOptions options;
  if (!ParseParams(command.params, options.params)) return kUsageError;
  try {
    if (command.usuario && command.db.empty()) {
      throw UsageError("--usuario pede --db: as empresas do usuário estão no banco de dados.");
    }
    if (!command.db.empty() && !IsPostgreSQLTarget(command.db)) {
      CheckInputFile(command.db, "Banco de dados");
    }
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
    return Failed(common, error.what(), "", kFailed);
  } catch (const std::exception& error) {
    return Failed(common, "erro inesperado ao montar o painel.", error.what(), kFailed);
  }
  return FlushStdout() ? kOk : kFailed;
}

Subcommand AddPanelCommand(CLI::App& app, const CommonOptions& common) {
  auto command = std::make_shared<PanelCommand>();
  CLI::App* panel = app.add_subcommand("panel", "Mostra o painel de parâmetros em JSON");
  panel->add_option("MODULE", command->module, "Nome do módulo ou caminho do .so")->required();
  panel->add_option("--db", command->db, kDbHelp);
  panel->add_option("-p,--param", command->params, "Parâmetro NOME=VALOR (repetível)");
  panel->add_option("--usuario", command->usuario,
                    "Código do usuário: só as empresas a que ele tem direito (padrão: todas)");
  panel->add_flag("--markdown", command->markdown,
                  "Os parâmetros em uma tabela Markdown (referência do guia do usuário)");
  panel->add_flag("--session", command->session,
                  "Painel interativo: eventos em linhas JSON na entrada, o painel em linhas JSON "
                  "na saída");
  return {panel, [&common, command] { return ShowPanel(common, *command); }};
}

}  // namespace nrw::cli
