// `nrw serve`: the report server, until SIGINT or SIGTERM.
#pragma once

#include <ostream>

#include "serve_options.h"

namespace nrw::server {

//! Whether the address is the machine's own (127.0.0.0/8, ::1, localhost).
bool IsLoopback(const std::string& host);

//! Checks the options (UsageError), listens, says where on log ("Servidor em http://...") and
//! serves until a SIGINT or SIGTERM; answers the exit status.
int Serve(const ServeOptions& options, std::ostream& log);

}  // namespace nrw::server
