// The statement as its recipient reads it: the pages drawn as text, checked figure by figure for
// a PLR-only, a PLR-and-salary, a two-operator and a large-amount beneficiary, in the official
// model's words and on one page when its content fits one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "statement_fixture.h"

namespace statement_test {
namespace {

class Documento : public Banco {
 protected:
  Documento() { Dados(Empresa(1)); }
};

// The amount a numbered line of a quadro shows: the row that holds the line's number, the first one
// below the quadro's title.
std::string Valor(const std::string& text, const std::string& quadro, const std::string& linha) {
  const size_t title = text.find(quadro);
  if (title == std::string::npos) return "(quadro " + quadro + " ausente)";
  const size_t at = text.find("|" + linha + ". ", title);
  if (at == std::string::npos) return "(linha " + linha + " ausente)";
  std::string row = text.substr(at, text.find('\n', at) - at);
  row.pop_back();  // the box's right border
  return row.substr(row.find_last_of(' ') + 1);
}

// The text with its line breaks, borders and runs of blanks made single blanks, so that a phrase
// or a name wrapped over rows reads as one.
std::string Corrido(const std::string& text) {
  std::string flat;
  for (const char c : text) {
    const char blank = c == '\n' || c == '|' ? ' ' : c;
    if (blank == ' ' && !flat.empty() && flat.back() == ' ') continue;
    flat += blank;
  }
  return flat;
}

int Ocorrencias(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

constexpr const char* kQuadro3 = "3. Rendimentos Tributáveis, Deduções e Imposto";
constexpr const char* kQuadro5 = "5. Rendimentos Sujeitos à Tributação Exclusiva";

TEST_F(Documento, PlrGoesToQuadro5Line03WithTheAmountItsSentenceStates) {
  struct Case {
    const char* name;
    std::vector<Registro> registros;
    const char* q3_01;
    const char* q3_05;
    const char* q5_03;
    const char* frase;
  };
  const Case cases[] = {
      {"PLR only",
       {Codigo(3562, 9000, 119.47)},
       "0,00",
       "0,00",
       "8.880,53",
       "pago a título de PLR correspondente a R$ 8.880,53."},
      {"PLR and salary",
       {Codigo(561, 50000, 4000), Codigo(3562, 9000, 119.47)},
       "50.000,00",
       "4.000,00",
       "8.880,53",
       "pago a título de PLR correspondente a R$ 8.880,53"},
  };
  for (const Case& c : cases) {
    Dados("DELETE FROM DIRFREG2; DELETE FROM DIRFREG2DET; DELETE FROM DIRFREGBENEFICIARIO;");
    Com("300.000.000-00", "Participante", c.registros);
    const Execucao run = Rodar({});
    ASSERT_TRUE(run.result.ok) << run.result.error;
    EXPECT_EQ(Valor(run.text, kQuadro3, "01"), c.q3_01) << c.name;
    EXPECT_EQ(Valor(run.text, kQuadro3, "05"), c.q3_05) << c.name;
    EXPECT_EQ(Valor(run.text, kQuadro5, "03"), c.q5_03) << c.name;
    const std::string corrido = Corrido(run.text);
    EXPECT_NE(corrido.find(c.frase), std::string::npos) << c.name;
    EXPECT_EQ(corrido.find("Não há informações complementares"), std::string::npos)
        << c.name << ": the PLR sentence is complementary information";
    EXPECT_EQ(run.result.pages, 1) << c.name;
  }
}

TEST_F(Documento, EveryFigureNumberAndNameIsPrintedWhole) {
  const std::string nome(
      "Maria Aparecida dos Santos Oliveira de Albuquerque Cavalcanti Figueiredo Bragança "
      "Nogueira da Silva");
  const std::string processo = "0020345-12.2023.5.04.0771.0000000000000";
  Com("300.000.000-00", nome,
      {Codigo(561, 999999999999.99, 123456789012.34,
              "PENSAOALIMENTICIA = 999999999999.99, VALOR13 = 1234567890.12")});
  Dados(
      "INSERT INTO DIRFRENDRECEBACUM (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, INSCRFEDERALBENEF, "
      "SEQ, NATUREZARRA, NUMPROCESSORRA, QTDEMESES, RENDTRIBUTAVEL) VALUES (1, '2023-01-01', 1, "
      "'300.000.000-00', 1, 'Reclamatória trabalhista', '" +
      processo + "', 14.5, 987654321098.76);" +
      Mes("300.000.000-00", 561, 13, "VALORRENDIMENTO, VALORPREVOFICIAL, VALORDEPENDENTE",
          "1234567990.12, 60, 40") +
      "UPDATE ESTAB SET TIPOINSCR = 2, INSCRFEDERAL = '12.742.870/0001-15';");
  const Execucao run = Rodar({});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_EQ(Valor(run.text, kQuadro3, "01"), "999.999.999.999,99");
  EXPECT_EQ(Valor(run.text, kQuadro3, "04"), "999.999.999.999,99");
  EXPECT_EQ(Valor(run.text, kQuadro3, "05"), "123.456.789.012,34");
  EXPECT_EQ(Valor(run.text, kQuadro5, "01"), "1.234.567.890,12") << "net of its deductions";
  const std::string corrido = Corrido(run.text);
  for (const std::string& whole :
       {nome, processo, std::string("987.654.321.098,76"), std::string("12.742.870/0001-15")}) {
    EXPECT_NE(corrido.find(whole), std::string::npos) << whole;
  }
}

TEST_F(Documento, ADependentOfTwoOperatorsIsHeadedUnderEach) {
  Com("400.000.000-00", "Plano", {Codigo(561, 1000)});
  const std::string k = "1, '2023-01-01', 1, '400.000.000-00', ";
  Dados("INSERT INTO DIRFPLANOSAUDE VALUES (" + k +
        "'11.111.111/0001-11', 'Saúde Alfa', 100, 0, 0)," + "(" + k +
        "'22.222.222/0001-22', 'Saúde Beta', 80, 0, 0);" +
        "INSERT INTO DIRFPLANOSAUDEDEPEND VALUES (" + k +
        "'11.111.111/0001-11', 1, '123.456.789-09', 'Ana', 300, 10, 0)," + "(" + k +
        "'22.222.222/0001-22', 1, '123.456.789-09', 'Ana', 200, 20, 0);");
  const Execucao run = Rodar({});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  const std::vector<std::string> linhas = Linhas(run, "Plano");
  const auto beta =
      std::find(linhas.begin(), linhas.end(), "13 Operadora: 22.222.222/0001-22 - Saúde Beta");
  ASSERT_NE(beta, linhas.end());
  const std::vector<std::string> sob_beta(beta, linhas.end());
  const std::vector<std::string> esperado = {
      "13 Dependente: 123.456.789-09 - Ana",
      "16 CPF/CNPJ|Nome/Nome Empresarial||Valor ano Calendário|Valor anos Anteriores",
      "16 22.222.222/0001-22|Saúde Beta||20,00|0,00"};
  EXPECT_NE(std::search(sob_beta.begin(), sob_beta.end(), esperado.begin(), esperado.end()),
            sob_beta.end())
      << "the second operator's reimbursement has its dependent's heading and column heads";
  EXPECT_EQ(Ocorrencias(run.text, "Dependente: 123.456.789-09 - Ana"), 2);
}

TEST_F(Documento, TheOfficialModelsWords) {
  Com("300.000.000-00", "Oficial", {Codigo(561, 1000)});
  const Execucao run = Rodar({});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  const std::string corrido = Corrido(run.text);
  for (const char* words :
       {"Imposto sobre a Renda da Pessoa Física",
        "Exercício de 2024",
        "Ano-calendário de 2023",
        "Verifique as condições e o prazo para a apresentação da Declaração",
        "CNPJ/CPF Nome Empresarial/Nome Completo",
        "Nome Completo",
        "3. Rendimentos Tributáveis, Deduções e Imposto sobre a Renda Retido na Fonte",
        "(Fapi) (preencher também o quadro 7)",
        "por moléstia grave;",
        "proventos de aposentadoria ou reforma por acidente em serviço",
        "exceto pro labore, aluguéis ou serviços prestados",
        "e por acidente de trabalho",
        "02. Parcela isenta do 13º salário de aposentadoria",
        "08. Juros de mora recebidos, devidos pelo atraso no pagamento de",
        "09. Outros (especificar)",
        "5. Rendimentos Sujeitos à Tributação Exclusiva (rendimento líquido)",
        "01. Décimo terceiro salário 0,00",
        "(sujeitos à tributação exclusiva)",
        "02. Exclusão: Despesas com a ação judicial",
        "03. Dedução: Contribuição previdenciária oficial"}) {
    EXPECT_NE(corrido.find(words), std::string::npos) << words;
  }
  EXPECT_EQ(run.text.find("\n                               Pessoa Física\n"), std::string::npos)
      << "no line of its own for the kind of person";
  EXPECT_EQ(run.result.pages, 1);
}

}  // namespace
}  // namespace statement_test
