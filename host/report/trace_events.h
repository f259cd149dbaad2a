// The trace's events as JSON lines. The field names and their order are an interface: module tests
// compare whole lines, so every event is built here and nowhere else.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "nrw/variant.h"

namespace nrw::trace {

std::string Set(const std::string& name, const std::string& value);
//! automatic: a page heading the engine printed by itself.
std::string Print(int section, int page, bool automatic);
std::string PageEnd();
std::string EndOfPage();
std::string CanPrint(const std::vector<std::pair<int, int>>& pairs, bool fits);
std::string Progress(int position, int total);
std::string MsgConfig(const std::vector<std::string>& captions);
std::string Message(int kind, const std::string& text);
std::string Caption(const std::string& object, const std::string& caption);
std::string Property(const std::string& object, const std::string& property,
                     const std::string& value);
//! Values as JSON: numbers, strings, null, dates as "yyyy-mm-dd", arrays.
std::string Sql(const std::string& sql, const std::vector<Variant>& values);
//! The separator values of a part, in separator order.
std::string Part(const std::vector<std::pair<std::string, std::string>>& values);
//! detail (the database's message, the statement) is left out when empty.
std::string Error(const std::string& message, const std::string& detail = {});

}  // namespace nrw::trace
