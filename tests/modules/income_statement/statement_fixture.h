// Shared pieces of the income statement tests: the application's schema in a private database made
// the default connection, inserts of 2023 declaration rows, a run of the built module through the
// host with its trace replayed into the sections printed (each with the variables as they stood),
// and a report with the module's class made in the test for the calls a run cannot make.
#pragma once

#include <fmt/core.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "nrw/format.h"
#include "nrw/sql.h"
#include "report/engine.h"
#include "report/layout_loader.h"
#include "report/main_dataset.h"
#include "report/panel_builder.h"
#include "report/report_run.h"
#include "report/sql_trace.h"
#include "report/trace.h"
#include "rpt_income_statement.h"
#include "schema/schema.h"

namespace statement_test {

inline std::string ModulePath() { return std::string(NRW_MODULE_DIR) + "/RptIncomeStatement.so"; }

inline std::string LayoutPath() { return std::string(NRW_LAYOUT_DIR) + "/RptIncomeStatement.json"; }

inline const nrw::TDateTime kHoje = nrw::EncodeDate(2024, 3, 15);

// Data ------------------------------------------------------------------------------------------

inline std::string Texto(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return quoted + "'";
}

inline std::string Numero(double value) { return fmt::format("{:.2f}", value); }

//! A company with its first establishment, its declaration settings, the partner who answers for
//! its CNPJ, its accountant and its declarant of 2023.
inline std::string Empresa(int codigo) {
  const std::string c = std::to_string(codigo);
  return "INSERT INTO EMPRESA VALUES (" + c + ", 'Empresa " + c +
         "');"
         "INSERT INTO ESTAB (CODIGOEMPRESA, CODIGOESTAB, TIPOINSCR, INSCRFEDERAL, "
         "VALORNOMINALCOTAS) VALUES (" +
         c + ", 1, 1, '11.222.333/0001-0" + c +
         "', 10);"
         "INSERT INTO CONTADOR (CODIGOCONT, TIPOINSCR, INSCRFEDERAL, NOMECONT) VALUES (" +
         c + ", 1, '555.666.777-88', 'Contador " + c +
         "');"
         "INSERT INTO SOCIO (CODIGOEMPRESA, CODIGOSOCIO, NOMESOCIO, INSCRFEDERAL, QUANTCOTAS, "
         "DATAFIMSOCIO) VALUES (" +
         c + ", 1, 'Sócio responsável', '999.888.777-66', 0, '2030-12-31');" +
         "INSERT INTO CFGEMPRESAGEM VALUES (" + c + ", " + c +
         ", 1);"
         "INSERT INTO DIRFREG1 (CODIGOEMPRESA, ANOBASE, TIPOINSCR, INSCRFEDERAL) VALUES (" +
         c + ", '2023-01-01', 1, '11.222.333/0001-0" + c + "');";
}

//! A beneficiary of a company's 2023 declaration.
inline std::string Beneficiario(const std::string& cpf, const std::string& nome, int empresa = 1,
                                int tipo_inscr = 1, int estab = 1) {
  return "INSERT INTO DIRFREGBENEFICIARIO (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, "
         "INSCRFEDERALBENEF, NOMEBENEF, CODIGOESTAB, TIPOINSCR) VALUES (" +
         std::to_string(empresa) + ", '2023-01-01', " + std::to_string(tipo_inscr) + ", " +
         Texto(cpf) + ", " + Texto(nome) + ", " + std::to_string(estab) + ", " +
         std::to_string(tipo_inscr) + ");";
}

//! A yearly record of one retention code, its income and tax also written in month 1 of the
//! detail (the statement sums the months, the main dataset the record).
struct Registro {
  std::string cpf;
  int codigo = 561;
  double rendimento = 0;
  double retido = 0;
  //! Further "COLUMN = value" assignments of the record.
  std::string extra;
  int tipo_informe = 1;
  int empresa = 1;
  int tipo_inscr = 1;
};

//! A record of the beneficiary's code (the CPF is filled in when it is inserted).
inline Registro Codigo(int codigo, double rendimento, double retido = 0,
                       const std::string& extra = "") {
  Registro r;
  r.codigo = codigo;
  r.rendimento = rendimento;
  r.retido = retido;
  r.extra = extra;
  return r;
}

inline std::string Chave(const std::string& cpf, int empresa, int tipo_inscr) {
  return std::to_string(empresa) + ", '2023-01-01', " + std::to_string(tipo_inscr) + ", " +
         Texto(cpf);
}

inline std::string Inserir(const Registro& r) {
  const std::string chave = Chave(r.cpf, r.empresa, r.tipo_inscr);
  std::string sql =
      "INSERT INTO DIRFREG2 (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, INSCRFEDERALBENEF, "
      "CODIGORETENCAO, TIPOINFORME, VALORRENDIMENTO, VALORRETIDO) VALUES (" +
      chave + ", " + std::to_string(r.codigo) + ", " + std::to_string(r.tipo_informe) + ", " +
      Numero(r.rendimento) + ", " + Numero(r.retido) + ");";
  if (!r.extra.empty()) {
    sql += "UPDATE DIRFREG2 SET " + r.extra +
           " WHERE CODIGOEMPRESA = " + std::to_string(r.empresa) +
           " AND INSCRFEDERALBENEF = " + Texto(r.cpf) +
           " AND CODIGORETENCAO = " + std::to_string(r.codigo) + ";";
  }
  sql +=
      "INSERT INTO DIRFREG2DET (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, INSCRFEDERALBENEF, "
      "CODIGORETENCAO, MES, VALORRENDIMENTO, VALORRETIDO) VALUES (" +
      chave + ", " + std::to_string(r.codigo) + ", 1, " + Numero(r.rendimento) + ", " +
      Numero(r.retido) + ");";
  return sql;
}

//! A further month of a record's detail (month 13: the thirteenth salary).
inline std::string Mes(const std::string& cpf, int codigo, int mes, const std::string& colunas,
                       const std::string& valores, int empresa = 1) {
  return "INSERT INTO DIRFREG2DET (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, INSCRFEDERALBENEF, "
         "CODIGORETENCAO, MES, " +
         colunas + ") VALUES (" + Chave(cpf, empresa, 1) + ", " + std::to_string(codigo) + ", " +
         std::to_string(mes) + ", " + valores + ");";
}

//! A person and one employment contract of theirs in a company.
inline std::string Contrato(int pessoa, const std::string& cpf, int contrato,
                            const std::string& admissao, const std::string& brevix,
                            int empresa = 1) {
  return "INSERT OR IGNORE INTO FUNCPESSOA VALUES (" + std::to_string(pessoa) + ", 'Pessoa " +
         std::to_string(pessoa) + "', " + Texto(cpf) +
         ");"
         "INSERT INTO FUNCCONTRATO (CODIGOEMPRESA, CODIGOFUNCCONTR, CODIGOFUNCPESSOA, DATAADM, "
         "UTILIZABREVIX) VALUES (" +
         std::to_string(empresa) + ", " + std::to_string(contrato) + ", " + std::to_string(pessoa) +
         ", " + Texto(admissao) + ", " + (brevix.empty() ? std::string("NULL") : Texto(brevix)) +
         ");";
}

//! A whole beneficiary with one retention code: the usual case.
inline std::string Simples(const std::string& cpf, const std::string& nome, double rendimento,
                           double retido = 0, int tipo_informe = 1, int empresa = 1) {
  Registro r;
  r.cpf = cpf;
  r.rendimento = rendimento;
  r.retido = retido;
  r.tipo_informe = tipo_informe;
  r.empresa = empresa;
  return Beneficiario(cpf, nome, empresa) + Inserir(r);
}

// Trace -----------------------------------------------------------------------------------------

//! One section as printed, with the variables (lower-case names) as they stood at that moment;
//! layout object properties are kept as "object.property".
struct Impresso {
  int section = 0;
  int page = 0;
  bool automatic = false;
  std::map<std::string, std::string> vars;
  std::string Var(const std::string& name) const {
    const auto found = vars.find(nrw::LowerCase(name));
    return found == vars.end() ? "" : found->second;
  }
};

//! A module print in one line: "13 <pDemais>", "12 <pDesc>|<pValorDesc>", "16 <five columns>";
//! other sections by number only.
inline std::string Linha(const Impresso& i) {
  switch (i.section) {
    case 12:
      return "12 " + i.Var("pDesc") + "|" + i.Var("pValorDesc");
    case 13:
      return "13 " + i.Var("pDemais");
    case 16:
      return "16 " + i.Var("pCPF") + "|" + i.Var("pNome") + "|" + i.Var("pValor") + "|" +
             i.Var("pValor13") + "|" + i.Var("RValor3");
    default:
      return std::to_string(i.section);
  }
}

struct Execucao {
  nrw::RunResult result;
  std::vector<nlohmann::json> events;
  //! Every print, the engine's page headings included.
  std::vector<Impresso> impressos;

