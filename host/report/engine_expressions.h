// The functions of the engine's "@var(FUNCTION;ARG...)" expressions in layout texts and captions.
// Values read from the database are kept for the object's lifetime (one report).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace nrw {

class EngineExpressions {
 public:
  //! gemVNomeEmpresa(code): the company's name (empty for a code that is not a company).
  //! gemVNomeTomador(company code; registration): for a line without a company (code 0 or blank),
  //! the service taker registered under that number in one of the user's companies, "Tomador de
  //! serviços: NAME (empresa N)", or a note that nothing is registered under it; empty when the
  //! line has a company. An unknown function raises Exception naming it.
  std::string Evaluate(std::string_view function, const std::vector<std::string>& args);

 private:
  std::string NomeEmpresa(const std::vector<std::string>& args);
  std::string NomeTomador(const std::vector<std::string>& args);

  std::map<int64_t, std::string> nomes_empresa_;
  std::map<std::string, std::string> nomes_tomador_;
};

}  // namespace nrw
