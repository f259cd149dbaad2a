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
//! A group heading the engine printed again at the top of a page of its group.
std::string Repeat(int section, int page);
//! A section the module printed that was on the page already ("once_per_page"): nothing placed.
std::string Skipped(int section, int page);
//! The last bands printed, kept with the band being printed, moved to the page.
std::string Keep(const std::vector<int>& sections, int page);
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
