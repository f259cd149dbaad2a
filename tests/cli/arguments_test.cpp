// The command line's words converted and checked before any command runs: numbers, times and
// argument lengths, each fault naming its option; and the shape of the command line in Portuguese.
#include "arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nrw_driver.h"
#include "nrwhost/files.h"

namespace {

using nrw::cli::Duration;
using nrw::cli::WholeNumber;

template <typename F>
std::string ErrorOf(F&& convert) {
  try {
    convert();
  } catch (const nrw::UsageError& error) {
    return error.what();
  }
  return "";
}

TEST(Arguments, WholeNumbersAreDecimalDigitsWithinTheRange) {
  const std::pair<const char*, int64_t> accepted[] = {{"0", 0}, {"7", 7}, {"2099", 2099}};
  for (const auto& [text, value] : accepted) EXPECT_EQ(WholeNumber("--ano", text, 0, 2099), value);
  for (const char* text : {"", "-1", "+1", " 1", "1 ", "0x1F", "1e3", "2100", "y99999", "１",
                           "99999999999999999999999"}) {
    EXPECT_EQ(ErrorOf([&] { WholeNumber("--ano", text, 0, 2099); }),
              "--ano: '" + std::string(text) + "' não é um número inteiro de 0 a 2099.")
        << text;
  }
}

TEST(Arguments, TimesInSecondsMinutesOrHours) {
  const std::pair<const char*, int64_t> accepted[] = {
      {"0", 0}, {"90", 90}, {"90s", 90}, {"30m", 1800}, {"2h", 7200}, {"8784h", 8784 * 3600}};
  for (const auto& [text, seconds] : accepted) {
    EXPECT_EQ(Duration("--tempo-limite", text).count(), seconds) << text;
  }
  for (const char* text : {"", "h", "1d", "-5", "1.5h", "8785h", "9999999999", "30 m"}) {
    EXPECT_NE(ErrorOf([&] { Duration("--tempo-limite", text); }).find("--tempo-limite: '"),
              std::string::npos)
        << text;
  }
}

TEST(Arguments, TheCommandLineSaysWhatIsWrongWithItsShape) {
  const std::string too_long(nrw::cli::kMaxArgumentBytes + 1, 'a');
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out_or_err;
  };
  const Case cases[] = {
      {{"--version"}, 0, "nrw "},
      {{"run", "--help"}, 0, "Uso: nrw run [OPÇÕES] MODULO"},
      {{}, 2, "Erro: informe um comando: list, demo-db, run, panel ou send."},
      {{"run"}, 2, "Erro: falta MODULO, que é obrigatório."},
      {{"run", "X", "--db"}, 2, "Erro: falta o valor de --db."},
      {{"run", "X", "--db", "d", "Y"}, 2, "Erro: argumento inesperado: Y."},
      {{"--verbose=sim", "list"}, 2, "Erro: --verbose não recebe valor."},
      {{"run", "X", "--db", too_long},
       2,
       "Erro: o valor de --db é longo demais (65537 bytes; o limite é 65536)."},
      {{"--" + too_long, "list"}, 2, "Erro: a opção --aaaa"},
      {{"run", "X", "--db", "d", "--format", "docx"},
       2,
       "Erro: --format: 'docx' não é um formato (use text, pdf, html, xlsx ou csv)."},
      {{"send", "m.json", "--from", "a@b.br", "--tentativas", "30"},
       2,
       "Erro: --tentativas: '30' não é um número de 1 a 20."},
      {{"send", "m.json", "--from", "a@b.br", "--intervalo", "x"},
       2,
       "Erro: --intervalo: 'x' não é um número de 0 a 3600."},
  };
  for (const Case& c : cases) {
    const cli_test::Outcome outcome = cli_test::Nrw(c.args);
    EXPECT_EQ(outcome.status, c.status) << c.out_or_err << "\n" << outcome.err;
    EXPECT_NE((outcome.out + outcome.err).find(c.out_or_err), std::string::npos)
        << c.out_or_err << "\n"
        << outcome.out << outcome.err;
    EXPECT_EQ(outcome.out.find("Options"), std::string::npos) << "help in English";
  }
}

}  // namespace
