// The demo database: it builds, its registration numbers are valid, its totals agree with their
// months, and every block the statements and the review print has data.
#include "demo/demo_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "demo/demo_data_internal.h"
#include "nrw/core.h"
#include "nrw/dataset.h"

namespace nrw {
namespace {

constexpr int kAno = 2024;

std::unique_ptr<TnConnection> BancoDemo(int extras = 0, uint32_t semente = 20240101) {
  auto conn = OpenSQLite(":memory:");
  CriarBancoDemo(*conn, {kAno, extras, semente});
  return conn;
}

TDataSetRef Consultar(TnConnection& conn, const std::string& sql,
                      const std::vector<Variant>& values = {}) {
  return ExecutarSQL(sql, values, true, false, -1, "", &conn);
}

int64_t Contar(TnConnection& conn, const std::string& sql) {
  const TDataSetRef rows = Consultar(conn, sql);
  return rows->IsEmpty() ? 0 : rows->Fields(0).AsInteger();
}

std::vector<std::string> Coluna(TnConnection& conn, const std::string& sql) {
  std::vector<std::string> valores;
  const TDataSetRef rows = Consultar(conn, sql);
  for (rows->First(); !rows->Eof(); rows->Next()) valores.push_back(rows->Fields(0).AsString());
  return valores;
}

// Check digits written out independently of the generator: weights 2.. from the right, mod 11.
bool DigitosConferem(const std::string& digitos, size_t corpo, bool cnpj) {
  for (size_t dv = corpo; dv < corpo + 2; ++dv) {
    int soma = 0;
    int peso = 2;
    for (size_t i = dv; i-- > 0;) {
      soma += (digitos[i] - '0') * peso;
      peso = cnpj && peso == 9 ? 2 : peso + 1;
    }
    const int esperado = soma % 11 < 2 ? 0 : 11 - soma % 11;
    if (digitos[dv] - '0' != esperado) return false;
  }
  return true;
}

// CEI: weights 7 4 1 8 5 2 1 6 3 7 4; the digit completes the units of (tens + units of the sum)
// to 10.
bool DigitoCEIConfere(const std::string& digitos) {
  int soma = 0;
  size_t i = 0;
  for (const int peso : {7, 4, 1, 8, 5, 2, 1, 6, 3, 7, 4}) soma += (digitos[i++] - '0') * peso;
  return digitos[11] - '0' == (10 - (soma / 10 % 10 + soma % 10) % 10) % 10;
}

bool InscricaoValida(const std::string& texto) {
  std::string digitos;
  std::string mascara;
  for (const char c : texto) {
    const bool digito = c >= '0' && c <= '9';
    if (digito) digitos += c;
    mascara += digito ? '0' : c;
  }
  if (mascara == "000.000.000-00") return DigitosConferem(digitos, 9, false);
  if (mascara == "00.000.000/0000-00") return DigitosConferem(digitos, 12, true);
  if (mascara == "00.000.00000/00") return DigitoCEIConfere(digitos);
  return false;
}

class DemoData : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { conn_ = BancoDemo().release(); }
  static void TearDownTestSuite() {
    delete conn_;
    conn_ = nullptr;
  }
  static TnConnection& Conn() { return *conn_; }

