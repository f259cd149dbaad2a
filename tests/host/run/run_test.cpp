#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "nrw/format.h"
#include "nrw/guards.h"
#include "nrwhost/faults.h"
#include "nrwhost/manifest.h"
#include "nrwhost/session.h"
#include "nrwhost/settings.h"
#include "nrwhost/trace.h"
#include "support/fixture_db.h"
#include "support/paths.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kData = R"(
  CREATE TABLE EMPRESA_T (CODIGOEMPRESA INTEGER, NOME VARCHAR(40));
  INSERT INTO EMPRESA_T VALUES (1, 'Alfa/Beta'), (2, 'Gama:Delta'), (3, 'Épsilon');
)";

class Run : public ::testing::Test {
 protected:
  nrw::RunOptions Options() const {
    nrw::RunOptions options;
    options.module_path = support::TestModulePath("RptReportTest");
    options.layout_path = support::SourcePath("tests/host/report/layouts/RptReportTest.json");
    options.trace = const_cast<nrw::TraceCollector*>(&trace_);
    options.today = nrw::EncodeDate(2024, 3, 15);
    return options;
  }
  bool Traced(const std::string& line) const {
    return std::find(trace_.Lines().begin(), trace_.Lines().end(), line) != trace_.Lines().end();
  }

  std::unique_ptr<support::FixtureDb> database_ = [] {
    auto db = support::FixtureDb::Empty();
    db->Exec(kData);
    return db;
  }();
  nrw::TraceCollector trace_;
  support::TempDir dir_;
};

TEST_F(Run, WholeReportTracesTheModuleAndWritesOneFile) {
  nrw::RunOptions options = Options();
  options.params = {{"pMinimo", "2"}};
  options.output = dir_.File("saida.txt");
  const nrw::RunResult result = nrw::RunReport(options);
  ASSERT_TRUE(result.ok) << result.error;

  const std::vector<std::string> expected = {
      R"({"ev":"sql","sql":"select count(*) from EMPRESA_T where CODIGOEMPRESA >= :pMinimo","values":[1]})",
      R"({"ev":"set","name":"pTotal","value":"3"})",
      R"({"ev":"set","name":"R1","value":"Gama:Delta"})",
      R"({"ev":"print","section":1,"page":1,"auto":true})",
      R"({"ev":"print","section":10,"page":1})",
      R"({"ev":"progress","pos":1,"total":2})",
      R"({"ev":"set","name":"R1","value":"Épsilon"})",
      R"({"ev":"print","section":10,"page":1})",
      R"({"ev":"progress","pos":2,"total":2})",
      R"({"ev":"msgconfig","captions":["Mensagem"]})",
      R"({"ev":"message","kind":1,"text":"Linhas: 2"})",
  };
  EXPECT_EQ(trace_.Lines(), expected);
  EXPECT_EQ(support::ReadFile(options.output),
            "Relatório de teste            Pág. 1\n"
            "------------------------------------\n"
            "   2  Gama:Delta\n"
            "\n"
            "   3  Épsilon\n"
            "\fRelatório de teste          Mensagem\n"
            "------------------------------------\n"
            "\n"
            "Linhas: 2\n")
      << "the message page is the document's last";
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"saida.txt"}) << "no temporary file is left";
  EXPECT_EQ(result.pages, 1);
  ASSERT_EQ(result.messages.entries.size(), 1u);
  EXPECT_EQ(result.messages.captions, std::vector<std::string>{"Mensagem"});
}

