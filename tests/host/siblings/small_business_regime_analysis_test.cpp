// The sibling that lists payroll lines and establishments, run on the real schema: months and
// their bounds, orders, company, group, user and establishment selections, activity dates,
// handles and parameter errors.
#include "siblings/small_business_regime_analysis.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "nrw/datetime.h"
#include "nrwhost/settings.h"
#include "support/fixture_db.h"

namespace nrw {
namespace {

constexpr const char* kClasse = "TSmallBusinessRegimeAnalysis";
constexpr const char* kSufixo = "Teste";

using Linha = std::tuple<int, int, std::string>;  // company, establishment, "mm/yyyy"

class AnaliseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Company 1 ("Beta") has contract 2 moving to its branch in May; February and June lie
    // outside the range asked below. "Alfa" sorts first by name, "Filial" before "Matriz".
    db_.Exec(R"sql(
      INSERT INTO EMPRESA VALUES (1, 'Beta'), (2, 'Alfa'), (3, 'Gama');
      INSERT INTO ESTAB (CODIGOEMPRESA, CODIGOESTAB, APELIDOESTAB, INSCRFEDERAL, DATAINICIOATIV,
                         DATAENCERATIV) VALUES
        (1, 1, 'Matriz', '11.111.111/0001-11', '2015-01-02', NULL),
        (1, 2, 'Filial', '11.111.111/0002-00', '2016-01-01', '2024-06-30'),
        (2, 1, 'Sede', '22.222.222/0001-22', '2010-03-01', NULL),
        (3, 1, 'Unica', '33.333.333/0001-33', NULL, '2100-12-31');
      INSERT INTO GRUPOEMPRESA VALUES (7, 3);
      INSERT INTO USUARIOEMPRESA VALUES (5, 1), (5, 3);
      INSERT INTO FUNCLOCAL VALUES (1, 1, '2010-01-01', 1), (1, 2, '2010-01-01', 1),
                                   (1, 2, '2024-05-01', 2), (2, 1, '2010-01-01', 1),
                                   (3, 1, '2010-01-01', 1);
      INSERT INTO PERIODOCALCULO (CODIGOEMPRESA, CODIGOPERCALCULO, CODIGOTIPOCALC, COMPET) VALUES
        (1, 10, 1, '2024-02-01'), (1, 11, 1, '2024-03-01'), (1, 12, 1, '2024-05-01'),
        (1, 13, 1, '2024-06-01'), (1, 14, 21, '2024-05-01'), (2, 20, 1, '2024-04-01'),
        (3, 30, 1, '2024-03-01');
      INSERT INTO FUNCPERCALCULO VALUES
        (1, 10, 1, '2010-01-01'), (1, 11, 1, '2010-01-01'), (1, 11, 2, '2010-01-01'),
        (1, 12, 1, '2010-01-01'), (1, 12, 2, '2024-05-01'), (1, 13, 1, '2010-01-01'),
        (1, 14, 1, '2010-01-01'), (2, 20, 1, '2010-01-01'), (3, 30, 1, '2010-01-01');
    )sql");
  }
  void TearDown() override {
    DestruirDM(kClasse, kSufixo);
    DefinirUsuarioAtual(std::nullopt);
  }

  struct Parametros {
    std::string inicial = "15/03/2024";
    std::string final = "10/05/2024";
    std::string grupo;
    std::string empresas;
    std::string estabs;
    std::string ordem = "1";
  };

  TSmallBusinessRegimeAnalysis& Executar(const Parametros& p) {
    auto& dm = dynamic_cast<TSmallBusinessRegimeAnalysis&>(*CriarDM(kClasse, 0, kSufixo));
    dm.Param("CompetInicial").SetAsString(p.inicial);
    dm.Param("CompetFinal").SetAsString(p.final);
    dm.Param("CodigoGrupoProc").SetAsString(p.grupo);
    dm.Param("CodigoEmpresa").SetAsString(p.empresas);
    dm.Param("CodigoEstab").SetAsString(p.estabs);
    dm.Param("Ordenacao").SetAsString(p.ordem);
    dm.Executar();
    return dm;
  }

