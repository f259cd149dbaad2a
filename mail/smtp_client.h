// Messages sent through an SMTP server with libcurl, one transaction each, the connection kept
// between them. TLS is required (STARTTLS on smtp://, TLS from the start on smtps://) except to a
// loopback server or when the user allows plain text; credentials come from a netrc file or the
// environment, never from the command line.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "mail/transport.h"

namespace nrw::mail {

struct SmtpSettings {
  //! smtp://host[:port] or smtps://host[:port].
  std::string url;
  //! Plain SMTP allowed to a server that is not on this machine.
  bool insecure = false;
  //! The netrc file with the login; empty: ~/.netrc when there is one.
  std::string netrc_file;
  //! From the environment (NRW_SMTP_USER, NRW_SMTP_PASSWORD); they win over netrc.
  std::optional<std::string> user;
  std::optional<std::string> password;
  //! How long a connection, a reply or a stalled transfer may take.
  std::chrono::seconds timeout{60};
};

//! Raises InputError unless the URL is smtp:// or smtps:// with a host and no password in it.
void CheckSmtpUrl(const std::string& url);

//! Whether the URL's host is this machine (localhost, 127.0.0.0/8, ::1).
bool IsLoopbackUrl(const std::string& url);

class SmtpClient : public Transport {
 public:
  explicit SmtpClient(SmtpSettings settings);
  ~SmtpClient() override;
  SmtpClient(const SmtpClient&) = delete;
  SmtpClient& operator=(const SmtpClient&) = delete;

  SendOutcome Send(const Envelope& envelope, std::string_view message) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace nrw::mail