  //! Sections the module printed, in order.
  std::vector<int> Secoes() const {
    std::vector<int> secoes;
    for (const Impresso& i : impressos) {
      if (!i.automatic) secoes.push_back(i.section);
    }
    return secoes;
  }
  //! Every value written to a variable, in order.
  std::vector<std::string> Valores(const std::string& name) const {
    std::vector<std::string> valores;
    for (const nlohmann::json& e : events) {
      if (e["ev"] == "set" && nrw::SameText(e["name"].get<std::string>(), name)) {
        valores.push_back(e["value"]);
      }
    }
    return valores;
  }
  //! The variable at every print of a section.
  std::vector<std::string> Valores(int section, const std::string& name) const {
    std::vector<std::string> valores;
    for (const Impresso& i : impressos) {
      if (i.section == section && !i.automatic) valores.push_back(i.Var(name));
    }
    return valores;
  }
  std::vector<nlohmann::json> Eventos(const std::string& ev) const {
    std::vector<nlohmann::json> found;
    for (const nlohmann::json& e : events) {
      if (e["ev"] == ev) found.push_back(e);
    }
    return found;
  }
  std::vector<std::string> Sqls() const {
    std::vector<std::string> sqls;
    for (const nlohmann::json& e : Eventos("sql")) sqls.push_back(e["sql"]);
    return sqls;
  }
  //! The module prints of one beneficiary, all copies: from its first section 8 up to the next
  //! beneficiary's section 8.
  std::vector<Impresso> De(const std::string& nome) const {
    std::vector<Impresso> found;
    bool inside = false;
    for (const Impresso& i : impressos) {
      if (i.automatic) continue;
      if (i.section == 8) inside = i.Var("pNomeFunc") == nome;
      if (inside) found.push_back(i);
    }
    return found;
  }
  //! Linha of each module print of a beneficiary.
  std::vector<std::string> Linhas(const std::string& nome) const {
    std::vector<std::string> linhas;
    for (const Impresso& i : De(nome)) linhas.push_back(Linha(i));
    return linhas;
  }
  //! The beneficiaries whose statement body was printed, once per copy.
  std::vector<std::string> Impressos() const { return Valores(8, "pNomeFunc"); }
};

inline Execucao Replay(const std::vector<std::string>& lines) {
  Execucao execucao;
  std::map<std::string, std::string> vars;
  for (const std::string& line : lines) {
    nlohmann::json event = nlohmann::json::parse(line);
    const std::string ev = event["ev"];
    if (ev == "set") vars[nrw::LowerCase(event["name"].get<std::string>())] = event["value"];
    if (ev == "property") {
      vars[nrw::LowerCase(event["object"].get<std::string>() + "." +
                          event["property"].get<std::string>())] = event["value"];
    }
    if (ev == "print") {
      execucao.impressos.push_back(
          {event["section"], event["page"], event.value("auto", false), vars});
    }
    execucao.events.push_back(std::move(event));
  }
  return execucao;
}

//! Statements that load the year's data (the fourteen of a run), told from the per-beneficiary
//! lookups and the withholding controller's own.
inline bool EhAnual(const std::string& sql) {
  return sql.find(":pAnoBase") != std::string::npos ||
         sql.rfind("SELECT S.CODIGOEMPRESA", 0) == 0 ||
         sql.find("FROM DIRFREG1 DR1") != std::string::npos;
}

inline int ContarAnuais(const Execucao& execucao) {
  const std::vector<std::string> sqls = execucao.Sqls();
  return static_cast<int>(std::count_if(sqls.begin(), sqls.end(), EhAnual));
}

// Places ----------------------------------------------------------------------------------------

class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "nrw_informe_test_XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path path_;
};

