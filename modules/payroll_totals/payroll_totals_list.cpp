// The order of the payroll totals lines.
#include <algorithm>
#include <string_view>

#include "nrw/util.h"
#include "rpt_payroll_totals.h"

namespace payroll_totals {

namespace {

// Names compared with ASCII letters folded; other bytes (accented letters included) by code.
int CompararNomes(std::string_view a, std::string_view b) {
  const auto dobrar = [](unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
  };
  const size_t n = std::min(a.size(), b.size());
  for (size_t k = 0; k < n; ++k) {
    const unsigned char ca = dobrar(static_cast<unsigned char>(a[k]));
    const unsigned char cb = dobrar(static_cast<unsigned char>(b[k]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

int64_t ValorInscricao(const std::string& inscr) {
  // Registration numbers have at most 14 digits; longer texts wrap instead of overflowing.
  uint64_t valor = 0;
  for (const char c : nrw::LimparStrToInteger(inscr)) valor = valor * 10 + (c - '0');
  return static_cast<int64_t>(valor);
}

void OrdenarLista(TListaOrd& lista, int64_t ordem) {
  using Linha = std::unique_ptr<TDadosListOrd>;
  switch (ordem) {
    case 1:
      std::sort(lista.begin(), lista.end(), [](const Linha& a, const Linha& b) {
        if (a->CodigoEmpresa != b->CodigoEmpresa) return a->CodigoEmpresa < b->CodigoEmpresa;
        return ValorInscricao(a->InscrFederal) < ValorInscricao(b->InscrFederal);
      });
      break;
    case 2:
      std::sort(lista.begin(), lista.end(), [](const Linha& a, const Linha& b) {
        const int nomes = CompararNomes(a->NomeEmpresa, b->NomeEmpresa);
        if (nomes != 0) return nomes < 0;
        return ValorInscricao(a->InscrFederal) < ValorInscricao(b->InscrFederal);
      });
      break;
    case 3:
      std::sort(lista.begin(), lista.end(), [](const Linha& a, const Linha& b) {
        return ValorInscricao(a->InscrFederal) < ValorInscricao(b->InscrFederal);
      });
      break;
    default:  // the data module's order, by registration number
      break;
  }
}

}  // namespace payroll_totals
