// The nrw command for the reliability tests: in-process (nrw::cli::Main, so that a FaultScope of
// the test reaches the run) or as a process of its own (build/<preset>/bin/nrw, for signals and for
// stdout on devices).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace reliability {

struct Outcome {
  int status = 0;
  std::string out;
  std::string err;
};

//! nrw with these arguments, in this process.
Outcome Nrw(std::vector<std::string> args);

//! The built nrw executable.
std::string NrwExecutable();

//! Starts nrw as a child process with default signal dispositions; stdout and stderr go to the
//! given files ("" keeps the test's own). Answers its pid.
pid_t StartNrw(const std::vector<std::string>& args, const std::string& out,
               const std::string& err);

//! A demo database of the year before this one (the layouts' defaults), made once per test process.
const std::string& DemoDatabase();

}  // namespace reliability
