// Layout texts with [NAME] placeholders: each is replaced by the value the lookup gives for NAME;
// "[[" is a literal "[", and a "[" without a closing "]" is kept as written. A group in braces,
// "{Ramal: [pc9]}", shows only when a placeholder inside it has a value that is not blank (a group
// without placeholders always shows); "{{" is a literal "{", and a "{" without a "}" is kept.
// Texts may also hold engine expressions "@var(FUNCTION;ARG;...)": the arguments have their
// placeholders expanded first, then the resolver gives the text that replaces the expression.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace nrw {

using PlaceholderLookup = std::function<std::string(std::string_view name)>;
using ExpressionResolver =
    std::function<std::string(std::string_view function, const std::vector<std::string>& args)>;

std::string ExpandPlaceholders(std::string_view text, const PlaceholderLookup& lookup);

//! As above, with "@var(...)" expressions handed to the resolver. An expression without its
//! closing ")" is kept as written.
std::string ExpandPlaceholders(std::string_view text, const PlaceholderLookup& lookup,
                               const ExpressionResolver& resolver);

}  // namespace nrw
