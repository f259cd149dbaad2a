// The texts of a part's message: subject and body from templates with placeholders, and the hint
// that tells the recipient how the document's password is made (never the password itself).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mail/manifest.h"

namespace nrw::mail {

//! Placeholders of our own, beyond the part's values, its row's columns and the run's parameters.
inline constexpr const char* kNamePlaceholder = "NOME";
inline constexpr const char* kFilePlaceholder = "ARQUIVO";
inline constexpr const char* kHintPlaceholder = "DICA_SENHA";
inline constexpr const char* kYearPlaceholder = "ANO";

//! A placeholder's text; nothing for a name that is not known.
using TemplateLookup = std::function<std::optional<std::string>(std::string_view name)>;

//! The names a template uses, in order: "{NAME}"; "{{" is a literal "{"; a "{" without its "}"
//! is text.
std::vector<std::string> TemplateNames(std::string_view text);

//! The template with each {NAME} replaced. Raises InputError naming `what` for an unknown name.
std::string ExpandTemplate(std::string_view text, const TemplateLookup& lookup,
                           const std::string& what);

//! What the document a value is: "CPF" (11 digits), "CNPJ" (14 digits), or empty.
std::string DocumentKind(std::string_view value);

//! How the password of a template is made, in words for the recipient: "{pBeneficiarios:digits:5}"
//! of a CPF is "os cinco primeiros dígitos do seu CPF". Fixed text of the template is not
//! repeated: it is "o código informado pela empresa". value_of gives a placeholder's value, to tell
//! a CPF from a CNPJ.
std::string DescribePassword(std::string_view password_template, const TemplateLookup& value_of);

//! The year of the run's base date (a parameter "pAnoBase..." holding a date), if there is one.
std::optional<std::string> BaseYear(const ManifestHeader& header);

std::string DefaultSubject(const ManifestHeader& header);

//! The message when the user gives none: greeting by name, the attachment, the hint when the
//! document is protected (empty hint: not protected).
std::string DefaultBody(const std::string& name, const std::string& file_name,
                        const std::string& hint);

}  // namespace nrw::mail
