// A module whose report class is missing, for the entry unit's "no class" check.
#include "nrw/module.h"

const nrw::TnrwBaseDllClass* ModuleReportClass() { return nullptr; }
