// The nrw command line driven in-process: the exit status of each subcommand's main paths (0 done,
// 1 the work failed, 2 a usage error), where modules and layouts are found, and parameter parsing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "commands.h"
#include "nrw_driver.h"
#include "nrwhost/database.h"
#include "nrwhost/faults.h"
#include "paths.h"
#include "support/temp_dir.h"

namespace {

using cli_test::Nrw;
using cli_test::Outcome;

class Cli : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new support::TempDir();
    ASSERT_EQ(Nrw({"demo-db", Db(), "--ano", "2023"}).status, 0);
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static std::string Db() { return dir_->File("demo.db"); }
  static support::TempDir* dir_;
};

support::TempDir* Cli::dir_ = nullptr;

TEST_F(Cli, ExitStatusOfEachSubcommand) {
  const std::string out = dir_->File("informe.txt");
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string in_err;
  };
  const std::vector<Case> cases = {
      {"list", {"list"}, 0, ""},
      {"list of a folder that is not there",
       {"--modules", "/nao/existe", "list"},
       2,
       "Pasta de módulos inacessível"},
      {"no subcommand", {}, 2, ""},
      {"demo-db over an existing file", {"demo-db", Db()}, 2, "use --force"},
      {"demo-db in a folder that is not there",
       {"demo-db", "/nao/existe/x.db"},
       2,
       "Erro: Saída /nao/existe/x.db: a pasta /nao/existe não existe."},
      {"run",
       {"run", "RptIncomeStatement", "--db", Db(), "-p", "pAnoBase1=01/01/2023", "--out", out},
       0,
       "Gerado: " + out},
      {"run without --db", {"run", "RptIncomeStatement"}, 2, "--db"},
      {"run on a database that is not there",
       {"run", "RptIncomeStatement", "--db", "/nao/existe.db"},
       2,
       "Erro: Banco de dados /nao/existe.db: não existe."},
      {"run of a module that is not there",
       {"run", "RptNaoExiste", "--db", Db()},
       2,
       "Módulo não encontrado"},
      {"run with a parameter without a value",
       {"run", "RptIncomeStatement", "--db", Db(), "-p", "x"},
       2,
       "use NOME=VALOR"},
      {"run with a parameter the layout does not have",
       {"run", "RptIncomeStatement", "--db", Db(), "-p", "pFoo=1"},
       2,
       "Erro: Parâmetro 'pFoo' não existe"},
      {"panel", {"panel", "RptWithholdingReview", "--db", Db()}, 0, ""},
      {"panel with a parameter without a value",
       {"panel", "RptWithholdingReview", "-p", "=1"},
       2,
       "use NOME=VALOR"},
      {"panel of a module that is not there",
       {"panel", "RptNaoExiste"},
       2,
       "Módulo não encontrado"},
      {"panel as a user without a database",
       {"panel", "RptIncomeStatement", "--usuario", "2"},
       2,
       "Erro: --usuario pede --db"},
      {"panel as a user naming another company",
       {"panel", "RptIncomeStatement", "--db", Db(), "--usuario", "2", "-p", "pCodigoEmpresa=1"},
       2,
       "Erro: Parâmetro pCodigoEmpresa: a empresa 1 não está entre as empresas do usuário 2."},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Nrw(c.args);
    EXPECT_EQ(outcome.status, c.status) << c.name << "\n" << outcome.err;
    EXPECT_NE(outcome.err.find(c.in_err), std::string::npos) << c.name << "\n" << outcome.err;
  }
}

