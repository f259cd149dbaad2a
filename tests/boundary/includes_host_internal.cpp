// Not a module: a module source that reaches for the host's engine, which must not compile.
#include "nrw/report.h"
#include "report/engine.h"

int Probe(nrw::TnReportEngine& engine) { return engine.Pages().PageNumber(); }
