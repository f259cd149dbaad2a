#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "data/data_store.h"
#include "data/dataset_builder.h"
#include "nrw/datetime.h"
#include "nrw/guards.h"
#include "nrw/sql.h"
#include "nrw/util.h"
#include "nrwhost/files.h"
#include "nrwhost/time_limit.h"
#include "sql/connection_key.h"
#include "sql/sql_observer.h"
#include "sql_fixture.h"
#include "support/temp_dir.h"

namespace nrw {
namespace {

using ::testing::HasSubstr;
// A braced list of one int would pick the overload without values (its first flag).
using Values = std::vector<Variant>;

class SqlExec : public SqlFixture {
 protected:
  void SetUp() override {
    SqlFixture::SetUp();
    // Rows deliberately out of order: the dataset must follow the statement's ORDER BY.
    Script(R"(
      create table DIRFREG2 (CODIGOEMPRESA INTEGER, ANOBASE DATE, INSCRFEDERALBENEF VARCHAR(14),
                             CODIGORETENCAO INTEGER, VALORRENDIMENTO NUMERIC(15,2),
                             TIPOINFORME INTEGER);
      insert into DIRFREG2 values (2, '2023-12-31', '333', 561, 100, 1);
      insert into DIRFREG2 values (1, '2023-12-31', '222', 561, 10.5, 1);
      insert into DIRFREG2 values (1, '2023-12-31', '111', 588, 200, 2);
      insert into DIRFREG2 values (1, '2022-12-31', '111', 561, 50, 1);
      insert into DIRFREG2 values (1, '2023-12-31', '111', 561, 300, 1);
      create table SOCIO (CODIGOEMPRESA INTEGER, INSCRFEDERAL VARCHAR(14), DATAFIMSOCIO DATE);
      insert into SOCIO values (1, '111', '2024-02-29'), (1, '222', '2023-01-31'),
                               (2, '333', null);
    )");
  }
  const TDateTime kAno2023 = EncodeDate(2023, 12, 31);
};

TEST_F(SqlExec, OneValueBindsEveryCaseOfAName) {
  TDataSetRef ds = ExecutarSQL(
      "select INSCRFEDERALBENEF from DIRFREG2 where ANOBASE = :pAnoBase and "
      "(ANOBASE = :PANOBASE or ANOBASE = :pANOBASE) and CODIGOEMPRESA = :pEmpresa order by 1",
      Values{kAno2023, 1});
  EXPECT_EQ(CDS(ds).RecordCount(), 3);
  EXPECT_EQ(CDS(ds).FieldByName("INSCRFEDERALBENEF").AsString(), "111");
}

TEST_F(SqlExec, WrongValueCountNamesTheParameters) {
  const std::string sql =
      "select 1 from DIRFREG2 where ANOBASE = :pAnoBase and CODIGOEMPRESA = :pAnoBase2 or "
      ":PANOBASE";
  const auto [message, detail] = DetailedErrorOf([&] { ExecutarSQL(sql, {kAno2023}); });
  EXPECT_THAT(message, HasSubstr("A instrução espera 2 parâmetro(s) (:pAnoBase, :pAnoBase2) e "
                                 "recebeu 1 valor(es)."));
  EXPECT_EQ(detail, sql);
  EXPECT_THAT(ErrorOf([] { ExecutarSQL("select 1", Values{1}); }),
              HasSubstr("A instrução espera 0 parâmetro(s) e recebeu 1 valor(es)."));
  EXPECT_THAT(ErrorOf([] {
                ExecutarSQL("select :a", Values{Variant(Values{1, 2})});
              }),
              HasSubstr(":a recebeu uma lista"));
}

TEST_F(SqlExec, LiteralsReachTheDatabaseUntouched) {
  TDataSetRef ds = ExecutarSQL(
      "select '10:30' as H, ':pX' as P, 'EXTRACT(YEAR FROM x)' as E, :pY as Y", {Variant("ok")});
  TnClientDataSet& cds = CDS(ds);
  EXPECT_EQ(cds.FieldByName("H").AsString(), "10:30");
  EXPECT_EQ(cds.FieldByName("P").AsString(), ":pX");
  EXPECT_EQ(cds.FieldByName("E").AsString(), "EXTRACT(YEAR FROM x)");
  EXPECT_EQ(cds.FieldByName("Y").AsString(), "ok");
}

TEST_F(SqlExec, ExtractAndTimestampAddRunOnSQLite) {
  TDataSetRef ds = ExecutarSQL(
      "select S.INSCRFEDERAL, extract(year from coalesce(S.DATAFIMSOCIO, (select max(ANOBASE) "
      "from DIRFREG2))) as ANO, EXTRACT(MONTH FROM S.DATAFIMSOCIO) as MES, "
      "{TIMESTAMPADD(YEAR, 1, S.DATAFIMSOCIO)} as MAIS_UM_ANO, "
      "{fn TIMESTAMPADD(MONTH, :pMeses, S.DATAFIMSOCIO)} as MAIS_MESES "
      "from SOCIO S where EXTRACT(YEAR FROM S.DATAFIMSOCIO) > :pAno or S.DATAFIMSOCIO is null "
      "order by S.INSCRFEDERAL",
      Values{1, 2022});
  TnClientDataSet& cds = CDS(ds);
  ASSERT_EQ(cds.RecordCount(), 3);
  struct Row {
    const char* inscr;
    int64_t ano;
    TDateTime mais_um_ano;
    TDateTime mais_meses;
  };
  // Leap day plus a year and 31 January plus a month stop at the month's last day.
  const Row rows[] = {{"111", 2024, EncodeDate(2025, 2, 28), EncodeDate(2024, 3, 29)},
                      {"222", 2023, EncodeDate(2024, 1, 31), EncodeDate(2023, 2, 28)},
                      {"333", 2023, TDateTime(), TDateTime()}};
  for (const Row& row : rows) {
    ASSERT_TRUE(cds.FindKey({row.inscr})) << row.inscr;
    EXPECT_EQ(cds.FieldByName("ANO").AsInteger(), row.ano) << row.inscr;
    EXPECT_EQ(cds.FieldByName("MAIS_UM_ANO").AsDateTime(), row.mais_um_ano) << row.inscr;
    EXPECT_EQ(cds.FieldByName("MAIS_MESES").AsDateTime(), row.mais_meses) << row.inscr;
  }
  EXPECT_EQ(cds.FieldByName("MAIS_UM_ANO").DataType(), TFieldType::Date);
}

TEST_F(SqlExec, ConversionSwitchedOffSendsTheStatementAsWritten) {
  const std::string upper = "select {fn UPPER(:pTexto)} as U";
  TDataSetRef converted = ExecutarSQL(upper, Values{"a"});
  bool& conversion = PodeOnSQLConverte();
  conversion = false;
  const ScopeExit restore([&] { conversion = true; });
  for (const char* sql : {"select {fn UPPER('a')} as U", "select EXTRACT(YEAR FROM '2024-03-01')",
                          "select {TIMESTAMPADD(YEAR, 1, '2024-02-29')}"}) {
    EXPECT_THAT(ErrorOf([&] { ExecutarSQL(sql); }), HasSubstr("Erro no banco de dados")) << sql;
  }
  EXPECT_EQ(CDS(ExecutarSQL("select upper(:pTexto) as U", Values{"b"})).Fields(0).AsString(), "B")
      << "parameters are still numbered";
  RefreshSQL(CDS(converted), {Variant("c")});
  EXPECT_EQ(CDS(converted).Fields(0).AsString(), "C") << "prepared while the conversion was on";
}

TEST_F(SqlExec, IndexFollowsOrderByNamesWithAlias) {
  TDataSetRef ds = ExecutarSQL(
      " select I.CODIGOEMPRESA ,I.ANOBASE ,I.INSCRFEDERALBENEF ,I.VALORRENDIMENTO from DIRFREG2 I "
      "where I.TIPOINFORME = 1 order by I.CODIGOEMPRESA ,I.ANOBASE ,I.INSCRFEDERALBENEF ");
  TnClientDataSet& cds = CDS(ds);
  EXPECT_EQ(cds.IndexFieldNames(), "CODIGOEMPRESA;ANOBASE;INSCRFEDERALBENEF");
  ASSERT_TRUE(cds.FindKey({1, kAno2023, "222"}));
  EXPECT_DOUBLE_EQ(cds.FieldByName("VALORRENDIMENTO").AsFloat(), 10.5);
  cds.SetRange({1, kAno2023}, {1, kAno2023});
  EXPECT_EQ(cds.RecordCount(), 2);
  EXPECT_EQ(cds.FieldByName("INSCRFEDERALBENEF").AsString(), "111");
  cds.CancelRange();
  EXPECT_FALSE(cds.FindKey({1, EncodeDate(2021, 12, 31)}));
}

TEST_F(SqlExec, IndexFollowsPositionsAfterAUnion) {
  TDataSetRef ds = ExecutarSQL(
      "select CODIGOEMPRESA, ANOBASE, CODIGORETENCAO, INSCRFEDERALBENEF from DIRFREG2 "
      "where TIPOINFORME <> 1 union select CODIGOEMPRESA, ANOBASE, CODIGORETENCAO, "
      "INSCRFEDERALBENEF from DIRFREG2 where TIPOINFORME = 1 ORDER BY 1, 4, 3");
  TnClientDataSet& cds = CDS(ds);
  EXPECT_EQ(cds.IndexFieldNames(), "CODIGOEMPRESA;INSCRFEDERALBENEF;CODIGORETENCAO");
  ASSERT_TRUE(cds.FindKey({1, "111", 588}));
  EXPECT_EQ(cds.FieldByName("ANOBASE").AsDateTime(), kAno2023);
  cds.SetRange({1, "111"}, {1, "111"});
  EXPECT_EQ(cds.RecordCount(), 3);
}

TEST_F(SqlExec, DescendingItemEndsTheIndex) {
  TDataSetRef ds =
      ExecutarSQL("select CODIGOEMPRESA, INSCRFEDERALBENEF from DIRFREG2 order by 1, 2 desc");
  TnClientDataSet& cds = CDS(ds);
  EXPECT_EQ(cds.IndexFieldNames(), "CODIGOEMPRESA");
  cds.SetRange({1}, {1});
  EXPECT_EQ(cds.RecordCount(), 4);
  cds.CancelRange();
  ASSERT_TRUE(cds.FindKey({2}));
  EXPECT_EQ(cds.FieldByName("INSCRFEDERALBENEF").AsString(), "333");
}

TEST_F(SqlExec, ComputedColumnsAreTypedByTheirValues) {
  TDataSetRef ds = ExecutarSQL(
      "select CODIGOEMPRESA, sum(VALORRENDIMENTO) as TOTAL, sum(CODIGORETENCAO) as RET, "
      "cast(0 as numeric(14,2)) as ZERO, CAST(NULL AS INTEGER) as NADA, "
      "count(distinct(INSCRFEDERALBENEF)) as QTD, coalesce (sum(null), 0) as C, "
      "cast('Abono Pecuniário' as varchar(20)) as DESCRICAO, max(ANOBASE) as ULTIMO "
      "from DIRFREG2 group by CODIGOEMPRESA order by 1");
  TnClientDataSet& cds = CDS(ds);
  // Company 2 sums to a whole 100, company 1 to 560.5: one column, one type.
  EXPECT_EQ(cds.FieldByName("TOTAL").DataType(), TFieldType::Float);
  EXPECT_EQ(cds.FieldByName("RET").DataType(), TFieldType::Integer);
  EXPECT_EQ(cds.FieldByName("QTD").DataType(), TFieldType::Integer);
  EXPECT_EQ(cds.FieldByName("DESCRICAO").DataType(), TFieldType::Text);
  EXPECT_EQ(cds.FieldByName("ULTIMO").DataType(), TFieldType::Date);
  ASSERT_TRUE(cds.FindKey({1}));
  EXPECT_DOUBLE_EQ(cds.FieldByName("TOTAL").AsFloat(), 560.5);
  EXPECT_EQ(cds.FieldByName("QTD").AsInteger(), 2);
  EXPECT_DOUBLE_EQ(cds.FieldByName("ZERO").AsFloat(), 0.0);
  EXPECT_TRUE(cds.FieldByName("NADA").IsNull());
  EXPECT_EQ(cds.FieldByName("C").AsInteger(), 0);
  EXPECT_EQ(cds.FieldByName("DESCRICAO").AsString(), "Abono Pecuniário");
  ASSERT_TRUE(cds.FindKey({2}));
  EXPECT_DOUBLE_EQ(cds.FieldByName("TOTAL").AsFloat(), 100.0);
}

TEST_F(SqlExec, DeclaredTypesGiveFieldTypes) {
  TDataSetRef ds = ExecutarSQL("select * from DIRFREG2 where CODIGOEMPRESA = 2");
  TnClientDataSet& cds = CDS(ds);
  EXPECT_EQ(cds.FieldByName("CODIGOEMPRESA").DataType(), TFieldType::Integer);
  EXPECT_EQ(cds.FieldByName("ANOBASE").DataType(), TFieldType::Date);
  EXPECT_EQ(cds.FieldByName("INSCRFEDERALBENEF").DataType(), TFieldType::Text);
  // NUMERIC keeps 100 as an integer in SQLite; the column is still a money column.
  EXPECT_EQ(cds.FieldByName("VALORRENDIMENTO").DataType(), TFieldType::Float);

  // A declaration names its type in any case.
  Script("create table TIPOS (A integer, B varchar(20), C Numeric(15,2), D datetime)");
  Script("insert into TIPOS values (1, 'x', 2, '2023-01-01')");
  TDataSetRef tipos_ds = ExecutarSQL("select * from TIPOS");
  TnClientDataSet& tipos = CDS(tipos_ds);
  EXPECT_EQ(tipos.FieldByName("A").DataType(), TFieldType::Integer);
  EXPECT_EQ(tipos.FieldByName("B").DataType(), TFieldType::Text);
  EXPECT_EQ(tipos.FieldByName("C").DataType(), TFieldType::Float);
  EXPECT_EQ(tipos.FieldByName("D").DataType(), TFieldType::Date);
}

TEST_F(SqlExec, InvalidDateInADateColumnIsReported) {
  Script("insert into SOCIO values (3, '444', '31/12/2023')");
  const std::string message =
      ErrorOf([] { ExecutarSQL("select INSCRFEDERAL, DATAFIMSOCIO from SOCIO"); });
  EXPECT_THAT(message, HasSubstr("'31/12/2023'"));
  EXPECT_THAT(message, HasSubstr("'DATAFIMSOCIO'"));
}

TEST_F(SqlExec, RefreshRunsAgainWithNewValuesKeepingTheIndex) {
  TDataSetRef ds = ExecutarSQL(
      "select INSCRFEDERALBENEF, CODIGORETENCAO from DIRFREG2 where CODIGOEMPRESA = "
      ":pCodigoEmpresa "
      "order by 1, 2",
      Values{1});
  TnClientDataSet& cds = CDS(ds);
  EXPECT_EQ(cds.RecordCount(), 4);
  cds.Last();
  RefreshSQL(cds, {2}, true);
  EXPECT_EQ(cds.RecordCount(), 1);
  EXPECT_EQ(cds.RecNo(), 1);
  EXPECT_EQ(cds.IndexFieldNames(), "INSCRFEDERALBENEF;CODIGORETENCAO");
  EXPECT_TRUE(cds.FindKey({"333"}));
  EXPECT_THAT(ErrorOf([&] { RefreshSQL(cds, {}, true); }), HasSubstr("espera 1 parâmetro(s)"));

  TnClientDataSet plain;
  EXPECT_NE(ErrorOf([&] { RefreshSQL(plain, {1}, true); }), "");
}

TEST_F(SqlExec, ReferencesMayBeEmpty) {
  TDataSetRef never;
  DestruirSQL(never);
  EXPECT_FALSE(never);
  EXPECT_NE(ErrorOf([&] { CDS(never); }), "");
  TDataSetRef ds = ExecutarSQL("select 1 as UM");
  DestruirSQL(ds);
  EXPECT_FALSE(ds);
}

TEST_F(SqlExec, DatabaseErrorsSayWhatFailedInOneLineAndKeepTheStatementInTheDetail) {
  const std::string sql = "select * from NAOEXISTE where X = :pX";
  const auto [message, detail] = DetailedErrorOf([&] { ExecutarSQL(sql, Values{1}); });
  EXPECT_EQ(message, "Erro no banco de dados: a tabela NAOEXISTE não existe.");
  EXPECT_EQ(detail, "no such table: NAOEXISTE\n" + sql);
  struct Case {
    const char* sql;
    const char* message;
  };
  const Case cases[] = {
      {"select NAOHA from (select 1 as A)", "Erro no banco de dados: a coluna NAOHA não existe."},
      {"select from where", "Erro no banco de dados: erro de sintaxe perto de \"from\"."},
      {"select naoha(1)", "Erro no banco de dados: a função naoha não existe."},
  };
  for (const Case& c : cases) {
    const std::string one_line = ErrorOf([&] { ExecutarSQL(c.sql); });
    EXPECT_EQ(one_line, c.message) << c.sql;
  }
  // A long selection makes a long statement; the message stays one short line.
  const std::string huge = "select * from NAOEXISTE where X in (" + std::string(100000, '1') + ")";
  EXPECT_LT(ErrorOf([&] { ExecutarSQL(huge); }).size(), 100u);
  EXPECT_THAT(ErrorOf([] { ExecutarSQL("select 1; select 2"); }), HasSubstr("mais de um comando"));
  EXPECT_THAT(ErrorOf([] { ExecutarSQL("select ?"); }), HasSubstr(":nome"));
}

TEST(SqlExecWithoutDatabase, NoConnectionIsReported) {
  EXPECT_EQ(ErrorOf([] { ExecutarSQL("select 1"); }),
            "Nenhuma conexão com o banco de dados foi aberta.");
}

TEST_F(SqlExec, ObserverSeesStatementsAsWrittenBeforeTheyRun) {
  std::vector<std::string> seen;
  SetSqlObserver([&](const std::string& sql, const std::vector<Variant>& values) {
    seen.push_back(sql + " <- " + (values.empty() ? "" : values[0].AsString()));
  });
  TDataSetRef ds =
      ExecutarSQL("select :pA as A where EXTRACT(YEAR FROM '2024-01-01') > 0", Values{7});
  RefreshSQL(CDS(ds), {8}, true);
  ErrorOf([] { ExecutarSQL("select * from NAOEXISTE"); });
  SetSqlObserver(nullptr);
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "select :pA as A where EXTRACT(YEAR FROM '2024-01-01') > 0 <- 7",
                      "select :pA as A where EXTRACT(YEAR FROM '2024-01-01') > 0 <- 8",
                      "select * from NAOEXISTE <- "}));
  EXPECT_EQ(CDS(ds).FieldByName("A").AsInteger(), 8);
}

