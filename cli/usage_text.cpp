#include "usage_text.h"

#include <regex>
#include <utility>
#include <vector>

namespace nrw::cli {

std::string DescribeParseError(const CLI::ParseError& error) {
  // The parser's own sentences, as it words them, with what each means to the user.
  static const std::vector<std::pair<std::regex, std::string>> kSentences = {
      {std::regex("^A subcommand is required$"), "informe um comando: list, demo-db, run ou panel"},
      {std::regex("^(.+) is required$"), "falta $1, que é obrigatório"},
      {std::regex("^The following arguments? (?:was|were) not expected: (.*)$"),
       "argumento inesperado: $1"},
      {std::regex("^(\\S+): \\d+ required \\S+ missing$"), "falta o valor de $1"},
      {std::regex("^Could not convert: (\\S+) = (.*)$"), "valor inválido para $1: $2"},
      {std::regex("^The value (.*) is not an allowed value for (.*)$"),
       "valor inválido para $2: $1"},
      {std::regex("^(\\S+): too many inputs for a flag$"), "$1 não recebe valor"},
      {std::regex("^(\\S+): Value (.*) not in range (\\S+) to (\\S+)$"),
       "$1: o valor $2 está fora do intervalo de $3 a $4"},
      {std::regex("^(\\S+): (.*) not in \\{(.*)\\}$"), "valor inválido para $1: $2 (use $3)"},
      {std::regex("^(.+) requires (.+)$"), "$1 pede também $2"},
      {std::regex("^(.+) excludes (.+)$"), "$1 não pode ser usado com $2"},
  };
  const std::string text = error.what();
  for (const auto& [sentence, meaning] : kSentences) {
    if (std::regex_match(text, sentence)) return std::regex_replace(text, sentence, meaning);
  }
  return "linha de comando inválida";
}

void UsePortugueseLabels(CLI::App& app) {
  const auto formatter = app.get_formatter();
  formatter->label("Usage", "Uso");
  formatter->label("OPTIONS", "OPÇÕES");
  formatter->label("Positionals", "Argumentos");
  formatter->label("REQUIRED", "OBRIGATÓRIO");
  formatter->label("Needs", "Pede");
  formatter->label("Excludes", "Exclui");
  formatter->label("SUBCOMMAND", "COMANDO");
  formatter->label("TEXT", "TEXTO");
  formatter->label("INT", "INTEIRO");
  app.option_defaults()->group("Opções");
  app.set_help_flag("-h,--help", "Mostra esta ajuda");
}

}  // namespace nrw::cli
