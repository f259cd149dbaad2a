// `nrw panel --session`: the panel kept open for a client (the web server) that speaks JSON lines.
#pragma once

#include <istream>
#include <ostream>

#include "nrwhost/session.h"

namespace nrw::cli {

//! Writes the panel, then answers each request line of in with one line on out until in ends or a
//! line is too long:
//!   {"event": "enter"|"change"|"exit", "name": N, "value": V|null} -> the whole panel after the
//!     hooks, with "error" (one Portuguese line) when the event was refused;
//!   {"event": "lookup", "name": N, "q": TEXT, "limit": K} -> {"candidates": [{value, text}]} or
//!     {"error"};
//!   {"event": "panel"} -> the whole panel.
//! A request that is not such JSON is answered {"error"} and the session goes on.
void ServePanelSession(RunSession& session, std::istream& in, std::ostream& out);

}  // namespace nrw::cli
