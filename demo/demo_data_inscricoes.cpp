#include <fmt/format.h>

#include "demo/demo_data_internal.h"

namespace nrw::demo {
namespace {

// Modulo-11 check digit over the digits with the given weights (CPF and CNPJ share the rule).
char DigitoVerificador(std::string_view digitos, std::initializer_list<int> pesos) {
  int soma = 0;
  size_t i = 0;
  for (const int peso : pesos) soma += (digitos[i++] - '0') * peso;
  const int resto = soma % 11;
  return static_cast<char>('0' + (resto < 2 ? 0 : 11 - resto));
}

}  // namespace

std::string FormatarCPF(std::string_view nove_digitos) {
  std::string d(nove_digitos);
  d += DigitoVerificador(d, {10, 9, 8, 7, 6, 5, 4, 3, 2});
  d += DigitoVerificador(d, {11, 10, 9, 8, 7, 6, 5, 4, 3, 2});
  return fmt::format("{}.{}.{}-{}", d.substr(0, 3), d.substr(3, 3), d.substr(6, 3), d.substr(9));
}

std::string FormatarCNPJ(std::string_view raiz, int filial) {
  std::string d = fmt::format("{}{:04}", raiz, filial);
  d += DigitoVerificador(d, {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2});
  d += DigitoVerificador(d, {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2});
  return fmt::format("{}.{}.{}/{}-{}", d.substr(0, 2), d.substr(2, 3), d.substr(5, 3),
                     d.substr(8, 4), d.substr(12));
}

std::string Inscricoes::Digitos(int quantos) {
  for (;;) {
    std::string digitos;
    for (int i = 0; i < quantos; ++i) digitos += static_cast<char>('0' + aleatorio_.Entre(0, 9));
    // A number of one repeated digit passes the check digits but is refused by the tax office.
    const bool repetido = digitos.find_first_not_of(digitos[0]) == std::string::npos;
    if (!repetido && usados_.insert(digitos).second) return digitos;
  }
}

std::string Inscricoes::NovoCPF() { return FormatarCPF(Digitos(9)); }

std::string Inscricoes::NovaRaizCNPJ() { return Digitos(8); }

}  // namespace nrw::demo
