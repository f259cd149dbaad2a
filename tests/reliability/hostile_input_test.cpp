// Hostile input through the nrw command line, one probe per row: whatever a user, a script or an
// attacker gives (arguments of any length or none, files that are no files, layouts that write or
// never end, outputs aimed at the database or at each other), nrw answers with a usage error (2) or
// a failed run (1) in one Portuguese line, and leaves the database, the files SQLite keeps beside
// it and every earlier output as they were, with no temporary file behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "nrw_command.h"
#include "support/paths.h"
#include "support/temp_dir.h"

namespace reliability {
namespace {

namespace fs = std::filesystem;
using support::ReadFile;
using support::WriteFile;

// The folder every probe works in: a copy of the demo database, earlier outputs, and the hostile
// files the probes name.
class Office {
 public:
  Office() {
    fs::copy_file(DemoDatabase(), Db());
    WriteFile(File("anterior.txt"), "saída anterior");
    WriteFile(File("anterior.pdf"), "%PDF anterior");
    fs::create_directories(File("arquivo"));
    for (const char* company : {"1", "2", "3", "4", "5"}) fs::create_directories(File(company));
    MakeModules();
    MakeLayouts();
    db_before_ = ReadFile(Db());
    names_before_ = Names();
  }

  std::string Db() const { return File("banco.db"); }
  std::string File(const std::string& name) const { return dir_.File(name); }

  //! What the probe broke of what a run promises; empty when nothing.
  std::vector<std::string> BrokenPromises() const {
    std::vector<std::string> broken;
    if (ReadFile(Db()) != db_before_) broken.push_back("the database changed");
    if (ReadFile(File("anterior.txt")) != "saída anterior" ||
        ReadFile(File("anterior.pdf")) != "%PDF anterior") {
      broken.push_back("an earlier output changed");
    }
    if (Names() != names_before_) broken.push_back("files appeared or went in the folder");
    return broken;
  }

