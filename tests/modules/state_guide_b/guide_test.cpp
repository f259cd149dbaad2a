// Guides printed from record datasets the test hands in itself, so that they can also come in
// states the host never hands over (closed, missing, 0): the opening block and its sums, which
// annexes print and with which rows, the producers' municipalities, and the datasets emptied on
// every path.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "nrw/handles.h"
#include "nrw/sql.h"
#include "support/fixture_db.h"
#include "support/module_run.h"
#include "support/temp_dir.h"

namespace {

using DataSets = std::vector<nrw::TDataSetRef>;

struct Tabela {
  const char* param;
  const char* table;
};
// In the order the module takes them.
constexpr Tabela kTabelas[] = {
    {"pCDSTR001", "GIAB_TR001"}, {"pCDSTR002", "GIAB_TR002"}, {"pCDSTR003", "GIAB_TR003"},
    {"pCDSTR004", "GIAB_TR004"}, {"pCDSTR910", "GIAB_TR910"}, {"pCDSTR920", "GIAB_TR920"},
    {"pCDSTR941", "GIAB_TR941"}, {"pCDSTR950", "GIAB_TR950"}, {"pCDSTR960", "GIAB_TR960"},
    {"pCDSTR990", "GIAB_TR990"}, {"pCDSTR942", "GIAB_TR942"}, {"pcdsTabCFOP", "GIAB_TABCFOP"},
};
constexpr size_t kTR001 = 0, kTR002 = 1, kTR910 = 4, kTR920 = 5, kTR950 = 7, kTR960 = 8;

constexpr const char* kCgcte1 = "278/7786840";
// An apostrophe in a stored registration must not break the establishment's filter.
constexpr const char* kCgcte2 = "12'34";

struct Resultado {
  support::TraceRecord trace;
  std::string erro;
  //! Records left in each dataset (every establishment); -1 when it is closed.
  std::vector<int> restantes;
  std::vector<std::string> Titulos() const { return trace.Values(10, "pTexto"); }
  //! The table lines printed, as "R6|R7|R8".
  std::vector<std::string> Linhas() const {
    std::vector<std::string> linhas;
    for (const support::Printed& p : trace.ModulePrints()) {
      if (p.section == 13) linhas.push_back(p.Var("R6") + "|" + p.Var("R7") + "|" + p.Var("R8"));
    }
    return linhas;
  }
};

class StateGuideB : public ::testing::Test {
 protected:
  StateGuideB() {
    db_.Exec(R"(
      INSERT INTO ESTADO VALUES ('RS', 'Rio Grande do Sul', '999/9999999');
      INSERT INTO MUNICIPIO VALUES ('RS', 10, 'Lajeado');
      INSERT INTO TIPOLOGRADOURO VALUES (1, 'Rua');
      INSERT INTO PESSOA (CODIGOPESSOA, INSCRPROD, CODIGOMUNIC, SIGLAESTADO) VALUES
        (1, '111/1111111', 10, 'RS'), (2, '222/2222222', NULL, 'RS');
      INSERT INTO ESTAB (CODIGOEMPRESA, CODIGOESTAB, INSCRFEDERAL, INSCRESTAD, NUMEROREGIST,
        CODIGOATIVESTAD, CODIGOTIPOLOGRAD, ENDERECOESTAB, NUMENDERESTAB, COMPLENDERESTAB,
        BAIRROENDERESTAB, CODIGOMUNIC, SIGLAESTADO) VALUES
        (1, 1, '11.222.333/0001-81', '278/7786840', '43200000001', '2511-0/00', 1, 'Júlio',
         '10', 'Sala 2', 'Centro', 10, 'RS');
    )");
  }

