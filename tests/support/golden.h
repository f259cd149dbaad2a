// Golden traces: a whole run's trace kept in git (tests/**/golden/*.jsonl) and compared event by
// event, so that any change in what a module does shows up as a readable difference. Run the tests
// with NRW_UPDATE_GOLDEN=1 to write the files anew after a change that is meant.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace support {

//! Compares the lines with the golden file, given relative to the source tree. On a difference the
//! message names the first differing event, shows the events around it and the fields that differ.
::testing::AssertionResult MatchesGolden(const std::vector<std::string>& lines,
                                         const std::string& golden);

}  // namespace support
