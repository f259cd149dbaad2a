// Where the tests find the source tree, the built modules and the layouts.
#pragma once

#include <string>

namespace support {

std::string SourcePath(const std::string& relative);
//! A report module of the build ("RptIncomeStatement" -> <build>/modules/RptIncomeStatement.so).
std::string ModulePath(const std::string& name);
//! A module that exists only to exercise the host (<build>/test_modules).
std::string TestModulePath(const std::string& name);
//! A module's layout in the source tree (layouts/<name>.json).
std::string LayoutPath(const std::string& name);

}  // namespace support
