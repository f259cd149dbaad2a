#include "util/system_error.h"

#include <cerrno>

namespace nrw {

std::string DescribeErrno(int error_number) {
  switch (error_number) {
    case ENOENT:
      return "não existe";
    case EACCES:
    case EPERM:
      return "permissão negada";
    case ENAMETOOLONG:
      return "nome longo demais";
    case ELOOP:
      return "laço de links simbólicos";
    case ENOTDIR:
      return "parte do caminho não é uma pasta";
    case EISDIR:
      return "é uma pasta";
    case ENOSPC:
      return "disco cheio";
    case EDQUOT:
      return "cota de disco esgotada";
    case EFBIG:
      // A file-size limit (ulimit -f, a quota, a container's) is a full disk to the user.
      return "disco cheio (limite de tamanho de arquivo atingido)";
    case EROFS:
      return "sistema de arquivos somente leitura";
    case EIO:
      return "erro de entrada e saída no disco";
    case EBADF:
      return "saída fechada";
    case EPIPE:
      return "saída fechada pelo leitor";
    case EXDEV:
      return "pastas em dispositivos diferentes";
    case EEXIST:
      return "já existe";
    case ENOTEMPTY:
      return "pasta não vazia";
    case EBUSY:
      return "em uso";
    case ETXTBSY:
      return "arquivo em uso";
    case EMFILE:
    case ENFILE:
      return "arquivos abertos demais";
    case ENOMEM:
      return "memória insuficiente";
    case EINVAL:
      return "operação inválida para este arquivo";
    default:
      return "erro do sistema " + std::to_string(error_number);
  }
}

}  // namespace nrw
