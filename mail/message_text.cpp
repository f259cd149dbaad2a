#include "mail/message_text.h"

#include <array>

#include "mail/errors.h"
#include "mail/text.h"

namespace nrw::mail {
namespace {

// One "{...}" of a template, or the text between them.
struct TemplatePiece {
  bool is_placeholder = false;
  std::string text;
};

std::vector<TemplatePiece> Pieces(std::string_view text) {
  std::vector<TemplatePiece> pieces;
  std::string literal;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '{' && i + 1 < text.size() && text[i + 1] == '{') {
      literal += '{';
      i += 2;
      continue;
    }
    const size_t close = text[i] == '{' ? text.find('}', i) : std::string_view::npos;
    if (close == std::string_view::npos) {
      literal += text[i++];
      continue;
    }
    if (!literal.empty()) pieces.push_back({false, std::move(literal)});
    literal.clear();
    pieces.push_back({true, std::string(text.substr(i + 1, close - i - 1))});
    i = close + 1;
  }
  if (!literal.empty()) pieces.push_back({false, std::move(literal)});
  return pieces;
}

std::string CountWord(int64_t count) {
  static constexpr std::array<const char*, 15> kWords = {
      "zero", "um",   "dois", "três", "quatro", "cinco", "seis",    "sete",
      "oito", "nove", "dez",  "onze", "doze",   "treze", "quatorze"};
  return count >= 0 && count < static_cast<int64_t>(kWords.size()) ? kWords[count]
                                                                   : std::to_string(count);
}

// One item of the description, alone and after "seguido " ("os ..." / "dos ...").
struct HintItem {
  std::string alone;
  std::string after;
};

HintItem DescribePlaceholder(const std::string& spec, const TemplateLookup& value_of) {
  std::vector<std::string> pieces;
  for (size_t start = 0;;) {
    const size_t colon = spec.find(':', start);
    pieces.push_back(spec.substr(start, colon == std::string::npos ? colon : colon - start));
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  const std::optional<std::string> value = value_of(pieces[0]);
  const std::string kind = value ? DocumentKind(*value) : "";
  const std::string of = kind == "CPF"    ? "do seu CPF"
                         : kind == "CNPJ" ? "do CNPJ da sua empresa"
                                          : "de " + pieces[0];
  if (pieces.size() == 1) {
    const std::string whole = kind == "CPF"    ? "o seu CPF completo, com pontos e traço"
                              : kind == "CNPJ" ? "o CNPJ da sua empresa, com pontos, barra e traço"
                                               : "o valor de " + pieces[0];
    return {whole, "d" + whole};
  }
  int64_t count = 0;
  if (pieces.size() == 3 && ParseInteger(pieces[2], count) && count > 0) {
    if (count == 1) return {"o primeiro dígito " + of, "do primeiro dígito " + of};
    const std::string text = CountWord(count) + " primeiros dígitos " + of;
    return {"os " + text, "dos " + text};
  }
  const std::string text = "os dígitos " + of + ", sem pontuação";
  return {"todos " + text, "de todos " + text};
}

}  // namespace

std::vector<std::string> TemplateNames(std::string_view text) {
  std::vector<std::string> names;
  for (const TemplatePiece& piece : Pieces(text)) {
    if (piece.is_placeholder) names.push_back(piece.text);
  }
  return names;
}

std::string ExpandTemplate(std::string_view text, const TemplateLookup& lookup,
                           const std::string& what) {
  std::string out;
  for (const TemplatePiece& piece : Pieces(text)) {
    if (!piece.is_placeholder) {
      out += piece.text;
      continue;
    }
    const std::optional<std::string> value = lookup(piece.text);
    if (!value) {
      throw InputError(what + " usa {" + piece.text +
                       "}, que não é valor, coluna nem parâmetro do manifesto.");
    }
    out += *value;
  }
  return out;
}

std::string DocumentKind(std::string_view value) {
  const size_t digits = DigitsOf(value).size();
  return digits == 11 ? "CPF" : digits == 14 ? "CNPJ" : "";
}

std::string DescribePassword(std::string_view password_template, const TemplateLookup& value_of) {
  std::vector<HintItem> items;
  for (const TemplatePiece& piece : Pieces(password_template)) {
    if (piece.is_placeholder) {
      items.push_back(DescribePlaceholder(piece.text, value_of));
    } else if (items.empty() || items.back().alone != "o código informado pela empresa") {
      items.push_back({"o código informado pela empresa", "do código informado pela empresa"});
    }
  }
  if (items.empty()) return "a senha informada pela empresa";
  std::string hint = items.front().alone;
  for (size_t i = 1; i < items.size(); ++i) hint += ", seguido " + items[i].after;
  return hint;
}

std::optional<std::string> BaseYear(const ManifestHeader& header) {
  for (const auto& [name, value] : header.params) {
    if (!value || AsciiLower(name).rfind("panobase", 0) != 0) continue;
    const std::string digits = DigitsOf(*value);
    if (digits.size() != 8) continue;
    // dd/mm/yyyy or yyyy-mm-dd
    return value->find('/') != std::string::npos ? digits.substr(4) : digits.substr(0, 4);
  }
  return std::nullopt;
}

std::string DefaultSubject(const ManifestHeader& header) {
  const std::optional<std::string> year = BaseYear(header);
  const bool statement =
      header.module == "RptIncomeStatement" || header.module == "RptCompanyPayeeStatement";
  std::string subject = statement ? "Comprovante de rendimentos" : "Relatório " + header.module;
  if (year) subject += " - ano-calendário " + *year;
  return subject;
}

std::string DefaultBody(const std::string& name, const std::string& file_name,
                        const std::string& hint) {
  std::string body = name.empty() ? "Prezado(a),\n\n" : "Prezado(a) " + name + ",\n\n";
  body += "Segue anexo o seu comprovante de rendimentos (" + file_name + ").\n\n";
  if (!hint.empty()) {
    body += "O arquivo está protegido por senha. Para abri-lo, digite " + hint + ".\n\n";
  }
  body +=
      "Esta mensagem foi enviada automaticamente. Em caso de dúvida, procure o departamento "
      "pessoal.\n";
  return body;
}

}  // namespace nrw::mail