TEST_F(Run, SeparatorsWriteOnePartPerValueExceptTheRefusedOnes) {
  nrw::RunOptions options = Options();
  options.split = {"pEmpresas"};
  options.output = dir_.File("empresa_{PEMPRESAS}.txt");
  const nrw::RunResult result = nrw::RunReport(options);
  ASSERT_TRUE(result.ok) << result.error;

  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"empresa_1.txt", "empresa_3.txt"}));
  EXPECT_NE(support::ReadFile(dir_.File("empresa_1.txt")).find("   1  Alfa/Beta\n"),
            std::string::npos);
  EXPECT_EQ(support::ReadFile(dir_.File("empresa_3.txt")).find("Alfa"), std::string::npos)
      << "each part reads only its own rows";
  ASSERT_EQ(result.parts.size(), 3u);
  EXPECT_TRUE(result.parts[0].produced);
  EXPECT_FALSE(result.parts[1].produced);
  EXPECT_TRUE(result.parts[1].output.empty());
  EXPECT_EQ(result.parts[2].pages, 1);
  EXPECT_TRUE(Traced(R"({"ev":"part","values":{"pEmpresas":"1"}})"));
  EXPECT_FALSE(Traced(R"({"ev":"part","values":{"pEmpresas":"2"}})"));
  EXPECT_TRUE(Traced(R"({"ev":"set","name":"pSeparadores","value":"0"})"))
      << "the separator statement is asked once, with index 0";
}

TEST_F(Run, SeparatorEventMayRewriteTheListingStatement) {
  nrw::RunOptions options = Options();
  options.params = {{"pModo", "invertido"}};
  options.split = {"pEmpresas"};
  const nrw::RunResult result = nrw::RunReport(options);
  ASSERT_TRUE(result.ok) << result.error;
  ASSERT_EQ(result.parts.size(), 3u);
  EXPECT_EQ(result.parts[0].values.at(0).second, "3");
  EXPECT_EQ(result.parts[2].values.at(0).second, "1");
}

TEST_F(Run, AsAUserOnlyTheUsersCompaniesAreReadOrSplit) {
  database_->Exec(
      "CREATE TABLE USUARIOEMPRESA (CODIGOUSUARIO INTEGER, CODIGOEMPRESA INTEGER);"
      "INSERT INTO USUARIOEMPRESA VALUES (4, 3), (4, 1);");
  nrw::DefinirUsuarioAtual(4);
  const nrw::ScopeExit no_user([] { nrw::DefinirUsuarioAtual(std::nullopt); });
  struct Case {
    const char* name;
    std::vector<std::string> split;
    std::vector<std::string> written;
  };
  const Case cases[] = {
      {"the whole report", {}, {"Alfa/Beta", "Épsilon"}},
      {"one part per company of the user", {"pEmpresas"}, {"Alfa/Beta", "Épsilon"}},
      {"one part per name, within the user's companies", {"pNome"}, {"Alfa/Beta"}},
  };
  for (const Case& c : cases) {
    nrw::RunOptions options = Options();
    options.split = c.split;
    std::ostringstream out;
    options.stream = &out;
    const nrw::RunResult result = nrw::RunReport(options);
    ASSERT_TRUE(result.ok) << c.name << ": " << result.error;
    std::vector<std::string> written;
    for (const char* name : {"Alfa/Beta", "Gama:Delta", "Épsilon"}) {
      if (out.str().find(name) != std::string::npos) written.push_back(name);
    }
    EXPECT_EQ(written, c.written) << c.name;
    for (const nrw::PartResult& part : result.parts) {
      EXPECT_NE(part.values.at(0).second, "2") << c.name << ": company 2 is not the user's";
    }
  }
}

TEST_F(Run, UnsafeCharactersOfPartNamesAreReplaced) {
  nrw::RunOptions options = Options();
  options.split = {"pNome"};
  options.output = dir_.File("{pNome}.txt");
  const nrw::RunResult result = nrw::RunReport(options);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"Alfa_Beta.txt", "Gama_Delta.txt"}));
  EXPECT_NE(support::ReadFile(dir_.File("Gama_Delta.txt")).find("Gama:Delta"), std::string::npos);
}

