// The income statement's test data and runs on the shared harness: 2023 declaration rows of a
// company and its beneficiaries, a run of the built module, a session with the report class's own
// instances in the test's hands, and the statement read back from the trace per beneficiary.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "nrw/format.h"
#include "rpt_income_statement.h"
#include "support/declaration_rows.h"
#include "support/fixture_db.h"
#include "support/module_run.h"
#include "support/paths.h"
#include "support/temp_dir.h"

namespace statement_test {

using support::Printed;
using support::TempDir;
//! A whole run: its result, its trace read back and its pages as text.
using Execucao = support::RunOutcome;
//! What a session traced.
using Rastro = support::TraceRecord;

inline std::string LayoutPath() { return support::LayoutPath("RptIncomeStatement"); }

// Data ------------------------------------------------------------------------------------------

inline std::string Texto(const std::string& text) { return support::Literal(text); }

//! A company with its first establishment, its declaration settings, the partner who answers for
//! its CNPJ, its accountant and its declarant of 2023.
inline std::string Empresa(int codigo) {
  const std::string cnpj = "11.222.333/0001-0" + std::to_string(codigo);
  return support::InsertSql("EMPRESA", {{"CODIGOEMPRESA", codigo},
                                        {"NOMEEMPRESA", "Empresa " + std::to_string(codigo)}}) +
         support::InsertSql("ESTAB", {{"CODIGOEMPRESA", codigo},
                                      {"CODIGOESTAB", 1},
                                      {"TIPOINSCR", 1},
                                      {"INSCRFEDERAL", cnpj},
                                      {"VALORNOMINALCOTAS", 10}}) +
         support::InsertSql("CONTADOR", {{"CODIGOCONT", codigo},
                                         {"TIPOINSCR", 1},
                                         {"INSCRFEDERAL", "555.666.777-88"},
                                         {"NOMECONT", "Contador " + std::to_string(codigo)}}) +
         support::InsertSql("SOCIO", {{"CODIGOEMPRESA", codigo},
                                      {"CODIGOSOCIO", 1},
                                      {"NOMESOCIO", "Sócio responsável"},
                                      {"INSCRFEDERAL", "999.888.777-66"},
                                      {"QUANTCOTAS", 0},
                                      {"DATAFIMSOCIO", nrw::EncodeDate(2030, 12, 31)}}) +
         support::InsertSql("CFGEMPRESAGEM", {{"CODIGOEMPRESA", codigo},
                                              {"CONTADORRESPPREENCHFEDERAL", codigo},
                                              {"SOCIORESPCNPJ", 1}}) +
         support::Declarante(codigo, 2023, {{"TIPOINSCR", 1}, {"INSCRFEDERAL", cnpj}});
}

//! A beneficiary of a company's 2023 declaration.
inline std::string Beneficiario(const std::string& cpf, const std::string& nome, int empresa = 1,
                                int tipo_inscr = 1, int estab = 1) {
  return support::BeneficiarioRow({cpf, empresa, 2023, tipo_inscr}, nome,
                                  {{"CODIGOESTAB", estab}, {"TIPOINSCR", tipo_inscr}});
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

inline std::string Inserir(const Registro& r) {
  const support::Beneficiary b{r.cpf, r.empresa, 2023, r.tipo_inscr};
  std::string sql = support::RegistroRow(b, r.codigo, r.tipo_informe, r.rendimento, r.retido);
  if (!r.extra.empty()) {
    sql += "UPDATE DIRFREG2 SET " + r.extra +
           " WHERE CODIGOEMPRESA = " + std::to_string(r.empresa) +
           " AND INSCRFEDERALBENEF = " + Texto(r.cpf) +
           " AND CODIGORETENCAO = " + std::to_string(r.codigo) + ";";
  }
  return sql + support::MesRow(b, r.codigo, 1,
                               {{"VALORRENDIMENTO", r.rendimento}, {"VALORRETIDO", r.retido}});
}

//! A further month of a record's detail (month 13: the thirteenth salary); the columns and their
//! literals as the statement writes them.
inline std::string Mes(const std::string& cpf, int codigo, int mes, const std::string& colunas,
                       const std::string& valores, int empresa = 1) {
  return "INSERT INTO DIRFREG2DET (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, INSCRFEDERALBENEF, "
         "CODIGORETENCAO, MES, " +
         colunas + ") VALUES (" + std::to_string(empresa) + ", '2023-01-01', 1, " + Texto(cpf) +
         ", " + std::to_string(codigo) + ", " + std::to_string(mes) + ", " + valores + ");";
}

//! A person and one employment contract of theirs in a company.
inline std::string Contrato(int pessoa, const std::string& cpf, int contrato,
                            const std::string& admissao, const std::string& brevix,
                            int empresa = 1) {
  return support::InsertSql("FUNCPESSOA",
                            {{"CODIGOFUNCPESSOA", pessoa},
                             {"NOMEFUNC", "Pessoa " + std::to_string(pessoa)},
                             {"CPFFUNC", cpf}},
                            true) +
         support::InsertSql("FUNCCONTRATO",
                            {{"CODIGOEMPRESA", empresa},
                             {"CODIGOFUNCCONTR", contrato},
                             {"CODIGOFUNCPESSOA", pessoa},
                             {"DATAADM", admissao},
                             {"UTILIZABREVIX", brevix.empty() ? nrw::Variant() : brevix}});
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

// The statement read back -------------------------------------------------------------------

//! A module print in one line: "13 <pDemais>", "12 <pDesc>|<pValorDesc>", "16 <five columns>";
//! other sections by number only.
inline std::string Linha(const Printed& i) {
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

//! The module prints of one beneficiary, all copies: from its first section 8 up to the next
//! beneficiary's section 8.
inline std::vector<Printed> De(const Rastro& run, const std::string& nome) {
  std::vector<Printed> found;
  bool inside = false;
  for (const Printed& i : run.ModulePrints()) {
    if (i.section == 8) inside = i.Var("pNomeFunc") == nome;
    if (inside) found.push_back(i);
  }
  return found;
}

//! Linha of each module print of a beneficiary.
inline std::vector<std::string> Linhas(const Rastro& run, const std::string& nome) {
  std::vector<std::string> linhas;
  for (const Printed& i : De(run, nome)) linhas.push_back(Linha(i));
  return linhas;
}

//! The beneficiaries whose statement body was printed, once per copy.
inline std::vector<std::string> Impressos(const Rastro& run) { return run.Values(8, "pNomeFunc"); }

//! Statements that load the year's data (the fourteen of a run), told from the per-beneficiary
//! lookups and the withholding controller's own.
inline bool EhAnual(const std::string& sql) {
  return sql.find(":pAnoBase") != std::string::npos ||
         sql.rfind("SELECT S.CODIGOEMPRESA", 0) == 0 ||
         sql.find("FROM DIRFREG1 DR1") != std::string::npos;
}

inline int ContarAnuais(const Rastro& execucao) {
  const std::vector<std::string> sqls = execucao.Sqls();
  return static_cast<int>(std::count_if(sqls.begin(), sqls.end(), EhAnual));
}

// Fixtures --------------------------------------------------------------------------------------

inline std::vector<nrw::ParamSetting> Com2023(const std::vector<nrw::ParamSetting>& params) {
  std::vector<nrw::ParamSetting> all = {{"pAnoBase1", "01/01/2023"}};
  all.insert(all.end(), params.begin(), params.end());
  return all;
}

//! The schema in a private database, the default connection while the test lives.
class Banco : public ::testing::Test {
 protected:
  void Dados(const std::string& sql) { db_.Exec(sql); }

  //! A beneficiary of company 1 made of the given records, all of the same CPF.
  void Com(const std::string& cpf, const std::string& nome, std::vector<Registro> registros) {
    std::string sql = Beneficiario(cpf, nome);
    for (Registro& r : registros) {
      r.cpf = cpf;
      sql += Inserir(r);
    }
    Dados(sql);
  }

  //! A run through the host; base year 2023 unless the parameters say otherwise.
  support::RunOutcome Rodar(const std::vector<nrw::ParamSetting>& params,
                            const std::vector<std::string>& split = {},
                            const std::string& output = "", const std::string& layout = "") {
    return support::Run({"RptIncomeStatement", Com2023(params), split, output, layout});
  }

  support::FixtureDb db_;
};

//! A session of the module (panel built by its own instance, as the host builds it) with the
//! report class's instances made by the test; the trace records from the end of the panel on.
class Relatorio {
 public:
  explicit Relatorio(const std::vector<nrw::ParamSetting>& params, const std::string& layout = "")
      : session_({"RptIncomeStatement", Com2023(params), {}, "", layout}) {}

  nrw::RunSession& Sessao() { return session_.Session(); }
  nrw::TnrwReport& Report() { return session_.Report(); }
  nrw::TnpqPowerParam& Panel() { return session_.Panel(); }
  nrw::TnrwBaseDll& PanelInstance() { return Sessao().PanelInstance(); }

  //! User edits through the panel instance's hooks.
  void Aplicar(const std::vector<nrw::ParamSetting>& params) { Sessao().ApplyParams(params); }
  //! Opens the main dataset for the panel's current values on a fresh page model.
  void AbrirDados() { Sessao().OpenData(); }
  std::unique_ptr<income_statement::TRptIncomeStatement> Instancia() {
    return std::make_unique<income_statement::TRptIncomeStatement>(Report());
  }
  //! What was traced since the last call.
  Rastro Trace() { return session_.TakeTrace(); }

 private:
  support::ModuleSession session_;
};

}  // namespace statement_test
