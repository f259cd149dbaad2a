// Host-internal: what a file must be before it is handed to the dynamic loader. Loading runs the
// library's code and maps its segments, so a file that is not a complete shared object of this
// machine, or that does not export the two entry points, is refused from its bytes alone: a
// truncated library would fault when touched (SIGBUS), and another program's library would run
// its constructors inside the host for nothing.
#pragma once

#include <string>

namespace nrw {

//! Raises UsageError naming the file and what is wrong unless it is a regular file holding a
//! complete ELF shared object of this machine's class, byte order and architecture that defines
//! ClassDll and Imprimir among its dynamic symbols.
void CheckModuleFile(const std::string& path);

}  // namespace nrw