TEST_F(Run, FailuresLeaveNoOutputBehind) {
  struct Case {
    const char* name;
    std::vector<nrw::ParamSetting> params;
    std::vector<std::string> split;
    std::string output;
    std::string message;
  };
  const Case cases[] = {
      {"module fails", {{"pModo", "falhar"}}, {}, "saida.txt", "Falha pedida pelo teste."},
      {"a later part fails",
       {{"pModo", "falhar3"}},
       {"pEmpresas"},
       "p{pEmpresas}.txt",
       "Falha pedida pelo teste."},
      {"parts would share a name",
       {},
       {"pEmpresas"},
       "saida.txt",
       "As partes (pEmpresas=1) e (pEmpresas=2) gravariam o mesmo arquivo "},
      {"unknown parameter",
       {{"pNada", "1"}},
       {},
       "saida.txt",
       "Parâmetro 'pNada' não existe no layout de RptReportTest."},
      {"no such separator",
       {},
       {"pModo"},
       "saida.txt",
       "O layout de RptReportTest não oferece separador para 'pModo'."},
      {"unknown placeholder", {}, {"pEmpresas"}, "saida_{pOutro}.txt", "usa {pOutro}"},
  };
  for (const Case& c : cases) {
    trace_.Clear();
    nrw::RunOptions options = Options();
    options.params = c.params;
    options.split = c.split;
    options.output = dir_.File(c.output);
    const nrw::RunResult result = nrw::RunReport(options);
    EXPECT_FALSE(result.ok) << c.name;
    EXPECT_NE(result.error.find(c.message), std::string::npos) << c.name << ": " << result.error;
    EXPECT_TRUE(dir_.Names().empty()) << c.name;
    EXPECT_TRUE(result.outputs.empty()) << c.name;
    ASSERT_FALSE(trace_.Lines().empty()) << c.name;
    EXPECT_EQ(trace_.Lines().back().rfind(R"({"ev":"error","message":)", 0), 0u) << c.name;
  }
}

TEST_F(Run, HandedDatasetsAreLoadedForEachPartAndMustComeBackEmpty) {
  nrw::RunOptions options = Options();
  options.layout_path =
      support::SourcePath("tests/host/report/layouts/RptReportTestEntregues.json");
  options.split = {"pEmpresas"};
  options.output = dir_.File("p{pEmpresas}.txt");
  nrw::RunResult result = nrw::RunReport(options);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(std::count(trace_.Lines().begin(), trace_.Lines().end(),
                       R"({"ev":"set","name":"pRegistros","value":"1"})"),
            2)
      << "each produced part gets the rows of its own company";

  // A module that leaves the records in place fails the run, and nothing is written.
  trace_.Clear();
  options.split.clear();
  options.params = {{"pModo", "contar"}};
  options.output = dir_.File("inteiro.txt");
  result = nrw::RunReport(options);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(
      result.error,
      "O relatório não esvaziou os conjuntos de dados recebidos do host: pDados (EMPRESA_T, 3 "
      "registros).");
  EXPECT_TRUE(Traced(R"({"ev":"set","name":"pRegistros","value":"3"})"));
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"p1.txt", "p3.txt"}));
}

TEST_F(Run, EachPartHoldsExactlyTheRecordsOfItsOwnValue) {
  // Values stored in the database that the selection notation would read as something else.
  database_->Exec(R"(
    INSERT INTO EMPRESA_T VALUES (1, ' '), (1, '000..999'), (2, 'A,B'), (2, '..'), (1, ''),
                                 (2, '"x"');
  )");
  nrw::RunOptions options = Options();
  options.split = {"pNome"};
  options.output = dir_.File("parte-{pNome}.txt");
  const nrw::RunResult result = nrw::RunReport(options);
  ASSERT_TRUE(result.ok) << result.error;
  // Each part's file shows one row: the one whose name is the part's value.
  const std::vector<std::string> values = {"",         " ",   "\"x\"",     "..",
                                           "000..999", "A,B", "Alfa/Beta", "Gama:Delta"};
  ASSERT_EQ(result.parts.size(), values.size());
  for (const nrw::PartResult& part : result.parts) {
    const std::string value = part.values.at(0).second;
    EXPECT_NE(std::find(values.begin(), values.end(), value), values.end()) << "[" << value << "]";
    ASSERT_TRUE(part.produced) << "[" << value << "]";
    const std::string text = support::ReadFile(part.output);
    size_t rows = 0;
    for (size_t at = text.find("\n   "); at != std::string::npos; at = text.find("\n   ", at + 1))
      ++rows;
    EXPECT_EQ(rows, 1u) << "[" << value << "]\n" << text;
    if (!nrw::Trim(value).empty()) {
      EXPECT_NE(text.find("  " + value + "\n"), std::string::npos) << "[" << value << "]\n" << text;
    }
  }
}

