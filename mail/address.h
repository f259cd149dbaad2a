// E-mail addresses: which ones we send to, and a mailbox as the user writes it ("Nome <a@b>").
#pragma once

#include <string>
#include <string_view>

namespace nrw::mail {

struct Mailbox {
  //! Display name, UTF-8; may be empty.
  std::string name;
  std::string address;
};

//! Whether text is an address we send to: a dot-atom local part (letters, digits and
//! !#$%&'*+/=?^_`{|}~-, dots only between them) of at most 64 octets, '@', and a domain of at least
//! two dot-separated labels of letters, digits and inner hyphens, its last label not all digits,
//! at most 254 octets in all. Quoted local parts, address literals, blanks, control characters and
//! non-ASCII text are refused: they are either typing errors or not deliverable everywhere.
bool IsValidAddress(std::string_view text);

//! "Nome <endereco>" or a bare address. Raises InputError naming `what` when the address is not
//! one IsValidAddress takes, or the name holds a line break.
Mailbox ParseMailbox(std::string_view text, const std::string& what);

//! The domain of an address (after the last '@').
std::string DomainOf(std::string_view address);

}  // namespace nrw::mail
