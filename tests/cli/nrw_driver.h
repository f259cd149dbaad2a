// The nrw command line run in-process, its output captured: what the command-line tests drive.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands.h"

namespace cli_test {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

inline Outcome Nrw(std::vector<std::string> args) {
  args.insert(args.begin(), "nrw");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const int status = nrw::cli::Main(static_cast<int>(argv.size()), argv.data());
  Outcome outcome{status, testing::internal::GetCapturedStdout(),
                  testing::internal::GetCapturedStderr()};
  return outcome;
}

}  // namespace cli_test