TEST_F(Run, PartsReplaceTheirFilesAllOrNone) {
  support::WriteFile(dir_.File("p1.txt"), "antigo 1");
  support::WriteFile(dir_.File("p3.txt"), "antigo 3");
  nrw::RunOptions options = Options();
  options.split = {"pEmpresas"};
  options.output = dir_.File("p{pEmpresas}.txt");
  int writes = 0;
  {
    const nrw::FaultScope count;
    ASSERT_TRUE(nrw::RunReport(options).ok);
    writes = count.Writes();
  }
  ASSERT_GT(writes, 0);
  support::WriteFile(dir_.File("p1.txt"), "antigo 1");
  support::WriteFile(dir_.File("p3.txt"), "antigo 3");
  const auto untouched = [this](const std::string& name) {
    EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"p1.txt", "p3.txt"})) << name;
    EXPECT_EQ(support::ReadFile(dir_.File("p1.txt")), "antigo 1") << name;
    EXPECT_EQ(support::ReadFile(dir_.File("p3.txt")), "antigo 3") << name;
  };
  for (int k = 1; k <= writes; ++k) {
    const nrw::FaultScope fail({0, k});
    const nrw::RunResult result = nrw::RunReport(options);
    EXPECT_FALSE(result.ok) << "write " << k;
    EXPECT_FALSE(result.usage_error) << "write " << k;
    // A part's temporary file, or the commit's record beside the parts.
    EXPECT_EQ(result.error.rfind("Não foi possível gravar " + dir_.File(""), 0), 0u)
        << result.error;
    untouched("write " + std::to_string(k));
  }
  // A part whose name is taken by a folder is refused before any page is printed.
  std::filesystem::create_directory(dir_.File("p3.txt.d"));
  std::filesystem::rename(dir_.File("p3.txt"), dir_.File("p3.bak"));
  std::filesystem::rename(dir_.File("p3.txt.d"), dir_.File("p3.txt"));
  const nrw::RunResult refused = nrw::RunReport(options);
  EXPECT_TRUE(refused.usage_error);
  EXPECT_NE(refused.error.find("p3.txt: é uma pasta"), std::string::npos) << refused.error;
  EXPECT_EQ(support::ReadFile(dir_.File("p1.txt")), "antigo 1");
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"p1.txt", "p3.bak", "p3.txt"}));
}

