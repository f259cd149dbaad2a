// A branch that company 4 kept from September to November of the main year, with two employees
// lent to it and back at the head office in December; and the users with their company rights.
#include <string>

#include "demo/demo_data_internal.h"

namespace nrw::demo {
namespace {

constexpr int kEmpresaFilial = 4;
constexpr int kFilial = 2;
constexpr int kEmprestados = 2;
constexpr int kJoinville = 4209102;

// The eight digits of a CNPJ's root, from its formatted text "00.000.000/0000-00".
std::string RaizCNPJ(const std::string& cnpj) {
  std::string digitos;
  for (const char c : cnpj.substr(0, 10)) {
    if (c >= '0' && c <= '9') digitos += c;
  }
  return digitos;
}

}  // namespace

void Gerador::MontarFilialTemporaria() {
  const Empresa& empresa = EmpresaDe(kEmpresaFilial);
  gravador_.Inserir("ESTAB",
                    {{"CODIGOEMPRESA", kEmpresaFilial},
                     {"CODIGOESTAB", kFilial},
                     {"APELIDOESTAB", "Base Joinville"},
                     {"TIPOINSCR", 2},
                     {"INSCRFEDERAL", FormatarCNPJ(RaizCNPJ(empresa.estabs.front().cnpj), kFilial)},
                     {"INSCRESTAD", "257.318.740"},
                     {"NUMEROREGIST", "42200531874"},
                     {"CODIGOATIVESTAD", "4930-2/02"},
                     {"CODIGOTIPOLOGRAD", 2},
                     {"ENDERECOESTAB", "Santos Dumont"},
                     {"NUMENDERESTAB", "4510"},
                     {"COMPLENDERESTAB", "Galpão 3"},
                     {"BAIRROENDERESTAB", "Zona Industrial Norte"},
                     {"CODIGOMUNIC", kJoinville},
                     {"SIGLAESTADO", "SC"},
                     {"VALORNOMINALCOTAS", Valor(0)},
                     {"DATAINICIOATIV", Dia{ano_, 9, 1}.Texto()},
                     {"DATAENCERATIV", Dia{ano_, 11, 30}.Texto()}});
  // The two oldest employees of the company (by contract code) still employed at the end of the
  // year work at the branch while it is open.
  int emprestados = 0;
  for (Contrato& contrato : contratos_) {
    if (emprestados == kEmprestados) break;
    if (contrato.empresa != kEmpresaFilial || contrato.diretor || contrato.demissao) continue;
    contrato.locais.push_back({{ano_, 9, 1}, kFilial});
    contrato.locais.push_back({{ano_, 12, 1}, contrato.locais.front().estab});
    ++emprestados;
  }
}

void Gerador::GravarUsuarios() {
  // User 1 answers for the two companies of group 1; user 2 for the clinic only.
  const struct {
    int usuario;
    int empresa;
  } kDireitos[] = {{1, 1}, {1, 2}, {2, 3}};
  for (const auto& direito : kDireitos) {
    gravador_.Inserir("USUARIOEMPRESA",
                      {{"CODIGOUSUARIO", direito.usuario}, {"CODIGOEMPRESA", direito.empresa}});
  }
}

}  // namespace nrw::demo
