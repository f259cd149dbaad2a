#include "mail/mime.h"

#include <array>
#include <random>

#include "mail/sha256.h"
#include "mail/text.h"

namespace nrw::mail {
namespace {

constexpr size_t kFoldAt = 78;
constexpr size_t kQuotedPrintableLine = 76;
constexpr size_t kBase64Line = 76;
// An encoded word may have 75 octets; ours have 64 ("=?UTF-8?B?" + base64 of 39 octets + "?="), so
// that the first one fits on the header's own line.
constexpr size_t kEncodedWordOctets = 39;
constexpr const char* kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

bool IsPrintableAscii(std::string_view text) {
  for (const char c : text) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

std::string WithoutControls(std::string_view text) {
  std::string clean(text);
  for (char& c : clean) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return clean;
}

std::string Base64(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const uint32_t n = static_cast<unsigned char>(bytes[i]) << 16 |
                       static_cast<unsigned char>(bytes[i + 1]) << 8 |
                       static_cast<unsigned char>(bytes[i + 2]);
    out += kBase64[n >> 18];
    out += kBase64[(n >> 12) & 63];
    out += kBase64[(n >> 6) & 63];
    out += kBase64[n & 63];
  }
  if (i < bytes.size()) {
    const bool two = i + 1 < bytes.size();
    const uint32_t n = static_cast<unsigned char>(bytes[i]) << 16 |
                       (two ? static_cast<unsigned char>(bytes[i + 1]) << 8 : 0);
    out += kBase64[n >> 18];
    out += kBase64[(n >> 12) & 63];
    out += two ? kBase64[(n >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

// Encoded words of at most 75 octets each, never splitting a UTF-8 sequence.
std::vector<std::string> EncodedWords(std::string_view text) {
  std::vector<std::string> words;
  while (!text.empty()) {
    size_t take = std::min(text.size(), kEncodedWordOctets);
    while (take < text.size() && take > 0 &&
           (static_cast<unsigned char>(text[take]) & 0xC0) == 0x80) {
      --take;
    }
    if (take == 0) take = std::min(text.size(), kEncodedWordOctets);
    words.push_back("=?UTF-8?B?" + Base64(text.substr(0, take)) + "?=");
    text.remove_prefix(take);
  }
  return words;
}

// "Name: value" with the value folded at its blanks so that lines stay within 78 octets where a
// blank allows it; unfolding gives the value back.
std::string FoldAscii(std::string_view name, std::string_view value) {
  std::string field = std::string(name) + ":";
  size_t line_length = field.size();
  size_t start = 0;
  while (start <= value.size()) {
    const size_t blank = value.find(' ', start);
    const std::string_view word = value.substr(
        start, blank == std::string_view::npos ? std::string_view::npos : blank - start);
    if (line_length + 1 + word.size() > kFoldAt && line_length > name.size() + 1) {
      field += "\r\n";
      line_length = 0;
    }
    field += ' ';
    field += word;
    line_length += 1 + word.size();
    if (blank == std::string_view::npos) break;
    start = blank + 1;
  }
  return field + "\r\n";
}

bool IsAtomPhrase(std::string_view name) {
  for (const char c : name) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!letter && c != ' ' &&
        std::string_view("!#$%&'*+-/=?^_`{|}~").find(c) == std::string_view::npos) {
      return false;
    }
  }
  return name.find("=?") == std::string_view::npos;
}

std::string ContentTypeOf(std::string_view file_name) {
  const std::string lower = AsciiLower(file_name);
  const auto ends_with = [&lower](std::string_view end) {
    return lower.size() >= end.size() &&
           lower.compare(lower.size() - end.size(), end.size(), end) == 0;
  };
  if (ends_with(".pdf")) return "application/pdf";
  if (ends_with(".html")) return "text/html; charset=UTF-8";
  if (ends_with(".txt")) return "text/plain; charset=UTF-8";
  return "application/octet-stream";
}

// A file name parameter: quoted when it is short plain ASCII, else RFC 2231 percent-encoded and,
// when long, continued over folded lines ("name*0*=UTF-8''...;" "name*1*=...").
std::string FileNameParameter(std::string_view parameter, std::string_view file_name) {
  const bool plain = IsPrintableAscii(file_name) && file_name.size() <= 60 &&
                     file_name.find_first_of("\"\\") == std::string_view::npos;
  if (plain) return std::string(parameter) + "=\"" + std::string(file_name) + "\"";
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::vector<std::string> pieces(1);
  for (const char c : file_name) {
    const auto byte = static_cast<unsigned char>(c);
    const bool safe = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                      (byte >= '0' && byte <= '9') || c == '.' || c == '-' || c == '_';
    if (pieces.back().size() >= 48) pieces.emplace_back();
    if (safe) {
      pieces.back() += c;
    } else {
      pieces.back() += {'%', kHex[byte >> 4], kHex[byte & 0x0F]};
    }
  }
  std::string encoded;
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) encoded += ";\r\n ";
    encoded += std::string(parameter) + "*" + std::to_string(i) + "*=" + (i == 0 ? "UTF-8''" : "") +
               pieces[i];
  }
  return encoded;
}

}  // namespace

std::string Base64Lines(std::string_view bytes) {
  const std::string encoded = Base64(bytes);
  std::string lines;
  lines.reserve(encoded.size() + encoded.size() / kBase64Line * 2 + 2);
  for (size_t i = 0; i < encoded.size(); i += kBase64Line) {
    lines.append(encoded, i, kBase64Line);
    lines += "\r\n";
  }
  return lines;
}

std::string QuotedPrintable(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  size_t line_start = 0;
  while (line_start <= text.size()) {
    size_t line_end = text.find('\n', line_start);
    const bool last = line_end == std::string_view::npos;
    if (last) line_end = text.size();
    std::string_view line = text.substr(line_start, line_end - line_start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    size_t length = 0;
    for (size_t i = 0; i < line.size(); ++i) {
      const auto byte = static_cast<unsigned char>(line[i]);
      const bool at_end = i + 1 == line.size();
      // "From " at a line's start is changed by some mailbox formats; '.' alone by some servers.
      const bool guarded = i == 0 && (line.substr(0, 5) == "From " || line == ".");
      const bool literal = !guarded && ((byte >= 33 && byte <= 126 && byte != '=') ||
                                        ((byte == ' ' || byte == '\t') && !at_end));
      std::string token;
      if (literal) {
        token = static_cast<char>(byte);
      } else {
        token = {'=', kHex[byte >> 4], kHex[byte & 0x0F]};
      }
      // A soft break keeps every line within 76 octets, the '=' included.
      if (length + token.size() > kQuotedPrintableLine - 1 &&
          !(at_end && length + token.size() <= kQuotedPrintableLine)) {
        out += "=\r\n";
        length = 0;
      }
      out += token;
      length += token.size();
    }
    if (last) break;
    out += "\r\n";
    line_start = line_end + 1;
  }
  return out;
}

std::string MessageDate(std::time_t when) {
  static constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed",
                                                       "Thu", "Fri", "Sat"};
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm local{};
  localtime_r(&when, &local);
  const long offset_minutes = local.tm_gmtoff / 60;
  const long magnitude = offset_minutes < 0 ? -offset_minutes : offset_minutes;
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld",
                kDays[static_cast<size_t>(local.tm_wday)], local.tm_mday,
                kMonths[static_cast<size_t>(local.tm_mon)], local.tm_year + 1900, local.tm_hour,
                local.tm_min, local.tm_sec, offset_minutes < 0 ? '-' : '+', magnitude / 60,
                magnitude % 60);
  return text;
}

