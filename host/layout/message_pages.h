// The message page: the messages of a document printed after its last page, under a heading with
// the report's title and the page's caption ("Mensagem"), one message to a line (wrapped), each
// led by what it is about. Drawn by the document's writer like any page, from the host's own
// sections of the layout (numbered below zero, sized to its page and text grid).
#pragma once

#include <string>
#include <vector>

#include "layout/layout.h"
#include "layout/page_model.h"
#include "nrwhost/message_page.h"

namespace nrw {

inline constexpr int kMessageHeadingSection = -2;
inline constexpr int kMessageLineSection = -1;

//! The message page's sections for the layout's page.
std::vector<LayoutSection> MessageSections(const Layout& layout);

//! The pages that list the messages, numbered on from first_number; none when there is no message
//! (or the layout has no message sections).
std::vector<Page> MessagePages(const Layout& layout, const std::string& caption,
                               const std::vector<MessageEntry>& messages, int first_number);

//! The captions the module gave its message page, as one heading ("Mensagem" when it gave none).
std::string MessageCaption(const std::vector<std::string>& captions);

}  // namespace nrw