TEST_F(Run, WhatTheUserGotWrongIsAUsageErrorFoundBeforeAnythingIsWritten) {
  support::WriteFile(dir_.File("saida.txt"), "antigo");
  struct Case {
    const char* name;
    std::vector<nrw::ParamSetting> params;
    std::vector<std::string> split;
    std::string output;
    std::string message;
  };
  const Case cases[] = {
      {"not an integer",
       {{"pMinimo", "um"}},
       {},
       "saida.txt",
       "Parâmetro pMinimo: 'um' não é um número inteiro."},
      {"beyond 32 bits",
       {{"pMinimo", "4294967297"}},
       {},
       "saida.txt",
       "Parâmetro pMinimo: 4294967297 está fora do intervalo de -2147483648 a 2147483647."},
      {"a selection that does not parse",
       {{"pEmpresas", "1..x"}},
       {},
       "saida.txt",
       "Parâmetro pEmpresas: Seleção inválida: 'x' não é um código."},
      {"a pattern that names no file",
       {},
       {"pEmpresas"},
       "{pNome}",
       "que não é um nome de arquivo"},
      {"a pattern without a separator", {}, {}, "s{pNome}.txt", "use-o com --split"},
      {"an extension of no format", {}, {}, "saida.docx", "a extensão '.docx' não é de um formato"},
      {"an output that is a folder", {}, {}, ".", "não é um nome de arquivo"},
  };
  for (const Case& c : cases) {
    nrw::RunOptions options = Options();
    options.params = c.params;
    options.split = c.split;
    options.output = dir_.File(c.output);
    const nrw::RunResult result = nrw::RunReport(options);
    EXPECT_TRUE(result.usage_error) << c.name << ": " << result.error;
    EXPECT_NE(result.error.find(c.message), std::string::npos) << c.name << ": " << result.error;
    EXPECT_EQ(dir_.Names(), std::vector<std::string>{"saida.txt"}) << c.name;
    EXPECT_EQ(support::ReadFile(dir_.File("saida.txt")), "antigo") << c.name;
  }
}

// A message belongs to the part that sent it: listed on the part's own message page, about the
// part, and kept with the part in the result.
TEST_F(Run, EachPartsMessagePageHoldsItsOwnMessages) {
  nrw::RunOptions options = Options();
  options.split = {"pEmpresas"};
  options.output = dir_.File("parte-{pEmpresas}.txt");
  const nrw::RunResult result = nrw::RunReport(options);
  ASSERT_TRUE(result.ok) << result.error;
  int produced = 0;
  for (const nrw::PartResult& part : result.parts) {
    const std::string value = part.values.at(0).second;
    if (!part.produced) {
      EXPECT_TRUE(part.messages.empty()) << value;
      continue;
    }
    ++produced;
    ASSERT_EQ(part.messages.size(), 1u) << value;
    EXPECT_EQ(part.messages[0].part, "pEmpresas=" + value);
    EXPECT_EQ(nrw::MessageLine(part.messages[0]), "Empresas " + value + ": Linhas: 1");
    const std::string text = support::ReadFile(part.output);
    const std::string last_page = text.substr(text.rfind('\f') + 1);
    EXPECT_EQ(last_page,
              "Relatório de teste          Mensagem\n"
              "------------------------------------\n"
              "\n"
              "Empresas " +
                  value + ": Linhas: 1\n")
        << value;
  }
  EXPECT_EQ(produced, 2);
  EXPECT_EQ(result.messages.entries.size(), 2u) << "the run keeps them all";
}

TEST_F(Run, PartsGoToTheStreamWithoutAnOutputFile) {
  std::ostringstream out;
  nrw::RunOptions options = Options();
  options.split = {"pEmpresas"};
  options.stream = &out;
  ASSERT_TRUE(nrw::RunReport(options).ok);
  const std::string text = out.str();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 3)
      << "two parts, each with its message page";
  EXPECT_TRUE(dir_.Names().empty());
}

