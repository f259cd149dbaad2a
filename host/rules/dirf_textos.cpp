#include <string>

#include "nrw/dirf.h"
#include "nrw/format.h"

namespace nrw {

const char* const OP_PARAM_FUNCIONARIO =
    "0=Funcionários: gerar todos\n"
    "1=Funcionários: gerar todos\n"
    "2=Funcionários: somente com imposto retido\n"
    "3=Funcionários: com imposto retido ou rendimentos a partir dos limites do ano\n"
    "4=Funcionários: não gerar";

const char* const OP_PARAM_DIRETOR =
    "0=Diretores: gerar todos\n"
    "1=Diretores: gerar todos\n"
    "2=Diretores: somente com imposto retido\n"
    "3=Diretores: com imposto retido ou rendimentos a partir dos limites do ano\n"
    "4=Diretores: não gerar";

const char* const OP_PARAM_TERCEIRO =
    "0=Terceiros: gerar todos\n"
    "1=Terceiros: gerar todos\n"
    "2=Terceiros: somente com imposto retido\n"
    "3=Terceiros: com imposto retido ou rendimentos a partir dos limites do ano\n"
    "4=Terceiros: não gerar";

const char* const OP_PARAM_OUTEMP =
    "0=Outras empresas: gerar todas\n"
    "1=Outras empresas: gerar todas\n"
    "2=Outras empresas: somente com imposto retido\n"
    "3=Outras empresas: com imposto retido ou rendimentos a partir dos limites do ano\n"
    "4=Outras empresas: não gerar";

std::string ObterMensagemCotasSocio(const std::string& quotas, double capital) {
  return "Sócio com " + Trim(quotas) + " cotas, no valor total de R$ " +
         FormatFloat("#,##0.00", capital) + ".";
}

}  // namespace nrw