 private:
  static TnConnection* conn_;
};
TnConnection* DemoData::conn_ = nullptr;

TEST(DemoDataChecks, InscricaoValidaRejectsWrongDigitsAndFormats) {
  EXPECT_TRUE(InscricaoValida("111.444.777-35"));
  EXPECT_FALSE(InscricaoValida("111.444.777-36"));
  EXPECT_FALSE(InscricaoValida("11144477735"));
  EXPECT_TRUE(InscricaoValida("11.222.333/0001-81"));
  EXPECT_FALSE(InscricaoValida("11.222.333/0001-18"));
  EXPECT_TRUE(InscricaoValida("11.111.11111/18"));
  EXPECT_FALSE(InscricaoValida("11.111.11111/15"));
}

TEST_F(DemoData, EveryRegistrationNumberIsFormattedWithValidCheckDigits) {
  struct Fonte {
    const char* tabela;
    const char* coluna;
  };
  const Fonte fontes[] = {
      {"ESTAB", "INSCRFEDERAL"},
      {"SOCIO", "INSCRFEDERAL"},
      {"CONTADOR", "INSCRFEDERAL"},
      {"FUNCPESSOA", "CPFFUNC"},
      {"TERCEIRO", "CPFTERC"},
      {"DIRFREG1", "INSCRFEDERAL"},
      {"DIRFREG1", "CPFRESPCNPJ"},
      {"DIRFREG1", "CPFRESP"},
      {"DIRFREGBENEFICIARIO", "INSCRFEDERALBENEF"},
      {"DIRFREG2", "INSCRFEDERALBENEF"},
      {"DIRFREG2DET", "INSCRFEDERALBENEF"},
      {"DIRFPLANOSAUDE", "INSCRIFEDERALOPER"},
      {"DIRFPLANOSAUDEDEPEND", "CPFDEPENDENTE"},
      {"DIRFRENDRECEBACUM", "INSCRFEDERALADV"},
      {"DIRFRENDRECEBACUMDEPEND", "CPF"},
      {"INFORMERENDIMENTOFUNC", "CPF"},
      {"DIRFSCPSOCIO", "INSCRFEDERALDIRFSCP"},
      {"DIRFSCPSOCIO", "INSCRFEDERALSOCIO"},
  };
  for (const Fonte& fonte : fontes) {
    const std::vector<std::string> valores =
        Coluna(Conn(), std::string("SELECT DISTINCT ") + fonte.coluna + " FROM " + fonte.tabela +
                           " WHERE " + fonte.coluna + " IS NOT NULL");
    EXPECT_FALSE(valores.empty()) << fonte.tabela << "." << fonte.coluna;
    for (const std::string& valor : valores) {
      EXPECT_TRUE(InscricaoValida(valor)) << fonte.tabela << "." << fonte.coluna << " " << valor;
    }
  }
  // Beneficiary numbers agree with their type, so that joins on the formatted text work.
  EXPECT_EQ(Contar(Conn(),
                   "SELECT COUNT(*) FROM DIRFREGBENEFICIARIO WHERE (TIPOINSCRBENEF = 1 AND "
                   "LENGTH(INSCRFEDERALBENEF) <> 14) OR (TIPOINSCRBENEF = 2 AND "
                   "LENGTH(INSCRFEDERALBENEF) <> 18)"),
            0);
  EXPECT_EQ(Contar(Conn(), "SELECT COUNT(*) - COUNT(DISTINCT CPFFUNC) FROM FUNCPESSOA"), 0);
}

TEST_F(DemoData, CountsPerTableAreAsDesigned) {
  struct Caso {
    const char* tabela;
    int64_t linhas;
  };
  const Caso casos[] = {
      {"EMPRESA", 5},
      {"ESTAB", 9},
      {"SOCIO", 10},
      {"CONTRATOSOCIAL", 6},
      {"CONTRSOCIALSOCIO", 13},
      {"CONTADOR", 2},
      {"CFGEMPRESAGEM", 5},
      {"GRUPOEMPRESA", 2},
      {"USUARIOEMPRESA", 3},
      {"TIPOCONTRATO", 6},
      {"RENDIMENTOANUAL", 2},
      {"ESTADO", 4},
      {"MUNICIPIO", 11},
      {"TIPOLOGRADOURO", 6},
      {"PESSOA", 6},
      {"FUNCPESSOA", 40},
      {"FUNCCONTRATO", 41},
      {"FUNCLOCAL", 46},
      {"FUNCIONARIO", 41},
      {"TERCEIRO", 10},
      {"DIRFREG1", 9},
      {"DIRFPLANOSAUDE", 5},
      {"DIRFPLANOSAUDEDEPEND", 5},
      {"INFORMERENDIMENTOFUNC", 4},
      {"INFORMERENDIMENTOISENTO", 2},
      {"INFORMERENDIMENTOEVENTO", 3},
      {"INFORMERENDIMENTOOUTREND", 6},
      {"DIRFRENDRECEBACUM", 2},
      {"DIRFRENDRECEBACUMDET", 3},
      {"DIRFRENDRECEBACUMDEPEND", 4},
      {"DIRFSCPSOCIO", 1},
      {"DIRFSCPSOCIODETALHE", 4},
      {"PERIODOCALCULO", 48},
  };
  for (const Caso& caso : casos) {
    EXPECT_EQ(Contar(Conn(), std::string("SELECT COUNT(*) FROM ") + caso.tabela), caso.linhas)
        << caso.tabela;
  }
  // Beneficiaries per year: employees with income, third parties and other companies; company 4
  // declares in the main year without beneficiaries; company 5 declares in the main year only.
  EXPECT_EQ(Contar(Conn(), "SELECT COUNT(*) FROM DIRFREGBENEFICIARIO WHERE ANOBASE = '2024-01-01'"),
            52);
  EXPECT_EQ(Contar(Conn(), "SELECT COUNT(*) FROM DIRFREGBENEFICIARIO WHERE ANOBASE = '2023-01-01'"),
            51);
}

// The planner knows the data it plans for: the statistics count these rows, not the office the
// schema ships statistics for.
TEST_F(DemoData, StatisticsAreMeasuredOnTheData) {
  for (const char* tabela : {"EMPRESA", "DIRFREG1", "DIRFREG2", "FUNCCONTRATO"}) {
    const std::vector<std::string> stats =
        Coluna(Conn(), std::string("SELECT stat FROM sqlite_stat1 WHERE tbl = '") + tabela + "'");
    ASSERT_FALSE(stats.empty()) << tabela;
    const int64_t linhas = Contar(Conn(), std::string("SELECT COUNT(*) FROM ") + tabela);
    for (const std::string& stat : stats) {
      EXPECT_EQ(stat.substr(0, stat.find(' ')), std::to_string(linhas)) << tabela;
    }
  }
}

TEST_F(DemoData, BothBaseYearsHaveDeclarantsRecordsAndLimits) {
  for (const auto& [ano, declarantes] : {std::pair{"2023-01-01", 4}, std::pair{"2024-01-01", 5}}) {
    const std::string filtro = std::string(" WHERE ANOBASE = '") + ano + "'";
    EXPECT_EQ(Contar(Conn(), "SELECT COUNT(*) FROM DIRFREG1" + filtro), declarantes) << ano;
    EXPECT_GT(Contar(Conn(), "SELECT COUNT(*) FROM DIRFREG2" + filtro), 40) << ano;
    EXPECT_GT(Contar(Conn(), "SELECT COUNT(*) FROM DIRFREG2DET" + filtro + " AND MES = 13"), 20)
        << ano;
    EXPECT_EQ(Contar(Conn(), std::string("SELECT COUNT(*) FROM RENDIMENTOANUAL WHERE ANO = '") +
                                 ano + "' AND LIMITETRIBUTAVEL > 0"),
              1)
        << ano;
  }
}

// Yearly columns are the sums of their months: income, tax, social security, alimony and private
// pension over months 1 to 12; the thirteenth salary is month 13; exempt columns over all months.
// A record without monthly rows has no amounts either.
TEST_F(DemoData, YearlyTotalsEqualTheSumOfTheirMonths) {
  const char* sql =
      "SELECT COUNT(*) FROM DIRFREG2 R LEFT JOIN ("
      " SELECT CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, INSCRFEDERALBENEF, CODIGORETENCAO,"
      "  SUM(CASE WHEN MES <= 12 THEN VALORRENDIMENTO ELSE 0 END) RENDIMENTO,"
      "  SUM(CASE WHEN MES <= 12 THEN VALORRETIDO ELSE 0 END) RETIDO,"
      "  SUM(CASE WHEN MES <= 12 THEN VALORPREVOFICIAL ELSE 0 END) PREVOFICIAL,"
      "  SUM(CASE WHEN MES <= 12 THEN VALORPREVPRIVADA ELSE 0 END) PREVPRIVADA,"
      "  SUM(CASE WHEN MES <= 12 THEN VALORPENSAOALIM ELSE 0 END) PENSAO,"
      "  SUM(CASE WHEN MES = 13 THEN VALORRENDIMENTO ELSE 0 END) DECIMO,"
      "  SUM(DIARIAS) DIARIAS, SUM(INDENIZACAO) INDENIZACAO, SUM(APOSENT65) APOSENT65"
      " FROM DIRFREG2DET GROUP BY 1, 2, 3, 4, 5) D"
      " ON D.CODIGOEMPRESA = R.CODIGOEMPRESA AND D.ANOBASE = R.ANOBASE AND D.TIPOINSCRBENEF ="
      " R.TIPOINSCRBENEF AND D.INSCRFEDERALBENEF = R.INSCRFEDERALBENEF AND D.CODIGORETENCAO ="
      " R.CODIGORETENCAO"
      " WHERE (D.CODIGOEMPRESA IS NULL AND R.VALORRENDIMENTO + R.VALORRETIDO + R.VALOR13 <> 0)"
      " OR ABS(R.VALORRENDIMENTO - D.RENDIMENTO) > 0.001 OR ABS(R.VALORRETIDO - D.RETIDO) > 0.001"
      " OR ABS(R.PREVIDENCIAOFICIAL - D.PREVOFICIAL) > 0.001"
      " OR ABS(R.PREVIDENCIAPRIVADA - D.PREVPRIVADA) > 0.001"
      " OR ABS(R.PENSAOALIMENTICIA - D.PENSAO) > 0.001 OR ABS(R.VALOR13 - D.DECIMO) > 0.001"
      " OR ABS(R.DIARIAS - D.DIARIAS) > 0.001 OR ABS(R.INDENIZACAO - D.INDENIZACAO) > 0.001"
      " OR ABS(R.APOSENTADORIA - D.APOSENT65) > 0.001";
  EXPECT_EQ(Contar(Conn(), sql), 0);
  // RRA sequences likewise, quantity of months included.
  EXPECT_EQ(Contar(Conn(),
                   "SELECT COUNT(*) FROM DIRFRENDRECEBACUM R JOIN (SELECT CODIGOEMPRESA, ANOBASE, "
                   "INSCRFEDERALBENEF, SEQ, SUM(RENDTRIBUTAVEL) RT, SUM(IMPOSTORETIDO) IR, "
                   "SUM(PENSAOALIMENTICIA) PA, SUM(DESPESAACAOJUD) DJ, SUM(QTDEMESES) QM FROM "
                   "DIRFRENDRECEBACUMDET GROUP BY 1, 2, 3, 4) D ON D.CODIGOEMPRESA = "
                   "R.CODIGOEMPRESA AND D.ANOBASE = R.ANOBASE AND D.INSCRFEDERALBENEF = "
                   "R.INSCRFEDERALBENEF AND D.SEQ = R.SEQ WHERE ABS(R.RENDTRIBUTAVEL - D.RT) < "
                   "0.001 AND ABS(R.IMPOSTORETIDO - D.IR) < 0.001 AND ABS(R.PENSAOALIMENTICIA - "
                   "D.PA) < 0.001 AND ABS(R.DESPESAACAOJUD - D.DJ) < 0.001 AND ABS(R.QTDEMESES - "
                   "D.QM) < 0.001"),
            2);
  // Itemised exempt income adds up to the record's OUTROSRENDISENTO.
  EXPECT_EQ(Contar(Conn(),
                   "SELECT COUNT(*) FROM DIRFREG2 R JOIN (SELECT CODIGOEMPRESA, ANOBASE, "
                   "INSCRFEDERALBENEF, CODIGORETENCAO, SUM(VALOR) V FROM INFORMERENDIMENTOISENTO "
                   "GROUP BY 1, 2, 3, 4) I ON I.CODIGOEMPRESA = R.CODIGOEMPRESA AND I.ANOBASE = "
                   "R.ANOBASE AND I.INSCRFEDERALBENEF = R.INSCRFEDERALBENEF AND I.CODIGORETENCAO "
                   "= R.CODIGORETENCAO WHERE ABS(R.OUTROSRENDISENTO - I.V) < 0.001"),
            1);
}

TEST_F(DemoData, EveryRecordBelongsToADeclaredBeneficiaryAndDeclarant) {
  EXPECT_EQ(
      Contar(Conn(),
             "SELECT COUNT(*) FROM DIRFREG2 R LEFT JOIN DIRFREGBENEFICIARIO B ON "
             "B.CODIGOEMPRESA = R.CODIGOEMPRESA AND B.ANOBASE = R.ANOBASE AND "
             "B.TIPOINSCRBENEF = R.TIPOINSCRBENEF AND B.INSCRFEDERALBENEF = "
             "R.INSCRFEDERALBENEF LEFT JOIN DIRFREG1 D ON D.CODIGOEMPRESA = R.CODIGOEMPRESA "
             "AND D.ANOBASE = R.ANOBASE WHERE B.NOMEBENEF IS NULL OR D.CODIGOEMPRESA IS NULL"),
      0);
  // Employees' records tie to a person and a contract of the company (the statements join them).
  EXPECT_EQ(Contar(Conn(),
                   "SELECT COUNT(*) FROM DIRFREG2 R WHERE R.TIPOINFORME = 1 AND NOT EXISTS (SELECT "
                   "1 FROM FUNCPESSOA P JOIN FUNCCONTRATO C ON C.CODIGOFUNCPESSOA = "
                   "P.CODIGOFUNCPESSOA WHERE P.CPFFUNC = R.INSCRFEDERALBENEF AND C.CODIGOEMPRESA = "
                   "R.CODIGOEMPRESA)"),
            0);
  EXPECT_EQ(Contar(Conn(),
                   "SELECT COUNT(*) FROM ESTAB E LEFT JOIN MUNICIPIO M ON M.CODIGOMUNIC = "
                   "E.CODIGOMUNIC AND M.SIGLAESTADO = E.SIGLAESTADO LEFT JOIN TIPOLOGRADOURO T ON "
                   "T.CODIGOTIPOLOGRAD = E.CODIGOTIPOLOGRAD WHERE M.NOMEMUNIC IS NULL OR "
                   "T.DESCRTIPOLOGRAD IS NULL"),
            0);
}

// One query per situation that a printed block needs, each expected to find at least one row.
TEST_F(DemoData, TheMainYearHasEveryCaseTheReportsPrint) {
  struct Caso {
    const char* nome;
    const char* sql;
  };
  const Caso casos[] = {
      {"one beneficiary with codes 561 and 588",
       "SELECT A.INSCRFEDERALBENEF FROM DIRFREG2 A JOIN DIRFREG2 B ON B.CODIGOEMPRESA = "
       "A.CODIGOEMPRESA AND B.ANOBASE = A.ANOBASE AND B.INSCRFEDERALBENEF = A.INSCRFEDERALBENEF "
       "WHERE A.ANOBASE = '2024-01-01' AND A.CODIGORETENCAO = 561 AND B.CODIGORETENCAO = 588"},
      {"two codes with equal yearly income",
       "SELECT A.INSCRFEDERALBENEF FROM DIRFREG2 A JOIN DIRFREG2 B ON B.CODIGOEMPRESA = "
       "A.CODIGOEMPRESA AND B.ANOBASE = A.ANOBASE AND B.INSCRFEDERALBENEF = A.INSCRFEDERALBENEF "
       "AND B.CODIGORETENCAO > A.CODIGORETENCAO WHERE A.ANOBASE = '2024-01-01' AND "
       "A.VALORRENDIMENTO = B.VALORRENDIMENTO AND A.VALORRENDIMENTO > 0"},
      {"profit sharing beside salary",
       "SELECT A.INSCRFEDERALBENEF FROM DIRFREG2 A JOIN DIRFREG2 B ON B.CODIGOEMPRESA = "
       "A.CODIGOEMPRESA AND B.ANOBASE = A.ANOBASE AND B.INSCRFEDERALBENEF = A.INSCRFEDERALBENEF "
       "WHERE A.ANOBASE = '2024-01-01' AND A.CODIGORETENCAO = 3562 AND B.CODIGORETENCAO = 561"},
      {"profit sharing alone",
       "SELECT A.INSCRFEDERALBENEF FROM DIRFREG2 A WHERE A.ANOBASE = '2024-01-01' AND "
       "A.CODIGORETENCAO = 3562 AND A.VALORRETIDO > 0 AND NOT EXISTS (SELECT 1 FROM DIRFREG2 B "
       "WHERE B.CODIGOEMPRESA = A.CODIGOEMPRESA AND B.ANOBASE = A.ANOBASE AND "
       "B.INSCRFEDERALBENEF = A.INSCRFEDERALBENEF AND B.CODIGORETENCAO <> 3562)"},
      {"one beneficiary with two health-plan operators and dependents",
       "SELECT P.INSCRFEDERALBENEF FROM DIRFPLANOSAUDE P JOIN DIRFPLANOSAUDEDEPEND D ON "
       "D.CODIGOEMPRESA = P.CODIGOEMPRESA AND D.ANOBASE = P.ANOBASE AND D.INSCRFEDERALBENEF = "
       "P.INSCRFEDERALBENEF AND D.INSCRIFEDERALOPER = P.INSCRIFEDERALOPER WHERE P.ANOBASE = "
       "'2024-01-01' GROUP BY P.INSCRFEDERALBENEF HAVING COUNT(DISTINCT P.INSCRIFEDERALOPER) = 2"},
      {"holder and dependent reimbursements",
       "SELECT 1 FROM DIRFPLANOSAUDE P JOIN DIRFPLANOSAUDEDEPEND D ON D.INSCRFEDERALBENEF = "
       "P.INSCRFEDERALBENEF WHERE P.ANOBASE = '2024-01-01' AND P.VALORPAGOREEMBOLSOANO > 0 AND "
       "D.VALORPAGOREEMBOLSOANOANT > 0"},
      {"alimony recipient without CPF",
       "SELECT NOME FROM INFORMERENDIMENTOFUNC WHERE ANOBASE = '2024-01-01' AND CPF IS NULL AND "
       "VALORNORMAL > 0 AND VALOR13 > 0"},
      {"alimony of income received cumulatively",
       "SELECT NOME FROM DIRFRENDRECEBACUMDEPEND WHERE ANOBASE = '2024-01-01' AND VALORNORMAL > 0"},
      {"two lawsuits of one beneficiary, 14.5 months",
       "SELECT INSCRFEDERALBENEF FROM DIRFRENDRECEBACUM WHERE ANOBASE = '2024-01-01' GROUP BY 1 "
       "HAVING COUNT(*) = 2 AND MAX(QTDEMESES) = 14.5"},
      {"medical expenses",
       "SELECT 1 FROM INFORMERENDIMENTOEVENTO E JOIN DIRFREG2 D ON D.CODIGOEMPRESA = "
       "E.CODIGOEMPRESA AND D.ANOBASE = E.ANOBASE AND D.INSCRFEDERALBENEF = E.INSCRFEDERALBENEF "
       "AND D.CODIGORETENCAO = E.CODIGORETENCAO WHERE E.ANOBASE = '2024-01-01'"},
      {"vacation days sold",
       "SELECT 1 FROM DIRFREG2DET WHERE ANOBASE = '2024-01-01' AND ABONOPECUNIARIO > 0"},
      {"resident physician's grant",
       "SELECT 1 FROM DIRFREG2DET WHERE ANOBASE = '2024-01-01' AND VALORMEDICORESIDENTE > 0"},
      {"sports-event volunteer",
       "SELECT 1 FROM DIRFREG2DET WHERE ANOBASE = '2024-01-01' AND VALORVOLUNTARIOCOPA > 0"},
      {"retiree over 65",
       "SELECT 1 FROM DIRFREG2DET WHERE ANOBASE = '2024-01-01' AND APOSENT65 > 0 AND MES = 13"},
      {"one described exempt item",
       "SELECT 1 FROM DIRFREG2 WHERE ANOBASE = '2024-01-01' AND DESCROUTRENDISENTO IS NOT NULL "
       "AND OUTROSRENDISENTO > 0"},
      {"exempt income only in month 13",
       "SELECT INSCRFEDERALBENEF FROM DIRFREG2DET WHERE ANOBASE = '2024-01-01' AND (DIARIAS + "
       "INDENIZACAO + ABONOPECUNIARIO + APOSENT65 + VALORMEDICORESIDENTE) > 0 GROUP BY "
       "CODIGOEMPRESA, INSCRFEDERALBENEF, CODIGORETENCAO HAVING MIN(MES) = 13"},
      {"simplified monthly discount",
       "SELECT 1 FROM DIRFREG2DET WHERE ANOBASE = '2024-01-01' AND DESCONTOSIMPLIFICADO > 0"},
      {"partner who is a beneficiary, with quotas and articles changed in the year",
       "SELECT S.INSCRFEDERAL FROM SOCIO S JOIN DIRFREG2 D ON D.CODIGOEMPRESA = S.CODIGOEMPRESA "
       "AND D.INSCRFEDERALBENEF = S.INSCRFEDERAL JOIN CONTRSOCIALSOCIO C ON C.CODIGOEMPRESA = "
       "S.CODIGOEMPRESA AND C.CODIGOSOCIO = S.CODIGOSOCIO WHERE D.ANOBASE = '2024-01-01' AND "
       "S.QUANTCOTAS > 0 AND S.DATAFIMSOCIO = '2100-12-31' AND C.DATACONTRATO BETWEEN "
       "'2024-01-01' AND '2024-12-31' AND D.LUCRODIVID1996 > 0"},
      {"silent-partnership partner who is a beneficiary",
       "SELECT 1 FROM DIRFSCPSOCIO S JOIN DIRFREG2 D ON D.CODIGOEMPRESA = S.CODIGOEMPRESA AND "
       "D.ANOBASE = S.ANOBASE AND D.INSCRFEDERALBENEF = S.INSCRFEDERALSOCIO WHERE S.ANOBASE = "
       "'2024-01-01'"},
      {"described other income of a partner",
       "SELECT 1 FROM INFORMERENDIMENTOOUTREND WHERE CAMPOINFORME = 5 AND CODIGOSOCIO IS NOT NULL "
       "AND DATAPGTO LIKE '2024-%'"},
      {"described other income of an employee contract",
       "SELECT 1 FROM INFORMERENDIMENTOOUTREND WHERE CAMPOINFORME = 5 AND CODIGOFUNCCONTR IS NOT "
       "NULL AND DATAPGTO LIKE '2024-%'"},
      {"described other income of a third party",
       "SELECT 1 FROM INFORMERENDIMENTOOUTREND I JOIN TERCEIRO T ON T.CODIGOTERC = I.CODIGOTERC "
       "WHERE I.CAMPOINFORME = 5 AND I.DATAPGTO LIKE '2024-%'"},
      {"other income of another field",
       "SELECT 1 FROM INFORMERENDIMENTOOUTREND WHERE CAMPOINFORME <> 5"},
      {"multi-line other information",
       "SELECT 1 FROM DIRFREG2 WHERE ANOBASE = '2024-01-01' AND OUTRASINFORMACOES LIKE '%' || "
       "CHAR(10) || '%'"},
      {"contract left out of the portal list 0;1",
       "SELECT 1 FROM FUNCCONTRATO C JOIN FUNCPESSOA P ON P.CODIGOFUNCPESSOA = C.CODIGOFUNCPESSOA "
       "JOIN DIRFREG2 D ON D.INSCRFEDERALBENEF = P.CPFFUNC WHERE C.UTILIZABREVIX = '2' AND "
       "D.ANOBASE = '2024-01-01'"},
      {"declarant without beneficiaries",
       "SELECT 1 FROM DIRFREG1 R WHERE R.ANOBASE = '2024-01-01' AND NOT EXISTS (SELECT 1 FROM "
       "DIRFREG2 D WHERE D.CODIGOEMPRESA = R.CODIGOEMPRESA AND D.ANOBASE = R.ANOBASE)"},
      {"third party without tax and below the limits",
       "SELECT 1 FROM DIRFREG2 D JOIN RENDIMENTOANUAL L ON L.ANO = D.ANOBASE WHERE D.ANOBASE = "
       "'2024-01-01' AND D.TIPOINFORME = 2 AND D.VALORRETIDO = 0 AND D.VALORRENDIMENTO < "
       "L.LIMITETRIBUTAVEL"},
      {"director (contract type 4)",
       "SELECT 1 FROM FUNCCONTRATO C JOIN TIPOCONTRATO T ON T.CODIGOTIPOCONTR = "
       "C.CODIGOTIPOCONTR WHERE T.TIPOCONTR = '4'"},
      {"employee moved between establishments in the year",
       "SELECT CODIGOFUNCCONTR FROM FUNCLOCAL WHERE DATATRANSF LIKE '2024-%' AND CODIGOFUNCCONTR "
       "IN (SELECT CODIGOFUNCCONTR FROM FUNCLOCAL WHERE DATATRANSF < '2024-01-01')"},
      {"person readmitted in the same company",
       "SELECT CODIGOFUNCPESSOA FROM FUNCCONTRATO GROUP BY CODIGOEMPRESA, CODIGOFUNCPESSOA "
       "HAVING COUNT(*) = 2"},
      {"other companies with contributions withheld",
       "SELECT 1 FROM DIRFREG2DET WHERE ANOBASE = '2024-01-01' AND CODIGORETENCAO = 5952 AND PIS "
       "> 0 AND COFINS > 0 AND CSLL > 0"},
      {"payroll events of the year",
       "SELECT 1 FROM CALCULOEVENTO C JOIN EVENTO E ON E.CODIGOEVENTO = C.CODIGOEVENTO WHERE "
       "E.CODIGOESTRUT = '98.01.07'"},
      {"payroll in eleven months and the thirteenth salary in December",
       "SELECT CODIGOEMPRESA FROM PERIODOCALCULO GROUP BY CODIGOEMPRESA HAVING COUNT(DISTINCT "
       "CASE WHEN CODIGOTIPOCALC = 1 THEN COMPET END) = 11 AND SUM(CODIGOTIPOCALC = 21) = 1"},
      {"termination with notice paid in lieu, its FGTS and the FGTS fine",
       "SELECT C.CODIGOFUNCCONTR FROM CALCULOEVENTO C JOIN EVENTO E ON E.CODIGOEVENTO = "
       "C.CODIGOEVENTO WHERE E.CODIGOESTRUT IN ('05.08.01', '98.01.02', '98.01.07') GROUP BY "
       "C.CODIGOEMPRESA, C.CODIGOFUNCCONTR HAVING COUNT(*) = 3"},
      {"self-employed providers on the guide",
       "SELECT 1 FROM DEBITOGPS WHERE VALORSALCONTRIBTERC > 0 AND TIPOGPS = 1"},
      {"guide in an instalment plan in a month with a termination",
       "SELECT 1 FROM DEBITOGPS G JOIN IMPOSTOCALCULO I ON I.CODIGOEMPRESA = G.CODIGOEMPRESA AND "
       "I.CODIGOESTAB = G.CODIGOESTAB JOIN PERIODOCALCULO P ON P.CODIGOEMPRESA = I.CODIGOEMPRESA "
       "AND P.CODIGOPERCALCULO = I.CODIGOPERCALCULO AND P.DATAINICIALFOLHA = G.DATALCTOCTR JOIN "
       "FUNCCONTRATO C ON C.CODIGOEMPRESA = I.CODIGOEMPRESA AND C.CODIGOFUNCCONTR = "
       "I.CODIGOFUNCCONTR WHERE G.FORMADEBITO = 2 AND C.DATADEM BETWEEN P.DATAINICIALFOLHA AND "
       "P.DATAFINALFOLHA"},
      {"branch closed in the year, with payroll while it was open",
       "SELECT 1 FROM ESTAB E JOIN FUNCLOCAL L ON L.CODIGOEMPRESA = E.CODIGOEMPRESA AND "
       "L.CODIGOESTAB = E.CODIGOESTAB AND L.DATATRANSF BETWEEN E.DATAINICIOATIV AND "
       "E.DATAENCERATIV WHERE E.DATAENCERATIV LIKE '2024-%'"},
      {"pro-labore contract with payroll",
       "SELECT 1 FROM CALCULOEVENTO C JOIN FUNCCONTRATO F ON F.CODIGOEMPRESA = C.CODIGOEMPRESA "
       "AND F.CODIGOFUNCCONTR = C.CODIGOFUNCCONTR JOIN TIPOCONTRATO T ON T.CODIGOTIPOCONTR = "
       "F.CODIGOTIPOCONTR WHERE T.TIPOCONTR = 8"},
      {"user with rights to some companies",
       "SELECT CODIGOUSUARIO FROM USUARIOEMPRESA GROUP BY 1 HAVING COUNT(*) = 2"},
      {"other company with month-13 rows under 1708 and 5952",
       "SELECT 1 FROM DIRFREG2DET D JOIN DIRFREG2 R ON R.CODIGOEMPRESA = D.CODIGOEMPRESA AND "
       "R.ANOBASE = D.ANOBASE AND R.INSCRFEDERALBENEF = D.INSCRFEDERALBENEF AND R.CODIGORETENCAO "
       "= D.CODIGORETENCAO WHERE D.ANOBASE = '2024-01-01' AND R.TIPOINFORME = 3 AND D.MES = 13 "
       "GROUP BY R.TIPOINFORME HAVING COUNT(DISTINCT D.CODIGORETENCAO) = 2"},
      {"other company withheld in month 13 only",
       "SELECT 1 FROM DIRFREG2 R JOIN DIRFREG2DET D ON D.CODIGOEMPRESA = R.CODIGOEMPRESA AND "
       "D.ANOBASE = R.ANOBASE AND D.INSCRFEDERALBENEF = R.INSCRFEDERALBENEF AND D.CODIGORETENCAO "
       "= R.CODIGORETENCAO WHERE R.ANOBASE = '2024-01-01' AND R.TIPOINFORME = 3 AND "
       "R.VALORRETIDO = 0 AND D.MES = 13 AND D.VALORRETIDO > 0"},
      {"other company with a record and no monthly rows",
       "SELECT 1 FROM DIRFREG2 R WHERE R.ANOBASE = '2024-01-01' AND R.TIPOINFORME = 3 AND NOT "
       "EXISTS (SELECT 1 FROM DIRFREG2DET D WHERE D.CODIGOEMPRESA = R.CODIGOEMPRESA AND "
       "D.ANOBASE = R.ANOBASE AND D.INSCRFEDERALBENEF = R.INSCRFEDERALBENEF AND "
       "D.CODIGORETENCAO = R.CODIGORETENCAO)"},
      {"payer registered by CEI, answered for by a partner, paying other companies",
       "SELECT 1 FROM ESTAB E JOIN CFGEMPRESAGEM C ON C.CODIGOEMPRESA = E.CODIGOEMPRESA JOIN "
       "SOCIO S ON S.CODIGOEMPRESA = C.CODIGOEMPRESA AND S.CODIGOSOCIO = C.SOCIORESPCNPJ JOIN "
       "DIRFREG2 R ON R.CODIGOEMPRESA = E.CODIGOEMPRESA WHERE E.CODIGOESTAB = 1 AND E.TIPOINSCR "
       "= 3 AND R.ANOBASE = '2024-01-01' AND R.TIPOINFORME = 3"},
      {"third parties at 6.000,00 and 6.000,01 without tax or exempt income",
       "SELECT 1 FROM DIRFREG2 WHERE ANOBASE = '2024-01-01' AND TIPOINFORME = 2 AND VALORRETIDO "
       "= 0 AND VALORRENDIMENTO IN (6000, 6000.01) GROUP BY TIPOINFORME HAVING COUNT(DISTINCT "
       "VALORRENDIMENTO) = 2"},
      {"payroll of a service taker registered by CEI, which is no establishment",
       "SELECT 1 FROM FUNCPERCALCULOTOMADOR F JOIN TOMADOR T ON T.CODIGOEMPRESA = "
       "F.CODIGOEMPRESA AND T.CODIGOTOMADOR = F.CODIGOTOMADOR JOIN PERIODOCALCULO P ON "
       "P.CODIGOEMPRESA = F.CODIGOEMPRESA AND P.CODIGOPERCALCULO = F.CODIGOPERCALCULO WHERE "
       "T.TIPOINSCR = 3 AND P.COMPET LIKE '2024-%' AND NOT EXISTS (SELECT 1 FROM ESTAB E WHERE "
       "E.INSCRFEDERAL = T.INSCRFEDERAL)"},
      {"pro-labore contract in a monthly payroll",
       "SELECT 1 FROM FUNCPERCALCULO F JOIN PERIODOCALCULO P ON P.CODIGOEMPRESA = "
       "F.CODIGOEMPRESA AND P.CODIGOPERCALCULO = F.CODIGOPERCALCULO JOIN FUNCCONTRATO C ON "
       "C.CODIGOEMPRESA = F.CODIGOEMPRESA AND C.CODIGOFUNCCONTR = F.CODIGOFUNCCONTR JOIN "
       "TIPOCONTRATO T ON T.CODIGOTIPOCONTR = C.CODIGOTIPOCONTR WHERE T.TIPOCONTR = 8 AND "
       "P.CODIGOTIPOCALC = 1"},
      {"establishments sharing a CNPJ root",
       "SELECT substr(INSCRFEDERAL, 1, 10) FROM ESTAB GROUP BY 1 HAVING COUNT(*) > 1"},
      {"state registration mask of RS",
       "SELECT 1 FROM ESTADO E JOIN PESSOA P ON P.SIGLAESTADO = E.SIGLAESTADO WHERE E.SIGLAESTADO "
       "= 'RS' AND LENGTH(P.INSCRPROD) = LENGTH(E.MASCINSCRESTAD)"},
  };
  for (const Caso& caso : casos) {
    EXPECT_GT(Consultar(Conn(), caso.sql)->RecordCount(), 0) << caso.nome;
  }
  const std::pair<int, int64_t> outras_empresas[] = {
      {1708, 4}, {5952, 3}, {5960, 1}, {5979, 1}, {5987, 1}};
  for (const auto& [codigo, registros] : outras_empresas) {
    EXPECT_EQ(Contar(Conn(),
                     "SELECT COUNT(*) FROM DIRFREG2 WHERE ANOBASE = '2024-01-01' AND "
                     "TIPOINFORME = 3 AND TIPOINSCRBENEF = 2 AND CODIGORETENCAO = " +
                         std::to_string(codigo)),
              registros)
        << codigo;
  }
}

// The statement's capital query, as the report sends it, sees the capital increase of the year.
TEST_F(DemoData, CapitalOfThePartnerChangedInTheYear) {
  const std::string sql =
      "select (CS.QUANTCOTAS * E.VALORNOMINALCOTAS) as valorcotas from SOCIO S join ESTAB E on "
      "E.CODIGOEMPRESA = S.CODIGOEMPRESA and CODIGOESTAB = 1 join CONTRATOSOCIAL C on "
      "E.CODIGOEMPRESA = C.CODIGOEMPRESA join CONTRSOCIALSOCIO CS on CS.CODIGOEMPRESA = "
      "S.CODIGOEMPRESA and CS.DATACONTRATO = C.DATACONTRATO and CS.CODIGOSOCIO = S.CODIGOSOCIO "
      "where S.CODIGOEMPRESA = :pCodigoEmpresa and S.INSCRFEDERAL = :pInscrFederal and "
      "C.DATACONTRATO = (select max(DATACONTRATO) from CONTRSOCIALSOCIO where CODIGOEMPRESA = "
      "E.CODIGOEMPRESA and CODIGOSOCIO = S.CODIGOSOCIO and DATACONTRATO between :pDataInicial "
      "and :pDataFinal) ";
  const std::string socio =
      Coluna(Conn(), "SELECT INSCRFEDERAL FROM SOCIO WHERE CODIGOEMPRESA = 1 AND CODIGOSOCIO = 1")
          .at(0);
  const TDataSetRef rows = Consultar(Conn(), sql, {1, socio, "2024-01-01", "2024-12-31"});
  ASSERT_EQ(rows->RecordCount(), 1);
  EXPECT_DOUBLE_EQ(rows->Fields(0).AsFloat(), 90000.0);
}

// The guide's records hang together: each establishment is found by its formatted CNPJ, every
// annex row carries its establishment's state registration, and the situations the guide prints
// differently are there (a producer not on record, one written without the mask, a guide whose
// annex 06 holds only the other establishment's rows).
TEST_F(DemoData, GuideRecordsBelongToTheirEstablishments) {
  EXPECT_EQ(Contar(Conn(),
                   "SELECT COUNT(*) FROM GIAB_TR001 G JOIN ESTAB E ON E.CODIGOEMPRESA = "
                   "G.CODIGOEMPRESA AND E.CODIGOESTAB = G.CODIGOESTAB AND E.INSCRFEDERAL = "
                   "G.Q01_CNPJ AND E.INSCRESTAD = G.Q01_CGCTE AND E.SIGLAESTADO = 'RS' WHERE "
                   "G.ANOBASE = '2024-01-01'"),
            2);
  for (const char* tabela : {"GIAB_TR910", "GIAB_TR920", "GIAB_TR941", "GIAB_TR942", "GIAB_TR950",
                             "GIAB_TR960", "GIAB_TR990"}) {
    EXPECT_EQ(Contar(Conn(), std::string("SELECT COUNT(*) FROM ") + tabela +
                                 " A LEFT JOIN GIAB_TR001 G ON G.CODIGOEMPRESA = A.CODIGOEMPRESA "
                                 "AND G.CODIGOESTAB = A.CODIGOESTAB AND G.ANOBASE = A.ANOBASE "
                                 "AND G.Q01_CGCTE = A.EMP_CGCTE WHERE G.CODIGOEMPRESA IS NULL"),
              0)
        << tabela;
  }
  EXPECT_EQ(Contar(Conn(),
                   "SELECT COUNT(*) FROM GIAB_TR910 A WHERE NOT EXISTS (SELECT 1 FROM PESSOA P "
                   "WHERE REPLACE(P.INSCRPROD, '/', '') = REPLACE(A.PRO_CGCTE, '/', ''))"),
            1);
  EXPECT_EQ(Contar(Conn(), "SELECT COUNT(*) FROM GIAB_TR910 WHERE PRO_CGCTE NOT LIKE '%/%'"), 1);
  EXPECT_EQ(Contar(Conn(), "SELECT COUNT(DISTINCT CODIGOESTAB) FROM GIAB_TR960"), 1);
}

// Tax of known competences, computed by hand from the published tables.
TEST(DemoTributos, MonthlyTablesOfTheirCompetence) {
  using demo::Reais;
  struct Caso {
    const char* nome;
    demo::Centavos obtido;
    demo::Centavos esperado;
  };
  const Caso casos[] = {
      {"INSS 5,000.00 in 2024", demo::InssEmpregado(Reais(5000), 2024, 3), Reais(518, 82)},
      {"INSS 3,000.00 in March 2023", demo::InssEmpregado(Reais(3000), 2023, 3), Reais(263, 33)},
      {"INSS above the 2024 ceiling", demo::InssEmpregado(Reais(20000), 2024, 6), Reais(908, 86)},
      {"self-employed INSS capped", demo::InssContribuinteIndividual(Reais(20000), 2024, 6),
       Reais(856, 46)},
      {"IRRF 5,000.00 in 2024 takes the simplified discount",
       demo::IrrfMensal(Reais(5000), {Reais(518, 82), 0, 0, 0}, 2024, 3).imposto, Reais(335, 15)},
      {"IRRF 3,000.00 in March 2023, before the simplified discount",
       demo::IrrfMensal(Reais(3000), {Reais(263, 33), 0, 0, 0}, 2023, 3).imposto, Reais(62, 45)},
      {"IRRF with two dependents keeps the legal deductions",
       demo::IrrfMensal(Reais(8000), {Reais(908, 85), 2 * demo::kDeducaoDependente, 0, 0}, 2024, 7)
           .imposto,
       Reais(949, 79)},
      {"IRRF below the exempt bracket", demo::IrrfMensal(Reais(2000), {}, 2024, 3).imposto, 0},
      {"PLR 10,200.00 in 2024", demo::IrrfPlr(Reais(10200), 2024, 3), Reais(230, 30)},
      {"RRA over 14.5 months in 2024", demo::IrrfRra(Reais(53222, 40), 145, 2024, 4),
       Reais(2452, 48)},
  };
  for (const Caso& caso : casos) EXPECT_EQ(caso.obtido, caso.esperado) << caso.nome;
  EXPECT_EQ(demo::IrrfMensal(Reais(5000), {Reais(518, 82), 0, 0, 0}, 2024, 3).desconto_simplificado,
            Reais(564, 80));
}

TEST(DemoDataBuild, SameSeedSameDataAndExtrasOnlyAdd) {
  const char* pessoas = "SELECT CPFFUNC || NOMEFUNC FROM FUNCPESSOA ORDER BY CODIGOFUNCPESSOA";
  const char* valores =
      "SELECT INSCRFEDERALBENEF || CODIGORETENCAO || MES || VALORRENDIMENTO || VALORRETIDO FROM "
      "DIRFREG2DET ORDER BY 1";
  auto a = BancoDemo();
  auto b = BancoDemo();
  EXPECT_EQ(Coluna(*a, pessoas), Coluna(*b, pessoas));
  EXPECT_EQ(Coluna(*a, valores), Coluna(*b, valores));
  EXPECT_NE(Coluna(*a, pessoas), Coluna(*BancoDemo(0, 7), pessoas));

  auto extras = BancoDemo(30);
  std::vector<std::string> fixos = Coluna(*extras, pessoas);
  EXPECT_EQ(fixos.size(), 70u);
  fixos.resize(40);
  EXPECT_EQ(fixos, Coluna(*a, pessoas));
  for (const char* ano : {"2023-01-01", "2024-01-01"}) {
    EXPECT_EQ(
        Contar(*extras,
               std::string("SELECT COUNT(*) FROM DIRFREG2 WHERE ANOBASE = '") + ano + "'") -
            Contar(*a, std::string("SELECT COUNT(*) FROM DIRFREG2 WHERE ANOBASE = '") + ano + "'"),
        30)
        << ano;
  }
}

TEST(DemoDataBuild, BadOptionsAndAFailedRunLeaveNothing) {
  auto conn = OpenSQLite(":memory:");
  try {
    CriarBancoDemo(*conn, {1900});
    ADD_FAILURE() << "year 1900 accepted";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("Ano-base inválido"), std::string::npos) << e.what();
  }
  EXPECT_THROW(CriarBancoDemo(*conn, {kAno, -1}), Exception);

  // A temporary table shadows one the generator fills, so the run fails half-way through the
  // inserts: the schema and the rows written before must be gone.
  conn->ExecuteScript("CREATE TEMP TABLE FUNCLOCAL (X INTEGER)");
  EXPECT_THROW(CriarBancoDemo(*conn, {kAno}), Exception);
  EXPECT_EQ(Contar(*conn, "SELECT COUNT(*) FROM sqlite_master"), 0);
  conn->ExecuteScript("DROP TABLE temp.FUNCLOCAL");

  CriarBancoDemo(*conn, {kAno});
  // A second run meets the existing schema: it fails and adds nothing.
  EXPECT_THROW(CriarBancoDemo(*conn, {kAno}), Exception);
  EXPECT_EQ(Contar(*conn, "SELECT COUNT(*) FROM EMPRESA"), 5);
}

}  // namespace
}  // namespace nrw
