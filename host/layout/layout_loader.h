// Reads and checks a report layout (layouts/<Module>.json, format in docs/layouts.md). Every fault
// raises Exception "Layout <file>: <where>: <what>." in Portuguese.
#pragma once

#include <string>
#include <string_view>

#include "layout/layout.h"

namespace nrw {

//! Reads the file; raises when it cannot be read or is not a valid layout.
Layout LoadLayout(const std::string& path);
//! Parses layout text; origin names it in error messages.
Layout ParseLayout(std::string_view json_text, const std::string& origin);

}  // namespace nrw