  void Estabelecimento(int estab, const std::string& cgcte, const support::Row& valores = {}) {
    support::Row row = {{"CODIGOEMPRESA", 1},
                        {"CODIGOESTAB", estab},
                        {"ANOBASE", "2023-01-01"},
                        {"Q01_RazaoSocial", "Metalúrgica Taquari"},
                        {"Q01_CNPJ", "112223330001" + std::string(estab == 1 ? "81" : "62")},
                        {"Q01_CGCTE", cgcte}};
    row.insert(row.end(), valores.begin(), valores.end());
    db_.Insert("GIAB_TR001", row);
  }
  void Linha(const char* table, const std::string& cgcte, const support::Row& valores) {
    support::Row row = {{"CODIGOEMPRESA", 1},
                        {"CODIGOESTAB", 1},
                        {"ANOBASE", "2023-01-01"},
                        {"SEQUENCIA", ++linhas_},
                        {"EMP_CGCTE", cgcte}};
    row.insert(row.end(), valores.begin(), valores.end());
    db_.Insert(table, row);
  }

  //! Hands every table in as a dataset by its handle, lets the case change them, and prints.
  Resultado Imprimir(const std::function<void(DataSets&, nrw::TnpqPowerParam&)>& ajuste = {}) {
    const std::string layout = support::LayoutVariant(
        dir_, "RptStateGuideB", [](nlohmann::json& l) { l.erase("handed_datasets"); });
    support::ModuleSession session({"RptStateGuideB", {}, {}, "", layout});
    DataSets datasets;
    // Withdrawn before the datasets go.
    std::vector<std::unique_ptr<nrw::HandleRegistration>> handles;
    for (const Tabela& t : kTabelas) {
      datasets.push_back(nrw::ExecutarSQL(std::string("select * from ") + t.table +
                                          " order by CODIGOEMPRESA, CODIGOESTAB"));
      handles.push_back(std::make_unique<nrw::HandleRegistration>(*datasets.back()));
      session.Panel().SetValues(t.param, std::to_string(handles.back()->handle()));
    }
    if (ajuste) ajuste(datasets, session.Panel());
    session.TakeTrace();
    std::string erro;
    try {
      session.Session().Print();
    } catch (const std::exception& e) {
      erro = e.what();
    }
    std::vector<int> restantes;
    for (nrw::TDataSetRef& d : datasets) {
      if (d->Active()) d->SetFiltered(false);
      restantes.push_back(d->Active() ? d->RecordCount() : -1);
    }
    return {session.TakeTrace(), erro, restantes};
  }

