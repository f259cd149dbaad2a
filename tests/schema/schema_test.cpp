// The embedded schemas apply to a fresh database and carry what the reports read; the PostgreSQL
// script mirrors the SQLite one.
#include "schema/schema.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <regex>
#include <string>

#include "nrw/core.h"
#include "support/fixture_db.h"

namespace nrw {
namespace {

using support::Backend;
using support::FixtureDb;

class SchemaOn : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    if (!support::Available(GetParam())) GTEST_SKIP() << "NRW_TEST_PG não definido";
    db_ = FixtureDb::Empty(GetParam());
  }
  std::unique_ptr<FixtureDb> db_;
};

TEST_P(SchemaOn, AppliesToFreshDatabaseOnceOnly) {
  TnConnection& conn = db_->Connection();
  EXPECT_FALSE(EsquemaPresente(conn));
  ASSERT_NO_THROW(CriarEsquema(conn));
  EXPECT_TRUE(EsquemaPresente(conn));
  // A second run meets existing tables: the error must surface, not be swallowed.
  EXPECT_THROW(CriarEsquema(conn), Exception);
  // Dropped, it applies again, and what else the database holds stays.
  conn.ExecuteScript("CREATE TABLE OUTRA (X INTEGER)");
  ASSERT_NO_THROW(RemoverEsquema(conn));
  EXPECT_FALSE(EsquemaPresente(conn));
  ASSERT_NO_THROW(CriarEsquema(conn));
  EXPECT_NO_THROW(conn.ExecuteScript("DROP TABLE OUTRA"));
}

// Each script's statements by object ("TABLE EMPRESA"), comments and blanks gone.
std::map<std::string, std::string> Statements(std::string_view script) {
  static const std::regex comment("--[^\n]*"), blanks("\\s+"),
      object(R"(^CREATE (UNIQUE )?(TABLE|VIEW|INDEX) (\w+))");
  std::string text = std::regex_replace(std::string(script), comment, "");
  text = std::regex_replace(text, blanks, " ");
  std::map<std::string, std::string> statements;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    std::string statement = text.substr(start, end - start);
    statement.erase(0, statement.find_first_not_of(' '));
    statement.erase(statement.find_last_not_of(' ') + 1);
    std::smatch match;
    if (std::regex_search(statement, match, object)) {
      statements[match[2].str() + " " + match[3].str()] = statement;
    } else if (!statement.empty()) {
      statements["? " + statement] = statement;
    }
    start = end + 1;
  }
  return statements;
}

// The PostgreSQL script is the SQLite one under two rules: INTEGER columns are BIGINT, VARCHAR and
// TEXT columns COLLATE "C". A table added to one script and not to the other fails here.
TEST(Schema, PostgreSQLScriptMirrorsTheSQLiteOne) {
  static const std::regex integer(R"(\bINTEGER\b)"), text(R"((VARCHAR\(\d+\)|\bTEXT\b))");
  std::map<std::string, std::string> expected = Statements(EsquemaSQLite());
  for (auto& [object, statement] : expected) {
    if (object.rfind("TABLE ", 0) != 0) continue;
    statement = std::regex_replace(statement, integer, "BIGINT");
    statement = std::regex_replace(statement, text, "$1 COLLATE \"C\"");
  }
  const std::map<std::string, std::string> actual = Statements(EsquemaPostgreSQL());
  for (const auto& [object, statement] : expected) {
    const auto found = actual.find(object);
    if (found == actual.end()) {
      ADD_FAILURE() << object << " falta em schema/postgresql.sql:\n" << statement;
    } else {
      EXPECT_EQ(found->second, statement) << object << " difere entre os dois esquemas";
    }
  }
  for (const auto& [object, statement] : actual) {
    EXPECT_TRUE(expected.count(object)) << object << " existe só em schema/postgresql.sql";
  }
  EXPECT_GT(expected.size(), 50u);
}

TEST(Schema, EmbeddedTextIsTheWholeScript) {
  const std::string_view sql = EsquemaSQLite();
  EXPECT_EQ(sql.substr(0, 3), "-- ");
  EXPECT_NE(sql.find("CREATE TABLE DIRFREG2 ("), std::string_view::npos);
  EXPECT_NE(sql.find("CREATE INDEX IX_PESSOA_INSCRPROD"), std::string_view::npos);
}

