// The host's withholding-declaration data module on the real schema: the declaration it loads for
// the companies, the year and the bits of its options, and the values it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nrw/format.h"
#include "nrwhost/settings.h"
#include "sibling_fixture.h"

namespace nrw {
namespace {

class PayrollWithholdingData : public SiblingFixture {
 protected:
  PayrollWithholdingData()
      : SiblingFixture("TPayrollWithholdingData", {{"pAnoBase", "01/01/2024"},
                                                   {"pGerar", "7"},
                                                   {"pGerarIRRF", "3"},
                                                   {"pGerarConflito", "3"},
                                                   {"pCodigoGrupoProc", ""},
                                                   {"pCodigoEmpresa", "1..99999"},
                                                   {"pGravarBD", "0"}}) {}

  void SetUp() override {
    // Company 1 has one record of each kind: an employee (561), a third party (588), tax withheld
    // from a company (1708) and contributions withheld from it (5952).
    db_.Exec(R"sql(
      INSERT INTO DIRFREG1 (CODIGOEMPRESA, ANOBASE, NOMEESTAB) VALUES
        (1, '2024-01-01', 'Um'), (2, '2024-01-01', 'Dois'), (3, '2024-01-01', 'Três'),
        (1, '2023-01-01', 'Um, ano anterior');
      INSERT INTO DIRFREG2 (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, INSCRFEDERALBENEF,
                            CODIGORETENCAO, TIPOINFORME, VALORRENDIMENTO, VALORRETIDO, VALOR13) VALUES
        (1, '2024-01-01', 1, '111.111.111-11', 561, 1, 1000, 10, 700),
        (1, '2024-01-01', 1, '111.111.111-11', 588, 2, 500, 5, 0),
        (1, '2024-01-01', 2, '11.111.111/0001-11', 1708, 3, 800, 12, 0),
        (1, '2024-01-01', 2, '11.111.111/0001-11', 5952, 3, 800, 37.2, 0),
        (2, '2024-01-01', 1, '222.222.222-22', 561, 1, 2000, 20, 0),
        (3, '2024-01-01', 1, '333.333.333-33', 561, 1, 3000, 30, 0),
        (1, '2023-01-01', 1, '111.111.111-11', 561, 1, 900, 9, 0);
      INSERT INTO DIRFREG2DET (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, INSCRFEDERALBENEF,
                               CODIGORETENCAO, MES, VALORRENDIMENTO, VALORRETIDO, PIS, COFINS,
                               CSLL) VALUES
        (1, '2024-01-01', 1, '111.111.111-11', 561, 1, 1000, 10, 0, 0, 0),
        (1, '2024-01-01', 1, '111.111.111-11', 561, 13, 700, 7, 0, 0, 0),
        (1, '2024-01-01', 2, '11.111.111/0001-11', 5952, 1, 800, 37.2, 5.2, 24, 8),
        (1, '2023-01-01', 1, '111.111.111-11', 561, 1, 900, 9, 0, 0, 0);
      INSERT INTO GRUPOEMPRESA VALUES (7, 3);
      INSERT INTO USUARIOEMPRESA VALUES (5, 2);
    )sql");
  }

