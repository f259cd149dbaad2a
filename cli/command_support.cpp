#include <iostream>

#include "commands.h"

namespace nrw::cli {

int Failed(const CommonOptions& common, const std::string& error, const std::string& detail,
           int status) {
  std::cerr << "Erro: " << error << '\n';
  if (common.verbose && !detail.empty()) std::cerr << detail << '\n';
  return status;
}

bool ParseParams(const std::vector<std::string>& texts, std::vector<ParamSetting>& settings) {
  for (const std::string& text : texts) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) {
      std::cerr << "Parâmetro inválido: '" << text << "' (use NOME=VALOR)\n";
      return false;
    }
    settings.push_back({text.substr(0, equals), text.substr(equals + 1)});
  }
  return true;
}

bool FlushStdout() {
  std::cout.flush();
  if (std::cout) return true;
  std::cerr << "Erro: não foi possível gravar na saída padrão.\n";
  return false;
}

}  // namespace nrw::cli