// Fixtures --------------------------------------------------------------------------------------

//! The schema in a private database, the default connection while the test lives.
class Banco : public ::testing::Test {
 protected:
  Banco() : connection_(nrw::OpenSQLite(":memory:")) {
    nrw::CriarEsquema(*connection_);
    nrw::TnConnection::SetDefault(connection_.get());
  }
  ~Banco() override { nrw::TnConnection::SetDefault(nullptr); }

  void Dados(const std::string& sql) { connection_->ExecuteScript(sql); }

  //! A run through the host; base year 2023 unless the parameters say otherwise.
  Execucao Rodar(const std::vector<nrw::ParamSetting>& params,
                 const std::vector<std::string>& split = {}, const std::string& output = "",
                 const std::string& layout = LayoutPath()) {
    nrw::TraceCollector trace;
    nrw::RunOptions options;
    options.module_path = ModulePath();
    options.layout_path = layout;
    options.params = {{"pAnoBase1", "01/01/2023"}};
    options.params.insert(options.params.end(), params.begin(), params.end());
    options.split = split;
    options.output = output;
    options.trace = &trace;
    options.today = kHoje;
    const nrw::RunResult result = nrw::RunReport(options);
    Execucao execucao = Replay(trace.Lines());
    execucao.result = result;
    return execucao;
  }