TEST_F(SqlExec, PreparedStatementRunsRepeatedly) {
  std::unique_ptr<TnPreparedStatement> insert = connection_->Prepare(
      "insert into SOCIO (CODIGOEMPRESA, INSCRFEDERAL, DATAFIMSOCIO) values (:pEmp, :pInscr, "
      ":pFim)");
  EXPECT_EQ(insert->ParamNames(), (std::vector<std::string>{"pEmp", "pInscr", "pFim"}));
  EXPECT_EQ(insert->Execute({9, "901", EncodeDate(2030, 6, 1)}), 1);
  EXPECT_EQ(insert->Execute({9, "902", Variant()}), 1);
  std::unique_ptr<TnPreparedStatement> count =
      connection_->Prepare("select count(*) as N from SOCIO where CODIGOEMPRESA = :pEmp");
  for (const auto& [company, expected] : {std::pair{9, 2}, std::pair{1, 2}, std::pair{5, 0}}) {
    const TDataSetRef result = count->Open({company});
    EXPECT_EQ(result->FieldByName("N").AsInteger(), expected) << company;
  }
  TDataSetRef back = ExecutarSQL("select DATAFIMSOCIO from SOCIO where INSCRFEDERAL = '901'");
  EXPECT_EQ(CDS(back).Fields(0).AsDateTime(), EncodeDate(2030, 6, 1));
}