TEST_F(Cli, ArgumentsAreCheckedBeforeAnyFileIsTouched) {
  const std::string keep = dir_->File("guardar.txt");
  support::WriteFile(keep, "do usuário");
  const std::string db_before = support::ReadFile(Db());
  std::filesystem::create_symlink(dir_->File("laco2"), dir_->File("laco1"));
  std::filesystem::create_symlink(dir_->File("laco1"), dir_->File("laco2"));
  const std::string long_path = "/" + std::string(5000, 'a') + ".db";
  const auto run = [](std::vector<std::string> more) {
    std::vector<std::string> args = {"run", "RptIncomeStatement", "--db", Db()};
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string in_err;
  };
  const std::vector<Case> cases = {
      {"a database path too long",
       {"run", "RptIncomeStatement", "--db", long_path},
       "nome longo demais"},
      {"a database behind a loop of links",
       {"run", "RptIncomeStatement", "--db", dir_->File("laco1/x.db")},
       "laço de links simbólicos"},
      {"a database that is a folder", {"run", "RptIncomeStatement", "--db", "/tmp"}, "é uma pasta"},
      {"a database that is not one",
       {"run", "RptIncomeStatement", "--db", keep},
       "não é um banco de dados válido"},
      {"the report over the database", run({"--out", Db()}), "é o mesmo arquivo que"},
      {"the trace over the database", run({"--trace", Db()}), "é o mesmo arquivo que"},
      {"the trace over the report", run({"--out", keep, "--trace", keep}), "o mesmo arquivo"},
      {"a device as output", run({"--out", "/dev/null"}), "é um dispositivo"},
      {"a trace with a wrong separator", run({"--trace", keep, "--split", "pFoo"}), "pFoo"},
      {"a parameter the layout lacks", run({"-p", "pFoo=1"}), "Parâmetro 'pFoo' não existe"},
      {"a placeholder the layout lacks",
       run({"-p", "pAnoBase1=01/01/2023", "--split", "pBeneficiarios", "--out",
            dir_->File("{pFoo}")}),
       "usa {pFoo}"},
      {"a pattern that names no file",
       run({"-p", "pAnoBase1=01/01/2023", "--split", "pBeneficiarios", "--out",
            dir_->File("{pCodigoEmpresa}")}),
       "não é um nome de arquivo"},
      {"a pattern without --split", run({"--out", dir_->File("{pBeneficiarios}.txt")}),
       "use-o com --split"},
      {"a file that is not a module",
       {"run", keep, "--db", Db()},
       "o arquivo não é um módulo de relatório"},
      {"a demo database over a device", {"demo-db", "/dev/null", "--force"}, "é um dispositivo"},
      {"a demo database of too many beneficiaries",
       {"demo-db", dir_->File("x.db"), "--extras", "-1"},
       "Erro: --extras: '-1' não é um número inteiro de 0 a 1000000."},
      {"an option the command lacks", run({"--saida", "x"}), "Erro: argumento inesperado: "},
      // Runs divided into parts: what only a split can do, and how its share is written.
      {"a shard out of its range", run({"--split", "pBeneficiarios", "--shard", "4/3"}),
       "--shard 4/3: I vai de 1 a N."},
      {"a shard that is no fraction", run({"--split", "pBeneficiarios", "--shard", "2"}),
       "--shard 2: use I/N"},
      {"a shard of a whole run", run({"--shard", "1/3"}), "--shard divide as partes"},
      {"workers of a whole run", run({"--jobs", "2", "--out", keep}), "--jobs divide as partes"},
      {"workers with a trace",
       run({"--jobs", "2", "--split", "pBeneficiarios", "--out", dir_->File("{pBeneficiarios}.txt"),
            "--trace", dir_->File("t.jsonl")}),
       "--trace registra uma execução num só processo"},
      {"a manifest of neither kind",
       run({"--split", "pBeneficiarios", "--out", dir_->File("{pBeneficiarios}.txt"), "--manifest",
            keep}),
       "use um nome terminado em .jsonl ou .csv"},
      {"a manifest of a whole run", run({"--out", keep, "--manifest", dir_->File("m.jsonl")}),
       "--manifest registra as partes"},
      {"a manifest of parts on stdout",
       run({"--split", "pBeneficiarios", "--manifest", dir_->File("m.jsonl")}),
       "--manifest registra arquivos"},
      {"a progress descriptor not open", run({"--progress-fd", "1000"}),
       "--progress-fd 1000: o descritor não está aberto para escrita."},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Nrw(c.args);
    EXPECT_EQ(outcome.status, 2) << c.name << "\n" << outcome.err;
    EXPECT_NE(outcome.err.find(c.in_err), std::string::npos) << c.name << "\n" << outcome.err;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << c.name;
    EXPECT_LT(outcome.err.size(), 400u) << c.name;
    EXPECT_EQ(support::ReadFile(keep), "do usuário") << c.name;
    EXPECT_EQ(support::ReadFile(Db()), db_before) << c.name;
  }
  EXPECT_EQ(support::ReadFile("/dev/null"), "");
}

