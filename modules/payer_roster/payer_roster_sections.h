// Sections of the payer roster layout that the module prints, named for what they print.
#pragma once

#include "common/sections.h"

namespace payer_roster {

#define PAYER_ROSTER_SECTIONS(X) \
  X(kSecaoEmpresa, 8) /* one listed company with the taxes it withheld */

NRW_SECTIONS(PAYER_ROSTER_SECTIONS);

}  // namespace payer_roster
