// Service takers of the demo companies and the calculations reported under their registrations.
#pragma once

#include <cstdint>

#include "nrw/sql.h"

namespace nrw::demo {

//! Writes the takers and ties calculations of the main year to them; runs after the payroll was
//! generated, inside the generator's transaction.
void GerarTomadores(TnConnection& connection, int ano, uint64_t semente);

}  // namespace nrw::demo
