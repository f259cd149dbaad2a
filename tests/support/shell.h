// A command-line tool run by a test (nm, the PDF tools): its exit status and what it printed.
#pragma once

#include <string>

namespace support {

struct ShellOutcome {
  //! The exit status; -1 when the command could not run or was killed.
  int status = -1;
  std::string out;
};

//! Runs the command through the shell, stderr discarded.
ShellOutcome RunShell(const std::string& command);

}  // namespace support