  static std::vector<Linha> Linhas(TnClientDataSet& linhas) {
    std::vector<Linha> rows;
    for (linhas.First(); !linhas.Eof(); linhas.Next()) {
      rows.emplace_back(static_cast<int>(linhas.FieldByName("CodigoEmpresa").AsInteger()),
                        static_cast<int>(linhas.FieldByName("CodigoEstab").AsInteger()),
                        FormatDateTime("mm/yyyy", linhas.FieldByName("Compet").AsDateTime()));
    }
    return rows;
  }

  support::FixtureDb db_;
};

TEST_F(AnaliseTest, LinesOfTheMonthsInRangeInTheOrderAsked) {
  const struct {
    const char* name;
    const char* ordem;
    std::vector<Linha> linhas;
  } cases[] = {
      {"by code (also the default)",
       "1",
       {{1, 1, "03/2024"},
        {1, 1, "05/2024"},
        {1, 2, "05/2024"},
        {2, 1, "04/2024"},
        {3, 1, "03/2024"}}},
      {"empty order is by code",
       " ",
       {{1, 1, "03/2024"},
        {1, 1, "05/2024"},
        {1, 2, "05/2024"},
        {2, 1, "04/2024"},
        {3, 1, "03/2024"}}},
      {"by company name, then establishment nickname",
       "2",
       {{2, 1, "04/2024"},
        {1, 2, "05/2024"},
        {1, 1, "03/2024"},
        {1, 1, "05/2024"},
        {3, 1, "03/2024"}}},
  };
  for (const auto& c : cases) {
    Parametros p;
    p.ordem = c.ordem;
    EXPECT_EQ(Linhas(Executar(p).Linhas()), c.linhas) << c.name;
  }
}

TEST_F(AnaliseTest, MonthBoundsTakeWholeMonths) {
  Parametros p;
  p.inicial = "29/02/2024";
  p.final = "01/06/2024";
  p.empresas = "1";
  p.estabs = "1";
  EXPECT_EQ(Linhas(Executar(p).Linhas()),
            (std::vector<Linha>{
                {1, 1, "02/2024"}, {1, 1, "03/2024"}, {1, 1, "05/2024"}, {1, 1, "06/2024"}}));
  p.inicial = "01/07/2024";
  p.final = "31/12/2024";
  EXPECT_TRUE(Linhas(Executar(p).Linhas()).empty()) << "no payroll in the range";
}

TEST_F(AnaliseTest, SelectionsGroupAndUserRightsRestrictBothDatasets) {
  const struct {
    const char* name;
    std::optional<int> usuario;
    const char* grupo;
    const char* empresas;
    const char* estabs;
    std::vector<int> empresas_linhas;
    int estabs_listados;
  } cases[] = {
      {"everything", std::nullopt, "", "", "", {1, 1, 1, 2, 3}, 4},
      {"company 1", std::nullopt, "", "1", "", {1, 1, 1}, 2},
      {"group 7 widens company 1", std::nullopt, "7", "1", "", {1, 1, 1, 3}, 3},
      {"group 7 alone", std::nullopt, " 7 ", "", "", {3}, 1},
      {"establishment 2", std::nullopt, "", "", "2", {1}, 1},
      {"user 5 sees 1 and 3", 5, "", "", "", {1, 1, 1, 3}, 3},
      {"user 5 asking for company 2", 5, "", "2", "", {}, 0},
      {"user without companies", 6, "", "", "", {}, 0},
  };
  for (const auto& c : cases) {
    DefinirUsuarioAtual(c.usuario);
    Parametros p;
    p.grupo = c.grupo;
    p.empresas = c.empresas;
    p.estabs = c.estabs;
    TSmallBusinessRegimeAnalysis& dm = Executar(p);
    std::vector<int> empresas;
    for (const Linha& linha : Linhas(dm.Linhas())) empresas.push_back(std::get<0>(linha));
    EXPECT_EQ(empresas, c.empresas_linhas) << c.name;
    EXPECT_EQ(dm.EmpresasEstab().RecordCount(), c.estabs_listados) << c.name;
  }
}

