#include "mail/address.h"

#include <cstring>

#include "mail/errors.h"
#include "mail/text.h"

namespace nrw::mail {
namespace {

constexpr size_t kMaxLocalPart = 64;
constexpr size_t kMaxAddress = 254;
constexpr size_t kMaxLabel = 63;

bool IsLetterOrDigit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsAtomText(char c) {
  return IsLetterOrDigit(c) || (c != '\0' && std::strchr("!#$%&'*+/=?^_`{|}~-", c) != nullptr);
}

bool IsDotAtom(std::string_view text) {
  if (text.empty() || text.front() == '.' || text.back() == '.') return false;
  char previous = '\0';
  for (const char c : text) {
    if (c == '.' ? previous == '.' : !IsAtomText(c)) return false;
    previous = c;
  }
  return true;
}

bool IsLabel(std::string_view label) {
  if (label.empty() || label.size() > kMaxLabel) return false;
  if (label.front() == '-' || label.back() == '-') return false;
  for (const char c : label) {
    if (!IsLetterOrDigit(c) && c != '-') return false;
  }
  return true;
}

bool IsDomain(std::string_view domain) {
  int labels = 0;
  std::string_view last;
  while (true) {
    const size_t dot = domain.find('.');
    last = domain.substr(0, dot);
    if (!IsLabel(last)) return false;
    ++labels;
    if (dot == std::string_view::npos) break;
    domain.remove_prefix(dot + 1);
  }
  // A last label of digits only is an IP address written as a domain.
  return labels >= 2 && DigitsOf(last).size() != last.size();
}

}  // namespace

bool IsValidAddress(std::string_view text) {
  if (text.size() > kMaxAddress) return false;
  const size_t at = text.rfind('@');
  if (at == std::string_view::npos) return false;
  const std::string_view local = text.substr(0, at);
  return local.size() <= kMaxLocalPart && IsDotAtom(local) && IsDomain(text.substr(at + 1));
}

Mailbox ParseMailbox(std::string_view text, const std::string& what) {
  text = Trim(text);
  Mailbox mailbox;
  const size_t open = text.rfind('<');
  if (open != std::string_view::npos && !text.empty() && text.back() == '>') {
    mailbox.address = std::string(Trim(text.substr(open + 1, text.size() - open - 2)));
    std::string_view name = Trim(text.substr(0, open));
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
      name = name.substr(1, name.size() - 2);
    }
    mailbox.name = std::string(name);
  } else {
    mailbox.address = std::string(text);
  }
  if (!IsValidAddress(mailbox.address)) {
    throw InputError(what + ": endereço de e-mail inválido: '" + std::string(text) + "'.");
  }
  for (const char c : mailbox.name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      throw InputError(what + ": o nome tem caracteres de controle.");
    }
  }
  if (!IsValidUtf8(mailbox.name)) throw InputError(what + ": o nome não está em UTF-8.");
  return mailbox;
}

std::string DomainOf(std::string_view address) {
  const size_t at = address.rfind('@');
  return at == std::string_view::npos ? std::string() : std::string(address.substr(at + 1));
}

}  // namespace nrw::mail
