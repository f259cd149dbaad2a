// Withholding-declaration rules against a small database: categories, options, limits, contracts.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "nrw/dirf.h"
#include "nrw/sql.h"
#include "nrw/util.h"
#include "nrwhost/database.h"
#include "nrwhost/settings.h"
#include "sql/sql_observer.h"
#include "support/fixture_db.h"

namespace nrw {
namespace {

constexpr double kLimiteTributavel = 28559.70;
constexpr double kLimiteIsento = 1903.98;

class ControleDirfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.Exec(R"sql(
      INSERT INTO RENDIMENTOANUAL VALUES ('2023-01-01', 28559.70, 1903.98);
      INSERT INTO TIPOCONTRATO VALUES (1, 'Empregado', '1'), (2, 'Diretor', '04'),
                                      (3, 'Pro-labore', '8');
      INSERT INTO FUNCPESSOA (CODIGOFUNCPESSOA, NOMEFUNC, CPFFUNC) VALUES (1, 'Empregado', '111.111.111-11'),
                                    (2, 'Diretor', '222.222.222-22'),
                                    (3, 'Promovido', '444.444.444-44'),
                                    (4, 'Rebaixado', '555.555.555-55'),
                                    (5, 'Admitido depois', '666.666.666-66'),
                                    (6, 'Outra empresa', '777.777.777-77');
      INSERT INTO FUNCCONTRATO (CODIGOEMPRESA, CODIGOFUNCCONTR, CODIGOFUNCPESSOA,
                                CODIGOTIPOCONTR, DATAADM) VALUES
        (1, 1, 1, 1, '2019-03-01'),
        (1, 2, 2, 2, '2018-01-01'),
        (1, 3, 3, 1, '2020-01-01'), (1, 4, 3, 3, '2023-06-01'),
        (1, 5, 4, 2, '2020-01-01'), (1, 6, 4, 1, '2022-02-01'),
        (1, 7, 5, 1, '2021-01-01'), (1, 8, 5, 2, '2024-01-01'),
        (2, 9, 6, 1, '2021-01-01');
      INSERT INTO GRUPOEMPRESA VALUES (5, 2);
    )sql");
  }
  void TearDown() override { DefinirUsuarioAtual(std::nullopt); }
  support::FixtureDb db_;
};

enum class Categoria { Funcionario, Diretor, Terceiro, OutraEmpresa };

struct Beneficiario {
  const char* name;
  Categoria categoria;
  int tipo_inscr;
  const char* inscr;
};

const Beneficiario kBeneficiarios[] = {
    {"employee", Categoria::Funcionario, 1, "111.111.111-11"},
    {"director ('04', digits only)", Categoria::Diretor, 1, "22222222222"},
    {"third party", Categoria::Terceiro, 1, "333.333.333-33"},
    {"other company", Categoria::OutraEmpresa, 2, "11.111.111/0001-11"},
};

void DefinirOpcoes(TnControleDIRF& controle, Categoria alvo, uint16_t option, uint16_t outras) {
  controle.OpIrrfFunc = alvo == Categoria::Funcionario ? option : outras;
  controle.OpIrrfDiretor = alvo == Categoria::Diretor ? option : outras;
  controle.OpIrrfTerc = alvo == Categoria::Terceiro ? option : outras;
  controle.OpIrrfOutEmp = alvo == Categoria::OutraEmpresa ? option : outras;
}