TEST_F(AnaliseTest, EstablishmentsWithActivityDatesAndHandles) {
  TSmallBusinessRegimeAnalysis& dm = Executar(Parametros());
  TnClientDataSet& estabs = dm.EmpresasEstab();
  ASSERT_EQ(estabs.RecordCount(), 4);
  const TDateTime aberta = EncodeDate(2100, 12, 31);
  const struct {
    int empresa, estab;
    const char* nome;
    const char* apelido;
    TDateTime encerramento;
  } esperados[] = {
      {1, 1, "Beta", "Matriz", aberta},
      {1, 2, "Beta", "Filial", EncodeDate(2024, 6, 30)},
      {2, 1, "Alfa", "Sede", aberta},
      {3, 1, "Gama", "Unica", aberta},
  };
  estabs.First();
  for (const auto& e : esperados) {
    EXPECT_EQ(estabs.FieldByName("CodigoEmpresa").AsInteger(), e.empresa);
    EXPECT_EQ(estabs.FieldByName("CodigoEstab").AsInteger(), e.estab);
    EXPECT_EQ(estabs.FieldByName("NomeEmpresa").AsString(), e.nome);
    EXPECT_EQ(estabs.FieldByName("ApelidoEstab").AsString(), e.apelido);
    EXPECT_EQ(estabs.FieldByName("DataEncerAtiv").AsDateTime(), e.encerramento) << e.apelido;
    estabs.Next();
  }
  estabs.First();
  EXPECT_EQ(estabs.FieldByName("InscrFederal").AsString(), "11.111.111/0001-11");
  EXPECT_EQ(estabs.FieldByName("DataInicioAtiv").AsDateTime(), EncodeDate(2015, 1, 2));

  // The handles carry the datasets while the sibling lives, and nothing after it.
  const auto linhas_handle = static_cast<int32_t>(dm.Param("pRefer").GetAsInteger());
  const auto estabs_handle = static_cast<int32_t>(dm.Param("pRefer2").GetAsInteger());
  EXPECT_EQ(ResolveHandle(linhas_handle), &dm.Linhas());
  EXPECT_EQ(ResolveHandle(estabs_handle), &estabs);
  DestruirDM(kClasse, kSufixo);
  EXPECT_EQ(ResolveHandle(linhas_handle), nullptr);
  EXPECT_EQ(ResolveHandle(estabs_handle), nullptr);
}

TEST_F(AnaliseTest, ParametersThatDoNotConvertAreNamed) {
  const struct {
    const char* name;
    Parametros p;
    const char* message;
  } cases[] = {
      {"initial date",
       {"", "10/05/2024", "", "", "", "1"},
       "Parâmetro CompetInicial: '' não é uma data válida"},
      {"final date",
       {"01/03/2024", "31/02/2024", "", "", "", "1"},
       "Parâmetro CompetFinal: '31/02/2024' não é uma data válida"},
      {"final before initial",
       {"01/05/2024", "30/04/2024", "", "", "", "1"},
       "A competência final (04/2024) é anterior à inicial (05/2024)."},
      {"group",
       {"01/03/2024", "31/03/2024", "x", "", "", "1"},
       "Parâmetro CodigoGrupoProc: 'x' não é um código de grupo válido"},
      {"order",
       {"01/03/2024", "31/03/2024", "", "", "", "3"},
       "Parâmetro Ordenacao: '3' não é uma ordenação válida (1 código, 2 nome da empresa)"},
  };
  for (const auto& c : cases) {
    try {
      Executar(c.p);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const Exception& error) {
      EXPECT_STREQ(error.what(), c.message) << c.name;
    }
  }
}

}  // namespace
}  // namespace nrw
