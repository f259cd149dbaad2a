// Shared pieces of the withholding review tests: a private database with the application's schema
// made the default connection, inserts of declaration rows, and a run of the built module whose
// trace is replayed into the sections printed with the variables each one showed.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "nrw/format.h"
#include "nrw/sql.h"
#include "report/report_run.h"
#include "report/trace.h"
#include "schema/schema.h"

namespace review_test {

inline std::string ModulePath() { return std::string(NRW_MODULE_DIR) + "/RptWithholdingReview.so"; }

inline std::string LayoutPath() {
  return std::string(NRW_SOURCE_ROOT) + "/layouts/RptWithholdingReview.json";
}

//! A declarant for base year 2023, with its company.
inline std::string Declarante(int empresa) {
  const std::string e = std::to_string(empresa);
  return "INSERT INTO EMPRESA VALUES (" + e + ", 'Empresa " + e +
         "');"
         "INSERT INTO DIRFREG1 VALUES (" +
         e + ", '2023-01-01', 1, '11.222.333/0001-0" + e + "', 'Empresa " + e +
         "', '123.456.789-09', '987.654.321-00', 'Responsável', 11, 33334444, 12, 33335555, "
         "'dirf@empresa.com.br');";
}

//! A beneficiary record; extra is a list of further DIRFREG2 "COLUMN = value" assignments.
struct Registro {
  Registro(int empresa_, std::string cpf_, std::string nome_, int retencao_ = 561,
           int tipo_informe_ = 2, double rendimento_ = 1000, double retido_ = 100,
           std::string extra_ = "")
      : empresa(empresa_),
        cpf(std::move(cpf_)),
        nome(std::move(nome_)),
        retencao(retencao_),
        tipo_informe(tipo_informe_),
        rendimento(rendimento_),
        retido(retido_),
        extra(std::move(extra_)) {}
  int empresa;
  std::string cpf;
  std::string nome;
  int retencao;
  int tipo_informe;
  double rendimento;
  double retido;
  std::string extra;
  int tipo_inscr = 1;
};

inline std::string Inserir(const Registro& r) {
  const std::string chave = std::to_string(r.empresa) + ", '2023-01-01', " +
                            std::to_string(r.tipo_inscr) + ", '" + r.cpf + "'";
  std::string sql =
      "INSERT OR IGNORE INTO DIRFREGBENEFICIARIO (CODIGOEMPRESA, ANOBASE, "
      "TIPOINSCRBENEF, INSCRFEDERALBENEF, NOMEBENEF) VALUES (" +
      chave + ", '" + r.nome + "');";
  sql +=
      "INSERT INTO DIRFREG2 (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, INSCRFEDERALBENEF, "
      "CODIGORETENCAO, TIPOINFORME, VALORRENDIMENTO, VALORRETIDO) VALUES (" +
      chave + ", " + std::to_string(r.retencao) + ", " + std::to_string(r.tipo_informe) + ", " +
      std::to_string(r.rendimento) + ", " + std::to_string(r.retido) + ");";
  if (!r.extra.empty()) {
    sql += "UPDATE DIRFREG2 SET " + r.extra +
           " WHERE CODIGOEMPRESA = " + std::to_string(r.empresa) + " AND INSCRFEDERALBENEF = '" +
           r.cpf + "' AND CODIGORETENCAO = " + std::to_string(r.retencao) + ";";
  }
  return sql;
}

//! A monthly detail row of a record (company 1, retention 561 unless given).
inline std::string Mes(const std::string& cpf, int mes, const std::string& colunas,
                       const std::string& valores, int empresa = 1, int retencao = 561) {
  return "INSERT INTO DIRFREG2DET (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, INSCRFEDERALBENEF, "
         "CODIGORETENCAO, MES, " +
         colunas + ") VALUES (" + std::to_string(empresa) + ", '2023-01-01', 1, '" + cpf + "', " +
         std::to_string(retencao) + ", " + std::to_string(mes) + ", " + valores + ");";
}

//! One section as printed, with the variables (lower-case names) as they stood at that moment.
struct Impresso {
  int section = 0;
  int page = 0;
  std::map<std::string, std::string> vars;
  std::string Var(const std::string& name) const {
    const auto found = vars.find(nrw::LowerCase(name));
    return found == vars.end() ? "" : found->second;
  }
};

struct Execucao {
  nrw::RunResult result;
  std::vector<nlohmann::json> events;
  //! Sections the module printed (engine page headings left out).
  std::vector<Impresso> impressos;

  std::vector<int> Secoes() const {
    std::vector<int> secoes;
    for (const Impresso& i : impressos) secoes.push_back(i.section);
    return secoes;
  }
  //! The given variable of every print of a section.
  std::vector<std::string> Valores(int section, const std::string& name) const {
    std::vector<std::string> valores;
    for (const Impresso& i : impressos) {
      if (i.section == section) valores.push_back(i.Var(name));
    }
    return valores;
  }
};

//! The application's schema in a private database, the default connection while it lives.
class ReviewDatabase : public ::testing::Test {
 protected:
  ReviewDatabase() : connection_(nrw::OpenSQLite(":memory:")) {
    nrw::CriarEsquema(*connection_);
    nrw::TnConnection::SetDefault(connection_.get());
  }
  ~ReviewDatabase() override {
    nrw::TnConnection::SetDefault(nullptr);
    for (const std::string& path : variantes_) std::filesystem::remove(path);
  }

  void Dados(const std::string& sql) { connection_->ExecuteScript(sql); }

  Execucao Rodar(std::vector<nrw::ParamSetting> params, std::vector<std::string> split = {},
                 const std::string& layout = LayoutPath()) {
    nrw::TraceCollector trace;
    nrw::RunOptions options;
    options.module_path = ModulePath();
    options.layout_path = layout;
    options.params = {{"pAnoBase", "01/01/2023"}};
    options.params.insert(options.params.end(), params.begin(), params.end());
    options.split = std::move(split);
    options.trace = &trace;
    options.today = nrw::EncodeDate(2024, 3, 15);
    Execucao execucao;
    execucao.result = nrw::RunReport(options);
    std::map<std::string, std::string> vars;
    for (const std::string& line : trace.Lines()) {
      nlohmann::json event = nlohmann::json::parse(line);
      const std::string ev = event["ev"];
      if (ev == "set") vars[nrw::LowerCase(event["name"].get<std::string>())] = event["value"];
      if (ev == "print" && !event.contains("auto")) {
        execucao.impressos.push_back({event["section"], event["page"], vars});
      }
      execucao.events.push_back(std::move(event));
    }
    return execucao;
  }

  //! The module's layout changed by the test, in a file that lives as long as the fixture.
  template <class F>
  std::string Variante(F mudar) {
    std::ifstream in(LayoutPath());
    nlohmann::json layout = nlohmann::json::parse(in);
    mudar(layout);
    std::string pattern =
        (std::filesystem::temp_directory_path() / "nrw_review_layout_XXXXXX").string();
    close(mkstemp(pattern.data()));
    std::ofstream(pattern) << layout.dump();
    variantes_.push_back(pattern);
    return pattern;
  }
  //! A page tall enough that every "print when it fits" section fits.
  std::string PaginaLonga() {
    return Variante([](nlohmann::json& layout) {
      layout["page"]["height_mm"] = 2000;
      layout["page"]["orientation"] = "portrait";
    });
  }

  std::unique_ptr<nrw::TnConnection> connection_;
  std::vector<std::string> variantes_;
};

}  // namespace review_test
