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

// The option a message starts with ("--out: 1 required TEXT missing").
std::string_view NameBeforeColon(std::string_view text) { return text.substr(0, text.find(':')); }

}  // namespace

std::string DescribeParseError(const CLI::ParseError& error) {
  // Every option is read as text and checked by the commands themselves, so the parser complains
  // only of the command line's shape. Its sentences, as it words them, with what each means.
  const std::string_view text = error.what();
  if (text == "A subcommand is required") {
    return "informe um comando: list, demo-db, run ou panel";
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
  app.option_defaults()->group("Opções");
  app.set_help_flag("-h,--help", "Mostra esta ajuda");
}

void UsePortugueseHelp(CLI::App& command) {
  // A subcommand makes its help option before it takes the application's defaults.
  if (CLI::Option* help = command.get_help_ptr()) help->group("Opções");
}

}  // namespace nrw::cli