 private:
  // Every name under the folder, links not followed.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (auto it = fs::recursive_directory_iterator(dir_.Path());
         it != fs::recursive_directory_iterator(); ++it) {
      names.push_back(it->path().lexically_relative(dir_.Path()).string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  void MakeModules() {
    fs::create_directories(File("mods"));
    const std::string module = support::ModulePath("RptPayerRoster");
    const std::string whole = ReadFile(module);
    WriteFile(File("mods/Truncado.so"), whole.substr(0, whole.size() / 3));
    fs::copy_file(std::string(NRW_BUILD_DIR) + "/lib/libnrwhost.so", File("mods/Outro.so"));
    mkfifo(File("mods/Fila.so").c_str(), 0600);
    fs::create_symlink(File("mods/Laco.so"), File("mods/Laco.so"));
    fs::create_directories(File("mods/Pasta.so"));
  }

  void WriteLayout(const std::string& folder, const std::function<void(nlohmann::json&)>& change) {
    std::ifstream in(support::LayoutPath("RptPayerRoster"));
    nlohmann::json layout = nlohmann::json::parse(in);
    change(layout);
    fs::create_directories(File(folder));
    std::ofstream(File(folder + "/RptPayerRoster.json")) << layout.dump();
  }

  void MakeLayouts() {
    const auto statement = [](std::string sql) {
      return [sql](nlohmann::json& layout) { layout["dataset"]["sql"] = sql; };
    };
    WriteLayout("lay_vacuum", statement("vacuum into '" + File("copia.db") + "'"));
    WriteLayout("lay_attach", statement("attach '" + File("outro.db") + "' as outro"));
    WriteLayout("lay_sem_fim",
                statement("with recursive r(n) as (select 1 union all select n + 1 from r) "
                          "select extract(year from :pAnoBase) as ANOBASE from r where n < 0"));
    WriteLayout("lay_data", [](nlohmann::json& layout) {
      for (auto& param : layout["params"]) {
        if (param["name"] == "pAnoBase") param["default"] = "amanhã";
      }
    });
    WriteLayout("lay_grande",
                [](nlohmann::json& layout) { layout["title"] = std::string(5 << 20, 'T'); });
    fs::create_directories(File("lay_fila"));
    mkfifo(File("lay_fila/RptPayerRoster.json").c_str(), 0600);
    fs::create_directories(File("lay_zero"));
    fs::create_symlink("/dev/zero", File("lay_zero/RptPayerRoster.json"));
  }

  support::TempDir dir_;
  std::string db_before_;
  std::vector<std::string> names_before_;
};

// The base year of the demo database: the year before this one, as the layouts' defaults.
int DemoYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900 - 1;
}

struct Probe {
  const char* name;
  std::vector<std::string> args;
  int status;
  //! Part of the first line of stderr.
  std::string message;
};

TEST(HostileInput, EveryProbeIsRefusedInOneLineAndLeavesEverythingAsItWas) {
  const Office office;
  const std::string db = office.Db();
  const auto run = [&](std::vector<std::string> more) {
    std::vector<std::string> args = {"run", "RptIncomeStatement", "--db", db};
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  const auto hostile_layout = [&](const std::string& folder, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {
        "--layouts", office.File(folder), "run", "RptPayerRoster", "--db", db};
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  const std::string huge(40000, 'x');
  const std::string too_long(70000, 'x');
  const std::vector<Probe> probes = {
      // Arguments of any length or none.
      {"an argument beyond the limit", run({"--format", too_long}), 2,
       "Erro: o valor de --format é longo demais (70000 bytes; o limite é 65536)."},
      {"a long format", run({"--format", huge}), 2, "Erro: --format: 'xxxx"},
      {"a long user", run({"--usuario", huge}), 2, "Erro: --usuario: 'xxxx"},
      {"a long unknown option", run({"--" + huge}), 2, "Erro: argumento inesperado: --xxx"},
      {"a long stray word", run({huge}), 2, "Erro: argumento inesperado: xxx"},
      {"a long demo year",
       {"demo-db", office.File("novo.db"), "--ano", huge},
       2,
       "Erro: --ano: 'xxx"},
      {"long demo extras",
       {"demo-db", office.File("novo.db"), "--extras", huge},
       2,
       "Erro: --extras: 'xxx"},
      {"an empty user", run({"--usuario", ""}), 2, "Erro: --usuario: o valor está vazio."},
      {"a user that is no number", run({"--usuario", "y99999"}), 2,
       "Erro: --usuario: 'y99999' não é um número inteiro de 0 a 2147483647."},
      {"a user in hexadecimal", run({"--usuario", "0x1F"}), 2, "Erro: --usuario: '0x1F'"},
      {"an empty trace", run({"--trace", ""}), 2, "Erro: --trace: o valor está vazio."},
      {"an empty archive", run({"--out", office.File("x.pdf"), "--archive", ""}), 2,
       "Erro: --archive: o valor está vazio."},
      {"an empty modules folder",
       {"--modules", "", "list"},
       2,
       "Erro: --modules: o valor está vazio."},
      {"an empty layouts folder",
       {"--layouts", "", "list"},
       2,
       "Erro: --layouts: o valor está vazio."},
      {"demo extras that are no number",
       {"demo-db", office.File("novo.db"), "--extras", "y99999"},
       2,
       "Erro: --extras: 'y99999' não é um número inteiro de 0 a 1000000."},
      {"a demo year before the first",
       {"demo-db", office.File("novo.db"), "--ano", "1901"},
       2,
       "Erro: --ano: '1901' não é um número inteiro de 2001 a 2099."},
      {"a demo year after the last",
       {"demo-db", office.File("novo.db"), "--ano", "9998"},
       2,
       "Erro: --ano: '9998' não é um número inteiro de 2001 a 2099."},
      {"a time limit that is no time", run({"--tempo-limite", "meia hora"}), 2,
       "Erro: --tempo-limite: 'meia hora' não é um tempo"},
      {"an extension no writer has", run({"--out", office.File("x.docx")}), 2,
       "Erro: --out: a extensão '.docx' não é de um formato que o nrw grava"},
      {"a pattern without --split", run({"--out", office.File("y-{pBeneficiarios}.pdf")}), 2,
       "use-o com --split"},
      {"a module name a letter away",
       {"run", "RptIncomeStatment", "--db", db},
       2,
       "Erro: Módulo não encontrado: RptIncomeStatment. Seria RptIncomeStatement?"},

      // Outputs aimed at the database, the files SQLite keeps beside it, or each other.
      {"the report over the database's -wal", run({"--out", db + "-wal", "--format", "text"}), 2,
       "é o mesmo arquivo que"},
      {"the report over the database's -shm", run({"--out", db + "-shm", "--format", "text"}), 2,
       "é o mesmo arquivo que"},
      {"the trace over the database's -journal", run({"--trace", db + "-journal"}), 2,
       "é o mesmo arquivo que"},
      {"the report over the database through a path with ..",
       run({"--out", office.File("1/../banco.db-wal"), "--format", "text"}), 2,
       "é o mesmo arquivo que"},
      {"an archive copy over the database's -wal",
       run({"--out", office.File("1/banco.db-wal"), "--format", "pdf", "--archive",
            fs::path(db).parent_path().string()}),
       2, "é o mesmo arquivo que"},
      {"an archive copy over its own part",
       run({"-p", "pAnoBase1=01/01/" + std::to_string(DemoYear()), "--split", "pCodigoEmpresa",
            "--out", office.File("{pCodigoEmpresa}/s.pdf"), "--archive", office.File("1")}),
       2, "Erro: --archive: a cópia sem senha de"},
      {"archive copies of parts with one file name",
       run({"-p", "pAnoBase1=01/01/" + std::to_string(DemoYear()), "--split", "pCodigoEmpresa",
            "--out", office.File("{pCodigoEmpresa}/s.pdf"), "--archive", office.File("arquivo")}),
       2, "teriam o mesmo nome"},

      // Passwords nobody could type.
      {"an empty password", run({"--out", office.File("x.pdf"), "--password", ""}), 2,
       "Erro: --password: o valor está vazio."},
      {"a password beyond AES-256's 127 bytes",
       run({"--out", office.File("x.pdf"), "--password", std::string(128, 's')}), 2,
       "Erro: --password: a senha passa de 127 bytes"},
      {"a password made too long by a value",
       run({"-p", "pAnoBase1=01/01/" + std::to_string(DemoYear()), "--split", "pBeneficiarios",
            "--out", office.File("{pBeneficiarios}.pdf"), "--password",
            std::string(120, 's') + "{pBeneficiarios}"}),
       1, "Erro: A senha do documento ficou com 13"},

      // Files that are no modules.
      {"a truncated module",
       {"run", office.File("mods/Truncado.so"), "--db", db},
       2,
       "o arquivo está incompleto ou danificado"},
      {"a library that is no module",
       {"run", office.File("mods/Outro.so"), "--db", db},
       2,
       "não é um módulo de relatório (não exporta ClassDll e Imprimir)"},
      {"a FIFO as module",
       {"run", office.File("mods/Fila.so"), "--db", db},
       2,
       "não é um arquivo comum"},
      {"a module that is a link loop",
       {"run", office.File("mods/Laco.so"), "--db", db},
       2,
       "laço de links simbólicos"},
      {"a modules folder of things that are no modules",
       {"--modules", office.File("mods"), "list"},
       1,
       "Ignorado: "},

      // Layouts that are no files, too large, wrong, that write or that never end.
      {"a layout that is a FIFO", hostile_layout("lay_fila"), 2, "é um pipe (FIFO)"},
      {"a layout linked to /dev/zero", hostile_layout("lay_zero"), 2, "é um dispositivo"},
      {"a layout of 5 MB", hostile_layout("lay_grande"), 2, "mais que o limite de 4 MB"},
      {"a date parameter whose default is no date", hostile_layout("lay_data"), 1,
       "o padrão 'amanhã' do parâmetro 'pAnoBase' não é uma data"},
      {"a layout that copies the database elsewhere", hostile_layout("lay_vacuum"), 1,
       "Erro: O layout RptPayerRoster.json pediu ao banco de dados uma instrução que não é uma "
       "consulta (VACUUM)"},
      {"a layout that attaches another database", hostile_layout("lay_attach"), 1, "(ATTACH)"},
      {"a statement that never ends", hostile_layout("lay_sem_fim", {"--tempo-limite", "1"}), 1,
       "Erro: A execução passou do tempo limite de 1s (--tempo-limite) e foi interrompida."},
  };
  for (const Probe& probe : probes) {
    const Outcome outcome = Nrw(probe.args);
    std::vector<std::string> broken = office.BrokenPromises();
    if (outcome.status != probe.status) {
      broken.push_back("exit status " + std::to_string(outcome.status));
    }
    const std::string first_line = outcome.err.substr(0, outcome.err.find('\n'));
    if (outcome.err.find(probe.message) == std::string::npos) {
      broken.push_back("stderr: " + outcome.err.substr(0, 300));
    }
    if (probe.status == 2 && outcome.err.find('\n') + 1 != outcome.err.size()) {
      broken.push_back("not one line: " + outcome.err.substr(0, 300));
    }
    if (first_line.size() > 400) broken.push_back("a line of " + std::to_string(first_line.size()));
    std::string all;
    for (const std::string& fault : broken) all += "\n  " + fault;
    EXPECT_TRUE(broken.empty()) << probe.name << ":" << all;
  }
}

}  // namespace
}  // namespace reliability
