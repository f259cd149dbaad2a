// Texts in Unicode's composed normal form (NFC) before they are printed: a name pasted with its
// accents as separate marks ("a" followed by U+0301) becomes the one character ("á") that the text
// grid counts as one cell and every face draws as one glyph. libunistring's normalizer does the
// work.
#pragma once

#include <string>

namespace nrw {

//! The text in NFC; a text that is not valid UTF-8 is answered as it is.
std::string ComposedText(std::string text);

}  // namespace nrw
