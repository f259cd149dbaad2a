#include "usage_text.h"

#include <string_view>

#include "arguments.h"

namespace nrw::cli {
namespace {

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// "3600.000000" as "3600", "0.500000" as "0,5".
std::string WithoutZeroDecimals(std::string_view number) {
  std::string text(number);
  const size_t point = text.find('.');
  if (point == std::string::npos) return text;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  if (text.size() > point) text[point] = ',';
  return text;
}

// The option a message starts with ("--out: 1 required TEXT missing").
std::string_view NameBeforeColon(std::string_view text) { return text.substr(0, text.find(':')); }

}  // namespace

std::string DescribeParseError(const CLI::ParseError& error) {
  // Every option is read as text and checked by the commands themselves, so the parser complains
  // only of the command line's shape. Its sentences, as it words them, with what each means.
  const std::string_view text = error.what();
  if (text == "A subcommand is required") {
    return "informe um comando: list, demo-db, run, panel ou send";
  }
  if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr &&
      EndsWith(text, " is required")) {
    return "falta " + Shown(text.substr(0, text.size() - 12)) + ", que é obrigatório";
  }
  for (const std::string_view lead : {"The following argument was not expected: ",
                                      "The following arguments were not expected: "}) {
    if (StartsWith(text, lead)) return "argumento inesperado: " + Shown(text.substr(lead.size()));
  }
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr && EndsWith(text, " missing")) {
    return "falta o valor de " + Shown(NameBeforeColon(text));
  }
  if (EndsWith(text, ": too many inputs for a flag")) {
    return Shown(NameBeforeColon(text)) + " não recebe valor";
  }
  // Only flags are converted by the parser: "--verbose=sim".
  constexpr std::string_view kConvert = "Could not convert: ";
  if (StartsWith(text, kConvert)) {
    const std::string_view rest = text.substr(kConvert.size());
    return Shown(rest.substr(0, rest.find(" = "))) + " não recebe valor";
  }
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
    return Shown(NameBeforeColon(text)) + ": número de valores inválido";
  }
  // A number bounded by the parser itself: "--tentativas: Value 30 not in range 1 to 20".
  constexpr std::string_view kValue = ": Value ";
  constexpr std::string_view kRange = " not in range ";
  constexpr std::string_view kTo = " to ";
  const size_t value = text.find(kValue);
  const size_t range = text.rfind(kRange);
  const size_t to = text.rfind(kTo);
  if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr &&
      value != std::string_view::npos && range != std::string_view::npos &&
      to != std::string_view::npos && value < range && range < to) {
    const std::string_view given =
        text.substr(value + kValue.size(), range - value - kValue.size());
    const std::string_view low = text.substr(range + kRange.size(), to - range - kRange.size());
    return Shown(text.substr(0, value)) + ": '" + Shown(given) + "' não é um número de " +
           Shown(WithoutZeroDecimals(low)) + " a " +
           Shown(WithoutZeroDecimals(text.substr(to + kTo.size())));
  }
  return "linha de comando inválida";
}

void UsePortugueseLabels(CLI::App& app) {
  const auto formatter = app.get_formatter();
  formatter->label("Usage", "Uso");
  formatter->label("OPTIONS", "OPÇÕES");
  formatter->label("Positionals", "Argumentos");
  formatter->label("REQUIRED", "OBRIGATORIO");
  formatter->label("Needs", "Pede");
  formatter->label("Excludes", "Exclui");
  formatter->label("SUBCOMMAND", "COMANDO");
  formatter->label("SUBCOMMANDS", "COMANDOS");
  formatter->label("TEXT", "TEXTO");
  formatter->label("INT", "INTEIRO");
  formatter->label("FLOAT", "NUMERO");
  app.option_defaults()->group("Opções");
  app.set_help_flag("-h,--help", "Mostra esta ajuda");
}

void UsePortugueseHelp(CLI::App& command) {
  // A subcommand makes its help option before it takes the application's defaults.
  if (CLI::Option* help = command.get_help_ptr()) help->group("Opções");
}

}  // namespace nrw::cli