TEST_F(ControleDirfTest, OptionsApplyToTheBeneficiarysCategory) {
  struct Case {
    const char* name;
    uint16_t option;
    double income, withheld, exempt;
    bool skip;
  };
  const Case cases[] = {
      {"0 keeps", 0, 100, 0, 0, false},
      {"1 keeps", 1, 100, 0, 0, false},
      {"2 without tax", 2, 100, 0, 0, true},
      {"2 tax rounds to 0", 2, 100, 0.004, 0, true},
      {"2 tax rounds to 0.01", 2, 100, 0.005, 0, false},
      {"2 with tax", 2, 100, 10, 0, false},
      {"3 below both limits", 3, kLimiteTributavel - 0.01, 0.004, kLimiteIsento - 0.01, true},
      {"3 income at the limit", 3, kLimiteTributavel, 0, 0, false},
      {"3 exempt at the limit", 3, 100, 0, kLimiteIsento, false},
      {"3 with tax", 3, 100, 0.01, 0, false},
      {"4 skips even with tax", 4, 100000, 500, 0, true},
      {"unknown option keeps", 9, 100, 0, 0, false},
  };
  TnControleDIRF controle("1..99999", 0, EncodeDate(2023, 1, 1));
  for (const Beneficiario& b : kBeneficiarios) {
    for (const Case& c : cases) {
      // The other categories get the opposite answer, so a wrong category shows.
      DefinirOpcoes(controle, b.categoria, c.option, c.skip ? 0 : 4);
      EXPECT_EQ(controle.PularRegistro(1, b.tipo_inscr, b.inscr, c.income, c.withheld, c.exempt),
                c.skip)
          << b.name << ", option " << c.name;
    }
  }
}

TEST_F(ControleDirfTest, LatestContractUpToTheEndOfTheYearDecidesDirector) {
  const struct {
    const char* name;
    const char* cpf;
    Categoria categoria;
  } cases[] = {
      {"promoted to pro-labore ('8') in the year", "444.444.444-44", Categoria::Diretor},
      {"director before, employee on the latest contract", "555.555.555-55",
       Categoria::Funcionario},
      {"director contract admitted after the year", "666.666.666-66", Categoria::Funcionario},
      {"employee of another company only", "777.777.777-77", Categoria::Terceiro},
  };
  TnControleDIRF controle("", 0, EncodeDate(2023, 7, 15));
  for (const auto& c : cases) {
    DefinirOpcoes(controle, c.categoria, 4, 0);
    EXPECT_TRUE(controle.PularRegistro(1, 1, c.cpf, 0, 0, 0)) << c.name;
  }
}

TEST_F(ControleDirfTest, OnlyCompaniesOfTheSelectionOrGroupKnowTheirEmployees) {
  db_.Exec("INSERT INTO USUARIOEMPRESA VALUES (3, 1), (4, 1), (4, 2);");
  const struct {
    const char* name;
    std::optional<int> user;
    const char* companies;
    int group;
    bool employee_of_2;
  } cases[] = {
      {"company 2 outside the selection", std::nullopt, "1", 0, false},
      {"list naming company 2", std::nullopt, "1;2", 0, true},
      {"empty selection is every company", std::nullopt, "", 0, true},
      {"group 5 brings company 2", std::nullopt, "1", 5, true},
      {"group 5 brings no company the user may not see", 3, "1", 5, false},
      {"group 5 brings company 2 to a user who sees it", 4, "1", 5, true},
  };
  for (const auto& c : cases) {
    DefinirUsuarioAtual(c.user);
    TnControleDIRF controle(c.companies, c.group, EncodeDate(2023, 1, 1));
    DefinirOpcoes(controle, Categoria::Funcionario, 4, 0);
    EXPECT_EQ(controle.PularRegistro(2, 1, "777.777.777-77", 0, 0, 0), c.employee_of_2) << c.name;
  }
}

TEST_F(ControleDirfTest, WithoutTaxInTheYearFlagAddsToEveryOption) {
  TnControleDIRF controle("1", 0, EncodeDate(2023, 1, 1));
  DefinirOpcoes(controle, Categoria::Funcionario, 1, 1);
  EXPECT_FALSE(controle.PularRegistro(1, 1, "111.111.111-11", 0, 0, 0)) << "flag off";
  EXPECT_FALSE(controle.PularRegistroSemRetido(561, 0)) << "flag off";

  controle.PularSemRetidoAno = true;
  EXPECT_TRUE(controle.PularRegistro(1, 1, "111.111.111-11", 0, 0.004, 0)) << "option 1, no tax";
  EXPECT_FALSE(controle.PularRegistro(1, 2, "11.111.111/0001-11", 0, 0.01, 0)) << "with tax";
  EXPECT_TRUE(controle.PularRegistroSemRetido(561, 0.004)) << "rounds to 0";
  EXPECT_FALSE(controle.PularRegistroSemRetido(561, 0.005)) << "rounds to 0.01";
}

