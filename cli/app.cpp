// The nrw command line: argument parsing and wiring only; the work is the host library's.
#include <CLI/CLI.hpp>
#include <iostream>

#include "commands.h"
#include "usage_text.h"

namespace nrw::cli {

namespace {

constexpr const char* kDbHelp =
    "Banco de dados: arquivo SQLite, ou URI/conninfo PostgreSQL (a senha vem de PGPASSWORD ou "
    "~/.pgpass)";

}  // namespace

int Main(int argc, const char* const* argv) {
  CLI::App app{"nrw - relatórios de DIRF e folha de pagamento"};
  UsePortugueseLabels(app);
  app.require_subcommand(1);
  nrw::cli::CommonOptions common;
  app.add_option("--modules", common.modules_dir, "Pasta dos módulos (.so)");
  app.add_option("--layouts", common.layouts_dir, "Pasta dos layouts (.json)");
  app.add_flag("-v,--verbose", common.verbose,
               "Mostra nos erros o detalhe (mensagem do banco de dados, instrução SQL)");

  auto* list = app.add_subcommand("list", "Módulos encontrados, com suas versões");

  nrw::cli::DemoOptions demo;
  auto* demo_db = app.add_subcommand("demo-db", "Cria um banco de demonstração");
  demo_db
      ->add_option(
          "BANCO", demo.path,
          "Arquivo SQLite, ou URI/conninfo PostgreSQL (postgresql://usuario@servidor/banco)")
      ->required();
  demo_db->add_option("--ano", demo.ano_base, "Ano base principal (padrão: o ano anterior)")
      ->check(CLI::Range(1901, 9998));
  demo_db->add_option("--extras", demo.extras, "Beneficiários adicionais gerados")
      ->check(CLI::Range(0, 100000));
  demo_db->add_flag("--force", demo.force,
                    "Substitui um arquivo existente (no PostgreSQL, as tabelas do sistema)");

  nrw::cli::RunCommand run;
  auto* run_cmd = app.add_subcommand("run", "Executa um relatório");
  run_cmd->add_option("MODULE", run.module, "Nome do módulo ou caminho do .so")->required();
  run_cmd->add_option("--db", run.db, kDbHelp)->required();
  run_cmd->add_option("-p,--param", run.params, "Parâmetro NOME=VALOR (repetível)");
  run_cmd->add_option("--split", run.split, "Parâmetro separador (repetível)");
  run_cmd->add_option("--out", run.out,
                      "Arquivo de saída (- para a saída padrão), ou padrão com {PARAM} por parte");
  run_cmd->add_option("--trace", run.trace, "Registro JSON Lines das chamadas do relatório");
  run_cmd->add_option("--format", run.format, "Formato: text, pdf ou html (padrão: pela extensão)")
      ->check(CLI::IsMember({"text", "txt", "pdf", "html"}, CLI::ignore_case));
  run_cmd->add_option("--password", run.password,
                      "Senha de cada PDF, com {PARAM}, {PARAM:digits} ou {PARAM:digits:N}");
  run_cmd->add_option("--archive", run.archive,
                      "Pasta da cópia sem senha (PDF/A-2b) de cada PDF, com o mesmo nome");
  run_cmd->add_option("--usuario", run.usuario,
                      "Código do usuário: só as empresas a que ele tem direito (padrão: todas)");

  nrw::cli::RunCommand panel;
  auto* panel_cmd = app.add_subcommand("panel", "Mostra o painel de parâmetros em JSON");
  panel_cmd->add_option("MODULE", panel.module, "Nome do módulo ou caminho do .so")->required();
  panel_cmd->add_option("--db", panel.db, kDbHelp);
  panel_cmd->add_option("-p,--param", panel.params, "Parâmetro NOME=VALOR (repetível)");
  for (CLI::App* command : {list, demo_db, run_cmd, panel_cmd}) command->group("Comandos");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    std::cerr << "Erro: " << DescribeParseError(error) << ". Use nrw --help para ver as opções.\n";
    return nrw::cli::kUsageError;
  }

  if (list->parsed()) return nrw::cli::ListModules(common);
  if (demo_db->parsed()) return nrw::cli::MakeDemoDatabase(common, demo);
  if (run_cmd->parsed()) return nrw::cli::RunReportCommand(common, run);
  if (panel_cmd->parsed()) return nrw::cli::ShowPanel(common, panel);
  return nrw::cli::kUsageError;
}

}  // namespace nrw::cli