TEST_F(SqlExec, LiteralsOfTheConnection) {
  const Variant values[] = {Variant(),
                            Variant(12),
                            Variant(10.0),
                            Variant(12.5),
                            Variant(-0.25),
                            Variant("d'Ávila"),
                            Variant(EncodeDate(2024, 1, 31))};
  const char* expected[] = {"NULL", "12", "10.0", "12.5", "-0.25", "'d''Ávila'", "'2024-01-31'"};
  for (size_t i = 0; i < std::size(values); ++i) {
    EXPECT_EQ(connection_->Literal(values[i]), expected[i]);
    EXPECT_EQ(ValorParaSQL(values[i]), expected[i]) << "the default connection writes it";
  }
  // A whole float stays a float in a computed column.
  TDataSetRef typed = ExecutarSQL("select " + ValorParaSQL(Variant(10.0)) + " * 3 as V");
  EXPECT_EQ(CDS(typed).Fields(0).DataType(), TFieldType::Float);
  EXPECT_EQ(CDS(typed).Fields(0).AsFloat(), 30.0);
}

// A connection whose dialect writes literals its own way.
class BracketConnection final : public TnConnection {
 public:
  BracketConnection() : TnConnection(kConnectionKey) {}
  std::unique_ptr<TnPreparedStatement> Prepare(const std::string&) override { return nullptr; }
  void ExecuteScript(const std::string&) override {}
  std::string Literal(const Variant& value) const override { return "<" + value.AsString() + ">"; }
};

