// The layout sections a module prints, named for what they print. A module lists them once, as
// NAME_SECTIONS(X) calling X(kSecaoNome, number) per section; NRW_SECTIONS(NAME_SECTIONS) makes of
// that list the constants the module prints with and the table kSecoes that the layout test checks
// against the module's layout.
#pragma once

#include <string_view>

namespace nrw::common {

struct NamedSection {
  std::string_view name;
  int number;
};

}  // namespace nrw::common

#define NRW_SECTION_CONSTANT(name, number) name = number,
#define NRW_SECTION_ENTRY(name, number) ::nrw::common::NamedSection{#name, number},

//! The constants (enum Secao) and the table (kSecoes) of a module's list of sections.
#define NRW_SECTIONS(list)                         \
  enum Secao : int { list(NRW_SECTION_CONSTANT) }; \
  inline constexpr ::nrw::common::NamedSection kSecoes[] = {list(NRW_SECTION_ENTRY)}
