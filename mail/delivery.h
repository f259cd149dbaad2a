// Every written part of a manifest to its recipient, each at most once: the journal says what went
// out before, each part is recorded as "sending" before its transaction and settled after it.
// Temporary failures are tried again with a growing wait; permanent ones are recorded and left.
// A part left "sending" by an earlier run (killed in the middle, or the server never answered
// after the content) may have been delivered: it is reported for the user to check and is sent
// again only when asked, under its first Message-ID.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mail/address.h"
#include "mail/journal.h"
#include "mail/manifest.h"
#include "mail/recipients.h"
#include "mail/transport.h"

namespace nrw::mail {

struct DeliveryOptions {
  Mailbox from;
  //! Templates of the subject and the body; none: the defaults (message_text.h).
  std::optional<std::string> subject_template;
  std::optional<std::string> body_template;
  //! At most this many messages a minute; 0: no limit.
  int per_minute = 0;
  //! Transactions per part in one run when the failures are temporary.
  int max_attempts = 4;
  //! The wait before the second try; it doubles for each further one.
  std::chrono::milliseconds first_retry{std::chrono::seconds(5)};
  //! Parts left "sending" by an earlier run are sent again.
  bool resend_pending = false;
};

struct DeliveryReport {
  //! Sent by this run.
  int sent = 0;
  //! Not sent, for a reason that is the part's: the server refused it, the address is malformed,
  //! the file is missing or changed, temporary failures lasted every try.
  int failed = 0;
  //! Not sent because there was nothing to send or no one to send it to: no file, no address.
  int skipped = 0;
  //! Sent by an earlier run.
  int already_sent = 0;
  //! Left "sending": perhaps delivered; the user checks.
  int pending = 0;
  //! A failure that is no part's (login refused, no secure connection, the server unreachable)
  //! stopped the run; the parts not reached are untouched.
  std::string stopped;
  //! Parts the stopped run did not reach.
  int not_reached = 0;
  //! The journal entries of this run's failed, skipped and pending parts, in part order.
  std::vector<JournalEntry> problems;
};

//! Called after each part is settled with the parts done and their total.
using DeliveryProgress = std::function<void(int done, int total)>;

//! Raises InputError when a template uses a name that no part, row or parameter of the manifest
//! has and that is none of our own (message_text.h).
void CheckTemplates(const Manifest& manifest, const DeliveryOptions& options);

DeliveryReport Deliver(const Manifest& manifest, RecipientDirectory& directory,
                       Transport& transport, Journal& journal, const DeliveryOptions& options,
                       const DeliveryProgress& progress = {});

}  // namespace nrw::mail
