#include "nrw/shared_data.h"

#include <gtest/gtest.h>

#include <optional>

#include "nrwhost/settings.h"
#include "sql_fixture.h"

namespace nrw {
namespace {

class SharedData : public SqlFixture {
 protected:
  void SetUp() override {
    SqlFixture::SetUp();
    Script(R"(
      create table ESTADO (SIGLAESTADO VARCHAR(2), MASCINSCRESTAD VARCHAR(20), ALIQ NUMERIC(5,2));
      insert into ESTADO values ('RS', '999/9999999', 17.5), ('SC', '999.999.999', 17);
      create table USUARIOEMPRESA (CODIGOUSUARIO INTEGER, CODIGOEMPRESA INTEGER);
      insert into USUARIOEMPRESA values (5, 7), (5, 1), (5, 3), (6, 2);
      create table GRUPOEMPRESA (CODIGOGRUPOPROC INTEGER, CODIGOEMPRESAPROC INTEGER);
      insert into GRUPOEMPRESA values (10, 4), (10, 2), (11, 9);
    )");
  }
  void TearDown() override {
    DefinirUsuarioAtual(std::nullopt);
    SqlFixture::TearDown();
  }
};

TEST_F(SharedData, PegarValorCampoOneSeveralOrNoRow) {
  EXPECT_EQ(PegarValorCampo("ESTADO", "MASCINSCRESTAD", "SIGLAESTADO = 'RS'").AsString(),
            "999/9999999");
  const Variant both = PegarValorCampo("ESTADO", "MASCINSCRESTAD, ALIQ", "SIGLAESTADO = 'SC'");
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[0].AsString(), "999.999.999");
  EXPECT_DOUBLE_EQ(both[1].AsFloat(), 17.0);
  EXPECT_TRUE(PegarValorCampo("ESTADO", "MASCINSCRESTAD", "SIGLAESTADO = 'XX'").IsNull());
  EXPECT_TRUE(PegarValorCampo("ESTADO", "MASCINSCRESTAD, ALIQ", "1 = 0")[0].IsNull());
}

TEST_F(SharedData, EmpresasGrupoCalculoWidensTheSelection) {
  struct Case {
    std::optional<int> user;
    int group;
    const char* selection;
    const char* expected;
  };
  const Case cases[] = {
      {std::nullopt, 0, " 1..5 ", " 1..5 "},
      {std::nullopt, 10, "", "2;4"},
      {std::nullopt, 10, "1..3; 8", "2;4;1..3;8"},
      {std::nullopt, 10, "4", "2;4"},
      {std::nullopt, 99, "", "0"},
      {std::nullopt, 99, "6", "6"},
      // A group widens only to the companies the user may see.
      {6, 10, "", "2"},
      {6, 10, "2", "2"},
      {5, 10, "", "0"},
      {5, 10, "3", "3"},
  };
  for (const Case& c : cases) {
    DefinirUsuarioAtual(c.user);
    EXPECT_EQ(EmpresasGrupoCalculo(c.group, c.selection, true), c.expected)
        << c.user.value_or(0) << ": " << c.group << " [" << c.selection << "]";
  }
}

TEST_F(SharedData, CompaniesOfTheCurrentUser) {
  EXPECT_EQ(PegarCodigoEmpresaDireitoUsuario(), "");
  DefinirUsuarioAtual(5);
  EXPECT_EQ(PegarCodigoEmpresaDireitoUsuario(), "1;3;7");
  DefinirUsuarioAtual(8);
  EXPECT_EQ(PegarCodigoEmpresaDireitoUsuario(), "0");
  DefinirTipoCon(2);
  EXPECT_EQ(PegarTipoCon(), 2);
  DefinirTipoCon(0);
}

}  // namespace
}  // namespace nrw
