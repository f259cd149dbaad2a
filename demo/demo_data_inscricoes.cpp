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

// CEI: weights 7 4 1 8 5 2 1 6 3 7 4; the digit is what the units of (tens + units of the sum)
// lack to reach 10.
std::string FormatarCEI(std::string_view onze_digitos) {
  std::string d(onze_digitos);
  int soma = 0;
  size_t i = 0;
  for (const int peso : {7, 4, 1, 8, 5, 2, 1, 6, 3, 7, 4}) soma += (d[i++] - '0') * peso;
  const int dezenas_e_unidades = soma / 10 % 10 + soma % 10;
  d += static_cast<char>('0' + (10 - dezenas_e_unidades % 10) % 10);
  return fmt::format("{}.{}.{}/{}", d.substr(0, 2), d.substr(2, 3), d.substr(5, 5), d.substr(10));
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

std::string Inscricoes::NovoCEI() { return FormatarCEI(Digitos(11)); }

}  // namespace nrw::demo
