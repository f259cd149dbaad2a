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
  //! gemVNomeEmpresa(code): the company's name (empty for a code that is not a company). An
  //! unknown function raises Exception naming it.
  std::string Evaluate(std::string_view function, const std::vector<std::string>& args);

 private:
  std::string NomeEmpresa(const std::vector<std::string>& args);

  std::map<int64_t, std::string> nomes_empresa_;
};

}  // namespace nrw
