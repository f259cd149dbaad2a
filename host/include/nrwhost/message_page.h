// Application API: the report's message page, its column captions and the messages the module sent,
// in order.
#pragma once

#include <string>
#include <vector>

namespace nrw {

struct MessageEntry {
  int kind = 0;
  std::string text;
};

struct MessagePage {
  std::vector<std::string> captions;
  std::vector<MessageEntry> entries;
};

}  // namespace nrw