std::string NewMessageId(int64_t part, std::string_view domain) {
  std::random_device random;
  std::string unique;
  static constexpr char kHex[] = "0123456789abcdef";
  for (int i = 0; i < 3; ++i) {
    const uint32_t value = random();
    for (int shift = 28; shift >= 0; shift -= 4) unique += kHex[(value >> shift) & 0x0F];
  }
  return "<" + std::to_string(std::time(nullptr)) + "." + std::to_string(part) + "." + unique +
         "@" + std::string(domain) + ">";
}

std::string HeaderField(std::string_view name, std::string_view value) {
  const std::string clean = WithoutControls(value);
  bool plain = IsPrintableAscii(clean) && clean.find("=?") == std::string::npos;
  // A word too long to fold would make a line over the limit: encoded words split anywhere.
  for (size_t start = 0; plain && start < clean.size();) {
    const size_t blank = clean.find(' ', start);
    const size_t end = blank == std::string::npos ? clean.size() : blank;
    plain = end - start <= kFoldAt - name.size() - 2;
    start = end + 1;
  }
  if (plain) return FoldAscii(name, clean);
  std::string joined;
  for (const std::string& word : EncodedWords(clean)) joined += (joined.empty() ? "" : " ") + word;
  return FoldAscii(name, joined);
}

std::string FormatMailbox(const Mailbox& mailbox) {
  const std::string name(Trim(WithoutControls(mailbox.name)));
  if (name.empty()) return mailbox.address;
  std::string phrase;
  if (!IsPrintableAscii(name)) {
    for (const std::string& word : EncodedWords(name)) phrase += (phrase.empty() ? "" : " ") + word;
  } else if (IsAtomPhrase(name)) {
    phrase = name;
  } else {
    phrase = "\"";
    for (const char c : name) {
      if (c == '"' || c == '\\') phrase += '\\';
      phrase += c;
    }
    phrase += "\"";
  }
  return phrase + " <" + mailbox.address + ">";
}

std::string ComposeMessage(const Message& message) {
  const std::string boundary = "=_nrw_" + Sha256Hex(message.message_id).substr(0, 24);
  std::string out;
  out += "Date: " + MessageDate(message.date) + "\r\n";
  out += FoldAscii("From", FormatMailbox(message.from));
  out += FoldAscii("To", FormatMailbox(message.to));
  out += HeaderField("Subject", message.subject);
  out += "Message-ID: " + message.message_id + "\r\n";
  out += "MIME-Version: 1.0\r\n";
  out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n";
  out += "\r\n";
  out += "--" + boundary + "\r\n";
  out += "Content-Type: text/plain; charset=UTF-8\r\n";
  out += "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
  out += QuotedPrintable(message.body) + "\r\n";
  for (const Attachment& attachment : message.attachments) {
    out += "--" + boundary + "\r\n";
    out += "Content-Type: " + ContentTypeOf(attachment.file_name) + ";\r\n " +
           FileNameParameter("name", attachment.file_name) + "\r\n";
    out += "Content-Disposition: attachment;\r\n " +
           FileNameParameter("filename", attachment.file_name) + "\r\n";
    out += "Content-Transfer-Encoding: base64\r\n\r\n";
    out += Base64Lines(attachment.content);
  }
  out += "--" + boundary + "--\r\n";
  return out;
}

}  // namespace nrw::mail