TEST_F(Cli, FailuresSayWhatFailedInOneLineAndTheDetailOnlyWhenAsked) {
  const std::string empty_db = dir_->File("vazio.db");
  nrw::OpenSQLite(empty_db);
  const std::vector<std::string> args = {"run", "RptWithholdingReview", "--db", empty_db};
  const Outcome plain = Nrw(args);
  EXPECT_EQ(plain.status, 1);
  EXPECT_EQ(plain.err, "Erro no banco de dados: a tabela RENDIMENTOANUAL não existe.\n");
  std::vector<std::string> verbose = args;
  verbose.insert(verbose.begin(), "--verbose");
  const Outcome detailed = Nrw(verbose);
  EXPECT_EQ(detailed.status, 1);
  EXPECT_NE(detailed.err.find("no such table: RENDIMENTOANUAL\n"), std::string::npos)
      << detailed.err;
  EXPECT_NE(detailed.err.find("select"), std::string::npos) << "the statement";

  const Outcome nothing = Nrw({"run", "RptIncomeStatement", "--db", Db(), "-p",
                               "pAnoBase1=01/01/1990", "--out", dir_->File("vazio.txt")});
  EXPECT_EQ(nothing.status, 0) << nothing.err;
  EXPECT_NE(nothing.err.find("nenhum registro"), std::string::npos) << nothing.err;
}

TEST_F(Cli, ATraceThatCannotBeWrittenWholeIsAFailureAndTheOldOneStays) {
  const std::string trace = dir_->File("rastro.jsonl");
  const std::vector<std::string> args = {"run",   "RptWithholdingReview", "--db",    Db(),
                                         "--out", dir_->File("r.txt"),    "--trace", trace};
  int writes = 0;
  {
    const nrw::FaultScope count;
    ASSERT_EQ(Nrw(args).status, 0);
    writes = count.Writes();
  }
  support::WriteFile(trace, "rastro anterior");
  // The trace is flushed to the disk last of all.
  const nrw::FaultScope fail({0, writes});
  const Outcome outcome = Nrw(args);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("Erro: Não foi possível gravar " + trace), std::string::npos)
      << outcome.err;
  EXPECT_EQ(support::ReadFile(trace), "rastro anterior");
}

TEST_F(Cli, ListShowsEachModuleWithItsVersion) {
  const Outcome outcome = Nrw({"list"});
  EXPECT_NE(outcome.out.find("RptIncomeStatement\t[versao: "), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.out.find("RptWithholdingReview\t[versao: "), std::string::npos) << outcome.out;
}

