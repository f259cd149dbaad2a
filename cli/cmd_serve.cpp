// `nrw serve`: the office's report server (server/), its reports found as `nrw list` finds them.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "nrwhost/database.h"
#include "nrwhost/files.h"
#include "paths.h"
#include "serve.h"

namespace nrw::cli {
namespace {

namespace fs = std::filesystem;

struct ServeCommand {
  server::ServeOptions options;
  std::string listen = "127.0.0.1:8080";
};

void ParseListen(const std::string& listen, server::ServeOptions& options) {
  const size_t colon = listen.rfind(':');
  std::string host = colon == std::string::npos ? "" : listen.substr(0, colon);
  const std::string port = colon == std::string::npos ? "" : listen.substr(colon + 1);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  if (host.empty() || port.empty() || port.size() > 5 ||
      port.find_first_not_of("0123456789") != std::string::npos || std::stoi(port) > 65535) {
    throw UsageError("--listen deve ser ENDEREÇO:PORTA (por exemplo 127.0.0.1:8080).");
  }
  options.host = host;
  options.port = std::stoi(port);
}

// The report modules with a layout, and the layouts' titles.
std::vector<server::ReportInfo> FindReports(const Locations& locations) {
  std::vector<server::ReportInfo> reports;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(locations.modules_dir, error)) {
    if (entry.path().extension() != ".so") continue;
    const std::string name = entry.path().stem().string();
    const fs::path layout = fs::path(locations.layouts_dir) / (name + ".json");
    std::ifstream in(layout);
    if (!in) continue;
    server::ReportInfo report{name, name};
    try {
      report.title = nlohmann::json::parse(in).value("title", name);
    } catch (const nlohmann::json::exception&) {
    }
    reports.push_back(std::move(report));
  }
  std::sort(reports.begin(), reports.end(),
            [](const auto& a, const auto& b) { return a.name < b.name; });
  return reports;
}

int RunServer(const CommonOptions& common, ServeCommand& command) {
  server::ServeOptions& options = command.options;
  try {
    ParseListen(command.listen, options);
    if (options.jobs < 1 || options.jobs > 64) throw UsageError("--jobs deve ser de 1 a 64.");
    if (options.keep_days < 0) throw UsageError("--keep-days não pode ser negativo.");
    if (options.time_limit < 1) throw UsageError("--tempo-limite deve ser positivo.");
    if (options.memory_limit_mb < 0) throw UsageError("--memoria-limite não pode ser negativo.");
    if (!IsPostgreSQLTarget(options.db)) {
      CheckInputFile(options.db, "Banco de dados");
      options.db = fs::absolute(options.db).string();
    }
    options.users_file = fs::absolute(options.users_file).string();
    options.data_dir = fs::absolute(options.data_dir).lexically_normal().string();
    while (options.data_dir.size() > 1 && options.data_dir.back() == '/')
      options.data_dir.pop_back();
    options.program = {fs::read_symlink("/proc/self/exe").string()};
    const Locations locations = ResolveLocations(common.modules_dir, common.layouts_dir);
    options.program.insert(options.program.end(),
                           {"--modules", fs::absolute(locations.modules_dir).string(), "--layouts",
                            fs::absolute(locations.layouts_dir).string()});
    options.reports = FindReports(locations);
    if (options.reports.empty())
      throw UsageError("nenhum relatório encontrado na pasta de módulos.");
    return server::Serve(options, std::cerr);
  } catch (const UsageError& error) {
    return Failed(common, error.what(), error.Detail(), kUsageError);
  } catch (const std::exception& error) {
    return Failed(common, error.what(), "", kFailed);
  }
}

}  // namespace

Subcommand AddServeCommand(CLI::App& app, const CommonOptions& common) {
  auto command = std::make_shared<ServeCommand>();
  server::ServeOptions& options = command->options;
  options.data_dir = "nrw-serve-dados";
  CLI::App* serve = app.add_subcommand("serve", "Servidor web de relatórios do escritório");
  serve->add_option("--db", options.db, kDbHelp)->required();
  serve->add_option("--users", options.users_file, "Arquivo de usuários (nrw usuario add)")
      ->required();
  serve->add_option("--listen", command->listen,
                    "ENDEREÇO:PORTA onde escutar (padrão: 127.0.0.1:8080; porta 0: uma livre)");
  serve->add_option("--data", options.data_dir,
                    "Pasta dos arquivos gerados, por usuário (padrão: nrw-serve-dados)");
  serve->add_option("--jobs", options.jobs, "Relatórios executados ao mesmo tempo (padrão: 2)");
  serve->add_option("--cert", options.cert, "Certificado TLS (PEM)");
  serve->add_option("--key", options.key, "Chave privada TLS (PEM)");
  serve->add_flag("--insecure", options.insecure,
                  "Permite escutar fora da máquina sem TLS (só em rede de confiança)");
  serve->add_option("--keep-days", options.keep_days,
                    "Dias que os arquivos gerados ficam guardados (padrão: 7)");
  serve->add_option("--tempo-limite", options.time_limit,
                    "Segundos que um relatório pode levar (padrão: 600)");
  serve->add_option("--memoria-limite", options.memory_limit_mb,
                    "Memória de cada relatório, em MiB; 0: sem limite (padrão: 4096)");
  return {serve, [&common, command] { return RunServer(common, *command); }};
}

}  // namespace nrw::cli