// Company 1 prints nothing when the minimum code is 2, the module refuses company 2, and company 3
// prints its row: each part's fate is in the result and in the manifest, and only company 3 has a
// file.
TEST_F(Run, PartsWithoutPagesWriteNoFileAndTheManifestRecordsEveryPart) {
  for (const std::string manifest : {"m.jsonl", "m.csv"}) {
    support::TempDir dir;
    nrw::RunOptions options = Options();
    options.params = {{"pMinimo", "2"}};
    options.split = {"pEmpresas"};
    options.output = dir.File("e{pEmpresas}.txt");
    options.manifest.path = dir.File(manifest);
    options.manifest.program = "nrw teste";
    options.manifest.database = "banco.db";
    const nrw::RunResult result = nrw::RunReport(options);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"e3.txt", manifest})) << manifest;
    std::vector<nrw::PartStatus> statuses;
    for (const nrw::PartResult& part : result.parts) statuses.push_back(part.status);
    EXPECT_EQ(statuses,
              (std::vector<nrw::PartStatus>{nrw::PartStatus::Empty, nrw::PartStatus::Refused,
                                            nrw::PartStatus::Written}));
    EXPECT_EQ(result.manifest, options.manifest.path);

    std::vector<nlohmann::json> records;
    std::istringstream lines(support::ReadFile(options.manifest.path));
    std::string line;
    std::getline(lines, line);
    if (manifest == "m.csv") {
      ASSERT_EQ(line.rfind("\xEF\xBB\xBF#{", 0), 0u) << "BOM, then the header record";
      line = line.substr(4);
      std::string columns;
      std::getline(lines, columns);
      EXPECT_EQ(columns.rfind("part;status;file;format;pages;bytes;sha256;protected;", 0), 0u);
    }
    const nlohmann::json header = nlohmann::json::parse(line);
    EXPECT_EQ(header["module"], "RptReportTest") << manifest;
    EXPECT_EQ(header["module_version"], "2.3.4.5") << manifest;
    EXPECT_EQ(header["params"], nlohmann::json({{"pMinimo", "2"}})) << manifest;
    EXPECT_EQ(header["parts"], 3) << manifest;
    EXPECT_EQ(header["run_parts"], 3) << manifest;
    if (manifest == "m.csv") continue;
    while (std::getline(lines, line)) records.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0]["status"], "empty");
    EXPECT_EQ(records[0]["reason"], "nenhuma página para imprimir");
    EXPECT_TRUE(records[0]["file"].is_null());
    EXPECT_EQ(records[1]["status"], "refused");
    EXPECT_EQ(records[1]["reason"], "o módulo não gerou esta parte");
    EXPECT_EQ(records[2]["status"], "written");
    EXPECT_EQ(records[2]["file"], dir.File("e3.txt"));
    EXPECT_EQ(records[2]["bytes"], support::ReadFile(dir.File("e3.txt")).size());
    EXPECT_EQ(records[2]["values"], nlohmann::json({{"pEmpresas", "3"}}));
    EXPECT_EQ(records[2]["sha256"].get<std::string>().size(), 64u);
    EXPECT_EQ(nrw::VerifyManifests({options.manifest.path}).findings, std::vector<std::string>{});
  }
}

TEST_F(Run, AWholeRunWithoutPagesWritesNoFile) {
  nrw::RunOptions options = Options();
  options.params = {{"pMinimo", "9"}};
  options.output = dir_.File("saida.txt");
  const nrw::RunResult result = nrw::RunReport(options);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.pages, 0);
  EXPECT_TRUE(result.outputs.empty());
  EXPECT_TRUE(dir_.Names().empty());
}

// Three shards of one run write together what the run writes alone, each part once; which shard
// a part falls to is fixed (shards run by different builds on different machines must agree).
TEST_F(Run, ShardsTogetherWriteTheWholeRunOnce) {
  database_->Exec(
      "INSERT INTO EMPRESA_T VALUES (1, 'Zeta'), (2, 'Eta'), (1, 'Teta'), (2, 'Iota');");
  nrw::RunOptions whole = Options();
  whole.split = {"pNome"};
  whole.output = dir_.File("todas/{pNome}.txt");
  ASSERT_TRUE(nrw::RunReport(whole).ok);
  std::map<size_t, int> recorded;
  std::map<std::string, int> shard_of;
  for (int index = 1; index <= 3; ++index) {
    nrw::RunOptions shard = whole;
    shard.output = dir_.File("fatias/{pNome}.txt");
    shard.shard = nrw::ShardSpec{index, 3};
    const nrw::RunResult result = nrw::RunReport(shard);
    ASSERT_TRUE(result.ok) << result.error;
    for (const nrw::PartResult& part : result.parts) {
      if (part.status == nrw::PartStatus::Elsewhere) continue;
      ++recorded[part.number];
      shard_of[part.values.at(0).second] = index;
    }
  }
  const auto names_in = [](const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
      found.push_back(entry.path().filename().string() + "=" +
                      support::ReadFile(entry.path().string()));
    }
    std::sort(found.begin(), found.end());
    return found;
  };
  EXPECT_EQ(names_in(dir_.File("fatias")), names_in(dir_.File("todas")));
  ASSERT_EQ(recorded.size(), 6u);
  for (const auto& [number, times] : recorded) EXPECT_EQ(times, 1) << "part " << number;
  // FNV-1a (64 bits) of {"pNome":"<value>"}, modulo 3, plus 1.
  const std::map<std::string, int> fixed = {{"Alfa/Beta", 3}, {"Eta", 2},  {"Gama:Delta", 1},
                                            {"Iota", 2},      {"Teta", 2}, {"Zeta", 1}};
  EXPECT_EQ(shard_of, fixed);
}

