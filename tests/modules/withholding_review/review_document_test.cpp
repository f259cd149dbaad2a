// The review as its reader sees it: every category option left to its own beneficiaries, every
// exempt column under its caption and whole, the declarant named on every page, contact data only
// where given and no company heading left alone at the foot of a page.
#include <string>
#include <vector>

#include "review_fixture.h"

namespace {

using review_test::Declarante;
using review_test::Execucao;
using review_test::Inserir;
using review_test::Mes;
using review_test::Registro;

class ReviewDocument : public review_test::ReviewDatabase {
 protected:
  static std::vector<std::string> Impressos(const Execucao& e) {
    std::vector<std::string> out;
    for (const review_test::Printed& i : e.ModulePrints()) {
      if (i.section == 9) out.push_back(i.Var("pf3"));
    }
    return out;
  }
};

// Characters (not bytes) before a position of a UTF-8 line.
size_t Coluna(const std::string& line, size_t byte) {
  size_t column = 0;
  for (size_t i = 0; i < byte && i < line.size(); ++i) {
    if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) ++column;
  }
  return column;
}

std::vector<std::string> Linhas(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

TEST_F(ReviewDocument, EachCategoryOptionLeavesOutItsOwnBeneficiaries) {
  Dados(Declarante(1) +
        "INSERT INTO TIPOCONTRATO VALUES (1, 'Empregado', '1'), (2, 'Diretor', '4');"
        "INSERT INTO FUNCPESSOA (CODIGOFUNCPESSOA, NOMEFUNC, CPFFUNC) VALUES (1, 'Ana', "
        "'111.111.111-11'), (2, 'Bruno', "
        "'222.222.222-22');"
        "INSERT INTO FUNCCONTRATO (CODIGOEMPRESA, CODIGOFUNCCONTR, CODIGOFUNCPESSOA, "
        "CODIGOTIPOCONTR, DATAADM) VALUES (1, 1, 1, 1, '2020-01-01'), (1, 2, 2, 2, "
        "'2019-01-01');" +
        Inserir({1, "111.111.111-11", "Empregada", 561, 1}) +
        Inserir({1, "222.222.222-22", "Diretor", 561, 1}) +
        Inserir({1, "333.333.333-33", "Terceiro", 588, 2}));
  Registro empresa{1, "44.555.666/0001-77", "Fornecedora Ltda", 1708, 3};
  empresa.tipo_inscr = 2;
  Dados(Inserir(empresa));
  struct Case {
    const char* option;
    std::vector<std::string> impressos;
  };
  const Case cases[] = {
      {"pOpIrrfFunc", {"Diretor", "Terceiro", "Fornecedora Ltda"}},
      {"pOpIrrfDiretor", {"Empregada", "Terceiro", "Fornecedora Ltda"}},
      {"pOpIrrfTerc", {"Empregada", "Diretor", "Fornecedora Ltda"}},
      {"pOpIrrfOutEmp", {"Empregada", "Diretor", "Terceiro"}},
  };
  for (const Case& c : cases) {
    // 4 leaves the category out whatever its amounts; 1 keeps everyone.
    std::vector<nrw::ParamSetting> params;
    for (const char* option : {"pOpIrrfFunc", "pOpIrrfDiretor", "pOpIrrfTerc", "pOpIrrfOutEmp"}) {
      params.push_back({option, std::string(option) == c.option ? "4" : "1"});
    }
    const Execucao e = Rodar(params);
    ASSERT_TRUE(e.result.ok) << c.option << ": " << e.result.error;
    std::vector<std::string> impressos = Impressos(e);
    std::sort(impressos.begin(), impressos.end());
    std::vector<std::string> esperados = c.impressos;
    std::sort(esperados.begin(), esperados.end());
    EXPECT_EQ(impressos, esperados) << c.option;
  }
}

TEST_F(ReviewDocument, EachExemptColumnStandsWholeUnderItsCaption) {
  struct Case {
    const char* coluna;
    bool anual;  // a column of the record, shown on the total line
    const char* caption;
  };
  const Case cases[] = {
      {"DIARIAS", false, "Diárias"},
      {"INDENIZACAO", false, "Indenizações"},
      {"ABONOPECUNIARIO", false, "Pecuniário"},
      {"APOSENT65", false, "anos"},
      {"VALORMEDICORESIDENTE", false, "Médico"},
      {"LUCRODIVID1996", true, "Lucro/Dived"},
      {"VLRPAGOSOCIOPQEMP", true, "Titular"},
      {"OUTROSRENDISENTO", true, "Outros"},
  };
  const std::string valor = "9.876.543.210,98";
  for (const Case& c : cases) {
    const std::string extra = c.anual ? std::string(c.coluna) + " = 9876543210.98" : "";
    Dados(
        "DELETE FROM DIRFREG2; DELETE FROM DIRFREGBENEFICIARIO; DELETE FROM DIRFREG2DET; "
        "DELETE FROM DIRFREG1; DELETE FROM EMPRESA;" +
        Declarante(1) + Inserir({1, "111.111.111-11", "Ana", 561, 2, 1000, 100, extra}) +
        (c.anual ? Mes("111.111.111-11", 2, "DIARIAS", "0.01")
                 : Mes("111.111.111-11", 2, c.coluna, "9876543210.98")));
    const Execucao e = Rodar({});
    ASSERT_TRUE(e.result.ok) << c.coluna << ": " << e.result.error;
    const std::vector<std::string> linhas = Linhas(e.text);
    const auto titulo = std::find(linhas.begin(), linhas.end(), "Rendimentos Isentos");
    ASSERT_NE(titulo, linhas.end()) << c.coluna;
    const std::string prefixo = c.anual ? "Total" : "Fev";
    const auto linha = std::find_if(titulo, linhas.end(),
                                    [&](const std::string& l) { return l.rfind(prefixo, 0) == 0; });
    ASSERT_NE(linha, linhas.end()) << c.coluna;
    const size_t at = linha->find(valor);
    ASSERT_NE(at, std::string::npos) << c.coluna << ": " << *linha;
    // The caption, right-aligned in the same column, ends where the amount ends.
    const size_t fim = Coluna(*linha, at + valor.size());
    bool alinhado = false;
    for (auto cabecalho = titulo + 1; cabecalho != linha; ++cabecalho) {
      const size_t c_at = cabecalho->find(c.caption);
      if (c_at != std::string::npos &&
          Coluna(*cabecalho, c_at + std::string(c.caption).size()) == fim) {
        alinhado = true;
      }
    }
    EXPECT_TRUE(alinhado) << c.coluna << " is not under " << c.caption;
  }
}

TEST_F(ReviewDocument, EveryPageNamesItsDeclarant) {
  std::string dados = Declarante(1) + Declarante(2);
  for (int i = 0; i < 5; ++i) {
    const std::string n = std::to_string(i);
    dados += Inserir({1, "10" + n + ".000.000-00", "Um " + n, 588}) +
             Inserir({2, "20" + n + ".000.000-00", "Dois " + n, 588});
  }
  Dados(dados);
  const Execucao e = Rodar({});
  ASSERT_TRUE(e.result.ok) << e.result.error;
  ASSERT_GT(e.result.pages, 3);
  const std::vector<review_test::Printed>& prints = e.Prints();
  for (size_t i = 0; i + 1 < prints.size(); ++i) {
    if (!prints[i].automatic) continue;
    size_t next = i + 1;
    while (next < prints.size() && prints[next].automatic) ++next;
    ASSERT_LT(next, prints.size());
    EXPECT_EQ(prints[i].Var("pc2"), prints[next].Var("pc2")) << "page " << prints[i].page;
  }
  size_t paginas_da_2 = 0;
  for (const std::string& linha : Linhas(e.text)) {
    if (linha == "Declarante: 11.222.333/0001-02  Empresa 2") ++paginas_da_2;
  }
  EXPECT_GE(paginas_da_2, 2u) << "the running head of the second company's pages";
}

TEST_F(ReviewDocument, ContactDataOnlyWhereGiven) {
  struct Case {
    const char* name;
    std::string contato;
    const char* linha;
  };
  const Case cases[] = {
      {"nothing given",
       "DDDRESP = NULL, TELEFONERESP = NULL, RAMALRESP = 0, FAXRESP = NULL, "
       "EMAILRESP = NULL",
       ""},
      {"phone only",
       "DDDRESP = 51, TELEFONERESP = 37143388, RAMALRESP = NULL, FAXRESP = 0, "
       "EMAILRESP = ''",
       "Telefone: (51) 37143388"},
      {"e-mail and extension", "DDDRESP = NULL, TELEFONERESP = NULL, RAMALRESP = 21, FAXRESP = 0",
       "   Ramal: 21   E-mail: dirf@empresa.com.br"},
  };
  for (const Case& c : cases) {
    Dados(
        "DELETE FROM DIRFREG2; DELETE FROM DIRFREGBENEFICIARIO; DELETE FROM DIRFREG1; "
        "DELETE FROM EMPRESA;" +
        Declarante(1) + "UPDATE DIRFREG1 SET " + c.contato + ";" +
        Inserir({1, "111.111.111-11", "Ana"}));
    const Execucao e = Rodar({});
    ASSERT_TRUE(e.result.ok) << c.name << ": " << e.result.error;
    const std::vector<std::string> linhas = Linhas(e.text);
    const auto responsavel = std::find_if(linhas.begin(), linhas.end(), [](const std::string& l) {
      return l.rfind("Responsável pelo preenchimento:", 0) == 0;
    });
    ASSERT_NE(responsavel, linhas.end()) << c.name;
    EXPECT_EQ(*(responsavel + 1), c.linha) << c.name;
  }
}

TEST_F(ReviewDocument, ACompanyHeadingStaysWithItsFirstBeneficiary) {
  std::string dados;
  for (int empresa = 1; empresa <= 4; ++empresa) {
    dados += Declarante(empresa) +
             Inserir({empresa, "10" + std::to_string(empresa) + ".000.000-00", "Pessoa", 588});
  }
  Dados(dados);
  const Execucao e = Rodar({});
  ASSERT_TRUE(e.result.ok) << e.result.error;
  const std::vector<review_test::Printed> prints = e.ModulePrints();
  int cabecalhos = 0;
  for (size_t i = 0; i + 1 < prints.size(); ++i) {
    if (prints[i].section != 8) continue;
    ++cabecalhos;
    EXPECT_EQ(prints[i + 1].section, 9);
    EXPECT_EQ(prints[i + 1].page, prints[i].page) << prints[i].Var("pControleCustoEmpresa");
  }
  EXPECT_EQ(cabecalhos, 4);
}

}  // namespace