// One statement of each family the reports send, as the SQL layer receives them.
TEST_P(SchemaOn, RepresentativeStatementsPrepareAndRun) {
  TnConnection* conn = &db_->Connection();
  CriarEsquema(*conn);
  conn->ExecuteScript(
      "INSERT INTO DIRFREG2 (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, INSCRFEDERALBENEF, "
      "CODIGORETENCAO, TIPOINFORME) VALUES (1, '2023-01-01', 1, '123.456.789-09', 561, 1);"
      "INSERT INTO DIRFREG2DET (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, INSCRFEDERALBENEF, "
      "CODIGORETENCAO, MES, DIARIAS) VALUES (1, '2023-01-01', 1, '123.456.789-09', 561, 3, 10);");
  struct Case {
    const char* name;
    const char* sql;
    size_t rows;
  };
  const Case cases[] = {
      {"exempt detail with defaulted amounts",
       "SELECT DET.MES FROM DIRFREG2DET DET WHERE DET.ANOBASE = :PANOBASE AND (DET.DIARIAS + "
       "DET.INDENIZACAO + DET.ABONOPECUNIARIO + DET.APOSENT65 + DET.VALORMEDICORESIDENTE) > 0",
       1},
      {"sums per beneficiary",
       "SELECT D.CODIGOEMPRESA, SUM(D.Aposentadoria + D.Diarias + D.Invalidez + D.Lucrodivid1996 "
       "+ D.VlrPagoSocioPqEmp + D.Indenizacao + D.OutrosRendIsento + D.Valor13 + D.ValorOutros + "
       "D.JurosCapitalProprio) as ValorMontanteFunc FROM DIRFREG2 D WHERE D.ANOBASE = :pANOBASE "
       "GROUP BY D.CODIGOEMPRESA ORDER BY 1",
       1},
      {"income received cumulatively",
       "SELECT * FROM DIRFRENDRECEBACUM I WHERE I.ANOBASE = :pAnoBase ORDER BY I.CODIGOEMPRESA, "
       "I.ANOBASE, I.INSCRFEDERALBENEF, I.SEQ",
       0},
      {"latest contract before the end of the year",
       "SELECT FC.CODIGOFUNCCONTR FROM FUNCPESSOA F JOIN FUNCCONTRATO FC ON FC.CODIGOFUNCPESSOA "
       "= F.CODIGOFUNCPESSOA AND FC.DATAADM = (SELECT MAX(FCS.DATAADM) FROM FUNCCONTRATO FCS "
       "WHERE FCS.CODIGOEMPRESA = FC.CODIGOEMPRESA AND FCS.DATAADM < "
       "{TIMESTAMPADD(YEAR, 1, :pAnoBase)})",
       0},
      {"partners still active",
       "SELECT S.CODIGOEMPRESA FROM SOCIO S WHERE EXTRACT(YEAR FROM S.DATAFIMSOCIO) > 2023", 0},
      {"employees of a company",
       " SELECT CPFFUNC ,CODIGOTIPOCONTR FROM FUNCIONARIO WHERE CODIGOEMPRESA = :pCodigoEmpresa "
       "ORDER BY 1, 2 ",
       0},
      {"payroll guides",
       "select PC.CodigoEmpresa, FL.CodigoEstab, coalesce(sum(FL.ValorSalContribTerc), 0) from "
       "PeriodoCalculo PC join DebitoGPS FL on FL.CodigoEmpresa = PC.CodigoEmpresa and "
       "FL.DataLctoCtr = PC.DataInicialFolha where FL.TipoGPS in (1, 2, 9, 10) group by "
       "PC.CodigoEmpresa, FL.CodigoEstab",
       0},
      {"establishment address",
       "select TL.DESCRTIPOLOGRAD, MU.NOMEMUNIC from ESTAB ES join Municipio MU on ES.CODIGOMUNIC "
       "= MU.CODIGOMUNIC and ES.SIGLAESTADO = MU.SIGLAESTADO join TIPOLOGRADOURO TL on "
       "TL.CODIGOTIPOLOGRAD = ES.CODIGOTIPOLOGRAD where INSCRFEDERAL = '11.111.111/0001-11'",
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<TnPreparedStatement> stmt;
    ASSERT_NO_THROW(stmt = conn->Prepare(c.sql));
    std::vector<Variant> values;
    for (const std::string& name : stmt->ParamNames()) {
      values.push_back(name == "pCodigoEmpresa" ? Variant(1) : Variant(EncodeDate(2023, 1, 1)));
    }
    const TDataSetRef rows = ExecutarSQL(c.sql, values, true, false, -1, "", conn);
    EXPECT_EQ(static_cast<size_t>(rows->RecordCount()), c.rows);
  }
}

// The contract type is a number: whether it was written '04' or 4, statements that compare it with
// '04' or with '4' (and '08' or '8') all leave it out.
TEST_P(SchemaOn, ContractTypeComparesAsANumberWithEitherLiteral) {
  TnConnection* conn = &db_->Connection();
  CriarEsquema(*conn);
  conn->ExecuteScript(
      "INSERT INTO TIPOCONTRATO VALUES (1, 'Empregado', '01'), (2, 'Diretor', '04'), "
      "(3, 'Diretor', 4), (4, 'Pró-labore', '08'), (5, 'Pró-labore', 8), (6, 'Aprendiz', '3')");
  for (const char* filter : {"TC.TipoContr <> '04' and TC.TipoContr <> '08'",
                             "TC.TipoContr <> '4' and TC.TipoContr <> '8'"}) {
    const TDataSetRef found =
        ExecutarSQL(std::string("select TC.CODIGOTIPOCONTR from TIPOCONTRATO TC where (") + filter +
                        ") order by 1",
                    std::vector<Variant>{}, true, false, -1, "", conn);
    TnClientDataSet& rows = *found;
    ASSERT_EQ(rows.RecordCount(), 2) << filter;
    EXPECT_EQ(rows.Fields(0).AsInteger(), 1) << filter;
    rows.Next();
    EXPECT_EQ(rows.Fields(0).AsInteger(), 6) << filter;
  }
}

NRW_ON_EVERY_DATABASE(SchemaOn);

}  // namespace
}  // namespace nrw
