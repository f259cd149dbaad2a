#include "mail/smtp_client.h"

#include <curl/curl.h>

#include <cstring>
#include <vector>

#include "mail/errors.h"
#include "mail/text.h"

namespace nrw::mail {
namespace {

struct CurlUrlFree {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlFree {
  void operator()(char* text) const { curl_free(text); }
};
struct EasyCleanup {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListFree {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

std::optional<std::string> UrlPart(CURLU* url, CURLUPart part) {
  char* text = nullptr;
  if (curl_url_get(url, part, &text, 0) != CURLUE_OK || text == nullptr) return std::nullopt;
  const std::unique_ptr<char, CurlFree> owned(text);
  return std::string(text);
}

struct ParsedUrl {
  std::string scheme;
  std::string host;
  bool has_password = false;
};

ParsedUrl ParseUrl(const std::string& text) {
  const std::unique_ptr<CURLU, CurlUrlFree> url(curl_url());
  if (!url || curl_url_set(url.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) {
    throw InputError("--smtp: endereço do servidor inválido (use smtp://servidor:587).");
  }
  ParsedUrl parsed;
  parsed.scheme = AsciiLower(UrlPart(url.get(), CURLUPART_SCHEME).value_or(""));
  parsed.host = AsciiLower(UrlPart(url.get(), CURLUPART_HOST).value_or(""));
  parsed.has_password = UrlPart(url.get(), CURLUPART_PASSWORD).has_value();
  return parsed;
}

// A server reply as the debug stream hands it: one or more lines "250-..." ... "250 ...".
struct Reply {
  int code = 0;
  std::string text;
};

struct Transfer {
  std::string_view message;
  size_t sent = 0;
  //! The read callback has handed over the whole content.
  bool content_done = false;
  std::vector<Reply> replies;
  //! Replies that came after the content was complete (the verdict on the message).
  std::vector<Reply> after_content;
};

size_t ReadMessage(char* buffer, size_t size, size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  const size_t room = size * count;
  const size_t left = transfer.message.size() - transfer.sent;
  const size_t take = std::min(room, left);
  std::memcpy(buffer, transfer.message.data() + transfer.sent, take);
  transfer.sent += take;
  if (take == 0) transfer.content_done = true;
  return take;
}

int ObserveReplies(CURL*, curl_infotype type, char* data, size_t size, void* user) {
  if (type != CURLINFO_HEADER_IN) return 0;
  auto& transfer = *static_cast<Transfer*>(user);
  std::string_view lines(data, size);
  while (!lines.empty()) {
    const size_t end = lines.find('\n');
    std::string_view line = lines.substr(0, end);
    lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 1);
    line = Trim(line);
    // The last line of a reply has a blank after its code; the others a '-'.
    if (line.size() < 3 || (line.size() > 3 && line[3] != ' ')) continue;
    int64_t code = 0;
    if (!ParseInteger(line.substr(0, 3), code)) continue;
    Reply reply{static_cast<int>(code), std::string(line)};
    transfer.replies.push_back(reply);
    if (transfer.content_done) transfer.after_content.push_back(reply);
  }
  return 0;
}

SendOutcome ByCode(const Reply& reply) {
  if (reply.code >= 200 && reply.code < 300) return {SendResult::kSent, reply.text};
  if (reply.code >= 500) return {SendResult::kPermanent, reply.text};
  return {SendResult::kTemporary, reply.text};
}

bool IsLoginRefusal(int code) { return code == 530 || code == 534 || code == 535 || code == 538; }

}  // namespace

void CheckSmtpUrl(const std::string& url) {
  const ParsedUrl parsed = ParseUrl(url);
  if (parsed.scheme != "smtp" && parsed.scheme != "smtps") {
    throw InputError("--smtp: use smtp://servidor:587 ou smtps://servidor:465.");
  }
  if (parsed.host.empty()) throw InputError("--smtp: falta o servidor.");
  if (parsed.has_password) {
    throw InputError(
        "--smtp: a senha não vai na linha de comando; use --netrc ou NRW_SMTP_USER e "
        "NRW_SMTP_PASSWORD.");
  }
}

bool IsLoopbackUrl(const std::string& url) {
  const std::string host = ParseUrl(url).host;
  return host == "localhost" || host == "[::1]" || host == "::1" || host.rfind("127.", 0) == 0;
}

struct SmtpClient::Impl {
  SmtpSettings settings;
  std::unique_ptr<CURL, EasyCleanup> easy;
  char error[CURL_ERROR_SIZE] = {};
};

SmtpClient::SmtpClient(SmtpSettings settings) : impl_(std::make_unique<Impl>()) {
  CheckSmtpUrl(settings.url);
  if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
    throw Failure("a biblioteca de e-mail (libcurl) não pôde ser iniciada.");
  }
  impl_->settings = std::move(settings);
  impl_->easy.reset(curl_easy_init());
  if (!impl_->easy) throw Failure("a biblioteca de e-mail (libcurl) não pôde ser iniciada.");
}

SmtpClient::~SmtpClient() {
  impl_->easy.reset();
  curl_global_cleanup();
}

SendOutcome SmtpClient::Send(const Envelope& envelope, std::string_view message) {
  CURL* easy = impl_->easy.get();
  const SmtpSettings& settings = impl_->settings;
  Transfer transfer;
  transfer.message = message;
  const std::string from = "<" + envelope.from + ">";
  std::unique_ptr<curl_slist, ListFree> recipients(
      curl_slist_append(nullptr, ("<" + envelope.to + ">").c_str()));
  const long timeout = static_cast<long>(settings.timeout.count());
  const bool plain_allowed = settings.insecure || IsLoopbackUrl(settings.url);

  curl_easy_reset(easy);
  impl_->error[0] = '\0';
  curl_easy_setopt(easy, CURLOPT_URL, settings.url.c_str());
  curl_easy_setopt(easy, CURLOPT_USE_SSL, plain_allowed ? CURLUSESSL_TRY : CURLUSESSL_ALL);
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
  if (settings.user) {
    curl_easy_setopt(easy, CURLOPT_USERNAME, settings.user->c_str());
    curl_easy_setopt(easy, CURLOPT_PASSWORD, settings.password.value_or("").c_str());
  } else {
    curl_easy_setopt(easy, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_OPTIONAL));
    if (!settings.netrc_file.empty()) {
      curl_easy_setopt(easy, CURLOPT_NETRC_FILE, settings.netrc_file.c_str());
    }
  }
  curl_easy_setopt(easy, CURLOPT_MAIL_FROM, from.c_str());
  curl_easy_setopt(easy, CURLOPT_MAIL_RCPT, recipients.get());
  curl_easy_setopt(easy, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(easy, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));
  curl_easy_setopt(easy, CURLOPT_READFUNCTION, ReadMessage);
  curl_easy_setopt(easy, CURLOPT_READDATA, &transfer);
  curl_easy_setopt(easy, CURLOPT_VERBOSE, 1L);
  curl_easy_setopt(easy, CURLOPT_DEBUGFUNCTION, ObserveReplies);
  curl_easy_setopt(easy, CURLOPT_DEBUGDATA, &transfer);
  curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, impl_->error);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, timeout);
  curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeout);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, timeout);

  const CURLcode code = curl_easy_perform(easy);
  const std::string said =
      impl_->error[0] != '\0' ? std::string(impl_->error) : curl_easy_strerror(code);
  // The reply that ended the transaction is its first refusal: a QUIT may be answered after it.
  const Reply* last = transfer.replies.empty() ? nullptr : &transfer.replies.back();
  for (const Reply& reply : transfer.replies) {
    if (reply.code >= 400) {
      last = &reply;
      break;
    }
  }
  if (code == CURLE_OK) return {SendResult::kSent, last != nullptr ? last->text : said};
  if (code == CURLE_LOGIN_DENIED || (last != nullptr && IsLoginRefusal(last->code))) {
    return {SendResult::kFatal,
            "o servidor recusou o login (" + (last != nullptr ? last->text : said) + ")"};
  }
  if (code == CURLE_USE_SSL_FAILED) {
    return {SendResult::kFatal,
            "o servidor não oferece conexão segura (STARTTLS); use smtps:// ou, numa rede "
            "confiável, --inseguro"};
  }
  if (code == CURLE_SSL_CONNECT_ERROR || code == CURLE_PEER_FAILED_VERIFICATION ||
      code == CURLE_SSL_CACERT_BADFILE || code == CURLE_SSL_CERTPROBLEM) {
    return {SendResult::kFatal, "a conexão segura com o servidor falhou (" + said + ")"};
  }
  if (code == CURLE_UNSUPPORTED_PROTOCOL || code == CURLE_URL_MALFORMAT ||
      code == CURLE_NOT_BUILT_IN) {
    return {SendResult::kFatal, "--smtp: " + said};
  }
  if (transfer.content_done) {
    // The verdict on the content is the reply that came after it; without one nobody knows
    // whether the server kept the message.
    if (!transfer.after_content.empty()) return ByCode(transfer.after_content.front());
    return {SendResult::kUnknown, "sem resposta do servidor depois do conteúdo (" + said + ")"};
  }
  if (last != nullptr && last->code >= 400) return ByCode(*last);
  SendOutcome outcome{SendResult::kTemporary, said};
  // A server that cannot be reached, or stops answering, would fail the next message alike.
  outcome.unreachable = code == CURLE_COULDNT_RESOLVE_HOST || code == CURLE_COULDNT_CONNECT ||
                        code == CURLE_OPERATION_TIMEDOUT;
  return outcome;
}

}  // namespace nrw::mail