TEST_F(Cli, RunWritesTheReportAndPanelDescribesIt) {
  const Outcome run =
      Nrw({"run", "RptWithholdingReview", "--db", Db(), "-p", "pAnoBase=01/01/2023"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("2023"), std::string::npos) << "the report goes to stdout";
  const Outcome panel = Nrw({"panel", "RptWithholdingReview", "-p", "pAnoBase=01/01/2022"});
  ASSERT_EQ(panel.status, 0) << panel.err;
  EXPECT_NE(panel.out.find("\"value\": \"01/01/2022\""), std::string::npos) << panel.out;
  EXPECT_NE(panel.out.find("\"report\": \"RptWithholdingReview\""), std::string::npos);
}

TEST_F(Cli, PanelAsAUserListsOnlyThatUsersCompanies) {
  const Outcome panel = Nrw({"panel", "RptIncomeStatement", "--db", Db(), "--usuario", "2"});
  ASSERT_EQ(panel.status, 0) << panel.err;
  EXPECT_NE(panel.out.find("\"sql\": \"select distinct t_t.CODIGOEMPRESA, t_t.NOMEEMPRESA from "
                           "EMPRESA t_t where (t_t.CODIGOEMPRESA = 3) order by 1\""),
            std::string::npos)
      << panel.out;
}

TEST_F(Cli, UsuarioRunsWithThatUsersCompaniesOnly) {
  const std::vector<std::string> run = {
      "run", "RptPayrollTotalsWide",      "--db", Db(),
      "-p",  "pCompetInicial=01/01/2023", "-p",   "pCompetFinal=31/12/2023"};
  auto com_usuario = run;
  com_usuario.insert(com_usuario.end(), {"--usuario", "2"});
  const Outcome restrito = Nrw(com_usuario);
  ASSERT_EQ(restrito.status, 0) << restrito.err;
  EXPECT_NE(restrito.out.find("Empresa: 3 "), std::string::npos) << restrito.out;
  EXPECT_EQ(restrito.out.find("Empresa: 1 "), std::string::npos) << "user 2 sees company 3 only";
  // The user lasts for its command only.
  EXPECT_NE(Nrw(run).out.find("Empresa: 1 "), std::string::npos);
  EXPECT_EQ(Nrw({"run", "RptPayrollTotalsWide", "--db", Db(), "--usuario", "x"}).status, 2);
}

TEST(CliModules, ModulesAreFoundByNameOrPathWithTheLayoutBesideThem) {
  const nrw::cli::Locations places{NRW_MODULE_DIR, "/layouts"};
  const nrw::cli::ModuleFiles by_name = nrw::cli::FindModule("RptIncomeStatement", places);
  EXPECT_EQ(by_name.name, "RptIncomeStatement");
  EXPECT_EQ(by_name.module_path, std::string(NRW_MODULE_DIR) + "/RptIncomeStatement.so");
  EXPECT_EQ(by_name.layout_path, "/layouts/RptIncomeStatement.json");
  const nrw::cli::ModuleFiles by_path = nrw::cli::FindModule(by_name.module_path, places);
  EXPECT_EQ(by_path.name, "RptIncomeStatement");
  EXPECT_EQ(by_path.layout_path, "/layouts/RptIncomeStatement.json");
  EXPECT_THROW(nrw::cli::FindModule("RptNaoExiste", places), std::exception);
  EXPECT_THROW(nrw::cli::FindModule("/nao/existe/RptX.so", places), std::exception);

  const nrw::cli::Locations defaults = nrw::cli::ResolveLocations("", "");
  EXPECT_EQ(defaults.modules_dir, std::string(NRW_BUILD_DIR) + "/modules");
  EXPECT_EQ(defaults.layouts_dir, std::string(NRW_BUILD_DIR) + "/layouts");
  EXPECT_EQ(nrw::cli::ResolveLocations("/m", "/l").modules_dir, "/m");
}

TEST(CliParams, NameEqualsValuePairs) {
  std::vector<nrw::ParamSetting> settings;
  testing::internal::CaptureStderr();
  ASSERT_TRUE(nrw::cli::ParseParams({"pA=1", "pB=x=y", "pC="}, settings));
  EXPECT_FALSE(nrw::cli::ParseParams({"semigual"}, settings));
  EXPECT_FALSE(nrw::cli::ParseParams({"=sem nome"}, settings));
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(settings.size(), 3u);
  EXPECT_EQ(settings[1].name, "pB");
  EXPECT_EQ(settings[1].value, "x=y");
  EXPECT_EQ(settings[2].value, "");
}

}  // namespace