  support::FixtureDb db_;
  support::TempDir dir_;
  int linhas_ = 0;
};

TEST_F(StateGuideB, OpeningBlockFiguresAndEstablishmentLookup) {
  Estabelecimento(1, kCgcte1,
                  {{"Q04_Empregados", 12},
                   {"Q04_ValorFolhaSalarios", 250},
                   {"Q04_KwhConsumido", 100000},
                   {"Q06_ProprioTributado", 100},
                   {"Q06_ProprioIsento", 200},
                   {"Q06_Estab_Poder3o", 400},
                   {"Q06_3o_PoderEstab", 500}});
  const Resultado r = Imprimir();
  ASSERT_EQ(r.erro, "");
  // The control sum adds the three lines as printed: 12 + 2,50 + 1.000,00.
  const std::vector<std::string> esperados = {
      "12",   "2,50",  "1.000,00", "1.014,50", "1,00", "2,00", "3,00", "4,00",
      "5,00", "12,00", "0,00",     "0,00",     "0,00", "0,00", "0,00", "0,00"};
  EXPECT_EQ(r.trace.Values(12, "R5"), esperados);
  ASSERT_EQ(r.trace.Sqls().size(), 1u);
  const std::string sql = r.trace.Sqls()[0];
  const std::string onde = "where INSCRFEDERAL = '11.222.333/0001-81'";
  EXPECT_EQ(sql.substr(sql.size() - std::min(sql.size(), onde.size())), onde);
  const std::vector<std::string> r2 = r.trace.Values(11, "R2");
  EXPECT_EQ(r2.at(0), "CNPJ/TE...: 278/7786840");
  EXPECT_EQ(r2.at(3), "Municipio.: Lajeado");
}

TEST_F(StateGuideB, EachGuidePrintsTheAnnexesWithItsOwnRows) {
  Estabelecimento(1, kCgcte1);
  Estabelecimento(2, kCgcte2);
  Linha("GIAB_TR950", kCgcte2, {{"OPF_CFOP", "5102"}, {"OPF_ValorContabil", 123456789}});
  Linha("GIAB_TR920", kCgcte1, {{"MUN_NOME", "Lajeado"}, {"MUN_Valor", 100}});
  Linha("GIAB_TR960", kCgcte1, {{"PAIS_CodigoPais", "0639"}, {"PAIS_TotalEntradas", 100}});
  const Resultado r = Imprimir([](DataSets& d, nrw::TnpqPowerParam& panel) {
    panel.SetValues("pCDSTR920", "0");  // absent: its rows do not matter
    d[kTR960]->EmptyDataSet();          // open and empty
  });
  ASSERT_EQ(r.erro, "");
  EXPECT_EQ(r.trace.Events("pageend").size(), 2u) << "every guide ends its page";
  // Annex 05 of the first guide has only the second one's rows: titles, headings, no row.
  const std::vector<std::string> titulos = {"GUIA INFORMATIVA - ANEXO 05", "ENTRADAS E SAÍDAS",
                                            "GUIA INFORMATIVA - ANEXO 05", "ENTRADAS E SAÍDAS"};
  EXPECT_EQ(r.Titulos(), titulos);
  const std::vector<std::string> linhas = {"CFOP|VALORES CONTABEIS|BASE DE CÁLCULO",
                                           "CFOP|VALORES CONTABEIS|BASE DE CÁLCULO",
                                           "5102|1.234.567,89|0,00"};
  EXPECT_EQ(r.Linhas(), linhas);
}

TEST_F(StateGuideB, ProducersWithoutMunicipalityAreLeftOutAndToldOnce) {
  Estabelecimento(1, kCgcte1);
  Linha("GIAB_TR910", kCgcte1, {{"PRO_CGCTE", "111/1111111"}, {"PRO_Valor", 150000}});
  Linha("GIAB_TR910", kCgcte1, {{"PRO_CGCTE", "2222222222"}, {"PRO_Valor", 1}});  // no municipality
  Linha("GIAB_TR910", kCgcte1, {{"PRO_CGCTE", "333/3333333"}, {"PRO_Valor", 2}});  // not on record
  Linha("GIAB_TR910", kCgcte1, {{"PRO_CGCTE", ""}, {"PRO_Valor", 3}});
  const Resultado r = Imprimir();
  ASSERT_EQ(r.erro, "");
  const std::vector<std::string> linhas = {"Município|Inscrição Estadual|Valor em R$",
                                           "Lajeado|111/1111111|1.500,00", "||0,03"};
  EXPECT_EQ(r.Linhas(), linhas);
  const std::vector<nlohmann::json> mensagens = r.trace.Events("message");
  ASSERT_EQ(mensagens.size(), 1u);
  EXPECT_EQ(mensagens[0]["kind"], 1);
  EXPECT_EQ(mensagens[0]["text"], "Produtor Rural com municipio não informado ");
  ASSERT_EQ(r.trace.Events("msgconfig").size(), 1u);
  EXPECT_EQ(r.trace.Events("msgconfig")[0]["captions"], nlohmann::json::array({"Mensagem"}));
}

TEST_F(StateGuideB, Annex04TitleOncePerGuideWithOrWithoutEntries) {
  for (const bool com_entradas : {false, true}) {
    Estabelecimento(com_entradas ? 2 : 1, kCgcte1);
    Linha("GIAB_TR942", kCgcte1, {{"SOE_CodigoFederacaoDes", "SC"}});
    if (com_entradas) Linha("GIAB_TR941", kCgcte1, {{"EOE_CodigoFederacaoOri", "PR"}});
    const Resultado r = Imprimir();
    ASSERT_EQ(r.erro, "");
    const std::vector<std::string> titulos = r.Titulos();
    EXPECT_EQ(std::count(titulos.begin(), titulos.end(), "GUIA INFORMATIVA - ANEXO 04"),
              com_entradas ? 2 : 1)
        << "one guide without entries, then two guides with them";
    const std::vector<std::string> subtitulos = r.trace.Values(14, "R13");
    EXPECT_EQ(subtitulos.back(), "02 - SAÍDAS DE MERCADORIAS, BENS E/OU AQUISIÇÕES DE SERVIÇOS");
  }
}

TEST_F(StateGuideB, WithoutTheEstablishmentDatasetNothingIsPrintedOrEmptied) {
  Estabelecimento(1, kCgcte1);
  Linha("GIAB_TR950", kCgcte1, {{"OPF_CFOP", "5102"}});
  for (const char* valor : {"", "0", "abc"}) {
    const Resultado r = Imprimir(
        [valor](DataSets&, nrw::TnpqPowerParam& panel) { panel.SetValues("pCDSTR001", valor); });
    EXPECT_EQ(r.erro, "") << valor;
    EXPECT_TRUE(r.trace.ModulePrints().empty()) << valor;
    EXPECT_EQ(r.restantes[kTR001], 1) << valor;
    EXPECT_EQ(r.restantes[kTR950], 1) << valor;
  }
}

TEST_F(StateGuideB, DatasetsAreEmptiedOnEveryPathAndTheFirstErrorWins) {
  struct Caso {
    const char* nome;
    std::function<void(DataSets&, nrw::TnpqPowerParam&)> ajuste;
    std::string erro;
    //! The datasets that keep records (-1: closed); all others end empty.
    std::vector<std::pair<size_t, int>> restantes;
  };
  const Caso casos[] = {
      {"a closed annex dataset",
       [](DataSets& d, nrw::TnpqPowerParam&) { d[kTR950]->Close(); },
       "Operação não permitida em um dataset fechado.",
       {{kTR950, -1}}},
      {"the establishment dataset lacks a column",
       [](DataSets&, nrw::TnpqPowerParam& panel) {
         // Another table's dataset in its place; the establishments' own is not handed in.
         panel.SetValues("pCDSTR001", panel.GetValues("pCDSTR950"));
       },
       "Campo 'Q01_RazaoSocial' não encontrado.",
       {{kTR001, 1}}},
      {"a handle the host did not hand in",
       [](DataSets&, nrw::TnpqPowerParam& panel) { panel.SetValues("pCDSTR910", "12345"); },
       "Parâmetro pCDSTR910: '12345' não identifica um conjunto de dados entregue pelo host.",
       {{kTR910, 1}, {kTR920, 1}, {kTR950, 1}, {kTR960, 1}}},
      {"a dataset that cannot be emptied after a good print",
       [](DataSets& d, nrw::TnpqPowerParam&) { d[kTR002]->Close(); },
       "Não foi possível esvaziar o conjunto de dados de pCDSTR002: Operação não permitida em um "
       "dataset fechado.",
       {{kTR002, -1}}},
  };
  Estabelecimento(1, kCgcte1);
  for (const char* table : {"GIAB_TR910", "GIAB_TR920", "GIAB_TR950", "GIAB_TR960"}) {
    Linha(table, kCgcte1, {});
  }
  for (const Caso& c : casos) {
    const Resultado r = Imprimir(c.ajuste);
    EXPECT_EQ(r.erro, c.erro) << c.nome;
    std::vector<int> esperados(std::size(kTabelas), 0);
    for (const auto& [indice, registros] : c.restantes) esperados[indice] = registros;
    EXPECT_EQ(r.restantes, esperados) << c.nome;
  }
}

}  // namespace
