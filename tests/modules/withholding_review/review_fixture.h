// The withholding review's test data and runs on the shared harness: declarants and beneficiary
// records of base year 2023, and runs of the built module read back from their trace.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/declaration_rows.h"
#include "support/fixture_db.h"
#include "support/module_run.h"
#include "support/temp_dir.h"

namespace review_test {

using Execucao = support::RunOutcome;
using support::Printed;

//! A declarant for base year 2023, with its company.
inline std::string Declarante(int empresa) {
  const std::string e = std::to_string(empresa);
  return support::InsertSql("EMPRESA",
                            {{"CODIGOEMPRESA", empresa}, {"NOMEEMPRESA", "Empresa " + e}}) +
         support::Declarante(empresa, 2023,
                             {{"TIPOINSCR", 1},
                              {"INSCRFEDERAL", "11.222.333/0001-0" + e},
                              {"NOMEESTAB", "Empresa " + e},
                              {"CPFRESPCNPJ", "123.456.789-09"},
                              {"CPFRESP", "987.654.321-00"},
                              {"NOMERESP", "Responsável"},
                              {"DDDRESP", 11},
                              {"TELEFONERESP", 33334444},
                              {"RAMALRESP", 12},
                              {"FAXRESP", 33335555},
                              {"EMAILRESP", "dirf@empresa.com.br"}});
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
  const support::Beneficiary b{r.cpf, r.empresa, 2023, r.tipo_inscr};
  std::string sql = support::BeneficiarioRow(b, r.nome) +
                    support::RegistroRow(b, r.retencao, r.tipo_informe, r.rendimento, r.retido);
  if (!r.extra.empty()) {
    sql += "UPDATE DIRFREG2 SET " + r.extra +
           " WHERE CODIGOEMPRESA = " + std::to_string(r.empresa) + " AND INSCRFEDERALBENEF = '" +
           r.cpf + "' AND CODIGORETENCAO = " + std::to_string(r.retencao) + ";";
  }
  return sql;
}

//! A monthly detail row of a record (company 1, retention 561 unless given); the columns and their
//! literals as the statement writes them.
inline std::string Mes(const std::string& cpf, int mes, const std::string& colunas,
                       const std::string& valores, int empresa = 1, int retencao = 561) {
  return "INSERT INTO DIRFREG2DET (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, INSCRFEDERALBENEF, "
         "CODIGORETENCAO, MES, " +
         colunas + ") VALUES (" + std::to_string(empresa) + ", '2023-01-01', 1, '" + cpf + "', " +
         std::to_string(retencao) + ", " + std::to_string(mes) + ", " + valores + ");";
}

inline std::vector<nrw::ParamSetting> Com2023(const std::vector<nrw::ParamSetting>& params) {
  std::vector<nrw::ParamSetting> all = {{"pAnoBase", "01/01/2023"}};
  all.insert(all.end(), params.begin(), params.end());
  return all;
}

//! The application's schema in a private database, the default connection while it lives.
class ReviewDatabase : public ::testing::Test {
 protected:
  void Dados(const std::string& sql) { db_.Exec(sql); }

  Execucao Rodar(const std::vector<nrw::ParamSetting>& params,
                 const std::vector<std::string>& split = {}, const std::string& layout = "") {
    return support::Run({"RptWithholdingReview", Com2023(params), split, "", layout});
  }

  //! The module's layout changed by the test, in a file that lives as long as the fixture.
  std::string Variante(const std::function<void(nlohmann::json&)>& mudar) {
    return support::LayoutVariant(dir_, "RptWithholdingReview", mudar);
  }
  //! A page tall enough that every "print when it fits" section fits.
  std::string PaginaLonga() {
    return Variante([](nlohmann::json& layout) {
      layout["page"]["height_mm"] = 2000;
      layout["page"]["orientation"] = "portrait";
    });
  }

  support::FixtureDb db_;
  support::TempDir dir_;
};

}  // namespace review_test