  std::unique_ptr<nrw::TnConnection> connection_;
};

//! A report of the layout with its panel built by an instance of the module's class, as the host
//! builds it, but with the instances in the test's hands; the trace records from construction on.
class Relatorio {
 public:
  explicit Relatorio(const std::vector<nrw::ParamSetting>& params,
                     const std::string& layout = LayoutPath())
      : layout_(std::make_shared<const nrw::Layout>(nrw::LoadLayout(layout))),
        report_(std::make_unique<nrw::TnReportEngine>(layout_)) {
    Engine().SetTrace(&trace_);
    Engine().SetToday(kHoje);
    panel_instance_ = std::make_unique<income_statement::TRptIncomeStatement>(report_);
    nrw::BuildPanel(*layout_, *panel_instance_, Panel(), kHoje);
    std::vector<nrw::ParamSetting> all = {{"pAnoBase1", "01/01/2023"}};
    all.insert(all.end(), params.begin(), params.end());
    Aplicar(all);
    Engine().SetTracing(true);
    sql_trace_ = std::make_unique<nrw::SqlTraceBinding>(Engine());
  }

  nrw::TnrwReport& Report() { return report_; }
  nrw::TnReportEngine& Engine() { return report_.Engine(); }
  nrw::TnpqPowerParam& Panel() { return report_.GetParams(); }
  const nrw::Layout& GetLayout() const { return *layout_; }
  income_statement::TRptIncomeStatement& PanelInstance() { return *panel_instance_; }

  //! User edits through the panel instance's hooks.
  void Aplicar(const std::vector<nrw::ParamSetting>& params) {
    nrw::ApplyParamSettings(*layout_, params, *panel_instance_, Panel());
  }
  //! Opens the main dataset for the panel's current values on a fresh page model.
  void AbrirDados() {
    nrw::OpenMainDataSet(Engine());
    Engine().ClearPages();
  }
  std::unique_ptr<income_statement::TRptIncomeStatement> Instancia() {
    return std::make_unique<income_statement::TRptIncomeStatement>(report_);
  }
  //! What was traced since the last call.
  Execucao Trace() {
    Execucao execucao = Replay(trace_.Lines());
    trace_.Clear();
    return execucao;
  }

 private:
  nrw::TraceCollector trace_;
  std::shared_ptr<const nrw::Layout> layout_;
  nrw::TnrwReport report_;
  std::unique_ptr<income_statement::TRptIncomeStatement> panel_instance_;
  std::unique_ptr<nrw::SqlTraceBinding> sql_trace_;
};

}  // namespace statement_test