TEST_F(ControleDirfTest, LimitsOfTheBaseYearOrZero) {
  TnControleDIRF com_limites("", 0, EncodeDate(2023, 12, 31));
  EXPECT_DOUBLE_EQ(com_limites.LimiteTributavel(), kLimiteTributavel);
  EXPECT_DOUBLE_EQ(com_limites.LimiteIsento(), kLimiteIsento);

  TnControleDIRF sem_limites("", 0, EncodeDate(2022, 1, 1));
  EXPECT_EQ(sem_limites.LimiteTributavel(), 0);
  EXPECT_EQ(sem_limites.LimiteIsento(), 0);
  // Nothing is below a zero limit, so option 3 keeps everyone.
  sem_limites.OpIrrfTerc = 3;
  EXPECT_FALSE(sem_limites.PularRegistro(1, 1, "333.333.333-33", 0, 0, 0));
}

TEST_F(ControleDirfTest, ItsStatementsStayOffTheModulesTrace) {
  std::vector<std::string> observed;
  SetSqlObserver([&observed](const std::string& sql, const std::vector<Variant>&) {
    observed.push_back(sql);
  });
  TnControleDIRF controle("1", 5, EncodeDate(2023, 12, 31));
  EXPECT_TRUE(observed.empty()) << observed.front();
  ExecutarSQL("select 1");
  EXPECT_EQ(observed, std::vector<std::string>{"select 1"}) << "what a module sends is reported";
  SetSqlObserver(SqlObserver());
}

TEST(ControleDirfTextos, QuotaSentenceAndOptionTexts) {
  EXPECT_EQ(ObterMensagemCotasSocio("1000", 1234567.891),
            "Sócio com 1000 cotas, no valor total de R$ 1.234.567,89.");
  for (const char* text :
       {OP_PARAM_FUNCIONARIO, OP_PARAM_DIRETOR, OP_PARAM_TERCEIRO, OP_PARAM_OUTEMP}) {
    const auto lines = SplitString(text, '\n');
    ASSERT_EQ(lines.size(), 5u) << text;
    for (size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].substr(0, 2), std::to_string(i) + "=") << text;
    }
  }
}

TEST_F(ControleDirfTest, RraMapBindsEveryColumn) {
  db_.Exec(
      "INSERT INTO DIRFRENDRECEBACUM (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, INSCRFEDERALBENEF, "
      "SEQ, NATUREZARRA, QTDEMESES, RENDTRIBUTAVEL, RENDISENTOMOLESTIA) VALUES "
      "(1, '2023-01-01', 1, '111.111.111-11', 1, 'Trabalhista', 12.5, 1000.25, 7)");
  TDataSetRef rra = ExecutarSQL("SELECT * FROM DIRFRENDRECEBACUM I ORDER BY I.SEQ");
  auto& map = CDS(rra).FieldMapper<TnFpaMapDIRFRendRecebAcum>();
  for (TField* field :
       {map.CodigoEmpresa, map.AnoBase, map.TipoInscrBenef, map.InscrFederalBenef, map.Seq,
        map.NaturezaRRA, map.NumProcessoRRA, map.QtdeMeses, map.RendTributavel, map.DespesaAcaoJud,
        map.PrevidenciaOficial, map.PensaoAlimenticia, map.ImpostoRetido,
        map.ParcAposentadoAcimaSessentaAno, map.RendIsentoMolestia}) {
    ASSERT_NE(field, nullptr);
  }
  EXPECT_EQ(map.NaturezaRRA->AsString(), "Trabalhista");
  EXPECT_DOUBLE_EQ(map.QtdeMeses->AsFloat(), 12.5);
  EXPECT_DOUBLE_EQ(map.RendTributavel->AsFloat(), 1000.25);
  EXPECT_DOUBLE_EQ(map.DespesaAcaoJud->AsFloat(), 0);
  EXPECT_TRUE(map.NumProcessoRRA->IsNull());
}

}  // namespace
}  // namespace nrw