TEST_F(SqlExec, ValorParaSQLWritesInTheDefaultConnectionsDialect) {
  BracketConnection other;
  {
    const DefaultConnectionScope scope(other);
    EXPECT_EQ(ValorParaSQL(Variant("x")), "<x>");
    EXPECT_EQ(ValorParaSQL(Variant("12"), TFieldType::Integer), "<12>")
        << "converted, then written";
    EXPECT_EQ(ValorParaSQL(Variant(), TFieldType::Date), "NULL");
  }
  EXPECT_EQ(ValorParaSQL(Variant("x")), "'x'") << "the fixture's connection again";
}

TEST(SqlConnection, AReadOnlyConnectionReadsButChangesNothing) {
  support::TempDir dir;
  const std::string path = dir.File("banco.db");
  OpenSQLite(path)->ExecuteScript("create table T (A integer); insert into T values (7);");
  const std::unique_ptr<TnConnection> reader = OpenSQLite(path, OpenMode::ReadOnly);
  EXPECT_EQ(reader->FilePath(), path);
  EXPECT_EQ(reader->Prepare("select A from T")->Open({})->Fields(0).AsInteger(), 7);
  // Only queries run: a change, or what would write elsewhere or change the connection, is refused
  // before it runs.
  const std::pair<std::string, std::string> refused[] = {
      {"insert into T values (8)", "INSERT"},
      {"drop table T", "DROP"},
      {"create table U (B)", "CREATE"},
      {"vacuum into '" + dir.File("copia.db") + "'", "VACUUM"},
      {"attach ':memory:' as outro", "ATTACH"},
      {"pragma journal_mode = delete", "PRAGMA"},
      {"with x(a) as (select 1) insert into T select a from x", "altera dados"},
      {"select load_extension('x')", "load_extension"},
  };
  for (const auto& [change, what] : refused) {
    EXPECT_EQ(
        ErrorOf([&] { reader->Prepare(change)->Execute({}); }),
        "Instrução recusada: um relatório só lê o banco de dados, e esta não é uma consulta (" +
            what + ").")
        << change;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("copia.db")));
  EXPECT_EQ(reader
                ->Prepare("with recursive r(n) as (select 1 union all select n + 1 from r "
                          "where n < 3) select count(*) from r")
                ->Open({})
                ->Fields(0)
                .AsInteger(),
            3);
  EXPECT_EQ(OpenSQLite(":memory:")->FilePath(), "");
  EXPECT_THROW(OpenSQLite(dir.File("nao_existe.db"), OpenMode::ReadOnly), Exception);
  support::WriteFile(dir.File("texto.db"), std::string(4096, 'x'));
  EXPECT_THROW(OpenSQLite(dir.File("texto.db"), OpenMode::ReadOnly), UsageError);
}

