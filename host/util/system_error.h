// Host-internal: what a failed system call means, in Portuguese, so that no library or system text
// in English reaches the user.
#pragma once

#include <string>

namespace nrw {

//! "permissão negada", "disco cheio", "nome longo demais"...; an unknown code gives "erro do
//! sistema <n>".
std::string DescribeErrno(int error_number);

}  // namespace nrw