// Folders an output name needs are made, and go again when the run fails.
TEST_F(Run, MissingFoldersAreMadeUnderTheNamedOneAndGoWhenTheRunFails) {
  nrw::RunOptions options = Options();
  options.split = {"pEmpresas"};
  options.output = dir_.File("novas/{pEmpresas}/e.txt");
  options.params = {{"pModo", "falhar3"}};
  const nrw::RunResult failed = nrw::RunReport(options);
  EXPECT_FALSE(failed.ok);
  EXPECT_TRUE(dir_.Names().empty()) << "the folders made for the failed run are gone";
  options.params = {};
  ASSERT_TRUE(nrw::RunReport(options).ok);
  EXPECT_TRUE(fs::exists(dir_.File("novas/1/e.txt")));
  EXPECT_TRUE(fs::exists(dir_.File("novas/3/e.txt")));
}

// Output names may take any column of the part's listing row.
TEST_F(Run, ColumnsOfThePartsListingRowNameItsFile) {
  nlohmann::json layout = nlohmann::json::parse(support::ReadFile(Options().layout_path));
  layout["separators"][1]["fields"] = "NOME, CODIGOEMPRESA";
  const std::string layout_path = dir_.File("layout.json");
  support::WriteFile(layout_path, layout.dump());
  nrw::RunOptions options = Options();
  options.layout_path = layout_path;
  options.split = {"pNome"};
  options.output = dir_.File("{CODIGOEMPRESA}-{pNome}.txt");
  const nrw::RunResult result = nrw::RunReport(options);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(dir_.Names(),
            (std::vector<std::string>{"1-Alfa_Beta.txt", "2-Gama_Delta.txt", "layout.json"}));
  ASSERT_EQ(result.parts.at(0).row.size(), 1u);
  EXPECT_EQ(result.parts[0].row[0].first, "CODIGOEMPRESA");
  EXPECT_EQ(result.parts[0].row[0].second.AsInteger(), 1);
}

TEST(ModuleLoader, AnswersTheVersionAndExplainsWhatIsNotAModule) {
  EXPECT_EQ(nrw::ModuleVersion(support::TestModulePath("RptReportTest")), "[versao: 2.3.4.5]");
  struct Case {
    const char* name;
    std::string path;
    std::string message;
  };
  const Case cases[] = {
      {"missing file", "/nao/existe/RptX.so",
       "Módulo de relatório não encontrado: /nao/existe/RptX.so."},
      {"not a library", support::SourcePath("tests/host/report/layouts/RptReportTest.json"),
       "Não foi possível carregar o módulo "},
      {"library without the exports", std::string(NRW_BUILD_DIR) + "/lib/libnrwhost.so",
       " não é um módulo de relatório (não exporta ClassDll e Imprimir)."},
  };
  for (const Case& c : cases) {
    try {
      nrw::SessionOptions options;
      options.module_path = c.path;
      const nrw::RunSession session(options);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const nrw::Exception& error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos)
          << c.name << ": " << error.what();
    }
  }
}

}  // namespace
