// The page's files (web/), embedded in the binary at build time.
#pragma once

#include <string_view>

namespace nrw::server {

struct Asset {
  std::string_view name;
  std::string_view content_type;
  std::string_view body;
};

//! The asset of that file name ("app.js"); nullptr when there is none.
const Asset* FindAsset(std::string_view name);

}  // namespace nrw::server
