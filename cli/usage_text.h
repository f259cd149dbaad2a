// The command-line parser's complaints said in Portuguese: the parser words its errors in English,
// which no user of nrw should read.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace nrw::cli {

//! One line naming what is wrong with the command line.
std::string DescribeParseError(const CLI::ParseError& error);

//! Portuguese headings for the help text.
void UsePortugueseLabels(CLI::App& app);
//! The subcommand's help option in the group of its other options.
void UsePortugueseHelp(CLI::App& command);

}  // namespace nrw::cli