TEST(SqlConnection, ATimeLimitStopsAStatementThatNeverEnds) {
  const std::unique_ptr<TnConnection> db = OpenSQLite(":memory:");
  const std::string endless =
      "with recursive r(n) as (select 1 union all select n + 1 from r) select count(*) from r";
  {
    const TimeLimit limit(std::chrono::seconds(1));
    EXPECT_EQ(ErrorOf([&] { db->Prepare(endless)->Open({}); }),
              "A execução passou do tempo limite de 1s (--tempo-limite) e foi interrompida.");
  }
  // The limit lasts for its scope: the connection runs again.
  EXPECT_EQ(db->Prepare("select 2")->Open({})->Fields(0).AsInteger(), 2);
}

TEST(SqlConnection, AFileNameIsNeverAUri) {
  support::TempDir dir;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  const ScopeExit back([&before] { std::filesystem::current_path(before); });
  OpenSQLite("file:uri.db")->ExecuteScript("create table T (A integer); insert into T values (5);");
  EXPECT_TRUE(std::filesystem::exists(dir.File("file:uri.db")));
  EXPECT_EQ(OpenSQLite("file:uri.db", OpenMode::ReadOnly)
                ->Prepare("select A from T")
                ->Open({})
                ->Fields(0)
                .AsInteger(),
            5);
}

}  // namespace
}  // namespace nrw