  //! "company/code" of every row of a dataset, in its order.
  static std::vector<std::string> Linhas(TnClientDataSet& dataset, const char* coluna) {
    std::vector<std::string> linhas;
    for (dataset.First(); !dataset.Eof(); dataset.Next()) {
      linhas.push_back(dataset.FieldByName("CodigoEmpresa").AsString() + "/" +
                       dataset.FieldByName(coluna).AsString());
    }
    return linhas;
  }
  using Lista = std::vector<std::string>;
};

TEST_F(PayrollWithholdingData, LoadsTheStoredYearOfTheSelectedCompaniesWithTheMappedColumns) {
  TnDMPowerParam& dm = Executar({{"pCodigoEmpresa", "1..2"}, {"pCodigoGrupoProc", "7"}});
  TnClientDataSet& reg1 = DataSet(dm, "cdsDIRFReg1");
  EXPECT_EQ(Linhas(reg1, "NomeEstab"), (Lista{"1/Um", "2/Dois", "3/Três"})) << "group 7 adds 3";
  EXPECT_EQ(reg1.FieldByName("AnoBase").DataType(), TFieldType::Date);

  TnClientDataSet& reg2 = DataSet(dm, "cdsDIRFReg2");
  EXPECT_EQ(Linhas(reg2, "CodigoRetencao"),
            (Lista{"1/561", "1/588", "1/1708", "1/5952", "2/561", "3/561"}));
  TnClientDataSet& det = DataSet(dm, "cdsDIRFReg2Det");
  EXPECT_EQ(Linhas(det, "Mes"), (Lista{"1/1", "1/13", "1/1"})) << "month 13 included, 2023 not";
  det.Last();
  EXPECT_DOUBLE_EQ(det.FieldByName("PIS").AsFloat() + det.FieldByName("COFINS").AsFloat() +
                       det.FieldByName("CSLL").AsFloat(),
                   37.2);

  DefinirUsuarioAtual(5);
  EXPECT_EQ(Linhas(DataSet(Executar(), "cdsDIRFReg1"), "NomeEstab"), (Lista{"2/Dois"}))
      << "only the companies the user may see";
  DefinirUsuarioAtual(std::nullopt);
}

TEST_F(PayrollWithholdingData, BitsOfTheOptionsChooseTheRecords) {
  const struct {
    const char* gerar;
    const char* gerar_irrf;
    Lista codigos;
  } cases[] = {
      {"7", "3", {"1/561", "1/588", "1/1708", "1/5952"}},
      {"1", "0", {"1/5952"}},
      {"2", "1", {"1/561"}},
      {"2", "2", {"1/588"}},
      {"4", "2", {"1/1708"}},
      {"4", "1", {}},
      {"6", "3", {"1/561", "1/588", "1/1708"}},
      {"7", "0", {"1/5952"}},
      {"0", "3", {}},
  };
  for (const auto& c : cases) {
    for (const char* conflito : {"1", "2", "3"}) {
      TnDMPowerParam& dm = Executar({{"pCodigoEmpresa", "1"},
                                     {"pGerar", c.gerar},
                                     {"pGerarIRRF", c.gerar_irrf},
                                     {"pGerarConflito", conflito}});
      const std::string caso = std::string("pGerar ") + c.gerar + ", pGerarIRRF " + c.gerar_irrf +
                               ", pGerarConflito " + conflito;
      EXPECT_EQ(Linhas(DataSet(dm, "cdsDIRFReg2"), "CodigoRetencao"), c.codigos) << caso;
      EXPECT_EQ(DataSet(dm, "cdsDIRFReg1").RecordCount(), 1) << caso << ": declarant kept";
    }
  }
}

TEST_F(PayrollWithholdingData, RefusesWhatItCannotDoNamingTheParameter) {
  const struct {
    const char* param;
    const char* value;
    const char* message;
  } cases[] = {
      {"pGravarBD", "1",
       "Parâmetro pGravarBD de TPayrollWithholdingData: '1' não é aceito: o host de referência "
       "não grava a declaração (use 0)."},
      {"pAnoBase", "2024", "Parâmetro pAnoBase de TPayrollWithholdingData: '2024' não é uma data"},
      {"pGerar", "8",
       "Parâmetro pGerar de TPayrollWithholdingData: '8' fora do intervalo de 0 a 7."},
      {"pGerarConflito", "0", "Parâmetro pGerarConflito de TPayrollWithholdingData: '0' fora do"},
      {"pCodigoEmpresa", "1..", "Parâmetro pCodigoEmpresa de TPayrollWithholdingData: Seleção"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Erro({{c.param, c.value}}).rfind(c.message, 0), 0u)
        << c.param << " = '" << c.value << "': " << Erro({{c.param, c.value}});
  }
}

}  // namespace
}  // namespace nrw
